#include "TestSupport.h"

#include "richtext/RtfTokenizer.h"

using Type = RtfTokenizer::Type;

class TestRtfTokenizer : public QObject
{
    Q_OBJECT

private:
    static QList<RtfTokenizer::Token> tokens(QByteArrayView input)
    {
        RtfTokenizer tokenizer(input);
        QList<RtfTokenizer::Token> list;
        for (auto token = tokenizer.next(); token.type != Type::End; token = tokenizer.next())
            list << token;
        return list;
    }

private slots:
    void controlWord_delimiterIsOneSpaceOnly()
    {
        const auto list = tokens("\\b  x\\i-12y\\u160?c");
        QCOMPARE(list.size(), 6);
        QCOMPARE(list[0].type, Type::ControlWord);
        QCOMPARE(list[0].text(), "b");
        QVERIFY(!list[0].hasParameter);
        QCOMPARE(list[1].type, Type::Text);
        QCOMPARE(list[1].text(), " x"); // the second space is text
        QCOMPARE(list[2].text(), "i");
        QCOMPARE(list[2].parameter, -12);
        QCOMPARE(list[3].text(), "y");
        QCOMPARE(list[4].parameter, 160);
        QCOMPARE(list[5].text(), "?c"); // punctuation ends the word and is read again
    }

    void parameters_saturateAndNamesAreBounded()
    {
        const auto list = tokens("\\f2000000000\\f99999999999999999999 \\fs-99999999999 ");
        QCOMPARE(list[0].parameter, 2000000000);
        QCOMPARE(list[1].parameter, std::numeric_limits<qint32>::max());
        QCOMPARE(list[2].parameter, std::numeric_limits<qint32>::min());
        const QByteArray longName = "\\" + QByteArray(40, 'a') + " x";
        const auto longList = tokens(longName);
        QVERIFY(longList[0].nameTooLong);
    }

    void symbols_hexAndLineEnds()
    {
        const auto list = tokens("\\'e9\\'E9\\'4z\\'\\\r\\\n\\~\\{a\r\nb");
        QCOMPARE(list[0].type, Type::HexByte);
        QCOMPARE(list[0].byte, uchar(0xe9));
        QCOMPARE(list[1].byte, uchar(0xe9));
        QCOMPARE(list[2].byte, uchar(0x04)); // \'<digit><junk> reads as \'0<digit>
        QCOMPARE(list[3].text(), "z");
        QCOMPARE(list[4].type, Type::Text); // \' with no digit at all: nothing
        QCOMPARE(list[4].size, 0);
        QCOMPARE(list[5].type, Type::ControlSymbol);
        QCOMPARE(list[5].symbol, '\n'); // backslash + CR means a paragraph
        QCOMPARE(list[6].symbol, '\n');
        QCOMPARE(list[7].symbol, '~');
        QCOMPARE(list[8].symbol, '{');
        QCOMPARE(list[9].text(), "a"); // CR and LF are not text
        QCOMPARE(list[10].text(), "b");
    }

    void bin_payloadIsDataEvenWithBraces()
    {
        const auto list = tokens("{\\pict\\bin5 }{\\\\x}");
        QCOMPARE(list.size(), 4);
        QCOMPARE(list[2].type, Type::Binary);
        QCOMPARE(list[2].text(), "}{\\\\x");
        QCOMPARE(list[3].type, Type::GroupEnd);
    }

    void bin_hugeLengthIsClampedToInput()
    {
        // 2 GB announced in a few bytes: the payload is what there is, nothing more.
        const auto list = tokens("{\\bin2147483647 abc}");
        QCOMPARE(list.size(), 2);
        QCOMPARE(list[1].type, Type::Binary);
        QCOMPARE(list[1].text(), "abc}");
        const auto negative = tokens("\\bin-5 x");
        QCOMPARE(negative[0].type, Type::ControlWord);
        QCOMPARE(negative[1].text(), "x");
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
