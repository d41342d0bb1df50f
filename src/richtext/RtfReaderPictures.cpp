#include "richtext/RtfReaderPrivate.h"

#include "richtext/RichTextProperties.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QTextDocument>
#include <QUrl>

#include <atomic>

using namespace Qt::StringLiterals;
using namespace RtfReading;

namespace {

QImage placeholderImage(int width, int height)
{
    QImage image(qBound(8, width, 1200), qBound(8, height, 1200), QImage::Format_RGB32);
    image.fill(QColor(0xee, 0xee, 0xee));
    QPainter painter(&image);
    painter.setPen(QColor(0x99, 0x99, 0x99));
    painter.drawRect(0, 0, image.width() - 1, image.height() - 1);
    painter.drawLine(0, 0, image.width() - 1, image.height() - 1);
    painter.drawLine(0, image.height() - 1, image.width() - 1, 0);
    return image;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// pictures

void RtfReader::Private::pictureData(const char *data, qsizetype size, bool binary)
{
    if (picture.tooBig)
        return;
    if (picture.data.size() + size / 2 > limits.maxPictureBytes ||
        totalPictureBytes + picture.data.size() + size / 2 > limits.maxTotalPictureBytes) {
        picture.tooBig = true;
        picture.data.clear();
        return;
    }
    if (binary) {
        picture.data.append(data, size);
        return;
    }
    for (qsizetype i = 0; i < size; ++i) {
        const char c = data[i];
        int value;
        if (c >= '0' && c <= '9')
            value = c - '0';
        else if (c >= 'a' && c <= 'f')
            value = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            value = c - 'A' + 10;
        else
            continue; // spaces and line breaks between the digits
        if (picture.pendingNibble < 0) {
            picture.pendingNibble = value;
        } else {
            picture.data.append(char(picture.pendingNibble * 16 + value));
            picture.pendingNibble = -1;
        }
    }
}

void RtfReader::Private::finishPicture()
{
    if (stop)
        return;
    Picture pict = std::move(picture);
    picture = Picture();
    if (pict.kind.isEmpty() && pict.data.isEmpty())
        return;
    totalPictureBytes += pict.data.size();

    // The size shown: the goal size in twips, scaled; else the picture's own size.
    const bool bitmap =
        pict.kind == "pngblip" || pict.kind == "jpegblip" || pict.kind == "dibitmap" || pict.kind == "wbitmap";
    double widthTwips = pict.goalW > 0 ? pict.goalW : (bitmap ? pict.picW * 15.0 : pict.picW * 1440.0 / 2540.0);
    double heightTwips = pict.goalH > 0 ? pict.goalH : (bitmap ? pict.picH * 15.0 : pict.picH * 1440.0 / 2540.0);
    widthTwips *= qBound(1, pict.scaleX, 10000) / 100.0;
    heightTwips *= qBound(1, pict.scaleY, 10000) / 100.0;

    QImage image;
    if (!pict.tooBig && (pict.kind == "pngblip" || pict.kind == "jpegblip" || pict.kind == "dibitmap")) {
        QByteArray bytes = pict.data;
        QByteArray format = pict.kind == "pngblip" ? "png" : pict.kind == "jpegblip" ? "jpeg" : "bmp";
        if (pict.kind == "dibitmap" && bytes.size() >= 40) {
            // A device-independent bitmap lacks the file header that image readers expect.
            const auto u32 = [&bytes](int at) {
                return quint32(uchar(bytes[at])) | quint32(uchar(bytes[at + 1])) << 8 |
                       quint32(uchar(bytes[at + 2])) << 16 | quint32(uchar(bytes[at + 3])) << 24;
            };
            const quint32 headerSize = u32(0);
            const int bitCount = uchar(bytes[14]) | uchar(bytes[15]) << 8;
            const quint32 compression = u32(16);
            quint32 colorsUsed = u32(32);
            if (colorsUsed == 0 && bitCount <= 8)
                colorsUsed = 1u << bitCount;
            quint32 offset = 14 + qMin<quint32>(headerSize, 1024) + qMin<quint32>(colorsUsed, 256) * 4;
            if (compression == 3 && headerSize == 40)
                offset += 12;
            QByteArray header("BM");
            const quint32 fileSize = quint32(bytes.size()) + 14;
            for (quint32 value : {fileSize, quint32(0), offset})
                for (int shift = 0; shift < 32; shift += 8)
                    header.append(char((value >> shift) & 0xFF));
            bytes.prepend(header);
        }
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, format);
        reader.setAllocationLimit(256);
        const QSize size = reader.size();
        if (size.isValid() && qint64(size.width()) * size.height() <= 50'000'000)
            image = reader.read();
    }
    bool placeholder = false;
    if (image.isNull()) {
        placeholder = true;
        const int w = widthTwips > 0 ? int(RichText::twipsToPixels(widthTwips)) : 96;
        const int h = heightTwips > 0 ? int(RichText::twipsToPixels(heightTwips)) : 96;
        image = placeholderImage(w, h);
        if (pict.tooBig)
            result.warnings << u"Une image trop volumineuse a été remplacée par un cadre vide."_s;
    }
    if (widthTwips <= 0)
        widthTwips = image.width() * RichText::kTwipsPerPixel;
    if (heightTwips <= 0)
        heightTwips = image.height() * RichText::kTwipsPerPixel;

    // Names unique in the process: a pasted document's pictures join the editor's own.
    static std::atomic<quint64> pictureSerial{0};
    ++pictureCount;
    const QUrl name(u"rtfimage:%1"_s.arg(++pictureSerial));
    document->addResource(QTextDocument::ImageResource, name, image);
    QTextImageFormat format;
    format.setName(name.toString());
    format.setWidth(RichText::twipsToPixels(widthTwips));
    format.setHeight(RichText::twipsToPixels(heightTwips));
    if (!placeholder && (pict.kind == "pngblip" || pict.kind == "jpegblip")) {
        // The file's own bytes go back out as they came: no loss, no growth (a JPEG photograph
        // written again as PNG would weigh several times more).
        format.setProperty(RichText::OriginalPictureData, pict.data);
        format.setProperty(RichText::OriginalPictureKind, pict.kind);
        format.setProperty(RichText::OriginalPictureWidth, image.width());
        format.setProperty(RichText::OriginalPictureHeight, image.height());
    } else if (placeholder && !pict.tooBig && !pict.kind.isEmpty()) {
        format.setProperty(RichText::OriginalPictureData, pict.data);
        QByteArray kind = pict.kind;
        if (pict.kind == "wmetafile" || pict.kind == "dibitmap" || pict.kind == "wbitmap")
            kind += QByteArray::number(pict.kindParameter);
        format.setProperty(RichText::OriginalPictureKind, kind);
        format.setProperty(RichText::OriginalPictureWidth, pict.picW);
        format.setProperty(RichText::OriginalPictureHeight, pict.picH);
    }

    // The picture's own group is closing: its place is that of the nearest enclosing body text.
    const int ancestor = bodyAncestor();
    if (ancestor < 0)
        return;
    const State saved = state;
    state = stack[size_t(ancestor)];
    ensureParagraph();
    flushRun();
    cursor.insertImage(format);
    blockHasContent = true;
    ++outputCharacters;
    state = saved;
}

int RtfReader::Private::bodyAncestor() const
{
    for (int i = int(stack.size()) - 1; i >= 0; --i) {
        const Dest dest = stack[size_t(i)].dest;
        if (dest == Dest::Body)
            return i;
        if (dest != Dest::Container && dest != Dest::Pict)
            return -1;
    }
    return -1;
}
