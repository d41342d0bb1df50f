#include "core/BodyFile.h"

#include "core/TextFile.h"

using namespace Qt::StringLiterals;

namespace BodyFile {

bool read(const QString &path, QString *body, QString *error)
{
    QString text;
    if (!TextFile::read(path, &text, error))
        return false;
    if (text.endsWith(u"\r\n"_s))
        text.chop(2);
    *body = text;
    return true;
}

bool write(const QString &path, const QString &body, QString *error)
{
    return TextFile::write(path, body + u"\r\n"_s, error);
}

} // namespace BodyFile
