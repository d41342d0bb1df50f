#pragma once

#include <QStringList>

class QComboBox;

// The wizard's list boxes keep their items in alphabetical order, French style: letter case and
// accents only break ties ("école" sorts with "ecole", before "Étude").
namespace SortedCombo {
void sortFrench(QStringList *items);
// Adds the items to the box, which keeps all of its items sorted.
void addItems(QComboBox *box, QStringList items);
} // namespace SortedCombo
