#include "editor/FrmEditeur.h"

#include "about/FrmAbout.h"
#include "core/Clock.h"
#include "core/DataPaths.h"
#include "core/Product.h"
#include "dialogs/Dialogs.h"
#include "dialogs/WindowRegistry.h"
#include "editor/CharacterTable.h"
#include "editor/EditorGeometry.h"
#include "editor/LetterEdit.h"
#include "editor/RichEditing.h"
#include "printing/ImprimeRtf.h"
#include "printing/Imprimer.h"
#include "richtext/RichText.h"
#include "richtext/RichTextProperties.h"
#include "richtext/Twips.h"
#include "spelling/SpellChecker.h"
#include "spelling/SpellHighlighter.h"
#include "spelling/ui/SpellingMenu.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#ifdef Q_OS_WIN
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

using namespace Qt::StringLiterals;

// The tool bar pictures live in the library's resource file, which a static library must load
// by hand (outside any namespace, as the macro requires).
static void loadEditorIcons()
{
    Q_INIT_RESOURCE(editor_icons);
}

namespace {

const QString kFormName = u"frmEditeur"_s;
const QString kRtfFilter = u"Fichier de type RTF (*.rtf)"_s;

// The window's client area as it was designed, in twips.
constexpr int kDesignWidth = 9150;
constexpr int kDesignHeight = 5490;
// The blank drawn around a letter's text on the screen, in pixels.
constexpr double kTextMargin = 4;

// A stored length (twips) on the screen. Beyond what a screen could show the value is nonsense:
// it is held to something a window system accepts; keepOnScreen brings the window back afterwards.
int storedToPixels(double twips)
{
    return Twips::toPixels(int(qBound(-1.0e6, twips, 1.0e6)));
}

QList<QRect> screenAreas()
{
    QList<QRect> areas;
    for (const QScreen *screen : QGuiApplication::screens())
        areas.append(screen->availableGeometry());
    return areas;
}

QString fileTitle(const QString &path)
{
    return QFileInfo(path).fileName();
}

} // namespace

std::function<void(const QUrl &)> FrmEditeur::openUrl = [](const QUrl &url) { QDesktopServices::openUrl(url); };

FrmEditeur *FrmEditeur::instance()
{
    if (auto *window = existing())
        return window;
    auto *window = new FrmEditeur;
    WindowRegistry::add(kFormName, window);
    window->load();
    return window;
}

FrmEditeur *FrmEditeur::existing()
{
    auto *window = qobject_cast<FrmEditeur *>(WindowRegistry::find(kFormName));
    // A closed editor waits for its deletion; the next use starts afresh.
    return window && !window->unloading ? window : nullptr;
}

FrmEditeur::FrmEditeur()
{
    setObjectName(kFormName);
    setWindowTitle(u"Editeur de lettre "_s);
    loadEditorIcons();

    letterTabs = new QTabWidget(this);
    letterTabs->setObjectName(u"Tab1"_s);
    letterTabs->setAccessibleName(u"Lettres"_s);
    letterTabs->setDocumentMode(false);
    setCentralWidget(letterTabs);
    connect(letterTabs, &QTabWidget::currentChanged, this, [this] {
        showSelectionFormat();
        showHeaderFooterNote();
        showUndoState();
    });

    buildToolBar();
    buildMenus();
    buildStatusBar();
    addLetter(u"Lettre n°1"_s);
    showUndoState();
    SpellChecker *checker = SpellChecker::shared();
    connect(checker, &SpellChecker::stateChanged, this, &FrmEditeur::showSpellCheckingState);
    connect(checker, &SpellChecker::enabledChanged, this, &FrmEditeur::showSpellCheckingState);
    showSpellCheckingState();
}

FrmEditeur::~FrmEditeur()
{
    // Unloaded without being closed (the wizard going away): the geometry is kept all the same.
    if (shownOnce && !geometrySaved)
        Sauve_Fenetre();
}

void FrmEditeur::load()
{
    // Centred at the design size (tool bar and status bar inside it, the menu bar above),
    // widened to show a whole printed line and the whole tool bar (the window's size hint: the
    // letter's control asks for its line, the tool bar for its buttons); the stored geometry,
    // when there is one, then takes over.
    Barre_Plate(toolBar);
    const QSize design(Twips::toPixels(kDesignWidth), Twips::toPixels(kDesignHeight) + menuBar()->sizeHint().height());
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(QPoint(), design);
    const QRect opening = EditorGeometry::openingGeometry(design, sizeHint().width(), area);
    resize(opening.size());
    move(opening.topLeft());
    Charge_Fenetre();
    applyStoredSpellChecking();
}

// --- Letters -------------------------------------------------------------------------------

int FrmEditeur::letterCount() const
{
    return int(letters.size());
}

int FrmEditeur::currentLetter() const
{
    return letterTabs->currentIndex() + 1;
}

void FrmEditeur::selectLetter(int letter)
{
    if (letter >= 1 && letter <= letterCount())
        letterTabs->setCurrentIndex(letter - 1);
}

LetterEdit *FrmEditeur::letterEdit(int letter) const
{
    return letter >= 1 && letter <= letterCount() ? letters[size_t(letter - 1)].edit : nullptr;
}

QString FrmEditeur::caption(int letter) const
{
    return letterTabs->tabText(letter - 1);
}

void FrmEditeur::setCaption(int letter, const QString &caption)
{
    if (letter >= 1 && letter <= letterCount()) {
        letterTabs->setTabText(letter - 1, caption);
        letters[size_t(letter - 1)].edit->setAccessibleName(caption);
    }
}

QString FrmEditeur::filePath(int letter) const
{
    return letter >= 1 && letter <= letterCount() ? letters[size_t(letter - 1)].path : QString();
}

LetterEdit *FrmEditeur::current() const
{
    return letterEdit(currentLetter());
}

LetterEdit *FrmEditeur::addLetter(const QString &caption)
{
    auto *edit = new LetterEdit(letterTabs);
    const int number = letterCount() + 1;
    edit->setObjectName(u"RTF_%1"_s.arg(number));
    edit->setAccessibleName(caption);
    // An empty French letter in the face and size the letters were always begun with.
    edit->document()->setDefaultFont(QFont(u"MS Sans Serif"_s, 10));
    letters.push_back({edit, QString()});
    connect(edit, &QTextEdit::cursorPositionChanged, this, [this, edit] {
        if (edit == current())
            showSelectionFormat();
    });
    connect(edit, &QTextEdit::selectionChanged, this, [this, edit] {
        if (edit == current())
            showSelectionFormat();
    });
    connect(edit, &QTextEdit::currentCharFormatChanged, this, [this, edit] {
        if (edit == current())
            showSelectionFormat();
    });
    connect(edit, &LetterEdit::insertModeChanged, this, [this] { updateStatusPanels(); });
    // The control passes on the signals of whichever document it shows.
    connect(edit, &QTextEdit::undoAvailable, this, [this, edit] {
        if (edit == current())
            showUndoState();
    });
    connect(edit, &QTextEdit::redoAvailable, this, [this, edit] {
        if (edit == current())
            showUndoState();
    });
    SpellingMenu::install(edit);
    // Every letter breaks its lines where the printed page will.
    Ajuste_Page(edit, LetterMargin, LetterMargin, true);
    letterTabs->addTab(edit, caption);
    checkSpelling(edit);
    return edit;
}

void FrmEditeur::checkSpelling(LetterEdit *edit)
{
    // Owned by the document, so it goes with it; attached once the document is in its control.
    new SpellHighlighter(edit->document(), SpellChecker::shared());
}

bool FrmEditeur::setLetterRtf(int letter, const QByteArray &rtf, QString *error)
{
    LetterEdit *edit = letterEdit(letter);
    if (!edit)
        return false;
    // The assembled letter is where the undo history starts: "Annuler" never takes it apart
    // (switching the history off also forgets what was typed before).
    QTextDocument *document = edit->document();
    document->setUndoRedoEnabled(false);
    const RichText::ReadResult read = RichText::readRtf(rtf, document);
    if (error)
        *error = read.error;
    startAsUnchanged(edit);
    return read.ok;
}

void FrmEditeur::startAsUnchanged(LetterEdit *edit)
{
    QTextDocument *document = edit->document();
    RichEditing::justify(document);
    // The printed width changes the document's margin, an edit Qt records as a change and as a
    // step to undo: done while the history is off and before the letter counts as unchanged, so
    // that closing the editor asks nothing and the first "Annuler" does not take the letter's
    // content or layout away.
    Ajuste_Page(edit, LetterMargin, LetterMargin, true);
    edit->moveCursor(QTextCursor::Start);
    document->setUndoRedoEnabled(true);
    document->setModified(false);
    showHeaderFooterNote();
    if (edit == current())
        showUndoState();
}

void FrmEditeur::Nouveau()
{
    const int number = letterCount() + 1;
    LetterEdit *edit = addLetter(u"Lettre n°%1"_s.arg(number));
    letterTabs->setCurrentWidget(edit);
    edit->setFocus();
}

bool FrmEditeur::Ouvrir()
{
    const QString path = Dialogs::openFileName(this, u"Ouvrir"_s, QString(), kRtfFilter);
    if (path.isEmpty())
        return false;
    // Read first: a file that cannot be read leaves every tab as it was.
    auto *document = new QTextDocument;
    document->setDefaultFont(QFont(u"MS Sans Serif"_s, 10));
    // As for an assembled letter, the history starts from the letter as it was opened.
    document->setUndoRedoEnabled(false);
    QString error;
    if (!RichText::loadRtfFile(path, document, &error)) {
        delete document;
        Dialogs::message(this, u"Le fichier « %1 » n'a pas pu être ouvert.\n%2"_s.arg(fileTitle(path), error),
                         QMessageBox::Ok, Dialogs::Icon::Warning);
        return false;
    }
    int letter = currentLetter();
    // The current tab is reused only when it holds neither a file nor any text of its own.
    const bool reuse = filePath(letter).isEmpty() && isBlankLetter(*current()->document());
    if (!reuse) {
        addLetter(fileTitle(path));
        letter = letterCount();
    }
    LetterEdit *edit = letterEdit(letter);
    document->setParent(edit);
    // The control deletes the document it made itself; one that an earlier opening gave it is ours.
    QTextDocument *previous = edit->document();
    const bool ours = previous->parent() == edit;
    edit->setDocument(document);
    if (ours)
        delete previous;
    letters[size_t(letter - 1)].path = path;
    setCaption(letter, fileTitle(path));
    startAsUnchanged(edit);
    checkSpelling(edit);
    selectLetter(letter);
    showSelectionFormat();
    showHeaderFooterNote();
    showUndoState();
    return true;
}

bool FrmEditeur::Enregistrer_Sous(int letter, const QString &proposedName)
{
    LetterEdit *edit = letterEdit(letter);
    if (!edit)
        return false;
    // The name gets ".rtf" before the question whether to replace a file, so that the file written
    // is the one asked about, and "Ouvrir" finds it again.
    const QString path =
        Dialogs::saveFileName(this, u"Enregistrer sous..."_s, QString(), kRtfFilter, proposedName, u"rtf"_s);
    if (path.isEmpty())
        return false;
    QString error;
    if (!RichText::saveRtfFile(path, edit->document(), &error)) {
        Dialogs::message(this, error, QMessageBox::Ok, Dialogs::Icon::Warning);
        return false;
    }
    letters[size_t(letter - 1)].path = path;
    setCaption(letter, fileTitle(path));
    edit->document()->setModified(false);
    return true;
}

FrmEditeur::SaveResult FrmEditeur::saveLetter(int letter)
{
    LetterEdit *edit = letterEdit(letter);
    if (!edit || isBlankLetter(*edit->document()))
        return SaveResult::Blank;
    const QString path = filePath(letter);
    if (path.isEmpty())
        return Enregistrer_Sous(letter, caption(letter)) ? SaveResult::Saved : SaveResult::NotSaved;
    QString error;
    if (!RichText::saveRtfFile(path, edit->document(), &error)) {
        Dialogs::message(this, error, QMessageBox::Ok, Dialogs::Icon::Warning);
        return SaveResult::WriteFailed;
    }
    edit->document()->setModified(false);
    return SaveResult::Saved;
}

int FrmEditeur::Ajuste_Page(QTextEdit *document, int leftMargin, int rightMargin, bool toPrinter)
{
    if (!document)
        return 0;
    const std::optional<EditorGeometry::PrintedLine> line =
        EditorGeometry::printedLine(leftMargin, rightMargin, Twips::screenDpi(), kTextMargin);
    if (!toPrinter || !line) {
        document->setLineWrapMode(QTextEdit::WidgetWidth);
        return Twips::fromPixels(document->viewport()->width());
    }
    // Printing lays the letter out with the fonts' design metrics and no document margin: the
    // screen does the same, the margin drawn around the text added to the wrapping width.
    QTextDocument *text = document->document();
    text->setUseDesignMetrics(true);
    text->setDocumentMargin(line->documentMargin);
    document->setLineWrapMode(QTextEdit::FixedPixelWidth);
    document->setLineWrapColumnOrWidth(line->wrapWidth);
    return line->lineWidth;
}

void FrmEditeur::Barre_Plate(QToolBar *toolbar)
{
    if (!toolbar)
        return;
    for (QAction *action : toolbar->actions()) {
        if (auto *button = qobject_cast<QToolButton *>(toolbar->widgetForAction(action)))
            button->setAutoRaise(true);
    }
    toolbar->update();
}

// --- Geometry ------------------------------------------------------------------------------

void FrmEditeur::Charge_Fenetre()
{
    const EditorGeometry::Stored stored = EditorGeometry::read(DataPaths::editorSettingsFile());
    if (!stored.state)
        return;
    if (*stored.state == 2) {
        setWindowState(windowState() | Qt::WindowMaximized);
        return;
    }
    if (*stored.state != 0 && *stored.state != 1)
        return;
    if (stored.height)
        resize(width(), qMax(1, storedToPixels(*stored.height)));
    if (stored.width)
        resize(qMax(1, storedToPixels(*stored.width)), height());
    if (stored.left)
        move(storedToPixels(*stored.left), y());
    if (stored.top)
        move(x(), storedToPixels(*stored.top));
    const QRect onScreen = EditorGeometry::keepOnScreen(QRect(pos(), size()), screenAreas());
    if (onScreen != QRect(pos(), size())) {
        resize(onScreen.size());
        move(onScreen.topLeft());
    }
}

void FrmEditeur::Sauve_Fenetre()
{
    geometrySaved = true;
    const Qt::WindowStates state = windowState();
    const int stored = state & Qt::WindowMinimized ? 1 : (state & Qt::WindowMaximized ? 2 : 0);
    EditorGeometry::write(DataPaths::editorSettingsFile(), stored, Twips::fromPixels(height()),
                          Twips::fromPixels(width()), Twips::fromPixels(x()), Twips::fromPixels(y()));
}

void FrmEditeur::applyStoredSpellChecking()
{
    SpellChecker::shared()->setEnabled(EditorGeometry::readSpellChecking(DataPaths::editorSettingsFile()));
}

void FrmEditeur::showEvent(QShowEvent *event)
{
    shownOnce = true;
    geometrySaved = false;
    QMainWindow::showEvent(event);
}

bool FrmEditeur::confirmClose()
{
    std::vector<int> changed;
    for (int letter = 1; letter <= letterCount(); ++letter) {
        const QTextDocument *document = letterEdit(letter)->document();
        if (document->isModified() && !isBlankLetter(*document))
            changed.push_back(letter);
    }
    if (changed.empty())
        return true;
    const QString text =
        changed.size() == 1
            ? u"La lettre « %1 » a été modifiée.\nVoulez-vous enregistrer les modifications ?"_s.arg(
                  caption(changed.front()))
            : u"%1 lettres ont été modifiées.\nVoulez-vous enregistrer les modifications ?"_s.arg(changed.size());
    const QMessageBox::StandardButton answer =
        Dialogs::message(this, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, Dialogs::Icon::Question,
                         QString(), QMessageBox::Yes);
    if (answer == QMessageBox::No)
        return true;
    if (answer != QMessageBox::Yes)
        return false;
    for (const int letter : changed) {
        selectLetter(letter);
        // A letter left unsaved (dialog cancelled, disk refused) keeps the editor open.
        if (saveLetter(letter) != SaveResult::Saved)
            return false;
    }
    return true;
}

void FrmEditeur::closeEvent(QCloseEvent *event)
{
    if (!confirmClose()) {
        event->ignore();
        return;
    }
    Sauve_Fenetre();
    event->accept();
    // Closing unloads the editor: every tab goes, and the next use starts from a new window.
    unloading = true;
    deleteLater();
}

// --- Status bar ----------------------------------------------------------------------------

void FrmEditeur::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(u"STB"_s);
    bar->setSizeGripEnabled(true);
    for (int panel = 1; panel <= 6; ++panel) {
        auto *label = new QLabel(bar);
        label->setObjectName(u"STB_%1"_s.arg(panel));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setMargin(1);
        if (panel == 1)
            bar->addWidget(label, 1);
        else
            bar->addPermanentWidget(label);
        statusPanels[size_t(panel)] = label;
    }
    statusPanels[1]->setText(u"Editeur de lettre - Format RTF"_s);
    statusPanels[1]->setToolTip(u"Editeur de lettre - Format RTF"_s);
    statusPanels[4]->setText(u"INS"_s);
    headerFooterNote = new QLabel(bar);
    headerFooterNote->setObjectName(u"STB_EnTete"_s);
    headerFooterNote->setFrameShape(QFrame::Panel);
    headerFooterNote->setFrameShadow(QFrame::Sunken);
    headerFooterNote->setMargin(1);
    headerFooterNote->setToolTip(
        u"Imprimé en haut ou en bas de chaque page, hors du texte : Outils, En-tête et pied de page…"_s);
    headerFooterNote->hide();
    bar->insertPermanentWidget(1, headerFooterNote); // right after the first panel
    clockTimer = new QTimer(this);
    connect(clockTimer, &QTimer::timeout, this, [this] { updateStatusPanels(); });
    clockTimer->start(1000);
    updateStatusPanels();
}

void FrmEditeur::updateStatusPanels()
{
    const QDateTime now = Clock::now();
    statusPanels[5]->setText(QLocale().toString(now.time(), u"HH:mm"_s));
    statusPanels[6]->setText(QLocale().toString(now.date(), u"dd/MM/yyyy"_s));
    const LetterEdit *edit = current();
    statusPanels[4]->setEnabled(!edit || !edit->overwriteMode());
#ifdef Q_OS_WIN
    // Only Windows says where the lock keys stand; elsewhere those panels stay blank.
    statusPanels[2]->setText((GetKeyState(VK_CAPITAL) & 1) ? u"CAPS"_s : QString());
    statusPanels[3]->setText((GetKeyState(VK_NUMLOCK) & 1) ? u"NUM"_s : QString());
#endif
}
