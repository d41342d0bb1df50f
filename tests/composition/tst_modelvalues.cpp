// The letters that need no window: a model's values as the wizard would hold them, a recipient
// card in place of the model's recipient, and a letter built from a template read once.
#include "TestSupport.h"
#include "composition/LetterAssembly.h"
#include "composition/ModelValues.h"
#include "core/DataPaths.h"
#include "core/LetterModel.h"
#include "core/QuilloError.h"
#include "richtext/RichText.h"

#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace {

LetterModel model()
{
    LetterModel m;
    m.sender = {u"Jean Martin"_s,    u"12 rue des Lilas"_s, u"   "_s,      u"69001 Lyon"_s,     QString(),
                u"04 78 00 00 00"_s, u"06 12 34 56 78"_s,   u"Monsieur"_s, u"Chef de service"_s};
    m.recipient = {
        u"Paul Durand"_s, u"1 place de la Mairie"_s, u"Hôtel de ville"_s, u"75001 Paris"_s, u"france"_s, u"Monsieur"_s,
        u"Maire"_s};
    m.references = {u"lundi 3 mars 2025"_s,      u"Lyon"_s,
                    u"Demande de rendez-vous"_s, u"Le Chef de service"_s,
                    u"Je vous prie d'agréer"_s,  u"mes salutations distinguées."_s};
    m.body = u"Premier paragraphe.\r\nSecond paragraphe."_s;
    return m;
}

} // namespace

class TestModelValues : public QObject
{
    Q_OBJECT

private slots:
    void modelValuesInTheWizardsPlaces()
    {
        WizardValues w = valuesOfModel(model());
        // Each value in its place, " | " between them.
        const auto places = [&w] {
            const QStringList sender{w.senderName,  w.senderAddress, w.senderResidence, w.senderTown,
                                     w.senderPhone, w.senderMobile,  w.senderQualifier, w.senderFunction};
            const QStringList recipient{w.recipientName,     w.recipientResidence, w.recipientTown,
                                        w.recipientProvince, w.recipientQualifier, w.recipientFunction};
            const QStringList references{w.dateText, w.town, w.object, w.signature, w.formulaSecond, w.body};
            return (sender + recipient + references).join(u" | "_s);
        };
        // A residence of spaces only is not filled in.
        QCOMPARE(places(),
                 u"Jean Martin | 12 rue des Lilas |  | 69001 Lyon | 04 78 00 00 00 | 06 12 34 56 78 | "
                 u"Monsieur | Chef de service | Paul Durand | Hôtel de ville | 75001 Paris | france | "
                 u"Monsieur | Maire | lundi 3 mars 2025 | Lyon | Demande de rendez-vous | Le Chef de service | "
                 u"mes salutations distinguées. | Premier paragraphe.\r\nSecond paragraphe."_s);

        // A card with fewer fields (damaged) leaves none of the model's recipient behind.
        setRecipient(&w, {u"Claire Petit"_s, u"3 rue Haute"_s, QString(), u"33000 Bordeaux"_s});
        QVERIFY2(places().contains(u" | Claire Petit |  | 33000 Bordeaux |  |  |  | "_s), qPrintable(places()));
        QCOMPARE(w.senderName, u"Jean Martin"_s);
    }

    void templateReadOnceGivesTheSameLetter()
    {
        QuilloTest::TempProgramFolder folder(true);
        const LetterFields fields = composeLetterFields(valuesOfModel(model()), true);
        QTextDocument fromFile;
        Build_Lettre(&fromFile, fields);
        const QByteArray templateRtf = readLetterTemplate();
        QTextDocument fromBytes;
        Build_Lettre(&fromBytes, fields, templateRtf);
        QCOMPARE(fromBytes.toPlainText(), fromFile.toPlainText());
        QCOMPARE(RichText::writeRtf(&fromBytes), RichText::writeRtf(&fromFile));
        QVERIFY_THROWS_EXCEPTION(QuilloError, Build_Lettre(&fromBytes, fields, "pas du RTF"));
    }

    void unreadableTemplate()
    {
        QuilloTest::TempProgramFolder folder;
        QVERIFY_THROWS_EXCEPTION(QuilloError, readLetterTemplate());
        QuilloTest::writeBytes(DataPaths::templateFile(), "Bonjour #dst2");
        try {
            readLetterTemplate();
            QFAIL("a template that is not RTF was read");
        } catch (const QuilloError &error) {
            QVERIFY(error.description.contains(u"n'est pas un document RTF"_s));
        }
    }
};

QUILLO_TEST_MAIN(TestModelValues)
#include "tst_modelvalues.moc"
