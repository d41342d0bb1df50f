// A letter assembled from the installed template and exported as RTF, read by another word
// processor (LibreOffice, where installed): every value is there, in bold where the letter wants.
#include "composition/LetterAssembly.h"
#include "richtext/RichText.h"
#include "TestSupport.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace {

QString soffice()
{
    return QStandardPaths::findExecutable(u"soffice"_s);
}

// LibreOffice's HTML of an RTF file: bold text comes out between <b> and </b>.
QString officeHtml(const QByteArray &rtf)
{
    QTemporaryDir dir;
    QFile input(dir.filePath(u"lettre.rtf"_s));
    if (!input.open(QIODevice::WriteOnly))
        return {};
    input.write(rtf);
    input.close();
    QProcess office;
    office.start(soffice(),
                 {u"-env:UserInstallation=file://"_s + dir.filePath(u"profil"_s), u"--headless"_s, u"--convert-to"_s,
                  u"html:HTML (StarWriter):UTF8"_s, u"--outdir"_s, dir.path(), input.fileName()});
    if (!office.waitForFinished(180000))
        return {};
    QFile output(dir.filePath(u"lettre.html"_s));
    if (!output.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(output.readAll());
}

} // namespace

class TestLetterExport : public QObject
{
    Q_OBJECT

private slots:
    void officeShowsEveryValueWithItsBold()
    {
        if (soffice().isEmpty())
            QSKIP("LibreOffice (soffice) is not installed");
        QuilloTest::TempProgramFolder folder(true);
        WizardValues w;
        w.senderName = u"Jean Martin"_s;
        w.senderQualifier = u"Monsieur"_s;
        w.senderFunction = u"Chef de service"_s;
        w.senderAddress = u"12 rue des Lilas"_s;
        w.senderResidence = u"Batiment B"_s;
        w.senderTown = u"69001 Lyon"_s;
        w.senderPhone = u"04 78 00 00 00"_s;
        w.senderMobile = u"06 12 34 56 78"_s;
        w.recipientName = u"Paul Durand"_s;
        w.recipientQualifier = u"Monsieur"_s;
        w.recipientFunction = u"Maire"_s;
        w.recipientAddress = u"1 place de la Mairie"_s;
        w.recipientResidence = u"Hotel de ville"_s;
        w.recipientTown = u"75001 Paris"_s;
        w.recipientProvince = u"france"_s;
        w.dateText = u"lundi 3 mars 2025"_s;
        w.town = u"Lyon"_s;
        w.object = u"Demande de rendez-vous"_s;
        w.signature = u"Le Chef de service"_s;
        w.formulaFirst = u"Je vous prie d'agreer"_s;
        w.formulaSecond = u"mes salutations distinguees."_s;
        w.body = u"Premier paragraphe du corps.\r\nSecond paragraphe du corps."_s;
        QTextDocument letter;
        Build_Lettre(&letter, composeLetterFields(w, false));

        // LibreOffice wraps its HTML lines anywhere: one space for any run of blanks.
        const QString html = officeHtml(RichText::writeRtf(&letter)).simplified();
        QVERIFY2(!html.isEmpty(), "LibreOffice wrote nothing");
        // The text as a reader sees it, tags and line breaks aside.
        QString text = html;
        text.remove(QRegularExpression(u"<[^>]*>"_s)).replace(u"&#39;"_s, u"'"_s).replace(u"&apos;"_s, u"'"_s);
        for (const QString &value :
             {u"Monsieur Jean Martin"_s, u"Chef de service"_s, u"12 rue des Lilas, Batiment B"_s, u"69001 Lyon"_s,
              u"04 78 00 00 00"_s, u"06 12 34 56 78"_s, u"Monsieur le Maire"_s, u"Paul Durand"_s,
              u"1 place de la Mairie"_s, u"Hotel de ville"_s, u"75001 Paris (France)"_s, u"Lyon, lundi 3 mars 2025"_s,
              u"Objet : Demande de rendez-vous"_s, u"Monsieur le Maire,"_s, u"Premier paragraphe du corps."_s,
              u"Second paragraphe du corps."_s,
              u"Je vous prie d'agreer, Monsieur le Maire, mes salutations distinguees."_s, u"Le Chef de service"_s})
            QVERIFY2(text.contains(value), qPrintable(value + u" n'est pas dans : "_s + text));

        const auto bold = [&html](const QString &value) {
            return QRegularExpression(u"<b>(<[^>]*>)*"_s + QRegularExpression::escape(value)).match(html).hasMatch();
        };
        QVERIFY(bold(u"Monsieur Jean Martin"_s));
        QVERIFY(bold(u"Monsieur le Maire"_s));
        QVERIFY(bold(u"Objet : Demande de rendez-vous"_s));
        QVERIFY(bold(u"Le Chef de service"_s));
        QVERIFY(!bold(u"Paul Durand"_s));
        QVERIFY(!bold(u"Premier paragraphe"_s));
    }
};

QUILLO_TEST_MAIN(TestLetterExport)
#include "tst_letterexport.moc"
