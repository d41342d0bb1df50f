// A converted folder, opened by the letter assistant's own start-up: the cards, the reference
// lists and the phrase lists are there.
#include "conversion/ConvertFiles.h"
#include "core/DataPaths.h"
#include "wizard/Fonctions.h"
#include "wizard/FrmMenu.h"
#include "OldFolder.h"
#include "core/PhraseFile.h"
#include "TestSupport.h"

#include <QComboBox>

using namespace Qt::StringLiterals;

namespace {
QStringList itemsOf(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items.append(box->itemText(i));
    return items;
}
} // namespace

class TestConvertedFolder : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(QuilloTest::closeAllWindows().isEmpty()); }

    void quilloOpensAConvertedFolder()
    {
        // Over an installation: the lists the old folder holds replace the installed ones, the
        // others stay.
        QuilloTest::TempProgramFolder folder(true);
        OldFolder old;
        old.add(u"dupont.exp"_s, OldFolder::sender("Dupont Jean"));
        old.add(u"lenoir.dst"_s, OldFolder::recipient("Lenoir Anne"));
        old.add(u"martin.dst"_s, OldFolder::recipient("Martin Paul"));
        old.add(u"Ville.lst"_s, "SAINT-DENIS\r\nparis\r\n");
        old.add(u"Fonction.lst"_s, "Maire\r\n");
        old.add(u"FormuleD.lst"_s, "Je vous prie d'agr\xE9"
                                   "er, Madame,\r\n");
        old.add(u"Conclusion simple.lst"_s,
                "Dans l'attente\r\nEn esp\xE9rant\r\n\r\nje demeure\r\n\r\n\r\n\xE0 votre\r\n");
        const OldVersion::ImportResult imported = OldVersion::importFolder(old.path());
        const ConvertFiles::Report report = ConvertFiles::convert(imported.data, old.path());
        QVERIFY(report.failures.isEmpty());
        QCOMPARE(report.cardsWritten, 3);
        QCOMPARE(report.listsNotFound, (QStringList{u"Objets.lst (Objets.ini)"_s, u"Signature.lst (Signatures.ini)"_s,
                                                    u"FormuleF.lst (Formules2.ini)"_s}));

        Main();
        FrmMenu *menu = FrmMenu::existing();
        QVERIFY(menu);
        QCOMPARE(itemsOf(menu->senderName), QStringList{u"Dupont Jean"_s});
        QCOMPARE(itemsOf(menu->recipientName), (QStringList{u"Lenoir Anne"_s, u"Martin Paul"_s}));
        QCOMPARE(itemsOf(menu->town), (QStringList{u"Paris"_s, u"Saint-Denis"_s}));
        QCOMPARE(itemsOf(menu->senderFunction), QStringList{u"Maire"_s});
        QCOMPARE(itemsOf(menu->formulaFirst), QStringList{u"Je vous prie d'agréer, Madame,"_s});
        QVERIFY(itemsOf(menu->object).contains(u"Réclamation"_s));

        QStringList card;
        QVERIFY(ContactCard::read(ContactCard::filePath(ContactCard::Kind::Sender, u"Dupont Jean"_s),
                                  ContactCard::Kind::Sender, &card));
        QCOMPARE(card.at(1), u"12 rue de l'Église"_s);
        QCOMPARE(card.at(8), u"Directeur général"_s);

        QList<QStringList> phrases;
        QVERIFY(PhraseFile::read(QDir(DataPaths::assistantFolder()).filePath(u"Conclusion1.ini"_s), 4, &phrases));
        QCOMPARE(phrases,
                 (QList<QStringList>{{u"Dans l'attente"_s, u"En espérant"_s}, {u"je demeure"_s}, {}, {u"à votre"_s}}));
        // The installed phrase files the old folder had no counterpart for are left as they were.
        QVERIFY(PhraseFile::read(QDir(DataPaths::assistantFolder()).filePath(u"Introduction.ini"_s), 8, &phrases));
        QVERIFY(!phrases.first().isEmpty());
    }
};

QUILLO_TEST_MAIN(TestConvertedFolder)
#include "tst_convertedfolder.moc"
