#include "core/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

using namespace Qt::StringLiterals;

namespace {

QString &overridePath()
{
    static QString folder;
    return folder;
}

bool canWriteIn(const QString &folder)
{
    // Permission bits lie on network shares and under ACLs: try it.
    QTemporaryFile probe(QDir(folder).filePath(u"quillo-XXXXXX.tmp"_s));
    return probe.open();
}

QString resolve()
{
    return ProgramFolder::resolveFor(QCoreApplication::applicationDirPath(),
                                     QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

// A copy of a read-only installed file (a package's or a read-only medium's) must still be the
// user's to change: the lists and the template are edited in place.
void copyWritable(const QString &source, const QString &destination)
{
    if (QFile::copy(source, destination))
        QFile::setPermissions(destination, QFile::permissions(destination) | QFileDevice::WriteOwner);
}

} // namespace

namespace ProgramFolder {

QString path()
{
    if (!overridePath().isEmpty())
        return overridePath();
    static const QString resolved = resolve();
    return resolved;
}

void setOverride(const QString &folder)
{
    overridePath() = folder;
}

QString overrideFolder()
{
    return overridePath();
}

QString installedContentFolder(const QString &executableFolder)
{
    // The relative path from the executable's folder to the installed content is fixed when the
    // program is configured, so that an installation moved to another prefix still finds it.
    const QString folder = QDir::cleanPath(QDir(executableFolder).filePath(QStringLiteral(QUILLO_INSTALLED_CONTENT)));
    return QFileInfo(folder).isDir() ? folder : QString();
}

QString resolveFor(const QString &executableFolder, const QString &userFolder)
{
    // An installed program never writes beside its executable, even where it could (a prefix in
    // the user's home, a test installation): its data belong in the user's data folder.
    const QString installed = installedContentFolder(executableFolder);
    if (installed.isEmpty() && canWriteIn(executableFolder))
        return executableFolder;
    QDir().mkpath(userFolder);
    seed(installed.isEmpty() ? executableFolder : installed, userFolder);
    return userFolder;
}

void seed(const QString &source, const QString &target)
{
    const QDir sourceDir(source);
    const QDir targetDir(target);
    // The installation content only: the template, the phrase files and the reference lists.
    const QStringList roots = {u"defaut.rtf"_s, u"Assistant"_s, u"Fichiers"_s};
    for (const QString &root : roots) {
        const QFileInfo info(sourceDir.filePath(root));
        if (info.isFile()) {
            if (!QFileInfo::exists(targetDir.filePath(root)))
                copyWritable(info.filePath(), targetDir.filePath(root));
            continue;
        }
        if (!info.isDir())
            continue;
        QDirIterator it(info.filePath(), QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            const QString relative = sourceDir.relativeFilePath(file);
            const QString destination = targetDir.filePath(relative);
            if (QFileInfo::exists(destination))
                continue;
            QDir().mkpath(QFileInfo(destination).path());
            copyWritable(file, destination);
        }
    }
}

} // namespace ProgramFolder
