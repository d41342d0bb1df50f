// The preview window: its parts, page navigation, scrolling, rulers, its print button, and the
// promise that the preview shows the pages that print.
#include "PrintingFixtures.h"
#include "ScriptedDialogs.h"
#include "TestSupport.h"
#include "printing/CurrentPrinter.h"
#include "printing/FrmPage.h"
#include "printing/ImprimeRtf.h"
#include "printing/Imprimer.h"
#include "printing/PageSurface.h"
#include "printing/Ruler.h"
#include "richtext/RichText.h"
#include "richtext/Twips.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTimer>

#include <functional>

using namespace Qt::StringLiterals;
using namespace PrintingFixtures;

namespace {

const QString kConfirmation =
    u"L'imprimante doit être active avant l'impression.\nÊtes-vous sûr de vouloir imprimer ?"_s;

// Three paragraphs, each on a page of its own.
std::unique_ptr<QTextDocument> threePageLetter()
{
    auto letter = paragraphsLetter(3);
    for (int block = 1; block <= 2; ++block) {
        QTextCursor cursor(letter->findBlockByNumber(block));
        QTextBlockFormat format = cursor.blockFormat();
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        cursor.setBlockFormat(format);
    }
    return letter;
}

void sendMouse(QWidget *target, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent event(type, QPointF(at), QPointF(target->mapToGlobal(at)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

// Presses on the ruler at from and moves to to (pixels of the ruler) with those buttons held.
void drag(QWidget *ruler, QPoint from, QPoint to, Qt::MouseButton button)
{
    sendMouse(ruler, QEvent::MouseButtonPress, from, button, button);
    sendMouse(ruler, QEvent::MouseMove, to, Qt::NoButton, button);
    sendMouse(ruler, QEvent::MouseButtonRelease, to, button, Qt::NoButton);
}

int twipsOf(int pixels)
{
    return qRound(pixels / Twips::pixelsPerTwip());
}

// The window's parts by the names they keep whatever their members are called.
QPushButton *button(FrmPage *window, int index)
{
    return window->findChild<QPushButton *>(u"Bouton_%1"_s.arg(index));
}

template <typename Part> Part *part(FrmPage *window, const QString &name)
{
    return window->findChild<Part *>(name);
}

} // namespace

class TestFrmPage : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir folder;
    QString pdf;
    std::shared_ptr<ScriptedDialogs> dialogs;

    // Previews the letter; look runs while the window is shown, then the window is closed.
    void preview(const QTextDocument &letter, bool fromEditor, const std::function<void(FrmPage *)> &look,
                 double margin = LetterMargin)
    {
        // The pagination lets timers run: wait for the window to be shown.
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            FrmPage *window = FrmPage::existing();
            if (!window || !window->isVisible())
                return;
            poll.stop();
            look(window);
            if (FrmPage::existing())
                button(window, 6)->click(); // "Fermer"
        });
        poll.start(5);
        Preview_RTF(PPreview(), letter, margin, fromEditor);
    }
    static QString counter(FrmPage *window)
    {
        return u"%1 devant %2"_s.arg(part<QLabel>(window, u"LabelA"_s)->text()).arg(window->frontPage());
    }

private slots:
    void init()
    {
        dialogs = ScriptedDialogs::install();
        pdf = folder.filePath(u"lettre.pdf"_s);
        QFile::remove(pdf);
        toPdf(Printing::currentPrinter(), pdf);
    }
    void cleanup()
    {
        QCOMPARE(dialogs->unexpected, 0);
        ScriptedDialogs::uninstall();
        QCOMPARE(QuilloTest::closeAllWindows(), QStringList());
    }

    void navigation_onAThreePageLetter()
    {
        const auto letter = threePageLetter();
        QStringList seen;
        preview(*letter, false, [&](FrmPage *window) {
            auto click = [&](int index) {
                button(window, index)->click();
                seen << counter(window);
            };
            seen << counter(window) << QString::number(window->PageCourante);
            click(3); // "<" at the start: nothing
            seen << QString::number(window->PageCourante);
            click(4);                                             // ">" shows page 2
            click(5);                                             // ">>"
            click(4);                                             // ">" on the last page: nothing
            click(2);                                             // "<<"
            part<QTabBar>(window, u"Tab1"_s)->setCurrentIndex(2); // the user picks tab 3
            seen << counter(window);
            click(3);
        });
        QCOMPARE(seen, (QStringList{u"Page 01/03 devant 1"_s, u"0"_s, u"Page 01/03 devant 1"_s, u"0"_s,
                                    u"Page 02/03 devant 2"_s, u"Page 03/03 devant 3"_s, u"Page 03/03 devant 3"_s,
                                    u"Page 01/03 devant 1"_s, u"Page 03/03 devant 3"_s, u"Page 02/03 devant 2"_s}));
    }

    void scrolling_movesThePagesAndTheRulersUnlessTicked()
    {
        const auto letter = threePageLetter();
        QList<QRect> before, scrolled, ticked;
        preview(*letter, false, [&](FrmPage *window) {
            const auto positions = [&] {
                return QList<QRect>{window->twips(window->page(1)), window->twips(part<Ruler>(window, u"Regle_0"_s)),
                                    window->twips(part<Ruler>(window, u"Regle_1"_s))};
            };
            auto *scroll = part<QScrollBar>(window, u"VScroll1"_s);
            before = positions();
            scroll->setValue(100);
            scrolled = positions();
            // With the tick, the horizontal ruler and the vertical one's side stay where they are.
            part<QCheckBox>(window, u"Check1"_s)->setChecked(true);
            scroll->setValue(50);
            ticked = positions();
        });
        QVERIFY(scrolled[0].top() < before[0].top());
        QCOMPARE(scrolled[1].top() - before[1].top(), scrolled[0].top() - before[0].top());
        QCOMPARE(ticked[1], scrolled[1]);
        QCOMPARE(ticked[2].left(), scrolled[2].left());
        QVERIFY(ticked[2].top() > scrolled[2].top()); // follows the page up and down
    }

    void rulers_dragOnlyWithTheTickAndTheLeftButton()
    {
        const auto letter = paragraphsLetter(1);
        PPreview().Initialise();
        Paginate_RTF(*letter, LetterMargin, LetterMargin, LetterMargin, LetterMargin);
        FrmPage *window = FrmPage::existing();
        auto *horizontal = part<Ruler>(window, u"Regle_0"_s);
        auto *vertical = part<Ruler>(window, u"Regle_1"_s);
        auto *tick = part<QCheckBox>(window, u"Check1"_s);
        const QRect horizontalAt = window->twips(horizontal);
        const QRect verticalAt = window->twips(vertical);

        drag(horizontal, QPoint(60, 5), QPoint(80, 25), Qt::LeftButton); // no tick: nothing moves
        QCOMPARE(window->twips(horizontal), horizontalAt);

        tick->setChecked(true);
        drag(horizontal, QPoint(60, 5), QPoint(80, 25), Qt::RightButton);
        QCOMPARE(window->twips(horizontal), horizontalAt);
        drag(horizontal, QPoint(60, 5), QPoint(80, 25), Qt::LeftButton); // up or down only
        QCOMPARE(window->twips(horizontal), horizontalAt.translated(0, twipsOf(20)));
        drag(vertical, QPoint(5, 60), QPoint(25, 90), Qt::LeftButton); // left or right only
        QCOMPARE(window->twips(vertical), verticalAt.translated(twipsOf(20), 0));

        // A double click on the page puts them back at fixed places.
        QTest::mouseDClick(window->page(1), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
        QCOMPARE(window->twips(horizontal).top(), 380);
        QCOMPARE(window->twips(vertical).left(), window->twips(window->page(1)).left() - 340);

        // The keyboard does the same: arrows along the ruler's direction, Home to put them back.
        QTest::keyClick(horizontal, Qt::Key_Down);
        QTest::keyClick(horizontal, Qt::Key_Right);
        QCOMPARE(window->twips(horizontal).topLeft(), QPoint(horizontalAt.left(), 380 + 57));
        QTest::keyClick(vertical, Qt::Key_Left);
        QCOMPARE(window->twips(vertical).left(), window->twips(window->page(1)).left() - 340 - 57);
        QTest::keyClick(vertical, Qt::Key_Home);
        QCOMPARE(window->twips(horizontal).top(), 380);
        tick->setChecked(false);
        QTest::keyClick(horizontal, Qt::Key_Up);
        QCOMPARE(window->twips(horizontal).top(), 380);
    }

    void printButton_asksThenPrintsThePreviewedLetter()
    {
        const auto letter = paragraphsLetter(40);
        // A preview alone prints nothing.
        preview(*letter, true, [](FrmPage *) {});
        QVERIFY(!QFile::exists(pdf));

        int pages = 0;
        preview(*letter, true, [&](FrmPage *window) {
            pages = window->pageCount();
            dialogs->answerButton(QMessageBox::No);
            button(window, 1)->click(); // "Imprimer"
            dialogs->answerButton(QMessageBox::Yes);
            button(window, 1)->click();
        });
        QCOMPARE(dialogs->requests.size(), 2);
        const Dialogs::Request &asked = dialogs->requests.first();
        QCOMPARE(asked.text, kConfirmation);
        QCOMPARE(asked.icon, Dialogs::Icon::Question);
        QCOMPARE(asked.buttons, QMessageBox::Yes | QMessageBox::No);
        QVERIFY(QFile::exists(pdf));
        if (!havePoppler())
            QSKIP("pdfinfo and pdftotext (poppler-utils) are not installed");
        QVERIFY(pages >= 2);
        QCOMPARE(pdfPageCount(pdf), pages);
    }

    void printFailure_saidAndTheWindowStays()
    {
        Printing::currentPrinter().setOutputFileName(folder.filePath(u"absent/lettre.pdf"_s));
        const auto letter = paragraphsLetter(2);
        bool stillOpen = false;
        preview(*letter, false, [&](FrmPage *window) {
            dialogs->answerButton(QMessageBox::Yes);
            dialogs->answerButton(QMessageBox::Ok);
            button(window, 1)->click();
            stillOpen = FrmPage::existing() == window && window->isVisible();
        });
        QVERIFY(stillOpen);
        QCOMPARE(dialogs->requests.size(), 2);
        QCOMPARE(dialogs->requests[1].title, u"Erreur n°%1"_s.arg(PrinterErrorNumber));
        QCOMPARE(dialogs->requests[1].icon, Dialogs::Icon::Warning);
        QVERIFY(dialogs->requests[1].text.contains(u"lettre.pdf"_s));
    }

    void paginationError_shownAndThePreviewStillOpens()
    {
        const auto letter = paragraphsLetter(2);
        dialogs->answerButton(QMessageBox::Ok);
        int pages = 0;
        preview(
            *letter, false, [&](FrmPage *window) { pages = window->pageCount(); }, 1.0e12);
        QCOMPARE(pages, 1);
        QCOMPARE(dialogs->requests.size(), 1);
        QCOMPARE(dialogs->requests[0].title, u"Erreur n°6"_s);
        QCOMPARE(dialogs->requests[0].text, u"Dépassement de capacité"_s);
    }

    void previewAndPaper_sameBreaks_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("courte") << u"courte"_s;
        QTest::newRow("deux pages") << u"deux"_s;
        QTest::newRow("dix pages") << u"dix"_s;
        QTest::newRow("tableau") << u"tableau"_s;
        QTest::newRow("image") << u"image"_s;
        QTest::newRow("objet plus haut que la page") << u"trop haut"_s;
        // Letters read from RTF files written by other programs.
        for (const QString &file : {u"textedit-10.15-table.rtf"_s, u"libreoffice-6.0-sample-images.rtf"_s,
                                    u"libreoffice-6.0-nested-tables.rtf"_s, u"libreoffice-6.0-sample-100kb.rtf"_s})
            QTest::newRow(qPrintable(file)) << file;
    }
    void previewAndPaper_sameBreaks()
    {
        QFETCH(QString, kind);
        if (!havePoppler())
            QSKIP("pdfinfo and pdftotext (poppler-utils) are not installed");
        std::unique_ptr<QTextDocument> letter;
        if (kind == u"courte"_s)
            letter = paragraphsLetter(3);
        else if (kind == u"deux"_s)
            letter = paragraphsLetter(14);
        else if (kind == u"dix"_s)
            letter = paragraphsLetter(112);
        else if (kind == u"tableau"_s)
            appendTable((letter = paragraphsLetter(10)).get(), 60);
        else if (kind == u"image"_s)
            appendPicture((letter = paragraphsLetter(9)).get(), 400, 300);
        else if (kind == u"trop haut"_s)
            appendPicture((letter = paragraphsLetter(4)).get(), 200, 2000);
        else {
            const QString path = QDir(QStringLiteral(QUILLO_SHARED_DIR)).filePath(u"rtf-corpus/"_s + kind);
            if (!QFile::exists(path))
                QSKIP("the shared RTF files are not beside the clone");
            letter = emptyLetter();
            QVERIFY(RichText::loadRtfFile(path, letter.get()));
        }

        PPreview().Initialise();
        Paginate_RTF(*letter, LetterMargin, LetterMargin, LetterMargin, LetterMargin);
        FrmPage *window = FrmPage::existing();
        QStringList previewWords;
        for (int number = 1; number <= window->pageCount(); ++number)
            previewWords << firstWordFrom(*letter, window->page(number)->letterStart());

        Print_RTF(*letter, LetterMargin, LetterMargin, LetterMargin, LetterMargin);
        const QStringList paperWords = pdfFirstVisibleWords(pdf);
        if (kind == u"dix"_s)
            QCOMPARE(previewWords.size(), 10);
        if (kind == u"trop haut"_s) {
            // The last page holds only the top of the picture, on paper as in the preview.
            QCOMPARE(previewWords.size(), 2);
            QCOMPARE(paperWords, (QStringList{u"Paragraphe1"_s, QString()}));
            return;
        }
        QCOMPARE(previewWords, paperWords);
    }

    // The confirmation's text and a blank letter printed alone are the editor's tests; here what
    // the file holds, and a failure said once.
    void printAll_everyLetterFromAPageOfItsOwnOrOneFailure()
    {
        const auto first = paragraphsLetter(1);
        auto blank = emptyLetter();
        QTextCursor(blank.get()).insertText(u"   \n  "_s);
        auto third = emptyLetter();
        QTextCursor(third.get()).insertText(u"Troisième lettre."_s);
        const QList<const QTextDocument *> letters{first.get(), blank.get(), third.get()};

        dialogs->answerButton(QMessageBox::No);
        QCOMPARE(printAllLettersCommand(nullptr, letters), QList<int>());
        QVERIFY(!QFile::exists(pdf));
        dialogs->answerButton(QMessageBox::Yes);
        QCOMPARE(printAllLettersCommand(nullptr, letters), (QList<int>{0, 2}));
        QCOMPARE(dialogs->requests.size(), 2); // one confirmation each time, nothing else
        if (havePoppler()) {
            QCOMPARE(pdfPageCount(pdf), 2);
            QCOMPARE(firstWord(pdfText(pdf, 1)), u"Paragraphe1"_s);
            QCOMPARE(firstWord(pdfText(pdf, 2)), u"Troisième"_s);
        }

        Printing::currentPrinter().setOutputFileName(folder.filePath(u"absent/lettres.pdf"_s));
        dialogs->answerButton(QMessageBox::Ok);
        QCOMPARE(printLetters(nullptr, letters), QList<int>());
        QCOMPARE(dialogs->requests.size(), 3);
        QCOMPARE(dialogs->requests[2].title, u"Erreur n°%1"_s.arg(PrinterErrorNumber));
    }

    // "Configurer" and "Configurer l'impression" choose without printing; the next print goes
    // where the user chose.
    void configure_setsUpTheCurrentPrinterForTheNextPrint()
    {
        const QString chosenFile = folder.filePath(u"choisi.pdf"_s);
        dialogs->choosePrinter = [&](QPrinter *printer) { toPdf(*printer, chosenFile); };
        Dialogs::Answer chosen;
        chosen.accepted = true;
        dialogs->answer(chosen);
        QVERIFY(configurePrinter(nullptr));
        QCOMPARE(dialogs->requests.size(), 1);
        QVERIFY(!QFile::exists(chosenFile) && !QFile::exists(pdf)); // nothing printed
        const Dialogs::Request &request = dialogs->requests[0];
        QCOMPARE(request.kind, Dialogs::Request::Kind::Printer);

        const auto letter = paragraphsLetter(1);
        dialogs->answerButton(QMessageBox::Yes);
        QVERIFY(printLetterCommand(nullptr, *letter));
        QVERIFY(QFile::exists(chosenFile));
        QVERIFY(!QFile::exists(pdf));

        dialogs->answerCancel();
        QVERIFY(!configurePrinter(nullptr));
        preview(*letter, false, [&](FrmPage *window) {
            dialogs->answerCancel();
            button(window, 0)->click(); // "Configurer"
        });
        QCOMPARE(dialogs->requests.size(), 4);
        QCOMPARE(dialogs->requests[3].kind, Dialogs::Request::Kind::Printer);
        QCOMPARE(Printing::currentPrinter().outputFileName(), chosenFile);
        dialogs->choosePrinter = nullptr;
    }
};

QUILLO_TEST_MAIN(TestFrmPage)
#include "tst_frmpage.moc"
