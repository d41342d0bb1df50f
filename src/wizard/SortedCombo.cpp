#include "wizard/SortedCombo.h"

#include "core/AlphabeticalOrder.h"

#include <QComboBox>

namespace SortedCombo {
void addItems(QComboBox *box, QStringList items)
{
    for (int i = 0; i < box->count(); ++i)
        items.append(box->itemText(i));
    AlphabeticalOrder::sort(&items);
    // Adding items must not change what the box shows.
    const QString shown = box->currentText();
    box->clear();
    box->addItems(items);
    box->setCurrentIndex(-1);
    box->setEditText(shown);
}
} // namespace SortedCombo
