#include "core/TextFile.h"

#include "core/AtomicFile.h"
#include "core/Cp1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace TextFile {

bool read(const QString &path, QString *text, QString *error)
{
    return read(path, text, error, -1);
}

bool read(const QString &path, QString *text, QString *error, qint64 maxBytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) {
            *error = file.exists() ? u"Le fichier « %1 » ne peut pas être lu (%2)."_s.arg(
                                         QDir::toNativeSeparators(path), file.errorString())
                                   : u"Le fichier « %1 » est introuvable."_s.arg(QDir::toNativeSeparators(path));
        }
        return false;
    }
    const QByteArray bytes = maxBytes < 0 ? file.readAll() : file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = u"Le fichier « %1 » ne peut pas être lu (%2)."_s.arg(QDir::toNativeSeparators(path),
                                                                          file.errorString());
        return false;
    }
    if (maxBytes >= 0 && bytes.size() > maxBytes) {
        if (error) {
            const QString limit = maxBytes >= 1024 * 1024 ? u"%1 Mo"_s.arg(maxBytes / (1024 * 1024))
                                                          : u"%1 Ko"_s.arg(qMax<qint64>(1, maxBytes / 1024));
            *error =
                u"Le fichier « %1 » est trop volumineux : il dépasse %2."_s.arg(QDir::toNativeSeparators(path), limit);
        }
        return false;
    }
    *text = Cp1252::decodeFile(bytes);
    return true;
}

bool write(const QString &path, const QString &text, QString *error)
{
    QString reason;
    if (AtomicFile::replace(path, Cp1252::encodeFile(text), &reason))
        return true;
    if (error) {
        *error = u"Le fichier « %1 » n'a pas pu être enregistré (%2). Son contenu précédent est conservé."_s.arg(
            QDir::toNativeSeparators(path), reason);
    }
    return false;
}

void forEachLine(QStringView text, const std::function<void(QStringView line)> &take)
{
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        take(text.sliced(start, i - start));
        if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        take(text.sliced(start));
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    forEachLine(text, [&lines](QStringView line) { lines.append(line.toString()); });
    return lines;
}

} // namespace TextFile
