#pragma once

#include <QDialog>

#include <array>
#include <vector>

class PhraseList;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

// The writing assistant: builds an introduction and a conclusion from ready-made fragments, adds
// the user's own middle part, and puts the three as the wizard's body. Closing only hides it, so
// the next opening finds everything as it was left.
class FrmAssistant : public QDialog
{
    Q_OBJECT

public:
    // The one assistant of the process, created and loaded on first use.
    static FrmAssistant *instance();
    // The assistant when it has been loaded, else nullptr; never creates it.
    static FrmAssistant *existing();

    ~FrmAssistant() override;

    // Upper strip (Tab1): " Introduction " and its preview; lower strip (Tab2): the simple and
    // the evolved conclusion, and their preview.
    QTabWidget *introductionTabs = nullptr;
    QTabWidget *conclusionTabs = nullptr;

    // The sentence parts (List1, List2, List3) and the date and object inside the introduction.
    std::array<PhraseList *, 8> introductionLists{};
    std::array<PhraseList *, 4> simpleConclusionLists{};
    std::array<PhraseList *, 5> evolvedConclusionLists{};
    QLineEdit *dateField = nullptr;   // Jjour
    QLineEdit *objectField = nullptr; // Objet

    // Text1: the introduction, the middle part and the conclusion.
    QPlainTextEdit *introductionText = nullptr;
    QPlainTextEdit *middleText = nullptr;
    QPlainTextEdit *conclusionText = nullptr;

    // Outils: "Appliquer" of the introduction, of the simple and of the evolved conclusion.
    std::array<QPushButton *, 3> composeButtons{};
    // Bouton: "Appliquer", "Annuler", "Récupérer le contenu du corps", "Tout effacer".
    std::array<QPushButton *, 4> buttons{};

private:
    // The lists of one phrase file.
    struct PhraseArray
    {
        QString fileName;
        std::vector<PhraseList *> lists;
        // False when the file exists but could not be read at loading: rewriting it from the
        // (empty) lists would wipe the fragments it holds.
        bool rewritable = true;
        // What the lists left out of the file (ListLimits), empty when it was read whole; such a
        // file is not rewritten either.
        QString leftOut;
    };

    FrmAssistant();
    void build();
    void load();
    void loadPhrases(PhraseArray &array);
    void connectEditing(PhraseArray &array);
    void addFragment(PhraseArray &array, PhraseList *list);
    void removeFragment(PhraseArray &array, PhraseList *list);
    // Rewrites the file of the array; on failure tells the user, naming the file, and returns
    // false so that the lists are put back as the file still holds them.
    bool rewrite(const PhraseArray &array, bool report);
    QString filePath(const PhraseArray &array) const;

    void composeIntroduction();
    void composeConclusion(const PhraseArray &array);
    void applyToBody();
    void fetchBody();
    void clearTexts();

    PhraseArray introductionPhrases;
    PhraseArray simplePhrases;
    PhraseArray evolvedPhrases;
};
