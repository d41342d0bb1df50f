// Recipients from a spreadsheet's file into cards from step 2's batch list, through the mapping
// dialog, and the selected cards back out to a spreadsheet's file.
#include "ScriptedDialogs.h"
#include "TestSupport.h"
#include "core/ContactCard.h"
#include "core/DataPaths.h"
#include "core/Folders.h"
#include "dialogs/FrmImport.h"
#include "wizard/Fiches.h"
#include "wizard/Fonctions.h"
#include "wizard/FrmMenu.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>
#include <QTreeWidget>

using namespace Qt::StringLiterals;
using ContactCard::Kind;

namespace {

QStringList cardOf(const QString &name)
{
    QStringList fields;
    ContactCard::read(ContactCard::filePath(Kind::Recipient, name), Kind::Recipient, &fields);
    return fields;
}

QStringList cards()
{
    return cardNamesIn(DataPaths::recipientsFolder());
}

const QStringList kOldClaire = {u"Claire Durand"_s, u"1 rue Ancienne"_s, QString(), u"75001 Paris"_s,
                                QString(),          u"Madame"_s,         u"Maire"_s};

// A spreadsheet's semicolon CSV in Windows-1252: line 3 has no civility, line 4 a postcode that
// lost its zero.
const QByteArray kContacts = "Civilit\xE9;Pr\xE9nom;Nom;Adresse;Code postal;Ville;Fonction\r\n"
                             "Mme;Claire;Durand;3 rue Haute;75003;Paris;Directrice\r\n"
                             ";Luc;Petit;2 rue Basse;13001;Marseille;Adjoint\r\n"
                             "M.;Paul;Martin;8 quai Sud;1000;Bourg-en-Bresse;Maire\r\n";

} // namespace

class TestRecipientImport : public QObject
{
    Q_OBJECT

    std::unique_ptr<QuilloTest::TempProgramFolder> folder;
    std::shared_ptr<ScriptedDialogs> dialogs;
    FrmMenu *menu = nullptr;

    // Imports a file with the batch tab's button. The user's part runs in the mapping dialog,
    // which is then accepted unless that part closed it; answers go to the dialogs after it.
    void importFile(const QByteArray &content, const std::function<void(FrmImport *)> &user = {},
                    const QList<QMessageBox::StandardButton> &answers = {})
    {
        const QString path = folder->filePath(u"contacts.csv"_s);
        QuilloTest::writeBytes(path, content);
        dialogs->answerText(path);
        for (const QMessageBox::StandardButton answer : answers)
            dialogs->answerButton(answer);
        bool shown = false;
        QTimer::singleShot(0, [&] {
            FrmImport *dialog = menu->findChild<FrmImport *>();
            if (!dialog || !dialog->isModal())
                return;
            shown = true;
            if (user)
                user(dialog);
            if (dialog->isVisible())
                dialog->importButton->click();
        });
        menu->importRecipientsButton->click();
        QVERIFY(shown);
    }

private slots:
    void init()
    {
        folder = std::make_unique<QuilloTest::TempProgramFolder>();
        dialogs = ScriptedDialogs::install();
        Main();
        menu = FrmMenu::existing();
        menu->Affiche_Etape(1);
        menu->recipientMode->setCurrentIndex(1);
    }

    void cleanup()
    {
        const QStringList leftovers = QuilloTest::closeAllWindows();
        QCOMPARE(dialogs->unexpected, 0);
        ScriptedDialogs::uninstall();
        folder.reset();
        QVERIFY2(leftovers.isEmpty(), qPrintable(leftovers.join(u", "_s)));
    }

    void flaggedRowsAreLeftOutUnlessKept_data()
    {
        QTest::addColumn<bool>("keepLine3");
        QTest::addColumn<bool>("restoreZero");
        QTest::addColumn<QStringList>("imported");
        QTest::newRow("laissées de côté") << false << false << QStringList{u"Claire Durand"_s};
        QTest::newRow("gardée") << true << false << QStringList{u"Claire Durand"_s, u"Luc Petit"_s};
        QTest::newRow("zéro rétabli") << true << true
                                      << QStringList{u"Claire Durand"_s, u"Luc Petit"_s, u"Paul Martin"_s};
    }
    void flaggedRowsAreLeftOutUnlessKept()
    {
        QFETCH(bool, keepLine3);
        QFETCH(bool, restoreZero);
        QFETCH(QStringList, imported);
        // Line 5's name cannot be a file's: reported once the others are written.
        importFile(kContacts + "Mme;Jean;Dupont/Fils;1 rue Neuve;75001;Paris;\r\n",
                   [&](FrmImport *dialog) {
                       QCOMPARE(dialog->flaggedList->count(), 2);
                       QVERIFY(dialog->flaggedList->item(0)->text().startsWith(u"Ligne 3 : la civilité"_s));
                       QVERIFY(dialog->flaggedList->item(1)->text().startsWith(u"Ligne 4 : le code postal « 1000 »"_s));
                       if (keepLine3)
                           dialog->flaggedList->item(0)->setCheckState(Qt::Checked);
                       dialog->restoreZeroBox->setChecked(restoreZero);
                       // The choices outlive a column chosen, the file read with another separator
                       // or encoding ("Pr\uFFFDnom" is no header) and again as it was.
                       dialog->columnBoxes[size_t(ColumnRole::Function)]->setCurrentIndex(0);
                       dialog->columnBoxes[size_t(ColumnRole::Function)]->setCurrentIndex(7);
                       dialog->separatorBox->setCurrentText(u"Virgule"_s);
                       QCOMPARE(dialog->columnBoxes[0]->count(), 2); // "(aucune)", the one column
                       dialog->separatorBox->setCurrentText(u"Point-virgule"_s);
                       dialog->encodingBox->setCurrentText(u"UTF-8"_s);
                       QCOMPARE(dialog->columnBoxes[size_t(ColumnRole::FirstName)]->currentIndex(), 0);
                       dialog->encodingBox->setCurrentText(u"Windows-1252 (ANSI)"_s);
                   },
                   {QMessageBox::Ok});
        QCOMPARE(cards(), imported);
        QVERIFY(
            dialogs->requests.last().text.contains(u"Ligne 5 : « Jean Dupont/Fils » ne peut pas devenir une fiche."_s));
        QCOMPARE(selectedRecipientCards(), imported);
        if (restoreZero)
            QCOMPARE(cardOf(u"Paul Martin"_s).value(3), u"01000 Bourg-en-Bresse"_s);
    }

    void oneQuestionForEveryExistingCard_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<QStringList>("afterwards");
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QString>("claireAddress");
        const QString durand2 = u"Claire Durand (2)"_s;
        QTest::newRow("remplacer") << QMessageBox::Yes << QStringList{u"Claire Durand"_s, u"Luc Petit"_s}
                                   << QStringList{u"Claire Durand"_s, u"Luc Petit"_s} << u"3 rue Haute"_s;
        const QString durand3 = u"Claire Durand (3)"_s;
        QTest::newRow("garder les deux") << QMessageBox::Save
                                         << QStringList{u"Claire Durand"_s, durand2, durand3, u"Luc Petit"_s}
                                         << QStringList{durand2, durand3, u"Luc Petit"_s} << u"1 rue Ancienne"_s;
        QTest::newRow("ignorer") << QMessageBox::Ignore << QStringList{u"Claire Durand"_s, u"Luc Petit"_s}
                                 << QStringList{u"Luc Petit"_s} << u"1 rue Ancienne"_s;
        QTest::newRow("annuler") << QMessageBox::Cancel << QStringList{u"Claire Durand"_s}
                                 << QStringList{u"Claire Durand"_s} << u"1 rue Ancienne"_s;
    }
    void oneQuestionForEveryExistingCard()
    {
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(QStringList, afterwards);
        QFETCH(QStringList, selected);
        QFETCH(QString, claireAddress);
        QVERIFY(ContactCard::write(ContactCard::filePath(Kind::Recipient, kOldClaire.first()), Kind::Recipient,
                                   kOldClaire));
        Liste_Destinataires();
        // Claire twice in the file: still one question.
        importFile(kContacts + "Mme;Claire;Durand;3 rue Haute;75003;Paris;Directrice\r\n",
                   [](FrmImport *dialog) { dialog->flaggedList->item(0)->setCheckState(Qt::Checked); }, {answer});
        QCOMPARE(dialogs->requests.size(), 2); // the file, then the one question
        QCOMPARE(cards(), afterwards);
        QCOMPARE(selectedRecipientCards(), selected);
        QCOMPARE(cardOf(u"Claire Durand"_s).value(1), claireAddress);
        if (answer != QMessageBox::Save)
            return;
        // A numbered card shows the person's name; saved or deleted in single mode, it is itself,
        // never the card named like the person.
        emit menu->recipientList->itemDoubleClicked(menu->recipientList->topLevelItem(1), 0);
        menu->recipientFields[0]->setText(u"5 rue Neuve"_s);
        menu->recipientButtons[0]->click();
        Charge_Destinataire(u"Claire Durand (3)"_s);
        dialogs->answerButton(QMessageBox::Yes);
        dialogs->answerButton(QMessageBox::Ok);
        menu->recipientButtons[2]->click();
        QCOMPARE(cards(), (QStringList{u"Claire Durand"_s, u"Claire Durand (2)"_s, u"Luc Petit"_s}));
        QCOMPARE(cardOf(u"Claire Durand (2)"_s).value(1), u"5 rue Neuve"_s);
        QCOMPARE(cardOf(u"Claire Durand"_s), kOldClaire);
    }

    void cancelStopsBetweenWholeCards()
    {
        QByteArray content = "Civilit\xE9;Nom;Ville\r\n";
        for (int i = 0; i < 150; ++i)
            content += "Mme;Personne " + QByteArray::number(i) + ";75001 Paris\r\n";
        QTimer cancelling;
        connect(&cancelling, &QTimer::timeout, this, [&] {
            if (auto *progress = menu->findChild<QProgressDialog *>(); progress && progress->isVisible())
                progress->cancel(); // and hides it
        });
        cancelling.start(0);
        importFile(content);
        const QStringList written = cards();
        QVERIFY2(!written.isEmpty() && written.size() < 150, qPrintable(QString::number(written.size())));
        for (const QString &name : written)
            QCOMPARE(QuilloTest::readBytes(ContactCard::filePath(Kind::Recipient, name)).count("\r\n"), 7);
        QCOMPARE(QDir(DataPaths::recipientsFolder()).entryList(QDir::Files | QDir::Hidden).size(), written.size());
        QCOMPARE(selectedRecipientCards(), written);
    }

    void exportThenImportGivesTheSameCards()
    {
        const QList<QStringList> written = {
            kOldClaire,
            {u"Zoé Ärger"_s, u"=HYPERLINK(\"x\")"_s, u"-"_s, u"01000 Bourg"_s, u"France"_s, u"Mme"_s, u"@Trésorière"_s},
            {u"Luc Petit"_s, QString(), QString(), u"13001 Marseille"_s, QString(), u"M."_s, QString()}};
        for (const QStringList &card : written)
            QVERIFY(ContactCard::write(ContactCard::filePath(Kind::Recipient, card.first()), Kind::Recipient, card));
        Liste_Destinataires();
        selectRecipientCards({u"Zoé Ärger"_s, u"Claire Durand"_s});

        const QString exported = folder->filePath(u"export.csv"_s);
        dialogs->answerText(exported);
        menu->Mnu_OutSelection[5]->trigger();
        QVERIFY(QFile::remove(ContactCard::filePath(Kind::Recipient, u"Claire Durand"_s)) &&
                QFile::remove(ContactCard::filePath(Kind::Recipient, u"Zoé Ärger"_s)));

        importFile(QuilloTest::readBytes(exported),
                   [](FrmImport *dialog) { QCOMPARE(dialog->flaggedList->count(), 0); });
        QCOMPARE(cardOf(u"Claire Durand"_s), written[0]);
        QCOMPARE(cardOf(u"Zoé Ärger"_s), written[1]);
        QCOMPARE(selectedRecipientCards(), (QStringList{u"Claire Durand"_s, u"Zoé Ärger"_s}));
    }
};

QUILLO_TEST_MAIN(TestRecipientImport)
#include "tst_recipientimport.moc"
