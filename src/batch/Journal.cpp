#include "batch/Journal.h"

#include "core/AtomicFile.h"

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
    QString field = looksLikeFormula(value) ? u'\'' + value : value;
    if (field.contains(u';') || field.contains(u'"') || field.contains(u'\r') || field.contains(u'\n'))
        field = u'"' + field.replace(u'"', u"\"\""_s) + u'"';
    return field;
}

QString fromCsvField(const QString &field)
{
    if (field.size() > 1 && field.front() == u'\'' && looksLikeFormula(field.mid(1)))
        return field.mid(1);
    return field;
}

// The records of a CSV text: fields between double quotes may hold semicolons, quotes (doubled)
// and line ends.
QList<QStringList> records(const QString &text)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    bool fieldStarted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"' && field.isEmpty()) {
            quoted = true;
            fieldStarted = true;
        } else if (c == u';') {
            row.append(fromCsvField(field));
            field.clear();
            fieldStarted = true;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            if (fieldStarted || !field.isEmpty() || !row.isEmpty()) {
                row.append(fromCsvField(field));
                rows.append(row);
            }
            row.clear();
            field.clear();
            fieldStarted = false;
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if (fieldStarted || !field.isEmpty() || !row.isEmpty()) {
        row.append(fromCsvField(field));
        rows.append(row);
    }
    return rows;
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
    QList<Row> rows;
    const QList<QStringList> fields = records(QString::fromUtf8(bytes));
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i == 0 && fields[i].join(u';') == kHeader)
            continue;
        rows.append(Row{fields[i].value(0), fields[i].value(1), fields[i].value(2), fields[i].value(3)});
    }
    return rows;
}

} // namespace BatchJournal
