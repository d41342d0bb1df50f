#include "ProgramFolder.h"

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
    const QString executableFolder = QCoreApplication::applicationDirPath();
    if (canWriteIn(executableFolder))
        return executableFolder;
    const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(userFolder);
    ProgramFolder::seed(executableFolder, userFolder);
    return userFolder;
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
                QFile::copy(info.filePath(), targetDir.filePath(root));
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
            QFile::copy(file, destination);
        }
    }
}

} // namespace ProgramFolder
