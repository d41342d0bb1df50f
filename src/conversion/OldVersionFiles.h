#pragma once

#include "core/ContactCard.h"
#include "core/ListLimits.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

// Reading the data files of the previous version: one flat folder of small text files, one value
// per line. Sender cards are "*.exp" (10 lines), recipient cards "*.dst" (7 lines), and the six
// reference lists are ".lst" files of fixed names. Every line loses its double quotes (they become
// spaces) and its leading and trailing spaces.
namespace OldVersion {

// The six reference lists, in the order the conversion window shows them (List3 to List8) and
// the conversion writes them.
enum ListIndex { Towns, Objects, Functions, Signatures, FormulasFirst, FormulasSecond, ListCount };

// The old file name of each list ("Ville.lst", ...), letter case ignored when matching.
QString oldListName(ListIndex list);

// One card as the conversion will write it: its fields already in the order of the new card
// files (name, address, residence, ...), and the old file it came from, for messages.
struct Card
{
    QString sourceFile;
    QStringList fields;
};

// What the conversion works on: the cards and the six lists, as the window shows them.
struct Data
{
    QList<Card> senders;
    QList<Card> recipients;
    std::array<QStringList, ListCount> lists;
    // Whether each list's old file was found (and read) in an imported folder. A list whose file
    // was not found is not written: the installed list stays rather than be emptied.
    std::array<bool, ListCount> listFound{};
};

// What one import found, with what went wrong on the way; nothing stops an import.
struct ImportResult
{
    Data data;
    // Card files with fewer lines than their kind has: imported with the missing fields empty.
    QStringList incompleteFiles;
    // French sentences naming the files that could not be read at all, or were refused: a card
    // file of more than kMaxCardBytes, or with a line longer than ListLimits allows.
    QStringList unreadableFiles;
    // The lists taken only in part (ListLimits): "Ville.lst : 1 entrée de plus de 500 caractères".
    QStringList partialLists;
};

// An old card holds ten short lines: a larger file is no card, and is not read whole (the same
// limit as the new cards').
inline constexpr qint64 kMaxCardBytes = ContactCard::kMaxFileBytes;

// A line as the old version's reader took it: quotes become spaces, then the spaces at both
// ends go (spaces only: the old reader left tabs alone).
QString cleanLine(const QString &line);

// The number of lines of an old card file of that kind: 10 for a sender, 7 for a recipient.
int oldLineCount(ContactCard::Kind kind);

// Reads an old card file into a Card of the new layout. The old files keep the residence on
// line 2 and the address on line 3, and a sender's line 8 is an old field the new card has no
// place for. *complete is false when the file has fewer lines than its kind has. A file larger
// than kMaxCardBytes, or whose name or fields are longer than a list entry may be, is refused:
// false, and *error names the file and says why.
bool readCard(const QString &path, ContactCard::Kind kind, Card *card, bool *complete, QString *error = nullptr);

// Reads an old list file: one entry per line, lines empty once cleaned are skipped. The list
// takes what ListLimits allows, counting on from the entries it already holds: *entries is
// appended to, and *cut counts what was left out.
bool readList(const QString &path, QStringList *entries, QString *error, ListLimits::Cut *cut);

// The files of a folder that match a pattern such as "*.exp", letter case ignored (the old files
// come from Windows, where "DUPONT.EXP" is a "*.exp" file too), in alphabetical order.
QStringList filesMatching(const QString &folder, const QString &pattern);

// Whether two file names are the same name to the old version: letter case ignored, and the
// accents compared whatever the Unicode form the copy of the folder gave them.
bool sameFileName(const QString &a, const QString &b);

// Reads every card and list file of an old folder: senders, recipients, then the lists.
ImportResult importFolder(const QString &folder);

// Items of a message, one per line after a dash; past the twentieth, one line tells how many
// more there are, so a message box never outgrows the screen.
QString messageLines(const QStringList &items);

// The message that ends an import: "Importation des fichiers terminés.", with a line for the
// incomplete files, one for each file that could not be read and one for each list taken in
// part.
QString importMessage(const ImportResult &result);

} // namespace OldVersion
