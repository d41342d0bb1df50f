#include "TestSupport.h"
#include "editor/EditorGeometry.h"

using namespace Qt::StringLiterals;

class TestEditorGeometry : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString file() const { return dir.filePath(u"Editeur.ini"_s); }

private slots:
    void init() { QFile::remove(file()); }

    void openingGeometry_widensTheDesignWithinTheScreen_data()
    {
        QTest::addColumn<int>("needed");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("design wide enough") << 500 << QRect(0, 0, 1920, 1040) << QRect(655, 320, 610, 400);
        QTest::newRow("widened") << 700 << QRect(0, 30, 1920, 1040) << QRect(610, 350, 700, 400);
        QTest::newRow("small screen") << 900 << QRect(100, 0, 800, 300) << QRect(100, 0, 800, 300);
    }

    void openingGeometry_widensTheDesignWithinTheScreen()
    {
        QFETCH(int, needed);
        QFETCH(QRect, available);
        QFETCH(QRect, expected);
        QCOMPARE(EditorGeometry::openingGeometry(QSize(610, 400), needed, available), expected);
    }

    void readsTheWayProfileFunctionsDo()
    {
        // As the previous version's profile functions left it: CR LF, other sections around.
        QuilloTest::writeBytes(file(), "[AUTRE]\r\nHauteur=1\r\n\r\n[editeur]\r\nwindows = 0\r\n"
                                       "Hauteur=12345678901234\r\nLargeur=\"9000\"\r\n");
        QCOMPARE(EditorGeometry::readValue(file(), u"EDITEUR"_s, u"Windows"_s), u"0"_s);
        QCOMPARE(EditorGeometry::readValue(file(), u"EDITEUR"_s, u"Hauteur"_s), u"1234567890"_s); // 10 characters
        QCOMPARE(EditorGeometry::readValue(file(), u"EDITEUR"_s, u"Largeur"_s), u"9000"_s);
        QCOMPARE(EditorGeometry::readValue(file(), u"EDITEUR"_s, u"PositionX"_s), QString());
        QCOMPARE(EditorGeometry::readValue(dir.filePath(u"absent.ini"_s), u"EDITEUR"_s, u"Windows"_s), QString());
    }

    void readStopsAtTheFirstValueThatIsNotANumber()
    {
        QuilloTest::writeBytes(file(), "[EDITEUR]\r\nWindows=1\r\nHauteur=6000,5\r\nLargeur=abc\r\nPositionX=10\r\n");
        const EditorGeometry::Stored stored = EditorGeometry::read(file());
        QCOMPARE(stored.state, std::optional<int>(1));
        QCOMPARE(stored.height, std::optional<double>(6000.5)); // the French decimal comma
        QVERIFY(!stored.width);
        QVERIFY(!stored.left); // not read past the bad width
        QVERIFY(!EditorGeometry::read(dir.filePath(u"absent.ini"_s)).state);
    }

    void writingKeepsTheRestOfTheFileAndReplacesItsKeys()
    {
        QuilloTest::writeBytes(file(), "; garde-moi\r\n[AUTRE]\r\nCle=valeur\r\n\r\n[EDITEUR]\r\nWindows=2\r\n");
        QVERIFY(EditorGeometry::write(file(), 0, 6000, 9000, 120, 240));
        QVERIFY(EditorGeometry::write(file(), 1, 1, 1, 1, 1)); // minimised: the state alone
        const QByteArray text = QuilloTest::readBytes(file());
        QCOMPARE(text, QByteArray("; garde-moi\r\n[AUTRE]\r\nCle=valeur\r\n\r\n[EDITEUR]\r\nWindows=1\r\n"
                                  "Hauteur=6000\r\nLargeur=9000\r\nPositionX=120\r\nPositionY=240\r\n"));
    }

    void keepOnScreen_data()
    {
        QTest::addColumn<QRect>("window");
        QTest::addColumn<QRect>("expected");
        // Two screens side by side, the second one smaller, its area under a panel 30 high.
        QTest::newRow("inside the first screen") << QRect(100, 100, 600, 400) << QRect(100, 100, 600, 400);
        QTest::newRow("title bar within reach") << QRect(1800, 50, 600, 400) << QRect(1800, 50, 600, 400);
        QTest::newRow("title bar under the panel") << QRect(2100, 10, 600, 400) << QRect(2100, 30, 600, 400);
        QTest::newRow("monitor unplugged, left") << QRect(-3000, 200, 600, 400) << QRect(0, 200, 600, 400);
        QTest::newRow("far below, nearest is the second") << QRect(2500, 5000, 600, 400) << QRect(2500, 624, 600, 400);
        QTest::newRow("larger than the screen") << QRect(-5000, -5000, 3000, 2000) << QRect(0, 0, 1920, 1080);
    }

    // Where a stored window goes back on the screens, without any window or screen.
    void keepOnScreen()
    {
        QFETCH(QRect, window);
        QFETCH(QRect, expected);
        const QList<QRect> screens = {QRect(0, 0, 1920, 1080), QRect(1920, 30, 1280, 994)};
        QCOMPARE(EditorGeometry::keepOnScreen(window, screens), expected);
        QCOMPARE(EditorGeometry::keepOnScreen(window, {}), window); // no screen: left as it is
    }

    void printedLine_data()
    {
        QTest::addColumn<int>("margins");
        QTest::addColumn<double>("dpi");
        QTest::addColumn<int>("lineWidth");
        QTest::addColumn<int>("wrapWidth");
        // An A4 sheet is 11906 twips wide; 4 pixels are drawn around the text.
        QTest::newRow("letter margins, 96 dpi") << 1400 << 96.0 << 9106 << 616;   // 607.07 + 8, rounded up
        QTest::newRow("letter margins, 120 dpi") << 1400 << 120.0 << 9106 << 767; // 758.83 + 8
        QTest::newRow("no margins") << 0 << 96.0 << 11906 << 802;
    }

    // The letter's lines on the screen are exactly the printed line's width: the fraction of a
    // pixel goes to the margin around the text.
    void printedLine()
    {
        QFETCH(int, margins);
        QFETCH(double, dpi);
        QFETCH(int, lineWidth);
        QFETCH(int, wrapWidth);
        const std::optional<EditorGeometry::PrintedLine> line = EditorGeometry::printedLine(margins, margins, dpi, 4);
        QVERIFY(line);
        QCOMPARE(line->lineWidth, lineWidth);
        QCOMPARE(line->wrapWidth, wrapWidth);
        QCOMPARE(line->wrapWidth - 2 * line->documentMargin, lineWidth * dpi / 1440.0);
    }

    void printedLine_noRoomLeft()
    {
        QVERIFY(!EditorGeometry::printedLine(6000, 5906, 96, 4));
        QVERIFY(!EditorGeometry::printedLine(1400, 20000, 96, 4));
        QVERIFY(EditorGeometry::printedLine(6000, 5905, 96, 4)); // one twip of line
    }
};

QUILLO_TEST_MAIN(TestEditorGeometry)
#include "tst_editorgeometry.moc"
