#pragma once

#include <QString>

#include <optional>

// The editor remembers where its window was in "Editeur.ini", a profile file of the program
// folder: section "EDITEUR", keys "Windows" (0 normal, 1 minimised, 2 maximised), "Hauteur",
// "Largeur", "PositionX" and "PositionY" (twips). The file is written by Windows' profile
// functions in the previous version, so it is read the same way: section and key names without
// regard to case, each value cut to its first 10 characters.
namespace EditorGeometry {

// The geometry found in the file, in twips. Reading stops at the first missing or non-numeric
// value: the ones before it are kept, the ones after are absent.
struct Stored
{
    std::optional<int> state;
    std::optional<double> height;
    std::optional<double> width;
    std::optional<double> left;
    std::optional<double> top;
};

// One value of the profile file, cut to 10 characters; empty when absent.
QString readValue(const QString &path, const QString &section, const QString &key);
// Sets the keys of a section, keeping every other line of the file; the file is replaced whole.
bool writeValues(const QString &path, const QString &section, const QList<std::pair<QString, QString>> &values);

// A profile value as a number, read with the user's locale first: "1234", "1234,5", "1234.5".
std::optional<double> toNumber(const QString &text);

Stored read(const QString &path);
// state 0 writes the four geometry keys after "Windows"; any other state writes "Windows" alone.
bool write(const QString &path, int state, int height, int width, int left, int top);

} // namespace EditorGeometry
