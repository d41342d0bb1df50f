#include "core/BodyFile.h"

#include "core/TextFile.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace BodyFile {

namespace {

// Text files hold tabs, line ends, now and then a page break or an old end-of-file mark; other
// control characters in number mean bytes that were never typed.
bool looksLikeText(const QString &text)
{
    qsizetype controls = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == 0)
            return false;
        if ((u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r' && u != u'\f') || u == 0x7F)
            ++controls;
    }
    return controls * 100 <= text.size();
}

} // namespace

bool read(const QString &path, QString *body, QString *error)
{
    QString text;
    if (!TextFile::read(path, &text, error, kMaxBytes))
        return false;
    if (!looksLikeText(text)) {
        if (error) {
            *error = u"Le fichier « %1 » n'est pas un fichier texte : il ne peut pas être importé."_s.arg(
                QDir::toNativeSeparators(path));
        }
        return false;
    }
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
