#pragma once

#include <QStringList>

// Creates the program's folders, at every start; one that exists or cannot be made is passed
// over silently, and the next is tried.
void Init_Dossiers();

// The names of the card files of a folder ("*.ini", letter case of the extension ignored),
// without their extension, in alphabetical order.
QStringList cardNamesIn(const QString &folder);
