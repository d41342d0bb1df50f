#pragma once

#include <QStringList>

class QComboBox;

// The wizard's list boxes keep their items in alphabetical order, French style (AlphabeticalOrder).
namespace SortedCombo {
// Adds the items to the box, which keeps all of its items sorted.
void addItems(QComboBox *box, QStringList items);
} // namespace SortedCombo
