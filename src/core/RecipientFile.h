#pragma once

#include "core/RecipientTable.h"

#include <QByteArray>
#include <QString>

// Opening a recipient file: its bytes under the size limit, its format (CSV or vCard), its text
// encoding, then the table (CsvReader, VCardReader). A window keeps the bytes and reads them
// again when the user changes the separator or the encoding.
//
// Typical use, by a window or the command line:
//   QByteArray bytes;
//   if (!RecipientFile::load(path, &bytes, &error)) ...           // refused: show error
//   RecipientTable table = RecipientFile::read(bytes);             // detects everything
//   if (!table.ok()) ...                                           // refused: table.error
//   RecipientMapping mapping = RecipientMapping::guess(table);     // then RecipientMapping.h
namespace RecipientFile {

// How to read the bytes; the defaults detect. Only CSV files use them: vCards state their own
// encoding and have no separator.
struct Options
{
    QChar separator; // null: detected
    TextEncoding encoding = TextEncoding::Auto;

    bool operator==(const Options &) const = default;
};

// Reads a file whole. Refuses (false, a French sentence naming the file) a file that cannot be
// read or is larger than ImportLimits::kMaxFileBytes, without reading the latter.
bool load(const QString &path, QByteArray *bytes, QString *error);

SourceFormat detectFormat(const QByteArray &bytes);

// Decodes a CSV file's bytes; with Auto, *used tells what was detected. Auto reuses the data
// files' rule (Cp1252::decodeFile) and adds the UTF-16 byte-order marks of a spreadsheet's
// "Unicode text". A byte-order mark is never part of the text.
QString decode(const QByteArray &bytes, TextEncoding encoding, TextEncoding *used = nullptr);

// The table of a file's bytes: vCards when they look like vCards, CSV otherwise.
RecipientTable read(const QByteArray &bytes, const Options &options = {});

// load() then read(); a refused file gives a table with its error.
RecipientTable readFile(const QString &path, const Options &options = {});

// French names for the choices a window offers.
QString encodingName(TextEncoding encoding); // "UTF-8", "Windows-1252 (ANSI)", "Détection automatique"
QString separatorName(QChar separator);      // "Point-virgule", "Virgule", "Tabulation"

} // namespace RecipientFile
