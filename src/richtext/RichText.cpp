#include "richtext/RichText.h"

#include "core/AtomicFile.h"
#include "richtext/HeadersFooters.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

using namespace Qt::StringLiterals;

namespace RichText {

bool looksLikeRtf(const QByteArray &bytes)
{
    qsizetype start = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (start < bytes.size() &&
           (bytes[start] == ' ' || bytes[start] == '\t' || bytes[start] == '\r' || bytes[start] == '\n'))
        ++start;
    const QByteArrayView rest = QByteArrayView(bytes).sliced(start);
    return rest.startsWith("{\\rtf") || rest.startsWith("{\\urtf");
}

ReadResult readRtf(const QByteArray &bytes, QTextDocument *document)
{
    ReadResult result;
    if (!document) {
        result.ok = false;
        result.error = u"Aucun document où lire le texte RTF."_s;
        return result;
    }
    RtfReader reader(document);
    const RtfReader::Result read = reader.read(bytes);
    result.ok = read.ok;
    result.error = read.error;
    result.warnings = read.warnings;
    return result;
}

QByteArray writeRtf(const QTextDocument *document)
{
    RtfWriter writer(document);
    return writer.write();
}

QByteArray writeRtf(const QTextDocument *document, int from, int to)
{
    if (!document)
        return writeRtf(nullptr);
    const int last = document->characterCount() - 1;
    from = qBound(0, from, last);
    to = qBound(0, to, last);
    QTextCursor cursor(const_cast<QTextDocument *>(document));
    cursor.setPosition(qMin(from, to));
    cursor.setPosition(qMax(from, to), QTextCursor::KeepAnchor);
    QTextDocument range;
    range.setDefaultFont(document->defaultFont());
    range.setIndentWidth(document->indentWidth());
    QTextCursor(&range).insertFragment(cursor.selection());
    RtfWriter writer(&range, document);
    return writer.write();
}

bool loadRtfFile(const QString &path, QTextDocument *document, QString *error)
{
    const auto failWith = [error](const QString &message) {
        if (error)
            *error = message;
        return false;
    };
    QFile file(path);
    if (!file.exists())
        return failWith(u"Le fichier « %1 » est introuvable."_s.arg(QFileInfo(path).fileName()));
    if (file.size() > RtfReader::Limits().maxInputBytes)
        return failWith(u"Le fichier « %1 » est trop volumineux pour être ouvert."_s.arg(QFileInfo(path).fileName()));
    if (!file.open(QIODevice::ReadOnly))
        return failWith(
            u"Impossible d'ouvrir le fichier « %1 » : %2"_s.arg(QFileInfo(path).fileName(), file.errorString()));
    const QByteArray bytes = file.readAll();
    if (!looksLikeRtf(bytes))
        return failWith(u"Ce fichier n'est pas un document RTF."_s);
    // A file that fails half-way must not cost the caller the document it had: keep it aside.
    const bool blank = document->isEmpty() && !HeadersFooters::of(document);
    const QByteArray previous = blank ? QByteArray() : writeRtf(document);
    const ReadResult result = readRtf(bytes, document);
    if (!result.ok) {
        if (previous.isEmpty()) {
            document->clear();
            HeadersFooters::detach(document);
        } else
            readRtf(previous, document);
        return failWith(result.error);
    }
    if (error)
        error->clear();
    return true;
}

bool saveRtfFile(const QString &path, const QTextDocument *document, QString *error)
{
    QString reason;
    if (!AtomicFile::replace(path, writeRtf(document), &reason)) {
        if (error)
            *error = u"Impossible d'enregistrer le fichier « %1 » : %2"_s.arg(QFileInfo(path).fileName(), reason);
        return false;
    }
    if (error)
        error->clear();
    return true;
}

} // namespace RichText
