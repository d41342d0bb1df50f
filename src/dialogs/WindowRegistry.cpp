#include "dialogs/WindowRegistry.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

namespace WindowRegistry {
namespace {
QHash<QString, QPointer<QWidget>> &windows()
{
    static QHash<QString, QPointer<QWidget>> loaded;
    return loaded;
}
} // namespace

void add(const QString &name, QWidget *window)
{
    windows().insert(name, window);
}

QWidget *find(const QString &name)
{
    return windows().value(name).data();
}

void unload(const QString &name)
{
    const QPointer<QWidget> window = windows().take(name);
    if (window) {
        window->hide();
        delete window.data();
    }
}

void unloadAll()
{
    const QStringList names = windows().keys();
    for (const QString &name : names)
        unload(name);
}
} // namespace WindowRegistry
