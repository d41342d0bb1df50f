// The print manager: the preview window it lays out, its pages and tabs, and its drawing
// operations, read back from the pages' images.
#include "ScriptedDialogs.h"
#include "TestSupport.h"
#include "core/QuilloError.h"
#include "dialogs/WindowRegistry.h"
#include "printing/FrmPage.h"
#include "printing/Imprimer.h"
#include "printing/PageSurface.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTimer>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

// The part of the page image in that colour, in twips (one pixel is 15 twips here).
QRect areaOf(const PageSurface *page, QColor colour)
{
    const QImage image = page->toImage(1 / 15.0);
    QRect found;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (QColor(image.pixel(x, y)) == colour)
                found |= QRect(x, y, 1, 1);
    return found.isNull() ? QRect() : QRect(found.x() * 15, found.y() * 15, found.width() * 15, found.height() * 15);
}

bool isBlank(const PageSurface *page)
{
    const QImage image = page->toImage(1 / 15.0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                return false;
    return true;
}

// A 100 × 50 pixel red picture at 96 dpi: 2645.8 × 1322.9 hundredths of a millimetre, so
// 1494 × 747 twips at scale 1.
QImage redPicture()
{
    QImage picture(100, 50, QImage::Format_RGB32);
    picture.fill(Qt::red);
    picture.setDotsPerMeterX(3780);
    picture.setDotsPerMeterY(3780);
    return picture;
}

} // namespace

class TestImprimer : public QObject
{
    Q_OBJECT

private:
    std::shared_ptr<ScriptedDialogs> dialogs;

    // Shows the manager's window; look runs inside, then the window is closed.
    void show(Imprimer &manager, const std::function<void(FrmPage *)> &look)
    {
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            FrmPage *window = FrmPage::existing();
            if (!window || !window->isVisible())
                return;
            poll.stop();
            look(window);
            window->buttons[6]->click();
        });
        poll.start(5);
        manager.Show();
    }

private slots:
    void init() { dialogs = ScriptedDialogs::install(); }
    void cleanup()
    {
        QCOMPARE(dialogs->unexpected, 0);
        ScriptedDialogs::uninstall();
        QCOMPARE(QuilloTest::closeAllWindows(), QStringList());
    }

    void initialiseThenShow_oneEmptyPageAndNoNavigation()
    {
        Imprimer manager;
        manager.Initialise();
        QCOMPARE(manager.pageWidth(), 11907);
        QCOMPARE(manager.pageHeight(), 16840);
        QStringList seen;
        bool navigation = true;
        int pages = 0;
        show(manager, [&](FrmPage *window) {
            seen << window->windowTitle() << window->pageCounter->text() << window->Tab1->tabText(0)
                 << window->Label1[0]->text();
            pages = window->pageCount();
            for (int index = 2; index <= 5; ++index)
                navigation = navigation && window->buttons[index]->isEnabled();
            seen << u"%1 %2 %3 %4"_s.arg(window->VScroll1->minimum())
                        .arg(window->VScroll1->maximum())
                        .arg(window->VScroll1->pageStep())
                        .arg(window->VScroll1->singleStep());
        });
        QCOMPARE(seen, (QStringList{u"Aperçu avant impression"_s, u"Page 01/01"_s, u"Page n°1"_s,
                                    u"Gestionnaire d'impression v2.0.1"_s, u"0 100 50 20"_s}));
        QCOMPARE(pages, 1);
        QVERIFY(!navigation);
        QVERIFY(!FrmPage::existing()); // unloaded: the next preview starts afresh
    }

    void twoNewPages_threePagesTabsAndCaptions()
    {
        Imprimer manager;
        manager.Initialise();
        manager.NewPage();
        manager.NewPage();
        QCOMPARE(manager.NbPages, qint16(3));
        manager.Titre = u"Mon aperçu"_s;
        manager.Legende1 = u"Première légende"_s;
        manager.Legende2 = u"Seconde légende"_s;
        QStringList seen;
        bool navigation = false;
        show(manager, [&](FrmPage *window) {
            for (int tab = 0; tab < window->Tab1->count(); ++tab)
                seen << window->Tab1->tabText(tab);
            seen << window->pageCounter->text() << window->windowTitle() << window->Label1[0]->text()
                 << window->Label1[1]->text();
            navigation = window->buttons[2]->isEnabled() && window->buttons[5]->isEnabled();
        });
        QCOMPARE(seen, (QStringList{u"Page n°1"_s, u"Page n°2"_s, u"Page n°3"_s, u"Page 01/03"_s, u"Mon aperçu"_s,
                                    u"Première légende"_s, u"Seconde légende"_s}));
        QVERIFY(navigation);
        // The window went with its pages: a fresh one has page 1 only.
        manager.Initialise();
        QCOMPARE(FrmPage::existing()->pageCount(), 1);
        QCOMPARE(FrmPage::existing()->Tab1->count(), 1);
    }

    void addPicture_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QPoint>("topLeft");
        // The sheet is 11907 × 16840 twips, the picture 1494 × 747.
        QTest::newRow("0 en bas à droite") << 0 << QPoint(11907 - 1494, 16840 - 747);
        QTest::newRow("6 au centre") << 6 << QPoint(11907 / 2 - 747, 16840 / 2 - 373);
        QTest::newRow("9 au point donné") << 9 << QPoint(1134, 2268); // 20 mm, 40 mm
        QTest::newRow("12 en haut à gauche") << 12 << QPoint(0, 0);
        QTest::newRow("-1 en haut à gauche") << -1 << QPoint(0, 0);
    }
    void addPicture()
    {
        QFETCH(int, position);
        QFETCH(QPoint, topLeft);
        Imprimer manager;
        manager.Initialise();
        manager.Add_Picture(redPicture(), position, 1.0, 20, 40);
        const QRect drawn = areaOf(FrmPage::existing()->lastPage(), Qt::red);
        QVERIFY2(qAbs(drawn.left() - topLeft.x()) <= 30 && qAbs(drawn.top() - topLeft.y()) <= 30,
                 qPrintable(u"%1,%2"_s.arg(drawn.left()).arg(drawn.top())));
        QVERIFY(qAbs(drawn.width() - 1494) <= 30 && qAbs(drawn.height() - 747) <= 30);
    }

    void pictureBoard_gridOfCopies()
    {
        Imprimer manager;
        manager.Initialise();
        // Two columns, one row, 10 mm apart, half size: two 747 × 373 twips copies 567 apart.
        manager.Add_PictureBoard(redPicture(), 10, 10, 10, 0, 2, 1, 2.0);
        const QRect drawn = areaOf(FrmPage::existing()->lastPage(), Qt::red);
        QVERIFY2(qAbs(drawn.width() - (747 * 2 + 567)) <= 30, qPrintable(QString::number(drawn.width())));
        manager.Add_PictureBoard(redPicture(), 10, 10, 10, 0, 0, 3, 1.0); // no column: nothing
        QCOMPARE(FrmPage::existing()->lastPage()->operationCount(), 1);
    }

    void graphique_kindsAndTheLastPage()
    {
        Imprimer manager;
        manager.Initialise();
        manager.NewPage();
        FrmPage *window = FrmPage::existing();
        window->Tab1->setCurrentIndex(0); // page 1 shown: drawing still goes to the last page
        manager.Add_Graphique(3, 10, 10, 60, 30, Qt::blue, 1, 0);
        QVERIFY(isBlank(window->page(1)));
        const QRect filled = areaOf(window->page(2), Qt::blue);
        QVERIFY2(qAbs(filled.left() - 567) <= 30 && qAbs(filled.width() - 2835) <= 45,
                 qPrintable(QString::number(filled.width())));
        QVERIFY(qAbs(filled.height() - 1134) <= 45);

        manager.Add_Graphique(4, 100, 100, 150, 150, Qt::green, 1, 0);
        manager.Add_Graphique(0, 100, 100, 150, 150, Qt::green, 1, 0);
        QVERIFY(areaOf(window->page(2), Qt::green).isNull());
        manager.Add_Graphique(1, 100, 100, 150, 100, Qt::green, 3, 0);
        QVERIFY(!areaOf(window->page(2), Qt::green).isNull());
    }

    void millimetres_pastTheSixteenBitsAnOverflow()
    {
        QCOMPARE(Imprimer::toTwips(577), qint16(32716));
        QCOMPARE(Imprimer::toTwips(-577), qint16(-32716));
        Imprimer manager;
        manager.Initialise();
        try {
            manager.Add_Graphique(1, 0, 0, 578, 10, Qt::black, 1, 0);
            QFAIL("578 mm accepted");
        } catch (const QuilloError &error) {
            QCOMPARE(error.number, int(QuilloError::Overflow));
        }
        QVERIFY_THROWS_EXCEPTION(QuilloError, manager.Add_Picture(redPicture(), 9, 1.0, 600, 0));
        QVERIFY_THROWS_EXCEPTION(
            QuilloError, manager.Add_BlocTexte(8192, 0, u"x"_s, u"Arial"_s, 10, Qt::black, false, false, false));
        QCOMPARE(FrmPage::existing()->lastPage()->operationCount(), 0);
    }

    void enTete_centredWhateverTheFont_data()
    {
        QTest::addColumn<QString>("font");
        QTest::addColumn<int>("size");
        QTest::newRow("petit") << u"DejaVu Sans"_s << 10;
        QTest::newRow("grand") << u"Liberation Serif"_s << 28;
    }
    void enTete_centredWhateverTheFont()
    {
        QFETCH(QString, font);
        QFETCH(int, size);
        Imprimer manager;
        manager.Initialise();
        manager.Add_EnTete(30, u"Compte rendu de la réunion"_s, font, qint16(size), Qt::black, true, false, false);
        const QRect text = areaOf(FrmPage::existing()->lastPage(), Qt::black);
        QVERIFY(!text.isNull());
        QVERIFY2(qAbs(text.center().x() - 11907 / 2) <= 120, qPrintable(QString::number(text.center().x())));
        QVERIFY(qAbs(text.top() - 1701) <= size * 20); // 30 mm from the top
    }

    void blocTexte_rectangleInPagePixels()
    {
        Imprimer manager;
        manager.Initialise();
        const QString text =
            u"Un long texte qui doit revenir à la ligne avant le bord droit de la page. "_s.repeated(6);
        manager.Add_BlocTexte(10, 20, text, u"DejaVu Sans"_s, 12, Qt::black, false, false, false);
        QCOMPARE(manager.textRectangle(), QRect(QPoint(40, 76), QPoint(709, 16840)));
        const QRect drawn = areaOf(FrmPage::existing()->lastPage(), Qt::black);
        QVERIFY(drawn.left() >= 40 * 15 - 15);
        QVERIFY2(drawn.right() <= 709 * 15, qPrintable(QString::number(drawn.right())));
        QVERIFY(drawn.height() > 3 * 240); // wrapped over several lines
    }
};

QUILLO_TEST_MAIN(TestImprimer)
#include "tst_imprimer.moc"
