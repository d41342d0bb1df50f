// Fuzz target: any bytes given to the recipient CSV reading (decoding, separator detection,
// records, mapping, checks) must neither crash it nor make it hang, and every table it reads
// must survive being written as CSV and read again, cell for cell.
#include "core/CsvReader.h"
#include "core/RecipientFile.h"
#include "core/RecipientMapping.h"

#include <cstdint>
#include <cstdlib>

namespace {

void checkRows(const RecipientTable &table)
{
    int previous = 0;
    for (const RecipientTable::Row &row : table.rows) {
        if (row.line <= previous || row.cells.isEmpty())
            std::abort(); // rows are in file order, one line at least apart
        previous = row.line;
    }
    for (const RecipientTable::Damage &damage : table.damaged) {
        if (damage.line < 1 || damage.reason.isEmpty())
            std::abort();
    }
    if (table.rows.size() > ImportLimits::kMaxRows + 1 || table.damaged.size() > ImportLimits::kMaxDamagedRows)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks how the rest is read: detected, or a separator and an encoding forced
    // as a user would in the mapping dialog.
    const uint8_t mode = data[0];
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    RecipientFile::Options options;
    static const QChar separators[] = {QChar(), u';', u',', u'\t'};
    static const TextEncoding encodings[] = {TextEncoding::Auto, TextEncoding::Utf8, TextEncoding::Windows1252,
                                             TextEncoding::Utf16LE};
    options.separator = separators[mode & 3];
    options.encoding = encodings[(mode >> 2) & 3];
    if (RecipientFile::detectFormat(bytes) != SourceFormat::Csv)
        return 0; // the vCard target covers those
    const RecipientTable table = RecipientFile::read(bytes, options);
    if (!table.ok()) {
        if (!table.rows.isEmpty())
            std::abort();
        return 0;
    }
    checkRows(table);

    RecipientMapping mapping = Recipients::guessMapping(table, options);
    if (mode & 16)
        mapping.nameOrder = NameOrder::LastFirst;
    Recipients::Mapped mapped = Recipients::map(table, mapping);
    for (RecipientRow &row : mapped.rows) {
        if (row.fields.size() != kCardFieldCount || row.keep == row.isFlagged())
            std::abort();
        for (const QString &field : row.fields) {
            if (field.contains(u'\n') || field.contains(u'\r'))
                std::abort(); // a card field is one line
        }
        Recipients::restoreLeadingZero(&row);
        (void)Recipients::describe(row);
    }

    // What was read, written back, reads the same. A record of one empty cell is an empty line,
    // which is no record: such rows are left out of the comparison.
    QString written;
    QList<QStringList> expected;
    for (const RecipientTable::Row &row : table.rows) {
        if (row.cells.size() == 1 && row.cells.first().isEmpty())
            continue;
        QStringList quoted;
        for (const QString &cell : row.cells)
            quoted.append(CsvReader::quote(cell, table.separator));
        written += quoted.join(table.separator) + QStringLiteral("\r\n");
        expected.append(row.cells);
    }
    const RecipientTable again = CsvReader::read(written, table.separator);
    if (!again.ok() || !again.damaged.isEmpty() || again.rows.size() != expected.size())
        std::abort();
    for (qsizetype i = 0; i < expected.size(); ++i) {
        if (again.rows.at(i).cells != expected.at(i))
            std::abort();
    }
    return 0;
}
