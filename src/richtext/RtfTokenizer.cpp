#include "richtext/RtfTokenizer.h"

#include <array>
#include <cstring>
#include <limits>

namespace {

// Bytes that end a run of text.
constexpr std::array<bool, 256> makeSpecials()
{
    std::array<bool, 256> table{};
    table[uchar('\\')] = true;
    table[uchar('{')] = true;
    table[uchar('}')] = true;
    table[uchar('\r')] = true;
    table[uchar('\n')] = true;
    return table;
}
constexpr std::array<bool, 256> kSpecial = makeSpecials();

constexpr bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
constexpr bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

RtfTokenizer::RtfTokenizer(QByteArrayView input) : m_data(input.data()), m_size(input.size()) {}

RtfTokenizer::Token RtfTokenizer::next()
{
    Token token;
    while (m_pos < m_size) {
        const char c = m_data[m_pos];
        switch (c) {
        case '{':
            ++m_pos;
            token.type = Type::GroupStart;
            return token;
        case '}':
            ++m_pos;
            token.type = Type::GroupEnd;
            return token;
        case '\\':
            return readControl();
        case '\r':
        case '\n':
            ++m_pos;
            continue;
        default: {
            const qsizetype start = m_pos;
            const auto *bytes = reinterpret_cast<const uchar *>(m_data);
            while (m_pos < m_size && !kSpecial[bytes[m_pos]])
                ++m_pos;
            token.type = Type::Text;
            token.data = m_data + start;
            token.size = m_pos - start;
            return token;
        }
        }
    }
    token.type = Type::End;
    return token;
}

RtfTokenizer::Token RtfTokenizer::readControl()
{
    Token token;
    ++m_pos; // the backslash
    if (m_pos >= m_size) {
        token.type = Type::End;
        return token;
    }
    const char first = m_data[m_pos];
    if (!isLetter(first)) {
        ++m_pos;
        if (first == '\'') {
            // \'hh. A malformed \'<digit><junk> reads as \'0<digit>; no digit at all is dropped.
            const int high = m_pos < m_size ? hexValue(m_data[m_pos]) : -1;
            if (high < 0) {
                token.type = Type::Text;
                token.data = m_data + m_pos;
                token.size = 0;
                return token;
            }
            ++m_pos;
            const int low = m_pos < m_size ? hexValue(m_data[m_pos]) : -1;
            token.type = Type::HexByte;
            if (low < 0) {
                token.byte = uchar(high);
            } else {
                ++m_pos;
                token.byte = uchar(high * 16 + low);
            }
            return token;
        }
        token.type = Type::ControlSymbol;
        token.symbol = (first == '\r' || first == '\n') ? '\n' : first;
        return token;
    }

    const qsizetype nameStart = m_pos;
    while (m_pos < m_size && isLetter(m_data[m_pos]))
        ++m_pos;
    token.type = Type::ControlWord;
    token.data = m_data + nameStart;
    token.size = m_pos - nameStart;
    if (token.size > kMaxWordLength)
        token.nameTooLong = true;

    bool negative = false;
    if (m_pos + 1 < m_size && m_data[m_pos] == '-' && isDigit(m_data[m_pos + 1])) {
        negative = true;
        ++m_pos;
    }
    if (m_pos < m_size && isDigit(m_data[m_pos])) {
        // Any number of digits is consumed; the value saturates at the 32-bit range.
        qint64 value = 0;
        while (m_pos < m_size && isDigit(m_data[m_pos])) {
            if (value <= std::numeric_limits<qint32>::max())
                value = value * 10 + (m_data[m_pos] - '0');
            ++m_pos;
        }
        if (negative)
            value = -value;
        value = qBound(qint64(std::numeric_limits<qint32>::min()), value, qint64(std::numeric_limits<qint32>::max()));
        token.hasParameter = true;
        token.parameter = qint32(value);
    }
    // Only a single space delimits a control word; anything else is read again as content.
    if (m_pos < m_size && m_data[m_pos] == ' ')
        ++m_pos;

    if (token.size == 3 && std::memcmp(token.data, "bin", 3) == 0 && token.hasParameter) {
        if (token.parameter <= 0)
            return token; // an empty or negative payload: nothing to take
        const qsizetype length = qMin<qsizetype>(token.parameter, m_size - m_pos);
        token.type = Type::Binary;
        token.data = m_data + m_pos;
        token.size = length;
        m_pos += length;
    }
    return token;
}

bool RtfTokenizer::skipGroup()
{
    qsizetype depth = 1;
    while (m_pos < m_size) {
        // Jump straight to the next byte that matters.
        const void *hit = nullptr;
        const char *from = m_data + m_pos;
        const size_t left = size_t(m_size - m_pos);
        // Three memchr passes would be slower than one scan for the densest of the three.
        const auto *p = reinterpret_cast<const uchar *>(from);
        size_t i = 0;
        for (; i < left; ++i) {
            const uchar b = p[i];
            if (b == '{' || b == '}' || b == '\\') {
                hit = p + i;
                break;
            }
        }
        if (!hit) {
            m_pos = m_size;
            return false;
        }
        m_pos += qsizetype(i);
        const char c = m_data[m_pos];
        if (c == '{') {
            ++depth;
            ++m_pos;
        } else if (c == '}') {
            ++m_pos;
            if (--depth == 0)
                return true;
        } else {
            // A control: \binN must be honoured, anything else only needs its next byte skipped
            // so that \{ \} and \\ are not taken for structure.
            const Token token = readControl();
            Q_UNUSED(token);
        }
    }
    return false;
}
