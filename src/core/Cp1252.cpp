#include "core/Cp1252.h"

#include <QStringDecoder>

#include <array>

namespace {

// Bytes 0x80 to 0x9F. The unassigned ones (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control
// character of the same value.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

int byteFor(char16_t unit)
{
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF))
        return unit;
    for (size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == unit)
            return int(0x80 + i);
    }
    return -1;
}

bool isMultiByteUtf8(const QByteArray &bytes)
{
    bool sawMultiByte = false;
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra = 0;
        if (c >= 0xC2 && c <= 0xDF)
            extra = 1;
        else if (c >= 0xE0 && c <= 0xEF)
            extra = 2;
        else if (c >= 0xF0 && c <= 0xF4)
            extra = 3;
        else
            return false;
        if (i + extra >= n)
            return false;
        // Overlong forms, UTF-16 surrogates and code points past U+10FFFF are not UTF-8: a
        // decoder would replace them, and the Windows-1252 text they are would be lost.
        const unsigned char second = p[i + 1];
        if ((c == 0xE0 && second < 0xA0) || (c == 0xED && second > 0x9F) || (c == 0xF0 && second < 0x90) ||
            (c == 0xF4 && second > 0x8F))
            return false;
        for (int k = 1; k <= extra; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
        }
        sawMultiByte = true;
        i += extra + 1;
    }
    return sawMultiByte;
}

} // namespace

namespace Cp1252 {

QString decode(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes.at(i));
        out[i] = (b >= 0x80 && b <= 0x9F) ? QChar(kHighControls[b - 0x80]) : QChar(char16_t(b));
    }
    return text;
}

QString decodeFile(const QByteArray &bytes, FileEncoding *found)
{
    const auto take = [found](FileEncoding encoding) {
        if (found)
            *found = encoding;
    };
    // The mark is taken off here, once: a decoder left to its default would take off a second
    // one, the text's own character, and the text written back would lose it.
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        take(FileEncoding::Utf8WithMark);
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
        return utf8(QByteArrayView(bytes).sliced(3));
    }
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        const bool little = bytes.startsWith("\xFF\xFE");
        take(little ? FileEncoding::Utf16LE : FileEncoding::Utf16BE);
        // A lone last byte or a broken surrogate becomes a replacement character, as any reader
        // of a damaged file shows it.
        QStringDecoder decoder(little ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                               QStringConverter::Flag::ConvertInitialBom);
        QString text = decoder.decode(QByteArrayView(bytes).sliced(2));
        // The decoder lets a lone half of a surrogate pair through: no file can hold it, so the
        // text written back would read otherwise.
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
                ++i;
            else if (text[i].isSurrogate())
                text[i] = QChar::ReplacementCharacter;
        }
        return text;
    }
    if (isMultiByteUtf8(bytes)) {
        take(FileEncoding::Utf8);
        return QString::fromUtf8(bytes);
    }
    take(FileEncoding::Windows1252);
    return decode(bytes);
}

bool fits(const QString &text)
{
    for (const QChar c : text) {
        if (byteFor(c.unicode()) < 0)
            return false;
    }
    return true;
}

QByteArray encode(const QString &text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = byteFor(text.at(i).unicode());
        bytes[i] = char(b < 0 ? '?' : b);
    }
    return bytes;
}

QByteArray encodeFile(const QString &text)
{
    // Some runs of Windows-1252 characters ("Ã©", or "ï»¿" at the start) are bytes that the
    // reader takes for UTF-8: such a text is written as marked UTF-8, so that it reads back as it
    // was written.
    if (fits(text)) {
        QByteArray bytes = encode(text);
        if (decodeFile(bytes) == text)
            return bytes;
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

} // namespace Cp1252
