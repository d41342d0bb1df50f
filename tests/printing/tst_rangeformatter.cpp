// Cutting letters into pages and printing them: the page arithmetic, the range formatter and
// Print_RTF, read back from the PDF files it prints.
#include "PrintingFixtures.h"
#include "TestSupport.h"
#include "core/QuilloError.h"
#include "printing/CurrentPrinter.h"
#include "printing/PageGeometry.h"
#include "printing/PrintRtf.h"
#include "printing/RangeFormatter.h"

#include <QFile>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextTable>

#include <limits>

using namespace Qt::StringLiterals;
using namespace PrintingFixtures;

class TestRangeFormatter : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir folder;
    QString pdf;

    // The area of the current printer, printing on A4 with the letter margins.
    TwipRect letterArea()
    {
        QPrinter &printer = Printing::currentPrinter();
        printer.setPageSize(QPageSize(QPageSize::A4));
        return printerGeometry(printer, Margins()).area;
    }
    QList<int> pagesOf(const QTextDocument &document)
    {
        PageGeometry geometry;
        geometry.area = letterArea();
        QList<int> starts;
        for (const RangeFormatter::Page &page : RangeFormatter(document, geometry.area.width()).pages(geometry))
            starts.append(page.from);
        return starts;
    }
    int printedPages(const QTextDocument &document)
    {
        QFile::remove(pdf);
        Print_RTF(document, LetterMargin, LetterMargin, LetterMargin, LetterMargin);
        return pdfPageCount(pdf);
    }

    // The leftmost column of ink of a letter drawn at one pixel per 15 twips (96 per inch).
    static int leftmostInk(const QTextDocument &letter)
    {
        QImage page(800, 400, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter painter(&page);
        painter.scale(1.0 / 15, 1.0 / 15);
        RangeFormatter(letter, 11000).formatRange(&painter, 0, TwipRect{0, 0, 11000, 6000});
        painter.end();
        for (int x = 0; x < page.width(); ++x) {
            for (int y = 0; y < page.height(); ++y) {
                if (qGray(page.pixel(x, y)) < 128)
                    return x;
            }
        }
        return -1;
    }

private slots:
    void paragraphIndentsPrintAtTheirSize()
    {
        // An address block indented by 9 cm (340 pixels at 96 per inch) prints 9 cm in, as the
        // editor shows it; so does a first-line indent.
        QTextDocument letter;
        QTextCursor cursor(&letter);
        QTextBlockFormat indented;
        indented.setLeftMargin(340);
        cursor.setBlockFormat(indented);
        cursor.insertText(u"Monsieur le Maire"_s);
        const int ink = leftmostInk(letter);
        QVERIFY2(ink >= 338 && ink <= 345, qPrintable(QString::number(ink)));

        QTextDocument firstLine;
        QTextCursor c2(&firstLine);
        QTextBlockFormat hanging;
        hanging.setTextIndent(100);
        c2.setBlockFormat(hanging);
        c2.insertText(u"Madame,"_s);
        const int firstInk = leftmostInk(firstLine);
        QVERIFY2(firstInk >= 98 && firstInk <= 105, qPrintable(QString::number(firstInk)));
    }

    void init()
    {
        pdf = folder.filePath(u"lettre.pdf"_s);
        QFile::remove(pdf);
        toPdf(Printing::currentPrinter(), pdf);
    }

    void geometry_data()
    {
        QTest::addColumn<QList<int>>("printer"); // sheet w, h, offset x, y, printable w, h
        QTest::addColumn<TwipRect>("area");
        QTest::newRow("sans décalage") << QList<int>{11906, 16838, 0, 0, 11906, 16838}
                                       << TwipRect{1400, 1400, 10506, 15438};
        QTest::newRow("décalages de l'imprimante")
            << QList<int>{11906, 16838, 340, 240, 11226, 16358} << TwipRect{1060, 1160, 10166, 15198};
    }
    void geometry()
    {
        QFETCH(QList<int>, printer);
        QFETCH(TwipRect, area);
        const PageGeometry g = pageGeometry(printer[0], printer[1], printer[2], printer[3], printer[4], printer[5],
                                            Margins::all(LetterMargin));
        QCOMPARE(g.area, area);
        QCOMPARE(g.areaOnSheet(), (TwipRect{1400, 1400, printer[0] - 1400, printer[1] - 1400}));
        QCOMPARE(g.page(), (TwipRect{0, 0, printer[4], printer[5]}));
    }

    void geometry_refusesOverflowAndMarginsWithoutRoom()
    {
        const int lowest = std::numeric_limits<int>::min();
        try {
            pageGeometry(11906, 16838, 1, 0, 11906, 16838, Margins{lowest, 0, 0, 0});
            QFAIL("no overflow reported");
        } catch (const QuilloError &error) {
            QCOMPARE(error.number, int(QuilloError::Overflow));
        }
        try {
            pageGeometry(11906, 16838, 0, 0, 11906, 16838, Margins{6000, 1400, 6000, 1400});
            QFAIL("margins crossing accepted");
        } catch (const QuilloError &error) {
            QVERIFY(error.description.contains(u"marges"_s));
        }
    }

    void shortAndEmptyLetters_onePage()
    {
        const auto letter = paragraphsLetter(3);
        const auto empty = emptyLetter();
        QCOMPARE(pagesOf(*letter).size(), 1);
        QCOMPARE(pagesOf(*empty).size(), 1);
        if (!havePoppler())
            QSKIP("pdfinfo and pdftotext (poppler-utils) are not installed");
        QCOMPARE(printedPages(*letter), 1);
        QCOMPARE(printedPages(*empty), 1);
    }

    void letterJustOverflowing_twoPages()
    {
        // The longest letter of short lines that still fits one page, then one line more.
        int fitting = 20;
        while (pagesOf(*linesLetter(fitting + 1)).size() == 1)
            ++fitting;
        QVERIFY2(fitting > 30 && fitting < 80, qPrintable(QString::number(fitting)));
        const auto overflowing = linesLetter(fitting + 1);
        const QList<int> starts = pagesOf(*overflowing);
        QCOMPARE(starts.size(), 2);
        QCOMPARE(firstWordFrom(*overflowing, starts[1]), u"Ligne%1"_s.arg(fitting + 1, 4, 10, QChar(u'0')));
        if (!havePoppler())
            QSKIP("pdfinfo and pdftotext (poppler-utils) are not installed");
        QCOMPARE(printedPages(*linesLetter(fitting)), 1);
        QCOMPARE(printedPages(*overflowing), 2);
        QCOMPARE(firstWord(pdfText(pdf, 2)), u"Ligne%1"_s.arg(fitting + 1, 4, 10, QChar(u'0')));
    }

    void longLetter_everyWordPrintedOnceInOrder_data()
    {
        QTest::addColumn<bool>("longParagraphs");
        QTest::addColumn<int>("count");
        QTest::newRow("une ligne par paragraphe") << false << 400;
        QTest::newRow("paragraphes coupés entre deux pages") << true << 100;
        // Long enough to be laid out in several parts, with pages across their joins.
        QTest::newRow("lettre en plusieurs morceaux") << false << 6000;
    }
    void longLetter_everyWordPrintedOnceInOrder()
    {
        QFETCH(bool, longParagraphs);
        QFETCH(int, count);
        if (!havePoppler())
            QSKIP("pdfinfo and pdftotext (poppler-utils) are not installed");
        const auto letter = longParagraphs ? paragraphsLetter(count) : linesLetter(count);
        const int expectedPages = int(pagesOf(*letter).size());
        QVERIFY(expectedPages >= 8);
        QCOMPARE(printedPages(*letter), expectedPages);
        // No line lost, or drawn twice where the pages meet (even hidden by the page's clip: a
        // PDF keeps the text).
        const QRegularExpression blanks(u"\\s+"_s);
        const QStringList printed = pdfText(pdf).split(blanks, Qt::SkipEmptyParts);
        const QStringList written = letter->toPlainText().split(blanks, Qt::SkipEmptyParts);
        QCOMPARE(printed.size(), written.size());
        QCOMPARE(printed, written);
    }

    void paragraphMarkedForNewPage_startsOne()
    {
        const auto letter = paragraphsLetter(3);
        QTextCursor cursor(letter->findBlockByNumber(1));
        QTextBlockFormat format = cursor.blockFormat();
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        cursor.setBlockFormat(format);
        const QList<int> starts = pagesOf(*letter);
        QCOMPARE(starts.size(), 2);
        QCOMPARE(firstWordFrom(*letter, starts[1]), u"Paragraphe2"_s);
    }

    void letterBeyondTheLayoutsReach_laidOutInParts()
    {
        // Each paragraph followed by 300,000 twips of spacing: 12 million in all, past the point
        // where one layout of the whole letter never ends. Each paragraph opens a page.
        const auto letter = linesLetter(40);
        QTextBlockFormat spaced;
        spaced.setBottomMargin(20000);
        QTextCursor all(letter.get());
        all.select(QTextCursor::Document);
        all.mergeBlockFormat(spaced);
        QList<int> paragraphs;
        for (QTextBlock block = letter->begin(); block.isValid(); block = block.next())
            paragraphs.append(block.position());
        QCOMPARE(pagesOf(*letter), paragraphs);
        if (!havePoppler())
            QSKIP("pdfinfo and pdftotext (poppler-utils) are not installed");
        QCOMPARE(printedPages(*letter), 40);
        QCOMPARE(firstWord(pdfText(pdf, 40)), u"Ligne0040"_s);
    }

    void objectTallerThanPage_lastPageThere()
    {
        // A picture three sheets high: nothing fits on its page, which ends the letter instead of
        // looping for ever.
        const auto letter = paragraphsLetter(2);
        appendPicture(letter.get(), 300, 3000);
        const QList<int> starts = pagesOf(*letter);
        QCOMPARE(starts.size(), 2);
        if (!havePoppler())
            QSKIP("pdfinfo and pdftotext (poppler-utils) are not installed");
        QCOMPARE(printedPages(*letter), 2);
    }

    void tableRows_neverCut()
    {
        const auto letter = paragraphsLetter(2);
        appendTable(letter.get(), 90);
        const QList<int> starts = pagesOf(*letter);
        QVERIFY(starts.size() >= 3);
        for (int i = 1; i < starts.size(); ++i) {
            QTextCursor cursor(letter.get());
            cursor.setPosition(starts[i]);
            QTextTable *table = cursor.currentTable();
            if (!table)
                continue; // the page after the table
            const QTextTableCell cell = table->cellAt(starts[i]);
            QCOMPARE(cell.column(), 0);
            QCOMPARE(cell.firstPosition(), starts[i]);
        }
    }

    void printedText_standsAtTheMarginsWhateverThePrinter_data()
    {
        QTest::addColumn<double>("printerMargin"); // millimetres the printer cannot print
        QTest::addColumn<bool>("letterPaper");
        QTest::newRow("sans marge") << 0.0 << false;
        QTest::newRow("marge de 15 mm, papier lettre") << 15.0 << true;
    }
    void printedText_standsAtTheMarginsWhateverThePrinter()
    {
        QFETCH(double, printerMargin);
        QFETCH(bool, letterPaper);
        if (!havePoppler())
            QSKIP("pdfinfo and pdftotext (poppler-utils) are not installed");
        QPrinter &printer = Printing::currentPrinter();
        if (letterPaper)
            printer.setPageSize(QPageSize(QPageSize::Letter));
        printer.setPageMargins(QMarginsF(printerMargin, printerMargin, printerMargin, printerMargin),
                               QPageLayout::Millimeter);
        const auto letter = linesLetter(3);
        QCOMPARE(printedPages(*letter), 1);
        // A4 whatever the paper chosen before; the first word 1400 twips (70 points) from the left.
        QVERIFY2(run(u"pdfinfo"_s, {pdf}).contains(u"(A4)"_s), qPrintable(run(u"pdfinfo"_s, {pdf})));
        const QString boxes = run(u"pdftotext"_s, {u"-bbox"_s, pdf, u"-"_s});
        const QRegularExpressionMatch word =
            QRegularExpression(u"<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\"[^>]*>Ligne0001<"_s).match(boxes);
        QVERIFY2(word.hasMatch(), qPrintable(boxes.left(600)));
        QVERIFY2(qAbs(word.captured(1).toDouble() - 70.0) < 1.5, qPrintable(word.captured(1)));
        QVERIFY2(word.captured(2).toDouble() > 69.0 && word.captured(2).toDouble() < 75.0,
                 qPrintable(word.captured(2)));
    }

    void printerRefusingTheJob_frenchErrorNothingWritten()
    {
        const QString unwritable = folder.filePath(u"absent/dossier/lettre.pdf"_s);
        Printing::currentPrinter().setOutputFileName(unwritable);
        try {
            Print_RTF(*paragraphsLetter(2), LetterMargin, LetterMargin, LetterMargin, LetterMargin);
            QFAIL("the failure was not reported");
        } catch (const QuilloError &error) {
            QCOMPARE(error.number, PrinterErrorNumber);
            QVERIFY2(error.description.contains(u"n'a pas accepté"_s), qPrintable(error.description));
        }
        QVERIFY(!QFile::exists(unwritable));
        QVERIFY(!Printing::isBusy());

        // No printer installed: the print system gives a PDF printer without a file. Made so here
        // whatever the machine has: an empty file name would turn the printer back into the
        // default queue on a machine with a printer, and the letter would really be printed.
        QPrinter none(QPrinter::HighResolution);
        none.setOutputFormat(QPrinter::PdfFormat);
        QCOMPARE(none.outputFormat(), QPrinter::PdfFormat);
        QVERIFY(none.outputFileName().isEmpty());
        try {
            Print_RTF(none, *paragraphsLetter(1), LetterMargin, LetterMargin, LetterMargin, LetterMargin);
            QFAIL("printing without a printer was not reported");
        } catch (const QuilloError &error) {
            QVERIFY2(error.description.startsWith(u"Aucune imprimante"_s), qPrintable(error.description));
        }
    }

    void printWhileAnotherRuns_refused()
    {
        const Printing::BusyScope running;
        QVERIFY(running.started());
        QVERIFY_THROWS_EXCEPTION(QuilloError, Print_RTF(*paragraphsLetter(1), 1400, 1400, 1400, 1400));
        QVERIFY(!QFile::exists(pdf));
    }
};

QUILLO_TEST_MAIN(TestRangeFormatter)
#include "tst_rangeformatter.moc"
