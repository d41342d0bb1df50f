#include "editor/EditorGeometry.h"
#include "TestSupport.h"

using namespace Qt::StringLiterals;

class TestEditorGeometry : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString file() const { return dir.filePath(u"Editeur.ini"_s); }

private slots:
    void init() { QFile::remove(file()); }

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
};

QUILLO_TEST_MAIN(TestEditorGeometry)
#include "tst_editorgeometry.moc"
