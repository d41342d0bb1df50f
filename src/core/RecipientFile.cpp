#include "core/RecipientFile.h"

#include "core/Cp1252.h"
#include "core/CsvReader.h"
#include "core/VCardReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace RecipientFile {

bool load(const QString &path, QByteArray *bytes, QString *error)
{
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    if (!info.exists()) {
        *error = u"Le fichier « %1 » est introuvable."_s.arg(shown);
        return false;
    }
    if (info.isDir()) {
        *error = u"« %1 » est un dossier, pas un fichier de destinataires."_s.arg(shown);
        return false;
    }
    // Checked before reading: a huge file would cost memory and time for nothing.
    if (info.size() > ImportLimits::kMaxFileBytes) {
        *error = u"Le fichier « %1 » dépasse 50 Mo : il ne peut pas être importé. "
                 u"Découpez-le en plusieurs fichiers."_s.arg(shown);
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = u"Le fichier « %1 » ne peut pas être lu (%2)."_s.arg(shown, file.errorString());
        return false;
    }
    // A file that grew since the check (or a device that has no size) is held to the limit too.
    *bytes = file.read(ImportLimits::kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        *error = u"Le fichier « %1 » ne peut pas être lu (%2)."_s.arg(shown, file.errorString());
        return false;
    }
    if (bytes->size() > ImportLimits::kMaxFileBytes) {
        bytes->clear();
        *error = u"Le fichier « %1 » dépasse 50 Mo : il ne peut pas être importé. "
                 u"Découpez-le en plusieurs fichiers."_s.arg(shown);
        return false;
    }
    return true;
}

SourceFormat detectFormat(const QByteArray &bytes)
{
    return VCardReader::looksLikeVCard(bytes) ? SourceFormat::VCard : SourceFormat::Csv;
}

QString decode(const QByteArray &bytes, TextEncoding encoding, TextEncoding *used)
{
    const auto utf16 = [&](TextEncoding which) {
        const bool little = which == TextEncoding::Utf16LE;
        const QByteArray mark = little ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
        const QByteArrayView body = bytes.startsWith(mark) ? QByteArrayView(bytes).sliced(2) : QByteArrayView(bytes);
        QStringDecoder decoder(little ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        return QString(decoder.decode(body));
    };
    TextEncoding chosen = encoding;
    QString text;
    switch (encoding) {
    case TextEncoding::Auto: {
        Cp1252::FileEncoding found = Cp1252::FileEncoding::Windows1252;
        text = Cp1252::decodeFile(bytes, &found);
        switch (found) {
        case Cp1252::FileEncoding::Utf16LE:
            chosen = TextEncoding::Utf16LE;
            break;
        case Cp1252::FileEncoding::Utf16BE:
            chosen = TextEncoding::Utf16BE;
            break;
        case Cp1252::FileEncoding::Utf8:
        case Cp1252::FileEncoding::Utf8WithMark:
            chosen = TextEncoding::Utf8;
            break;
        case Cp1252::FileEncoding::Windows1252: {
            // Plain ASCII reads alike in both; it is called UTF-8, the encoding an export writes.
            const bool ascii =
                std::all_of(bytes.begin(), bytes.end(), [](char b) { return static_cast<unsigned char>(b) < 0x80; });
            chosen = ascii ? TextEncoding::Utf8 : TextEncoding::Windows1252;
            break;
        }
        }
        break;
    }
    case TextEncoding::Utf8:
        text = QString::fromUtf8(bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes);
        break;
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE:
        text = utf16(encoding);
        break;
    case TextEncoding::Windows1252:
        text = Cp1252::decode(bytes);
        break;
    }
    if (used)
        *used = chosen;
    return text;
}

RecipientTable read(const QByteArray &bytes, const Options &options)
{
    if (detectFormat(bytes) == SourceFormat::VCard)
        return VCardReader::read(bytes);
    TextEncoding used = TextEncoding::Utf8;
    const QString text = decode(bytes, options.encoding, &used);
    const QChar separator = options.separator.isNull() ? CsvReader::detectSeparator(text) : options.separator;
    RecipientTable table = CsvReader::read(text, separator);
    table.encoding = used;
    return table;
}

RecipientTable readFile(const QString &path, const Options &options)
{
    QByteArray bytes;
    QString error;
    if (!load(path, &bytes, &error)) {
        RecipientTable table;
        table.error = error;
        return table;
    }
    return read(bytes, options);
}

QString encodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Auto:
        return u"Détection automatique"_s;
    case TextEncoding::Utf8:
        return u"UTF-8"_s;
    case TextEncoding::Utf16LE:
        return u"UTF-16 (Unicode)"_s;
    case TextEncoding::Utf16BE:
        return u"UTF-16 gros-boutiste"_s;
    case TextEncoding::Windows1252:
        return u"Windows-1252 (ANSI)"_s;
    }
    return QString();
}

QString separatorName(QChar separator)
{
    if (separator == u';')
        return u"Point-virgule"_s;
    if (separator == u',')
        return u"Virgule"_s;
    if (separator == u'\t')
        return u"Tabulation"_s;
    if (separator.isNull())
        return u"Détection automatique"_s;
    return u"« %1 »"_s.arg(separator);
}

} // namespace RecipientFile
