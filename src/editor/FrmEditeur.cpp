#include "editor/FrmEditeur.h"

#include "editor/CharacterTable.h"
#include "core/Clock.h"
#include "core/DataPaths.h"
#include "dialogs/Dialogs.h"
#include "editor/EditorGeometry.h"
#include "about/FrmAbout.h"
#include "editor/LetterEdit.h"
#include "editor/PrintHooks.h"
#include "core/Product.h"
#include "editor/RichEditing.h"
#include "richtext/RichText.h"
#include "richtext/RichTextProperties.h"
#include "dialogs/Twips.h"
#include "dialogs/WindowRegistry.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
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

#include <cmath>

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
// The printed page: an A4 sheet with the margins printing uses, in twips.
constexpr int kPageWidth = 11906;
constexpr int kPrintMargin = 1400;
// The blank drawn around a letter's text on the screen, in pixels.
constexpr double kTextMargin = 4;
// Each indent button moves the paragraph by 5 mm (56.7 twips a millimetre).
constexpr double kIndentStepTwips = 5 * 56.7;

double logicalDpi()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return dpi > 0 ? dpi : 96.0;
}

int toTwips(int pixels)
{
    return int(std::lround(pixels * 1440.0 / logicalDpi()));
}

int toPixels(double twips)
{
    // Beyond what a screen could show, the value is nonsense: hold it to something a window
    // system accepts; keepOnScreen brings the window back afterwards.
    return Twips::toPixels(int(qBound(-1.0e6, twips, 1.0e6)));
}

QString fileTitle(const QString &path)
{
    return QFileInfo(path).fileName();
}

// A window whose stored place lies off every screen (a monitor unplugged since) comes back onto
// the nearest one, whole when it fits.
QRect keepOnScreen(const QRect &window)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return window;
    const QScreen *nearest = nullptr;
    qint64 best = -1;
    for (const QScreen *screen : screens) {
        const QRect area = screen->availableGeometry();
        const QRect shared = area.intersected(window);
        // Enough of it shows to take hold of the title bar: leave it where it is.
        if (shared.width() >= qMin(100, window.width()) && shared.height() >= qMin(40, window.height()) &&
            shared.top() == qMax(window.top(), area.top()) && window.top() >= area.top())
            return window;
        const QPoint delta = area.center() - window.center();
        const qint64 distance = qint64(delta.x()) * delta.x() + qint64(delta.y()) * delta.y();
        if (!nearest || distance < best) {
            nearest = screen;
            best = distance;
        }
    }
    const QRect area = nearest->availableGeometry();
    QRect moved = window;
    moved.setWidth(qMin(window.width(), area.width()));
    moved.setHeight(qMin(window.height(), area.height()));
    moved.moveLeft(qBound(area.left(), window.left(), area.right() - moved.width() + 1));
    moved.moveTop(qBound(area.top(), window.top(), area.bottom() - moved.height() + 1));
    return moved;
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

    Tab1 = new QTabWidget(this);
    Tab1->setObjectName(u"Tab1"_s);
    Tab1->setAccessibleName(u"Lettres"_s);
    Tab1->setDocumentMode(false);
    setCentralWidget(Tab1);
    connect(Tab1, &QTabWidget::currentChanged, this, [this] { showSelectionFormat(); });

    buildToolBar();
    buildMenus();
    buildStatusBar();
    addLetter(u"Lettre n°1"_s);
}

FrmEditeur::~FrmEditeur()
{
    // Unloaded without being closed (the wizard going away): the geometry is kept all the same.
    if (shownOnce && !geometrySaved)
        Sauve_Fenetre();
}

void FrmEditeur::load()
{
    // Centred at the design size (tool bar and status bar inside it, the menu bar above); the
    // stored geometry, when there is one, then takes over.
    resize(Twips::toPixels(kDesignWidth), Twips::toPixels(kDesignHeight) + menuBar()->sizeHint().height());
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
    }
    Barre_Plate(Toolbar1);
    Charge_Fenetre();
}

// --- Letters -------------------------------------------------------------------------------

int FrmEditeur::letterCount() const
{
    return int(letters.size());
}

int FrmEditeur::currentLetter() const
{
    return Tab1->currentIndex() + 1;
}

void FrmEditeur::selectLetter(int letter)
{
    if (letter >= 1 && letter <= letterCount())
        Tab1->setCurrentIndex(letter - 1);
}

LetterEdit *FrmEditeur::letterEdit(int letter) const
{
    return letter >= 1 && letter <= letterCount() ? letters[size_t(letter - 1)].edit : nullptr;
}

QString FrmEditeur::caption(int letter) const
{
    return Tab1->tabText(letter - 1);
}

void FrmEditeur::setCaption(int letter, const QString &caption)
{
    if (letter >= 1 && letter <= letterCount()) {
        Tab1->setTabText(letter - 1, caption);
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
    auto *edit = new LetterEdit(Tab1);
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
    // Every letter breaks its lines where the printed page will.
    Ajuste_Page(edit, kPrintMargin, kPrintMargin, true);
    Tab1->addTab(edit, caption);
    return edit;
}

bool FrmEditeur::setLetterRtf(int letter, const QByteArray &rtf, QString *error)
{
    LetterEdit *edit = letterEdit(letter);
    if (!edit)
        return false;
    const RichText::ReadResult read = RichText::readRtf(rtf, edit->document());
    if (error)
        *error = read.error;
    RichEditing::justify(edit->document());
    Ajuste_Page(edit, kPrintMargin, kPrintMargin, true);
    edit->moveCursor(QTextCursor::Start);
    edit->document()->setModified(false);
    return read.ok;
}

void FrmEditeur::Nouveau()
{
    const int number = letterCount() + 1;
    LetterEdit *edit = addLetter(u"Lettre n°%1"_s.arg(number));
    Tab1->setCurrentWidget(edit);
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
    QString error;
    if (!RichText::loadRtfFile(path, document, &error)) {
        delete document;
        Dialogs::message(this, u"Le fichier « %1 » n'a pas pu être ouvert.\n%2"_s.arg(fileTitle(path), error),
                         QMessageBox::Ok, Dialogs::Icon::Warning);
        return false;
    }
    int letter = currentLetter();
    // The current tab is reused only when it holds neither a file nor any text of its own.
    const bool reuse = filePath(letter).isEmpty() && RichEditing::isBlank(current()->document());
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
    RichEditing::justify(document);
    document->setModified(false);
    selectLetter(letter);
    Ajuste_Page(edit, kPrintMargin, kPrintMargin, true); // the new document takes the printed width too
    edit->moveCursor(QTextCursor::Start);
    showSelectionFormat();
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
    if (!edit || RichEditing::isBlank(edit->document()))
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
    const qint64 lineWidth = qint64(kPageWidth) - leftMargin - rightMargin;
    if (!toPrinter || lineWidth <= 0) {
        document->setLineWrapMode(QTextEdit::WidgetWidth);
        return toTwips(document->viewport()->width());
    }
    // Printing lays the letter out with the fonts' design metrics and no document margin: the
    // screen does the same, the margin drawn around the text added to the wrapping width.
    QTextDocument *text = document->document();
    text->setUseDesignMetrics(true);
    // The wrapping width is whole pixels; the margin around the text takes up the fraction, so
    // the lines are exactly as wide as on paper.
    const double exact = lineWidth * logicalDpi() / 1440.0;
    const int wrap = int(std::ceil(exact + 2 * kTextMargin));
    text->setDocumentMargin((wrap - exact) / 2);
    document->setLineWrapMode(QTextEdit::FixedPixelWidth);
    document->setLineWrapColumnOrWidth(wrap);
    return int(lineWidth);
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
        resize(width(), qMax(1, toPixels(*stored.height)));
    if (stored.width)
        resize(qMax(1, toPixels(*stored.width)), height());
    if (stored.left)
        move(toPixels(*stored.left), y());
    if (stored.top)
        move(x(), toPixels(*stored.top));
    const QRect onScreen = keepOnScreen(QRect(pos(), size()));
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
    EditorGeometry::write(DataPaths::editorSettingsFile(), stored, toTwips(height()), toTwips(width()), toTwips(x()),
                          toTwips(y()));
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
        if (document->isModified() && !RichEditing::isBlank(document))
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

// --- Tool bar ------------------------------------------------------------------------------

namespace {
struct ToolEntry
{
    const char16_t *tooltip; // nullptr: a separator
    enum Style { Button, Check, Group } style;
    int image;
    const char *theme;
    const char *shortcut;
};

// The 28 entries of the tool bar, in order; image numbers are those of the bundled pictures.
const ToolEntry kToolEntries[] = {
    {u"Nouveau", ToolEntry::Button, 1, "document-new", nullptr},
    {u"Ouvrir", ToolEntry::Button, 2, "document-open", nullptr},
    {u"Sauver", ToolEntry::Button, 3, "document-save", nullptr},
    {nullptr, ToolEntry::Button, 0, nullptr, nullptr},
    {u"Aperçu avant impression", ToolEntry::Button, 4, "document-print-preview", nullptr},
    {u"Imprimer", ToolEntry::Button, 5, "document-print", nullptr},
    {nullptr, ToolEntry::Button, 0, nullptr, nullptr},
    {u"Gras", ToolEntry::Check, 7, "format-text-bold", "Ctrl+G"},
    {u"Italique", ToolEntry::Check, 8, "format-text-italic", "Ctrl+I"},
    {u"Souligné", ToolEntry::Check, 9, "format-text-underline", "Ctrl+U"},
    {u"Barré", ToolEntry::Check, 10, "format-text-strikethrough", "Ctrl+Shift+B"},
    {nullptr, ToolEntry::Button, 0, nullptr, nullptr},
    {u"Justifier à gauche", ToolEntry::Group, 11, "format-justify-left", "Ctrl+Shift+G"},
    {u"Centrer", ToolEntry::Group, 12, "format-justify-center", "Ctrl+E"},
    {u"Justifier à droite", ToolEntry::Group, 13, "format-justify-right", "Ctrl+Shift+D"},
    {nullptr, ToolEntry::Button, 0, nullptr, nullptr},
    {u"Tabulation", ToolEntry::Check, 14, "format-list-unordered", "Ctrl+Shift+L"},
    {u"Retrait négatif", ToolEntry::Button, 15, "format-indent-less", "Ctrl+Shift+M"},
    {u"Retrait positif", ToolEntry::Button, 16, "format-indent-more", "Ctrl+M"},
    {nullptr, ToolEntry::Button, 0, nullptr, nullptr},
    {u"Format police", ToolEntry::Button, 17, "preferences-desktop-font", "Ctrl+D"},
    {u"Couleur police", ToolEntry::Button, 18, "format-text-color", "Ctrl+Shift+K"},
    {nullptr, ToolEntry::Button, 0, nullptr, nullptr},
    {u"Insertion d'image", ToolEntry::Button, 19, "insert-image", "Ctrl+Shift+I"},
    {u"Insérer la date", ToolEntry::Button, 20, "x-office-calendar", nullptr},
    {u"Insérer l'heure", ToolEntry::Button, 21, "appointment-new", nullptr},
    {nullptr, ToolEntry::Button, 0, nullptr, nullptr},
    {u"Fermer l'éditeur", ToolEntry::Button, 22, "window-close", nullptr},
};

QIcon bundledIcon(int image, const char *theme)
{
    QIcon fallback;
    for (const int size : {16, 32})
        fallback.addFile(u":/editor/icons/ico%1_%2.png"_s.arg(size).arg(image, 2, 10, QLatin1Char('0')),
                         QSize(size, size));
    // A desktop theme, when there is one, has the last word.
    return QIcon::themeName().isEmpty() ? fallback : QIcon::fromTheme(QString::fromLatin1(theme), fallback);
}
} // namespace

void FrmEditeur::buildToolBar()
{
    Toolbar1 = addToolBar(u"Barre d'outils"_s);
    Toolbar1->setObjectName(u"Toolbar1"_s);
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    Toolbar1->setIconSize(QSize(16, 16));
    alignmentGroup = new QActionGroup(this);
    alignmentGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (int index = 1; index <= 28; ++index) {
        const ToolEntry &entry = kToolEntries[index - 1];
        QAction *action = nullptr;
        if (!entry.tooltip) {
            action = Toolbar1->addSeparator();
        } else {
            const QString tip = QString::fromUtf16(entry.tooltip);
            action = Toolbar1->addAction(bundledIcon(entry.image, entry.theme), tip);
            action->setToolTip(tip);
            action->setCheckable(entry.style != ToolEntry::Button);
            if (entry.style == ToolEntry::Group)
                alignmentGroup->addAction(action);
            if (entry.shortcut)
                action->setShortcut(QKeySequence(QString::fromLatin1(entry.shortcut)));
            connect(action, &QAction::triggered, this, [this, index] { Toolbar1_ButtonClick(index); });
            if (QWidget *button = Toolbar1->widgetForAction(action)) {
                button->setObjectName(u"Toolbar1_%1"_s.arg(index));
                button->setAccessibleName(tip);
                // The buttons without a menu item are reached from the keyboard by these keys.
                if (entry.shortcut)
                    button->setAccessibleDescription(u"Raccourci : "_s +
                                                     action->shortcut().toString(QKeySequence::NativeText));
            }
        }
        action->setObjectName(u"Toolbar1_%1"_s.arg(index));
        toolButtons[size_t(index)] = action;
    }
    toolButtons[13]->setChecked(true); // "Justifier à gauche" starts pressed
}

void FrmEditeur::Toolbar1_ButtonClick(int index)
{
    if (index < 1 || index > 28 || !toolButtons[size_t(index)])
        return;
    LetterEdit *edit = current();
    const bool pressed = toolButtons[size_t(index)]->isChecked();
    switch (index) {
    case 1:
        Mnu_OutFichier_Click(0);
        return;
    case 2:
        Mnu_OutFichier_Click(1);
        return;
    case 3:
        Mnu_OutFichier_Click(3);
        return;
    case 5:
        Mnu_OutFichier_Click(7);
        return;
    case 6:
        Mnu_OutFichier_Click(10);
        return;
    case 25:
        Mnu_OutOutils_Click(5);
        return;
    case 26:
        Mnu_OutOutils_Click(6);
        return;
    case 28:
        Mnu_OutFichier_Click(13);
        return;
    default:
        break;
    }
    if (!edit)
        return;
    switch (index) {
    case 8:
    case 9:
    case 10:
    case 11: {
        QTextCharFormat format;
        if (index == 8)
            format.setFontWeight(pressed ? QFont::Bold : QFont::Normal);
        else if (index == 9)
            format.setFontItalic(pressed);
        else if (index == 10)
            format.setFontUnderline(pressed);
        else
            format.setFontStrikeOut(pressed);
        edit->mergeCurrentCharFormat(format);
        break;
    }
    case 13:
        edit->setAlignment(Qt::AlignLeft);
        break;
    case 14:
        edit->setAlignment(Qt::AlignHCenter);
        break;
    case 15:
        edit->setAlignment(Qt::AlignRight);
        break;
    case 17:
        RichEditing::setBullet(edit, pressed);
        break;
    case 18:
    case 19:
        RichEditing::shiftIndent(edit, RichText::twipsToPixels(index == 18 ? -kIndentStepTwips : kIndentStepTwips));
        break;
    case 21:
        chooseFont();
        break;
    case 22:
        chooseColor();
        break;
    case 24:
        insertPicture();
        break;
    default:
        break;
    }
    showSelectionFormat();
}

void FrmEditeur::showSelectionFormat()
{
    const LetterEdit *edit = current();
    if (!edit || !toolButtons[8])
        return;
    const RichEditing::SelectionFormat format = RichEditing::selectionFormat(edit);
    toolButtons[8]->setChecked(format.bold.value_or(false));
    toolButtons[9]->setChecked(format.italic.value_or(false));
    toolButtons[10]->setChecked(format.underline.value_or(false));
    toolButtons[11]->setChecked(format.strikeOut.value_or(false));
    const auto alignment = format.alignment.value_or(RichEditing::SelectionFormat::Justified);
    toolButtons[13]->setChecked(alignment == RichEditing::SelectionFormat::Left);
    toolButtons[14]->setChecked(alignment == RichEditing::SelectionFormat::Center);
    toolButtons[15]->setChecked(alignment == RichEditing::SelectionFormat::Right);
    toolButtons[17]->setChecked(format.bullet.value_or(false));
}

void FrmEditeur::chooseFont()
{
    LetterEdit *edit = current();
    const RichEditing::SelectionFormat selection = RichEditing::selectionFormat(edit);
    // A mixed selection has no single font to start the dialog from. The dialog offers no colour:
    // each character keeps its own, mixed or not.
    if (!selection.fontName || !selection.fontSize || !selection.bold || !selection.italic)
        return;
    QFont font(*selection.fontName);
    if (*selection.fontSize > 0)
        font.setPointSizeF(*selection.fontSize);
    font.setBold(*selection.bold);
    font.setItalic(*selection.italic);
    font.setUnderline(selection.underline.value_or(false));
    font.setStrikeOut(selection.strikeOut.value_or(false));
    if (!Dialogs::chooseFont(this, &font))
        return;
    QTextCharFormat format;
    format.setFontFamilies(QStringList{font.family()});
    if (font.pointSizeF() > 0)
        format.setFontPointSize(font.pointSizeF());
    format.setFontWeight(font.bold() ? QFont::Bold : QFont::Normal);
    format.setFontItalic(font.italic());
    // The effects the dialog offers apply too; a mixed one that the user left unticked stays mixed.
    if (selection.underline || font.underline())
        format.setFontUnderline(font.underline());
    if (selection.strikeOut || font.strikeOut())
        format.setFontStrikeOut(font.strikeOut());
    edit->mergeCurrentCharFormat(format);
}

void FrmEditeur::chooseColor()
{
    LetterEdit *edit = current();
    const RichEditing::SelectionFormat selection = RichEditing::selectionFormat(edit);
    if (!selection.color)
        return;
    QColor color = selection.color->isValid() ? *selection.color : QColor(Qt::black);
    if (!Dialogs::chooseColor(this, &color))
        return;
    QTextCharFormat format;
    format.setForeground(color);
    edit->mergeCurrentCharFormat(format);
}

void FrmEditeur::insertPicture()
{
    const QString path = Dialogs::openFileName(this, u"Insérer une image"_s, QString(),
                                               u"Toutes les images (*.bmp *.jpg *.jpeg *.gif *.png *.ico)"_s);
    if (path.isEmpty())
        return;
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull()) {
        Dialogs::message(this,
                         u"L'image « %1 » ne peut pas être lue.\nChoisissez une image BMP, JPEG, GIF, PNG ou ICO "
                         u"en bon état."_s.arg(fileTitle(path)),
                         QMessageBox::Ok, Dialogs::Icon::Warning);
        return;
    }
    LetterEdit *edit = current();
    QTextCursor cursor = edit->textCursor();
    // No wider than the printed line.
    RichEditing::insertImage(cursor, image, RichText::twipsToPixels(kPageWidth - 2 * kPrintMargin));
    edit->setTextCursor(cursor);
}

// --- Menus ---------------------------------------------------------------------------------

namespace {
struct MenuEntry
{
    const char16_t *caption; // nullptr: a separator
    const char *shortcut;
};

template <size_t N>
void fillMenu(QMenu *menu, const QString &arrayName, std::array<QAction *, N> &items, const MenuEntry (&entries)[N],
              QObject *receiver, std::function<void(int)> handler)
{
    for (int index = 0; index < int(N); ++index) {
        const MenuEntry &entry = entries[index];
        QAction *action = nullptr;
        if (!entry.caption) {
            action = menu->addSeparator();
        } else {
            action = menu->addAction(QString::fromUtf16(entry.caption));
            if (entry.shortcut)
                action->setShortcut(QKeySequence(QString::fromLatin1(entry.shortcut)));
            QObject::connect(action, &QAction::triggered, receiver, [handler, index] { handler(index); });
        }
        action->setObjectName(u"%1_%2"_s.arg(arrayName).arg(index));
        items[size_t(index)] = action;
    }
}

const MenuEntry kFileEntries[] = {
    {u"Nouveau", "Ctrl+N"},
    {u"Ouvrir...", "Ctrl+O"},
    {nullptr, nullptr},
    {u"Enregistrer", "Ctrl+S"},
    {u"Enregistrer sous...", nullptr},
    {u"Enregistrer tout", "Ctrl+T"},
    {nullptr, nullptr},
    {u"Aperçu avant impression", nullptr},
    {u"Configurer l'impression", nullptr},
    {nullptr, nullptr},
    {u"Imprimer...", "Ctrl+P"},
    {u"Imprimer tout", nullptr},
    {nullptr, nullptr},
    {u"Fermer l'éditeur", "Ctrl+Q"},
};
const MenuEntry kEditEntries[] = {
    {u"Couper", "Ctrl+X"},   {u"Copier", "Ctrl+C"},        {u"Coller", "Ctrl+V"},
    {u"Supprimer", nullptr}, {nullptr, nullptr},           {u"Tout sélectionner", "Ctrl+A"},
    {nullptr, nullptr},      {u"Rechercher...", "Ctrl+F"},
};
const MenuEntry kToolsEntries[] = {
    {u"Table des caractères", "F3"},        {nullptr, nullptr}, {u"Convertir en majuscule", nullptr},
    {u"Convertir en minuscule", nullptr},   {nullptr, nullptr}, {u"Insérer la date courante", "F4"},
    {u"Insérer l'heure courante", nullptr},
};
const MenuEntry kHelpEntries[] = {
    {u"Visitez le site web", "F1"},
    {nullptr, nullptr},
    {u"A propos de...", "F2"},
};
} // namespace

void FrmEditeur::buildMenus()
{
    Mnu_Fichier = menuBar()->addMenu(u"&Fichier"_s);
    Mnu_Fichier->setObjectName(u"Mnu_Fichier"_s);
    fillMenu(Mnu_Fichier, u"Mnu_OutFichier"_s, Mnu_OutFichier, kFileEntries, this,
             [this](int index) { Mnu_OutFichier_Click(index); });
    Mnu_Edition = menuBar()->addMenu(u"&Edition"_s);
    Mnu_Edition->setObjectName(u"Mnu_Edition"_s);
    fillMenu(Mnu_Edition, u"Mnu_OutEdition"_s, Mnu_OutEdition, kEditEntries, this,
             [this](int index) { Mnu_OutEdition_Click(index); });
    Mnu_Outils = menuBar()->addMenu(u"&Outils"_s);
    Mnu_Outils->setObjectName(u"Mnu_Outils"_s);
    fillMenu(Mnu_Outils, u"Mnu_OutOutils"_s, Mnu_OutOutils, kToolsEntries, this,
             [this](int index) { Mnu_OutOutils_Click(index); });
    Mnu_Aide = menuBar()->addMenu(u"&Aide"_s);
    Mnu_Aide->setObjectName(u"Mnu_Aide"_s);
    fillMenu(Mnu_Aide, u"Mnu_OutAide"_s, Mnu_OutAide, kHelpEntries, this,
             [this](int index) { Mnu_OutAide_Click(index); });
}

void FrmEditeur::Mnu_OutFichier_Click(int index)
{
    const int letter = currentLetter();
    LetterEdit *edit = current();
    switch (index) {
    case 0:
        Nouveau();
        break;
    case 1:
        Ouvrir();
        break;
    case 3:
        saveLetter(letter);
        break;
    case 4:
        if (edit && !RichEditing::isBlank(edit->document()))
            Enregistrer_Sous(letter, caption(letter));
        break;
    case 5:
        for (int i = 1; i <= letterCount(); ++i) {
            // A refused dialog skips its letter; a file that cannot be written stops the round.
            if (saveLetter(i) == SaveResult::WriteFailed)
                break;
        }
        break;
    case 7:
        // The preview lays the letter out with the printed margins, so it breaks where the paper does.
        if (edit && !RichEditing::isBlank(edit->document()) && PrintHooks::preview)
            PrintHooks::preview(edit, kPrintMargin);
        break;
    case 8:
        if (PrintHooks::setUpPrinter)
            PrintHooks::setUpPrinter(this);
        break;
    case 10:
        printLetters(false);
        break;
    case 11:
        printLetters(true);
        break;
    case 13:
        close();
        break;
    default:
        break;
    }
}

void FrmEditeur::printLetters(bool all)
{
    const QMessageBox::StandardButton answer = Dialogs::message(
        this, u"L'imprimante doit être active avant l'impression.\nÊtes-vous sûr de vouloir imprimer ?"_s,
        QMessageBox::Yes | QMessageBox::No, Dialogs::Icon::Question);
    if (answer != QMessageBox::Yes)
        return;
    const int first = all ? 1 : currentLetter();
    const int last = all ? letterCount() : currentLetter();
    QList<QTextEdit *> letters;
    for (int letter = first; letter <= last; ++letter) {
        LetterEdit *edit = letterEdit(letter);
        if (edit && !RichEditing::isBlank(edit->document()))
            letters.append(edit);
    }
    if (!letters.isEmpty() && PrintHooks::print)
        PrintHooks::print(letters, kPrintMargin, kPrintMargin, kPrintMargin, kPrintMargin);
}

void FrmEditeur::Mnu_OutEdition_Click(int index)
{
    LetterEdit *edit = current();
    if (!edit)
        return;
    switch (index) {
    case 0:
        if (edit->textCursor().hasSelection())
            edit->cut();
        break;
    case 1:
        if (edit->textCursor().hasSelection())
            edit->copy();
        break;
    case 2:
        edit->paste();
        break;
    case 3:
        if (edit->textCursor().hasSelection())
            edit->textCursor().removeSelectedText();
        break;
    case 5:
        edit->selectAll();
        break;
    case 7:
        if (!edit->document()->isEmpty())
            Rechercher();
        break;
    default:
        break;
    }
}

void FrmEditeur::Rechercher()
{
    LetterEdit *edit = current();
    QString word;
    const QString prompt = u"Veuillez indiquer un mot (ou expression) à rechercher.\n\n"
                           u"1. La recherche peut s'effectuer par n'importe quelle occurence de mot.\n\n"
                           u"2. Le résultat de la recherche sélectionnera le mot dans le texte.\n"_s;
    if (!Dialogs::inputText(this, u"Rechercher un mot..."_s, prompt, &word) || word.isEmpty())
        return;
    // Always from the start of the letter, upper and lower case alike.
    const QTextCursor found = edit->document()->find(word, 0);
    edit->setFocus();
    if (!found.isNull())
        edit->setTextCursor(found);
}

void FrmEditeur::Mnu_OutOutils_Click(int index)
{
    switch (index) {
    case 0:
        showCharacterTable();
        break;
    case 2:
        changeCase(true);
        break;
    case 3:
        changeCase(false);
        break;
    case 5:
        insertText(QLocale().toString(Clock::today(), QLocale::LongFormat));
        break;
    case 6:
        insertText(QLocale().toString(Clock::now().time(), u"HH:mm:ss"_s));
        break;
    default:
        break;
    }
}

void FrmEditeur::insertText(const QString &text)
{
    // Straight into the letter: the clipboard keeps what the user put there.
    if (LetterEdit *edit = current())
        edit->insertPlainText(text);
}

void FrmEditeur::changeCase(bool upper)
{
    LetterEdit *edit = current();
    if (!edit)
        return;
    QTextCursor cursor = edit->textCursor();
    if (!cursor.hasSelection()) {
        RichEditing::convertCase(edit->document(), 0, edit->document()->characterCount() - 1, upper);
        return;
    }
    const int start = cursor.selectionStart();
    const int end = RichEditing::convertCase(edit->document(), start, cursor.selectionEnd(), upper);
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    edit->setTextCursor(cursor);
}

void FrmEditeur::showCharacterTable()
{
    if (!characterTable) {
        characterTable = new CharacterTable(this);
        connect(characterTable, &CharacterTable::characterChosen, this, [this](const QString &character) {
            if (LetterEdit *edit = current())
                edit->insertPlainText(character);
        });
    }
    characterTable->show();
    characterTable->raise();
    characterTable->activateWindow();
}

void FrmEditeur::Mnu_OutAide_Click(int index)
{
    if (index == 0) {
        if (openUrl)
            openUrl(QUrl(Product::webPage()));
    } else if (index == 2) {
        FrmAbout *about = FrmAbout::instance();
        about->setWindowModality(Qt::ApplicationModal);
        about->exec();
    }
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
