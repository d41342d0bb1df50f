#include "OldFolder.h"
#include "TestSupport.h"
#include "conversion/OldVersionFiles.h"

using namespace Qt::StringLiterals;
using ContactCard::Kind;

class TestOldVersionFiles : public QObject
{
    Q_OBJECT

private slots:
    void cleanLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("cleaned");
        QTest::newRow("quoted value") << u"\"Paris\""_s << u"Paris"_s;
        QTest::newRow("quotes inside become spaces") << u"le \"grand\" bureau"_s << u"le  grand  bureau"_s;
        QTest::newRow("spaces at both ends") << u"   Lyon  "_s << u"Lyon"_s;
        QTest::newRow("spaces only") << u"    "_s << QString();
    }

    void cleanLine()
    {
        QFETCH(QString, line);
        QFETCH(QString, cleaned);
        QCOMPARE(OldVersion::cleanLine(line), cleaned);
    }

    void senderTakesAddressBeforeResidenceAndDropsOldLine8()
    {
        OldFolder old;
        old.add(u"dupont.exp"_s, OldFolder::sender("\"Dupont Jean\""));
        OldVersion::Card card;
        bool complete = false;
        QVERIFY(OldVersion::readCard(old.path() + u"dupont.exp"_s, Kind::Sender, &card, &complete));
        QVERIFY(complete);
        QCOMPARE(card.sourceFile, u"dupont.exp"_s);
        QCOMPARE(card.fields,
                 (QStringList{u"Dupont Jean"_s, u"12 rue de l'Église"_s, u"Bât. A"_s, u"75001 Paris"_s, u"France"_s,
                              u"01 02 03 04 05"_s, u"06 07 08 09 10"_s, u"Monsieur"_s, u"Directeur général"_s}));
    }

    void shortCardsKeepWhatTheyHaveAndAreFlagged()
    {
        OldFolder old;
        old.add(u"court.exp"_s, "Durand\r\n\r\n5 rue Haute\r\n");
        old.add(u"neuf.exp"_s, OldFolder::sender("Martin").chopped(2)); // no final line end: still 10 lines
        old.add(u"vide.dst"_s, "");
        OldVersion::Card card;
        bool complete = true;
        QVERIFY(OldVersion::readCard(old.path() + u"court.exp"_s, Kind::Sender, &card, &complete));
        QVERIFY(!complete);
        QCOMPARE(card.fields, (QStringList{u"Durand"_s, u"5 rue Haute"_s, {}, {}, {}, {}, {}, {}, {}}));
        QVERIFY(OldVersion::readCard(old.path() + u"neuf.exp"_s, Kind::Sender, &card, &complete));
        QVERIFY(complete);
        QCOMPARE(card.fields.last(), u"Directeur général"_s);
        QVERIFY(OldVersion::readCard(old.path() + u"vide.dst"_s, Kind::Recipient, &card, &complete));
        QVERIFY(!complete);
        QCOMPARE(card.fields, QStringList(7));
    }

    void importReadsEveryFileAndGoesOnPastIncompleteOnes()
    {
        OldFolder old;
        old.add(u"a-court.exp"_s, "Abel\r\n");
        old.add(u"B.EXP"_s, OldFolder::sender("Bernard"));
        old.add(u"c.dst"_s, OldFolder::recipient("Claire"));
        old.add(u"d.dst"_s, "Denis\r\n\r\n\r\n");
        old.add(u"VILLE.LST"_s, "\"Paris\"\r\n   \r\n\r\n  Lyon \r\n");
        old.add(u"objets.lst"_s, "Demande d'emploi\r\n");
        old.add(u"Fonction.lst"_s, "Directeur\r\nMaire\r\n");
        old.add(u"Signature.lst"_s, "J. Dupont\r\n");
        old.add(u"FormuleD.lst"_s, "Je vous prie d'agr\xE9"
                                   "er, Madame,\r\n");
        old.add(u"FormuleF.lst"_s, "mes salutations distingu\xE9"
                                   "es.\r\n");
        old.add(u"Autre.lst"_s, "ignor\xE9\r\n");
        old.add(u"Introduction.lst"_s, "Suite \xE0\r\n\r\n");

        const OldVersion::ImportResult result = OldVersion::importFolder(old.path());
        QCOMPARE(result.data.senders.size(), 2);
        QCOMPARE(result.data.senders.at(0).fields.first(), u"Abel"_s);
        QCOMPARE(result.data.senders.at(1).fields.first(), u"Bernard"_s);
        QCOMPARE(result.data.recipients.size(), 2);
        QCOMPARE(result.data.recipients.at(0).fields.at(1), u"3 allée Verte"_s);
        QCOMPARE(result.incompleteFiles, (QStringList{u"a-court.exp"_s, u"d.dst"_s}));
        QVERIFY(result.unreadableFiles.isEmpty());
        const auto &lists = result.data.lists;
        QCOMPARE(lists[OldVersion::Towns], (QStringList{u"Paris"_s, u"Lyon"_s}));
        QCOMPARE(lists[OldVersion::Objects], QStringList{u"Demande d'emploi"_s});
        QCOMPARE(lists[OldVersion::Functions], (QStringList{u"Directeur"_s, u"Maire"_s}));
        QCOMPARE(lists[OldVersion::Signatures], QStringList{u"J. Dupont"_s});
        QCOMPARE(lists[OldVersion::FormulasFirst], QStringList{u"Je vous prie d'agréer, Madame,"_s});
        QCOMPARE(lists[OldVersion::FormulasSecond], QStringList{u"mes salutations distinguées."_s});

        QCOMPARE(OldVersion::importMessage(result),
                 u"Importation des fichiers terminés.\n\n2 fichiers de fiche étaient incomplets : ils ont été "
                 u"importés avec leurs champs manquants vides."_s);
    }

    void oversizedCardsAndListsAreRefusedAndNamed()
    {
        OldFolder old;
        old.add(u"long.exp"_s, OldFolder::sender(QByteArray(ListLimits::kMaxEntryLength + 1, 'N')));
        old.add(u"fonction.dst"_s, OldFolder::recipient("Claire").replace("Maire", QByteArray(600, 'M')));
        old.add(u"gros.dst"_s, OldFolder::recipient("Gros") + QByteArray(OldVersion::kMaxCardBytes, '\n'));
        old.add(u"juste.dst"_s, OldFolder::recipient(QByteArray(ListLimits::kMaxEntryLength, 'J')));
        QByteArray towns;
        for (qsizetype i = 0; i <= ListLimits::kMaxEntries; ++i)
            towns += "Ville " + QByteArray::number(i) + "\r\n";
        old.add(u"Ville.lst"_s, towns);
        // A name in the old Windows encoding, which no QString path reaches, is named all the same.
        const bool legacyName = QuilloTest::writeRawNamed(old.path(), "Caf\xE9.exp", OldFolder::sender("Caf\xE9"));

        const OldVersion::ImportResult result = OldVersion::importFolder(old.path());
        QCOMPARE(result.data.senders.size(), 0);
        QCOMPARE(result.data.recipients.size(), 1); // the name of exactly 500 characters
        QCOMPARE(result.data.lists[OldVersion::Towns].size(), ListLimits::kMaxEntries);
        const QString message = OldVersion::importMessage(result);
        for (const QString &named : {u"« long.exp »"_s, u"fonction.dst"_s, u"gros.dst"_s, u"Ville.lst : 1 entrée"_s})
            QVERIFY2(message.contains(named), qPrintable(named + u" in: "_s + message));
        QVERIFY2(!legacyName || message.contains(u"« Café.exp »"_s), qPrintable(message));
        QuilloTest::removeRawNamed(old.path(), "Caf\xE9.exp"); // else its folder cannot be removed
        QVERIFY2(message.size() < 2000, qPrintable(message));
    }

    void unreadableFilesAreNamedInTheMessage()
    {
        OldVersion::ImportResult result;
        result.unreadableFiles = QStringList{u"Le fichier « a.exp » ne peut pas être lu (Permission refusée)."_s};
        QCOMPARE(OldVersion::importMessage(result),
                 u"Importation des fichiers terminés.\n\nCe fichier n'a pas été importé :\n"
                 u"- Le fichier « a.exp » ne peut pas être lu (Permission refusée)."_s);
    }

    void longMessagesAreCutAfterTwentyItems()
    {
        QStringList items;
        for (int i = 0; i < 25; ++i)
            items.append(u"n%1"_s.arg(i));
        const QString text = OldVersion::messageLines(items);
        QCOMPARE(text.count(u'\n'), 21);
        QVERIFY(text.contains(u"\n- n19\n- et 5 autres."_s));
        QVERIFY(!text.contains(u"n20"_s));
    }
};

QUILLO_TEST_MAIN(TestOldVersionFiles)
#include "tst_oldversionfiles.moc"
