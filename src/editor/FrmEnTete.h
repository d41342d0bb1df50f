#pragma once

#include "richtext/HeadersFooters.h"

#include <QDialog>

#include <vector>

class LetterEdit;
class QCheckBox;
class QPushButton;
class QTabWidget;
class QTextDocument;
class QTextEdit;

// "En-tête et pied de page" (the editor's "Outils" menu): the header and the footer of a letter
// in two rich-text fields, once for the first page and once for the following pages when the
// first page has its own ("Première page différente"), and for the even pages too when the letter
// has facing pages. "Insérer le numéro de page" puts the page number, a field that each page
// fills with its own, where the caret of the field last used stands. The dialog works on copies:
// the letter changes only through applyTo(), which the editor calls on "OK".
class FrmEnTete : public QDialog
{
    Q_OBJECT

public:
    // The pages a tab of the dialog stands for.
    enum class Pages { First, Following, Even };

    explicit FrmEnTete(const QTextDocument *letter, QWidget *parent = nullptr);

    // The fields of those pages; nullptr when the letter has no such pages (Even without facing
    // pages).
    QTextEdit *headerField(Pages pages) const;
    QTextEdit *footerField(Pages pages) const;

    void insertPageNumber();
    // Puts what the fields hold on the letter: a field left empty takes that header or footer
    // away. The letter counts as changed when anything was. False when nothing changed.
    bool applyTo(QTextDocument *letter) const;

    QCheckBox *firstPageBox = nullptr;       // "Première page différente"
    QTabWidget *pageTabs = nullptr;          // one tab per kind of page
    QPushButton *pageNumberButton = nullptr; // "Insérer le numéro de page"

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct PageFields
    {
        Pages pages;
        HeadersFooters::Kind headerKind;
        HeadersFooters::Kind footerKind;
        LetterEdit *header = nullptr;
        LetterEdit *footer = nullptr;
    };
    const PageFields *fieldsOf(Pages pages) const;
    LetterEdit *addField(QWidget *tab, const QTextDocument *part, const QString &caption, const QString &name);
    void showFirstPage(bool shown);
    // The page number a field shows for pages: what the first of them prints.
    int samplePage(const QTextEdit *field) const;

    const bool titlePageAtStart;
    const bool facingPages;
    std::vector<PageFields> fields;
    QTextEdit *lastField = nullptr;
};
