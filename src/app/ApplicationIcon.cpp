#include "app/ApplicationIcon.h"

#include <QDir>
#include <QGuiApplication>
#include <QSize>

using namespace Qt::StringLiterals;

// The resource lives in a static library: nothing would pull it into the programs unless a
// function of this file registers it. Outside any namespace, as the registration requires.
static void registerIconResource()
{
    Q_INIT_RESOURCE(application_icon);
}

QIcon applicationIcon()
{
    registerIconResource();
    const QDir folder(u":/icons/application"_s);
    QIcon icon;
    // One PNG a size, named WxH.png: the icon picks the nearest size for each use.
    for (const QString &file : folder.entryList({u"*.png"_s}, QDir::Files)) {
        const int size = file.section(u'x', 0, 0).toInt();
        if (size > 0)
            icon.addFile(folder.filePath(file), QSize(size, size));
    }
    return icon;
}

void installApplicationIcon(const QString &desktopEntry)
{
    QGuiApplication::setWindowIcon(applicationIcon());
    QGuiApplication::setDesktopFileName(desktopEntry);
}
