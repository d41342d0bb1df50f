#include "ScriptedDialogs.h"
#include "TestSupport.h"
#include "app/Wiring.h"
#include "composition/ui/AjouteMot.h"
#include "composition/ui/FrmOptions.h"
#include "wizard/FrmMenu.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>

using namespace Qt::StringLiterals;
using QuilloTest::itemsOf;

class TestFrmOptions : public QObject
{
    Q_OBJECT

    std::unique_ptr<QuilloTest::TempProgramFolder> folder;
    std::shared_ptr<ScriptedDialogs> dialogs;

    QString referenceFile(const QString &name) const { return folder->filePath(u"Fichiers/Références/"_s + name); }
    QString formulaFile(const QString &name) const { return folder->filePath(u"Fichiers/Formules/"_s + name); }

    static void select(QListWidget *list, const QString &entry)
    {
        const QList<QListWidgetItem *> found = list->findItems(entry, Qt::MatchExactly);
        QVERIFY(!found.isEmpty());
        list->setCurrentItem(found.first());
    }

    // Opens the dialog the way the wizard's "Références" button does (modally), runs the user's
    // part while it is shown and returns once it is closed. The part must close it.
    static void openFromWizard(FrmMenu *menu, const std::function<void(FrmOptions *)> &userPart)
    {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            QPointer<FrmOptions> dialog = FrmOptions::existing();
            if (dialog && dialog->isVisible() && dialog->isModal()) {
                ran = true;
                userPart(dialog);
            }
            if (dialog && dialog->isVisible())
                dialog->reject();
        });
        menu->referencesButton->click();
        QVERIFY(ran);
        QVERIFY(!FrmOptions::existing()); // unloaded at each closing
    }

    // Takes the read right away; for an account that reads everything (root), puts in the
    // file's place a link to a file that cannot be read from its start.
    static bool makeUnreadable(const QString &path)
    {
        QFile::setPermissions(path, QFileDevice::WriteOwner);
        if (!QFile(path).open(QIODevice::ReadOnly))
            return true;
        QFile::remove(path);
        return QFile::link(u"/proc/self/mem"_s, path);
    }

private slots:
    void initTestCase()
    {
        // The windows take the wizard's letter as the program gives it to them.
        wireWindows();
    }

    void init()
    {
        folder = std::make_unique<QuilloTest::TempProgramFolder>(true);
        dialogs = ScriptedDialogs::install();
    }

    void cleanup()
    {
        QCOMPARE(dialogs->unexpected, 0);
        QVERIFY(QuilloTest::closeAllWindows().isEmpty());
        ScriptedDialogs::uninstall();
        folder.reset();
    }

    void opensOnTheFunctionsSortedWithoutRegardToCase()
    {
        QuilloTest::writeBytes(referenceFile(u"Fonctions.ini"_s), "secr\xE9taire\r\nDirecteur\r\n\r\nadjoint\r\n");
        FrmOptions *dialog = FrmOptions::instance();
        QCOMPARE(dialog->listTabs->currentIndex(), 0);
        QVERIFY(!dialog->formulaPart->isEnabled());
        QCOMPARE(itemsOf(dialog->entries), (QStringList{u"adjoint"_s, u"Directeur"_s, u"secrétaire"_s}));
        QCOMPARE(dialog->currentListFile(), referenceFile(u"Fonctions.ini"_s));
    }

    void addingAWordInAnotherCaseIsRefused()
    {
        const QByteArray before = "Paris\r\nLyon\r\n";
        QuilloTest::writeBytes(referenceFile(u"Communes.ini"_s), before);
        FrmOptions *dialog = FrmOptions::instance();
        dialog->listTabs->setCurrentIndex(1);
        dialog->word->setText(u"paris"_s);
        dialogs->answerButton(QMessageBox::Ok);
        dialog->editButtons[0]->click();
        QCOMPARE(dialogs->requests.size(), 1);
        QCOMPARE(dialogs->requests[0].text, u"Le mot ''PARIS'' est déjà présent dans la liste."_s);
        QCOMPARE(dialogs->requests[0].icon, Dialogs::Icon::Critical);
        QCOMPARE(itemsOf(dialog->entries), (QStringList{u"Lyon"_s, u"Paris"_s}));
        QCOMPARE(dialog->word->text(), u"paris"_s);
        QCOMPARE(QuilloTest::readBytes(referenceFile(u"Communes.ini"_s)), before);
        // Without the message flag, the look-up is silent.
        QCOMPARE(Ajoute_Mot(dialog->entries, u"LYON"_s, false), 0);
        QCOMPARE(dialogs->requests.size(), 1);
    }

    void newWordTakesItsPlaceAndTheFileLosesItsEmptyLines()
    {
        QuilloTest::writeBytes(referenceFile(u"Objets.ini"_s), "R\xE9"
                                                               "clamation\r\n\r\nabonnement\r\n\r\n\r\nZone\r\n");
        FrmOptions *dialog = FrmOptions::instance();
        dialog->listTabs->setCurrentIndex(2);
        QCOMPARE(itemsOf(dialog->entries), (QStringList{u"abonnement"_s, u"Réclamation"_s, u"Zone"_s}));
        dialog->word->setText(u"demande de congé"_s);
        dialog->editButtons[0]->click();
        QCOMPARE(itemsOf(dialog->entries),
                 (QStringList{u"abonnement"_s, u"demande de congé"_s, u"Réclamation"_s, u"Zone"_s}));
        QVERIFY(dialog->word->text().isEmpty());
        QCOMPARE(QuilloTest::readBytes(referenceFile(u"Objets.ini"_s)),
                 QByteArray("abonnement\r\ndemande de cong\xE9\r\nR\xE9"
                            "clamation\r\nZone\r\n"));
        QCOMPARE(dialogs->requests.size(), 0);
    }

    void checksOfTheInputChangeNothing()
    {
        const QByteArray before = QuilloTest::readBytes(referenceFile(u"Fonctions.ini"_s));
        FrmOptions *dialog = FrmOptions::instance();
        const QStringList entries = itemsOf(dialog->entries);
        QVERIFY(!entries.isEmpty());
        for (int i = 0; i < 4; ++i)
            dialogs->answerButton(QMessageBox::Ok);
        dialog->word->setText(u"   "_s);
        dialog->editButtons[0]->click(); // a word of spaces is no word
        dialog->word->setText(u"Gérant"_s);
        dialog->editButtons[1]->click(); // no entry selected
        dialog->editButtons[2]->click();
        dialog->entries->setCurrentRow(0);
        dialog->word->setText(u"  "_s);
        dialog->editButtons[1]->click(); // "Modifier" with a word of spaces
        QCOMPARE(dialogs->requests.size(), 4);
        QCOMPARE(dialogs->requests[0].text, u"Veuillez taper votre mot dans le champ avant de l'ajouter."_s);
        QCOMPARE(dialogs->requests[1].text, u"Pour modifier un mot vous devez d'abord le sélectionner."_s);
        QCOMPARE(dialogs->requests[2].text, u"Pour Supprimer un mot vous devez d'abord le sélectionner."_s);
        QCOMPARE(dialogs->requests[3].text, dialogs->requests[1].text);
        for (const Dialogs::Request &request : dialogs->requests)
            QCOMPARE(request.icon, Dialogs::Icon::Warning);
        QCOMPARE(itemsOf(dialog->entries), entries);
        QCOMPARE(QuilloTest::readBytes(referenceFile(u"Fonctions.ini"_s)), before);
    }

    void modifyingMovesTheEntryAndRefusesADuplicate()
    {
        QuilloTest::writeBytes(referenceFile(u"Signatures.ini"_s), "Le Directeur\r\nLa Secr\xE9taire\r\nAlain\r\n");
        FrmOptions *dialog = FrmOptions::instance();
        dialog->listTabs->setCurrentIndex(3);
        select(dialog->entries, u"La Secrétaire"_s);
        QCOMPARE(dialog->word->text(), u"La Secrétaire"_s); // the chosen entry is copied for editing

        dialog->word->setText(u"le directeur"_s);
        dialogs->answerButton(QMessageBox::Ok);
        dialog->editButtons[1]->click();
        QCOMPARE(dialogs->requests.size(), 1);
        QCOMPARE(dialogs->requests[0].text, u"Le mot ''LE DIRECTEUR'' est déjà présent dans la liste."_s);
        QCOMPARE(itemsOf(dialog->entries), (QStringList{u"Alain"_s, u"La Secrétaire"_s, u"Le Directeur"_s}));
        QCOMPARE(dialog->word->text(), u"le directeur"_s);

        dialog->word->setText(u"Marie Dupont"_s);
        dialog->editButtons[1]->click();
        QCOMPARE(itemsOf(dialog->entries), (QStringList{u"Alain"_s, u"Le Directeur"_s, u"Marie Dupont"_s}));
        QVERIFY(dialog->word->text().isEmpty());
        QCOMPARE(QuilloTest::readBytes(referenceFile(u"Signatures.ini"_s)),
                 QByteArray("Alain\r\nLe Directeur\r\nMarie Dupont\r\n"));

        // Changing only the letter case of the entry itself is no duplicate.
        select(dialog->entries, u"Alain"_s);
        dialog->word->setText(u"ALAIN"_s);
        dialog->editButtons[1]->click();
        QCOMPARE(itemsOf(dialog->entries), (QStringList{u"ALAIN"_s, u"Le Directeur"_s, u"Marie Dupont"_s}));
        QCOMPARE(dialogs->requests.size(), 1);
    }

    void tabsAndFormulaPartsChooseTheFile()
    {
        QuilloTest::writeBytes(formulaFile(u"Formules1.ini"_s), "Je vous prie d'agr\xE9"
                                                                "er\r\n");
        QuilloTest::writeBytes(formulaFile(u"Formules2.ini"_s), "mes salutations distingu\xE9"
                                                                "es.\r\n");
        FrmOptions *dialog = FrmOptions::instance();
        dialog->listTabs->setCurrentIndex(4);
        QVERIFY(dialog->formulaPart->isEnabled());
        QCOMPARE(dialog->formulaPart->currentIndex(), 0);
        QCOMPARE(itemsOf(dialog->entries), QStringList{u"Je vous prie d'agréer"_s});

        dialog->formulaPart->setCurrentIndex(1);
        QCOMPARE(dialog->currentListFile(), formulaFile(u"Formules2.ini"_s));
        QCOMPARE(itemsOf(dialog->entries), QStringList{u"mes salutations distinguées."_s});
        dialog->word->setText(u"l'expression de mes sentiments respectueux."_s);
        dialog->editButtons[0]->click();
        QCOMPARE(QuilloTest::readBytes(formulaFile(u"Formules2.ini"_s)),
                 QByteArray("l'expression de mes sentiments respectueux.\r\nmes salutations distingu\xE9"
                            "es.\r\n"));
        QCOMPARE(QuilloTest::readBytes(formulaFile(u"Formules1.ini"_s)), QByteArray("Je vous prie d'agr\xE9"
                                                                                    "er\r\n"));

        dialog->word->setText(u"à moitié tapé"_s);
        dialog->listTabs->setCurrentIndex(2);
        QVERIFY(!dialog->formulaPart->isEnabled());
        QCOMPARE(dialog->formulaPart->currentText(), u"Première partie de la formule de politesse"_s);
        QCOMPARE(dialog->currentListFile(), referenceFile(u"Objets.ini"_s));
        QVERIFY(dialog->word->text().isEmpty());
    }

    void missingFileGivesAnEmptyListThatTheFirstWordCreates()
    {
        QVERIFY(QFile::remove(referenceFile(u"Signatures.ini"_s)));
        FrmOptions *dialog = FrmOptions::instance();
        dialog->listTabs->setCurrentIndex(3);
        QCOMPARE(dialog->entries->count(), 0);
        QCOMPARE(dialogs->requests.size(), 0);
        dialog->word->setText(u"Le Maire"_s);
        dialog->editButtons[0]->click();
        QCOMPARE(QuilloTest::readBytes(referenceFile(u"Signatures.ini"_s)), QByteArray("Le Maire\r\n"));
    }

    void fileThatCannotBeWrittenIsReportedAndNothingIsLost()
    {
        // A folder in the file's place cannot be replaced by a file.
        QVERIFY(QFile::remove(referenceFile(u"Objets.ini"_s)));
        QVERIFY(QDir().mkpath(referenceFile(u"Objets.ini"_s)));
        FrmOptions *dialog = FrmOptions::instance();
        dialog->listTabs->setCurrentIndex(2);
        dialog->word->setText(u"Réclamation"_s);
        dialogs->answerButton(QMessageBox::Ok);
        dialog->editButtons[0]->click();
        QCOMPARE(dialogs->requests.size(), 1);
        QVERIFY2(dialogs->requests[0].text.contains(u"Objets.ini"_s) &&
                     dialogs->requests[0].text.contains(u"conservé"_s),
                 qPrintable(dialogs->requests[0].text));
        QCOMPARE(dialogs->requests[0].icon, Dialogs::Icon::Warning);
        QCOMPARE(dialog->entries->count(), 0);
        QCOMPARE(dialog->word->text(), u"Réclamation"_s);
    }

    void unreadableFileIsNotWipedBySaving()
    {
        const QString path = referenceFile(u"Communes.ini"_s);
        QuilloTest::writeBytes(path, "Paris\r\nLyon\r\n");
        if (!makeUnreadable(path))
            QSKIP("No way to make a file unreadable for this account.");
        FrmOptions *dialog = FrmOptions::instance();
        dialogs->answerButton(QMessageBox::Ok);
        dialog->listTabs->setCurrentIndex(1);
        QCOMPARE(dialogs->requests.size(), 1);
        QVERIFY2(dialogs->requests[0].text.contains(u"Communes.ini"_s), qPrintable(dialogs->requests[0].text));
        QVERIFY(!dialog->editButtons[0]->isEnabled());
        QVERIFY(!dialog->editButtons[1]->isEnabled());
        QVERIFY(!dialog->editButtons[2]->isEnabled());
        dialog->listTabs->setCurrentIndex(2);
        QVERIFY(dialog->editButtons[0]->isEnabled());
    }

    void aListReadInPartIsWrittenBackOnlyIfTheUserSaysSo()
    {
        const QByteArray objects = "Abonnement\r\n" + QByteArray(600, 'x') +
                                   "\r\nR\xE9"
                                   "clamation\r\n";
        QuilloTest::writeBytes(referenceFile(u"Objets.ini"_s), objects);
        FrmOptions *dialog = FrmOptions::instance();
        dialogs->answerButton(QMessageBox::No);
        dialog->listTabs->setCurrentIndex(2);
        QVERIFY2(dialogs->requests.last().text.contains(u"Objets.ini"_s) &&
                     dialogs->requests.last().text.contains(u"500 caractères"_s),
                 qPrintable(dialogs->requests.last().text));
        QCOMPARE(itemsOf(dialog->entries), (QStringList{u"Abonnement"_s, u"Réclamation"_s}));
        QVERIFY(!dialog->editButtons[0]->isEnabled()); // "Non": the file stays whole
        QCOMPARE(QuilloTest::readBytes(referenceFile(u"Objets.ini"_s)), objects);

        dialog->listTabs->setCurrentIndex(1);
        dialogs->answerButton(QMessageBox::Yes);
        dialog->listTabs->setCurrentIndex(2);
        dialog->word->setText(u"Devis"_s);
        dialog->editButtons[0]->click(); // "Oui": the list is written as shown, as the user was told
        QCOMPARE(QuilloTest::readBytes(referenceFile(u"Objets.ini"_s)), QByteArray("Abonnement\r\nDevis\r\nR\xE9"
                                                                                   "clamation\r\n"));
        QCOMPARE(dialogs->unexpected, 0);
    }

    void annulerPutsTheListsBackAndOkKeepsThem()
    {
        // Byte for byte, an empty line included; a list that did not exist goes again.
        const QByteArray objects = "Abonnement\r\n\r\nR\xE9"
                                   "clamation\r\n";
        QuilloTest::writeBytes(referenceFile(u"Objets.ini"_s), objects);
        const QByteArray towns = QuilloTest::readBytes(referenceFile(u"Communes.ini"_s));
        QVERIFY(QFile::remove(formulaFile(u"Formules2.ini"_s)));
        FrmMenu *menu = FrmMenu::instance();
        menu->object->addItems({u"Abonnement"_s, u"Réclamation"_s});
        menu->object->setEditText(u"Réclamation"_s);

        const auto changeThreeLists = [&](FrmOptions *dialog) {
            dialog->listTabs->setCurrentIndex(2);
            select(dialog->entries, u"Réclamation"_s);
            dialog->editButtons[2]->click();
            dialog->listTabs->setCurrentIndex(1);
            dialog->word->setText(u"Vienne"_s);
            dialog->editButtons[0]->click();
            dialog->word->setText(u"Lyon"_s);
            dialog->editButtons[0]->click(); // a duplicate: refused, nothing written
            dialog->listTabs->setCurrentIndex(4);
            dialog->formulaPart->setCurrentIndex(1);
            dialog->word->setText(u"mes salutations distinguées."_s);
            dialog->editButtons[0]->click();
            // Each change is on disk at once.
            QVERIFY(!QuilloTest::readBytes(referenceFile(u"Objets.ini"_s)).contains("clamation"));
            QVERIFY(QuilloTest::readBytes(referenceFile(u"Communes.ini"_s)).contains("Vienne"));
            QVERIFY(QFile::exists(formulaFile(u"Formules2.ini"_s)));
        };
        const auto unchanged = [&] {
            QCOMPARE(QuilloTest::readBytes(referenceFile(u"Objets.ini"_s)), objects);
            QCOMPARE(QuilloTest::readBytes(referenceFile(u"Communes.ini"_s)), towns);
            QVERIFY(!QFile::exists(formulaFile(u"Formules2.ini"_s)));
            QCOMPARE(itemsOf(menu->object), (QStringList{u"Abonnement"_s, u"Réclamation"_s}));
        };

        dialogs->answerButton(QMessageBox::Ok); // the duplicate's message
        openFromWizard(menu, [&](FrmOptions *dialog) {
            changeThreeLists(dialog);
            dialog->buttons[1]->click(); // "Annuler"
        });
        unchanged();
        // Closing the window is cancelling too.
        dialogs->answerButton(QMessageBox::Ok);
        openFromWizard(menu, [&](FrmOptions *dialog) {
            changeThreeLists(dialog);
            dialog->close();
        });
        unchanged();

        openFromWizard(menu, [&](FrmOptions *dialog) {
            // A fresh dialog, back on its first tab, with the files as they were put back.
            QCOMPARE(dialog->listTabs->currentIndex(), 0);
            dialog->listTabs->setCurrentIndex(2);
            QCOMPARE(itemsOf(dialog->entries), (QStringList{u"Abonnement"_s, u"Réclamation"_s}));
            select(dialog->entries, u"Réclamation"_s);
            dialog->editButtons[2]->click();
            dialog->buttons[0]->click(); // "Ok" keeps the change and reloads the wizard
        });
        QCOMPARE(QuilloTest::readBytes(referenceFile(u"Objets.ini"_s)), QByteArray("Abonnement\r\n"));
        QCOMPARE(itemsOf(menu->object), QStringList{u"Abonnement"_s});
        QCOMPARE(menu->object->currentText(), u"Réclamation"_s); // what the box showed stays
        QCOMPARE(dialogs->requests.size(), 2);
    }
};

QUILLO_TEST_MAIN(TestFrmOptions)
#include "tst_frmoptions.moc"
