#include "ProperCase.h"
#include "TestSupport.h"

using namespace Qt::StringLiterals;

class TestProperCase : public QObject
{
    Q_OBJECT

private slots:
    void words_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("small") << u"paris"_s << u"Paris"_s;
        QTest::newRow("capitals") << u"PARIS"_s << u"Paris"_s;
        QTest::newRow("mixed") << u"pArIs"_s << u"Paris"_s;
        QTest::newRow("hyphen starts no word") << u"saint-denis"_s << u"Saint-denis"_s;
        QTest::newRow("apostrophe starts no word") << u"l'haÿ-les-roses"_s << u"L'haÿ-les-roses"_s;
        QTest::newRow("spaces and tabs") << u"aix en\tPROVENCE"_s << u"Aix En\tProvence"_s;
        QTest::newRow("accented first letter") << u"ÉVRY éCOUEN"_s << u"Évry Écouen"_s;
        QTest::newRow("leading and double spaces") << u"  le  mans"_s << u"  Le  Mans"_s;
        QTest::newRow("empty") << QString() << QString();
    }

    void words()
    {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QCOMPARE(properCase(stored), shown);
    }
};

QUILLO_TEST_MAIN(TestProperCase)
#include "tst_propercase.moc"
