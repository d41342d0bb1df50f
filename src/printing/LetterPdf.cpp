#include "printing/LetterPdf.h"

#include "core/Clock.h"
#include "core/Product.h"
#include "core/QuilloError.h"
#include "printing/RangeFormatter.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace LetterPdf {
namespace {

// Qt's PDF writer draws at this many dots per inch; the formatter draws in twips.
constexpr int kResolution = 1200;

// Text for the XMP packet: XML 1.0 has no room for control characters.
QString xmlText(const QString &text)
{
    QString clean;
    clean.reserve(text.size());
    for (const QChar c : text)
        clean += c.unicode() < 0x20 ? u' ' : c;
    return clean.toHtmlEscaped();
}

// A PDF text string as UTF-16 with its byte-order mark, in hexadecimal: no character needs
// escaping, whatever a name holds.
QByteArray pdfText(const QString &text)
{
    QByteArray hex = "<FEFF";
    for (const QChar c : text)
        hex += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    return hex + '>';
}

QString utcOffset(const QDateTime &moment, const QString &separator)
{
    const int offset = moment.offsetFromUtc();
    if (offset == 0)
        return u"Z"_s;
    const int minutes = std::abs(offset) / 60;
    return (offset < 0 ? u"-"_s : u"+"_s) + u"%1"_s.arg(minutes / 60, 2, 10, QChar(u'0')) + separator +
           u"%1"_s.arg(minutes % 60, 2, 10, QChar(u'0'));
}

// The same moment in the document information ("D:20250303101500+01'00'") and in the XMP packet
// ("2025-03-03T10:15:00+01:00"): an archive validator wants both to agree.
QByteArray pdfDate(const QDateTime &moment)
{
    const QString offset = utcOffset(moment, u"'"_s);
    return "(D:" + moment.toString(u"yyyyMMddHHmmss"_s).toLatin1() + offset.toLatin1() + (offset == u"Z"_s ? "" : "'") +
           ')';
}

QString xmpDate(const QDateTime &moment)
{
    return moment.toString(u"yyyy-MM-ddTHH:mm:ss"_s) + utcOffset(moment, u":"_s);
}

QString producer()
{
    return creator() + u" (Qt "_s + QString::fromLatin1(qVersion()) + u')';
}

// The metadata packet of a PDF/A-1b file: the same title, author, creator, producer and dates as
// the document information, and the declaration of the archive level.
QByteArray xmpPacket(const Properties &properties, const QDateTime &created)
{
    QString xmp = u"<?xpacket begin=\"\uFEFF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
                  u"<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
                  u"<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
                  u"<rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
                  u"<dc:format>application/pdf</dc:format>\n"_s;
    if (!properties.title.isEmpty())
        xmp += u"<dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">%1</rdf:li></rdf:Alt></dc:title>\n"_s.arg(
            xmlText(properties.title));
    if (!properties.author.isEmpty())
        xmp += u"<dc:creator><rdf:Seq><rdf:li>%1</rdf:li></rdf:Seq></dc:creator>\n"_s.arg(xmlText(properties.author));
    xmp += u"</rdf:Description>\n"
           u"<rdf:Description rdf:about=\"\" xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\">\n"
           u"<xmp:CreatorTool>%1</xmp:CreatorTool>\n"
           u"<xmp:CreateDate>%2</xmp:CreateDate>\n"
           u"<xmp:ModifyDate>%2</xmp:ModifyDate>\n"
           u"<xmp:MetadataDate>%2</xmp:MetadataDate>\n"
           u"</rdf:Description>\n"
           u"<rdf:Description rdf:about=\"\" xmlns:pdf=\"http://ns.adobe.com/pdf/1.3/\">\n"
           u"<pdf:Producer>%3</pdf:Producer>\n"
           u"</rdf:Description>\n"
           u"<rdf:Description rdf:about=\"\" xmlns:pdfaid=\"http://www.aiim.org/pdfa/ns/id/\">\n"
           u"<pdfaid:part>1</pdfaid:part>\n"
           u"<pdfaid:conformance>B</pdfaid:conformance>\n"
           u"</rdf:Description>\n"
           u"</rdf:RDF>\n"
           u"</x:xmpmeta>\n"
           u"<?xpacket end=\"w\"?>"_s.arg(xmlText(creator()), xmpDate(created), xmlText(producer()));
    return xmp.toUtf8();
}

// Qt's writer has no author in its document information. The information is written again
// as an update appended to the file (the standard way of changing a PDF): the new object
// replaces the old under the same number, and a small cross-reference section and trailer
// point to it and back to the first ones. False when the trailer is not what Qt writes.
bool appendInformation(QByteArray *pdf, const Properties &properties, const QDateTime &created)
{
    const qsizetype trailerAt = pdf->lastIndexOf("trailer");
    const qsizetype startAt = pdf->lastIndexOf("startxref");
    if (trailerAt < 0 || startAt < trailerAt)
        return false;
    const QString trailer = QString::fromLatin1(pdf->mid(trailerAt));
    const auto number = [&](const QString &pattern) {
        const QRegularExpressionMatch match = QRegularExpression(pattern).match(trailer);
        return match.hasMatch() ? match.captured(1).toLongLong() : -1;
    };
    const qint64 size = number(u"/Size\\s+(\\d+)"_s);
    const qint64 info = number(u"/Info\\s+(\\d+)\\s+0\\s+R"_s);
    const qint64 root = number(u"/Root\\s+(\\d+)\\s+0\\s+R"_s);
    const qint64 previous = number(u"startxref\\s+(\\d+)"_s);
    const QRegularExpressionMatch id = QRegularExpression(u"/ID\\s*\\[[^\\]]*\\]"_s).match(trailer);
    if (size <= 0 || info <= 0 || root <= 0 || previous <= 0)
        return false;

    QByteArray update;
    const qsizetype objectAt = pdf->size();
    update += QByteArray::number(info) + " 0 obj\n<<\n";
    if (!properties.title.isEmpty())
        update += "/Title " + pdfText(properties.title) + '\n';
    if (!properties.author.isEmpty())
        update += "/Author " + pdfText(properties.author) + '\n';
    update += "/Creator " + pdfText(creator()) + "\n/Producer " + pdfText(producer()) + '\n';
    update += "/CreationDate " + pdfDate(created) + "\n/ModDate " + pdfDate(created) + "\n>>\nendobj\n";
    const qsizetype xrefAt = objectAt + update.size();
    update += "xref\n" + QByteArray::number(info) + " 1\n" + QByteArray::number(objectAt).rightJustified(10, '0') +
              " 00000 n \n";
    update += "trailer\n<<\n/Size " + QByteArray::number(size) + "\n/Info " + QByteArray::number(info) +
              " 0 R\n/Root " + QByteArray::number(root) + " 0 R\n/Prev " + QByteArray::number(previous) + '\n';
    if (id.hasMatch())
        update += id.captured(0).toLatin1() + '\n';
    update += ">>\nstartxref\n" + QByteArray::number(xrefAt) + "\n%%EOF\n";
    pdf->append(update);
    return true;
}

// The position of the first character after the blanks from at.
qsizetype skipBlanks(const QByteArray &bytes, qsizetype at)
{
    while (at < bytes.size() && (bytes[at] == ' ' || bytes[at] == '\r' || bytes[at] == '\n' || bytes[at] == '\t'))
        ++at;
    return at;
}

// One cross-reference section at offset, its objects where it says, then the sections before it.
bool sectionHolds(const QByteArray &bytes, qint64 offset, int depth)
{
    if (depth > 64 || offset <= 0 || offset >= bytes.size() || bytes.mid(offset, 4) != "xref")
        return false;
    qsizetype at = skipBlanks(bytes, offset + 4);
    for (;;) {
        if (bytes.mid(at, 7) == "trailer")
            break;
        const qsizetype lineEnd = bytes.indexOf('\n', at);
        if (lineEnd < 0)
            return false;
        const QList<QByteArray> header = bytes.mid(at, lineEnd - at).trimmed().split(' ');
        bool firstOk = false;
        bool countOk = false;
        const qint64 first = header.value(0).toLongLong(&firstOk);
        const qint64 count = header.value(1).toLongLong(&countOk);
        if (header.size() != 2 || !firstOk || !countOk || count < 0 || lineEnd + 1 + count * 20 > bytes.size())
            return false;
        at = lineEnd + 1;
        for (qint64 i = 0; i < count; ++i, at += 20) {
            const QByteArray entry = bytes.mid(at, 20);
            if (entry[17] == 'f')
                continue;
            bool ok = false;
            const qint64 objectAt = entry.left(10).toLongLong(&ok);
            const QByteArray expected =
                QByteArray::number(first + i) + ' ' + QByteArray::number(entry.mid(11, 5).toInt());
            if (entry[17] != 'n' || !ok || objectAt <= 0 || objectAt >= bytes.size() ||
                !bytes.mid(objectAt, expected.size() + 4).startsWith(expected) ||
                bytes.mid(objectAt + expected.size(), 4).trimmed() != "obj")
                return false;
        }
        at = skipBlanks(bytes, at);
    }
    const qsizetype end = bytes.indexOf(">>", at);
    if (end < 0)
        return false;
    const QByteArray dictionary = bytes.mid(at, end - at);
    if (!dictionary.contains("/Root"))
        return false;
    const QRegularExpressionMatch previous =
        QRegularExpression(u"/Prev\\s+(\\d+)"_s).match(QString::fromLatin1(dictionary));
    return !previous.hasMatch() || sectionHolds(bytes, previous.captured(1).toLongLong(), depth + 1);
}

} // namespace

QString creator()
{
    return Product::name() + u' ' + Product::versionText();
}

QByteArray render(const QTextDocument &letter, const Properties &properties, QString *error, const Margins &margins)
{
    const auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        return QByteArray();
    };
    const QDateTime created = properties.created.isValid() ? properties.created : Clock::now();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
        writer.setResolution(kResolution);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        writer.setTitle(properties.title);
        writer.setCreator(creator());
        writer.setDocumentXmpMetadata(xmpPacket(properties, created));

        // The sheet measured as a printer measures it (device dots to whole twips), so that the
        // lines and pages break where the printer's and the preview's do.
        PageGeometry geometry;
        try {
            const QRect sheet = writer.pageLayout().fullRectPixels(kResolution);
            const int width = roundTwips(sheet.width() * 1440.0 / kResolution);
            const int height = roundTwips(sheet.height() * 1440.0 / kResolution);
            geometry = pageGeometry(width, height, 0, 0, width, height, margins);
        } catch (const QuilloError &failure) {
            return fail(failure.description);
        }
        QPainter painter;
        if (!painter.begin(&writer))
            return fail(u"Le document PDF n'a pas pu être commencé."_s);
        painter.scale(kResolution / 1440.0, kResolution / 1440.0);
        const RangeFormatter formatter(letter, geometry.area.width());
        formatter.drawPages(&painter, geometry.area, [&] { return writer.newPage(); });
        if (!painter.end())
            return fail(u"Le document PDF n'a pas pu être terminé."_s);
    }
    QByteArray pdf = buffer.data();
    if (!appendInformation(&pdf, properties, created))
        return fail(u"Le document PDF n'a pas pu être terminé."_s);
    if (error)
        error->clear();
    return pdf;
}

bool write(const QString &path, const QTextDocument &letter, const Properties &properties, QString *error,
           const Margins &margins)
{
    const QString name = QFileInfo(path).fileName();
    QString reason;
    const QByteArray pdf = render(letter, properties, &reason, margins);
    if (pdf.isEmpty()) {
        if (error)
            *error = u"Impossible d'enregistrer le fichier « %1 » : %2"_s.arg(name, reason);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size() || !file.commit()) {
        if (error)
            *error = u"Impossible d'enregistrer le fichier « %1 » : %2"_s.arg(name, file.errorString());
        file.cancelWriting();
        return false;
    }
    if (error)
        error->clear();
    return true;
}

bool isComplete(const QByteArray &bytes)
{
    if (!bytes.startsWith("%PDF-"))
        return false;
    qsizetype end = bytes.size();
    // One end of line may follow the end-of-file mark, nothing else.
    if (end > 0 && bytes[end - 1] == '\n')
        --end;
    if (end > 0 && bytes[end - 1] == '\r')
        --end;
    if (!QByteArrayView(bytes).first(end).endsWith("%%EOF"))
        return false;
    const qsizetype start = bytes.lastIndexOf("startxref");
    if (start < 0)
        return false;
    const qsizetype digits = skipBlanks(bytes, start + 9);
    qsizetype stop = digits;
    while (stop < end && bytes[stop] >= '0' && bytes[stop] <= '9')
        ++stop;
    bool ok = false;
    const qint64 offset = bytes.mid(digits, stop - digits).toLongLong(&ok);
    return ok && sectionHolds(bytes, offset, 0);
}

bool isCompleteFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && isComplete(file.readAll());
}

} // namespace LetterPdf
