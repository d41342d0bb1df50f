#include "composition/ui/AjouteMot.h"

#include "core/AlphabeticalOrder.h"
#include "dialogs/Dialogs.h"

#include <QListWidget>

using namespace Qt::StringLiterals;

int Ajoute_Mot(QListWidget *list, const QString &word, bool showMessage)
{
    QStringList entries;
    for (int row = 0; row < list->count(); ++row) {
        const QString entry = list->item(row)->text();
        if (entry.compare(word, Qt::CaseInsensitive) == 0) {
            if (showMessage)
                showDuplicateMessage(list, word);
            return row;
        }
        entries.append(entry);
    }
    if (!word.isEmpty())
        list->insertItem(int(AlphabeticalOrder::insertPosition(entries, word)), word);
    return -1;
}

void showDuplicateMessage(QListWidget *list, const QString &word)
{
    Dialogs::message(list->window(), u"Le mot ''"_s + word.toUpper() + u"'' est déjà présent dans la liste."_s,
                     QMessageBox::Ok, Dialogs::Icon::Critical);
}
