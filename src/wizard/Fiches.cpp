#include "wizard/Fiches.h"

#include "core/AlphabeticalOrder.h"
#include "core/ContactCard.h"
#include "dialogs/Dialogs.h"
#include "wizard/Fonctions.h"
#include "wizard/FrmMenu.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QSet>
#include <QTreeWidget>

using namespace Qt::StringLiterals;
using ContactCard::Kind;

namespace {

// The fields of one card editor of the wizard, in the order of the card file's lines.
struct CardEditor
{
    QComboBox *name = nullptr;
    QList<QLineEdit *> lines;
    QComboBox *qualifier = nullptr;
    QComboBox *function = nullptr;
};

CardEditor editorOf(Kind kind)
{
    FrmMenu *menu = FrmMenu::instance();
    CardEditor editor;
    if (kind == Kind::Sender) {
        editor.name = menu->senderName;
        editor.lines = QList<QLineEdit *>(menu->senderFields.begin(), menu->senderFields.end());
        editor.qualifier = menu->senderQualifier;
        editor.function = menu->senderFunction;
    } else {
        editor.name = menu->recipientName;
        editor.lines = QList<QLineEdit *>(menu->recipientFields.begin(), menu->recipientFields.end());
        editor.qualifier = menu->recipientQualifier;
        editor.function = menu->recipientFunction;
    }
    return editor;
}

QStringList fieldsOf(const CardEditor &editor)
{
    QStringList fields{editor.name->currentText()};
    for (const QLineEdit *line : editor.lines)
        fields.append(line->text());
    fields.append(editor.qualifier->currentText());
    fields.append(editor.function->currentText());
    return fields;
}

void showFields(const CardEditor &editor, const QStringList &fields)
{
    editor.name->setEditText(fields.value(0));
    for (int i = 0; i < editor.lines.size(); ++i)
        editor.lines[i]->setText(fields.value(i + 1));
    editor.qualifier->setEditText(fields.value(editor.lines.size() + 1));
    editor.function->setEditText(fields.value(editor.lines.size() + 2));
}

// The file of a card. The name lists show "x.INI" as x too, so when no "x.ini" exists a file
// whose extension differs only in letter case is the card.
QString cardFile(Kind kind, const QString &name)
{
    const QString path = ContactCard::filePath(kind, name);
    if (path.isEmpty() || QFile::exists(path))
        return path;
    const QDir folder(ContactCard::folder(kind));
    for (const QString &file : folder.entryList({name + u".ini"_s}, QDir::Files)) {
        if (file.chopped(4) == name)
            return folder.filePath(file);
    }
    return path;
}

// The card an editor shows, from now on: the file its fields came from, under the name shown.
void remember(Kind kind, const QString &path, const QString &shownName)
{
    FrmMenu::instance()->shownCards[size_t(kind)] = {path, shownName};
}

// The file that saving or deleting the card named name touches: the card last loaded while its
// name is still the one shown (its file may be named otherwise, as "Nom (2).ini" for "Nom", and
// the card of the file named like the person is another one), else the card of that name.
QString targetFile(Kind kind, const QString &name)
{
    const FrmMenu::ShownCard &shown = FrmMenu::instance()->shownCards[size_t(kind)];
    if (!shown.file.isEmpty() && shown.name == name && QFile::exists(shown.file))
        return shown.file;
    return cardFile(kind, name);
}

void loadFile(Kind kind, const QString &path)
{
    QStringList fields;
    ContactCard::read(path, kind, &fields);
    showFields(editorOf(kind), fields);
    remember(kind, path, fields.value(0));
}

void loadCard(Kind kind, const QString &name)
{
    loadFile(kind, cardFile(kind, name));
}

bool saveCard(Kind kind, const QString &name)
{
    FrmMenu *menu = FrmMenu::instance();
    const CardEditor editor = editorOf(kind);
    const QString problem = ContactCard::nameProblem(name);
    if (!problem.isEmpty()) {
        Dialogs::message(menu, problem, QMessageBox::Ok, Dialogs::Icon::Warning);
        editor.name->setFocus();
        return false;
    }
    QString error;
    const QString path = targetFile(kind, name);
    if (!ContactCard::write(path, kind, fieldsOf(editor), &error)) {
        // Refilling the list would empty the fields: what was typed stays for another try.
        Dialogs::message(menu, u"La fiche n'a pas pu être enregistrée."_s + u"\r\n"_s + error, QMessageBox::Ok,
                         Dialogs::Icon::Critical);
        editor.name->setFocus();
        return false;
    }
    Liste_Fiches(int(kind));
    loadFile(kind, path);
    menu->showConfirmation(u"Fiche « %1 » enregistrée."_s.arg(QFileInfo(path).completeBaseName()));
    return true;
}

// Where a row of the batch list keeps the name of its card.
constexpr int kCardNameRole = Qt::UserRole;

// Sorts the batch list's rows by the text of the sort column, French style.
class RecipientRow : public QTreeWidgetItem
{
public:
    explicit RecipientRow(const QStringList &texts) : QTreeWidgetItem(texts) {}

    bool operator<(const QTreeWidgetItem &other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        return AlphabeticalOrder::lessThan(text(column), other.text(column));
    }
};

} // namespace

void Charge_Expediteur(const QString &name)
{
    loadCard(Kind::Sender, name);
}

void Charge_Destinataire(const QString &name)
{
    loadCard(Kind::Recipient, name);
}

bool Sauve_Expediteur(const QString &name)
{
    return saveCard(Kind::Sender, name);
}

bool Sauve_Destinataire(const QString &name)
{
    return saveCard(Kind::Recipient, name);
}

void Enregistre_Fiche(int kind)
{
    if (kind != 1 && kind != 2)
        return;
    const CardEditor editor = editorOf(Kind(kind));
    // The name and the qualifier are required; the function is not (a private person has none).
    // A field of spaces only has not been filled in. The message names the first one missing,
    // and the focus goes there.
    const std::pair<QComboBox *, QString> required[] = {{editor.name, u"Nom et prénom"_s},
                                                        {editor.qualifier, u"Qualificatif"_s}};
    for (const auto &[field, caption] : required) {
        if (!field->currentText().trimmed().isEmpty())
            continue;
        Dialogs::message(FrmMenu::instance(),
                         u"Il est nécessaire de compléter le champ ''%1'' avant de sauver la fiche."_s.arg(caption),
                         QMessageBox::Ok, Dialogs::Icon::Warning);
        field->setFocus();
        return;
    }
    if (kind == 1)
        Sauve_Expediteur(editor.name->currentText());
    else
        Sauve_Destinataire(editor.name->currentText());
}

void Supprime_Fiche(int kind)
{
    if (kind != 1 && kind != 2)
        return;
    FrmMenu *menu = FrmMenu::instance();
    const CardEditor editor = editorOf(Kind(kind));
    if (Dialogs::message(menu, u"Confirmez-vous la suppression de cette fiche ?"_s, QMessageBox::Yes | QMessageBox::No,
                         Dialogs::Icon::Question) != QMessageBox::Yes)
        return;

    const QString name = editor.name->currentText();
    // A name that cannot be a file name never reaches the file system: no card can bear it.
    QString failure = ContactCard::nameProblem(name);
    if (failure.endsWith(u'.'))
        failure.chop(1);
    if (failure.isEmpty()) {
        const QString path = targetFile(Kind(kind), name);
        if (!QFile::exists(path))
            failure = u"Fichier introuvable"_s;
        else if (!QFile::remove(path))
            failure = u"Permission refusée"_s;
    }
    if (!failure.isEmpty()) {
        Dialogs::message(menu, failure + u", cette fiche n'existe pas."_s, QMessageBox::Ok, Dialogs::Icon::Critical,
                         u"Erreur de suppression"_s);
        return;
    }
    Liste_Fiches(kind);
    Dialogs::message(menu, u"La fiche vient d'être supprimée."_s, QMessageBox::Ok, Dialogs::Icon::Information);
}

void Liste_Destinataires()
{
    FrmMenu *menu = FrmMenu::instance();
    QTreeWidget *list = menu->recipientList;
    list->clear();
    // A new list keeps the order of the card files until a header is clicked.
    list->header()->setSortIndicatorShown(false);
    list->header()->setSortIndicator(-1, Qt::AscendingOrder);

    const QDir folder(ContactCard::folder(Kind::Recipient));
    QStringList files = folder.entryList({u"*.ini"_s}, QDir::Files, QDir::NoSort);
    std::stable_sort(files.begin(), files.end(), [](const QString &a, const QString &b) {
        return AlphabeticalOrder::lessThan(a.chopped(4), b.chopped(4));
    });

    const QString tip = u"Double clic pour modifier, clic droit pour sélectionner."_s;
    QList<QTreeWidgetItem *> rows;
    rows.reserve(files.size());
    QStringList fields;
    for (const QString &file : files) {
        // A damaged or vanished card still gets its row, with the fields it lacks empty.
        ContactCard::read(folder.filePath(file), Kind::Recipient, &fields);
        auto *row = new RecipientRow(fields);
        row->setData(0, kCardNameRole, file.chopped(4));
        row->setIcon(0, menu->cardIcon);
        for (int column = 0; column < fields.size(); ++column)
            row->setToolTip(column, tip);
        rows.append(row);
    }
    list->addTopLevelItems(rows);
    list->setToolTip(rows.isEmpty() ? QString() : tip);
    if (!rows.isEmpty()) {
        list->setCurrentItem(rows.first());
        rows.first()->setSelected(true);
    }
}

QString recipientCardOf(const QTreeWidgetItem *row)
{
    return row ? row->data(0, kCardNameRole).toString() : QString();
}

QStringList selectedRecipientCards()
{
    const QTreeWidget *list = FrmMenu::instance()->recipientList;
    QStringList names;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (const QTreeWidgetItem *row = list->topLevelItem(i); row->isSelected())
            names.append(recipientCardOf(row));
    }
    return names;
}

void selectRecipientCards(const QStringList &names)
{
    QTreeWidget *list = FrmMenu::instance()->recipientList;
    QSet<QString> wanted;
    for (const QString &name : names)
        wanted.insert(name.toLower());
    list->clearSelection();
    bool first = true;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = list->topLevelItem(i);
        if (!wanted.contains(recipientCardOf(row).toLower()))
            continue;
        if (first) {
            list->setCurrentItem(row); // selects it too
            list->scrollToItem(row);
            first = false;
        }
        row->setSelected(true);
    }
}

void showRecipientRow(const QTreeWidgetItem *row)
{
    QStringList fields;
    for (int column = 0; column < ContactCard::fieldCount(Kind::Recipient); ++column)
        fields.append(row->text(column));
    showFields(editorOf(Kind::Recipient), fields);
    remember(Kind::Recipient, cardFile(Kind::Recipient, recipientCardOf(row)), fields.value(0));
}
