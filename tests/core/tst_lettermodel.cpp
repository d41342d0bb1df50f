#include "TestSupport.h"
#include "core/BodyFile.h"
#include "core/LetterModel.h"

using namespace Qt::StringLiterals;

namespace {
LetterModel sample(const QString &body)
{
    LetterModel m;
    m.sender = {u"Jean Martin"_s, u"12 rue des Lilas"_s, u""_s, u"69001 Lyon"_s, u""_s, u"04 78 00 00 00"_s, u""_s,
                u"Monsieur"_s,    u"Directeur"_s};
    m.recipient = {
        u"Paul Durand"_s, u"1 place de la Mairie"_s, u""_s, u"1000 Bruxelles"_s, u"belgique"_s, u"Monsieur"_s,
        u"Maire"_s};
    m.references = {u"lundi 3 mars 2025"_s,     u"Lyon"_s,
                    u"Réclamation"_s,           u"Jean Martin"_s,
                    u"Je vous prie d'agréer"_s, u"l'expression de mes salutations distinguées."_s};
    m.body = body;
    return m;
}
} // namespace

class TestLetterModel : public QObject
{
    Q_OBJECT

private slots:
    void fileLayoutByteForByte()
    {
        QuilloTest::TempProgramFolder folder;
        const QString path = folder.filePath(u"courrier.txt"_s);
        QVERIFY(sample(u"Madame,\r\nSuite à…"_s).write(path, nullptr));
        const QByteArray expected =
            "Jean Martin\r\n12 rue des Lilas\r\n\r\n69001 Lyon\r\n\r\n04 78 00 00 00\r\n\r\n"
            "Monsieur\r\nDirecteur\r\n#\r\n"
            "Paul Durand\r\n1 place de la Mairie\r\n\r\n1000 Bruxelles\r\nbelgique\r\nMonsieur\r\nMaire\r\n#\r\n"
            "lundi 3 mars 2025\r\nLyon\r\nR\xE9"
            "clamation\r\nJean Martin\r\nJe vous prie d'agr\xE9"
            "er\r\n"
            "l'expression de mes salutations distingu\xE9"
            "es.\r\n#\r\n"
            "Madame,\r\nSuite \xE0\x85\r\n";
        QCOMPARE(QuilloTest::readBytes(path), expected);
    }

    void bodyComesBackExactly_data()
    {
        QTest::addColumn<QString>("body");
        QTest::newRow("two paragraphs") << u"Premier paragraphe.\r\n\r\nSecond paragraphe."_s;
        QTest::newRow("single line break") << u"ligne un\r\nligne deux"_s;
        QTest::newRow("two blank lines") << u"a\r\n\r\n\r\nb"_s;
        QTest::newRow("final line break") << u"fin\r\n"_s;
        QTest::newRow("empty") << QString();
        QTest::newRow("begins with #") << u"#5 du règlement\r\n# voir plus bas"_s;
        QTest::newRow("outside windows-1252") << u"Cordialement, Łukasz ✓"_s;
    }

    void bodyComesBackExactly()
    {
        QFETCH(QString, body);
        QuilloTest::TempProgramFolder folder;
        const QString path = folder.filePath(u"m.txt"_s);
        const LetterModel written = sample(body);
        QVERIFY(written.write(path, nullptr));
        LetterModel read;
        QString error;
        QVERIFY2(LetterModel::read(path, &read, &error), qPrintable(error));
        QCOMPARE(read.sender, written.sender);
        QCOMPARE(read.recipient, written.recipient);
        QCOMPARE(read.references, written.references);
        QCOMPARE(read.body, body);
    }

    void separatorsAreDroppedWhereverTheyStand()
    {
        QuilloTest::TempProgramFolder folder;
        const QString path = folder.filePath(u"ancien.txt"_s);
        // An older file: the separators are not counted, extra lines all belong to the body.
        QByteArray bytes;
        for (int i = 1; i <= 22; ++i)
            bytes += "v" + QByteArray::number(i) + "\r\n" + (i == 9 || i == 16 ? "#\r\n" : "");
        bytes += "#\r\ncorps 1\r\n#\r\ncorps 2\r\ncorps 3\r\n";
        QuilloTest::writeBytes(path, bytes);
        LetterModel read;
        QVERIFY(LetterModel::read(path, &read, nullptr));
        QCOMPARE(read.sender.last(), u"v9"_s);
        QCOMPARE(read.recipient.first(), u"v10"_s);
        QCOMPARE(read.references.last(), u"v22"_s);
        QCOMPARE(read.body, u"corps 1\r\ncorps 2\r\ncorps 3"_s);
    }

    void incompleteFilesAreRefusedWithoutChange_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("said");
        const auto values = [](std::initializer_list<int> separatorsAfter) {
            QByteArray bytes;
            for (int i = 1; i <= 24; ++i)
                bytes += "v" + QByteArray::number(i) + "\r\n" +
                         (std::count(separatorsAfter.begin(), separatorsAfter.end(), i) ? "#\r\n" : "");
            return bytes;
        };
        QTest::newRow("too short") << QByteArray("a\r\nb\r\n#\r\nc\r\n") << u"22"_s;
        // Any text of 22 lines or more is not a model.
        QTest::newRow("no separator") << values({}) << u"valeur 9"_s;
        QTest::newRow("recipient separator missing") << values({9, 22}) << u"valeur 16"_s;
        QTest::newRow("last separator missing") << values({9, 16}) << u"valeur 22"_s;
        // A value that was only "#" in an old file: every later value moved up by one line.
        QTest::newRow("values moved") << values({9, 16, 22}).replace("v3\r\n", "#\r\n") << u"valeur 9"_s;
    }

    void incompleteFilesAreRefusedWithoutChange()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, said);
        QuilloTest::TempProgramFolder folder;
        const QString path = folder.filePath(u"court.txt"_s);
        QuilloTest::writeBytes(path, bytes);
        LetterModel kept = sample(u"inchangé"_s);
        QString error;
        QVERIFY(!LetterModel::read(path, &kept, &error));
        QVERIFY2(error.contains(u"court.txt"_s) && error.contains(u"n'est pas un modèle de lettre complet"_s) &&
                     error.contains(said),
                 qPrintable(error));
        QCOMPARE(kept.body, u"inchangé"_s);
        QVERIFY(!LetterModel::read(folder.filePath(u"absent.txt"_s), &kept, &error));
        QVERIFY(error.contains(u"absent.txt"_s));
    }

    void aValueThatIsOnlyHashIsRefused()
    {
        QuilloTest::TempProgramFolder folder;
        const QString path = folder.filePath(u"m.txt"_s);
        LetterModel m = sample(u"corps"_s);
        m.recipient[3] = u"#"_s;
        QString error;
        QVERIFY(!m.write(path, &error));
        QVERIFY2(error.contains(u"Code Postal - Ville"_s) && error.contains(u"destinataire"_s), qPrintable(error));
        QVERIFY(!QFile::exists(path));
        m = sample(u"Madame,\r\n#\r\nfin"_s);
        QVERIFY(!m.write(path, &error));
        QVERIFY2(error.contains(u"ligne 2"_s), qPrintable(error));
        QVERIFY(!QFile::exists(path));
    }

    void bodyFileRoundTrip()
    {
        QuilloTest::TempProgramFolder folder;
        const QString path = folder.filePath(u"corps.txt"_s);
        QVERIFY(BodyFile::write(path, u"Ligne un\r\nLigne deux"_s));
        QCOMPARE(QuilloTest::readBytes(path), QByteArray("Ligne un\r\nLigne deux\r\n"));
        QString body;
        QVERIFY(BodyFile::read(path, &body));
        QCOMPARE(body, u"Ligne un\r\nLigne deux"_s);
        // Written elsewhere without a final line end: nothing is cut.
        QuilloTest::writeBytes(path, "Bonjour");
        QVERIFY(BodyFile::read(path, &body));
        QCOMPARE(body, u"Bonjour"_s);
        QuilloTest::writeBytes(path, "x");
        QVERIFY(BodyFile::read(path, &body));
        QCOMPARE(body, u"x"_s);
    }
};

QUILLO_TEST_MAIN(TestLetterModel)
#include "tst_lettermodel.moc"
