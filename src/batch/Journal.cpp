#include "batch/Journal.h"

#include "core/AtomicFile.h"
#include "core/CsvReader.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace BatchJournal {
namespace {

const QString kHeader = u"Destinataire;Fichier;Résultat;Empreinte"_s;

// A spreadsheet takes a field starting with one of these for a formula: a recipient named
// "=HYPERLINK(…)" must stay text. The apostrophe that says so is dropped again on reading.
bool looksLikeFormula(const QString &field)
{
    return !field.isEmpty() && QStringView(u"=+-@").contains(field.front());
}

QString csvField(const QString &value)
{
    return CsvReader::quote(looksLikeFormula(value) ? u'\'' + value : value, u';');
}

QString fromCsvField(const QString &field)
{
    if (field.size() > 1 && field.front() == u'\'' && looksLikeFormula(field.mid(1)))
        return field.mid(1);
    return field;
}

} // namespace

bool write(const QString &path, const QList<Row> &rows, QString *error)
{
    QString text = kHeader + u"\r\n"_s;
    for (const Row &row : rows)
        text += csvField(row.recipient) + u';' + csvField(row.file) + u';' + csvField(row.result) + u';' +
                csvField(row.fingerprint) + u"\r\n"_s;
    const QByteArray bytes = "\xEF\xBB\xBF" + text.toUtf8();
    QString reason;
    if (!AtomicFile::replace(path, bytes, &reason)) {
        if (error)
            *error = u"Impossible d'enregistrer le journal « %1 » : %2"_s.arg(QFileInfo(path).fileName(), reason);
        return false;
    }
    return true;
}

QList<Row> read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    // A damaged row is left out: its letter is written again when the batch is resumed.
    const RecipientTable table = CsvReader::read(QString::fromUtf8(bytes), u';');
    QList<Row> rows;
    for (qsizetype i = 0; i < table.rows.size(); ++i) {
        const QStringList &cells = table.rows[i].cells;
        if (i == 0 && cells.join(u';') == kHeader)
            continue;
        rows.append(Row{fromCsvField(cells.value(0)), fromCsvField(cells.value(1)), fromCsvField(cells.value(2)),
                        fromCsvField(cells.value(3))});
    }
    return rows;
}

} // namespace BatchJournal
