#include "printing/LetterPdf.h"

#include "core/AtomicFile.h"
#include "core/Clock.h"
#include "core/Product.h"
#include "core/QuilloError.h"
#include "printing/PdfParts.h"
#include "printing/RangeFormatter.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace LetterPdf {
namespace {

// Qt's PDF writer draws at this many dots per inch; the formatter draws in twips.
constexpr int kResolution = 1200;

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
    update += QByteArray::number(info) + " 0 obj\n" + Parts::information(properties, created) + "\nendobj\n";
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

// Qt's PDF writer on a buffer, set up for letters: A4 without margins of its own, declared
// PDF/A-1b, a painter drawing in twips, the sheet measured as a printer measures it (device dots
// to whole twips) so that lines and pages break where the printer's and the preview's do.
struct Canvas
{
    QBuffer buffer;
    std::unique_ptr<QPdfWriter> writer;
    QPainter painter;
    PageGeometry geometry;
    int pages = 0;

    bool begin(const Margins &margins, const QString &title, const QByteArray &xmp, QString *error)
    {
        buffer.open(QIODevice::WriteOnly);
        writer = std::make_unique<QPdfWriter>(&buffer);
        writer->setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
        writer->setResolution(kResolution);
        writer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        writer->setTitle(title);
        writer->setCreator(creator());
        writer->setDocumentXmpMetadata(xmp);
        try {
            const QRect sheet = writer->pageLayout().fullRectPixels(kResolution);
            const int width = roundTwips(sheet.width() * 1440.0 / kResolution);
            const int height = roundTwips(sheet.height() * 1440.0 / kResolution);
            geometry = pageGeometry(width, height, 0, 0, width, height, margins);
        } catch (const QuilloError &failure) {
            if (error)
                *error = failure.description;
            return false;
        }
        if (!painter.begin(writer.get())) {
            if (error)
                *error = u"Le document PDF n'a pas pu être commencé."_s;
            return false;
        }
        painter.scale(kResolution / 1440.0, kResolution / 1440.0);
        return true;
    }

    // The letter on the current page and the pages it needs after it; how many pages it took.
    int draw(const QTextDocument &letter)
    {
        const RangeFormatter formatter(letter, geometry.area.width());
        const int drawn = formatter.drawPages(&painter, geometry, [this] { return writer->newPage(); });
        pages += drawn;
        return drawn;
    }

    // The whole file; empty when it could not be ended.
    QByteArray end(QString *error)
    {
        if (!painter.end()) {
            if (error)
                *error = u"Le document PDF n'a pas pu être terminé."_s;
            return {};
        }
        writer.reset();
        return buffer.data();
    }
};

} // namespace

QString creator()
{
    return Product::name() + u' ' + Product::versionText();
}

QByteArray render(const QTextDocument &letter, const Properties &properties, QString *error, const Margins &margins)
{
    const QDateTime created = properties.created.isValid() ? properties.created : Clock::now();
    Canvas canvas;
    if (!canvas.begin(margins, properties.title, Parts::xmpPacket(properties, created), error))
        return {};
    canvas.draw(letter);
    QByteArray pdf = canvas.end(error);
    if (pdf.isEmpty())
        return {};
    if (!appendInformation(&pdf, properties, created)) {
        if (error)
            *error = u"Le document PDF n'a pas pu être terminé."_s;
        return {};
    }
    if (error)
        error->clear();
    return pdf;
}

struct Series::Private
{
    Margins margins;
    Canvas canvas;
    bool begun = false;
    bool ended = false;
    QString failure;
    QByteArray pdf;
    QList<int> firstPages;
    QList<int> pageCounts;
};

Series::Series(const Margins &margins) : d(std::make_unique<Private>())
{
    d->margins = margins;
}

Series::~Series() = default;

bool Series::add(const QTextDocument &letter, QString *error)
{
    if (d->ended || !d->failure.isEmpty()) {
        if (error)
            *error = d->failure.isEmpty() ? u"Le document PDF est déjà terminé."_s : d->failure;
        return false;
    }
    if (!d->begun) {
        // The series' own title and metadata are dropped: each letter's file gets its own.
        if (!d->canvas.begin(d->margins, QString(), Parts::xmpPacket(Properties(), Clock::now()), &d->failure)) {
            if (error)
                *error = d->failure;
            return false;
        }
        d->begun = true;
    } else if (!d->canvas.writer->newPage()) {
        d->failure = u"Le document PDF n'a pas pu être continué."_s;
        if (error)
            *error = d->failure;
        return false;
    }
    d->firstPages.append(d->canvas.pages);
    d->pageCounts.append(d->canvas.draw(letter));
    return true;
}

int Series::count() const
{
    return int(d->firstPages.size());
}

QByteArray Series::file(int index, const Properties &properties, QString *error)
{
    if (!d->ended && d->begun && d->failure.isEmpty()) {
        d->pdf = d->canvas.end(&d->failure);
        d->ended = true;
    }
    const auto fail = [&](const QString &reason) {
        if (error)
            *error = reason;
        return QByteArray();
    };
    if (!d->failure.isEmpty())
        return fail(d->failure);
    if (index < 0 || index >= count())
        return fail(u"Cette lettre ne fait pas partie du document PDF."_s);
    const QByteArray pdf = Parts::extractPages(d->pdf, d->firstPages[index], d->pageCounts[index], properties,
                                               properties.created.isValid() ? properties.created : Clock::now());
    if (pdf.isEmpty())
        return fail(u"Le document PDF n'a pas pu être découpé."_s);
    if (error)
        error->clear();
    return pdf;
}

bool write(const QString &path, const QTextDocument &letter, const Properties &properties, QString *error,
           const Margins &margins)
{
    QString reason;
    const QByteArray pdf = render(letter, properties, &reason, margins);
    if (pdf.isEmpty()) {
        if (error)
            *error = u"Impossible d'enregistrer le fichier « %1 » : %2"_s.arg(QFileInfo(path).fileName(), reason);
        return false;
    }
    return save(path, pdf, error);
}

bool save(const QString &path, const QByteArray &pdf, QString *error)
{
    QString reason;
    if (!AtomicFile::replace(path, pdf, &reason)) {
        if (error)
            *error = u"Impossible d'enregistrer le fichier « %1 » : %2"_s.arg(QFileInfo(path).fileName(), reason);
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
