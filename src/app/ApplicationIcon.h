#pragma once

#include <QIcon>
#include <QString>

// The application's icon in every size the programs bundle (drawn for the project, rendered from
// packaging/icons/fr.quillane.Quillo.svg).
QIcon applicationIcon();

// Gives every window of the running program the application's icon (a window without an icon of
// its own shows the application's), and names the desktop entry its windows belong to, which
// Wayland desktops use for the task bar's name and icon.
void installApplicationIcon(const QString &desktopEntry);
