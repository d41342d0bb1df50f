#include "TestSupport.h"
#include "core/CsvReader.h"
#include "core/RecipientFile.h"

#include <QFile>
#include <QStringEncoder>

using namespace Qt::StringLiterals;

namespace {

QList<QStringList> cellsOf(const RecipientTable &table)
{
    QList<QStringList> cells;
    for (const RecipientTable::Row &row : table.rows)
        cells.append(row.cells);
    return cells;
}

QList<int> linesOf(const RecipientTable &table)
{
    QList<int> lines;
    for (const RecipientTable::Row &row : table.rows)
        lines.append(row.line);
    return lines;
}

} // namespace

class TestCsvReader : public QObject
{
    Q_OBJECT

private slots:
    void separatorIsDetected_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QChar>("separator");
        QTest::newRow("semicolon with decimal commas")
            << u"Nom;Montant;Ville\r\nDupont;12,50;Paris\r\nMartin;3,5;Lyon\r\n"_s << QChar(u';');
        QTest::newRow("comma with quoted semicolons")
            << u"Name,Street,City\n\"Smith; John\",\"1 Main St; Apt 2\",Lyon\nDoe,2 rue B,Nice\n"_s << QChar(u',');
        QTest::newRow("tab with commas in addresses")
            << u"Nom\tAdresse\tVille\nDupont\t12, rue A\tParis\nMartin\t3 rue B\tLyon\n"_s << QChar(u'\t');
        QTest::newRow("quoted line break does not end a line")
            << u"Nom,Adresse\n\"Dupont\",\"12 rue A\nBât; B\"\n\"Martin\",\"3 rue\"\n"_s << QChar(u',');
        QTest::newRow("one column") << u"Nom\nDupont\nMartin\n"_s << QChar(u';');
    }
    void separatorIsDetected()
    {
        QFETCH(QString, text);
        QFETCH(QChar, separator);
        QCOMPARE(CsvReader::detectSeparator(text), separator);
    }

    void quotedFieldsKeepSeparatorsQuotesAndLineBreaks()
    {
        const QString text = u"Nom;Adresse;Note\r\n"
                             u"\"Dupont; Jean\";\"12 rue A\r\nBât. B\";\"dit \"\"le grand\"\"\"\r\n"
                             u"\r\n"
                             u"Martin;3 rue B;\r\n"
                             u"\"\";;\"\"\r\n"
                             u"Durand;\"4 rue C\"  ;x"_s;
        const RecipientTable table = CsvReader::read(text, u';');
        QVERIFY(table.ok());
        QVERIFY(table.damaged.isEmpty());
        QCOMPARE(cellsOf(table), (QList<QStringList>{
                                     {u"Nom"_s, u"Adresse"_s, u"Note"_s},
                                     {u"Dupont; Jean"_s, u"12 rue A\r\nBât. B"_s, u"dit \"le grand\""_s},
                                     {u"Martin"_s, u"3 rue B"_s, QString()},
                                     {QString(), QString(), QString()},
                                     {u"Durand"_s, u"4 rue C"_s, u"x"_s},
                                 }));
        // The record over two lines moves the next ones down; the empty line is no record.
        QCOMPARE(linesOf(table), (QList<int>{1, 2, 5, 6, 7}));
    }

    void damagedRecordIsSkippedWithoutShiftingTheNextOnes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("damagedLines");
        QTest::addColumn<QList<int>>("rowLines");
        QTest::addColumn<QStringList>("names");
        // A quote opened and never closed: the rest of the file must not become one field.
        QTest::newRow("unclosed quote") << u"Nom;Ville\n\"Dupont;Paris\nMartin;Lyon\nDurand;Nice\n"_s << QList<int>{2}
                                        << QList<int>{1, 3, 4} << QStringList{u"Nom"_s, u"Martin"_s, u"Durand"_s};
        // A lost quote that a later quote seems to close: the text after that quote betrays it.
        QTest::newRow("quote closed on a later line")
            << u"Nom;Ville\n\"Dupont;Paris\nMartin;\"Lyon\"\nDurand;Nice\n"_s << QList<int>{2} << QList<int>{1, 3, 4}
            << QStringList{u"Nom"_s, u"Martin"_s, u"Durand"_s};
        QTest::newRow("text after a closing quote")
            << u"Nom;Ville\n\"Dupont\" Jean;Paris\nMartin;Lyon\n"_s << QList<int>{2} << QList<int>{1, 3}
            << QStringList{u"Nom"_s, u"Martin"_s};
        QTest::newRow("unclosed quote on the last line") << u"Nom;Ville\nMartin;Lyon\nDurand;\"Nice"_s << QList<int>{3}
                                                         << QList<int>{1, 2} << QStringList{u"Nom"_s, u"Martin"_s};
    }
    void damagedRecordIsSkippedWithoutShiftingTheNextOnes()
    {
        QFETCH(QString, text);
        QFETCH(QList<int>, damagedLines);
        QFETCH(QList<int>, rowLines);
        QFETCH(QStringList, names);
        const RecipientTable table = CsvReader::read(text, u';');
        QVERIFY(table.ok());
        QList<int> damaged;
        for (const RecipientTable::Damage &d : table.damaged)
            damaged.append(d.line);
        QCOMPARE(damaged, damagedLines);
        QCOMPARE(linesOf(table), rowLines);
        QStringList firstCells;
        for (const RecipientTable::Row &row : table.rows) {
            firstCells.append(row.cells.value(0));
            QCOMPARE(row.cells.size(), 2);
        }
        QCOMPARE(firstCells, names);
    }

    void limitsRefuseTheFile()
    {
        // A line over 1 MB.
        QString longLine = u"Nom;Ville\nDupont;"_s + QString(ImportLimits::kMaxLineChars + 1, u'x') + u"\n"_s;
        RecipientTable table = CsvReader::read(longLine, u';');
        QVERIFY(!table.ok());
        QVERIFY2(table.error.contains(u"ligne 2"_s) && table.error.contains(u"1 Mo"_s), qPrintable(table.error));
        QVERIFY(table.rows.isEmpty());

        // 100,000 rows besides the header are read; one more is refused.
        QString rows = u"Nom\n"_s;
        rows.reserve(ImportLimits::kMaxRows * 8);
        for (int i = 0; i < ImportLimits::kMaxRows; ++i)
            rows += u"N%1\n"_s.arg(i);
        table = CsvReader::read(rows, u';');
        QVERIFY(table.ok());
        QCOMPARE(table.rows.size(), ImportLimits::kMaxRows + 1);
        rows += u"Un de trop\n"_s;
        table = CsvReader::read(rows, u';');
        QVERIFY(!table.ok());
        QVERIFY(table.error.contains(u"100 000"_s));

        // A file of separators alone: far more cells than any list of recipients.
        const QString separators = (QString(1000, u';') + u"\n"_s).repeated(5000);
        table = CsvReader::read(separators, u';');
        QVERIFY(!table.ok());
        QVERIFY(table.error.contains(u"5 millions"_s));

        // A file made of damage is not read to its end.
        table = CsvReader::read(QString(u"\"x\"y\n"_s).repeated(ImportLimits::kMaxDamagedRows + 1), u';');
        QVERIFY(!table.ok());
        QVERIFY(table.rows.isEmpty() && table.damaged.isEmpty());
    }

    void fileOverFiftyMegabytesIsRefusedUnread()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"énorme.csv"_s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(ImportLimits::kMaxFileBytes + 1)); // sparse: costs no disk
        file.close();
        QByteArray bytes;
        QString error;
        QVERIFY(!RecipientFile::load(path, &bytes, &error));
        QVERIFY2(error.contains(u"50 Mo"_s) && error.contains(u"énorme.csv"_s), qPrintable(error));
        QVERIFY(bytes.isEmpty());
        QVERIFY(!RecipientFile::load(dir.filePath(u"absent.csv"_s), &bytes, &error));
        QVERIFY(error.contains(u"introuvable"_s));
    }

    void encodingsAreDetectedOrForced_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("asked");
        QTest::addColumn<int>("used");
        const QString text = u"Prénom;Ville\r\nHélène;Besançon\r\n"_s;
        QStringEncoder le(QStringEncoder::Utf16LE);
        QStringEncoder be(QStringEncoder::Utf16BE);
        const auto autoDetect = int(TextEncoding::Auto);
        QTest::newRow("utf-8 with mark") << QByteArray("\xEF\xBB\xBF") + text.toUtf8() << autoDetect
                                         << int(TextEncoding::Utf8);
        QTest::newRow("utf-8 without mark") << text.toUtf8() << autoDetect << int(TextEncoding::Utf8);
        QTest::newRow("utf-16 little-endian")
            << QByteArray("\xFF\xFE") + QByteArray(le.encode(text)) << autoDetect << int(TextEncoding::Utf16LE);
        QTest::newRow("utf-16 big-endian")
            << QByteArray("\xFE\xFF") + QByteArray(be.encode(text)) << autoDetect << int(TextEncoding::Utf16BE);
        QTest::newRow("windows-1252") << text.toLatin1() << autoDetect << int(TextEncoding::Windows1252);
        QTest::newRow("forced windows-1252")
            << text.toLatin1() << int(TextEncoding::Windows1252) << int(TextEncoding::Windows1252);
        QTest::newRow("forced utf-16 without mark")
            << QByteArray(le.encode(text)) << int(TextEncoding::Utf16LE) << int(TextEncoding::Utf16LE);
    }
    void encodingsAreDetectedOrForced()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, asked);
        QFETCH(int, used);
        RecipientFile::Options options;
        options.encoding = TextEncoding(asked);
        const RecipientTable table = RecipientFile::read(bytes, options);
        QVERIFY(table.ok());
        QCOMPARE(int(table.encoding), used);
        QCOMPARE(table.separator, QChar(u';'));
        QCOMPARE(cellsOf(table), (QList<QStringList>{{u"Prénom"_s, u"Ville"_s}, {u"Hélène"_s, u"Besançon"_s}}));
    }

    void quoteMakesFieldsReadBack()
    {
        const QStringList fields = {u"simple"_s,         u"a;b"_s,      u"dit \"x\""_s,
                                    u"ligne\r\nsuite"_s, u" espace "_s, QString()};
        QStringList quoted;
        for (const QString &f : fields)
            quoted.append(CsvReader::quote(f, u';'));
        QCOMPARE(quoted.first(), u"simple"_s);
        const RecipientTable table = CsvReader::read(quoted.join(u';') + u"\r\n"_s, u';');
        QCOMPARE(cellsOf(table), QList<QStringList>{fields});
    }
};

QUILLO_TEST_MAIN(TestCsvReader)
#include "tst_csvreader.moc"
