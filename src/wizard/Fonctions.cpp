#include "wizard/Fonctions.h"

#include "core/DataPaths.h"
#include "core/Folders.h"
#include "core/LineListFile.h"
#include "core/ProperCase.h"
#include "editor/FrmEditeur.h"
#include "wizard/FrmMenu.h"
#include "wizard/SortedCombo.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>

#include <functional>

using namespace Qt::StringLiterals;

int EtapeCourante = 0;
QString CurrentModelName;

void Main()
{
    Init_Dossiers();
    // The spelling switch the user left in the editor holds in the wizard's body text too.
    FrmEditeur::applyStoredSpellChecking();
    Liste_Fiches(1); // loads the wizard window, hidden
    Liste_Fiches(2);
    Charge_Listes();
    FrmMenu::instance()->show();
}

void Liste_Fiches(int kind)
{
    FrmMenu *menu = FrmMenu::instance();
    if (kind == 1 || kind == 2)
        menu->shownCards[size_t(kind)] = {}; // the editor is emptied: it shows no card any more
    if (kind == 1) {
        for (QLineEdit *field : menu->senderFields)
            field->setText(QString());
        menu->senderQualifier->setEditText(QString());
        menu->senderFunction->setEditText(QString());
        menu->senderName->clear();
        menu->senderName->clearEditText();
        SortedCombo::addItems(menu->senderName, cardNamesIn(DataPaths::sendersFolder()));
    } else if (kind == 2) {
        for (QLineEdit *field : menu->recipientFields)
            field->setText(QString());
        menu->recipientQualifier->setEditText(QString());
        menu->recipientFunction->setEditText(QString());
        menu->recipientName->clear();
        menu->recipientName->clearEditText();
        SortedCombo::addItems(menu->recipientName, cardNamesIn(DataPaths::recipientsFolder()));
    }
}

namespace {

// Reloads one list into its boxes; a file that cannot be read leaves them without entries. What
// each box shows is given back in every case.
void reloadList(const QString &path, const std::vector<QComboBox *> &boxes,
                const std::function<QString(const QString &)> &shownAs = {})
{
    std::vector<QString> shown;
    for (QComboBox *box : boxes)
        shown.push_back(box->currentText());
    QStringList entries;
    LineListFile::read(path, &entries);
    if (shownAs) {
        for (QString &entry : entries)
            entry = shownAs(entry);
    }
    for (size_t i = 0; i < boxes.size(); ++i) {
        boxes[i]->clear();
        SortedCombo::addItems(boxes[i], entries);
        boxes[i]->setEditText(shown[i]);
    }
}

} // namespace

void Charge_Listes()
{
    FrmMenu *menu = FrmMenu::instance();
    const QDir references(DataPaths::referencesFolder());
    const QDir formulas(DataPaths::formulasFolder());
    reloadList(references.filePath(u"Fonctions.ini"_s), {menu->senderFunction, menu->recipientFunction});
    reloadList(references.filePath(u"Communes.ini"_s), {menu->town}, properCase);
    reloadList(references.filePath(u"Objets.ini"_s), {menu->object});
    reloadList(references.filePath(u"Signatures.ini"_s), {menu->signature}, properCase);
    reloadList(formulas.filePath(u"Formules1.ini"_s), {menu->formulaFirst});
    reloadList(formulas.filePath(u"Formules2.ini"_s), {menu->formulaSecond});
}

void Change_Etape(int direction)
{
    FrmMenu *menu = FrmMenu::instance();
    if (EtapeCourante == 0)
        EtapeCourante = 1;
    for (int step = 1; step <= 5; ++step)
        menu->stepPanel(step)->hide();
    EtapeCourante += direction == 1 ? -1 : 1;
    // The buttons are disabled at the ends, so this only guards against a stray call.
    EtapeCourante = std::clamp(EtapeCourante, 1, 5);
    menu->previousButton->setEnabled(EtapeCourante != 1);
    menu->nextButton->setEnabled(EtapeCourante != 5);
    QWidget *panel = menu->stepPanel(EtapeCourante);
    panel->show();
    panel->raise();
    menu->focusStepField(EtapeCourante);
}
