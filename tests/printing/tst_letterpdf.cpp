// Letters as PDF files, read back with the PDF tools: the pages of the preview, the text in
// reading order, A4, the fonts embedded, the archive level and the document properties; the
// file replaced whole or not at all; and what counts as a complete file.
#include "PrintingFixtures.h"
#include "TestSupport.h"
#include "printing/FrmPage.h"
#include "printing/ImprimeRtf.h"
#include "printing/Imprimer.h"
#include "printing/LetterPdf.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextCursor>

using namespace Qt::StringLiterals;
using namespace PrintingFixtures;

namespace {

// A field of pdfinfo's answer ("Title", "Author"…).
QString infoField(const QString &info, const QString &field)
{
    const QRegularExpressionMatch match =
        QRegularExpression(u"^"_s + field + u":\\s+(.*)$"_s, QRegularExpression::MultilineOption).match(info);
    return match.captured(1).trimmed();
}

// What every letter's file must be: A4, its own title and author, declared PDF/A-1b with the
// author in the metadata packet too, every font embedded (the letter looks the same on a
// computer that lacks it).
void checkArchiveFile(const QString &path, const QString &title, const QString &author)
{
    const QString info = run(u"pdfinfo"_s, {path});
    QVERIFY(infoField(info, u"Page size"_s).endsWith(u"(A4)"_s));
    QCOMPARE(infoField(info, u"Title"_s), title);
    QCOMPARE(infoField(info, u"Author"_s), author);
    QCOMPARE(infoField(info, u"Creator"_s), LetterPdf::creator());
    const QString meta = run(u"pdfinfo"_s, {u"-meta"_s, path});
    QVERIFY(meta.contains(u"<pdfaid:part>1</pdfaid:part>"_s));
    QVERIFY(meta.contains(u"<pdfaid:conformance>B</pdfaid:conformance>"_s));
    QVERIFY(meta.contains(u"<rdf:li>%1</rdf:li>"_s.arg(author)));
    QVERIFY(QuilloTest::readBytes(path).contains("/GTS_PDFA1"));
    const QStringList fonts = run(u"pdffonts"_s, {path}).split(u'\n', Qt::SkipEmptyParts).mid(2);
    QVERIFY(!fonts.isEmpty());
    for (const QString &font : fonts)
        QVERIFY2(font.contains(u" yes "_s), qPrintable(font));
}

LetterPdf::Properties properties()
{
    return {u"Demande de rendez-vous"_s, u"Élise Fontaine-Müller"_s, QDateTime()};
}

} // namespace

class TestLetterPdf : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir folder;

private slots:
    void cleanup() { QuilloTest::closeAllWindows(); }

    void pagesTextAndPropertiesReadBack()
    {
        if (!havePoppler())
            QSKIP("poppler-utils (pdftotext, pdfinfo) is not installed");
        const int paragraphs = 14;
        auto letter = paragraphsLetter(paragraphs);
        QTextCursor(letter.get()).insertText(u"Objet : réunion « budget » à Saint-Étienne\n"_s);
        const QString path = folder.filePath(u"lettre.pdf"_s);
        QString error;
        QVERIFY2(LetterPdf::write(path, *letter, properties(), &error), qPrintable(error));
        QVERIFY(LetterPdf::isCompleteFile(path));

        // As many pages as the preview shows for the same letter.
        PPreview().Initialise();
        Paginate_RTF(*letter, LetterMargin, LetterMargin, LetterMargin, LetterMargin);
        QCOMPARE(pdfPageCount(path), FrmPage::existing()->pageCount());
        QVERIFY(pdfPageCount(path) > 1);

        // The text comes out whole and in reading order, accents included.
        const QString text = pdfText(path).simplified();
        QVERIFY(text.contains(u"Objet : réunion « budget » à Saint-Étienne"_s));
        qsizetype at = 0;
        for (int i = 1; i <= paragraphs; ++i) {
            const qsizetype found = text.indexOf(u"Paragraphe%1 "_s.arg(i), at);
            QVERIFY2(found >= 0, qPrintable(u"Paragraphe%1"_s.arg(i)));
            at = found;
        }

        checkArchiveFile(path, u"Demande de rendez-vous"_s, u"Élise Fontaine-Müller"_s);
    }

    void seriesCutsTheSameFilesAsSingleLetters()
    {
        if (!havePoppler())
            QSKIP("poppler-utils (pdftotext, pdfinfo) is not installed");
        // Letters of one, several and one page: each file cut from the series holds its own pages
        // only, the same as the letter written alone, with its own properties.
        const QList<int> sizes{1, 14, 2};
        std::vector<std::unique_ptr<QTextDocument>> letters;
        LetterPdf::Series series;
        for (int i = 0; i < sizes.size(); ++i) {
            letters.push_back(paragraphsLetter(sizes[i]));
            QTextCursor(letters.back().get()).insertText(u"Lettre numéro %1 pour Dürr\n"_s.arg(i + 1));
            QVERIFY(series.add(*letters.back()));
        }
        QCOMPARE(series.count(), 3);
        for (int i = 0; i < sizes.size(); ++i) {
            const LetterPdf::Properties own{u"Objet %1"_s.arg(i + 1), u"Expéditeur %1"_s.arg(i + 1), QDateTime()};
            const QByteArray cut = series.file(i, own);
            QVERIFY(LetterPdf::isComplete(cut));
            const QString cutPath = folder.filePath(u"serie%1.pdf"_s.arg(i));
            const QString alonePath = folder.filePath(u"seule%1.pdf"_s.arg(i));
            QuilloTest::writeBytes(cutPath, cut);
            QVERIFY(LetterPdf::write(alonePath, *letters[size_t(i)], own));
            QCOMPARE(pdfPageCount(cutPath), pdfPageCount(alonePath));
            QCOMPARE(pdfText(cutPath), pdfText(alonePath));
            QVERIFY(pdfText(cutPath).contains(u"Lettre numéro %1 pour Dürr"_s.arg(i + 1)));
            QVERIFY(!pdfText(cutPath).contains(u"Lettre numéro %1"_s.arg((i + 1) % 3 + 1)));
            checkArchiveFile(cutPath, own.title, own.author);
        }
        // The drawing is over once a file was cut.
        QVERIFY(!series.add(*letters.front()));
    }

    void namesWithMarkupStayText()
    {
        if (!havePoppler())
            QSKIP("poppler-utils (pdftotext, pdfinfo) is not installed");
        const QString path = folder.filePath(u"balises.pdf"_s);
        const LetterPdf::Properties odd{u"Devis (2) <urgent> & \\ suite"_s, u"A&B \"Conseil\"\tSARL"_s, {}};
        QVERIFY(LetterPdf::write(path, *paragraphsLetter(1), odd));
        QCOMPARE(infoField(run(u"pdfinfo"_s, {path}), u"Title"_s), u"Devis (2) <urgent> & \\ suite"_s);
        QVERIFY(run(u"pdfinfo"_s, {u"-meta"_s, path}).contains(u"A&amp;B &quot;Conseil&quot; SARL"_s));
    }

    void replacedWhole()
    {
        const QString path = folder.filePath(u"remplacee.pdf"_s);
        QuilloTest::writeBytes(path, "ancien contenu");
        QVERIFY(LetterPdf::write(path, *paragraphsLetter(1), properties()));
        QVERIFY(LetterPdf::isCompleteFile(path));
    }

    void completeness_data()
    {
        QTest::addColumn<int>("cut");
        QTest::addColumn<QByteArray>("replace");
        QTest::addColumn<QByteArray>("with");
        QTest::addColumn<bool>("complete");
        QTest::newRow("entier") << 0 << QByteArray() << QByteArray() << true;
        QTest::newRow("coupé avant la fin") << 7 << QByteArray() << QByteArray() << false;
        QTest::newRow("coupé de moitié") << -2 << QByteArray() << QByteArray() << false;
        QTest::newRow("pas un PDF") << 0 << QByteArray("%PDF-") << QByteArray("%RTF-") << false;
        QTest::newRow("renvoi faux") << 0 << QByteArray("startxref\n") << QByteArray("startxref\n9") << false;
        QTest::newRow("objet manquant") << 0 << QByteArray("2 0 obj") << QByteArray("2 0 jbo") << false;
        QTest::newRow("données après la fin") << 0 << QByteArray("%%EOF\n") << QByteArray("%%EOF\nsuite") << false;
    }
    void completeness()
    {
        QFETCH(int, cut);
        QFETCH(QByteArray, replace);
        QFETCH(QByteArray, with);
        QFETCH(bool, complete);
        QByteArray pdf = LetterPdf::render(*paragraphsLetter(3), properties());
        QVERIFY(!pdf.isEmpty());
        if (cut > 0)
            pdf.chop(cut);
        if (cut < 0)
            pdf.truncate(pdf.size() / -cut);
        if (!replace.isEmpty()) {
            // The last occurrence: the one that the end of the file depends on.
            const qsizetype at = pdf.lastIndexOf(replace);
            QVERIFY(at >= 0);
            pdf.replace(at, replace.size(), with);
        }
        QCOMPARE(LetterPdf::isComplete(pdf), complete);
    }
};

QUILLO_TEST_MAIN(TestLetterPdf)
#include "tst_letterpdf.moc"
