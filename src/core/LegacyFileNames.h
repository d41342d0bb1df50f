#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// File names written in Windows-1252 by the previous version or by an old copy ("Caf\xE9
// Dupont.ini"). Qt reads file names as UTF-8 and passes over those that are not: such files are
// never listed, and no QString path could open them, since it would be encoded back as UTF-8.
// So they are found here byte for byte, named to the user as Windows-1252 spells them, and,
// with the user's consent, renamed to that spelling in UTF-8, after which every part of the
// program sees and opens them as any other file.
namespace LegacyFileNames {

struct Entry
{
    QByteArray raw; // the name's bytes on the disk
    QString name;   // the same name read as Windows-1252
};

// The files (not folders) of folder whose names are not valid UTF-8 and end with one of the
// suffixes (".ini", letter case ignored), in the order of their names. Empty on a system that
// stores names as UTF-16, where the case cannot arise.
QList<Entry> find(const QString &folder, const QStringList &suffixes);

// Renames each entry to its Windows-1252 reading; false when one could not be renamed (a file of
// that name exists already, the folder is read-only), with a French sentence for each in *failures.
bool renameAll(const QString &folder, const QList<Entry> &entries, QStringList *failures);

// One line per file for a message: "Caf\xE9 Dupont.ini" shown as "Café Dupont.ini", with its folder.
QStringList describe(const QString &folder, const QList<Entry> &entries);

} // namespace LegacyFileNames
