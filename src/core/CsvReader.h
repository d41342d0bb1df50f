#pragma once

#include "core/RecipientTable.h"

#include <QStringView>

// CSV as spreadsheets and address books write it (RFC 4180 and the usual liberties): fields
// separated by a comma, a semicolon or a tab; a field in double quotes may hold the separator,
// line ends, and quotes written twice. Works on decoded text (RecipientFile decodes the bytes).
namespace CsvReader {

// The separators a file may use, in the order a tie is settled: French spreadsheets write ';'.
inline constexpr QChar kSeparators[] = {u';', u'\t', u','};

// The separator of a text: among kSeparators, the one found outside quotes the same number of
// times on the most of its first lines. ';' when none is found (a one-column file).
QChar detectSeparator(QStringView text);

// Splits text into records. Lines ended by CR LF, CR or LF; lines with nothing on them are
// skipped. A record is damaged, reported by its first line and left out, when a quoted field
// is never closed, when text follows a closing quote, or when the record grows beyond
// ImportLimits::kMaxLineChars; reading then starts again on the line after the damaged
// record's first line, so a lost quote never swallows the rows that follow. A line longer
// than the limit, more rows, cells or damaged records than the limits allow refuse the file.
// Cells are returned as written inside their quotes (line ends kept, no trimming). A null
// separator, a quote or a line end is replaced by the detected one.
RecipientTable read(QStringView text, QChar separator);

// A field as a CSV writer puts it: in quotes (quotes doubled) when it holds the separator, a
// quote, a line end, or leading or trailing spaces; as it is otherwise.
QString quote(const QString &field, QChar separator);

// A field that starts with "=", "+", "-" or "@" is run as a formula by the spreadsheet that opens
// the file, whoever wrote it there ("=HYPERLINK(…)" in a name sends data away). guardFormula puts
// an apostrophe before such a field, which spreadsheets take for "text follows"; a field that
// already starts with apostrophes before one of these signs gets one more, so that
// unguardFormula gives every field back as it was.
QString guardFormula(const QString &field);
QString unguardFormula(const QString &field);

} // namespace CsvReader
