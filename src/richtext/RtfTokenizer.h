#pragma once

#include <QByteArrayView>
#include <QtGlobal>

// One forward pass over the bytes of an RTF document, token by token. It keeps no stack and
// never recurses: group nesting is the reader's business. Each call to next() takes time
// proportional to the bytes it consumes, so the whole pass is linear in the input.
class RtfTokenizer
{
public:
    enum class Type : quint8 {
        GroupStart,    // {
        GroupEnd,      // }
        ControlWord,   // \name[-]digits, name in text(), parameter in parameter
        ControlSymbol, // \ followed by one non-letter, in symbol; \<CR> and \<LF> give '\n'
        Text,          // a run of ordinary bytes, in text(); CR and LF are left out
        HexByte,       // \'hh, in byte
        Binary,        // the payload of \binN, in text()
        End,           // no more input
    };

    struct Token
    {
        Type type = Type::End;
        bool hasParameter = false;
        bool nameTooLong = false; // a control word longer than kMaxWordLength letters
        char symbol = 0;
        uchar byte = 0;
        qint32 parameter = 0;
        const char *data = nullptr;
        qsizetype size = 0;
        QByteArrayView text() const { return QByteArrayView(data, size); }
    };

    static constexpr int kMaxWordLength = 32;

    explicit RtfTokenizer(QByteArrayView input);

    Token next();
    // Consumes everything up to and including the '}' that closes the group whose '{' was read
    // last, at memory speed, honouring \binN payloads and escaped braces. Returns false when the
    // input ends first.
    bool skipGroup();

    qsizetype position() const { return m_pos; }
    qsizetype size() const { return m_size; }

private:
    Token readControl();

    const char *m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
};
