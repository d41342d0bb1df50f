#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

// Files whose names are in the old Windows encoding (core/LegacyFileNames.h): both programs
// name them to the user and offer to rename them, so that they can be seen and opened.
namespace LegacyNames {

struct Folder
{
    QString path;
    QStringList suffixes; // ".ini", ".txt"...
};

// Asks once for all the folders' such files (nothing is asked when there are none) and renames
// them if the user agrees; a rename that fails is said in a second message. Either way every
// such file has been named to the user.
void offerRenames(QWidget *parent, const QList<Folder> &folders);

} // namespace LegacyNames
