#include "editor/FrmEditeur.h"

#include "about/FrmAbout.h"
#include "batch/LetterBatch.h"
#include "batch/ui/PdfExport.h"
#include "core/Clock.h"
#include "core/DataPaths.h"
#include "core/Product.h"
#include "dialogs/Dialogs.h"
#include "editor/CharacterTable.h"
#include "editor/EditorGeometry.h"
#include "editor/FrmEnTete.h"
#include "editor/FrmRemplacer.h"
#include "editor/LetterEdit.h"
#include "editor/RichEditing.h"
#include "printing/ImprimeRtf.h"
#include "printing/Imprimer.h"
#include "richtext/HeadersFooters.h"
#include "richtext/RichText.h"
#include "richtext/TextSearch.h"
#include "richtext/Twips.h"
#include "spelling/SpellChecker.h"

#include <QAction>
#include <QActionGroup>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QUrl>

// The editor's tool bar and menus: what each entry shows, and what it does.

using namespace Qt::StringLiterals;

namespace {
// Each indent button moves the paragraph by 5 mm (56.7 twips a millimetre).
constexpr double kIndentStepTwips = 5 * 56.7;
} // namespace

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

// The entries of the tool bar, by number; image numbers are those of the bundled pictures. The
// 28 original entries are shown in this order; the ones added after them are shown after
// "Imprimer", where word processors have them.
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
    {nullptr, ToolEntry::Button, 0, nullptr, nullptr},
    // Their keys are those of their menu items.
    {u"Annuler", ToolEntry::Button, 23, "edit-undo", nullptr},
    {u"Rétablir", ToolEntry::Button, 24, "edit-redo", nullptr},
};
constexpr int kToolEntryCount = int(std::size(kToolEntries));
constexpr int kOriginalToolEntries = 28;
// The separator the added entries go before: the one after "Imprimer".
constexpr int kAddedToolEntriesBefore = 7;

// The editor is a new window each time it opens, and Qt's pixmap cache keeps what each icon drew
// under that icon's own key: with new icons per window, a day's letters piled up some ten
// megabytes of the same pictures. So each picture is made once per process and shared.
QHash<int, QIcon> &sharedIcons()
{
    static QHash<int, QIcon> icons;
    return icons;
}

void forgetSharedIcons()
{
    sharedIcons().clear();
}

QIcon bundledIcon(int image, const char *theme)
{
    QHash<int, QIcon> &icons = sharedIcons();
    if (const auto found = icons.constFind(image); found != icons.cend())
        return *found;
    if (icons.isEmpty())
        qAddPostRoutine(forgetSharedIcons); // pixmaps go before the application does
    QIcon fallback;
    for (const int size : {16, 32})
        fallback.addFile(u":/editor/icons/ico%1_%2.png"_s.arg(size).arg(image, 2, 10, QLatin1Char('0')),
                         QSize(size, size));
    // A desktop theme, when there is one, has the last word.
    const QIcon icon = QIcon::themeName().isEmpty() ? fallback : QIcon::fromTheme(QString::fromLatin1(theme), fallback);
    icons.insert(image, icon);
    return icon;
}
} // namespace

void FrmEditeur::buildToolBar()
{
    toolBar = addToolBar(u"Barre d'outils"_s);
    toolBar->setObjectName(u"Toolbar1"_s);
    toolBar->setMovable(false);
    toolBar->setFloatable(false);
    toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolBar->setIconSize(QSize(16, 16));
    alignmentGroup = new QActionGroup(this);
    alignmentGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (int index = 1; index <= kToolEntryCount; ++index) {
        const ToolEntry &entry = kToolEntries[index - 1];
        QAction *before = index > kOriginalToolEntries ? toolButtons[size_t(kAddedToolEntriesBefore)] : nullptr;
        QAction *action = nullptr;
        if (!entry.tooltip) {
            action = toolBar->insertSeparator(before);
        } else {
            const QString tip = QString::fromUtf16(entry.tooltip);
            action = new QAction(bundledIcon(entry.image, entry.theme), tip, toolBar);
            toolBar->insertAction(before, action);
            action->setToolTip(tip);
            action->setCheckable(entry.style != ToolEntry::Button);
            if (entry.style == ToolEntry::Group)
                alignmentGroup->addAction(action);
            if (entry.shortcut)
                action->setShortcut(QKeySequence(QString::fromLatin1(entry.shortcut)));
            connect(action, &QAction::triggered, this, [this, index] { Toolbar1_ButtonClick(ToolButton(index)); });
            if (QWidget *button = toolBar->widgetForAction(action)) {
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
    toolButton(ToolButton::AlignLeft)->setChecked(true); // "Justifier à gauche" starts pressed
}

void FrmEditeur::Toolbar1_ButtonClick(ToolButton button)
{
    const int index = int(button);
    if (index < 1 || index > kToolEntryCount || !toolButtons[size_t(index)])
        return;
    using enum ToolButton;
    LetterEdit *edit = current();
    const bool pressed = toolButton(button)->isChecked();
    switch (button) {
    case New:
        Mnu_OutFichier_Click(FileItem::New);
        return;
    case Open:
        Mnu_OutFichier_Click(FileItem::Open);
        return;
    case Save:
        Mnu_OutFichier_Click(FileItem::Save);
        return;
    case Preview:
        Mnu_OutFichier_Click(FileItem::Preview);
        return;
    case Print:
        Mnu_OutFichier_Click(FileItem::Print);
        return;
    case Date:
        Mnu_OutOutils_Click(ToolsItem::Date);
        return;
    case Time:
        Mnu_OutOutils_Click(ToolsItem::Time);
        return;
    case Close:
        Mnu_OutFichier_Click(FileItem::Close);
        return;
    case Undo:
        Mnu_OutEdition_Click(EditItem::Undo);
        return;
    case Redo:
        Mnu_OutEdition_Click(EditItem::Redo);
        return;
    default:
        break;
    }
    if (!edit)
        return;
    switch (button) {
    case Bold:
    case Italic:
    case Underline:
    case StrikeOut: {
        QTextCharFormat format;
        if (button == Bold)
            format.setFontWeight(pressed ? QFont::Bold : QFont::Normal);
        else if (button == Italic)
            format.setFontItalic(pressed);
        else if (button == Underline)
            format.setFontUnderline(pressed);
        else
            format.setFontStrikeOut(pressed);
        edit->mergeCurrentCharFormat(format);
        break;
    }
    case AlignLeft:
        edit->setAlignment(Qt::AlignLeft);
        break;
    case Center:
        edit->setAlignment(Qt::AlignHCenter);
        break;
    case AlignRight:
        edit->setAlignment(Qt::AlignRight);
        break;
    case Bullet:
        RichEditing::setBullet(edit, pressed);
        break;
    case IndentLess:
    case IndentMore:
        RichEditing::shiftIndent(edit,
                                 Twips::toDocumentPixels(button == IndentLess ? -kIndentStepTwips : kIndentStepTwips));
        break;
    case Font:
        chooseFont();
        break;
    case Color:
        chooseColor();
        break;
    case Picture:
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
    if (!edit || !toolButton(ToolButton::Bold))
        return;
    const RichEditing::SelectionFormat format = RichEditing::selectionFormat(edit);
    toolButton(ToolButton::Bold)->setChecked(format.bold.value_or(false));
    toolButton(ToolButton::Italic)->setChecked(format.italic.value_or(false));
    toolButton(ToolButton::Underline)->setChecked(format.underline.value_or(false));
    toolButton(ToolButton::StrikeOut)->setChecked(format.strikeOut.value_or(false));
    const auto alignment = format.alignment.value_or(RichEditing::SelectionFormat::Justified);
    toolButton(ToolButton::AlignLeft)->setChecked(alignment == RichEditing::SelectionFormat::Left);
    toolButton(ToolButton::Center)->setChecked(alignment == RichEditing::SelectionFormat::Center);
    toolButton(ToolButton::AlignRight)->setChecked(alignment == RichEditing::SelectionFormat::Right);
    toolButton(ToolButton::Bullet)->setChecked(format.bullet.value_or(false));
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
                         u"en bon état."_s.arg(QFileInfo(path).fileName()),
                         QMessageBox::Ok, Dialogs::Icon::Warning);
        return;
    }
    LetterEdit *edit = current();
    QTextCursor cursor = edit->textCursor();
    // No wider than the printed line.
    RichEditing::insertImage(cursor, image, Twips::toDocumentPixels(EditorGeometry::kPageWidth - 2 * LetterMargin));
    edit->setTextCursor(cursor);
}

// --- Menus ---------------------------------------------------------------------------------

namespace {
struct MenuEntry
{
    const char16_t *caption; // nullptr: a separator
    const char *shortcut;    // several keys are separated by "; "
};

template <typename Item, size_t N>
void fillMenu(QMenu *menu, const QString &arrayName, std::array<QAction *, N> &items, const MenuEntry (&entries)[N],
              QObject *receiver, std::function<void(Item)> handler)
{
    for (int index = 0; index < int(N); ++index) {
        const MenuEntry &entry = entries[index];
        QAction *action = nullptr;
        if (!entry.caption) {
            action = menu->addSeparator();
        } else {
            action = menu->addAction(QString::fromUtf16(entry.caption));
            if (entry.shortcut)
                action->setShortcuts(QKeySequence::listFromString(QString::fromLatin1(entry.shortcut)));
            QObject::connect(action, &QAction::triggered, receiver, [handler, index] { handler(Item(index)); });
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
    {nullptr, nullptr},
    {u"Exporter en PDF…", nullptr},
    {u"Exporter tout en PDF…", nullptr},
};
// The items added to "Fichier" after the original design (from its separator on) are shown
// after "Imprimer tout", with the other ways a letter leaves the editor, and before the
// separator of "Fermer l'éditeur"; their numbers follow the original items'.
constexpr int kFileAddedFrom = 14;
constexpr int kFileShownBefore = 12;
const MenuEntry kEditEntries[] = {
    {u"Couper", "Ctrl+X"},
    {u"Copier", "Ctrl+C"},
    {u"Coller", "Ctrl+V"},
    {u"Supprimer", nullptr},
    {nullptr, nullptr},
    {u"Tout sélectionner", "Ctrl+A"},
    {nullptr, nullptr},
    {u"Rechercher...", "Ctrl+F"},
    // F3, the usual key, is the character table's.
    {u"Rechercher le suivant", "Shift+F3"},
    {u"Remplacer…", "Ctrl+H"},
    {nullptr, nullptr},
    {u"Annuler", "Ctrl+Z"},
    {u"Rétablir", "Ctrl+Y; Ctrl+Shift+Z"},
};
const MenuEntry kToolsEntries[] = {
    {u"Table des caractères", "F3"},        {nullptr, nullptr}, {u"Convertir en majuscule", nullptr},
    {u"Convertir en minuscule", nullptr},   {nullptr, nullptr}, {u"Insérer la date courante", "F4"},
    {u"Insérer l'heure courante", nullptr}, {nullptr, nullptr}, {u"Vérification orthographique", nullptr},
    {u"En-tête et pied de page…", nullptr},
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
    fillMenu<FileItem>(Mnu_Fichier, u"Mnu_OutFichier"_s, Mnu_OutFichier, kFileEntries, this,
                       [this](FileItem item) { Mnu_OutFichier_Click(item); });
    for (size_t index = kFileAddedFrom; index < Mnu_OutFichier.size(); ++index) {
        Mnu_Fichier->removeAction(Mnu_OutFichier[index]);
        Mnu_Fichier->insertAction(Mnu_OutFichier[kFileShownBefore], Mnu_OutFichier[index]);
    }
    Mnu_Edition = menuBar()->addMenu(u"&Edition"_s);
    Mnu_Edition->setObjectName(u"Mnu_Edition"_s);
    fillMenu<EditItem>(Mnu_Edition, u"Mnu_OutEdition"_s, Mnu_OutEdition, kEditEntries, this,
                       [this](EditItem item) { Mnu_OutEdition_Click(item); });
    Mnu_Outils = menuBar()->addMenu(u"&Outils"_s);
    Mnu_Outils->setObjectName(u"Mnu_Outils"_s);
    fillMenu<ToolsItem>(Mnu_Outils, u"Mnu_OutOutils"_s, Mnu_OutOutils, kToolsEntries, this,
                        [this](ToolsItem item) { Mnu_OutOutils_Click(item); });
    Mnu_OutOutils[size_t(ToolsItem::SpellChecking)]->setCheckable(true);
    // The spelling entry says in its tooltip why it is disabled.
    Mnu_Outils->setToolTipsVisible(true);
    Mnu_Aide = menuBar()->addMenu(u"&Aide"_s);
    Mnu_Aide->setObjectName(u"Mnu_Aide"_s);
    fillMenu<HelpItem>(Mnu_Aide, u"Mnu_OutAide"_s, Mnu_OutAide, kHelpEntries, this,
                       [this](HelpItem item) { Mnu_OutAide_Click(item); });
}

void FrmEditeur::Mnu_OutFichier_Click(FileItem item)
{
    using enum FileItem;
    const int letter = currentLetter();
    LetterEdit *edit = current();
    switch (item) {
    case New:
        Nouveau();
        break;
    case Open:
        Ouvrir();
        break;
    case Save:
        saveLetter(letter);
        break;
    case SaveAs:
        if (edit && !isBlankLetter(*edit->document()))
            Enregistrer_Sous(letter, caption(letter));
        break;
    case SaveAll:
        for (int i = 1; i <= letterCount(); ++i) {
            // A refused dialog skips its letter; a file that cannot be written stops the round.
            if (saveLetter(i) == SaveResult::WriteFailed)
                break;
        }
        break;
    case Preview:
        // The preview lays the letter out with the printed margins, so it breaks where the paper does.
        if (edit && !isBlankLetter(*edit->document()))
            Preview_RTF(PPreview(), *edit->document(), LetterMargin, true);
        break;
    case PrinterSetup:
        configurePrinter(this);
        break;
    case Print:
        if (edit)
            printLetterCommand(this, *edit->document());
        break;
    case PrintAll: {
        QList<const QTextDocument *> documents;
        for (int i = 1; i <= letterCount(); ++i)
            documents.append(letterEdit(i)->document());
        printAllLettersCommand(this, documents);
        break;
    }
    case Close:
        close();
        break;
    case ExportPdf:
        // As the save: a blank letter is not exported; one from a file goes beside it.
        if (edit && !isBlankLetter(*edit->document()))
            PdfExport::exportLetter(
                this, LetterBatch::fromDocument(caption(letter), RichText::writeRtf(edit->document())),
                filePath(letter).isEmpty() ? QString() : QFileInfo(filePath(letter)).absolutePath());
        break;
    case ExportAllPdf: {
        // Every letter that is not blank (a batch leaves its first tab empty), named from its tab.
        QList<LetterBatch::Letter> documents;
        for (int i = 1; i <= letterCount(); ++i) {
            const QTextDocument *document = letterEdit(i)->document();
            if (!isBlankLetter(*document))
                documents.append(LetterBatch::fromDocument(caption(i), RichText::writeRtf(document)));
        }
        PdfExport::exportLetters(this, documents);
        break;
    }
    }
}

void FrmEditeur::Mnu_OutEdition_Click(EditItem item)
{
    using enum EditItem;
    LetterEdit *edit = current();
    if (!edit)
        return;
    switch (item) {
    case Cut:
        if (edit->textCursor().hasSelection())
            edit->cut();
        break;
    case Copy:
        if (edit->textCursor().hasSelection())
            edit->copy();
        break;
    case Paste:
        edit->paste();
        break;
    case Delete:
        if (edit->textCursor().hasSelection())
            edit->textCursor().removeSelectedText();
        break;
    case SelectAll:
        edit->selectAll();
        break;
    case Find:
        if (!edit->document()->isEmpty())
            Rechercher();
        break;
    case FindNext:
        findNext();
        break;
    case Replace:
        showReplaceDialog();
        break;
    case Undo:
        edit->undo();
        break;
    case Redo:
        edit->redo();
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
    lastSearch = {word, TextSearch::Options()};
    // Always from the start of the letter, upper and lower case alike.
    const QTextCursor found = edit->document()->find(word, 0);
    edit->setFocus();
    if (!found.isNull())
        edit->setTextCursor(found);
}

void FrmEditeur::findNext()
{
    LetterEdit *edit = current();
    if (!edit)
        return;
    if (lastSearch.text.isEmpty()) {
        Mnu_OutEdition_Click(EditItem::Find);
        return;
    }
    const QTextCursor found =
        TextSearch::findNext(edit->document(), lastSearch.text, edit->textCursor().selectionEnd(), lastSearch.options);
    edit->setFocus();
    if (!found.isNull())
        edit->setTextCursor(found);
}

void FrmEditeur::showReplaceDialog()
{
    if (!replaceDialog) {
        replaceDialog = new FrmRemplacer(this, [this]() -> QTextEdit * { return current(); });
        connect(replaceDialog, &FrmRemplacer::searched, this, [this](const QString &text, TextSearch::Options options) {
            lastSearch = {text, options};
        });
    }
    // The selection, when it is a few words of one line, is what the user wants replaced.
    const QString selected = current() ? current()->textCursor().selectedText() : QString();
    const bool oneLine = !selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator) && selected.size() <= 100;
    replaceDialog->showFor(oneLine ? selected : lastSearch.text);
}

void FrmEditeur::showUndoState()
{
    const LetterEdit *edit = current();
    const bool undo = edit && edit->document()->isUndoAvailable();
    const bool redo = edit && edit->document()->isRedoAvailable();
    Mnu_OutEdition[size_t(EditItem::Undo)]->setEnabled(undo);
    toolButton(ToolButton::Undo)->setEnabled(undo);
    Mnu_OutEdition[size_t(EditItem::Redo)]->setEnabled(redo);
    toolButton(ToolButton::Redo)->setEnabled(redo);
}

void FrmEditeur::showSpellCheckingState()
{
    const SpellChecker *checker = SpellChecker::shared();
    QAction *entry = Mnu_OutOutils[size_t(ToolsItem::SpellChecking)];
    entry->setChecked(checker->isEnabled());
    entry->setEnabled(checker->isAvailable());
    entry->setToolTip(checker->unavailableText());
}

void FrmEditeur::setSpellChecking(bool on)
{
    SpellChecker::shared()->setEnabled(on);
    // Not remembered when the file cannot be written: the switch still holds for this session.
    EditorGeometry::writeSpellChecking(DataPaths::editorSettingsFile(), on);
}

void FrmEditeur::Mnu_OutOutils_Click(ToolsItem item)
{
    using enum ToolsItem;
    switch (item) {
    case CharacterTable:
        showCharacterTable();
        break;
    case UpperCase:
        changeCase(true);
        break;
    case LowerCase:
        changeCase(false);
        break;
    case Date:
        insertText(QLocale().toString(Clock::today(), QLocale::LongFormat));
        break;
    case Time:
        insertText(QLocale().toString(Clock::now().time(), u"HH:mm:ss"_s));
        break;
    case SpellChecking:
        // The item has just ticked or unticked itself.
        setSpellChecking(Mnu_OutOutils[size_t(SpellChecking)]->isChecked());
        break;
    case HeaderFooter:
        editHeaderFooter();
        break;
    }
}

void FrmEditeur::editHeaderFooter()
{
    LetterEdit *edit = current();
    if (!edit)
        return;
    FrmEnTete dialog(edit->document(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    dialog.applyTo(edit->document());
    showHeaderFooterNote();
}

void FrmEditeur::showHeaderFooterNote()
{
    if (!headerFooterNote)
        return;
    const LetterEdit *edit = current();
    const bool header = edit && HeadersFooters::hasHeader(edit->document());
    const bool footer = edit && HeadersFooters::hasFooter(edit->document());
    headerFooterNote->setText(header && footer ? u"En-tête et pied de page"_s
                              : header         ? u"En-tête"_s
                              : footer         ? u"Pied de page"_s
                                               : QString());
    headerFooterNote->setVisible(header || footer);
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

void FrmEditeur::Mnu_OutAide_Click(HelpItem item)
{
    if (item == HelpItem::WebSite) {
        if (openUrl)
            openUrl(QUrl(Product::webPage()));
    } else if (item == HelpItem::About) {
        FrmAbout *about = FrmAbout::instance();
        about->setWindowModality(Qt::ApplicationModal);
        about->exec();
    }
}
