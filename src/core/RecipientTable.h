#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

// Recipients brought from other programs (a spreadsheet's CSV, an address book's vCards) are
// first read into this plain table: one row per record, cells as text, each row with the line
// of the file it starts on. Reading never decides what a column means and never writes a card:
// RecipientMapping turns rows into card fields, RecipientCards writes the cards.

// What keeps a hostile or broken file harmless. Beyond these the file is refused whole, with a
// French message naming the limit, before anything is shown or written.
namespace ImportLimits {
constexpr qint64 kMaxFileBytes = 50 * 1024 * 1024;
// Characters of one line of the file, after decoding (a quoted CSV field may span several lines,
// and a whole record is held to the same limit).
constexpr qsizetype kMaxLineChars = 1024 * 1024;
// Records besides a header row: rows of a CSV file, cards of a vCard file.
constexpr int kMaxRows = 100000;
// Cells of a whole table (100,000 rows of 50 columns): a file of separators alone would
// otherwise cost far more memory than its size.
constexpr qsizetype kMaxCells = 5000000;
// A file with more damaged records than this is not the kind of file it claims to be: reading
// it further would only list damage (and every damaged record costs a new look at what follows).
constexpr int kMaxDamagedRows = 1000;
} // namespace ImportLimits

enum class SourceFormat { Csv, VCard };

// Text encodings a recipient file may come in. Auto: a byte-order mark decides (UTF-8, UTF-16
// little- or big-endian), else valid UTF-8 is UTF-8 and anything else Windows-1252.
enum class TextEncoding { Auto, Utf8, Utf16LE, Utf16BE, Windows1252 };

struct RecipientTable
{
    struct Row
    {
        int line = 0; // 1-based line of the file where the record starts
        QStringList cells;
    };
    // A record that could not be read: it is left out, and the records after it are read as if
    // it were not there (its fields never slide into theirs).
    struct Damage
    {
        int line = 0;
        QString reason; // French, without the line number: "guillemet non refermé"
    };

    SourceFormat format = SourceFormat::Csv;
    TextEncoding encoding = TextEncoding::Utf8; // the one used (never Auto)
    QChar separator;                            // CSV: the one used; vCard: none
    // Every readable record in file order, a header row included. Lines that hold nothing at
    // all are not records; rows of empty cells (";;;") are, and are left to the mapping.
    QList<Row> rows;
    QList<Damage> damaged;
    // Non-empty when the whole file is refused (a limit, unreadable): rows and damaged are empty.
    QString error;

    bool ok() const { return error.isEmpty(); }
};
