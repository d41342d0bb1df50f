#pragma once

#include <QList>
#include <QRect>
#include <QString>

#include <optional>

// The editor's arithmetic of lengths and places, apart from any window: where its window goes
// back on the screen, and how wide its letters are laid out.
//
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

// A window whose stored place lies off every screen (a monitor unplugged since) comes back onto
// the nearest of the screens' available areas, whole when it fits. A window of which enough
// shows to take hold of its title bar stays where it is.
QRect keepOnScreen(const QRect &window, const QList<QRect> &screenAreas);

// Where the window opens when no geometry is stored: the design size, widened to neededWidth
// (pixels: what shows a whole printed line and the whole tool bar), centred in the screen's
// available area and never larger than it.
QRect openingGeometry(const QSize &design, int neededWidth, const QRect &available);

// The "Vérification orthographique" switch, key "Orthographe" of the same section ("1" or "0").
// On unless the key says 0: a file of the previous version has no such key.
bool readSpellChecking(const QString &path);
bool writeSpellChecking(const QString &path, bool on);

// The printed page: an A4 sheet, in twips.
inline constexpr int kPageWidth = 11906;

// How a letter is laid out on the screen so that its lines break where the printed page's do.
struct PrintedLine
{
    int lineWidth = 0;         // twips: the page's width less the two margins
    int wrapWidth = 0;         // pixels: the whole width the text is wrapped in
    double documentMargin = 0; // pixels on each side of the text, the rest of the wrapping width
};
// The line of an A4 sheet with these margins (twips) on a screen of dpi dots per inch, with
// textMargin pixels drawn around the text; no value when the margins leave no line.
std::optional<PrintedLine> printedLine(int leftMargin, int rightMargin, double dpi, double textMargin);

} // namespace EditorGeometry
