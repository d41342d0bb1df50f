// The card editors of steps 1 and 2, driven through their widgets: saving, loading, deleting,
// and the names and fields that must never reach a card file as typed.
#include "ScriptedDialogs.h"
#include "TestSupport.h"
#include "core/ContactCard.h"
#include "core/DataPaths.h"
#include "wizard/Fiches.h"
#include "wizard/Fonctions.h"
#include "wizard/FrmMenu.h"

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>

using namespace Qt::StringLiterals;
using QuilloTest::itemsOf;

namespace {

QString senderFile(const QString &name)
{
    return QDir(DataPaths::sendersFolder()).filePath(name + u".ini"_s);
}

QString recipientFile(const QString &name)
{
    return QDir(DataPaths::recipientsFolder()).filePath(name + u".ini"_s);
}

// Picks a name from the name box as a user does: the item is chosen from the list.
void chooseName(QComboBox *box, const QString &name)
{
    const int index = box->findText(name);
    QVERIFY2(index >= 0, qPrintable(name));
    box->setCurrentIndex(index);
    emit box->activated(index);
}

bool hasFocus(QWidget *widget)
{
    return QApplication::focusWidget() == widget || QApplication::focusWidget() == widget->focusProxy();
}

} // namespace

class TestFiches : public QObject
{
    Q_OBJECT

    std::unique_ptr<QuilloTest::TempProgramFolder> folder;
    std::shared_ptr<ScriptedDialogs> dialogs;
    FrmMenu *menu = nullptr;

    QPushButton *button(const QString &name) const { return menu->findChild<QPushButton *>(name); }

    void fillSender(const QString &name, const QString &qualifier, const QString &function)
    {
        menu->senderName->lineEdit()->clear();
        QTest::keyClicks(menu->senderName->lineEdit(), name);
        menu->senderQualifier->setEditText(qualifier);
        menu->senderFunction->setEditText(function);
    }

    // Activates the wizard so focus checks mean something.
    void activate()
    {
        menu->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(menu));
    }

private slots:
    void init()
    {
        folder = std::make_unique<QuilloTest::TempProgramFolder>(true);
        dialogs = ScriptedDialogs::install();
        EtapeCourante = 0;
        Main();
        menu = FrmMenu::existing();
    }

    void cleanup()
    {
        const int unexpected = dialogs->unexpected;
        ScriptedDialogs::uninstall();
        menu = nullptr;
        const QStringList leftovers = QuilloTest::closeAllWindows();
        folder.reset();
        QVERIFY2(leftovers.isEmpty(), qPrintable(leftovers.join(u", "_s)));
        QCOMPARE(unexpected, 0); // every dialog had its answer scripted
    }

    void typingANameEnablesSaveAndDelete()
    {
        for (const QString &kind : {u"1"_s, u"2"_s}) {
            auto *name = menu->findChild<QComboBox *>(u"Combo%1_0"_s.arg(kind));
            QPushButton *save = button(u"Outils%1_0"_s.arg(kind));
            QPushButton *remove = button(u"Outils%1_2"_s.arg(kind));
            QVERIFY(!save->isEnabled() && !remove->isEnabled());
            QTest::keyClicks(name->lineEdit(), u"D"_s);
            QVERIFY(save->isEnabled() && remove->isEnabled());
            // Whichever box changes, the name box decides.
            menu->findChild<QComboBox *>(u"Combo%1_2"_s.arg(kind))->setEditText(u"Maire"_s);
            QVERIFY(save->isEnabled());
            QTest::keyClick(name->lineEdit(), Qt::Key_Backspace);
            QVERIFY(!save->isEnabled() && !remove->isEnabled());
            QTest::keyClicks(name->lineEdit(), u"  "_s); // spaces alone name nothing
            QVERIFY(!save->isEnabled() && !remove->isEnabled());
            name->setEditText(QString());
        }
    }

    void savingWritesEachFieldOnItsLineAndShowsTheCardAgain()
    {
        fillSender(u"Jean Martin"_s, u"Monsieur"_s, u"Directeur"_s);
        menu->senderFields[5]->setText(u"06"_s);
        button(u"Outils1_0"_s)->click();
        QCOMPARE(QuilloTest::readBytes(senderFile(u"Jean Martin"_s)),
                 QByteArray("Jean Martin\r\n\r\n\r\n\r\n\r\n\r\n06\r\nMonsieur\r\nDirecteur\r\n"));
        QCOMPARE(itemsOf(menu->senderName), QStringList{u"Jean Martin"_s});
        QCOMPARE(menu->senderName->currentText(), u"Jean Martin"_s);
        QCOMPARE(menu->senderFunction->currentText(), u"Directeur"_s);
        // Said in the status line, without a message box.
        QCOMPARE(menu->statusBar()->currentMessage(), u"Fiche « Jean Martin » enregistrée."_s);

        // A recipient has seven lines; a private person needs no function.
        menu->Affiche_Etape(1);
        menu->recipientName->setEditText(u"Émile Zoé"_s);
        menu->recipientFields[0]->setText(u"3 rue de l'Église"_s);
        menu->recipientFields[3]->setText(u"Besançon"_s);
        menu->recipientQualifier->setEditText(u"Madame"_s);
        menu->recipientFunction->setEditText(QString());
        button(u"Outils2_0"_s)->click();
        QVERIFY(dialogs->requests.isEmpty());
        QCOMPARE(QuilloTest::readBytes(recipientFile(u"Émile Zoé"_s)),
                 QByteArray("\xC9mile Zo\xE9\r\n3 rue de l'\xC9glise\r\n\r\n\r\nBesan\xE7on\r\nMadame\r\n\r\n"));
    }

    // A company's name often ends with a full stop: the file is "Durand S.A..ini", listed again.
    void aNameEndingWithAFullStopOrASpaceIsACard()
    {
        for (const QString &name : {u"Durand S.A."_s, u"Martin "_s}) {
            fillSender(name, u"Monsieur"_s, u"Gérant"_s);
            button(u"Outils1_0"_s)->click();
            QVERIFY(QFile::exists(senderFile(name)));
        }
        QCOMPARE(itemsOf(menu->senderName), (QStringList{u"Durand S.A."_s, u"Martin "_s}));
        chooseName(menu->senderName, u"Durand S.A."_s);
        QCOMPARE(menu->senderFunction->currentText(), u"Gérant"_s);
    }

    void savingWithoutAMandatoryFieldIsRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("qualifier");
        QTest::addColumn<QString>("missing"); // the field the message names and the focus goes to
        QTest::newRow("no name") << QString() << u"Monsieur"_s << u"Combo1_0"_s;
        QTest::newRow("name of spaces") << u"   "_s << u"Monsieur"_s << u"Combo1_0"_s;
        QTest::newRow("qualifier of spaces") << u"Jean Martin"_s << u"  "_s << u"Combo1_1"_s;
    }

    void savingWithoutAMandatoryFieldIsRefused()
    {
        QFETCH(QString, name);
        QFETCH(QString, qualifier);
        QFETCH(QString, missing);
        activate();
        fillSender(name, qualifier, u"Directeur"_s);
        menu->senderFields[0]->setFocus();
        dialogs->answerButton(QMessageBox::Ok);
        Enregistre_Fiche(1); // the button is greyed without a name; the check itself still holds
        QCOMPARE(dialogs->requests.size(), 1);
        auto *field = menu->findChild<QComboBox *>(missing);
        QCOMPARE(
            dialogs->requests[0].text,
            u"Il est nécessaire de compléter le champ ''%1'' avant de sauver la fiche."_s.arg(field->accessibleName()));
        QCOMPARE(dialogs->requests[0].icon, Dialogs::Icon::Warning);
        QVERIFY(QuilloTest::filesUnder(DataPaths::sendersFolder()).isEmpty());
        QTRY_VERIFY(hasFocus(field));
        QCOMPARE(menu->senderName->currentText(), name); // nothing typed is lost
        QCOMPARE(menu->senderQualifier->currentText(), qualifier);
    }

    void savingUnderAnExistingNameOverwritesWithoutAQuestion()
    {
        QuilloTest::writeBytes(senderFile(u"Jean Martin"_s),
                               "Jean Martin\r\nAncienne adresse\r\n\r\n\r\n\r\n\r\n\r\nM.\r\nMaire\r\n");
        Liste_Fiches(1);
        chooseName(menu->senderName, u"Jean Martin"_s);
        QCOMPARE(menu->senderFields[0]->text(), u"Ancienne adresse"_s);
        menu->senderFields[0]->setText(u"Nouvelle adresse"_s);
        button(u"Outils1_0"_s)->click();
        // A new name makes a second card; the first stays as it was.
        menu->senderName->setEditText(u"Paul Durand"_s);
        button(u"Outils1_0"_s)->click();
        QVERIFY(dialogs->requests.isEmpty());
        QCOMPARE(itemsOf(menu->senderName), (QStringList{u"Jean Martin"_s, u"Paul Durand"_s}));
        const QByteArray rest = "\r\nNouvelle adresse\r\n\r\n\r\n\r\n\r\n\r\nM.\r\nMaire\r\n";
        QCOMPARE(QuilloTest::readBytes(senderFile(u"Jean Martin"_s)), "Jean Martin" + rest);
        QCOMPARE(QuilloTest::readBytes(senderFile(u"Paul Durand"_s)), "Paul Durand" + rest);
    }

    void namesThatCannotBeFileNamesAreRefusedBeforeWriting_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("climbs out") << u"../Destinataires/x"_s;
        QTest::newRow("device") << u"LPT1"_s;
    }

    void namesThatCannotBeFileNamesAreRefusedBeforeWriting()
    {
        QFETCH(QString, name);
        activate();
        const QStringList before = QuilloTest::filesUnder(folder->path());
        fillSender(name, u"Monsieur"_s, u"Maire"_s);
        dialogs->answerButton(QMessageBox::Ok);
        button(u"Outils1_0"_s)->click();
        QCOMPARE(dialogs->requests.size(), 1);
        QCOMPARE(dialogs->requests[0].text, ContactCard::nameProblem(name));
        QCOMPARE(QuilloTest::filesUnder(folder->path()), before);
        QTRY_VERIFY(hasFocus(menu->senderName));
        QCOMPARE(menu->senderName->currentText(), name);
    }

    void deletingThroughAPathNameNeverLeavesTheCardFolder()
    {
        // A sender card that a recipient name pointing outside its folder must not reach.
        QuilloTest::writeBytes(senderFile(u"Jean Martin"_s), "Jean Martin\r\n");
        menu->Affiche_Etape(1);
        menu->recipientName->setEditText(u"../Expéditeurs/Jean Martin"_s);
        dialogs->answerButton(QMessageBox::Yes);
        dialogs->answerButton(QMessageBox::Ok);
        button(u"Outils2_2"_s)->click();
        QVERIFY(QFile::exists(senderFile(u"Jean Martin"_s)));
        QCOMPARE(dialogs->requests.size(), 2);
        QCOMPARE(dialogs->requests[1].title, u"Erreur de suppression"_s);
        QVERIFY(dialogs->requests[1].text.contains(u"« / »"_s));
    }

    void deletingAsksFirst_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::newRow("Oui") << QMessageBox::Yes;
        QTest::newRow("Non") << QMessageBox::No;
    }

    void deletingAsksFirst()
    {
        QFETCH(QMessageBox::StandardButton, answer);
        QuilloTest::writeBytes(recipientFile(u"Alice"_s), "Alice\r\n1 rue Haute\r\n\r\n\r\n\r\nMadame\r\nMaire\r\n");
        QuilloTest::writeBytes(recipientFile(u"Bruno"_s), "Bruno\r\n\r\n\r\n\r\n\r\nMonsieur\r\nMaire\r\n");
        Liste_Fiches(2);
        menu->Affiche_Etape(1);
        chooseName(menu->recipientName, u"Alice"_s);
        dialogs->answerButton(answer);
        if (answer == QMessageBox::Yes)
            dialogs->answerButton(QMessageBox::Ok);
        button(u"Outils2_2"_s)->click();
        QCOMPARE(dialogs->requests[0].text, u"Confirmez-vous la suppression de cette fiche ?"_s);
        QCOMPARE(dialogs->requests[0].buttons, QMessageBox::Yes | QMessageBox::No);
        const bool deleted = answer == QMessageBox::Yes;
        QCOMPARE(dialogs->requests.size(), deleted ? 2 : 1);
        if (deleted)
            QCOMPARE(dialogs->requests[1].text, u"La fiche vient d'être supprimée."_s);
        QCOMPARE(QFile::exists(recipientFile(u"Alice"_s)), !deleted);
        QCOMPARE(itemsOf(menu->recipientName),
                 (deleted ? QStringList{u"Bruno"_s} : QStringList{u"Alice"_s, u"Bruno"_s}));
        QCOMPARE(menu->recipientFields[0]->text(), deleted ? QString() : u"1 rue Haute"_s);
        QCOMPARE(menu->recipientName->currentText(), deleted ? QString() : u"Alice"_s);
    }

    void deletingACardThatDoesNotExistSaysSo()
    {
        menu->senderName->setEditText(u"Inconnu"_s);
        menu->senderFields[2]->setText(u"75001 Paris"_s);
        dialogs->answerButton(QMessageBox::Yes);
        dialogs->answerButton(QMessageBox::Ok);
        button(u"Outils1_2"_s)->click();
        QCOMPARE(dialogs->requests.size(), 2);
        QCOMPARE(dialogs->requests[1].text, u"Fichier introuvable, cette fiche n'existe pas."_s);
        QCOMPARE(dialogs->requests[1].icon, Dialogs::Icon::Critical);
        QCOMPARE(menu->senderName->currentText(), u"Inconnu"_s);
        QCOMPARE(menu->senderFields[2]->text(), u"75001 Paris"_s);
    }

    void newEmptiesTheFieldsAndTouchesNoFile()
    {
        QuilloTest::writeBytes(senderFile(u"Jean Martin"_s),
                               "Jean Martin\r\n1 rue Haute\r\n\r\n\r\n\r\n\r\n06\r\nM.\r\nMaire\r\n");
        Liste_Fiches(1);
        chooseName(menu->senderName, u"Jean Martin"_s);
        button(u"Outils1_1"_s)->click();
        QVERIFY(menu->senderName->currentText().isEmpty());
        for (QLineEdit *field : menu->senderFields)
            QVERIFY(field->text().isEmpty());
        QVERIFY(menu->senderQualifier->currentText().isEmpty() && menu->senderFunction->currentText().isEmpty());
        QVERIFY(!button(u"Outils1_0"_s)->isEnabled() && !button(u"Outils1_2"_s)->isEnabled());
        QCOMPARE(itemsOf(menu->senderName), QStringList{u"Jean Martin"_s});
        QVERIFY(QFile::exists(senderFile(u"Jean Martin"_s)));
    }

    void cardsShowTheirFirstLineAndVanishedOnesNothing()
    {
        QuilloTest::writeBytes(recipientFile(u"dupont"_s), "Pierre Dupont\r\n\r\n\r\n\r\n\r\nMonsieur\r\nMaire\r\n");
        QuilloTest::writeBytes(recipientFile(u"parti"_s), "Parti\r\n");
        Liste_Fiches(2);
        QCOMPARE(itemsOf(menu->recipientName), (QStringList{u"dupont"_s, u"parti"_s}));
        chooseName(menu->recipientName, u"dupont"_s);
        QCOMPARE(menu->recipientName->currentText(), u"Pierre Dupont"_s);
        QCOMPARE(menu->recipientFunction->currentText(), u"Maire"_s);
        QVERIFY(QFile::remove(recipientFile(u"parti"_s)));
        chooseName(menu->recipientName, u"parti"_s);
        QVERIFY(menu->recipientName->currentText().isEmpty());
        QVERIFY(menu->recipientFunction->currentText().isEmpty());
        QVERIFY(dialogs->requests.isEmpty());
        // In the batch list a damaged card still has its row.
        QuilloTest::writeBytes(recipientFile(u"court"_s), "Court\r\n1 rue Haute\r\nBat A\r\n");
        Liste_Destinataires();
        QCOMPARE(menu->recipientList->topLevelItemCount(), 2);
        QCOMPARE(menu->recipientList->topLevelItem(0)->text(2), u"Bat A"_s);
    }

    void lineEndsNeverEnterAField()
    {
        QApplication::clipboard()->setText(u"12 rue des Lilas\r\nBâtiment B\nEscalier 3"_s);
        menu->senderFields[0]->setFocus();
        menu->senderFields[0]->paste();
        QCOMPARE(menu->senderFields[0]->text(), u"12 rue des Lilas Bâtiment B Escalier 3"_s);
        menu->senderName->lineEdit()->paste();
        QCOMPARE(menu->senderName->currentText(), u"12 rue des Lilas Bâtiment B Escalier 3"_s);
        // Text set by the program goes the same way, in every box of steps 1 to 3.
        menu->recipientFunction->setEditText(u"Maire\nadjoint"_s);
        QCOMPARE(menu->recipientFunction->currentText(), u"Maire adjoint"_s);
        menu->object->setEditText(u"Demande\r\nde rendez-vous"_s);
        QCOMPARE(menu->object->currentText(), u"Demande de rendez-vous"_s);
    }

    void aFailedWriteKeepsWhatWasTyped()
    {
        // A folder where the card file should go: no file can replace it, whoever runs the test.
        QVERIFY(QDir().mkpath(senderFile(u"Jean Martin"_s)));
        fillSender(u"Jean Martin"_s, u"Monsieur"_s, u"Directeur"_s);
        menu->senderFields[0]->setText(u"1 rue Haute"_s);
        dialogs->answerButton(QMessageBox::Ok);
        button(u"Outils1_0"_s)->click();
        QCOMPARE(dialogs->requests.size(), 1);
        QCOMPARE(dialogs->requests[0].icon, Dialogs::Icon::Critical);
        QVERIFY(dialogs->requests[0].text.startsWith(u"La fiche n'a pas pu être enregistrée."_s));
        QCOMPARE(menu->senderFields[0]->text(), u"1 rue Haute"_s);
        QCOMPARE(menu->senderName->currentText(), u"Jean Martin"_s);
    }
};

QUILLO_TEST_MAIN(TestFiches)
#include "tst_fiches.moc"
