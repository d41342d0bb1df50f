#pragma once

#include <QString>
#include <QStringList>

// The order of every list the user picks from (card names, the batch list, the wizard's boxes,
// the assistant's phrase lists, the reference lists): alphabetical, French style, letter case
// ignored ("paris" and "Paris" sit together, "école" with "ecole", before "Étude").
namespace AlphabeticalOrder {

// True when a sorts before b.
bool lessThan(const QString &a, const QString &b);
void sort(QStringList *items);
// Where item goes in the sorted items: after every item that does not sort after it, so that an
// equal item is added behind the ones already there.
qsizetype insertPosition(const QStringList &items, const QString &item);

} // namespace AlphabeticalOrder
