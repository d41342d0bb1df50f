#include "TestSupport.h"

#include "app/Translations.h"
#include "core/ProgramFolder.h"
#include "dialogs/WindowRegistry.h"

#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QWidget>

#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace QuilloTest {

void prepareEnvironment()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
}

void prepareApplication(QApplication &app)
{
    installFrench(app);
    // A test closes windows itself; the application must not quit under it.
    QApplication::setQuitOnLastWindowClosed(false);
}

QString installationFolder()
{
    return QStringLiteral(QUILLO_DATA_DIR);
}

TempProgramFolder::TempProgramFolder(bool withInstallation)
{
    if (withInstallation)
        ProgramFolder::seed(installationFolder(), dir.path());
    ProgramFolder::setOverride(dir.path());
}

TempProgramFolder::~TempProgramFolder()
{
    // A newer folder may have taken over already (a test replacing its folder).
    if (ProgramFolder::overrideFolder() == dir.path())
        ProgramFolder::setOverride(QString());
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

bool writeRawNamed(const QString &folder, const QByteArray &rawName, const QByteArray &bytes)
{
    QDir().mkpath(folder);
    const QByteArray path = QFile::encodeName(folder) + '/' + rawName;
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    QFile file;
    const bool written =
        file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle) && file.write(bytes) == bytes.size();
    file.close();
    return written;
}

void removeRawNamed(const QString &folder, const QByteArray &rawName)
{
    ::unlink((QFile::encodeName(folder) + '/' + rawName).constData());
}

QStringList itemsOf(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items.append(box->itemText(i));
    return items;
}

QStringList itemsOf(const QListWidget *list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items.append(list->item(i)->text());
    return items;
}

QStringList filesUnder(const QString &root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(root).relativeFilePath(it.next()));
    files.sort();
    return files;
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString soffice()
{
    return QStandardPaths::findExecutable(u"soffice"_s);
}

QByteArray convertWithOffice(const QByteArray &rtf, const QString &filter, const QString &extension)
{
    QTemporaryDir dir;
    writeBytes(dir.filePath(u"lettre.rtf"_s), rtf);
    QProcess office;
    office.setWorkingDirectory(dir.path());
    // A profile of its own: a running LibreOffice of the user's would take the job otherwise.
    office.start(soffice(), {u"-env:UserInstallation=file://"_s + dir.filePath(u"profil"_s), u"--headless"_s,
                             u"--convert-to"_s, filter, u"--outdir"_s, dir.path(), dir.filePath(u"lettre.rtf"_s)});
    if (!office.waitForFinished(180000))
        return {};
    return readBytes(dir.filePath(u"lettre."_s + extension));
}

QStringList closeAllWindows()
{
    WindowRegistry::unloadAll();
    QStringList leftovers;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMenu *>(widget) || widget->windowType() == Qt::ToolTip || widget->inherits("QTipLabel") ||
            widget->inherits("QComboBoxPrivateContainer"))
            continue;
        // Widgets already scheduled for deletion go with the next event loop turn.
        leftovers.append(widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                                        : widget->objectName());
    }
    return leftovers;
}

} // namespace QuilloTest
