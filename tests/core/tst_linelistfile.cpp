#include "TestSupport.h"
#include "core/LineListFile.h"
#include "core/PhraseFile.h"
#include "core/TextFile.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

class TestLineListFile : public QObject
{
    Q_OBJECT

private slots:
    void reading_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("crlf") << QByteArray("Paris\r\nLyon\r\n") << QStringList{u"Paris"_s, u"Lyon"_s};
        QTest::newRow("lf only") << QByteArray("Paris\nLyon\n") << QStringList{u"Paris"_s, u"Lyon"_s};
        QTest::newRow("lone cr") << QByteArray("Paris\rLyon") << QStringList{u"Paris"_s, u"Lyon"_s};
        QTest::newRow("empty lines skipped")
            << QByteArray("\r\nParis\r\n\r\n\nLyon\r\n\r\n") << QStringList{u"Paris"_s, u"Lyon"_s};
        QTest::newRow("only empty lines") << QByteArray("\r\n\r\n\n") << QStringList{};
        QTest::newRow("no final line end") << QByteArray("Paris\r\nLyon") << QStringList{u"Paris"_s, u"Lyon"_s};
        QTest::newRow("windows-1252 accents") << QByteArray("Orl\xE9"
                                                            "ans\r\n\xC9vreux\r\n")
                                              << QStringList{u"Orléans"_s, u"Évreux"_s};
        QTest::newRow("utf-8 mark") << QByteArray("\xEF\xBB\xBF"
                                                  "Orl\xC3\xA9"
                                                  "ans\r\n")
                                    << QStringList{u"Orléans"_s};
        QTest::newRow("commas and apostrophes are one entry") << QByteArray("Je vous prie d'agr\xE9"
                                                                            "er, Madame,\r\n")
                                                              << QStringList{u"Je vous prie d'agréer, Madame,"_s};
        QTest::newRow("spaces kept") << QByteArray("  Nice  \r\n") << QStringList{u"  Nice  "_s};
    }

    void reading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, entries);
        QuilloTest::TempProgramFolder folder;
        const QString path = folder.filePath(u"Communes.ini"_s);
        QuilloTest::writeBytes(path, bytes);
        QStringList read{u"stale"_s};
        QVERIFY(LineListFile::read(path, &read));
        QCOMPARE(read, entries);
    }

    void missingFileIsReportedInFrench()
    {
        QuilloTest::TempProgramFolder folder;
        QStringList entries;
        QString error;
        QVERIFY(!LineListFile::read(folder.filePath(u"Absent.ini"_s), &entries, &error));
        QVERIFY2(error.contains(u"Absent.ini"_s) && error.contains(u"introuvable"_s), qPrintable(error));
    }

    void listsBeyondTheLimitsAreReadInPartAndSaySo_data()
    {
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("longAt"); // the line of an entry one character too long, or -1
        QTest::addColumn<int>("kept");
        QTest::addColumn<QString>("said");
        QTest::newRow("at the limits") << int(ListLimits::kMaxEntries) << -1 << int(ListLimits::kMaxEntries)
                                       << QString();
        QTest::newRow("too many") << int(ListLimits::kMaxEntries) + 2 << -1 << int(ListLimits::kMaxEntries)
                                  << u"2 entrées au-delà des 10\u202F000 premières"_s;
        QTest::newRow("too long") << 3 << 1 << 2 << u"1 entrée de plus de 500 caractères"_s;
        QTest::newRow("both") << int(ListLimits::kMaxEntries) + 2 << 0 << int(ListLimits::kMaxEntries)
                              << u"1 entrée de plus de 500 caractères et 1 entrée au-delà"_s;
    }

    void listsBeyondTheLimitsAreReadInPartAndSaySo()
    {
        QFETCH(int, entries);
        QFETCH(int, longAt);
        QFETCH(int, kept);
        QFETCH(QString, said);
        QuilloTest::TempProgramFolder folder;
        const QString path = folder.filePath(u"Objets.ini"_s);
        QByteArray bytes;
        for (int i = 0; i < entries; ++i)
            bytes +=
                (i == longAt ? QByteArray(ListLimits::kMaxEntryLength + 1, 'x') : "e" + QByteArray::number(i)) + "\r\n";
        QuilloTest::writeBytes(path, bytes);
        QStringList read;
        ListLimits::Cut cut;
        QVERIFY(LineListFile::read(path, &read, nullptr, &cut));
        QCOMPARE(read.size(), kept);
        QVERIFY(read.first().size() <= ListLimits::kMaxEntryLength);
        QCOMPARE(cut.any(), !said.isEmpty());
        // French thousands are set apart by a narrow space, as QLocale writes them.
        QVERIFY2(ListLimits::describe(cut).replace(u'\u00A0', u'\u202F').startsWith(said),
                 qPrintable(ListLimits::describe(cut)));
        // The phrase files hold to the same limits, list by list.
        QList<QStringList> lists;
        QVERIFY(PhraseFile::read(path, 2, &lists, nullptr, &cut));
        QCOMPARE(lists.first().size(), kept);
        QCOMPARE(cut.any(), !said.isEmpty());
    }

    void writtenThenReadGivesTheSameEntries()
    {
        QuilloTest::TempProgramFolder folder;
        const QString path = folder.filePath(u"Objets.ini"_s);
        const QStringList entries = {u"Demande de congé"_s, u"Réclamation"_s, u"Œuvre « sociale »"_s};
        QVERIFY(LineListFile::write(path, entries));
        // Windows-1252, CR LF after every line, the last included.
        QCOMPARE(QuilloTest::readBytes(path), QByteArray("Demande de cong\xE9\r\nR\xE9"
                                                         "clamation\r\n\x8C"
                                                         "uvre \xAB sociale \xBB\r\n"));
        QStringList read;
        QVERIFY(LineListFile::read(path, &read));
        QCOMPARE(read, entries);
    }

    void writerSkipsEmptyEntriesAndKeepsLineEndsOutOfEntries()
    {
        QuilloTest::TempProgramFolder folder;
        const QString path = folder.filePath(u"Signatures.ini"_s);
        QVERIFY(LineListFile::write(path, {u"Le Directeur"_s, QString(), u"La\r\nDirection"_s}));
        QStringList read;
        QVERIFY(LineListFile::read(path, &read));
        QCOMPARE(read, (QStringList{u"Le Directeur"_s, u"La Direction"_s}));
    }

    void characterOutsideWindows1252IsNotLost()
    {
        QuilloTest::TempProgramFolder folder;
        const QString path = folder.filePath(u"Communes.ini"_s);
        const QStringList entries = {u"Paris"_s, u"Łódź"_s, u"Ōsaka"_s};
        QVERIFY(LineListFile::write(path, entries));
        QVERIFY(QuilloTest::readBytes(path).startsWith("\xEF\xBB\xBF"));
        QStringList read;
        QVERIFY(LineListFile::read(path, &read));
        QCOMPARE(read, entries);
    }

    void failedWriteKeepsTheOldFileAndSaysSo()
    {
        QuilloTest::TempProgramFolder folder;
        const QString path = folder.filePath(u"Fonctions.ini"_s);
        QVERIFY(LineListFile::write(path, {u"Maire"_s}));
        // A folder that cannot be written: the replacement cannot even start.
        QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QString error;
        const bool written = LineListFile::write(path, {u"Préfet"_s}, &error);
        QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        if (written)
            QSKIP("This account writes in read-only folders (root): nothing to check here.");
        QVERIFY2(error.contains(u"Fonctions.ini"_s), qPrintable(error));
        QStringList read;
        QVERIFY(LineListFile::read(path, &read));
        QCOMPARE(read, QStringList{u"Maire"_s});
    }

    void writeToAFolderThatDoesNotExistFails()
    {
        QuilloTest::TempProgramFolder folder;
        QString error;
        QVERIFY(!LineListFile::write(folder.filePath(u"absent/Objets.ini"_s), {u"x"_s}, &error));
        QVERIFY(!error.isEmpty());
    }
};

QUILLO_TEST_MAIN(TestLineListFile)
#include "tst_linelistfile.moc"
