// Fuzz target: any bytes given to the vCard reading (unfolding, quoted-printable, charsets,
// escapes, card structure) and the mapping after it must neither crash nor hang, and every card
// read must come out as a row of the reader's columns.
#include "core/RecipientMapping.h"
#include "core/VCardReader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Most inputs are made to start as a card, so that the fuzzer spends its time inside cards.
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (!bytes.isEmpty() && (bytes.at(0) & 1) && !VCardReader::looksLikeVCard(bytes))
        bytes.prepend("BEGIN:VCARD\r\nVERSION:2.1\r\n");
    const RecipientTable table = VCardReader::read(bytes);
    if (!table.ok()) {
        if (!table.rows.isEmpty())
            std::abort();
        return 0;
    }
    const QStringList columns = VCardReader::columnNames();
    if (table.rows.isEmpty() || table.rows.first().cells != columns)
        std::abort(); // the header row is always there
    for (const RecipientTable::Row &row : table.rows) {
        if (row.cells.size() != columns.size())
            std::abort();
    }
    if (table.rows.size() > ImportLimits::kMaxRows + 1 || table.damaged.size() > ImportLimits::kMaxDamagedRows)
        std::abort();

    const RecipientMapping mapping = Recipients::guessMapping(table);
    if (!mapping.hasHeader)
        std::abort(); // the reader's own column names are always recognised
    const Recipients::Mapped mapped = Recipients::map(table, mapping);
    for (const RecipientRow &row : mapped.rows) {
        if (row.fields.size() != kCardFieldCount)
            std::abort();
        (void)Recipients::describe(row);
    }
    return 0;
}
