#include "TestSupport.h"

#include "richtext/RtfTokenizer.h"

using Type = RtfTokenizer::Type;

namespace {

// The tokens of an input on one line, separated by "|": {, }, \word and its parameter, \<symbol>,
// \'hex byte, 'text', bin[payload]; "\(too long)" for a control word beyond the bound.
QByteArray describe(const RtfTokenizer::Token &token)
{
    const QByteArray text = token.text().toByteArray();
    switch (token.type) {
    case Type::GroupStart:
        return "{";
    case Type::GroupEnd:
        return "}";
    case Type::ControlWord:
        return "\\" + (token.nameTooLong ? QByteArray("(too long)") : text) +
               (token.hasParameter ? QByteArray::number(token.parameter) : QByteArray());
    case Type::ControlSymbol:
        return token.symbol == '\n' ? QByteArray("\\<LF>") : "\\" + QByteArray(1, token.symbol);
    case Type::Text:
        return "'" + text + "'";
    case Type::HexByte:
        return "\\'" + QByteArray::number(token.byte, 16).rightJustified(2, '0');
    case Type::Binary:
        return "bin[" + text + "]";
    case Type::End:
        break;
    }
    return {};
}

QByteArray tokens(QByteArrayView input)
{
    RtfTokenizer tokenizer(input);
    QByteArrayList list;
    for (auto token = tokenizer.next(); token.type != Type::End; token = tokenizer.next())
        list << describe(token);
    return list.join('|');
}

} // namespace

class TestRtfTokenizer : public QObject
{
    Q_OBJECT

private slots:
    void tokens_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("expected");
        // One space ends a control word, the next is text; punctuation ends it and is read again.
        QTest::newRow("delimiter is one space only")
            << QByteArray("\\b  x\\i-12y\\u160?c") << QByteArray("\\b|' x'|\\i-12|'y'|\\u160|'?c'");
        QTest::newRow("parameters saturate") << QByteArray("\\f2000000000\\f99999999999999999999 \\fs-99999999999 ")
                                             << QByteArray("\\f2000000000|\\f2147483647|\\fs-2147483648");
        QTest::newRow("names are bounded") << "\\" + QByteArray(40, 'a') + " x" << QByteArray("\\(too long)|'x'");
        // \'<digit><junk> reads as \'0<digit>; \' with no digit at all gives nothing; backslash +
        // CR or LF means a paragraph; bare CR and LF are not text.
        QTest::newRow("hex, symbols and line ends")
            << QByteArray("\\'e9\\'E9\\'4z\\'\\\r\\\n\\~\\{a\r\nb")
            << QByteArray("\\'e9|\\'e9|\\'04|'z'|''|\\<LF>|\\<LF>|\\~|\\{|'a'|'b'");
        QTest::newRow("bin payload is data, braces too")
            << QByteArray("{\\pict\\bin5 }{\\\\x}") << QByteArray("{|\\pict|bin[}{\\\\x]|}");
        // 2 GB announced in a few bytes: the payload is what there is, nothing more.
        QTest::newRow("huge bin clamped to the input")
            << QByteArray("{\\bin2147483647 abc}") << QByteArray("{|bin[abc}]");
        QTest::newRow("negative bin") << QByteArray("\\bin-5 x") << QByteArray("\\bin-5|'x'");
    }
    void tokens()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, expected);
        QCOMPARE(::tokens(input), expected);
    }

    void skipGroup_honoursBinAndEscapes()
    {
        RtfTokenizer tokenizer("{\\*\\foo {a\\}b} \\bin2 }} text}after");
        QCOMPARE(tokenizer.next().type, Type::GroupStart);
        QVERIFY(tokenizer.skipGroup());
        const auto next = tokenizer.next();
        QCOMPARE(next.type, Type::Text);
        QCOMPARE(next.text(), "after");
        RtfTokenizer truncated("{{{ never closed");
        truncated.next();
        QVERIFY(!truncated.skipGroup());
        QCOMPARE(truncated.next().type, Type::End);
    }
};

QUILLO_TEST_MAIN(TestRtfTokenizer)
#include "tst_RtfTokenizer.moc"
