#pragma once

#include "richtext/TextSearch.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;

// "Remplacer…": find and replace in the editor's current letter. Modeless, as such dialogs are:
// the user goes on reading, and correcting, the letter beside it. Each button works on the
// letter the editor shows at that moment. "Remplacer tout" is one undo step of the letter and
// says how many replacements it made.
class FrmRemplacer : public QDialog
{
    Q_OBJECT

public:
    // target: the text control to work on, or nullptr when there is none.
    FrmRemplacer(QWidget *parent, std::function<QTextEdit *()> target);

    // Shows the dialog, raised, the search field holding text (when not empty) and focused.
    void showFor(const QString &text);
    TextSearch::Options options() const;

    // Controls, named for what they hold; object names as the tests find them.
    QLineEdit *searchText = nullptr;         // "Text1_0"
    QLineEdit *replacementText = nullptr;    // "Text1_1"
    QCheckBox *matchCase = nullptr;          // "Check1_0"
    QCheckBox *wholeWord = nullptr;          // "Check1_1"
    QPushButton *findButton = nullptr;       // "Bouton_0"
    QPushButton *replaceButton = nullptr;    // "Bouton_1"
    QPushButton *replaceAllButton = nullptr; // "Bouton_2"
    QPushButton *closeButton = nullptr;      // "Bouton_3"
    QLabel *status = nullptr;                // "Label_2": says when the text is not in the letter

signals:
    // A search was made: "Rechercher le suivant" of the editor goes on with it.
    void searched(const QString &text, TextSearch::Options options);

private:
    void findNext();
    void replace();
    void replaceAll();
    // Selects found in the letter, or says that the text is not in it.
    void showFound(QTextEdit *edit, const QTextCursor &found);
    void showButtons();

    std::function<QTextEdit *()> target;
};
