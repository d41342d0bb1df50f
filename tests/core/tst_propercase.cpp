#include "TestSupport.h"
#include "core/ProperCase.h"

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

    // Real communes, as the official list writes them: each must come out as written whether
    // it was stored in small letters or in capitals.
    void frenchPlaceNames_data()
    {
        QTest::addColumn<QString>("name");
        for (const QString &name : {
                 u"Vaulx-en-Velin"_s,        u"Saint-Étienne"_s,         u"Boulogne-sur-Mer"_s,
                 u"Aix-en-Provence"_s,       u"L'Haÿ-les-Roses"_s,       u"Clermont-Ferrand"_s,
                 u"Bourg-en-Bresse"_s,       u"Châlons-en-Champagne"_s,  u"Charleville-Mézières"_s,
                 u"Lons-le-Saunier"_s,       u"Mont-de-Marsan"_s,        u"Bar-le-Duc"_s,
                 u"Le Puy-en-Velay"_s,       u"La Roche-sur-Yon"_s,      u"Villeneuve-d'Ascq"_s,
                 u"Pont-l'Évêque"_s,         u"Saint-Ouen-l'Aumône"_s,   u"Issy-les-Moulineaux"_s,
                 u"Saint-Maur-des-Fossés"_s, u"Saint-Laurent-du-Var"_s,  u"Sainte-Marie-aux-Mines"_s,
                 u"Pont-à-Mousson"_s,        u"Plessis-lès-Tours"_s,     u"Marcq-en-Barœul"_s,
                 u"Villers-lez-Nancy"_s,     u"Neuilly-sous-Clermont"_s, u"Saint-Lô"_s,
                 u"Les Sables-d'Olonne"_s,   u"Fort-de-France"_s,        u"Évry-Courcouronnes"_s,
                 u"Seine-Saint-Denis"_s,     u"Côtes-d'Armor"_s,         u"Saint-Jean-de-Luz"_s,
                 u"Les Deux-Alpes"_s,        u"Dives-sur-Mer"_s,         u"Ville-d\u2019Avray"_s,
             })
            QTest::newRow(qPrintable(name)) << name;
    }

    void frenchPlaceNames()
    {
        QFETCH(QString, name);
        QCOMPARE(properCase(name.toLower()), name);
        QCOMPARE(properCase(name.toUpper()), name);
        QCOMPARE(properCase(name), name);
    }

    void linkingWordsStaySmallOnlyBetweenHyphens()
    {
        // At the start of the name, or after a space, a linking word is a word like any other;
        // a part that merely begins like one is no linking word.
        QCOMPARE(properCase(u"le havre"_s), u"Le Havre"_s);
        QCOMPARE(properCase(u"la-roche-guyon"_s), u"La-Roche-Guyon"_s);
        QCOMPARE(properCase(u"saint-denis-desert"_s), u"Saint-Denis-Desert"_s);
    }
};

QUILLO_TEST_MAIN(TestProperCase)
#include "tst_propercase.moc"
