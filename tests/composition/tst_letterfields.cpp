#include "LetterFields.h"
#include "TestSupport.h"

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
    w.formulaSecond = u"l'expression de mes salutations distinguées."_s;
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
        const LetterFields f = Get_Valeurs(sample(), false);
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
        QCOMPARE(f.value(u"#ref5"_s),
                 u"Je vous prie d'agréer, Monsieur le Maire, l'expression de mes salutations distinguées."_s);
        QCOMPARE(f.value(u"#ref6"_s), u"Jean Martin"_s);
    }

    void emptyFieldsLeaveTheirSeparators()
    {
        WizardValues w = sample();
        w.senderProvince.clear();
        w.senderMobile.clear();
        w.town.clear();
        const LetterFields f = Get_Valeurs(w, false);
        QCOMPARE(f.value(u"#exp3"_s), u"12 rue des Lilas, Bât. B\r\n69001 Lyon "_s); // the space goes at assembly
        QCOMPARE(f.value(u"#exp4"_s), u"04 78 00 00 00\r\n"_s);
        QCOMPARE(f.value(u"#ref1"_s), u"lundi 3 mars 2025"_s); // no comma without a town
        w.senderPhone.clear();
        w.senderMobile = u"06"_s;
        QCOMPARE(Get_Valeurs(w, false).value(u"#exp4"_s), u"06"_s);
    }

    void noObjectEmptiesTheObjectLine()
    {
        WizardValues w = sample();
        w.noObject = true;
        QCOMPARE(Get_Valeurs(w, false).value(u"#ref2"_s), QString());
    }

    void emptyRecipientQualifierDependsOnTheMode()
    {
        WizardValues w = sample();
        w.recipientQualifier.clear();
        const LetterFields single = Get_Valeurs(w, false);
        QCOMPARE(single.value(u"#dst1"_s), QString());
        QCOMPARE(single.value(u"#ref3"_s), QString());
        QCOMPARE(single.value(u"#ref5"_s),
                 u"Je vous prie d'agréer,  le Maire, l'expression de mes salutations distinguées."_s);
        const LetterFields batch = Get_Valeurs(w, true);
        QCOMPARE(batch.value(u"#dst1"_s), u" le Maire"_s);
        QCOMPARE(batch.value(u"#ref3"_s), u" le Maire,"_s);
    }

    void placeholdersAndBoldness()
    {
        QCOMPARE(LetterFields::placeholders().front(), u"#exp1"_s);
        QCOMPARE(LetterFields::placeholders().back(), u"#ref6"_s);
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
