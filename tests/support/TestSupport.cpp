#include "TestSupport.h"

#include "core/ProgramFolder.h"
#include "app/Translations.h"
#include "dialogs/WindowRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QStandardPaths>
#include <QWidget>

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

QStringList closeAllWindows()
{
    WindowRegistry::unloadAll();
    QStringList leftovers;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMenu *>(widget) || widget->windowType() == Qt::ToolTip
            || widget->inherits("QTipLabel") || widget->inherits("QComboBoxPrivateContainer"))
            continue;
        // Widgets already scheduled for deletion go with the next event loop turn.
        leftovers.append(widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                                       : widget->objectName());
    }
    return leftovers;
}

} // namespace QuilloTest
