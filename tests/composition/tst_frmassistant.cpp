#include "ScriptedDialogs.h"
#include "TestSupport.h"
#include "app/Wiring.h"
#include "composition/ui/FrmAssistant.h"
#include "composition/ui/PhraseList.h"
#include "core/Clock.h"
#include "wizard/FrmMenu.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

using namespace Qt::StringLiterals;

class TestFrmAssistant : public QObject
{
    Q_OBJECT

    std::unique_ptr<QuilloTest::TempProgramFolder> folder;
    std::shared_ptr<ScriptedDialogs> dialogs;

    QString phraseFile(const QString &name) const { return folder->filePath(u"Assistant/"_s + name); }

    static FrmMenu *wizard()
    {
        FrmMenu *menu = FrmMenu::instance();
        menu->object->setEditText(QString());
        return menu;
    }

    // Opens the assistant the way the wizard does (modally), runs the user's part while it is
    // shown, and returns once it is closed. The part must close it.
    static void openFromWizard(FrmMenu *menu, const std::function<void(FrmAssistant *)> &userPart)
    {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            FrmAssistant *assistant = FrmAssistant::existing();
            if (assistant && assistant->isVisible() && assistant->isModal()) {
                ran = true;
                userPart(assistant);
            }
            if (assistant && assistant->isVisible())
                assistant->reject();
        });
        menu->bodyButtons[0]->click();
        QVERIFY(ran);
    }

    static void typeAndPress(PhraseList *list, const QString &text, Qt::Key key)
    {
        list->setEditText(text);
        QTest::keyClick(list, key);
    }

private slots:
    void initTestCase()
    {
        // The windows take the wizard's letter as the program gives it to them.
        wireWindows();
    }

    void init()
    {
        Clock::setFixed(QDateTime(QDate(2025, 5, 5), QTime(9, 0)));
        folder = std::make_unique<QuilloTest::TempProgramFolder>(true);
        dialogs = ScriptedDialogs::install();
    }

    void cleanup()
    {
        QCOMPARE(dialogs->unexpected, 0);
        QVERIFY(QuilloTest::closeAllWindows().isEmpty());
        ScriptedDialogs::uninstall();
        folder.reset();
        Clock::reset();
    }

    void shippedPhrasesComposeIntoFrenchSentences()
    {
        FrmMenu *menu = wizard();
        FrmAssistant *assistant = FrmAssistant::instance();
        for (const PhraseList *list : assistant->findChildren<PhraseList *>())
            QVERIFY(list->focusPolicy() & Qt::TabFocus); // each list is reached from the keyboard
        // The wizard's letter date in words, and the object's stand-in while the wizard has none.
        QCOMPARE(assistant->dateField->text(), u"5 mai 2025"_s);
        QCOMPARE(assistant->objectField->text(), u"le problème défini en objet"_s);

        assistant->composeButtons[0]->click();
        QCOMPARE(assistant->introductionText->toPlainText(),
                 u"Comme suite à ma demande datant du 5 mai 2025, concernant le problème défini en objet, j'ai "
                 u"l'honneur de vous adresser les documents dont je dispose."_s);
        QCOMPARE(assistant->introductionTabs->currentIndex(), 1);

        assistant->composeButtons[1]->click();
        QCOMPARE(assistant->conclusionText->toPlainText(),
                 u"Dans l'attente d'une réponse favorable, je demeure à la disposition de vos services pour tout "
                 u"renseignement complémentaire."_s);
        QCOMPARE(assistant->conclusionTabs->currentIndex(), 2);
        assistant->conclusionTabs->setCurrentIndex(1);
        assistant->composeButtons[2]->click();
        QCOMPARE(assistant->conclusionText->toPlainText(),
                 u"Comptant sur votre compréhension, je vous demande de bien vouloir m'indiquer la date d'un "
                 u"prochain rendez-vous."_s);

        // No middle part: no blank lines for it either.
        assistant->buttons[0]->click();
        QCOMPARE(menu->body->toPlainText(),
                 assistant->introductionText->toPlainText() + u"\n\n"_s + assistant->conclusionText->toPlainText());
        QVERIFY(!assistant->isVisible());
        QCOMPARE(FrmAssistant::existing(), assistant);
    }

    void listsFollowTheBlocksAndSortIgnoringCase()
    {
        QuilloTest::writeBytes(phraseFile(u"Introduction.ini"_s),
                               "Suite \xE0\r\n\r\nvotre lettre\r\nma demande\r\n\r\ndu\r\n\r\n");
        QuilloTest::writeBytes(phraseFile(u"Conclusion1.ini"_s), "a\r\n\r\nje reste\r\nJe demeure\r\n\r\nc\r\n\r\n"
                                                                 "d\r\n\r\nbloc en trop\r\n\r\n");
        wizard();
        FrmAssistant *assistant = FrmAssistant::instance();
        QCOMPARE(assistant->introductionLists[1]->fragments(), (QStringList{u"ma demande"_s, u"votre lettre"_s}));
        QCOMPARE(assistant->introductionLists[1]->currentText(), u"ma demande"_s);
        QCOMPARE(assistant->introductionLists[2]->fragments(), QStringList{u"du"_s});
        for (int i = 3; i < 8; ++i)
            QCOMPARE(assistant->introductionLists[i]->count(), 0);
        PhraseList *second = assistant->simpleConclusionLists[1];
        QCOMPARE(second->fragments(), (QStringList{u"Je demeure"_s, u"je reste"_s}));

        // Enter adds the typed text at its place and rewrites the file: four blocks, the second
        // longer by one line, the block beyond the lists gone.
        assistant->show();
        second->setFocus();
        dialogs->answerButton(QMessageBox::Yes);
        typeAndPress(second, u"je me tiens"_s, Qt::Key_Return);
        QCOMPARE(dialogs->requests.size(), 1);
        QCOMPARE(dialogs->requests[0].text, u"Ajouter « je me tiens » à la liste ?"_s);
        QCOMPARE(dialogs->requests[0].buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(second->fragments(), (QStringList{u"Je demeure"_s, u"je me tiens"_s, u"je reste"_s}));
        QCOMPARE(second->currentText(), u"je me tiens"_s);
        QCOMPARE(QuilloTest::readBytes(phraseFile(u"Conclusion1.ini"_s)),
                 QByteArray("a\r\n\r\nJe demeure\r\nje me tiens\r\nje reste\r\n\r\nc\r\n\r\nd\r\n\r\n"));
        QVERIFY(assistant->isVisible()); // Enter pressed no button of the dialog
        QCOMPARE(dialogs->requests.size(), 1);
    }

    void enterOnAnEmptyTextStoresNothing()
    {
        const QByteArray before = "a\r\n\r\nb\r\n\r\nc\r\n\r\nd\r\n\r\nbloc en trop\r\n\r\n";
        QuilloTest::writeBytes(phraseFile(u"Conclusion1.ini"_s), before);
        wizard();
        PhraseList *list = FrmAssistant::instance()->simpleConclusionLists[2];
        typeAndPress(list, QString(), Qt::Key_Return);
        typeAndPress(list, u"   "_s, Qt::Key_Enter);
        QCOMPARE(list->fragments(), QStringList{u"c"_s});
        // Not even rewritten: the block beyond the lists would have gone.
        QCOMPARE(QuilloTest::readBytes(phraseFile(u"Conclusion1.ini"_s)), before);
    }

    void backspaceRemovesOnlyTheChosenFragment()
    {
        QuilloTest::writeBytes(phraseFile(u"Conclusion2.ini"_s), "a\r\n\r\nje vous prie de\r\nje vous remercie de\r\n"
                                                                 "\r\nc\r\n\r\nd\r\n\r\ne\r\n\r\n");
        wizard();
        PhraseList *list = FrmAssistant::instance()->evolvedConclusionLists[1];
        list->setFocus();
        list->setCurrentIndex(1);
        dialogs->answerButton(QMessageBox::Yes);
        QTest::keyClick(list, Qt::Key_Backspace);
        QCOMPARE(dialogs->requests.size(), 1);
        QCOMPARE(dialogs->requests[0].text, u"Supprimer « je vous remercie de » de la liste ?"_s);
        QCOMPARE(list->fragments(), QStringList{u"je vous prie de"_s});
        // The key still erases in the text, and the next one erases only there.
        QCOMPARE(list->currentText(), u"je vous remercie d"_s);
        QTest::keyClick(list, Qt::Key_Backspace);
        QCOMPARE(list->fragments(), QStringList{u"je vous prie de"_s});
        QCOMPARE(list->currentText(), u"je vous remercie "_s);
        QCOMPARE(QuilloTest::readBytes(phraseFile(u"Conclusion2.ini"_s)),
                 QByteArray("a\r\n\r\nje vous prie de\r\n\r\nc\r\n\r\nd\r\n\r\ne\r\n\r\n"));

        // A fragment typed over is no longer the chosen one.
        list->setCurrentIndex(0);
        list->lineEdit()->end(false);
        QTest::keyClicks(list, u"x"_s);
        QTest::keyClick(list, Qt::Key_Backspace);
        QCOMPARE(list->fragments(), QStringList{u"je vous prie de"_s});
        QCOMPARE(list->currentText(), u"je vous prie de"_s);
    }

    void fileThatCannotBeWrittenIsReportedAndTheListStaysAsStored()
    {
        // A folder in the file's place: it can be neither read nor replaced.
        QVERIFY(QFile::remove(phraseFile(u"Conclusion1.ini"_s)));
        QVERIFY(QDir().mkpath(phraseFile(u"Conclusion1.ini"_s)));
        wizard();
        FrmAssistant *assistant = FrmAssistant::instance();
        PhraseList *list = assistant->simpleConclusionLists[0];
        QCOMPARE(list->count(), 0);
        dialogs->answerButton(QMessageBox::Yes);
        dialogs->answerButton(QMessageBox::Ok);
        typeAndPress(list, u"Dans l'attente"_s, Qt::Key_Return);
        QCOMPARE(dialogs->requests.size(), 2);
        const Dialogs::Request &message = dialogs->requests.last();
        QVERIFY2(message.text.contains(u"Conclusion1.ini"_s) && message.text.contains(u"conservé"_s),
                 qPrintable(message.text));
        QCOMPARE(message.icon, Dialogs::Icon::Warning);
        QCOMPARE(list->count(), 0);
        QCOMPARE(list->currentText(), u"Dans l'attente"_s); // what the user typed is still there
    }

    void removalThatCannotBeStoredPutsTheFragmentBack()
    {
        // A file on a read-only file system: it reads, but cannot be replaced.
        const QString readOnlyFile = u"/proc/version"_s;
        const QString path = phraseFile(u"Introduction.ini"_s);
        QFile::remove(path);
        if (!QFile::exists(readOnlyFile) || !QFile::link(readOnlyFile, path))
            QSKIP("No read-only file system to try a failed rewrite on.");
        wizard();
        PhraseList *list = FrmAssistant::instance()->introductionLists[0];
        QCOMPARE(list->count(), 1);
        const QString fragment = list->itemText(0);
        list->setFocus();
        dialogs->answerButton(QMessageBox::Yes);
        dialogs->answerButton(QMessageBox::Ok);
        QTest::keyClick(list, Qt::Key_Backspace);
        QCOMPARE(dialogs->requests.size(), 2);
        QVERIFY2(dialogs->requests.last().text.contains(u"Introduction.ini"_s),
                 qPrintable(dialogs->requests.last().text));
        QCOMPARE(list->fragments(), QStringList{fragment});
        QCOMPARE(list->currentText(), fragment.chopped(1));
        QCOMPARE(list->chosenIndex(), -1);
    }

    void unreadablePhraseFileIsNotWipedByAnEdit()
    {
        const QString path = phraseFile(u"Introduction.ini"_s);
        // Read right taken away; for an account that reads everything (root), a link to a file
        // that cannot be read from its start.
        QFile::setPermissions(path, QFileDevice::WriteOwner);
        if (QFile(path).open(QIODevice::ReadOnly)) {
            QFile::remove(path);
            if (!QFile::link(u"/proc/self/mem"_s, path))
                QSKIP("No way to make a file unreadable for this account.");
        }
        wizard();
        PhraseList *list = FrmAssistant::instance()->introductionLists[0];
        QCOMPARE(list->count(), 0);
        dialogs->answerButton(QMessageBox::Yes);
        dialogs->answerButton(QMessageBox::Ok);
        typeAndPress(list, u"Comme suite à"_s, Qt::Key_Return);
        QCOMPARE(dialogs->requests.size(), 2);
        QVERIFY2(dialogs->requests.last().text.contains(u"Introduction.ini"_s),
                 qPrintable(dialogs->requests.last().text));
        QCOMPARE(list->count(), 0);
        // A Backspace that removes nothing rewrites nothing either.
        QTest::keyClick(list, Qt::Key_Backspace);
        QCOMPARE(dialogs->requests.size(), 2);
        const QFileInfo kept(path);
        QVERIFY(kept.isSymLink() || (QFile::setPermissions(path, QFileDevice::ReadOwner) &&
                                     QuilloTest::readBytes(path).startsWith("Comme suite")));
    }

    void aPhraseFileReadInPartIsSaidAndNotRewritten()
    {
        const QByteArray bytes = "Comme suite \xE0\r\n" + QByteArray(501, 'x') + "\r\n\r\n";
        QuilloTest::writeBytes(phraseFile(u"Introduction.ini"_s), bytes);
        wizard();
        dialogs->answerButton(QMessageBox::Ok);
        PhraseList *list = FrmAssistant::instance()->introductionLists[0];
        QCOMPARE(dialogs->requests.size(), 1);
        QVERIFY2(dialogs->requests[0].text.contains(u"Introduction.ini : 1 entrée de plus de 500"_s),
                 qPrintable(dialogs->requests[0].text));
        QCOMPARE(list->fragments(), QStringList{u"Comme suite à"_s});
        dialogs->answerButton(QMessageBox::Yes);
        dialogs->answerButton(QMessageBox::Ok);
        typeAndPress(list, u"Suite à"_s, Qt::Key_Return);
        QVERIFY2(dialogs->requests.last().text.contains(u"qu'en partie"_s), qPrintable(dialogs->requests.last().text));
        QCOMPARE(QuilloTest::readBytes(phraseFile(u"Introduction.ini"_s)), bytes);
    }

    void noAnswerLeavesThePhraseFileAsItWas()
    {
        const QByteArray before = "a\r\n\r\nJe demeure\r\nje reste\r\n\r\nc\r\n\r\nd\r\n\r\n";
        QuilloTest::writeBytes(phraseFile(u"Conclusion1.ini"_s), before);
        wizard();
        PhraseList *list = FrmAssistant::instance()->simpleConclusionLists[1];
        list->setFocus();
        // Correcting a word of the chosen phrase: "Non" keeps the phrase, the key still erases.
        list->setCurrentIndex(0);
        dialogs->answerButton(QMessageBox::No);
        QTest::keyClick(list, Qt::Key_Backspace);
        QCOMPARE(list->currentText(), u"Je demeur"_s);
        // Once the text is no longer the phrase, Backspace only erases.
        QTest::keyClick(list, Qt::Key_Backspace);
        QCOMPARE(list->currentText(), u"Je demeu"_s);
        QCOMPARE(dialogs->requests.size(), 1);
        // A new text: "Non" stores nothing.
        dialogs->answerButton(QMessageBox::No);
        typeAndPress(list, u"je me tiens"_s, Qt::Key_Return);
        QCOMPARE(dialogs->requests.size(), 2);
        // A phrase the list holds already, whatever its letter case: no question, nothing added.
        typeAndPress(list, u"JE RESTE"_s, Qt::Key_Return);
        QCOMPARE(dialogs->requests.size(), 2);
        QCOMPARE(list->fragments(), (QStringList{u"Je demeure"_s, u"je reste"_s}));
        QCOMPARE(QuilloTest::readBytes(phraseFile(u"Conclusion1.ini"_s)), before);
    }

    void appliquerAsksBeforeReplacingABody_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("replace");
        QTest::addColumn<QMessageBox::StandardButton>("bringIn");
        QTest::addColumn<QString>("body");   // the wizard's body afterwards
        QTest::addColumn<QString>("middle"); // "Développement personnel" afterwards
        QTest::newRow("replace") << QMessageBox::Yes << QMessageBox::NoButton << u"Mon propre texte."_s
                                 << u"Mon propre texte."_s;
        QTest::newRow("bring it into the middle part")
            << QMessageBox::No << QMessageBox::Yes << u"Ancien corps\nsur deux lignes"_s
            << u"Mon propre texte.\n\nAncien corps\nsur deux lignes"_s;
        QTest::newRow("neither") << QMessageBox::No << QMessageBox::No << u"Ancien corps\nsur deux lignes"_s
                                 << u"Mon propre texte."_s;
    }

    void appliquerAsksBeforeReplacingABody()
    {
        QFETCH(QMessageBox::StandardButton, replace);
        QFETCH(QMessageBox::StandardButton, bringIn);
        QFETCH(QString, body);
        QFETCH(QString, middle);
        FrmMenu *menu = wizard();
        menu->body->setPlainText(u"Ancien corps\nsur deux lignes"_s);
        FrmAssistant *assistant = FrmAssistant::instance();
        assistant->show();
        assistant->middleText->setPlainText(u"Mon propre texte."_s);
        dialogs->answerButton(replace);
        if (bringIn != QMessageBox::NoButton)
            dialogs->answerButton(bringIn);
        assistant->buttons[0]->click();
        QCOMPARE(dialogs->requests.first().text, u"Le corps de la lettre contient déjà du texte. Le remplacer ?"_s);
        QCOMPARE(dialogs->requests.first().buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(dialogs->requests.size(), bringIn == QMessageBox::NoButton ? 1 : 2);
        QCOMPARE(menu->body->toPlainText(), body);
        QCOMPARE(assistant->middleText->toPlainText(), middle);
        QCOMPARE(assistant->isVisible(), replace != QMessageBox::Yes);
        if (bringIn == QMessageBox::Yes) {
            // Everything the body said is now in the parts: applying asks nothing more.
            assistant->buttons[0]->click();
            QCOMPARE(dialogs->requests.size(), 2);
            QCOMPARE(menu->body->toPlainText(), middle);
            QVERIFY(!assistant->isVisible());
        }
    }

    void fetchTheBodyTwiceThenClearEverything()
    {
        FrmMenu *menu = wizard();
        menu->body->setPlainText(u"Ligne 1\nLigne 2"_s);
        FrmAssistant *assistant = FrmAssistant::instance();
        assistant->buttons[2]->click();
        QCOMPARE(assistant->middleText->toPlainText(), u"Ligne 1\nLigne 2"_s);
        assistant->buttons[2]->click();
        QCOMPARE(assistant->middleText->toPlainText(), u"Ligne 1\nLigne 2\n\nLigne 1\nLigne 2"_s);

        assistant->composeButtons[0]->click();
        assistant->composeButtons[1]->click();
        const QString chosen = assistant->introductionLists[0]->currentText();
        assistant->buttons[3]->click();
        QVERIFY(assistant->introductionText->toPlainText().isEmpty());
        QVERIFY(assistant->middleText->toPlainText().isEmpty());
        QVERIFY(assistant->conclusionText->toPlainText().isEmpty());
        QCOMPARE(assistant->introductionLists[0]->currentText(), chosen);
        QCOMPARE(menu->body->toPlainText(), u"Ligne 1\nLigne 2"_s);
    }

    void cancelHidesAndTheNextOpeningFindsEverythingAsLeft()
    {
        FrmMenu *menu = wizard();
        menu->letterDate->setDate(QDate(2025, 6, 30));
        menu->object->setEditText(u"Demande de congé"_s);
        menu->body->setPlainText(u"Corps"_s);
        FrmAssistant *first = nullptr;
        openFromWizard(menu, [&](FrmAssistant *assistant) {
            first = assistant;
            // Inside the sentence: the object in small letters, the date in words.
            QCOMPARE(assistant->objectField->text(), u"demande de congé"_s);
            QCOMPARE(assistant->dateField->text(), u"30 juin 2025"_s);
            assistant->introductionLists[3]->setEditText(u"à propos de"_s);
            assistant->dateField->setText(u"01/01/2025"_s);
            assistant->composeButtons[0]->click();
            assistant->buttons[1]->click();
        });
        QVERIFY(first && !first->isVisible());
        QCOMPARE(menu->body->toPlainText(), u"Corps"_s);

        // Changed meanwhile in the wizard and on disk: the assistant does not take it over.
        menu->object->setEditText(u"Autre objet"_s);
        menu->letterDate->setDate(QDate(2025, 7, 1));
        QuilloTest::writeBytes(phraseFile(u"Introduction.ini"_s), "Autre\r\n\r\n");
        QString introduction;
        openFromWizard(menu, [&](FrmAssistant *assistant) {
            QCOMPARE(assistant, first);
            QCOMPARE(assistant->introductionTabs->currentIndex(), 1);
            QCOMPARE(assistant->objectField->text(), u"demande de congé"_s);
            QCOMPARE(assistant->dateField->text(), u"01/01/2025"_s);
            QCOMPARE(assistant->introductionLists[3]->currentText(), u"à propos de"_s);
            QCOMPARE(assistant->introductionLists[0]->currentText(), u"Comme suite à"_s);
            introduction = assistant->introductionText->toPlainText();
            dialogs->answerButton(QMessageBox::Yes); // "Corps" is replaced
            assistant->buttons[0]->click();
        });
        QVERIFY(introduction.contains(u"01/01/2025, à propos de demande de congé, "_s));
        QCOMPARE(menu->body->toPlainText(), introduction);
    }
};

QUILLO_TEST_MAIN(TestFrmAssistant)
#include "tst_frmassistant.moc"
