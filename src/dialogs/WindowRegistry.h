#pragma once

#include <QString>

class QWidget;

// The program's windows exist once per process, created on first use. Each window class keeps a
// typed accessor (FrmEditeur::instance()) that registers its instance here under its form name
// ("frmMenu", "frmEditeur", ...): that accessor is how another window calls it. The registry
// only keeps the loaded windows, so that the wizard's closing unloads the others and the
// application destroys them all before it ends.
namespace WindowRegistry {

void add(const QString &name, QWidget *window);

// The loaded window of that name, or nullptr when it was never loaded or has been unloaded.
QWidget *find(const QString &name);
// Closes and destroys the window when it is loaded; does nothing otherwise.
void unload(const QString &name);
void unloadAll();

} // namespace WindowRegistry
