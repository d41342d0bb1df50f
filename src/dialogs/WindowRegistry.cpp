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
QHash<QString, std::function<QWidget *()>> &factories()
{
    static QHash<QString, std::function<QWidget *()>> registered;
    return registered;
}
} // namespace

void setFactory(const QString &name, std::function<QWidget *()> factory)
{
    factories().insert(name, std::move(factory));
}

QWidget *load(const QString &name)
{
    if (QWidget *window = find(name))
        return window;
    const auto factory = factories().value(name);
    if (!factory)
        return nullptr;
    QWidget *window = factory();
    // Factories usually register through the window's own accessor; make sure of it.
    if (window && find(name) != window)
        add(name, window);
    return window;
}

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
