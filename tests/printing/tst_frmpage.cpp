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
                window->buttons[6]->click();
        });
        poll.start(5);
        Preview_RTF(PPreview(), letter, margin, fromEditor);
    }
    static QString counter(FrmPage *window)
    {
        return u"%1 devant %2"_s.arg(window->pageCounter->text()).arg(window->frontPage());
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

    void window_partsNamedCaptionedAndLabelled()
    {
        FrmPage *window = FrmPage::instance();
        QCOMPARE(window->windowTitle(), u"Aperçu avant impression"_s);
        const QStringList captions{u"Configurer"_s, u"Imprimer"_s, u"<<"_s, u"<"_s, u">"_s, u">>"_s, u"Fermer"_s};
        const QStringList tips{u"Configurer l'impression"_s, u"Imprimer le document"_s, u"Première page"_s,
                               u"Page précédente"_s,         u"Page suivante"_s,        u"Dernière page"_s,
                               u"Quitter l'aperçu"_s};
        for (int index = 0; index < 7; ++index) {
            auto *button = window->findChild<QPushButton *>(u"Bouton_%1"_s.arg(index));
            QVERIFY(button);
            QCOMPARE(button->text(), captions[index]);
            QCOMPARE(button->toolTip(), tips[index]);
            QCOMPARE(button->accessibleName(), captions[index]);
        }
        QCOMPARE(window->moveRulers->text(), u" Déplacer les règles"_s);
        QCOMPARE(window->moveRulers->accessibleName(), window->moveRulers->text());
        QVERIFY(!window->moveRulers->isChecked());
        QCOMPARE(window->pageCounter->text(), u"Page 99/99"_s);
        for (const QString &name : {u"Toolbar1"_s, u"Fond"_s, u"Page_1"_s, u"Ombre"_s, u"Regle_0"_s, u"Regle_1"_s,
                                    u"VScroll1"_s, u"Tab1"_s, u"Label1_0"_s, u"Label1_1"_s})
            QVERIFY2(window->findChild<QWidget *>(name), qPrintable(name));
        QCOMPARE(window->DepuisEditeur, false);
        QCOMPARE(window->PageCourante, qint16(0));
    }

    void navigation_onAThreePageLetter()
    {
        const auto letter = threePageLetter();
        QStringList seen;
        preview(*letter, false, [&](FrmPage *window) {
            auto click = [&](int index) {
                window->buttons[index]->click();
                seen << counter(window);
            };
            seen << counter(window) << QString::number(window->PageCourante);
            click(3); // "<" at the start: nothing
            seen << QString::number(window->PageCourante);
            click(4);                         // ">" shows page 2
            click(5);                         // ">>"
            click(4);                         // ">" on the last page: nothing
            click(2);                         // "<<"
            window->Tab1->setCurrentIndex(2); // the user picks tab 3
            seen << counter(window);
            click(3);
        });
        QCOMPARE(seen, (QStringList{u"Page 01/03 devant 1"_s, u"0"_s, u"Page 01/03 devant 1"_s, u"0"_s,
                                    u"Page 02/03 devant 2"_s, u"Page 03/03 devant 3"_s, u"Page 03/03 devant 3"_s,
                                    u"Page 01/03 devant 1"_s, u"Page 03/03 devant 3"_s, u"Page 02/03 devant 2"_s}));
    }

    void scrolling_movesPagesShadowAndRulers()
    {
        const auto letter = threePageLetter();
        QList<int> tops;
        QList<int> rulers;
        preview(*letter, false, [&](FrmPage *window) {
            const int pageLeft = window->twips(window->page(1)).left();
            window->VScroll1->setValue(100);
            for (int number = 1; number <= window->pageCount(); ++number)
                tops << window->twips(window->page(number)).top();
            rulers << window->twips(window->rulers[0]).top() << window->twips(window->rulers[1]).top()
                   << window->twips(window->rulers[1]).left() - pageLeft << window->twips(window->Ombre).top();
            // With the tick, the horizontal ruler and the vertical one's side stay where they are.
            window->moveRulers->setChecked(true);
            window->VScroll1->setValue(50);
            rulers << window->twips(window->rulers[0]).top() << window->twips(window->rulers[1]).top()
                   << window->twips(window->rulers[1]).left() - pageLeft;
        });
        QCOMPARE(tops, (QList<int>{-7514, -7514, -7514}));
        // At 50: 700 - Int(50 × 16840 / 205) = -3407.
        QCOMPARE(rulers, (QList<int>{-7864, -7514, -370, -7414, -7864, -3407, -370}));
    }

    void rulers_dragOnlyWithTheTickAndTheLeftButton()
    {
        const auto letter = paragraphsLetter(1);
        PPreview().Initialise();
        Paginate_RTF(*letter, LetterMargin, LetterMargin, LetterMargin, LetterMargin);
        FrmPage *window = FrmPage::existing();
        Ruler *horizontal = window->rulers[0];
        Ruler *vertical = window->rulers[1];
        const QRect horizontalAt = window->twips(horizontal);
        const QRect verticalAt = window->twips(vertical);

        drag(horizontal, QPoint(60, 5), QPoint(80, 25), Qt::LeftButton); // no tick: nothing moves
        QCOMPARE(window->twips(horizontal), horizontalAt);

        window->moveRulers->setChecked(true);
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
        window->moveRulers->setChecked(false);
        QTest::keyClick(horizontal, Qt::Key_Up);
        QCOMPARE(window->twips(horizontal).top(), 380);
    }

    void rulerMarks_aNumberEveryCentimetre()
    {
        const QList<RulerMark> across = rulerMarks(11907, 300, Qt::Horizontal);
        const QList<RulerMark> down = rulerMarks(16840, 300, Qt::Vertical);
        QStringList labels;
        for (const RulerMark &mark : across)
            if (!mark.label.isEmpty())
                labels << mark.label;
        QCOMPARE(labels.size(), 21); // the last group of ten is drawn whole, past the ruler's end
        QCOMPARE(labels.first(), u" 1"_s);
        QCOMPARE(labels.at(1), u" 2"_s);
        QCOMPARE(across.at(9).labelAt, QPointF(570, 0));
        QCOMPARE(across.at(4).line, QLineF(285, 300, 285, 150)); // fifth tick: half the ruler
        QCOMPARE(across.at(0).line, QLineF(57, 300, 57, 237));   // others: 21 %
        QCOMPARE(down.at(9).label, u"1"_s);
        QCOMPARE(down.at(9).line, QLineF(300, 570, 0, 570));
    }

    void printButton_asksThenPrintsThePreviewedLetter()
    {
        const auto letter = paragraphsLetter(40);
        // A preview alone prints nothing.
        preview(*letter, true, [](FrmPage *) {});
        QVERIFY(!QFile::exists(pdf));

        int pages = 0;
        bool fromEditor = false;
        preview(*letter, true, [&](FrmPage *window) {
            pages = window->pageCount();
            fromEditor = window->DepuisEditeur;
            dialogs->answerButton(QMessageBox::No);
            window->buttons[1]->click();
            dialogs->answerButton(QMessageBox::Yes);
            window->buttons[1]->click();
        });
        QVERIFY(fromEditor);
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
            window->buttons[1]->click();
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

    void printAll_oneConfirmationBlankLettersSkipped()
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
        QCOMPARE(dialogs->requests[1].text, kConfirmation);
        // Printing to a file: the file holds every letter, each from a page of its own.
        if (havePoppler()) {
            QCOMPARE(pdfPageCount(pdf), 2);
            QCOMPARE(firstWord(pdfText(pdf, 1)), u"Paragraphe1"_s);
            QCOMPARE(firstWord(pdfText(pdf, 2)), u"Troisième"_s);
        }

        QFile::remove(pdf);
        dialogs->answerButton(QMessageBox::Yes);
        QVERIFY(!printLetterCommand(nullptr, *blank));
        QVERIFY(!QFile::exists(pdf));
    }

    void printAllToAFile_everyLetterFromANewPage()
    {
        if (!havePoppler())
            QSKIP("pdfinfo and pdftotext (poppler-utils) are not installed");
        const auto first = threePageLetter();
        auto second = emptyLetter();
        QTextCursor(second.get()).insertText(u"Deuxième lettre."_s);
        QCOMPARE(printLetters(nullptr, {first.get(), second.get()}), (QList<int>{0, 1}));
        QCOMPARE(pdfPageCount(pdf), 4);
        QCOMPARE(pdfFirstVisibleWords(pdf),
                 (QStringList{u"Paragraphe1"_s, u"Paragraphe2"_s, u"Paragraphe3"_s, u"Deuxième"_s}));

        // A file that cannot be written: told once, nothing printed.
        Printing::currentPrinter().setOutputFileName(folder.filePath(u"absent/lettres.pdf"_s));
        dialogs->answerButton(QMessageBox::Ok);
        QCOMPARE(printLetters(nullptr, {first.get(), second.get()}), QList<int>());
        QCOMPARE(dialogs->requests.size(), 1);
        QCOMPARE(dialogs->requests[0].title, u"Erreur n°%1"_s.arg(PrinterErrorNumber));
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
        QCOMPARE(request.title, u"Configurer l'impression"_s);
        QCOMPARE(request.acceptLabel, u"OK"_s);

        const auto letter = paragraphsLetter(1);
        dialogs->answerButton(QMessageBox::Yes);
        QVERIFY(printLetterCommand(nullptr, *letter));
        QVERIFY(QFile::exists(chosenFile));
        QVERIFY(!QFile::exists(pdf));

        dialogs->answerCancel();
        QVERIFY(!configurePrinter(nullptr));
        preview(*letter, false, [&](FrmPage *window) {
            dialogs->answerCancel();
            window->buttons[0]->click();
        });
        QCOMPARE(dialogs->requests.size(), 4);
        QCOMPARE(dialogs->requests[3].kind, Dialogs::Request::Kind::Printer);
        QCOMPARE(Printing::currentPrinter().outputFileName(), chosenFile);
        dialogs->choosePrinter = nullptr;
    }
};

QUILLO_TEST_MAIN(TestFrmPage)
#include "tst_frmpage.moc"
