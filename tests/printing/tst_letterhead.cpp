// A letter from a letterhead template: page 1 carries the letterhead, the next pages another
// header, and every page its footer with its own number, wherever the letter goes: the preview,
// a PDF printer, a PDF file, and the RTF export as the office suite reads it.
#include "PrintingFixtures.h"
#include "ScriptedDialogs.h"
#include "TestSupport.h"
#include "composition/LetterAssembly.h"
#include "printing/CurrentPrinter.h"
#include "printing/FrmPage.h"
#include "printing/ImprimeRtf.h"
#include "printing/Imprimer.h"
#include "printing/LetterPdf.h"
#include "printing/PageSurface.h"
#include "printing/RangeFormatter.h"
#include "richtext/HeadersFooters.h"
#include "richtext/RichText.h"

#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using namespace PrintingFixtures;

namespace {

// As a word processor writes it: a first page of its own, the letterhead with the sender's name
// (a placeholder), a smaller header for the pages after it, page numbers in both footers (one
// with its results written, one without). The signature starts page 2.
const QByteArray kTemplate = R"({\rtf1\ansi\ansicpg1252\deff0\deflang1036
{\fonttbl{\f0\fswiss\fcharset0 Arial;}}
{\colortbl;\red0\green0\blue0;\red31\green73\blue125;}
\paperw11906\paperh16838\margl1418\margr1134\margt1134\margb1134
\sectd\titlepg\headery567\footery567
{\headerf\pard\plain\qc\f0\fs28\b\cf2 #exp1\par\pard\plain\qc\f0\fs18 12 rue des Lilas, 69003 Lyon\par}
{\header\pard\plain\qr\f0\fs16\i Suite de la lettre \'e0 #dst2\par}
{\footerf\pard\plain\qc\f0\fs16 Page {\field{\*\fldinst PAGE}{\fldrslt 1}} sur {\field{\*\fldinst NUMPAGES}{\fldrslt 1}}\par}
{\footer\pard\plain\qc\f0\fs16 Page {\field{\*\fldinst{ PAGE }}} sur {\field{\*\fldinst NUMPAGES \\* MERGEFORMAT}}\par}
\pard\plain\f0\fs22 #dst2\par
\pard\plain\qj\f0\fs22 #ref4\par
\pard\plain\pagebb\li4819\f0\fs22 #ref6\par
}
)";

std::unique_ptr<QTextDocument> twoPageLetter()
{
    LetterFields fields;
    fields[0] = u"Cabinet Durand"_s; // #exp1
    fields[5] = u"Claire Martin"_s;  // #dst2
    fields[10] = sentence(1);        // #ref4
    fields[12] = u"Paul Durand"_s;   // #ref6
    auto letter = emptyLetter();
    Build_Lettre(letter.get(), fields, kTemplate);
    return letter;
}

} // namespace

class TestLetterhead : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;

private slots:
    void init() { ScriptedDialogs::install(); }
    void cleanup()
    {
        ScriptedDialogs::uninstall();
        QCOMPARE(QuilloTest::closeAllWindows(), QStringList());
    }

    void letterheadOnPage1_otherHeaderAfter_numberedFooters_data()
    {
        QTest::addColumn<QString>("where");
        QTest::newRow("aperçu") << u"aperçu"_s;
        QTest::newRow("imprimante PDF") << u"imprimante"_s;
        QTest::newRow("fichier PDF") << u"fichier"_s;
        QTest::newRow("RTF lu par LibreOffice") << u"office"_s;
    }
    void letterheadOnPage1_otherHeaderAfter_numberedFooters()
    {
        QFETCH(QString, where);
        if (!havePoppler())
            QSKIP("poppler-utils (pdftotext, pdfinfo) is not installed");
        const auto letter = twoPageLetter();
        const QString pdf = folder.filePath(where + u".pdf"_s);
        if (where == u"aperçu"_s) {
            // Each sheet of the preview painted on a page of a PDF file, as the window shows it.
            PPreview().Initialise();
            Paginate_RTF(*letter, LetterMargin, LetterMargin, LetterMargin, LetterMargin);
            const FrmPage *window = FrmPage::existing();
            QPdfWriter writer(pdf);
            writer.setPageSize(QPageSize(QPageSize::A4));
            writer.setPageMargins(QMarginsF());
            QPainter painter(&writer);
            for (int number = 1; number <= window->pageCount(); ++number) {
                if (number > 1)
                    writer.newPage();
                window->page(number)->paintSheet(painter, writer.resolution() / 1440.0);
            }
        } else if (where == u"imprimante"_s) {
            toPdf(Printing::currentPrinter(), pdf);
            Print_RTF(*letter, LetterMargin, LetterMargin, LetterMargin, LetterMargin);
        } else if (where == u"fichier"_s) {
            QVERIFY(LetterPdf::write(pdf, *letter, {}));
        } else {
            if (QuilloTest::soffice().isEmpty())
                QSKIP("LibreOffice (soffice) is not installed");
            QuilloTest::writeBytes(pdf,
                                   QuilloTest::convertWithOffice(RichText::writeRtf(letter.get()), u"pdf"_s, u"pdf"_s));
        }

        QCOMPARE(pdfPageCount(pdf), 2);
        const QString first = pdfText(pdf, 1).simplified();
        const QString second = pdfText(pdf, 2).simplified();
        QVERIFY2(first.contains(u"Cabinet Durand"_s) && first.contains(u"Page 1 sur 2"_s) &&
                     !first.contains(u"Suite de la lettre"_s),
                 qPrintable(first));
        QVERIFY2(second.contains(u"Suite de la lettre à Claire Martin"_s) && second.contains(u"Page 2 sur 2"_s) &&
                     !second.contains(u"Cabinet Durand"_s),
                 qPrintable(second));
    }

    void tallHeader_pushesTheTextDownNeverOverIt()
    {
        auto letter = linesLetter(120);
        QTextCursor(HeadersFooters::attach(letter.get())->addPart(HeadersFooters::Kind::Header))
            .insertText(u"En-tête\n"_s.repeated(8));
        const PageGeometry geometry = pageGeometry(11906, 16838, 0, 0, 11906, 16838, Margins());
        const auto bare = RangeFormatter(*linesLetter(120), geometry.area.width()).pages(geometry);
        const auto pages = RangeFormatter(*letter, geometry.area.width()).pages(geometry);
        // Eight lines from 720 twips down reach beyond the 1400-twip margin: the text starts under
        // them, on every page, so each page holds fewer lines; the bottom stays where it was.
        QVERIFY(pages.first().area.top > geometry.area.top && pages.last().area.top == pages.first().area.top);
        QCOMPARE(pages.first().area.bottom, geometry.area.bottom);
        QVERIFY(pages.size() >= 2 && pages[1].from < bare[1].from);
    }
};

QUILLO_TEST_MAIN(TestLetterhead)
#include "tst_letterhead.moc"
