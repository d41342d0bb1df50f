#pragma once

#include <QString>
#include <QStringList>

// A contact card: one small text file per sender or recipient, named after the card, one field
// per line in a fixed order (Windows-1252, CR LF). Senders have 9 lines:
//   name, postal address, residence, postcode and town, province / country, fixed phone,
//   mobile / fax, qualifier, function;
// recipients 7: the same without the two telephone lines.
namespace ContactCard {

enum class Kind { Sender = 1, Recipient = 2 };

// The number of lines (fields) of a card of that kind: 9 or 7.
int fieldCount(Kind kind);
QString folder(Kind kind);

// Why a card name cannot be a file name (in French, naming the character or the rule), or an
// empty string when it can: no path separator, no character Windows refuses, not only dots or
// spaces, no leading dot (a hidden file), no device name (CON, PRN, AUX, NUL, COM1..9, LPT1..9), at
// most 200 characters. Such a name could write or delete outside the card folder.
QString nameProblem(const QString &name);

// The card file of a name; empty when the name cannot be a file name.
QString filePath(Kind kind, const QString &name);

// A card is a few hundred bytes: a file of more than this is no card, and reading it whole would
// put megabytes into one line of a window.
inline constexpr qint64 kMaxFileBytes = 64 * 1024;

// Reads a card: always fieldCount(kind) fields. Missing lines (a damaged or vanished file) are
// empty fields; lines after the last field are ignored. Returns false when the file could not
// be read or is larger than kMaxFileBytes (the fields are then all empty; error says why).
bool read(const QString &path, Kind kind, QStringList *fields, QString *error = nullptr);

// Writes a card file atomically; fields beyond the kind's count are ignored, missing ones are
// empty, and a line end inside a field becomes a space.
bool write(const QString &path, Kind kind, const QStringList &fields, QString *error = nullptr);

// A field as it can be stored on one line: line ends become spaces.
QString singleLine(const QString &field);

} // namespace ContactCard
