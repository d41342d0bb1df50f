#include "TestSupport.h"
#include "composition/PhraseComposition.h"
#include "core/AlphabeticalOrder.h"

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
            << QStringList{u"Suite à"_s, QString(),     u"du"_s,   u"concernant"_s,
                           QString(),    u"je joins"_s, QString(), QString()}
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
        QTest::newRow("simple") << QStringList{u"Dans l'attente de votre réponse"_s, u"je reste"_s,
                                               u"à votre disposition"_s, u"si besoin"_s}
                                << u"Dans l'attente de votre réponse, je reste à votre disposition si besoin."_s;
        QTest::newRow("all empty") << QStringList{QString(), QString(), QString(), QString()} << u",."_s;
        QTest::newRow("first empty") << QStringList{QString(), u"je reste"_s, QString(), u"si besoin"_s}
                                     << u", je reste si besoin."_s;
        QTest::newRow("only the first") << QStringList{u"Cordialement"_s, QString(), QString()} << u"Cordialement,."_s;
    }

    void conclusion()
    {
        QFETCH(QStringList, lists);
        QFETCH(QString, expected);
        QCOMPARE(PhraseComposition::conclusion(lists), expected);
    }

    void body_data()
    {
        QTest::addColumn<QString>("introduction");
        QTest::addColumn<QString>("middle");
        QTest::addColumn<QString>("conclusion");
        QTest::addColumn<QString>("expected");
        QTest::newRow("three parts, the user's line ends kept inside")
            << u"  Intro. "_s << u" Milieu\r\nsuite \r\n"_s << u"Fin. "_s
            << u"Intro.\r\n\r\nMilieu\r\nsuite\r\n\r\nFin."_s;
        QTest::newRow("only the middle") << QString() << u"Seul le milieu"_s << QString() << u"Seul le milieu"_s;
        QTest::newRow("only the introduction") << u"Intro."_s << QString() << QString() << u"Intro."_s;
        QTest::newRow("no middle") << u"Intro."_s << u" \r\n \n"_s << u"Fin."_s << u"Intro.\r\n\r\nFin."_s;
        QTest::newRow("nothing") << u" "_s << QString() << u"\n"_s << QString();
    }

    void body()
    {
        QFETCH(QString, introduction);
        QFETCH(QString, middle);
        QFETCH(QString, conclusion);
        QFETCH(QString, expected);
        QCOMPARE(PhraseComposition::body(introduction, middle, conclusion), expected);
        QCOMPARE(PhraseComposition::trimSpaces(u"\t a \t"_s), u"\t a \t"_s);
    }

    void objectInSentence_data()
    {
        QTest::addColumn<QString>("object");
        QTest::addColumn<QString>("inSentence");
        QTest::newRow("capital then small letters") << u"Demande de subvention"_s << u"demande de subvention"_s;
        QTest::newRow("accented capital") << u"État des lieux"_s << u"état des lieux"_s;
        QTest::newRow("acronym") << u"CAF et allocations"_s << u"CAF et allocations"_s;
        QTest::newRow("small already") << u"votre demande"_s << u"votre demande"_s;
        QTest::newRow("one letter") << u"À propos du loyer"_s << u"À propos du loyer"_s;
        QTest::newRow("empty") << QString() << QString();
    }

    void objectInSentence()
    {
        QFETCH(QString, object);
        QFETCH(QString, inSentence);
        QCOMPARE(PhraseComposition::objectInSentence(object), inSentence);
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
