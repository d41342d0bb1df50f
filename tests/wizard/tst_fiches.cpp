// The card editors of steps 1 and 2, driven through their widgets: saving, loading, deleting,
// and the names and fields that must never reach a card file as typed.
#include "core/ContactCard.h"
#include "core/DataPaths.h"
#include "wizard/Fiches.h"
#include "wizard/Fonctions.h"
#include "wizard/FrmMenu.h"
#include "ScriptedDialogs.h"
#include "TestSupport.h"

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

QString senderFile(const QString &name)
{
    return QDir(DataPaths::sendersFolder()).filePath(name + u".ini"_s);
}

QString recipientFile(const QString &name)
{
    return QDir(DataPaths::recipientsFolder()).filePath(name + u".ini"_s);
}

QStringList itemsOf(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items.append(box->itemText(i));
    return items;
}

// Every file under a folder, as paths relative to it.
QStringList filesUnder(const QString &root)
{
    QStringList files;
    const QDir dir(root);
    for (const QFileInfo &info : dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (info.isDir()) {
            for (const QString &inner : filesUnder(info.filePath()))
                files.append(info.fileName() + u'/' + inner);
        } else {
            files.append(info.fileName());
        }
    }
    return files;
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

    template <typename T> T *widget(const QString &name)
    {
        T *found = menu->findChild<T *>(name);
        if (!found)
            qFatal("no widget %s", qPrintable(name));
        return found;
    }

    void fillSender(const QString &name, const QString &qualifier, const QString &function)
    {
        QLineEdit *nameEdit = widget<QComboBox>(u"Combo1_0"_s)->lineEdit();
        nameEdit->clear();
        QTest::keyClicks(nameEdit, name);
        widget<QComboBox>(u"Combo1_1"_s)->setEditText(qualifier);
        widget<QComboBox>(u"Combo1_2"_s)->setEditText(function);
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
            auto *name = widget<QComboBox>(u"Combo%1_0"_s.arg(kind));
            auto *save = widget<QPushButton>(u"Outils%1_0"_s.arg(kind));
            auto *remove = widget<QPushButton>(u"Outils%1_2"_s.arg(kind));
            QVERIFY(!save->isEnabled() && !remove->isEnabled());
            QTest::keyClicks(name->lineEdit(), u"D"_s);
            QVERIFY(save->isEnabled() && remove->isEnabled());
            // Whichever box changes, the name box decides.
            widget<QComboBox>(u"Combo%1_2"_s.arg(kind))->setEditText(u"Maire"_s);
            QVERIFY(save->isEnabled());
            QTest::keyClick(name->lineEdit(), Qt::Key_Backspace);
            QVERIFY(!save->isEnabled() && !remove->isEnabled());
            // Spaces alone name nothing.
            QTest::keyClicks(name->lineEdit(), u"  "_s);
            QVERIFY(!save->isEnabled() && !remove->isEnabled());
            name->setEditText(QString());
        }
    }

    void savingWritesTheNineLinesAndShowsTheCardAgain()
    {
        fillSender(u"Jean Martin"_s, u"Monsieur"_s, u"Directeur"_s);
        widget<QPushButton>(u"Outils1_0"_s)->click();
        QVERIFY(dialogs->requests.isEmpty());
        QCOMPARE(QuilloTest::readBytes(senderFile(u"Jean Martin"_s)),
                 QByteArray("Jean Martin\r\n\r\n\r\n\r\n\r\n\r\n\r\nMonsieur\r\nDirecteur\r\n"));
        QCOMPARE(itemsOf(menu->senderName), QStringList{u"Jean Martin"_s});
        QCOMPARE(menu->senderName->currentText(), u"Jean Martin"_s);
        QCOMPARE(menu->senderQualifier->currentText(), u"Monsieur"_s);
        QCOMPARE(menu->senderFunction->currentText(), u"Directeur"_s);
        // Said in the status line, without a message box.
        QCOMPARE(menu->statusBar()->currentMessage(), u"Fiche « Jean Martin » enregistrée."_s);
    }

    void aPrivatePersonIsSavedWithoutAFunction()
    {
        // Only the qualifier is marked as required beside the name.
        for (int step : {1, 2}) {
            int marks = 0;
            for (const QLabel *label : menu->stepPanel(step)->findChildren<QLabel *>())
                marks += label->text() == u"< Obligatoire >"_s;
            QCOMPARE(marks, 1);
        }
        menu->Affiche_Etape(1);
        menu->recipientName->setEditText(u"Claire Petit"_s);
        menu->recipientQualifier->setEditText(u"Madame"_s);
        menu->recipientFunction->setEditText(u"   "_s);
        widget<QPushButton>(u"Outils2_0"_s)->click();
        QVERIFY(dialogs->requests.isEmpty());
        QVERIFY(QFile::exists(recipientFile(u"Claire Petit"_s)));
        QCOMPARE(menu->statusBar()->currentMessage(), u"Fiche « Claire Petit » enregistrée."_s);
    }

    // A company's name often ends with a full stop: the file is "Durand S.A..ini", listed again.
    void aNameEndingWithAFullStopOrASpaceIsACard()
    {
        for (const QString &name : {u"Durand S.A."_s, u"Martin "_s}) {
            fillSender(name, u"Monsieur"_s, u"Gérant"_s);
            widget<QPushButton>(u"Outils1_0"_s)->click();
            QVERIFY(dialogs->requests.isEmpty());
            QVERIFY(QFile::exists(senderFile(name)));
        }
        QCOMPARE(QFileInfo(senderFile(u"Durand S.A."_s)).fileName(), u"Durand S.A..ini"_s);
        QCOMPARE(itemsOf(menu->senderName), (QStringList{u"Durand S.A."_s, u"Martin "_s}));
        chooseName(menu->senderName, u"Durand S.A."_s);
        QCOMPARE(menu->senderFunction->currentText(), u"Gérant"_s);
    }

    void recipientCardKeepsItsSevenLinesAndAccents()
    {
        menu->Affiche_Etape(1);
        menu->recipientName->setEditText(u"Émile Zoé"_s);
        menu->recipientFields[0]->setText(u"3 rue de l'Église"_s);
        menu->recipientFields[3]->setText(u"Besançon"_s);
        menu->recipientQualifier->setEditText(u"Madame"_s);
        menu->recipientFunction->setEditText(u"Présidente"_s);
        widget<QPushButton>(u"Outils2_0"_s)->click();
        QCOMPARE(QuilloTest::readBytes(recipientFile(u"Émile Zoé"_s)),
                 QByteArray(
                     "\xC9mile Zo\xE9\r\n3 rue de l'\xC9glise\r\n\r\n\r\nBesan\xE7on\r\nMadame\r\nPr\xE9sidente\r\n"));
        QCOMPARE(itemsOf(menu->recipientName), QStringList{u"Émile Zoé"_s});
        QCOMPARE(menu->recipientFields[3]->text(), u"Besançon"_s);
    }

    void savingWithoutAMandatoryFieldIsRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("qualifier");
        QTest::addColumn<QString>("missing"); // the field the message names and the focus goes to
        QTest::newRow("no name") << QString() << u"Monsieur"_s << u"Combo1_0"_s;
        QTest::newRow("name of spaces") << u"   "_s << u"Monsieur"_s << u"Combo1_0"_s;
        QTest::newRow("nothing at all") << QString() << QString() << u"Combo1_0"_s;
        QTest::newRow("no qualifier") << u"Jean Martin"_s << QString() << u"Combo1_1"_s;
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
        // The button is greyed without a name; the check itself still holds.
        Enregistre_Fiche(1);
        QCOMPARE(dialogs->requests.size(), 1);
        const Dialogs::Request &asked = dialogs->requests.first();
        auto *field = widget<QComboBox>(missing);
        QCOMPARE(asked.text, u"Il est nécessaire de compléter le champ ''%1'' avant de sauver la fiche."_s.arg(
                                 field->accessibleName()));
        QCOMPARE(asked.icon, Dialogs::Icon::Warning);
        QCOMPARE(asked.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(asked.title, u"Quillane"_s);
        QVERIFY(filesUnder(DataPaths::sendersFolder()).isEmpty());
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
        widget<QPushButton>(u"Outils1_0"_s)->click();
        QVERIFY(dialogs->requests.isEmpty());
        QCOMPARE(QuilloTest::readBytes(senderFile(u"Jean Martin"_s)),
                 QByteArray("Jean Martin\r\nNouvelle adresse\r\n\r\n\r\n\r\n\r\n\r\nM.\r\nMaire\r\n"));

        // A new name makes a second card; the first stays as it was.
        menu->senderName->setEditText(u"Paul Durand"_s);
        widget<QPushButton>(u"Outils1_0"_s)->click();
        QCOMPARE(itemsOf(menu->senderName), (QStringList{u"Jean Martin"_s, u"Paul Durand"_s}));
        QCOMPARE(QuilloTest::readBytes(senderFile(u"Jean Martin"_s)),
                 QByteArray("Jean Martin\r\nNouvelle adresse\r\n\r\n\r\n\r\n\r\n\r\nM.\r\nMaire\r\n"));
        QCOMPARE(QuilloTest::readBytes(senderFile(u"Paul Durand"_s)),
                 QByteArray("Paul Durand\r\nNouvelle adresse\r\n\r\n\r\n\r\n\r\n\r\nM.\r\nMaire\r\n"));
    }

    void namesThatCannotBeFileNamesAreRefusedBeforeWriting_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("climbs out") << u"../Destinataires/x"_s;
        QTest::newRow("backslash") << u"..\\..\\x"_s;
        QTest::newRow("colon") << u"C:x"_s;
        QTest::newRow("only dots") << u".."_s;
        QTest::newRow("leading dot") << u".Martin"_s; // a hidden file: never listed
        QTest::newRow("device") << u"LPT1"_s;
        QTest::newRow("too long") << QString(201, u'a');
    }

    void namesThatCannotBeFileNamesAreRefusedBeforeWriting()
    {
        QFETCH(QString, name);
        activate();
        const QStringList before = filesUnder(folder->path());
        menu->senderName->setEditText(name);
        menu->senderQualifier->setEditText(u"Monsieur"_s);
        menu->senderFunction->setEditText(u"Maire"_s);
        dialogs->answerButton(QMessageBox::Ok);
        widget<QPushButton>(u"Outils1_0"_s)->click();
        QCOMPARE(dialogs->requests.size(), 1);
        QCOMPARE(dialogs->requests.first().text, ContactCard::nameProblem(name));
        QVERIFY(!dialogs->requests.first().text.isEmpty());
        QCOMPARE(dialogs->requests.first().icon, Dialogs::Icon::Warning);
        QCOMPARE(filesUnder(folder->path()), before);
        QTRY_VERIFY(hasFocus(menu->senderName));
        QCOMPARE(menu->senderName->currentText(), name);
        QCOMPARE(menu->senderFunction->currentText(), u"Maire"_s);
    }

    void deletingThroughAPathNameNeverLeavesTheCardFolder()
    {
        // A sender card that a recipient name pointing outside its folder must not reach.
        QuilloTest::writeBytes(senderFile(u"Jean Martin"_s), "Jean Martin\r\n");
        menu->Affiche_Etape(1);
        menu->recipientName->setEditText(u"../Expéditeurs/Jean Martin"_s);
        dialogs->answerButton(QMessageBox::Yes);
        dialogs->answerButton(QMessageBox::Ok);
        widget<QPushButton>(u"Outils2_2"_s)->click();
        QVERIFY(QFile::exists(senderFile(u"Jean Martin"_s)));
        QCOMPARE(dialogs->requests.size(), 2);
        QCOMPARE(dialogs->requests[1].title, u"Erreur de suppression"_s);
        QVERIFY(dialogs->requests[1].text.endsWith(u", cette fiche n'existe pas."_s));
        QVERIFY(dialogs->requests[1].text.contains(u"« / »"_s));
    }

    void deletingAfterConfirmationRemovesTheCard()
    {
        QuilloTest::writeBytes(recipientFile(u"Alice"_s), "Alice\r\n\r\n\r\n\r\n\r\nMadame\r\nMaire\r\n");
        QuilloTest::writeBytes(recipientFile(u"Bruno"_s), "Bruno\r\n\r\n\r\n\r\n\r\nMonsieur\r\nMaire\r\n");
        Liste_Fiches(2);
        menu->Affiche_Etape(1);
        chooseName(menu->recipientName, u"Alice"_s);
        dialogs->answerButton(QMessageBox::Yes);
        dialogs->answerButton(QMessageBox::Ok);
        widget<QPushButton>(u"Outils2_2"_s)->click();
        QCOMPARE(dialogs->requests.size(), 2);
        QCOMPARE(dialogs->requests[0].text, u"Confirmez-vous la suppression de cette fiche ?"_s);
        QCOMPARE(dialogs->requests[0].icon, Dialogs::Icon::Question);
        QCOMPARE(dialogs->requests[0].buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(dialogs->requests[0].title, u"Quillane"_s);
        QCOMPARE(dialogs->requests[1].text, u"La fiche vient d'être supprimée."_s);
        QCOMPARE(dialogs->requests[1].icon, Dialogs::Icon::Information);
        QVERIFY(!QFile::exists(recipientFile(u"Alice"_s)));
        QCOMPARE(itemsOf(menu->recipientName), QStringList{u"Bruno"_s});
        QVERIFY(menu->recipientName->currentText().isEmpty());
        QVERIFY(menu->recipientFunction->currentText().isEmpty());
    }

    void answeringNoLeavesEverythingAsItWas()
    {
        QuilloTest::writeBytes(senderFile(u"Jean Martin"_s),
                               "Jean Martin\r\n1 rue Haute\r\n\r\n\r\n\r\n\r\n\r\nM.\r\nMaire\r\n");
        Liste_Fiches(1);
        chooseName(menu->senderName, u"Jean Martin"_s);
        dialogs->answerButton(QMessageBox::No);
        widget<QPushButton>(u"Outils1_2"_s)->click();
        QCOMPARE(dialogs->requests.size(), 1);
        QVERIFY(QFile::exists(senderFile(u"Jean Martin"_s)));
        QCOMPARE(itemsOf(menu->senderName), QStringList{u"Jean Martin"_s});
        QCOMPARE(menu->senderFields[0]->text(), u"1 rue Haute"_s);
        QCOMPARE(menu->senderName->currentText(), u"Jean Martin"_s);
    }

    void deletingACardThatDoesNotExistSaysSo()
    {
        menu->senderName->setEditText(u"Inconnu"_s);
        menu->senderFields[2]->setText(u"75001 Paris"_s);
        dialogs->answerButton(QMessageBox::Yes);
        dialogs->answerButton(QMessageBox::Ok);
        widget<QPushButton>(u"Outils1_2"_s)->click();
        QCOMPARE(dialogs->requests.size(), 2);
        const Dialogs::Request &failure = dialogs->requests[1];
        QCOMPARE(failure.text, u"Fichier introuvable, cette fiche n'existe pas."_s);
        QCOMPARE(failure.title, u"Erreur de suppression"_s);
        QCOMPARE(failure.icon, Dialogs::Icon::Critical);
        QCOMPARE(failure.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(menu->senderName->currentText(), u"Inconnu"_s);
        QCOMPARE(menu->senderFields[2]->text(), u"75001 Paris"_s);
    }

    void newEmptiesTheFieldsAndTouchesNoFile()
    {
        QuilloTest::writeBytes(senderFile(u"Jean Martin"_s),
                               "Jean Martin\r\n1 rue Haute\r\n\r\n\r\n\r\n\r\n06\r\nM.\r\nMaire\r\n");
        Liste_Fiches(1);
        chooseName(menu->senderName, u"Jean Martin"_s);
        QVERIFY(widget<QPushButton>(u"Outils1_0"_s)->isEnabled());
        widget<QPushButton>(u"Outils1_1"_s)->click();
        QVERIFY(menu->senderName->currentText().isEmpty());
        for (QLineEdit *field : menu->senderFields)
            QVERIFY(field->text().isEmpty());
        QVERIFY(menu->senderQualifier->currentText().isEmpty());
        QVERIFY(menu->senderFunction->currentText().isEmpty());
        QVERIFY(!widget<QPushButton>(u"Outils1_0"_s)->isEnabled());
        QVERIFY(!widget<QPushButton>(u"Outils1_2"_s)->isEnabled());
        QCOMPARE(itemsOf(menu->senderName), QStringList{u"Jean Martin"_s});
        QVERIFY(QFile::exists(senderFile(u"Jean Martin"_s)));
    }

    void aCardIsShownUnderItsFirstLine()
    {
        QuilloTest::writeBytes(recipientFile(u"dupont"_s),
                               "Pierre Dupont\r\n\r\n\r\n\r\n\r\nMonsieur\r\nMaire\r\nen trop\r\n");
        Liste_Fiches(2);
        QCOMPARE(itemsOf(menu->recipientName), QStringList{u"dupont"_s});
        chooseName(menu->recipientName, u"dupont"_s);
        QCOMPARE(menu->recipientName->currentText(), u"Pierre Dupont"_s);
        QCOMPARE(menu->recipientFunction->currentText(), u"Maire"_s);
    }

    void damagedAndVanishedCardsLoadAsEmptyFields()
    {
        QuilloTest::writeBytes(senderFile(u"Court"_s), "Court\r\n1 rue Haute\r\nBat A\r\n");
        QuilloTest::writeBytes(senderFile(u"Parti"_s), "Parti\r\n");
        Liste_Fiches(1);
        chooseName(menu->senderName, u"Court"_s);
        QCOMPARE(menu->senderName->currentText(), u"Court"_s);
        QCOMPARE(menu->senderFields[1]->text(), u"Bat A"_s);
        QVERIFY(menu->senderFields[2]->text().isEmpty());
        QVERIFY(menu->senderQualifier->currentText().isEmpty());
        QVERIFY(menu->senderFunction->currentText().isEmpty());

        QVERIFY(QFile::remove(senderFile(u"Parti"_s)));
        chooseName(menu->senderName, u"Parti"_s);
        QVERIFY(menu->senderName->currentText().isEmpty());
        QVERIFY(menu->senderFields[0]->text().isEmpty());
        QVERIFY(dialogs->requests.isEmpty());

        // In the batch list a damaged card still has its row.
        QuilloTest::writeBytes(recipientFile(u"Court"_s), "Court\r\n1 rue Haute\r\nBat A\r\n");
        Liste_Destinataires();
        QCOMPARE(menu->recipientList->topLevelItemCount(), 1);
        QCOMPARE(menu->recipientList->topLevelItem(0)->text(2), u"Bat A"_s);
        QVERIFY(menu->recipientList->topLevelItem(0)->text(6).isEmpty());
    }

    void lineEndsNeverEnterAField()
    {
        // Pasted text.
        QApplication::clipboard()->setText(u"12 rue des Lilas\r\nBâtiment B\nEscalier 3"_s);
        QLineEdit *address = menu->senderFields[0];
        address->setFocus();
        address->paste();
        QCOMPARE(address->text(), u"12 rue des Lilas Bâtiment B Escalier 3"_s);
        QLineEdit *name = menu->senderName->lineEdit();
        name->paste();
        QCOMPARE(menu->senderName->currentText(), u"12 rue des Lilas Bâtiment B Escalier 3"_s);
        // Text set by the program goes the same way, in every box of steps 1 to 3.
        menu->recipientFunction->setEditText(u"Maire\nadjoint"_s);
        QCOMPARE(menu->recipientFunction->currentText(), u"Maire adjoint"_s);
        menu->object->setEditText(u"Demande\r\nde rendez-vous"_s);
        QCOMPARE(menu->object->currentText(), u"Demande de rendez-vous"_s);

        menu->senderName->setEditText(u"Jean\nMartin"_s);
        menu->senderQualifier->setEditText(u"Monsieur"_s);
        menu->senderFunction->setEditText(u"Directeur"_s);
        widget<QPushButton>(u"Outils1_0"_s)->click();
        QVERIFY(QFile::exists(senderFile(u"Jean Martin"_s)));
        QCOMPARE(QuilloTest::readBytes(senderFile(u"Jean Martin"_s)).count('\n'), 9);
    }

    void aFailedWriteKeepsWhatWasTyped()
    {
        // A folder where the card file should go: no file can replace it, whoever runs the test.
        QVERIFY(QDir().mkpath(senderFile(u"Jean Martin"_s)));
        fillSender(u"Jean Martin"_s, u"Monsieur"_s, u"Directeur"_s);
        menu->senderFields[0]->setText(u"1 rue Haute"_s);
        dialogs->answerButton(QMessageBox::Ok);
        widget<QPushButton>(u"Outils1_0"_s)->click();
        QCOMPARE(dialogs->requests.size(), 1);
        QCOMPARE(dialogs->requests.first().icon, Dialogs::Icon::Critical);
        QVERIFY(dialogs->requests.first().text.startsWith(u"La fiche n'a pas pu être enregistrée."_s));
        QCOMPARE(menu->senderFields[0]->text(), u"1 rue Haute"_s);
        QCOMPARE(menu->senderName->currentText(), u"Jean Martin"_s);
    }
};

QUILLO_TEST_MAIN(TestFiches)
#include "tst_fiches.moc"
