#include "TestSupport.h"
#include "dialogs/WindowRegistry.h"
#include "richtext/Twips.h"
#include "wizard/Fonctions.h"
#include "wizard/FrmMenu.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

class TestFrmMenu : public QObject
{
    Q_OBJECT

    std::unique_ptr<QuilloTest::TempProgramFolder> folder;

    static int shownStep(FrmMenu *menu)
    {
        int shown = 0;
        for (int step = 1; step <= 5; ++step) {
            if (!menu->stepPanel(step)->isHidden()) {
                if (shown)
                    return -1; // two panels at once
                shown = step;
            }
        }
        return shown;
    }

private slots:
    void init()
    {
        folder = std::make_unique<QuilloTest::TempProgramFolder>(true);
        EtapeCourante = 0;
    }

    void cleanup()
    {
        QVERIFY(QuilloTest::closeAllWindows().isEmpty());
        folder.reset();
    }

    void startsOnStepOneWithTitleAndVersion()
    {
        Main();
        FrmMenu *menu = FrmMenu::existing();
        QVERIFY(menu && menu->isVisible());
        QCOMPARE(menu->windowTitle(), u"Quillane"_s);
        QCOMPARE(menu->titleLabel->text(), u"Assistant à la création et à la rédaction de lettres type."_s);
        QVERIFY(QRegularExpression(u"^Quillane - v\\d+\\.\\d+\\.\\d+$"_s).match(menu->versionLabel->text()).hasMatch());
        QCOMPARE(shownStep(menu), 1);
        QCOMPARE(EtapeCourante, 0);
        QVERIFY(!menu->previousButton->isEnabled());
        QVERIFY(menu->nextButton->isEnabled());
        QVERIFY(menu->Mnu_OutEtape[6]->isEnabled()); // a letter goes to the editor without a model
        // Every heading and counter.
        const QStringList counters = {u"Etape 1 / 5"_s, u"Etape 2 / 5"_s, u"Etape 3 / 5"_s, u"Etape 4 / 5"_s,
                                      u"Etape 5 / 5"_s};
        for (int step = 1; step <= 5; ++step) {
            auto *counter = menu->stepPanel(step)->findChild<QLabel *>(u"LabelB_%1"_s.arg(2 * step - 2));
            QVERIFY(counter);
            QCOMPARE(counter->text(), counters[step - 1]);
        }
        QCOMPARE(menu->stepHeadings[2]->objectName(), u"LabelB_3"_s);
        QCOMPARE(menu->stepHeadings[2]->text(), u"Fiche d'identité du destinataire :"_s);
    }

    void nextAndPreviousWalkTheSteps()
    {
        Main();
        FrmMenu *menu = FrmMenu::existing();
        for (int step = 2; step <= 5; ++step) {
            QVERIFY(menu->nextButton->isEnabled());
            menu->nextButton->click();
            QCOMPARE(EtapeCourante, step);
            QCOMPARE(shownStep(menu), step);
            QVERIFY(menu->previousButton->isEnabled());
        }
        QVERIFY(!menu->nextButton->isEnabled());
        for (int step = 4; step >= 1; --step) {
            menu->previousButton->click();
            QCOMPARE(shownStep(menu), step);
        }
        QVERIFY(!menu->previousButton->isEnabled());
        QVERIFY(menu->nextButton->isEnabled());
    }

    void stepsMenuJumpsWithoutChecks()
    {
        Main();
        FrmMenu *menu = FrmMenu::existing();
        menu->Mnu_OutEtape[4]->trigger(); // "Finalisation de la lettre" from step 1, fields empty
        QCOMPARE(shownStep(menu), 5);
        QCOMPARE(EtapeCourante, 5);
        QVERIFY(!menu->nextButton->isEnabled());
        menu->previousButton->click();
        QCOMPARE(shownStep(menu), 4);
        menu->Mnu_OutEtape[0]->trigger();
        QCOMPARE(shownStep(menu), 1);
        QVERIFY(!menu->previousButton->isEnabled());
        const QStringList items = {u"Fiche expéditeur"_s, u"Fiche destinataire"_s, u"Objets et références"_s,
                                   u"Rédaction du corps"_s, u"Finalisation de la lettre"_s};
        for (int i = 0; i < 5; ++i)
            QCOMPARE(menu->Mnu_OutEtape[i]->text(), items[i]);
        QVERIFY(menu->Mnu_OutEtape[5]->isSeparator());
        QCOMPARE(menu->Mnu_OutEtape[6]->text(), u"Editeur de lettre..."_s);
    }

    void eachStepFocusesItsFirstField()
    {
        Main();
        FrmMenu *menu = FrmMenu::existing();
        menu->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(menu));
        const QList<QWidget *> firstFields = {menu->recipientName, menu->dateFormats, menu->body};
        for (QWidget *field : firstFields) {
            menu->nextButton->click();
            QTRY_COMPARE(QApplication::focusWidget(), field->focusProxy() ? field->focusProxy() : field);
        }
    }

    void keepsFieldContentsWhileMoving()
    {
        Main();
        FrmMenu *menu = FrmMenu::existing();
        menu->senderFields[0]->setText(u"12 rue des Lilas"_s);
        menu->Mnu_OutEtape[3]->trigger();
        menu->body->setPlainText(u"Corps"_s);
        menu->Mnu_OutEtape[0]->trigger();
        QCOMPARE(menu->senderFields[0]->text(), u"12 rue des Lilas"_s);
        QCOMPARE(menu->body->toPlainText(), u"Corps"_s);
    }

    void fieldsAreNamedForAssistiveTechnology()
    {
        Main();
        FrmMenu *menu = FrmMenu::existing();
        QCOMPARE(menu->senderName->objectName(), u"Combo1_0"_s);
        QCOMPARE(menu->senderName->accessibleName(), u"Nom et prénom"_s);
        QCOMPARE(menu->recipientFields[3]->objectName(), u"Text2_3"_s);
        QCOMPARE(menu->recipientFields[3]->accessibleName(), u"Province / Pays"_s);
        QCOMPARE(menu->town->accessibleName(), u"Communes / Villes"_s);
        QCOMPARE(menu->formulaSecond->objectName(), u"Combo3_5"_s);
        // Every input of the window has a name, and each button a text or a tooltip.
        for (QWidget *w : menu->findChildren<QWidget *>()) {
            if (qobject_cast<QLineEdit *>(w) && qobject_cast<QComboBox *>(w->parentWidget()))
                continue; // the editable part of a box
            if (qobject_cast<QComboBox *>(w) || qobject_cast<QLineEdit *>(w) || qobject_cast<QPlainTextEdit *>(w))
                QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
            if (auto *button = qobject_cast<QPushButton *>(w))
                QVERIFY2(!button->text().isEmpty() || !button->toolTip().isEmpty(), qPrintable(w->objectName()));
        }
    }

    void growsWithTheWindowAndRemembersItsSize()
    {
        Main();
        FrmMenu *menu = FrmMenu::existing();
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
        Main();
        FrmMenu *menu = FrmMenu::existing();
        // Stand-ins for the editor and the preview, loaded and shown.
        auto *editor = new QWidget;
        editor->setObjectName(u"frmEditeur"_s);
        WindowRegistry::add(u"frmEditeur"_s, editor);
        editor->show();
        auto *preview = new QWidget;
        preview->setObjectName(u"frmPage"_s);
        WindowRegistry::add(u"frmPage"_s, preview);
        preview->show();
        QPointer<QWidget> editorAlive(editor), previewAlive(preview);

        menu->quitButton->click();
        QVERIFY(editorAlive.isNull());
        QVERIFY(previewAlive.isNull());
        QVERIFY(!menu->isVisible());
        // No window is left open, so the application's last-window rule ends the program.
        for (QWidget *window : QApplication::topLevelWidgets())
            QVERIFY2(!window->isVisible(), qPrintable(window->objectName()));
        QVERIFY(!WindowRegistry::find(u"frmAssistant"_s)); // never loaded, not loaded by closing
    }
};

QUILLO_TEST_MAIN(TestFrmMenu)
#include "tst_frmmenu.moc"
