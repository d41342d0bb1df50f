#include "core/ListLimits.h"

#include <QLocale>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace ListLimits {

bool admit(QStringView entry, qsizetype count, Cut *cut)
{
    if (count >= kMaxEntries) {
        ++cut->extraEntries;
        return false;
    }
    if (entry.size() > kMaxEntryLength) {
        ++cut->longEntries;
        return false;
    }
    return true;
}

QString describe(const Cut &cut)
{
    const QLocale french(QLocale::French, QLocale::France);
    QStringList parts;
    if (cut.longEntries > 0) {
        parts.append(
            (cut.longEntries == 1 ? u"%1 entrée de plus de %2 caractères"_s : u"%1 entrées de plus de %2 caractères"_s)
                .arg(french.toString(cut.longEntries), french.toString(kMaxEntryLength)));
    }
    if (cut.extraEntries > 0) {
        parts.append(
            (cut.extraEntries == 1 ? u"%1 entrée au-delà des %2 premières"_s : u"%1 entrées au-delà des %2 premières"_s)
                .arg(french.toString(cut.extraEntries), french.toString(kMaxEntries)));
    }
    return parts.join(u" et "_s);
}

} // namespace ListLimits
