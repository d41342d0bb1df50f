#include "richtext/CodePage.h"

#include <QHash>
#include <QStringDecoder>

#include <array>

namespace {

#include "richtext/SingleByteTables.inc"

const char16_t *tableFor(int number)
{
    for (const SingleByteTable &table : kSingleByteTables) {
        if (table.codePage == number)
            return table.upper;
    }
    return nullptr;
}

// Names under which the platform's converters know the double-byte code pages.
const char *multiByteName(int number)
{
    switch (number) {
    case 932:
    case 10001:
        return "Shift_JIS";
    case 936:
    case 10008:
        return "GBK";
    case 949:
    case 10003:
        return "windows-949";
    case 950:
    case 10002:
        return "Big5";
    case 1361:
        return "x-johab";
    case 65001:
        return "UTF-8";
    default:
        return nullptr;
    }
}

} // namespace

CodePage::CodePage(int number) : m_number(number)
{
    if (number == 42)
        return; // symbol fonts: symbolCharacter()
    m_table = tableFor(number);
    if (m_table)
        return;
    if (number == 65001) {
        m_decoder = std::make_unique<QStringDecoder>(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        return;
    }
    if (const char *name = multiByteName(number)) {
        auto decoder = std::make_unique<QStringDecoder>(name, QStringConverter::Flag::Stateless);
        if (decoder->isValid()) {
            m_decoder = std::move(decoder);
            return;
        }
    }
    // Unknown or unavailable: Western European is the most likely meaning.
    m_number = 1252;
    m_table = tableFor(1252);
}

CodePage::~CodePage() = default;

void CodePage::decodeAppend(const char *data, qsizetype size, QString &out) const
{
    if (m_decoder) {
        out += m_decoder->decode(QByteArrayView(data, size));
        return;
    }
    const qsizetype start = out.size();
    out.resize(start + size);
    char16_t *dest = reinterpret_cast<char16_t *>(out.data()) + start;
    const auto *bytes = reinterpret_cast<const uchar *>(data);
    if (!m_table) { // symbol fonts
        for (qsizetype i = 0; i < size; ++i)
            dest[i] = bytes[i] < 0x80 ? char16_t(bytes[i]) : symbolCharacter(bytes[i]);
        return;
    }
    for (qsizetype i = 0; i < size; ++i) {
        const uchar b = bytes[i];
        dest[i] = b < 0x80 ? char16_t(b) : m_table[b - 0x80];
    }
}

int CodePage::fromCharset(int charset)
{
    switch (charset) {
    case 0:
        return 1252;
    case 2:
        return 42;
    case 77:
        return 10000;
    case 78:
        return 10001;
    case 79:
        return 10003;
    case 80:
        return 10008;
    case 81:
        return 10002;
    case 83:
        return 10005;
    case 84:
        return 10004;
    case 85:
        return 10006;
    case 86:
        return 10081;
    case 87:
        return 10021;
    case 88:
        return 10029;
    case 89:
        return 10007;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return 0;
    }
}

int CodePage::toWindows1252(char32_t character)
{
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
        return int(character);
    static const QHash<char32_t, int> reverse = [] {
        QHash<char32_t, int> map;
        const char16_t *table = tableFor(1252);
        for (int i = 0; i < 0x20; ++i) {
            if (table[i] != 0xFFFD && table[i] >= 0x100)
                map.insert(table[i], 0x80 + i);
        }
        return map;
    }();
    return reverse.value(character, -1);
}

char16_t CodePage::symbolCharacter(uchar byte)
{
    switch (byte) {
    case 0xB7:
        return u'\u2022'; // bullet (Symbol)
    case 0xA7:
        return u'\u25AA'; // small square (Wingdings)
    case 0xD8:
        return u'\u27A2'; // arrowhead (Wingdings)
    case 0xFC:
        return u'\u2714'; // check mark (Wingdings)
    default:
        return char16_t(0xF000 + byte);
    }
}
