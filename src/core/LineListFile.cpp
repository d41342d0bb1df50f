#include "core/LineListFile.h"

#include "core/TextFile.h"

using namespace Qt::StringLiterals;

namespace LineListFile {

bool read(const QString &path, QStringList *entries, QString *error, ListLimits::Cut *cut)
{
    QString text;
    if (!TextFile::read(path, &text, error))
        return false;
    entries->clear();
    ListLimits::Cut left;
    TextFile::forEachLine(text, [&](QStringView line) {
        if (!line.isEmpty() && ListLimits::admit(line, entries->size(), &left))
            entries->append(line.toString());
    });
    if (cut)
        *cut = left;
    return true;
}

bool write(const QString &path, const QStringList &entries, QString *error)
{
    QString text;
    for (QString entry : entries) {
        entry.replace(u"\r\n"_s, u" "_s).replace(u'\r', u' ').replace(u'\n', u' ');
        if (entry.isEmpty())
            continue;
        text += entry;
        text += u"\r\n"_s;
    }
    return TextFile::write(path, text, error);
}

} // namespace LineListFile
