#include "TestSupport.h"
#include "core/PhraseFile.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

class TestPhraseFile : public QObject
{
    Q_OBJECT

    using Lists = QList<QStringList>;

private slots:
    void reading_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("listCount");
        QTest::addColumn<Lists>("lists");
        QTest::newRow("three blocks for eight lists")
            << QByteArray("Suite \xE0\r\n\r\nma demande\r\nvotre courrier\r\n\r\ndu\r\n\r\n") << 8
            << Lists{{u"Suite à"_s}, {u"ma demande"_s, u"votre courrier"_s}, {u"du"_s}, {}, {}, {}, {}, {}};
        QTest::newRow("extra block not read")
            << QByteArray("a\r\n\r\nb\r\n\r\nsurplus\r\n\r\n") << 2 << Lists{{u"a"_s}, {u"b"_s}};
        QTest::newRow("empty block keeps its place")
            << QByteArray("a\r\n\r\n\r\nc\r\n\r\n") << 3 << Lists{{u"a"_s}, {}, {u"c"_s}};
        QTest::newRow("last block without its empty line")
            << QByteArray("a\r\n\r\nb1\r\nb2") << 2 << Lists{{u"a"_s}, {u"b1"_s, u"b2"_s}};
        QTest::newRow("lone line feeds") << QByteArray("a\n\nb\n\n") << 2 << Lists{{u"a"_s}, {u"b"_s}};
        QTest::newRow("empty file") << QByteArray() << 2 << Lists{{}, {}};
    }

    void reading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, listCount);
        QFETCH(Lists, lists);
        QuilloTest::TempProgramFolder folder;
        const QString path = folder.filePath(u"Introduction.ini"_s);
        QuilloTest::writeBytes(path, bytes);
        Lists read{{u"stale"_s}};
        QVERIFY(PhraseFile::read(path, listCount, &read));
        QCOMPARE(read, lists);
    }

    void missingFileGivesEmptyListsAndAFrenchError()
    {
        QuilloTest::TempProgramFolder folder;
        Lists read;
        QString error;
        QVERIFY(!PhraseFile::read(folder.filePath(u"Conclusion2.ini"_s), 5, &read, &error));
        QCOMPARE(read, (Lists{{}, {}, {}, {}, {}}));
        QVERIFY2(error.contains(u"Conclusion2.ini"_s) && error.contains(u"introuvable"_s), qPrintable(error));
    }

    void writesEveryBlockThenAnEmptyLineAndReadsBack()
    {
        QuilloTest::TempProgramFolder folder;
        const QString path = folder.filePath(u"Conclusion1.ini"_s);
        const Lists lists{{u"Dans l'attente"_s, u"En espérant"_s}, {}, {u"à votre disposition"_s}};
        QVERIFY(PhraseFile::write(path, lists));
        QCOMPARE(QuilloTest::readBytes(path),
                 QByteArray("Dans l'attente\r\nEn esp\xE9rant\r\n\r\n\r\n\xE0 votre disposition\r\n\r\n"));
        Lists read;
        QVERIFY(PhraseFile::read(path, 3, &read));
        QCOMPARE(read, lists);
    }

    void emptyFragmentOrLineEndCannotShiftTheLists()
    {
        QuilloTest::TempProgramFolder folder;
        const QString path = folder.filePath(u"Conclusion1.ini"_s);
        QVERIFY(PhraseFile::write(path, {{u"a"_s, QString(), u"b"_s}, {u"c\r\nd"_s}, {u"e"_s}}));
        Lists read;
        QVERIFY(PhraseFile::read(path, 3, &read));
        QCOMPARE(read, (Lists{{u"a"_s, u"b"_s}, {u"c d"_s}, {u"e"_s}}));
    }
};

QUILLO_TEST_MAIN(TestPhraseFile)
#include "tst_phrasefile.moc"
