// The body step's files and the final step's actions, through the wizard's widgets: letters into
// the editor, letter models, RTF export, and the failure message of the final actions.
#include "ScriptedDialogs.h"
#include "TestSupport.h"
#include "batch/ui/PdfExport.h"
#include "core/Clock.h"
#include "core/ContactCard.h"
#include "core/DataPaths.h"
#include "editor/FrmEditeur.h"
#include "editor/LetterEdit.h"
#include "printing/FrmPage.h"
#include "printing/LetterPdf.h"
#include "richtext/RichText.h"
#include "wizard/Finalisation.h"
#include "wizard/Fonctions.h"
#include "wizard/FrmMenu.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTextDocument>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

using namespace Qt::StringLiterals;

class TestFinalisation : public QObject
{
    Q_OBJECT

    std::unique_ptr<QuilloTest::TempProgramFolder> folder;
    std::shared_ptr<ScriptedDialogs> dialogs;
    FrmMenu *menu = nullptr;

    void fillLetter()
    {
        menu->senderName->setEditText(u"Jean Martin"_s);
        menu->senderFields[0]->setText(u"12 rue des Lilas"_s);
        menu->senderFields[2]->setText(u"69001 Lyon"_s);
        menu->senderQualifier->setEditText(u"Monsieur"_s);
        menu->senderFunction->setEditText(u"Chef de service"_s);
        menu->recipientName->setEditText(u"Paul Durand"_s);
        menu->recipientFields[2]->setText(u"75001 Paris"_s);
        menu->recipientFields[3]->setText(u"france"_s);
        menu->recipientQualifier->setEditText(u"Monsieur"_s);
        menu->recipientFunction->setEditText(u"Maire"_s);
        menu->town->setEditText(u"Lyon"_s);
        menu->object->setEditText(u"Réclamation"_s);
        menu->signature->setEditText(u"Jean Martin"_s);
        menu->formulaFirst->setEditText(u"Je vous prie d'agréer"_s);
        menu->formulaSecond->setEditText(u"l'expression de ma considération distinguée."_s);
        menu->body->setPlainText(u"Premier paragraphe.\n\nSecond paragraphe,\nsur deux lignes."_s);
    }

    QString lastMessage() const
    {
        for (auto it = dialogs->requests.crbegin(); it != dialogs->requests.crend(); ++it) {
            if (it->kind == Dialogs::Request::Kind::Message)
                return it->text;
        }
        return QString();
    }

private slots:
    void init()
    {
        folder = std::make_unique<QuilloTest::TempProgramFolder>(true);
        dialogs = ScriptedDialogs::install();
        EtapeCourante = 0;
        CurrentModelName.clear();
        Main();
        menu = FrmMenu::existing();
    }

    void cleanup()
    {
        QVERIFY(QuilloTest::closeAllWindows().isEmpty());
        ScriptedDialogs::uninstall();
        folder.reset();
    }

    void bodyButtonsFollowTheBody()
    {
        QVERIFY(!menu->bodyButtons[2]->isEnabled());
        menu->body->setPlainText(u"x"_s);
        QVERIFY(menu->bodyButtons[2]->isEnabled());
        QVERIFY(menu->bodyButtons[3]->isEnabled());
        menu->bodyButtons[3]->click(); // "Effacer", no question asked
        QVERIFY(menu->body->toPlainText().isEmpty());
        QVERIFY(!menu->bodyButtons[2]->isEnabled());
        QVERIFY(!menu->bodyButtons[3]->isEnabled());
        QCOMPARE(dialogs->requests.size(), 0);
    }

    void bodyExportThenImportRestoresIt()
    {
        menu->body->setPlainText(u"Ligne un\nLigne deux"_s);
        const QString path = QDir(DataPaths::contentsFolder()).filePath(u"relance"_s);
        dialogs->answerText(path);
        menu->bodyButtons[2]->click(); // "Exporter"
        QCOMPARE(dialogs->requests.last().directory, DataPaths::contentsFolder());
        QCOMPARE(QuilloTest::readBytes(path + u".txt"_s), QByteArray("Ligne un\r\nLigne deux\r\n"));

        menu->body->setPlainText(u"autre chose"_s);
        dialogs->answerCancel();
        menu->bodyButtons[1]->click(); // cancelled: the body stays
        QCOMPARE(menu->body->toPlainText(), u"autre chose"_s);
        dialogs->answerText(path + u".txt"_s);
        menu->bodyButtons[1]->click();
        QCOMPARE(menu->body->toPlainText(), u"Ligne un\nLigne deux"_s);
        dialogs->answerText(QDir(DataPaths::contentsFolder()).filePath(u"absent.txt"_s));
        menu->bodyButtons[1]->click(); // unreadable: the body is emptied, no message
        QVERIFY(menu->body->toPlainText().isEmpty());
        QCOMPARE(dialogs->unexpected, 0);
    }

    void modelSavedAndReopenedGivesEveryFieldBack()
    {
        fillLetter();
        const QString path = QDir(DataPaths::modelsFolder()).filePath(u"courrier"_s);
        dialogs->answerText(path);
        menu->finalButtons[0]->click();
        QCOMPARE(dialogs->requests.last().directory, DataPaths::modelsFolder());
        QVERIFY(QFile::exists(path + u".txt"_s)); // a bare name gets ".txt"
        QCOMPARE(menu->windowTitle(), u"Quillane - courrier.txt"_s);
        QCOMPARE(CurrentModelName, u"courrier.txt"_s);

        const QString dateText = menu->dateFormats->currentText();
        const QString bodyBefore = menu->body->toPlainText();
        menu->senderName->setEditText(u"Autre"_s);
        menu->recipientFields[3]->setText(QString());
        menu->body->clear();
        dialogs->answerText(path + u".txt"_s);
        menu->finalButtons[1]->click();
        QCOMPARE(menu->senderName->currentText(), u"Jean Martin"_s);
        QCOMPARE(menu->recipientFields[3]->text(), u"france"_s);
        QCOMPARE(menu->formulaSecond->currentText(), u"l'expression de ma considération distinguée."_s);
        QCOMPARE(menu->dateFormats->currentText(), dateText);
        QCOMPARE(menu->body->toPlainText(), bodyBefore); // single line breaks kept
        // Opening assembles the model's letter into the working document.
        QVERIFY(menu->workingDocument->toPlainText().contains(u"Monsieur le Maire,"_s));
        QVERIFY(menu->workingDocument->toPlainText().contains(u"75001 Paris (France)"_s));
        QCOMPARE(dialogs->unexpected, 0);
    }

    void aShortModelIsRefusedAndChangesNothing()
    {
        fillLetter();
        const QString path = QDir(DataPaths::modelsFolder()).filePath(u"abime.txt"_s);
        QuilloTest::writeBytes(path, "a\r\nb\r\n#\r\nc\r\n");
        dialogs->answerText(path);
        menu->finalButtons[1]->click();
        QVERIFY2(lastMessage().contains(u"abime.txt"_s), qPrintable(lastMessage()));
        QVERIFY(lastMessage().endsWith(u"\nErreur n°9"_s));
        QCOMPARE(dialogs->requests.last().icon, Dialogs::Icon::Critical);
        QCOMPARE(menu->senderName->currentText(), u"Jean Martin"_s);
        QCOMPARE(menu->windowTitle(), u"Quillane"_s);
        QVERIFY(CurrentModelName.isEmpty());
    }

    void cancellingAFinalDialogShowsNothing_data()
    {
        QTest::addColumn<int>("action");
        QTest::newRow("Enregistrer le modèle") << 0;
        QTest::newRow("Ouvrir un modèle") << 1;
        QTest::newRow("Exporter au format RTF") << 4;
        QTest::newRow("Exporter et Modifier") << 5;
    }

    void cancellingAFinalDialogShowsNothing()
    {
        QFETCH(int, action);
        fillLetter();
        const QStringList before =
            QDir(folder->path()).entryList(QDir::Files) + QDir(DataPaths::modelsFolder()).entryList(QDir::Files);
        dialogs->answerCancel();
        menu->finalButtons[size_t(action)]->click();
        QCOMPARE(dialogs->requests.size(), 1); // the file dialog, and no message after it
        QCOMPARE(dialogs->unexpected, 0);
        QCOMPARE(QDir(folder->path()).entryList(QDir::Files) + QDir(DataPaths::modelsFolder()).entryList(QDir::Files),
                 before);
        QVERIFY(CurrentModelName.isEmpty());
        QCOMPARE(menu->windowTitle(), u"Quillane"_s);
        QCOMPARE(menu->senderName->currentText(), u"Jean Martin"_s);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void quitAsksToSaveAChangedLetter_data()
    {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<bool>("chooseFile"); // after "Oui": a file is chosen, else the dialog is cancelled
        QTest::addColumn<bool>("closed");
        QTest::newRow("nothing changed") << false << QMessageBox::NoButton << false << true;
        QTest::newRow("Non") << true << QMessageBox::No << false << true;
        QTest::newRow("Annuler") << true << QMessageBox::Cancel << false << false;
        QTest::newRow("Oui, saved") << true << QMessageBox::Yes << true << true;
        QTest::newRow("Oui, then the file dialog cancelled") << true << QMessageBox::Yes << false << false;
    }

    void quitAsksToSaveAChangedLetter()
    {
        QFETCH(bool, changed);
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(bool, chooseFile);
        QFETCH(bool, closed);
        if (changed)
            fillLetter();
        const QString model = QDir(DataPaths::modelsFolder()).filePath(u"avant de quitter.txt"_s);
        if (answer != QMessageBox::NoButton)
            dialogs->answerButton(answer);
        if (answer == QMessageBox::Yes) {
            if (chooseFile)
                dialogs->answerText(model);
            else
                dialogs->answerCancel();
        }
        menu->quitButton->click();
        QCOMPARE(dialogs->unexpected, 0);
        QCOMPARE(!menu->isVisible(), closed);
        if (changed) {
            const Dialogs::Request &question = dialogs->requests.first();
            QCOMPARE(
                question.text,
                u"Les informations de la lettre ont été modifiées.\nVoulez-vous enregistrer le modèle avant de quitter ?"_s);
            QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        } else {
            QVERIFY(dialogs->requests.isEmpty());
        }
        QCOMPARE(QFile::exists(model), chooseFile);
        // Nothing but the file dialog after "Oui": a cancelled save is no failure.
        QCOMPARE(dialogs->requests.size(), answer == QMessageBox::Yes ? 2 : changed ? 1 : 0);
        QCOMPARE(menu->senderName->currentText(), changed ? u"Jean Martin"_s : QString());
    }

    void quitAsksNothingOnceTheLetterIsSavedOrOpened()
    {
        fillLetter();
        const QString model = QDir(DataPaths::modelsFolder()).filePath(u"courrier.txt"_s);
        dialogs->answerText(model);
        menu->finalButtons[0]->click();
        QCOMPARE(menu->statusBar()->currentMessage(), u"Modèle « courrier.txt » enregistré."_s);
        menu->body->setPlainText(u"Autre chose"_s);
        QVERIFY(letterChangedSinceModel(menu));
        menu->body->setPlainText(u"Premier paragraphe.\n\nSecond paragraphe,\nsur deux lignes."_s);
        QVERIFY(!letterChangedSinceModel(menu)); // back as saved
        menu->senderName->setEditText(u"Autre"_s);
        dialogs->answerText(model);
        menu->finalButtons[1]->click(); // opened: as it was saved
        QVERIFY(!letterChangedSinceModel(menu));
        menu->quitButton->click();
        QVERIFY(!menu->isVisible());
        QCOMPARE(dialogs->requests.size(), 2); // the two file dialogs
    }

    void openingAModelOfAnotherDayOffersToday_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QMessageBox::StandardButton>("answer"); // NoButton: no question expected
        QTest::addColumn<QString>("shown");
        QTest::newRow("Oui, the form of the model")
            << u"lundi 3 mars 25"_s << QMessageBox::Yes << u"dimanche 6 décembre 26"_s;
        QTest::newRow("Oui, the conventional form")
            << u"le 1er mars 2025"_s << QMessageBox::Yes << u"le 6 décembre 2026"_s;
        QTest::newRow("Oui, another form") << u"lundi 03.03.2025"_s << QMessageBox::Yes << u"dimanche 06.12.2026"_s;
        QTest::newRow("Non") << u"lundi 03/03/2025"_s << QMessageBox::No << u"lundi 03/03/2025"_s;
        QTest::newRow("today already") << u"dimanche 06-12-26"_s << QMessageBox::NoButton << u"dimanche 06-12-26"_s;
        QTest::newRow("a date typed by hand") << u"le 3 mars"_s << QMessageBox::NoButton << u"le 3 mars"_s;
    }

    void openingAModelOfAnotherDayOffersToday()
    {
        QFETCH(QString, stored);
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(QString, shown);
        fillLetter();
        menu->dateFormats->setEditText(stored);
        const QString model = QDir(DataPaths::modelsFolder()).filePath(u"ancien.txt"_s);
        dialogs->answerText(model);
        menu->finalButtons[0]->click();
        Clock::setFixed(QDateTime(QDate(2026, 12, 6), QTime(10, 0)));
        dialogs->answerText(model);
        if (answer != QMessageBox::NoButton)
            dialogs->answerButton(answer);
        menu->finalButtons[1]->click();
        Clock::reset();
        QCOMPARE(dialogs->unexpected, 0);
        QCOMPARE(dialogs->requests.size(), answer == QMessageBox::NoButton ? 2 : 3);
        if (answer != QMessageBox::NoButton) {
            QCOMPARE(dialogs->requests.last().buttons, QMessageBox::Yes | QMessageBox::No);
            QVERIFY2(dialogs->requests.last().text.contains(u"« %1 »"_s.arg(stored)),
                     qPrintable(dialogs->requests.last().text));
        }
        QCOMPARE(menu->dateFormats->currentText(), shown);
        // Asked once, before the letter is assembled: the letter carries the date chosen.
        QVERIFY(menu->workingDocument->toPlainText().contains(u"Lyon, "_s + shown));
        if (answer == QMessageBox::Yes)
            QCOMPARE(menu->letterDate->date(), QDate(2026, 12, 6));
    }

    void exportWritesTheAssembledLetterAndCanOpenIt()
    {
        fillLetter();
        dialogs->answerText(QDir(DataPaths::modelsFolder()).filePath(u"courrier.txt"_s));
        menu->finalButtons[0]->click();
        dialogs->answerText(QDir(DataPaths::modelsFolder()).filePath(u"courrier.txt"_s));
        menu->finalButtons[1]->click(); // opening assembles the letter
        QUrl opened;
        FinalisationHooks::openFile = [&opened](const QUrl &url) {
            opened = url;
            return true;
        };
        const QString target = QDir(folder->path()).filePath(u"lettre"_s);
        dialogs->answerText(target);
        dialogs->answerButton(QMessageBox::Ok);
        menu->finalButtons[5]->click();
        QCOMPARE(dialogs->requests.at(dialogs->requests.size() - 2).initialText, u"courrier.rtf"_s);
        QCOMPARE(lastMessage(), u"Exportation du fichier terminé.\nCelui-ci va maintenant être édité."_s);
        QCOMPARE(opened, QUrl::fromLocalFile(target + u".rtf"_s));
        QTextDocument exported;
        QVERIFY(RichText::loadRtfFile(target + u".rtf"_s, &exported));
        QVERIFY(exported.toPlainText().contains(u"Objet : Réclamation"_s));

        // A file that no program opens is reported, after the export itself.
        FinalisationHooks::openFile = [](const QUrl &) { return false; };
        dialogs->answerText(target + u"2"_s);
        dialogs->answerButton(QMessageBox::Ok);
        dialogs->answerButton(QMessageBox::Ok);
        menu->finalButtons[5]->click();
        QVERIFY(QFile::exists(target + u"2.rtf"_s));
        QVERIFY2(lastMessage().contains(u"lettre2.rtf"_s) && lastMessage().contains(u"n'a pas pu être ouvert"_s),
                 qPrintable(lastMessage()));
        QCOMPARE(dialogs->requests.last().icon, Dialogs::Icon::Warning);
        QCOMPARE(dialogs->unexpected, 0);
        FinalisationHooks::openFile = [](const QUrl &) { return true; };
    }

    // Right after "Enregistrer le modèle" on a fresh start nothing was assembled yet: the export
    // assembles the letter from the fields as they are now.
    void exportAssemblesTheLetterFirst()
    {
        fillLetter();
        dialogs->answerText(QDir(DataPaths::modelsFolder()).filePath(u"courrier.txt"_s));
        menu->finalButtons[0]->click();
        QVERIFY(menu->workingDocument->toPlainText().trimmed().isEmpty());
        menu->recipientFunction->setEditText(u"Inspecteur"_s); // changed after the save
        const QString target = QDir(folder->path()).filePath(u"lettre.rtf"_s);
        dialogs->answerText(target);
        dialogs->answerButton(QMessageBox::Ok);
        runFinalAction(4);
        QCOMPARE(lastMessage(), u"Exportation du fichier terminé."_s);
        QTextDocument exported;
        QVERIFY(RichText::loadRtfFile(target, &exported));
        QVERIFY2(exported.toPlainText().contains(u"Monsieur l'Inspecteur,"_s), qPrintable(exported.toPlainText()));
        QVERIFY(exported.toPlainText().contains(u"Premier paragraphe."_s));
        QCOMPARE(dialogs->unexpected, 0);
    }

    // Each file the final and body steps write: the extension is added before the question
    // whether to replace the file, which names the file really written; "Non" asks again.
    void savingOverAFileAsksAboutTheFinalName_data()
    {
        QTest::addColumn<int>("button"); // -1: the body step's "Exporter"
        QTest::addColumn<QString>("extension");
        QTest::newRow("modèle") << 0 << u"txt"_s;
        QTest::newRow("export RTF") << 4 << u"rtf"_s;
        QTest::newRow("export PDF") << 6 << u"pdf"_s;
        QTest::newRow("corps") << -1 << u"txt"_s;
    }

    void savingOverAFileAsksAboutTheFinalName()
    {
        QFETCH(int, button);
        QFETCH(QString, extension);
        fillLetter();
        const QDir where(button == -1 ? DataPaths::contentsFolder() : DataPaths::modelsFolder());
        const QString existing = where.filePath(u"courrier."_s + extension);
        QuilloTest::writeBytes(existing, "ancien");
        const auto click = [&] {
            if (button == -1)
                menu->bodyButtons[2]->click();
            else
                runFinalAction(button);
        };

        dialogs->answerText(where.filePath(u"courrier"_s)); // typed without its extension
        dialogs->answerButton(QMessageBox::No);
        dialogs->answerText(where.filePath(u"autre"_s));
        if (button >= 4)
            dialogs->answerButton(QMessageBox::Ok); // the export's end
        click();
        qsizetype at = dialogs->requests.size() - 1;
        while (at >= 0 && dialogs->requests.at(at).buttons != (QMessageBox::Yes | QMessageBox::No))
            --at;
        QVERIFY(at >= 0);
        const Dialogs::Request question = dialogs->requests.at(at);
        QCOMPARE(question.text,
                 u"Le fichier « courrier.%1 » existe déjà.\nVoulez-vous le remplacer ?"_s.arg(extension));
        // "Non": the dialog again, on the same file, which stays as it was.
        const Dialogs::Request again = dialogs->requests.value(at + 1);
        QCOMPARE(again.kind, Dialogs::Request::Kind::SaveFile);
        QCOMPARE(again.initialText, u"courrier."_s + extension);
        QCOMPARE(QuilloTest::readBytes(existing), QByteArray("ancien"));
        QVERIFY(QFile::exists(where.filePath(u"autre."_s + extension)));

        dialogs->answerText(where.filePath(u"courrier"_s));
        dialogs->answerButton(QMessageBox::Yes);
        if (button >= 4)
            dialogs->answerButton(QMessageBox::Ok);
        click();
        QVERIFY(QuilloTest::readBytes(existing) != QByteArray("ancien"));
        QCOMPARE(dialogs->unexpected, 0);
    }

    void pdfExportOfTheSingleLetterProposesTheRecipient()
    {
        fillLetter();
        dialogs->answerText(QDir(folder->path()).filePath(u"courrier"_s));
        dialogs->answerButton(QMessageBox::Ok);
        menu->finalButtons[6]->click();
        QCOMPARE(dialogs->requests.first().initialText, u"Paul Durand.pdf"_s);
        const QString written = QDir(folder->path()).filePath(u"courrier.pdf"_s);
        QVERIFY(LetterPdf::isCompleteFile(written));
        QVERIFY2(lastMessage().contains(QDir::toNativeSeparators(written)), qPrintable(lastMessage()));
        QCOMPARE(dialogs->unexpected, 0);
    }

    // One file per selected recipient named after it; one question about the files already
    // there, whose "Non" writes nothing; one message at the end, which can open the folder.
    void pdfExportOfABatchAsksOnceAndReportsOnce()
    {
        fillLetter();
        const auto card = [](const QString &file, const QString &name) {
            QVERIFY(ContactCard::write(ContactCard::filePath(ContactCard::Kind::Recipient, file),
                                       ContactCard::Kind::Recipient, {name, {}, {}, {}, {}, u"Madame"_s, u"Maire"_s}));
        };
        card(u"Durand 1"_s, u"Claire Durand"_s);
        card(u"Durand 2"_s, u"Claire Durand"_s);
        card(u"Martin"_s, u"Paul / Martin"_s);
        card(u"Zoé"_s, u"Zoé Petit"_s); // not selected
        menu->recipientMode->setCurrentIndex(1);
        menu->Tab1_Click();
        menu->recipientList->selectAll();
        menu->recipientList->topLevelItem(3)->setSelected(false);
        const QDir target(folder->filePath(u"Lettres"_s));
        QuilloTest::writeBytes(target.filePath(u"Claire Durand.pdf"_s), "ancien");

        dialogs->answerText(target.path());
        dialogs->answerButton(QMessageBox::No);
        dialogs->answerCancel(); // the folder dialog again
        menu->finalButtons[6]->click();
        QCOMPARE(
            dialogs->requests.at(1).text,
            u"Le fichier « Claire Durand.pdf » existe déjà dans le dossier « %1 ».\nVoulez-vous le remplacer ?"_s.arg(
                QDir::toNativeSeparators(target.path())));
        QCOMPARE(dialogs->requests.size(), 3);
        QCOMPARE(QuilloTest::filesUnder(target.path()), QStringList{u"Claire Durand.pdf"_s});
        QCOMPARE(QuilloTest::readBytes(target.filePath(u"Claire Durand.pdf"_s)), QByteArray("ancien"));

        QUrl opened;
        PdfExportHooks::openFolder = [&opened](const QUrl &url) {
            opened = url;
            return true;
        };
        dialogs->answerText(target.path());
        dialogs->answerButton(QMessageBox::Yes);
        dialogs->answerButton(QMessageBox::Yes); // open the folder
        menu->finalButtons[6]->click();
        PdfExportHooks::openFolder = nullptr;
        QCOMPARE(QuilloTest::filesUnder(target.path()), (QStringList{u"Claire Durand (2).pdf"_s, u"Claire Durand.pdf"_s,
                                                                     u"Paul _ Martin.pdf"_s, u"journal.csv"_s}));
        for (const QString &name : {u"Claire Durand (2).pdf"_s, u"Claire Durand.pdf"_s, u"Paul _ Martin.pdf"_s})
            QVERIFY2(LetterPdf::isCompleteFile(target.filePath(name)), qPrintable(name));
        QVERIFY2(lastMessage().startsWith(u"3 lettres ont été exportées en PDF dans le dossier « %1 »."_s.arg(
                     QDir::toNativeSeparators(target.path()))),
                 qPrintable(lastMessage()));
        QCOMPARE(dialogs->requests.last().icon, Dialogs::Icon::Information);
        QCOMPARE(opened, QUrl::fromLocalFile(target.path()));
        QCOMPARE(dialogs->unexpected, 0);
    }

    void singleLetterGoesToTabOneOnly()
    {
        fillLetter();
        FrmEditeur *editor = FrmEditeur::instance();
        editor->Nouveau();
        editor->letterEdit(2)->setPlainText(u"autre lettre"_s);
        Genere_Lettres(true);
        QCOMPARE(editor->caption(1), u"Lettre n°1"_s);
        QVERIFY(editor->letterEdit(1)->toPlainText().contains(u"Monsieur Jean Martin"_s));
        QCOMPARE(editor->letterEdit(2)->toPlainText(), u"autre lettre"_s);
    }

    void batchMakesOneTabPerSelectedRowInListOrder()
    {
        fillLetter();
        for (const QString &name : {u"Alice"_s, u"Bruno"_s, u"Chloé"_s, u"David"_s, u"Emma"_s}) {
            QVERIFY(ContactCard::write(ContactCard::filePath(ContactCard::Kind::Recipient, name),
                                       ContactCard::Kind::Recipient,
                                       {name, u"1 rue"_s, {}, u"75001 Paris"_s, {}, u"Madame"_s, u"Directrice"_s}));
        }
        menu->recipientMode->setCurrentIndex(1);
        menu->Tab1_Click();
        QVERIFY(menu->isBatchMode());
        QCOMPARE(menu->recipientList->topLevelItemCount(), 5);
        menu->recipientList->clearSelection();
        menu->recipientList->topLevelItem(3)->setSelected(true);
        menu->recipientList->topLevelItem(1)->setSelected(true);
        Genere_Lettres(true);
        FrmEditeur *editor = FrmEditeur::instance();
        QCOMPARE(editor->letterCount(), 3);
        QCOMPARE(editor->caption(1), u"Lettre n°1"_s);
        QVERIFY(editor->letterEdit(1)->toPlainText().trimmed().isEmpty());
        QCOMPARE(editor->caption(2), u"Bruno"_s);
        QCOMPARE(editor->caption(3), u"David"_s);
        QVERIFY(editor->letterEdit(3)->toPlainText().contains(u"Madame la Directrice,"_s));
        // The working document holds the last letter.
        QVERIFY(menu->workingDocument->toPlainText().contains(u"David"_s));
    }

    void largeBatchShowsItsProgressAndMakesEveryLetter()
    {
        fillLetter();
        for (int i = 1; i <= 25; ++i) {
            const QString name = u"Destinataire %1"_s.arg(i, 2, 10, QChar(u'0'));
            QVERIFY(ContactCard::write(ContactCard::filePath(ContactCard::Kind::Recipient, name),
                                       ContactCard::Kind::Recipient, {name, {}, {}, {}, {}, u"Madame"_s, u"Maire"_s}));
        }
        menu->recipientMode->setCurrentIndex(1);
        menu->Tab1_Click();
        menu->recipientList->selectAll();
        Genere_Lettres(true);
        FrmEditeur *editor = FrmEditeur::instance();
        QCOMPARE(editor->letterCount(), 26);
        QCOMPARE(editor->caption(26), u"Destinataire 25"_s);
        QVERIFY(menu->findChildren<QProgressDialog *>().isEmpty()); // gone once the batch is made
    }

    void previewAssemblesWithoutAModelOrTheEditor()
    {
        fillLetter();
        const QTextDocument *previewed = nullptr;
        Margins margins;
        // The preview is modal: looked at once it shows, then closed.
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            FrmPage *preview = FrmPage::existing();
            if (!preview || !preview->isVisible())
                return;
            poll.stop();
            previewed = preview->previewedLetter();
            margins = preview->previewedMargins();
            preview->close();
        });
        poll.start(10);
        menu->finalButtons[2]->click();
        QVERIFY(dialogs->requests.isEmpty());
        QCOMPARE(previewed, menu->workingDocument);
        QCOMPARE(margins.left, 1400);
        QCOMPARE(margins.bottom, 1400);
        QVERIFY(menu->workingDocument->toPlainText().contains(u"Jean Martin"_s));
        QVERIFY(!FrmEditeur::existing());
    }
};

QUILLO_TEST_MAIN(TestFinalisation)
#include "tst_finalisation.moc"
