#include "core/DataPaths.h"
#include "wizard/Fonctions.h"
#include "wizard/FrmMenu.h"
#include "TestSupport.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace {
QStringList itemsOf(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items.append(box->itemText(i));
    return items;
}

void writeList(const QString &folder, const QString &name, const QByteArray &bytes)
{
    QuilloTest::writeBytes(QDir(folder).filePath(name), bytes);
}
} // namespace

class TestFonctions : public QObject
{
    Q_OBJECT

    std::unique_ptr<QuilloTest::TempProgramFolder> folder;

private slots:
    void init()
    {
        folder = std::make_unique<QuilloTest::TempProgramFolder>();
        EtapeCourante = 0;
    }

    void cleanup()
    {
        QVERIFY(QuilloTest::closeAllWindows().isEmpty());
        folder.reset();
    }

    void firstStartWithoutCardsOrLists()
    {
        Main();
        FrmMenu *menu = FrmMenu::existing();
        QVERIFY(menu->isVisible());
        QCOMPARE(menu->senderName->count(), 0);
        QCOMPARE(menu->recipientName->count(), 0);
        QVERIFY(menu->senderName->currentText().isEmpty());
        for (QComboBox *box : {menu->town, menu->object, menu->signature, menu->formulaFirst, menu->formulaSecond,
                               menu->senderFunction, menu->recipientFunction})
            QCOMPARE(box->count(), 0);
        QVERIFY(QFileInfo(DataPaths::contentsFolder()).isDir());
    }

    void installedListsFillTheBoxes()
    {
        folder = std::make_unique<QuilloTest::TempProgramFolder>(true);
        Main();
        FrmMenu *menu = FrmMenu::existing();
        for (QComboBox *box : {menu->town, menu->object, menu->signature, menu->formulaFirst, menu->formulaSecond,
                               menu->senderFunction, menu->recipientFunction}) {
            QVERIFY2(box->count() > 0, qPrintable(box->objectName()));
            QVERIFY2(box->currentText().isEmpty(), qPrintable(box->objectName()));
        }
        QCOMPARE(itemsOf(menu->senderFunction), itemsOf(menu->recipientFunction));
    }

    void cardNamesAreListedSortedAndTheCardEditorEmptied()
    {
        Main();
        FrmMenu *menu = FrmMenu::existing();
        QuilloTest::writeBytes(QDir(DataPaths::sendersFolder()).filePath(u"Martin Jean.ini"_s), "x\r\n");
        QuilloTest::writeBytes(QDir(DataPaths::sendersFolder()).filePath(u"Durand Paul.ini"_s), "x\r\n");
        QuilloTest::writeBytes(QDir(DataPaths::sendersFolder()).filePath(u"notes.txt"_s), "x\r\n");
        QuilloTest::writeBytes(QDir(DataPaths::recipientsFolder()).filePath(u"x.ini"_s), "x\r\n");
        menu->senderName->setEditText(u"Quelqu'un"_s);
        menu->senderFields[5]->setText(u"06 00 00 00 00"_s);
        menu->senderQualifier->setEditText(u"Madame"_s);
        menu->senderFunction->setEditText(u"Maire"_s);
        menu->recipientFields[0]->setText(u"1 place de la Mairie"_s);

        Liste_Fiches(1);
        QCOMPARE(itemsOf(menu->senderName), (QStringList{u"Durand Paul"_s, u"Martin Jean"_s}));
        QVERIFY(menu->senderName->currentText().isEmpty());
        QVERIFY(menu->senderFields[5]->text().isEmpty());
        QVERIFY(menu->senderQualifier->currentText().isEmpty());
        QVERIFY(menu->senderFunction->currentText().isEmpty());
        QCOMPARE(menu->senderQualifier->count(), 6);                           // the qualifier items stay
        QCOMPARE(menu->recipientFields[0]->text(), u"1 place de la Mairie"_s); // the other kind untouched

        Liste_Fiches(2);
        QCOMPARE(itemsOf(menu->recipientName), QStringList{u"x"_s});
        QVERIFY(menu->recipientFields[0]->text().isEmpty());

        Liste_Fiches(3); // does nothing
        QCOMPARE(menu->recipientName->count(), 1);
    }

    void reloadShowsProperCaseWhereTheBoxWantsIt()
    {
        Main();
        FrmMenu *menu = FrmMenu::existing();
        writeList(DataPaths::referencesFolder(), u"Communes.ini"_s, "paris\r\n\r\nsaint-denis\r\nPARIS\r\n");
        writeList(DataPaths::referencesFolder(), u"Objets.ini"_s, "paris\r\nsaint-denis\r\n");
        writeList(DataPaths::referencesFolder(), u"Signatures.ini"_s, "le DIRECTEUR\r\n");
        Charge_Listes();
        QCOMPARE(itemsOf(menu->town), (QStringList{u"Paris"_s, u"Paris"_s, u"Saint-Denis"_s}));
        QCOMPARE(itemsOf(menu->object), (QStringList{u"paris"_s, u"saint-denis"_s}));
        QCOMPARE(itemsOf(menu->signature), QStringList{u"Le Directeur"_s});
    }

    void reloadKeepsWhatEachBoxShows()
    {
        Main();
        FrmMenu *menu = FrmMenu::existing();
        writeList(DataPaths::referencesFolder(), u"Fonctions.ini"_s, "Maire\r\nDirecteur\r\n");
        writeList(DataPaths::formulasFolder(), u"Formules1.ini"_s, "Je vous prie d'agréer\r\n");
        Charge_Listes();
        QCOMPARE(itemsOf(menu->senderFunction), (QStringList{u"Directeur"_s, u"Maire"_s}));
        menu->senderFunction->setCurrentIndex(1);
        menu->recipientFunction->setEditText(u"Préfet"_s);
        menu->formulaFirst->setEditText(u"Tapé à la main"_s);

        // "Maire" is no longer in the file: the box still shows it.
        writeList(DataPaths::referencesFolder(), u"Fonctions.ini"_s, "Directeur\r\nProviseur\r\n");
        Charge_Listes();
        QCOMPARE(itemsOf(menu->senderFunction), (QStringList{u"Directeur"_s, u"Proviseur"_s}));
        QCOMPARE(menu->senderFunction->currentText(), u"Maire"_s);
        QCOMPARE(menu->recipientFunction->currentText(), u"Préfet"_s);
        QCOMPARE(menu->formulaFirst->currentText(), u"Tapé à la main"_s);
    }

    void aMissingListEmptiesOnlyItsOwnBoxes()
    {
        folder = std::make_unique<QuilloTest::TempProgramFolder>(true);
        Main();
        FrmMenu *menu = FrmMenu::existing();
        menu->senderFunction->setEditText(u"Maire"_s);
        menu->town->setEditText(u"Lyon"_s);
        const int objects = menu->object->count();
        QVERIFY(QFile::remove(QDir(DataPaths::referencesFolder()).filePath(u"Fonctions.ini"_s)));
        Charge_Listes();
        QCOMPARE(menu->senderFunction->count(), 0);
        QCOMPARE(menu->recipientFunction->count(), 0);
        QCOMPARE(menu->senderFunction->currentText(), u"Maire"_s);
        // The lists after it still load.
        QVERIFY(menu->town->count() > 0);
        QCOMPARE(menu->town->currentText(), u"Lyon"_s);
        QCOMPARE(menu->object->count(), objects);
        QVERIFY(menu->formulaSecond->count() > 0);
    }

    void entriesAreSortedFrenchStyle()
    {
        Main();
        FrmMenu *menu = FrmMenu::existing();
        writeList(DataPaths::referencesFolder(), u"Objets.ini"_s,
                  "R\xE9"
                  "clamation\r\nabonnement\r\n\xC9tat des lieux\r\nDemande\r\n");
        Charge_Listes();
        QCOMPARE(itemsOf(menu->object),
                 (QStringList{u"abonnement"_s, u"Demande"_s, u"État des lieux"_s, u"Réclamation"_s}));
    }
};

QUILLO_TEST_MAIN(TestFonctions)
#include "tst_fonctions.moc"
