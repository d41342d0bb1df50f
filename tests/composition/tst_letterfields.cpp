#include "TestSupport.h"
#include "composition/LetterFields.h"

#include <QHash>

using namespace Qt::StringLiterals;

namespace {
WizardValues sample()
{
    WizardValues w;
    w.senderName = u"Jean Martin"_s;
    w.senderAddress = u"12 rue des Lilas"_s;
    w.senderResidence = u"Bât. B"_s;
    w.senderTown = u"69001 Lyon"_s;
    w.senderProvince = u"Rhône"_s;
    w.senderPhone = u"04 78 00 00 00"_s;
    w.senderMobile = u"06 12 34 56 78"_s;
    w.senderQualifier = u"Monsieur"_s;
    w.senderFunction = u"Chef de service"_s;
    w.recipientName = u"Paul Durand"_s;
    w.recipientAddress = u"1 place de la Mairie"_s;
    w.recipientResidence = u"Hôtel de ville"_s;
    w.recipientTown = u"1000 Bruxelles"_s;
    w.recipientProvince = u"belgique"_s;
    w.recipientQualifier = u"Monsieur"_s;
    w.recipientFunction = u"Maire"_s;
    w.dateText = u"lundi 3 mars 2025"_s;
    w.town = u"Lyon"_s;
    w.object = u"Demande de rendez-vous"_s;
    w.signature = u"Jean Martin"_s;
    w.formulaFirst = u"Je vous prie d'agréer"_s;
    w.formulaSecond = u"mes salutations distinguées."_s;
    w.body = u"Premier paragraphe.\r\nSecond paragraphe."_s;
    return w;
}
} // namespace

class TestLetterFields : public QObject
{
    Q_OBJECT

private slots:
    void composesTheThirteenValues()
    {
        const LetterFields f = composeLetterFields(sample(), false);
        QCOMPARE(f.value(u"#exp1"_s), u"Monsieur Jean Martin"_s);
        QCOMPARE(f.value(u"#exp2"_s), u"Chef de service"_s);
        QCOMPARE(f.value(u"#exp3"_s), u"12 rue des Lilas, Bât. B\r\n69001 Lyon (Rhône)"_s);
        QCOMPARE(f.value(u"#exp4"_s), u"04 78 00 00 00\r\n06 12 34 56 78"_s);
        QCOMPARE(f.value(u"#dst1"_s), u"Monsieur le Maire"_s);
        QCOMPARE(f.value(u"#dst2"_s), u"Paul Durand"_s);
        // Only the recipient's province gets proper case.
        QCOMPARE(f.value(u"#dst3"_s), u"1 place de la Mairie\r\nHôtel de ville\r\n1000 Bruxelles (Belgique)"_s);
        QCOMPARE(f.value(u"#ref1"_s), u"Lyon, lundi 3 mars 2025"_s);
        QCOMPARE(f.value(u"#ref2"_s), u"Objet : Demande de rendez-vous"_s);
        QCOMPARE(f.value(u"#ref3"_s), u"Monsieur le Maire,"_s);
        QCOMPARE(f.value(u"#REF4"_s), u"Premier paragraphe.\r\nSecond paragraphe."_s);
        QCOMPARE(f.value(u"#ref5"_s), u"Je vous prie d'agréer, Monsieur le Maire, mes salutations distinguées."_s);
        QCOMPARE(f.value(u"#ref6"_s), u"Jean Martin"_s);
    }

    void emptyFieldsLeaveNoSeparatorBehind_data()
    {
        QTest::addColumn<QString>("emptied");
        QTest::addColumn<QString>("placeholder");
        QTest::addColumn<QString>("expected");
        QTest::newRow("résidence de l'expéditeur")
            << u"senderResidence"_s << u"#exp3"_s << u"12 rue des Lilas\r\n69001 Lyon (Rhône)"_s;
        QTest::newRow("adresse de l'expéditeur")
            << u"senderAddress"_s << u"#exp3"_s << u"Bât. B\r\n69001 Lyon (Rhône)"_s;
        QTest::newRow("province de l'expéditeur")
            << u"senderProvince"_s << u"#exp3"_s << u"12 rue des Lilas, Bât. B\r\n69001 Lyon"_s;
        QTest::newRow("ville de l'expéditeur")
            << u"senderTown"_s << u"#exp3"_s << u"12 rue des Lilas, Bât. B\r\n(Rhône)"_s;
        QTest::newRow("qualificatif de l'expéditeur") << u"senderQualifier"_s << u"#exp1"_s << u"Jean Martin"_s;
        QTest::newRow("résidence du destinataire")
            << u"recipientResidence"_s << u"#dst3"_s << u"1 place de la Mairie\r\n1000 Bruxelles (Belgique)"_s;
        QTest::newRow("adresse du destinataire")
            << u"recipientAddress"_s << u"#dst3"_s << u"Hôtel de ville\r\n1000 Bruxelles (Belgique)"_s;
        QTest::newRow("province du destinataire")
            << u"recipientProvince"_s << u"#dst3"_s << u"1 place de la Mairie\r\nHôtel de ville\r\n1000 Bruxelles"_s;
        // The telephone lines are as they always were: a trailing line break stays in the value
        // (the assembly leaves the empty line out of the block).
        QTest::newRow("portable") << u"senderMobile"_s << u"#exp4"_s << u"04 78 00 00 00\r\n"_s;
        QTest::newRow("téléphone fixe") << u"senderPhone"_s << u"#exp4"_s << u"06 12 34 56 78"_s;
        QTest::newRow("ville de la lettre") << u"town"_s << u"#ref1"_s << u"lundi 3 mars 2025"_s;
        QTest::newRow("formule") << u"formula"_s << u"#ref5"_s << QString();
    }

    void emptyFieldsLeaveNoSeparatorBehind()
    {
        QFETCH(QString, emptied);
        QFETCH(QString, placeholder);
        QFETCH(QString, expected);
        WizardValues w = sample();
        QHash<QString, QString *> fields{
            {u"senderResidence"_s, &w.senderResidence},
            {u"senderAddress"_s, &w.senderAddress},
            {u"senderProvince"_s, &w.senderProvince},
            {u"senderTown"_s, &w.senderTown},
            {u"senderQualifier"_s, &w.senderQualifier},
            {u"recipientResidence"_s, &w.recipientResidence},
            {u"recipientAddress"_s, &w.recipientAddress},
            {u"recipientProvince"_s, &w.recipientProvince},
            {u"senderMobile"_s, &w.senderMobile},
            {u"senderPhone"_s, &w.senderPhone},
            {u"town"_s, &w.town},
        };
        if (emptied == u"formula"_s) {
            w.formulaFirst = u"  "_s;
            w.formulaSecond.clear();
        } else {
            // Spaces only count as empty (the mobile number, last in "#exp4", is kept as typed:
            // the assembly trims it).
            *fields.value(emptied) = emptied == u"senderMobile"_s ? QString() : u"   "_s;
        }
        QCOMPARE(composeLetterFields(w, false).value(placeholder), expected);
    }

    void noObjectEmptiesTheObjectLine()
    {
        WizardValues w = sample();
        w.noObject = true;
        QCOMPARE(composeLetterFields(w, false).value(u"#ref2"_s), QString());
    }

    void formOfAddressInTheBlockTheSalutationAndTheFormula_data()
    {
        QTest::addColumn<QString>("qualifier");
        QTest::addColumn<QString>("function");
        QTest::addColumn<bool>("batch");
        QTest::addColumn<QString>("block");
        QTest::addColumn<QString>("salutation");
        QTest::addColumn<QString>("formula");
        const QString agreer = u"Je vous prie d'agréer, %1, mes salutations distinguées."_s;
        // How a qualifier and a function agree is tst_formofaddress'; here, where each use goes.
        QTest::newRow("abbreviation in full") << u"M."_s << u"Inspecteur"_s << false << u"M. l'Inspecteur"_s
                                              << u"Monsieur l'Inspecteur,"_s << agreer.arg(u"Monsieur l'Inspecteur"_s);
        // Without a qualifier a single letter keeps no form-of-address line in its block, a batch
        // row shows the function; both greet the reader as "Madame, Monsieur".
        QTest::newRow("no qualifier, single") << u"  "_s << u"Maire"_s << false << QString() << u"Madame, Monsieur,"_s
                                              << agreer.arg(u"Madame, Monsieur"_s);
        QTest::newRow("no qualifier, batch") << QString() << u"Maire"_s << true << u"Maire"_s << u"Madame, Monsieur,"_s
                                             << agreer.arg(u"Madame, Monsieur"_s);
        QTest::newRow("nothing, batch") << QString() << QString() << true << QString() << u"Madame, Monsieur,"_s
                                        << agreer.arg(u"Madame, Monsieur"_s);
    }

    void formOfAddressInTheBlockTheSalutationAndTheFormula()
    {
        QFETCH(QString, qualifier);
        QFETCH(QString, function);
        QFETCH(bool, batch);
        WizardValues w = sample();
        w.recipientQualifier = qualifier;
        w.recipientFunction = function;
        const LetterFields f = composeLetterFields(w, batch);
        QTEST(f.value(u"#dst1"_s), "block");
        QTEST(f.value(u"#ref3"_s), "salutation");
        QTEST(f.value(u"#ref5"_s), "formula");
    }

    void placeholdersAndBoldness()
    {
        QStringList bold;
        for (int i = 0; i < LetterFields::Count; ++i) {
            if (LetterFields::isBold(i))
                bold.append(LetterFields::placeholders()[size_t(i)]);
        }
        QCOMPARE(bold, (QStringList{u"#exp1"_s, u"#dst1"_s, u"#ref2"_s, u"#ref6"_s}));
        QCOMPARE(Bracketed(QString()), QString());
        QCOMPARE(Bracketed(u"France"_s), u"(France)"_s);
    }
};

QUILLO_TEST_MAIN(TestLetterFields)
#include "tst_letterfields.moc"
