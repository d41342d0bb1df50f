#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// The journal a batch leaves beside its files, "journal.csv": one row per file with the
// recipient, the file's name and what became of it ("ok", or why it was not written), so that a
// user can see what went to whom and send again only what failed; a last column holds the
// letter's fingerprint, by which a resumed batch knows a file it wrote for the same letter. UTF-8 with a byte-order
// mark, fields separated by semicolons, lines ended by CR LF: a spreadsheet opens it as it is.
namespace BatchJournal {

inline constexpr QStringView FileName = u"journal.csv";
// The result of a file that was written whole.
inline constexpr QStringView Written = u"ok";
// The result of a letter that the batch did not reach (cancelled, or stopped short).
inline constexpr QStringView NotWritten = u"non écrit";

struct Row
{
    QString recipient;
    QString file;
    QString result;
    QString fingerprint;
    bool operator==(const Row &) const = default;
};

// Replaces the journal whole (a header row first); false with a French message naming the file.
bool write(const QString &path, const QList<Row> &rows, QString *error = nullptr);

// The rows of a journal; none when it is absent or cannot be read. A row that lacks fields has
// them empty.
QList<Row> read(const QString &path);

} // namespace BatchJournal
