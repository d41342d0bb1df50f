#include "wizard/SortedCombo.h"

#include <QCollator>
#include <QComboBox>
#include <QLocale>

namespace SortedCombo {
void sortFrench(QStringList *items)
{
    QCollator collator{QLocale(QLocale::French, QLocale::France)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(items->begin(), items->end(), collator);
}

void addItems(QComboBox *box, QStringList items)
{
    for (int i = 0; i < box->count(); ++i)
        items.append(box->itemText(i));
    sortFrench(&items);
    // Adding items must not change what the box shows.
    const QString shown = box->currentText();
    box->clear();
    box->addItems(items);
    box->setCurrentIndex(-1);
    box->setEditText(shown);
}
} // namespace SortedCombo
