#include "TestSupport.h"
#include "core/Cp1252.h"

using namespace Qt::StringLiterals;

class TestCp1252 : public QObject
{
    Q_OBJECT

private slots:
    void everyByteSurvivesDecodeThenEncode()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        const QString text = Cp1252::decode(all);
        QCOMPARE(text.size(), 256);
        QVERIFY(Cp1252::fits(text));
        QCOMPARE(Cp1252::encode(text), all);
    }

    void frenchLettersAndTypographicSignsAreOneByte()
    {
        const QString text = u"Été, œuvre « déjà » — 10 €, naïveté, Ÿ"_s;
        const QByteArray bytes = Cp1252::encode(text);
        QCOMPARE(bytes.size(), text.size());
        QCOMPARE(bytes.at(0), char(0xC9));
        QCOMPARE(static_cast<unsigned char>(bytes.at(bytes.indexOf(char(0x9C)))), 0x9C); // œ
        QCOMPARE(Cp1252::decode(bytes), text);
    }

    void fileDecoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("windows-1252") << QByteArray("Pr\xE9"
                                                    "fecture d'\xC9tampes")
                                      << u"Préfecture d'Étampes"_s;
        QTest::newRow("utf-8 with mark") << QByteArray("\xEF\xBB\xBFPr\xC3\xA9"
                                                       "fecture")
                                         << u"Préfecture"_s;
        QTest::newRow("utf-8 without mark") << QByteArray("Pr\xC3\xA9"
                                                          "fecture \xE2\x82\xAC")
                                            << u"Préfecture €"_s;
        // What a Windows editor saves as "Unicode": read as such, not as Windows-1252 junk.
        QTest::newRow("utf-16le with mark") << QByteArray("\xFF\xFEP\0r\0\xE9\0"
                                                          "f\0\r\0\n\0\xAC\x20",
                                                          16)
                                            << u"Préf\r\n€"_s;
        QTest::newRow("utf-16be with mark") << QByteArray("\xFE\xFF\0P\0r\0\xE9", 8) << u"Pré"_s;
        QTest::newRow("plain ascii") << QByteArray("Paris") << u"Paris"_s;
        // A lone lead byte is not UTF-8: the text is Windows-1252.
        QTest::newRow("broken utf-8 is cp1252") << QByteArray("caf\xC3 au lait") << u"cafÃ au lait"_s;
        // Sequences a UTF-8 decoder would replace (overlong, surrogate, past U+10FFFF) are
        // Windows-1252 too, so no byte is lost.
        QTest::newRow("overlong") << QByteArray("votr\xE0\x80\x80") << u"votrà€€"_s;
        QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << u"í\u00A0€"_s;
        QTest::newRow("past unicode") << QByteArray("\xF4\x90\x80\x80") << u"ô\u0090€€"_s;
        // Only the first mark is the encoding's: a second one is the text's own character.
        QTest::newRow("two marks") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF"
                                                 "A")
                                   << u"\uFEFFA"_s;
        // A broken UTF-16 file shows what is broken once; written back, it reads the same.
        QTest::newRow("utf-16 lone surrogate") << QByteArray("\xFF\xFE\x00\xD8"
                                                             "A\0",
                                                             6)
                                               << u"\uFFFDA"_s;
    }

    void fileDecoding()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(Cp1252::decodeFile(bytes), text);
        QCOMPARE(Cp1252::decodeFile(Cp1252::encodeFile(text)), text);
    }

    void fileEncodingKeepsEveryCharacter()
    {
        // Fits: plain Windows-1252, no mark.
        QCOMPARE(Cp1252::encodeFile(u"Reçu"_s), QByteArray("Re\xE7u"));
        // Does not fit (a Polish name, an emoji): UTF-8 with a mark, and it reads back whole.
        const QString foreign = u"Łódź 😀 Müller"_s;
        const QByteArray bytes = Cp1252::encodeFile(foreign);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(Cp1252::decodeFile(bytes), foreign);
        // Fits, but its Windows-1252 bytes would read as UTF-8 or as a mark; or starts with the
        // mark's own character: marked UTF-8, read back whole.
        for (const QString &lookalike : {u"Ã©tÃ©"_s, u"ï»¿Début"_s, u"\uFEFFDébut"_s}) {
            QVERIFY(Cp1252::encodeFile(lookalike).startsWith("\xEF\xBB\xBF"));
            QCOMPARE(Cp1252::decodeFile(Cp1252::encodeFile(lookalike)), lookalike);
        }
    }
};

QUILLO_TEST_MAIN(TestCp1252)
#include "tst_cp1252.moc"
