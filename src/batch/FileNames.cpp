#include "batch/FileNames.h"

#include <QSet>

using namespace Qt::StringLiterals;

namespace BatchFileNames {
namespace {

// Room is left for " (1000).pdf" within the 255 bytes that Linux allows a name.
constexpr int kMaxStemBytes = 200;

bool isDeviceName(const QString &name)
{
    const QString device = name.section(u'.', 0, 0).trimmed().toUpper();
    if (device == u"CON"_s || device == u"PRN"_s || device == u"AUX"_s || device == u"NUL"_s)
        return true;
    return device.size() == 4 && (device.startsWith(u"COM"_s) || device.startsWith(u"LPT"_s)) && device.at(3) >= u'1' &&
           device.at(3) <= u'9';
}

QString withoutTrailingDotsAndSpaces(QString name)
{
    while (!name.isEmpty() && (name.endsWith(u'.') || name.endsWith(u' ')))
        name.chop(1);
    return name;
}

} // namespace

QString stem(const QString &name)
{
    QString safe;
    safe.reserve(name.size());
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            safe += u' '; // a tab or a line end inside a name reads as a space
        else if (QStringView(u"<>:\"/\\|?*").contains(c))
            safe += u'_';
        else
            safe += c;
    }
    safe = withoutTrailingDotsAndSpaces(safe.simplified());
    while (safe.toUtf8().size() > kMaxStemBytes) {
        // Never between the two halves of a character outside the basic plane.
        safe.chop(safe.size() >= 2 && safe.at(safe.size() - 1).isLowSurrogate() ? 2 : 1);
        safe = withoutTrailingDotsAndSpaces(safe);
    }
    if (safe.startsWith(u'.'))
        safe[0] = u'_';
    if (isDeviceName(safe))
        safe.prepend(u'_');
    return safe.isEmpty() ? u"Lettre"_s : safe;
}

QStringList unique(const QStringList &names, const QString &extension)
{
    QStringList files;
    files.reserve(names.size());
    QSet<QString> taken;
    for (const QString &name : names) {
        const QString base = stem(name);
        QString file = base + u'.' + extension;
        for (int n = 2; taken.contains(file.toCaseFolded()); ++n)
            file = u"%1 (%2).%3"_s.arg(base).arg(n).arg(extension);
        taken.insert(file.toCaseFolded());
        files.append(file);
    }
    return files;
}

} // namespace BatchFileNames
