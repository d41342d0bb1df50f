#pragma once

#include "richtext/TextSearch.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <vector>

class CharacterTable;
class FrmRemplacer;
class LetterEdit;
class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QTabWidget;
class QTextEdit;
class QTimer;
class QToolBar;
class QUrl;

// The letter editor: one tab per letter, each with its rich-text document, a formatting tool
// bar, four menus and a status bar. Letter assembly fills it (Nouveau, then a caption and a
// content per letter); the wizard shows it modally. Letters are opened from and saved to RTF
// files. Letter numbers (tabs) count from 1, as the captions do.
class FrmEditeur : public QMainWindow
{
    Q_OBJECT

public:
    // The one editor of the process, created and loaded on first use.
    static FrmEditeur *instance();
    // The editor when it is loaded, else nullptr; never creates it.
    static FrmEditeur *existing();
    ~FrmEditeur() override;

    // How the help menu opens the product's web page; tests replace it.
    static std::function<void(const QUrl &)> openUrl;

    // --- Letters ---
    int letterCount() const;
    int currentLetter() const;
    void selectLetter(int letter);
    LetterEdit *letterEdit(int letter) const;
    QString caption(int letter) const;
    void setCaption(int letter, const QString &caption);
    // The file the letter was last opened from or saved to; empty when it has none.
    QString filePath(int letter) const;
    // Letter assembly's way in: the letter's content as RTF, counted as unchanged afterwards.
    bool setLetterRtf(int letter, const QByteArray &rtf, QString *error = nullptr);

    // Adds a tab "Lettre n°<n>" with an empty letter and selects it.
    void Nouveau();
    // Asks for an RTF file and opens it: into the current tab when that one holds no file and no
    // text, else into a new tab. False when cancelled or when the file could not be read (the
    // user is told why, and nothing has changed).
    bool Ouvrir();
    // Save-as for one letter, proposing proposedName. False when cancelled or not written.
    bool Enregistrer_Sous(int letter, const QString &proposedName);
    // The saving rule: a blank letter is not saved; a letter with a file is written back to it;
    // any other goes through Enregistrer_Sous with its caption proposed.
    enum class SaveResult { Saved, Blank, NotSaved, WriteFailed };
    SaveResult saveLetter(int letter);

    // Lays the letter out at the printed line width of an A4 sheet with these margins (twips),
    // so its lines break on screen where they break on paper; toPrinter false wraps at the
    // window's edge. Returns the line width in twips.
    static int Ajuste_Page(QTextEdit *document, int leftMargin, int rightMargin, bool toPrinter);
    // Draws the tool bar's buttons flat, without raised borders.
    static void Barre_Plate(QToolBar *toolbar);
    // The window's geometry from and to "Editeur.ini".
    void Charge_Fenetre();
    void Sauve_Fenetre();
    // The "Vérification orthographique" switch from "Editeur.ini", given to the spell checker
    // every window shares; the program's start calls it before any window checks a word.
    static void applyStoredSpellChecking();

    // The tool bar's buttons by their numbers in the tool bar (Toolbar1, 1 to 31; the numbers
    // left out are separators), and the items of each menu by their indexes in it (the
    // separators counted), as the tests and the object names count them. The entries added to
    // the original ones come after them in the numbering.
    enum class ToolButton {
        New = 1,
        Open = 2,
        Save = 3,
        Preview = 5,
        Print = 6,
        Bold = 8,
        Italic = 9,
        Underline = 10,
        StrikeOut = 11,
        AlignLeft = 13,
        Center = 14,
        AlignRight = 15,
        Bullet = 17,
        IndentLess = 18,
        IndentMore = 19,
        Font = 21,
        Color = 22,
        Picture = 24,
        Date = 25,
        Time = 26,
        Close = 28,
        Undo = 30,
        Redo = 31,
    };
    enum class FileItem {
        New = 0,
        Open = 1,
        Save = 3,
        SaveAs = 4,
        SaveAll = 5,
        Preview = 7,
        PrinterSetup = 8,
        Print = 10,
        PrintAll = 11,
        Close = 13,
        ExportPdf = 15,
        ExportAllPdf = 16,
    };
    enum class EditItem {
        Cut = 0,
        Copy = 1,
        Paste = 2,
        Delete = 3,
        SelectAll = 5,
        Find = 7,
        FindNext = 8,
        Replace = 9,
        Undo = 11,
        Redo = 12,
    };
    enum class ToolsItem {
        CharacterTable = 0,
        UpperCase = 2,
        LowerCase = 3,
        Date = 5,
        Time = 6,
        SpellChecking = 8,
        HeaderFooter = 9
    };
    enum class HelpItem { WebSite = 0, About = 2 };

    // The menu commands and the tool bar buttons, as their items run them.
    void Mnu_OutFichier_Click(FileItem item);
    void Mnu_OutEdition_Click(EditItem item);
    void Mnu_OutOutils_Click(ToolsItem item);
    void Mnu_OutAide_Click(HelpItem item);
    void Toolbar1_ButtonClick(ToolButton button);
    void Rechercher();
    // "Rechercher le suivant": the last search ("Rechercher..." or the replace dialog's) again,
    // from the end of the selection, going round to the start; without one, "Rechercher...".
    void findNext();
    // "Remplacer…": the replace dialog, beside the editor (created on first use).
    void showReplaceDialog();

    // Controls, named for what they hold; their object names are the original control names
    // ("Toolbar1", "Tab1"), as the tests and the screen reader find them.
    QToolBar *toolBar = nullptr;
    std::array<QAction *, 32> toolButtons{}; // 1 to 31, separators included; index: ToolButton
    QAction *toolButton(ToolButton button) const { return toolButtons[size_t(button)]; }
    QActionGroup *alignmentGroup = nullptr;
    QTabWidget *letterTabs = nullptr;
    std::array<QLabel *, 7> statusPanels{}; // STB panels 1 to 6
    // Beside the first panel, shown when the current letter has a header or a footer: neither
    // appears in the text, only on the printed pages.
    QLabel *headerFooterNote = nullptr;
    QMenu *Mnu_Fichier = nullptr;
    QMenu *Mnu_Edition = nullptr;
    QMenu *Mnu_Outils = nullptr;
    QMenu *Mnu_Aide = nullptr;
    std::array<QAction *, 17> Mnu_OutFichier{};
    std::array<QAction *, 13> Mnu_OutEdition{};
    std::array<QAction *, 10> Mnu_OutOutils{};
    std::array<QAction *, 3> Mnu_OutAide{};
    // The character table, once "Table des caractères" has opened it.
    CharacterTable *characterTable = nullptr;
    // The replace dialog, once "Remplacer…" has opened it.
    FrmRemplacer *replaceDialog = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    FrmEditeur();
    void load();
    void buildToolBar();
    void buildMenus();
    void buildStatusBar();
    void updateStatusPanels();
    // The pressed states of the style, alignment and bullet buttons, from the current letter.
    void showSelectionFormat();
    // "Annuler" and "Rétablir" enabled when the current letter has something to undo or redo.
    void showUndoState();
    // "Vérification orthographique": ticked as the user left it, enabled with a dictionary.
    void showSpellCheckingState();
    void setSpellChecking(bool on);
    // Underlines the unknown words of the letter's document (each new document needs it again).
    static void checkSpelling(LetterEdit *edit);
    LetterEdit *addLetter(const QString &caption);
    // A letter just read (opened or assembled): justified, laid out at the printed width, its
    // cursor at the start, unchanged and with nothing to undo.
    void startAsUnchanged(LetterEdit *edit);
    LetterEdit *current() const;
    bool confirmClose();
    void showCharacterTable();
    void insertText(const QString &text);
    void changeCase(bool upper);
    void chooseFont();
    void chooseColor();
    void insertPicture();
    // "En-tête et pied de page…": the letter's headers and footers in FrmEnTete.
    void editHeaderFooter();
    void showHeaderFooterNote();

    struct Letter
    {
        LetterEdit *edit = nullptr;
        QString path;
    };
    std::vector<Letter> letters;
    QTimer *clockTimer = nullptr;
    // What "Rechercher le suivant" looks for: the last word searched, with its options.
    struct Search
    {
        QString text;
        TextSearch::Options options;
    } lastSearch;
    bool unloading = false;
    bool geometrySaved = false;
    bool shownOnce = false;
};
