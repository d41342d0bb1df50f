#pragma once

#include <QMainWindow>

#include <QIcon>

#include <array>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QDate;
class QDateEdit;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTabBar;
class QTextDocument;
class QTreeWidget;
class QTreeWidgetItem;

// The letter wizard: five steps collect the sender, the recipient(s), the references, the body
// and the final action. The window is the store of the letter in preparation; the program's
// procedures read and write its fields directly.
class FrmMenu : public QMainWindow
{
    Q_OBJECT

public:
    // The one wizard window of the process, created (and loaded, hidden) on first use.
    static FrmMenu *instance();
    // The wizard window when it has been loaded, else nullptr; never creates it.
    static FrmMenu *existing();

    ~FrmMenu() override;

    // Shows step index + 1 (index 0 to 4) without moving the focus; the steps menu uses it.
    void Affiche_Etape(int index);
    // Shows another window of the program modally and returns when it is closed or hidden.
    void showModal(QWidget *window);
    // Gives the focus to the first field of the step shown.
    void focusStepField(int step);
    // A short confirmation in the status line (a card or a model saved, a letter printed).
    void showConfirmation(const QString &text);
    // The step panel (1 to 5).
    QWidget *stepPanel(int step) const { return stepPanels.at(step); }

    // Step 2: applies the recipient mode of the selected tab (single card or batch list): which
    // of the card and the list is shown, the heading, the hint and the step-5 buttons. Batch mode
    // rebuilds the list from the card files.
    void Tab1_Click();
    // True while step 2 is in batch mode ("Edition multiple").
    bool isBatchMode() const;

    // Step 3: sets the date picker to dateText (a short date, dd/mm/yyyy) and rebuilds the eight
    // worded forms of that date, showing the first one.
    void Liste_Formats_Date(const QString &dateText);

    // Step 1: the sender card (Combo1 0 to 2, Text1 0 to 5).
    QComboBox *senderName = nullptr;
    QComboBox *senderQualifier = nullptr;
    QComboBox *senderFunction = nullptr;
    std::array<QLineEdit *, 6> senderFields{};
    std::array<QPushButton *, 3> senderButtons{};

    // Step 2, single mode: the recipient card (Combo2 0 to 2, Text2 0 to 3).
    QFrame *recipientCard = nullptr;
    QComboBox *recipientName = nullptr;
    QComboBox *recipientQualifier = nullptr;
    QComboBox *recipientFunction = nullptr;
    std::array<QLineEdit *, 4> recipientFields{};
    std::array<QPushButton *, 3> recipientButtons{};

    // The card file whose fields each card editor shows (index: kind, 1 sender, 2 recipient), and
    // the name it showed then. A card's first line need not be its file's name (an import that
    // kept both cards writes "Nom (2).ini" for "Nom"): while the name box shows that name,
    // saving and deleting go to that file, never to the card named like the person.
    struct ShownCard
    {
        QString file;
        QString name;
    };
    std::array<ShownCard, 3> shownCards{};

    // Step 2: the mode tabs (Tab1: "Edition simple", "Edition multiple"), the batch list of every
    // recipient card (List1, seven columns, several rows selectable) and the hint beside the tabs.
    QTabBar *recipientMode = nullptr;
    QTreeWidget *recipientList = nullptr;
    QLabel *recipientHint = nullptr;
    // Under the batch list: recipients read from a spreadsheet's or an address book's file, and
    // the selected cards written as a spreadsheet's file (also in the "Selection" menu).
    QPushButton *importRecipientsButton = nullptr;
    QPushButton *exportRecipientsButton = nullptr;
    QIcon cardIcon; // the small icon of every row of the batch list

    // Step 3: the date form, town, object, signature and the politeness formula's two parts.
    QComboBox *dateFormats = nullptr;
    QComboBox *town = nullptr;
    QComboBox *object = nullptr;
    QComboBox *signature = nullptr;
    QComboBox *formulaFirst = nullptr;
    QComboBox *formulaSecond = nullptr;
    // The letter's date (DDate), enabled only while " Modifier les valeurs" (Check1_0) is ticked;
    // " Pas d'objet" (Check1_1) greys the object box; "Par défaut" and "Aléatoire" (Outils3).
    QDateEdit *letterDate = nullptr;
    QCheckBox *changeDate = nullptr;
    QCheckBox *noObject = nullptr;
    std::array<QPushButton *, 2> referenceButtons{};

    // Step 4: the body, and "Assistant rédaction", "Importer", "Exporter", "Effacer".
    QPlainTextEdit *body = nullptr;
    std::array<QPushButton *, 4> bodyButtons{};

    // Step 5: the final actions (FinalAction): the six of the original design, then
    // "Exporter en PDF".
    std::array<QPushButton *, 7> finalButtons{};
    std::array<QLabel *, 7> finalDescriptions{};

    // The working document: the letter last assembled, never shown; the preview and the RTF
    // export read it.
    QTextDocument *workingDocument = nullptr;

    // The button row and the step headings.
    QPushButton *previousButton = nullptr;
    QPushButton *nextButton = nullptr;
    QPushButton *shortcutButton = nullptr;
    QPushButton *referencesButton = nullptr;
    QPushButton *quitButton = nullptr;
    QLabel *titleLabel = nullptr;
    QLabel *versionLabel = nullptr;
    std::array<QLabel *, 6> stepHeadings{};

    // The letter's values (as a model stores them) when a model was last saved or opened, or
    // when the wizard was loaded: "Quitter" asks to save when the fields differ from them.
    QStringList lastModelValues;

    // The steps menu ("Etape") and the selection menu ("Selection").
    QMenu *Mnu_Etape = nullptr;
    std::array<QAction *, 7> Mnu_OutEtape{};
    QMenu *Mnu_Selection = nullptr;
    std::array<QAction *, 6> Mnu_OutSelection{};

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // How a control follows the window when it is made larger than its designed size.
    enum Anchor { Stay = 0, MoveRight = 1, GrowWide = 2, MoveDown = 4, GrowTall = 8 };
    struct Anchored
    {
        QWidget *widget;
        QRect designed;
        int anchor;
    };

    FrmMenu();
    void anchor(QWidget *widget, int how);
    void followWindowSize();
    void restoreSize();
    void rememberSize();
    void load();
    void buildFrame();
    void buildSenderStep();
    void buildRecipientStep();
    void buildReferencesStep();
    void buildBodyStep();
    void buildFinalStep();
    void showStepsMenu();
    void showReferencesDialog();
    void connectCardEditors();
    void newCard(int kind);
    void sortRecipientList(int column);
    void editRecipientRow(QTreeWidgetItem *row);
    void drawFormula();
    void letterDateChanged(const QDate &date);

    // Set while Liste_Formats_Date moves the picker, so that move does not rebuild the list again.
    bool settingLetterDate = false;
    // The order of the batch list's last sort; a second click on its header reverses it.
    int recipientSortColumn = -1;
    Qt::SortOrder recipientSortOrder = Qt::AscendingOrder;

    QWidget *central = nullptr;
    std::vector<Anchored> anchored;
    std::array<QWidget *, 6> stepPanels{}; // index 0 unused: the steps are numbered from 1
};
