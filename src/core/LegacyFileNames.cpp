#include "core/LegacyFileNames.h"

#include "core/Cp1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace LegacyFileNames {
namespace {

bool isUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

bool endsWithOneOf(const QByteArray &name, const QStringList &suffixes)
{
    const QByteArray lower = name.toLower();
    return std::any_of(suffixes.begin(), suffixes.end(),
                       [&lower](const QString &suffix) { return lower.endsWith(suffix.toLower().toLatin1()); });
}

} // namespace

QList<Entry> find(const QString &folder, const QStringList &suffixes)
{
    QList<Entry> found;
#ifdef Q_OS_UNIX
    const QByteArray path = QFile::encodeName(folder);
    DIR *dir = ::opendir(path.constData());
    if (!dir)
        return found;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray raw(entry->d_name);
        if (isUtf8(raw) || !endsWithOneOf(raw, suffixes))
            continue;
        struct stat info
        {
        };
        if (::stat((path + '/' + raw).constData(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        found.append({raw, Cp1252::decode(raw)});
    }
    ::closedir(dir);
    std::sort(found.begin(), found.end(), [](const Entry &a, const Entry &b) { return a.raw < b.raw; });
#else
    Q_UNUSED(folder)
    Q_UNUSED(suffixes)
#endif
    return found;
}

bool renameAll(const QString &folder, const QList<Entry> &entries, QStringList *failures)
{
    bool all = true;
#ifdef Q_OS_UNIX
    const QByteArray path = QFile::encodeName(folder);
    for (const Entry &entry : entries) {
        const QString target = QDir(folder).filePath(entry.name);
        QString reason;
        // Never over a file of the user's: "Café.ini" may exist beside "Caf\xE9.ini".
        if (QFileInfo::exists(target))
            reason = u"un fichier de ce nom existe déjà"_s;
        else if (::rename((path + '/' + entry.raw).constData(), QFile::encodeName(target).constData()) != 0)
            reason = QString::fromLocal8Bit(std::strerror(errno));
        if (reason.isEmpty())
            continue;
        all = false;
        failures->append(
            u"Le fichier « %1 » n'a pas pu être renommé (%2)."_s.arg(QDir::toNativeSeparators(target), reason));
    }
#else
    Q_UNUSED(folder)
    Q_UNUSED(entries)
    Q_UNUSED(failures)
#endif
    return all;
}

QStringList describe(const QString &folder, const QList<Entry> &entries)
{
    QStringList lines;
    for (const Entry &entry : entries)
        lines.append(QDir::toNativeSeparators(QDir(folder).filePath(entry.name)));
    return lines;
}

} // namespace LegacyFileNames
