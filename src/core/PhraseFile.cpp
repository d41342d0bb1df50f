#include "core/PhraseFile.h"

#include "core/TextFile.h"

using namespace Qt::StringLiterals;

namespace PhraseFile {

bool read(const QString &path, int listCount, QList<QStringList> *lists, QString *error, ListLimits::Cut *cut)
{
    lists->clear();
    for (int i = 0; i < listCount; ++i)
        lists->append(QStringList());
    if (cut)
        *cut = {};
    QString text;
    if (!TextFile::read(path, &text, error))
        return false;
    int list = 0;
    ListLimits::Cut left;
    TextFile::forEachLine(text, [&](QStringView line) {
        if (list >= listCount)
            return;
        if (line.isEmpty())
            ++list;
        else if (ListLimits::admit(line, (*lists)[list].size(), &left))
            (*lists)[list].append(line.toString());
    });
    if (cut)
        *cut = left;
    return true;
}

bool write(const QString &path, const QList<QStringList> &lists, QString *error)
{
    QString text;
    for (const QStringList &fragments : lists) {
        for (QString fragment : fragments) {
            fragment.replace(u"\r\n"_s, u" "_s).replace(u'\r', u' ').replace(u'\n', u' ');
            if (fragment.isEmpty())
                continue;
            text += fragment;
            text += u"\r\n"_s;
        }
        text += u"\r\n"_s;
    }
    return TextFile::write(path, text, error);
}

} // namespace PhraseFile
