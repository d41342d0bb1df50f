// The form of address of a letter: the first line of the recipient's block, the salutation and
// the middle of the politeness formula.
#include "TestSupport.h"
#include "composition/FormOfAddress.h"
#include "core/LineListFile.h"

#include <QDir>
#include <QRegularExpression>

using namespace Qt::StringLiterals;
using FormOfAddress::Use;

class TestFormOfAddress : public QObject
{
    Q_OBJECT

private slots:
    void composes_data()
    {
        QTest::addColumn<QString>("qualifier");
        QTest::addColumn<QString>("function");
        QTest::addColumn<QString>("block");
        QTest::addColumn<QString>("salutation");
        // Each offered qualifier with each shipped function is offeredQualifiersWithEveryShippedFunction;
        // these rows are the other kinds of words.
        QTest::newRow("voyelle accentuée")
            << u"Madame"_s << u"Éducatrice"_s << u"Madame l'Éducatrice"_s << u"Madame l'Éducatrice"_s;
        QTest::newRow("ligature") << u"Monsieur"_s << u"Œnologue"_s << u"Monsieur l'Œnologue"_s
                                  << u"Monsieur l'Œnologue"_s;
        QTest::newRow("h muet") << u"Monsieur"_s << u"Huissier"_s << u"Monsieur l'Huissier"_s
                                << u"Monsieur l'Huissier"_s;
        QTest::newRow("h aspiré") << u"Monsieur"_s << u"Haut-Commissaire"_s << u"Monsieur le Haut-Commissaire"_s
                                  << u"Monsieur le Haut-Commissaire"_s;
        QTest::newRow("h aspiré, féminin") << u"Madame"_s << u"Haute fonctionnaire"_s
                                           << u"Madame la Haute fonctionnaire"_s << u"Madame la Haute fonctionnaire"_s;
        QTest::newRow("sigle") << u"Madame"_s << u"DRH"_s << u"Madame la DRH"_s << u"Madame la DRH"_s;
        QTest::newRow("pluriel") << u"Messieurs"_s << u"Administrateurs"_s << u"Messieurs les Administrateurs"_s
                                 << u"Messieurs les Administrateurs"_s;
        // Abbreviations may stand in the address block, never in the salutation.
        QTest::newRow("Mme.") << u"Mme."_s << QString() << u"Mme."_s << u"Madame"_s;
        QTest::newRow("Me") << u"Me"_s << QString() << u"Me"_s << u"Maître"_s;
        // Titles take no article.
        QTest::newRow("Maître seul") << u"Maître"_s << QString() << u"Maître"_s << u"Maître"_s;
        QTest::newRow("Docteur") << u"Docteur"_s << u"Directeur"_s << u"Docteur Directeur"_s << u"Docteur Directeur"_s;
        QTest::newRow("titre saisi") << u"Son Excellence"_s << u"Ambassadeur"_s << u"Son Excellence Ambassadeur"_s
                                     << u"Son Excellence Ambassadeur"_s;
        // Empty values, spaces only included.
        QTest::newRow("sans fonction") << u"Madame"_s << u"   "_s << u"Madame"_s << u"Madame"_s;
        QTest::newRow("sans qualificatif") << u" "_s << u"Directeur"_s << u"Directeur"_s << u"Madame, Monsieur"_s;
        QTest::newRow("rien") << QString() << u"  "_s << QString() << u"Madame, Monsieur"_s;
        // The user's letters stay as typed.
        QTest::newRow("casse") << u" monsieur "_s << u" directeur "_s << u"monsieur le directeur"_s
                               << u"monsieur le directeur"_s;
        QTest::newRow("capitales") << u"MADAME"_s << u"MAIRE"_s << u"MADAME la MAIRE"_s << u"MADAME la MAIRE"_s;
    }

    void composes()
    {
        QFETCH(QString, qualifier);
        QFETCH(QString, function);
        QTEST(FormOfAddress::compose(qualifier, function, Use::AddressBlock), "block");
        QTEST(FormOfAddress::compose(qualifier, function, Use::Salutation), "salutation");
    }

    // Every qualifier the wizard offers with every function the installation ships: the article
    // agrees with the qualifier and is elided exactly before a vowel.
    void offeredQualifiersWithEveryShippedFunction()
    {
        QStringList functions;
        QVERIFY(LineListFile::read(
            QDir(QuilloTest::installationFolder()).filePath(u"Fichiers/Références/Fonctions.ini"_s), &functions));
        QVERIFY(functions.size() >= 20);
        const QList<std::pair<QString, QString>> qualifiers = {
            {u"Monsieur"_s, u"Monsieur"_s}, {u"Madame"_s, u"Madame"_s}, {u"Mademoiselle"_s, u"Mademoiselle"_s},
            {u"M."_s, u"Monsieur"_s},       {u"Mme"_s, u"Madame"_s},    {u"Mlle"_s, u"Mademoiselle"_s},
        };
        const QRegularExpression startsWithVowel(u"^[AEIOUÉÈÊÎÔÛŒ]"_s, QRegularExpression::CaseInsensitiveOption);
        for (const auto &[typed, full] : qualifiers) {
            const QString article = full == u"Monsieur"_s ? u"le "_s : u"la "_s;
            for (const QString &function : std::as_const(functions)) {
                const QString joint = startsWithVowel.match(function).hasMatch() ? u"l'"_s : article;
                QCOMPARE(FormOfAddress::compose(typed, function, Use::AddressBlock), typed + u' ' + joint + function);
                QCOMPARE(FormOfAddress::compose(typed, function, Use::Salutation), full + u' ' + joint + function);
            }
        }
    }
};

QUILLO_TEST_MAIN(TestFormOfAddress)
#include "tst_formofaddress.moc"
