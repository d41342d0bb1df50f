#include "editor/FrmRemplacer.h"

#include "dialogs/Dialogs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

FrmRemplacer::FrmRemplacer(QWidget *parent, std::function<QTextEdit *()> targetEdit)
    : QDialog(parent), target(std::move(targetEdit))
{
    setObjectName(u"frmRemplacer"_s);
    setWindowTitle(u"Remplacer"_s);
    setModal(false);

    const auto field = [this](const QString &objectName, const QString &name) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(objectName);
        edit->setAccessibleName(name);
        return edit;
    };
    searchText = field(u"Text1_0"_s, u"Rechercher :"_s);
    replacementText = field(u"Text1_1"_s, u"Remplacer par :"_s);
    auto *searchLabel = new QLabel(u"&Rechercher :"_s, this);
    searchLabel->setObjectName(u"Label_0"_s);
    searchLabel->setBuddy(searchText);
    auto *replacementLabel = new QLabel(u"Remplacer &par :"_s, this);
    replacementLabel->setObjectName(u"Label_1"_s);
    replacementLabel->setBuddy(replacementText);

    const auto check = [this](const QString &objectName, const QString &caption) {
        auto *box = new QCheckBox(caption, this);
        box->setObjectName(objectName);
        box->setAccessibleName(QString(caption).remove(u'&'));
        return box;
    };
    matchCase = check(u"Check1_0"_s, u"Respecter la &casse"_s);
    wholeWord = check(u"Check1_1"_s, u"&Mot entier"_s);

    const auto button = [this](const QString &objectName, const QString &caption) {
        auto *push = new QPushButton(caption, this);
        push->setObjectName(objectName);
        push->setAccessibleName(QString(caption).remove(u'&'));
        push->setAutoDefault(false);
        return push;
    };
    findButton = button(u"Bouton_0"_s, u"Rechercher le &suivant"_s);
    replaceButton = button(u"Bouton_1"_s, u"R&emplacer"_s);
    replaceAllButton = button(u"Bouton_2"_s, u"Remplacer &tout"_s);
    closeButton = button(u"Bouton_3"_s, u"Fermer"_s);
    findButton->setDefault(true);

    status = new QLabel(this);
    status->setObjectName(u"Label_2"_s);
    status->setWordWrap(true);

    auto *fields = new QGridLayout;
    fields->addWidget(searchLabel, 0, 0);
    fields->addWidget(searchText, 0, 1);
    fields->addWidget(replacementLabel, 1, 0);
    fields->addWidget(replacementText, 1, 1);
    fields->addWidget(matchCase, 2, 1);
    fields->addWidget(wholeWord, 3, 1);
    fields->addWidget(status, 4, 0, 1, 2);
    auto *buttons = new QVBoxLayout;
    for (QPushButton *push : {findButton, replaceButton, replaceAllButton, closeButton})
        buttons->addWidget(push);
    buttons->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addLayout(buttons);
    searchText->setMinimumWidth(220);

    connect(findButton, &QPushButton::clicked, this, &FrmRemplacer::findNext);
    connect(replaceButton, &QPushButton::clicked, this, &FrmRemplacer::replace);
    connect(replaceAllButton, &QPushButton::clicked, this, &FrmRemplacer::replaceAll);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
    connect(searchText, &QLineEdit::textChanged, this, [this] {
        status->clear();
        showButtons();
    });
    showButtons();
}

void FrmRemplacer::showFor(const QString &text)
{
    if (!text.isEmpty())
        searchText->setText(text);
    status->clear();
    show();
    raise();
    activateWindow();
    searchText->setFocus();
    searchText->selectAll();
}

TextSearch::Options FrmRemplacer::options() const
{
    TextSearch::Options chosen;
    chosen.matchCase = matchCase->isChecked();
    chosen.wholeWord = wholeWord->isChecked();
    return chosen;
}

void FrmRemplacer::showButtons()
{
    const bool something = !searchText->text().isEmpty();
    for (QPushButton *push : {findButton, replaceButton, replaceAllButton})
        push->setEnabled(something);
}

void FrmRemplacer::showFound(QTextEdit *edit, const QTextCursor &found)
{
    if (found.isNull()) {
        status->setText(u"« %1 » ne figure pas dans la lettre."_s.arg(searchText->text()));
        return;
    }
    status->clear();
    edit->setTextCursor(found);
    edit->ensureCursorVisible();
}

void FrmRemplacer::findNext()
{
    QTextEdit *edit = target ? target() : nullptr;
    const QString text = searchText->text();
    if (!edit || text.isEmpty())
        return;
    emit searched(text, options());
    showFound(edit, TextSearch::findNext(edit->document(), text, edit->textCursor().selectionEnd(), options()));
}

void FrmRemplacer::replace()
{
    QTextEdit *edit = target ? target() : nullptr;
    const QString text = searchText->text();
    if (!edit || text.isEmpty() || edit->isReadOnly())
        return;
    emit searched(text, options());
    // The first press finds the occurrence, the next one replaces it and finds the following.
    const TextSearch::ReplaceResult result =
        TextSearch::replaceOne(edit->textCursor(), text, replacementText->text(), options());
    if (result.replaced && result.next.isNull()) {
        // The last one is replaced: the caret stays after it.
        status->setText(u"« %1 » ne figure plus dans la lettre."_s.arg(text));
        return;
    }
    showFound(edit, result.next);
}

void FrmRemplacer::replaceAll()
{
    QTextEdit *edit = target ? target() : nullptr;
    const QString text = searchText->text();
    if (!edit || text.isEmpty() || edit->isReadOnly())
        return;
    emit searched(text, options());
    const int count = TextSearch::replaceAll(edit->document(), text, replacementText->text(), options());
    status->clear();
    const QString report = count == 0   ? u"« %1 » ne figure pas dans la lettre : aucun remplacement."_s.arg(text)
                           : count == 1 ? u"1 remplacement effectué."_s
                                        : u"%1 remplacements effectués."_s.arg(count);
    Dialogs::message(this, report, QMessageBox::Ok, Dialogs::Icon::Information);
}
