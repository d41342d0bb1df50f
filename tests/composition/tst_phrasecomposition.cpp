#include "AlphabeticalOrder.h"
#include "PhraseComposition.h"
#include "TestSupport.h"

using namespace Qt::StringLiterals;

class TestPhraseComposition : public QObject
{
    Q_OBJECT

private slots:
    void introduction_data()
    {
        QTest::addColumn<QStringList>("lists");
        QTest::addColumn<QString>("object");
        QTest::addColumn<QString>("expected");
        QTest::newRow("every part")
            << QStringList{u"Suite à"_s,     u"votre courrier"_s, u"du"_s,         u"concernant"_s,
                           u"je souhaite"_s, u"vous adresser"_s,  u"les pièces"_s, u"utiles"_s}
            << u"ma demande"_s
            << u"Suite à votre courrier du 05/05/2025, concernant ma demande, je souhaite vous adresser les "
               u"pièces utiles."_s;
        QTest::newRow("empty lists leave single spaces")
            << QStringList{u"Suite à"_s, QString(), u"du"_s, u"concernant"_s, QString(), u"je joins"_s, QString(),
                           QString()}
            << u"ma demande"_s << u"Suite à du 05/05/2025, concernant ma demande, je joins."_s;
        QTest::newRow("spaces at the ends of the sentence parts are absorbed")
            << QStringList{u"  Suite à "_s, u"votre courrier"_s, u"du"_s, u"concernant"_s, u"je joins  "_s}
            << u"ma demande"_s << u"Suite à votre courrier du 05/05/2025, concernant ma demande, je joins."_s;
        QTest::newRow("nothing after the object keeps its comma")
            << QStringList{u"Suite à"_s, u"votre courrier"_s, u"du"_s, u"concernant"_s} << u"ma demande"_s
            << u"Suite à votre courrier du 05/05/2025, concernant ma demande,."_s;
    }

    void introduction()
    {
        QFETCH(QStringList, lists);
        QFETCH(QString, object);
        QFETCH(QString, expected);
        QCOMPARE(PhraseComposition::introduction(lists, u"05/05/2025"_s, object), expected);
    }

    void conclusion_data()
    {
        QTest::addColumn<QStringList>("lists");
        QTest::addColumn<QString>("expected");
        QTest::newRow("simple")
            << QStringList{u"Dans l'attente de votre réponse"_s, u"je reste"_s, u"à votre disposition"_s,
                           u"si besoin"_s}
            << u"Dans l'attente de votre réponse, je reste à votre disposition si besoin."_s;
        QTest::newRow("all empty") << QStringList{QString(), QString(), QString(), QString()} << u",."_s;
        QTest::newRow("first empty") << QStringList{QString(), u"je reste"_s, QString(), u"si besoin"_s}
                                     << u", je reste si besoin."_s;
        QTest::newRow("only the first") << QStringList{u"Cordialement"_s, QString(), QString()}
                                        << u"Cordialement,."_s;
    }

    void conclusion()
    {
        QFETCH(QStringList, lists);
        QFETCH(QString, expected);
        QCOMPARE(PhraseComposition::conclusion(lists), expected);
    }

    void bodyTrimsSpacesButKeepsTheUsersLineEnds()
    {
        QCOMPARE(PhraseComposition::body(u"  Intro. "_s, u" Milieu\r\nsuite \r\n"_s, u"Fin. "_s),
                 u"Intro.\r\n\r\nMilieu\r\nsuite \r\n\r\n\r\nFin."_s);
        QCOMPARE(PhraseComposition::body(QString(), u"Seul le milieu"_s, QString()),
                 u"\r\n\r\nSeul le milieu\r\n\r\n"_s);
        QCOMPARE(PhraseComposition::trimSpaces(u"\t a \t"_s), u"\t a \t"_s);
    }

    void orderIgnoresLetterCaseAndPutsEqualsBehind()
    {
        QStringList items = {u"je reste"_s, u"Je demeure"_s, u"école"_s, u"Étude"_s, u"ecole"_s};
        AlphabeticalOrder::sort(&items);
        QCOMPARE(items, (QStringList{u"ecole"_s, u"école"_s, u"Étude"_s, u"Je demeure"_s, u"je reste"_s}));
        QCOMPARE(AlphabeticalOrder::insertPosition(items, u"je me tiens"_s), 4);
        QCOMPARE(AlphabeticalOrder::insertPosition(items, u"JE RESTE"_s), 5);
        QCOMPARE(AlphabeticalOrder::insertPosition(items, u"a"_s), 0);
    }
};

QUILLO_TEST_MAIN(TestPhraseComposition)
#include "tst_phrasecomposition.moc"
