#pragma once

#include <QString>

#include <functional>

class QWidget;

// The program's windows exist once per process, created on first use. Each window class keeps a
// typed accessor that registers its instance here under its form name ("frmMenu", "frmEditeur",
// ...), so that any window can unload another one without knowing its class, and so that the
// application destroys them all before it ends.
namespace WindowRegistry {

void add(const QString &name, QWidget *window);

// Windows of other layers are reached by name: the program registers, at start, how to create
// each one ("frmOptions" from the wizard's "Références" button, for instance), so the wizard
// does not depend on the layers above it. load() returns the loaded window, creating it with
// its factory when needed; nullptr when nothing is registered under that name.
void setFactory(const QString &name, std::function<QWidget *()> factory);
QWidget *load(const QString &name);
// The loaded window of that name, or nullptr when it was never loaded or has been unloaded.
QWidget *find(const QString &name);
// Closes and destroys the window when it is loaded; does nothing otherwise.
void unload(const QString &name);
void unloadAll();

} // namespace WindowRegistry
