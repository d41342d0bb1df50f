#pragma once

#include "core/RecipientMapping.h"

#include <functional>

// Recipients into cards and cards out to a spreadsheet: the part of an import or an export
// that needs no window. Works in the recipient card folder (DataPaths::recipientsFolder()).
namespace RecipientCards {

// What to do when a card of a row's name exists already (letter case aside: the cards must
// stay apart on Windows too). One answer for the whole import, asked by the caller when
// existingNames() is not empty.
enum class ExistingCard {
    Replace,  // the card is written over with the row
    KeepBoth, // the row becomes a card named "Name (2)" (then 3, 4…); its first line keeps the
              // person's name, so the letters do not carry the number
    Skip,     // the card stays as it is and the row is not written
};

struct Callbacks
{
    // After each row: rows handled so far, rows in all (the kept rows).
    std::function<void(int done, int total)> progress;
    // Asked before each row: true stops the import there. Every card is written whole or not
    // at all, so a stop never leaves half a card.
    std::function<bool()> cancelRequested;
};

struct Result
{
    QStringList written;  // card names written, in row order (new cards and replaced ones)
    QStringList replaced; // those of written that replaced a card
    QStringList skipped;  // names left alone under Skip
    QStringList refused;  // French sentences: rows whose name cannot be a card, with their line
    QString error;        // a card that could not be written: the import stopped there
    bool cancelled = false;

    bool ok() const { return error.isEmpty() && !cancelled; }
};

// The names of the kept rows that are cards already, once each, in row order. Rows whose names
// repeat within the import count too: the second would meet the first.
QStringList existingNames(const QList<RecipientRow> &rows);

// Writes a card for every kept row (row.keep), in order. A row whose name cannot be a card
// (ContactCard::nameProblem) is refused and reported, nothing is written for it. Cards written
// earlier in the same import count as existing for the rows after them.
Result importRows(const QList<RecipientRow> &rows, ExistingCard policy, const Callbacks &callbacks = {});

// Writes cards as a CSV file a spreadsheet opens with its accents and that the import reads
// back to the same cards: UTF-8 with a byte-order mark, ';' between fields, CR LF, a header row
// of the card's captions, every field as text. Atomic: the file is whole or untouched.
bool exportCsv(const QString &path, const QList<QStringList> &cards, QString *error);

// The same for recipient cards named by their card names (as the batch list shows them). A card
// that cannot be read fails the export, naming it.
bool exportCards(const QString &path, const QStringList &cardNames, QString *error);

} // namespace RecipientCards
