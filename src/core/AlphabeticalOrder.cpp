#include "core/AlphabeticalOrder.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>

namespace AlphabeticalOrder {
namespace {
const QCollator &collator()
{
    static const QCollator french = [] {
        QCollator c{QLocale(QLocale::French, QLocale::France)};
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return french;
}
} // namespace

bool lessThan(const QString &a, const QString &b)
{
    return collator().compare(a, b) < 0;
}

void sort(QStringList *items)
{
    std::stable_sort(items->begin(), items->end(), lessThan);
}

qsizetype insertPosition(const QStringList &items, const QString &item)
{
    return std::upper_bound(items.cbegin(), items.cend(), item, lessThan) - items.cbegin();
}

} // namespace AlphabeticalOrder
