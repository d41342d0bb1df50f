#pragma once

#include <QMainWindow>

#include <array>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QAction;
class QPlainTextEdit;
class QPushButton;

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
    // Shows a window of another layer (registered by name, see WindowRegistry) modally and
    // returns when it is closed or hidden; does nothing when no such window is registered.
    void showModal(const QString &formName);
    // Gives the focus to the first field of the step shown.
    void focusStepField(int step);
    // The step panel (1 to 5).
    QWidget *stepPanel(int step) const { return stepPanels.at(step); }

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

    // Step 3: the date form, town, object, signature and the politeness formula's two parts.
    QComboBox *dateFormats = nullptr;
    QComboBox *town = nullptr;
    QComboBox *object = nullptr;
    QComboBox *signature = nullptr;
    QComboBox *formulaFirst = nullptr;
    QComboBox *formulaSecond = nullptr;

    // Step 4: the body, and "Assistant rédaction", "Importer", "Exporter", "Effacer".
    QPlainTextEdit *body = nullptr;
    std::array<QPushButton *, 4> bodyButtons{};

    // Step 5: the six final actions.
    std::array<QPushButton *, 6> finalButtons{};
    std::array<QLabel *, 6> finalDescriptions{};

    // The button row and the step headings.
    QPushButton *previousButton = nullptr;
    QPushButton *nextButton = nullptr;
    QPushButton *shortcutButton = nullptr;
    QPushButton *referencesButton = nullptr;
    QPushButton *quitButton = nullptr;
    QLabel *titleLabel = nullptr;
    QLabel *versionLabel = nullptr;
    std::array<QLabel *, 6> stepHeadings{};

    // The steps menu ("Etape") and the selection menu ("Selection").
    QMenu *Mnu_Etape = nullptr;
    std::array<QAction *, 7> Mnu_OutEtape{};
    QMenu *Mnu_Selection = nullptr;
    std::array<QAction *, 3> Mnu_OutSelection{};

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    FrmMenu();
    void load();
    void buildFrame();
    void buildSenderStep();
    void buildRecipientStep();
    void buildReferencesStep();
    void buildBodyStep();
    void buildFinalStep();
    void showStepsMenu();
    void showReferencesDialog();

    QWidget *central = nullptr;
    std::array<QWidget *, 6> stepPanels{}; // index 0 unused: the steps are numbered from 1
};
