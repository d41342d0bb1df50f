// The wizard's start-up (Main, Liste_Fiches, Charge_Listes) and its navigation between the steps.
#include "ScriptedDialogs.h"
#include "TestSupport.h"
#include "core/DataPaths.h"
#include "core/ListLimits.h"
#include "dialogs/WindowRegistry.h"
#include "richtext/Twips.h"
#include "wizard/Fonctions.h"
#include "wizard/FrmMenu.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidget>

using namespace Qt::StringLiterals;
using QuilloTest::itemsOf;

class TestFrmMenu : public QObject
{
    Q_OBJECT

    std::unique_ptr<QuilloTest::TempProgramFolder> folder;
    FrmMenu *menu = nullptr;

    void start(bool withInstallation)
    {
        folder = std::make_unique<QuilloTest::TempProgramFolder>(withInstallation);
        Main();
        menu = FrmMenu::existing();
        QVERIFY(menu && menu->isVisible());
    }

    static void writeList(const QString &folder, const QString &name, const QByteArray &bytes)
    {
        QuilloTest::writeBytes(QDir(folder).filePath(name), bytes);
    }

    int shownStep() const
    {
        int shown = 0;
        for (int step = 1; step <= 5; ++step) {
            if (!menu->stepPanel(step)->isHidden())
                shown = shown ? -1 : step; // -1: two panels at once
        }
        return shown;
    }

    QList<QComboBox *> listBoxes() const
    {
        return {menu->town,          menu->object,         menu->signature,        menu->formulaFirst,
                menu->formulaSecond, menu->senderFunction, menu->recipientFunction};
    }

private slots:
    void init() { EtapeCourante = 0; }

    void cleanup()
    {
        QVERIFY(QuilloTest::closeAllWindows().isEmpty());
        menu = nullptr;
        folder.reset();
    }

    void firstStart_withoutCardsOrLists()
    {
        start(false);
        QCOMPARE(shownStep(), 1);
        QVERIFY(QRegularExpression(u"^Quillane - v\\d+\\.\\d+\\.\\d+$"_s).match(menu->versionLabel->text()).hasMatch());
        for (int step = 1; step <= 5; ++step) {
            auto *counter = menu->stepPanel(step)->findChild<QLabel *>(u"LabelB_%1"_s.arg(2 * step - 2));
            QCOMPARE(counter->text(), u"Etape %1 / 5"_s.arg(step));
        }
        QCOMPARE(menu->senderName->count() + menu->recipientName->count(), 0);
        for (QComboBox *box : listBoxes())
            QCOMPARE(box->count(), 0);
        QVERIFY(QFileInfo(DataPaths::contentsFolder()).isDir());
        QVERIFY(menu->Mnu_OutEtape[6]->isEnabled()); // a letter goes to the editor without a model
    }

    void installedListsFillTheBoxes()
    {
        start(true);
        for (QComboBox *box : listBoxes()) {
            QVERIFY2(box->count() > 0, qPrintable(box->objectName()));
            QVERIFY2(box->currentText().isEmpty(), qPrintable(box->objectName()));
        }
        QCOMPARE(itemsOf(menu->senderFunction), itemsOf(menu->recipientFunction));
    }

    void nextPreviousAndTheStepsMenu()
    {
        start(false);
        for (int step = 2; step <= 5; ++step) {
            QVERIFY(menu->nextButton->isEnabled());
            menu->nextButton->click();
            QCOMPARE(EtapeCourante, step);
            QCOMPARE(shownStep(), step);
            QVERIFY(menu->previousButton->isEnabled());
        }
        QVERIFY(!menu->nextButton->isEnabled());
        for (int step = 4; step >= 1; --step) {
            menu->previousButton->click();
            QCOMPARE(shownStep(), step);
        }
        QVERIFY(!menu->previousButton->isEnabled());
        // The menu jumps without checking the fields.
        menu->Mnu_OutEtape[4]->trigger();
        QCOMPARE(shownStep(), 5);
        QCOMPARE(EtapeCourante, 5);
        QVERIFY(!menu->nextButton->isEnabled());
        menu->Mnu_OutEtape[0]->trigger();
        QCOMPARE(shownStep(), 1);
        QVERIFY(!menu->previousButton->isEnabled());
    }

    void eachStepFocusesItsFirstField()
    {
        start(false);
        menu->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(menu));
        for (QWidget *field : {static_cast<QWidget *>(menu->recipientName), static_cast<QWidget *>(menu->dateFormats),
                               static_cast<QWidget *>(menu->body)}) {
            menu->nextButton->click();
            QTRY_COMPARE(QApplication::focusWidget(), field->focusProxy() ? field->focusProxy() : field);
        }
    }

    void growsWithTheWindowAndRemembersItsSize()
    {
        start(false);
        QWidget *client = menu->centralWidget();
        // The designed layout is the first size and the smallest one.
        const QSize designed(Twips::toPixels(7335), Twips::toPixels(6735));
        QCOMPARE(client->size(), designed);
        QVERIFY(menu->minimumSizeHint().height() >= designed.height());
        const QRect body = menu->body->geometry();
        const QRect list = menu->recipientList->geometry();
        const QRect name = menu->senderName->geometry();
        const QRect save = menu->senderButtons[0]->geometry();
        const QRect quit = menu->quitButton->geometry();
        const QRect references = menu->referencesButton->geometry();
        const int columns = menu->recipientList->columnWidth(0);

        menu->resize(menu->size() + QSize(300, 200));
        QTRY_COMPARE(client->size(), designed + QSize(300, 200));
        // The body, the batch list and the fields take the room; what stands at the right or
        // at the bottom moves with the edges.
        QCOMPARE(menu->body->size(), body.size() + QSize(300, 200));
        QCOMPARE(menu->recipientList->size(), list.size() + QSize(300, 200));
        QCOMPARE(menu->senderName->geometry(), name.adjusted(0, 0, 300, 0));
        QCOMPARE(menu->senderButtons[0]->geometry(), save.translated(300, 0));
        QCOMPARE(menu->quitButton->geometry(), quit.translated(300, 200));
        QCOMPARE(menu->referencesButton->geometry(), references.translated(0, 200));
        QVERIFY(menu->recipientList->columnWidth(0) >= columns);
        const QSize larger = menu->size();

        menu->quitButton->click();
        QVERIFY(!menu->isVisible());
        QuilloTest::closeAllWindows();
        Main();
        QCOMPARE(FrmMenu::existing()->size(), larger);
    }

    void quitClosesTheOtherWindowsAndTheWizard()
    {
        start(false);
        // Stand-ins for the editor and the preview, loaded and shown.
        QList<QPointer<QWidget>> others;
        for (const QString &name : {u"frmEditeur"_s, u"frmPage"_s}) {
            auto *window = new QWidget;
            window->setObjectName(name);
            WindowRegistry::add(name, window);
            window->show();
            others.append(window);
        }
        menu->quitButton->click();
        QVERIFY(others[0].isNull() && others[1].isNull());
        // No window is left open, so the application's last-window rule ends the program.
        for (QWidget *window : QApplication::topLevelWidgets())
            QVERIFY2(!window->isVisible(), qPrintable(window->objectName()));
        QVERIFY(!WindowRegistry::find(u"frmAssistant"_s)); // never loaded, not loaded by closing
    }

    void cardNamesAreListedSortedAndTheCardEditorEmptied()
    {
        start(false);
        for (const QString &file : {u"Martin Jean.ini"_s, u"Durand Paul.ini"_s, u"notes.txt"_s})
            writeList(DataPaths::sendersFolder(), file, "x\r\n");
        writeList(DataPaths::recipientsFolder(), u"x.ini"_s, "x\r\n");
        menu->senderName->setEditText(u"Quelqu'un"_s);
        menu->senderFields[5]->setText(u"06 00 00 00 00"_s);
        menu->senderQualifier->setEditText(u"Madame"_s);
        menu->senderFunction->setEditText(u"Maire"_s);
        menu->recipientFields[0]->setText(u"1 place de la Mairie"_s);

        Liste_Fiches(1);
        QCOMPARE(itemsOf(menu->senderName), (QStringList{u"Durand Paul"_s, u"Martin Jean"_s}));
        for (const QString &shown : {menu->senderName->currentText(), menu->senderFields[5]->text(),
                                     menu->senderQualifier->currentText(), menu->senderFunction->currentText()})
            QVERIFY(shown.isEmpty());
        QCOMPARE(menu->senderQualifier->count(), 6);                           // the qualifier items stay
        QCOMPARE(menu->recipientFields[0]->text(), u"1 place de la Mairie"_s); // the other kind untouched

        Liste_Fiches(2);
        QCOMPARE(itemsOf(menu->recipientName), QStringList{u"x"_s});
        QVERIFY(menu->recipientFields[0]->text().isEmpty());
        Liste_Fiches(3); // does nothing
        QCOMPARE(menu->recipientName->count(), 1);
    }

    void reloadSortsFrenchStyleInProperCaseWhereTheBoxWantsIt()
    {
        start(false);
        writeList(DataPaths::referencesFolder(), u"Communes.ini"_s, "paris\r\n\r\nsaint-denis\r\nPARIS\r\n");
        writeList(DataPaths::referencesFolder(), u"Objets.ini"_s,
                  "R\xE9"
                  "clamation\r\nabonnement\r\n\xC9tat des lieux\r\nDemande\r\nsaint-denis\r\n");
        writeList(DataPaths::referencesFolder(), u"Signatures.ini"_s, "le DIRECTEUR\r\n");
        Charge_Listes();
        QCOMPARE(itemsOf(menu->town), (QStringList{u"Paris"_s, u"Paris"_s, u"Saint-Denis"_s}));
        QCOMPARE(itemsOf(menu->object),
                 (QStringList{u"abonnement"_s, u"Demande"_s, u"État des lieux"_s, u"Réclamation"_s, u"saint-denis"_s}));
        QCOMPARE(itemsOf(menu->signature), QStringList{u"Le Directeur"_s});
    }

    void reloadKeepsWhatEachBoxShows()
    {
        start(false);
        writeList(DataPaths::referencesFolder(), u"Fonctions.ini"_s, "Maire\r\nDirecteur\r\n");
        writeList(DataPaths::formulasFolder(), u"Formules1.ini"_s, "Je vous prie d'agréer\r\n");
        Charge_Listes();
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

    void aListBeyondTheLimitsIsOfferedInPartAndSaysSo()
    {
        start(false);
        QByteArray bytes;
        for (qsizetype i = 0; i <= ListLimits::kMaxEntries; ++i)
            bytes += "Objet " + QByteArray::number(i) + "\r\n";
        writeList(DataPaths::referencesFolder(), u"Objets.ini"_s, bytes);
        const std::shared_ptr<ScriptedDialogs> dialogs = ScriptedDialogs::install();
        dialogs->answerButton(QMessageBox::Ok);
        Charge_Listes();
        ScriptedDialogs::uninstall();
        QCOMPARE(menu->object->count(), ListLimits::kMaxEntries);
        QCOMPARE(dialogs->requests.size(), 1);
        QVERIFY2(dialogs->requests[0].text.contains(u"Objets.ini : 1 entrée au-delà"_s),
                 qPrintable(dialogs->requests[0].text));
    }

    void aMissingListEmptiesOnlyItsOwnBoxes()
    {
        start(true);
        menu->senderFunction->setEditText(u"Maire"_s);
        menu->town->setEditText(u"Lyon"_s);
        const int objects = menu->object->count();
        QVERIFY(QFile::remove(QDir(DataPaths::referencesFolder()).filePath(u"Fonctions.ini"_s)));
        Charge_Listes();
        QCOMPARE(menu->senderFunction->count() + menu->recipientFunction->count(), 0);
        QCOMPARE(menu->senderFunction->currentText(), u"Maire"_s);
        // The lists after it still load.
        QVERIFY(menu->town->count() > 0);
        QCOMPARE(menu->town->currentText(), u"Lyon"_s);
        QCOMPARE(menu->object->count(), objects);
        QVERIFY(menu->formulaSecond->count() > 0);
    }
};

QUILLO_TEST_MAIN(TestFrmMenu)
#include "tst_frmmenu.moc"
