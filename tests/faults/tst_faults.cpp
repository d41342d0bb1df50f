// The program under the faults people meet, each injected into a child process: a full disk and
// a read-only folder under every writer, a kill in the middle of a long batch, and damaged files
// under every reader.
#include "ChildProcess.h"
#include "ScriptedDialogs.h"
#include "TestSupport.h"
#include "app/Wiring.h"
#include "batch/LetterBatch.h"
#include "composition/ui/FrmAssistant.h"
#include "composition/ui/FrmOptions.h"
#include "composition/ui/PhraseList.h"
#include "conversion/FrmConvert.h"
#include "core/DataPaths.h"
#include "core/RecipientCards.h"
#include "editor/FrmEditeur.h"
#include "editor/LetterEdit.h"
#include "spelling/PersonalDictionary.h"
#include "wizard/Fiches.h"
#include "wizard/Finalisation.h"
#include "wizard/Fonctions.h"
#include "wizard/FrmMenu.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>

using namespace Qt::StringLiterals;
using QuilloTest::ChildLimits;
using QuilloTest::ChildResult;

namespace {

std::shared_ptr<ScriptedDialogs> dialogs;

// Everything the dialogs told the user, one message a line.
QString told()
{
    QStringList texts;
    for (const Dialogs::Request &request : std::as_const(dialogs->requests)) {
        if (request.kind == Dialogs::Request::Kind::Message)
            texts.append(request.text);
    }
    return texts.join(u'\n');
}

FrmMenu *wizard()
{
    Main();
    return FrmMenu::existing();
}

// A letter the wizard can save, export or place in the editor.
FrmMenu *wizardWithLetter()
{
    FrmMenu *menu = wizard();
    menu->senderName->setEditText(u"Jean Martin"_s);
    menu->senderQualifier->setEditText(u"Monsieur"_s);
    menu->senderFunction->setEditText(u"Directeur"_s);
    menu->recipientName->setEditText(u"Paul Durand"_s);
    menu->town->setEditText(u"Lyon"_s);
    menu->body->setPlainText(u"Premier paragraphe.\nSecond paragraphe."_s);
    return menu;
}

QString programFile(const QString &relative)
{
    return QDir(DataPaths::programFolder()).filePath(relative);
}

// The file chosen in a save dialog, and "Oui" to replacing it.
void answerSaveAs(const QString &relative)
{
    dialogs->answerText(programFile(relative));
    dialogs->answerButton(QMessageBox::Yes);
}

RecipientRow recipientRow(int line, const QString &name)
{
    RecipientRow row;
    row.line = line;
    row.fields = {name, u"3 allée Verte"_s, QString(), u"69001 Lyon"_s, QString(), u"Madame"_s, u"Maire"_s};
    return row;
}

// One writer of the program: the files it replaces (relative to the program folder) and what the
// user does to get them written, run in the child; that returns what the user was told.
struct Writer
{
    const char *name;
    QStringList files;
    std::function<QString()> write;
    // What the user must be told when the files cannot be written (a pattern), or empty for nothing.
    QString message;
};

const QList<Writer> &writers()
{
    static const QList<Writer> table = {
        {"fiche",
         {u"Fichiers/Expéditeurs/Jean Martin.ini"_s},
         [] {
             FrmMenu *menu = wizardWithLetter();
             Sauve_Expediteur(menu->senderName->currentText());
             return told();
         },
         u"La fiche n'a pas pu être enregistrée."_s},
        {"liste",
         {u"Fichiers/Références/Communes.ini"_s},
         [] {
             FrmOptions *dialog = FrmOptions::instance();
             dialog->listTabs->setCurrentIndex(1);
             dialog->word->setText(u"Vienne"_s);
             dialog->editButtons[0]->click();
             return told();
         },
         u"n'a pas pu être enregistré"_s},
        {"phrases",
         {u"Assistant/Conclusion1.ini"_s},
         [] {
             wizard();
             PhraseList *list = FrmAssistant::instance()->simpleConclusionLists[1];
             list->setEditText(u"je me tiens"_s);
             dialogs->answerButton(QMessageBox::Yes);
             QTest::keyClick(list, Qt::Key_Return);
             return told();
         },
         u"n'a pas pu être enregistré"_s},
        {"dictionnaire personnel",
         {PersonalDictionary::fileName()},
         [] {
             QString error;
             PersonalDictionary(PersonalDictionary::defaultPath()).add(u"Quillane"_s, &error);
             return error;
         },
         u"n'a pas pu être ajouté au dictionnaire personnel"_s},
        {"modèle",
         {u"Modèles/Relance.txt"_s},
         [] {
             wizardWithLetter();
             answerSaveAs(u"Modèles/Relance.txt"_s);
             runFinalAction(int(FinalAction::SaveModel));
             return told();
         },
         u"n'a pas pu être enregistré"_s},
        {"contenu",
         {u"Fichiers/Contenus/Corps.txt"_s},
         [] {
             wizardWithLetter();
             answerSaveAs(u"Fichiers/Contenus/Corps.txt"_s);
             Fichier_Contenu(false);
             return told();
         },
         u"n'a pas pu être enregistré"_s},
        {"export RTF",
         {u"Lettres/Paul Durand.rtf"_s},
         [] {
             wizardWithLetter();
             answerSaveAs(u"Lettres/Paul Durand.rtf"_s);
             runFinalAction(int(FinalAction::ExportRtf));
             return told();
         },
         u"Impossible d'enregistrer le fichier « Paul Durand.rtf »"_s},
        {"lettre de l'éditeur",
         {u"Lettres/Paul Durand.rtf"_s},
         [] {
             FrmEditeur *editor = FrmEditeur::instance();
             editor->Nouveau();
             editor->letterEdit(1)->setPlainText(u"Madame, ..."_s);
             answerSaveAs(u"Lettres/Paul Durand.rtf"_s);
             editor->Enregistrer_Sous(1, u"Paul Durand"_s);
             return told();
         },
         u"Impossible d'enregistrer le fichier « Paul Durand.rtf »"_s},
        {"export PDF",
         {u"Lettres/Paul Durand.pdf"_s, u"Lettres/journal.csv"_s},
         [] {
             WizardValues values = wizardValues(wizardWithLetter());
             const LetterBatch::Report report =
                 LetterBatch::Batch({LetterBatch::fromValues(values, false)}, programFile(u"Lettres"_s),
                                    {LetterBatch::Format::Pdf})
                     .run();
             QStringList texts{report.failure, report.journalError};
             for (const LetterBatch::Outcome &file : report.files)
                 texts.append(file.error);
             texts.removeAll(QString());
             return texts.join(u'\n');
         },
         u"« Paul Durand.pdf »|dossier « .*Lettres »"_s},
        {"Editeur.ini",
         {u"Editeur.ini"_s},
         [] {
             // The window's place is no letter: losing it is not worth a message at every closing.
             FrmEditeur *editor = FrmEditeur::instance();
             editor->show();
             editor->close();
             return told();
         },
         QString()},
        {"conversion",
         {u"Fichiers/Destinataires/Dupont.ini"_s, u"Fichiers/Références/Communes.ini"_s},
         [] {
             FrmConvert::setStarter([](const QString &) { return true; });
             FrmConvert *window = FrmConvert::instance();
             window->importFolder(programFile(u"Ancien/"_s));
             window->convert();
             return told();
         },
         u"Ces fichiers n'ont pas pu être convertis :"_s},
        {"export CSV",
         {u"Lettres/destinataires.csv"_s},
         [] {
             QString error;
             RecipientCards::exportCards(programFile(u"Lettres/destinataires.csv"_s), {u"Dupont"_s}, &error);
             return error;
         },
         u"Le fichier « "_s},
        {"import de fiches",
         {u"Fichiers/Destinataires/Dupont.ini"_s},
         [] {
             return RecipientCards::importRows({recipientRow(2, u"Dupont"_s)}, RecipientCards::ExistingCard::Replace)
                 .error;
         },
         u"n'a pas pu être enregistré"_s},
    };
    return table;
}

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT

    std::unique_ptr<QuilloTest::TempProgramFolder> folder;

private slots:
    void initTestCase()
    {
        wireWindows();
        FinalisationHooks::openFile = [](const QUrl &) { return true; };
    }

    void init()
    {
        folder = std::make_unique<QuilloTest::TempProgramFolder>(true);
        dialogs = ScriptedDialogs::install();
    }

    void cleanup()
    {
        QVERIFY(QuilloTest::closeAllWindows().isEmpty());
        ScriptedDialogs::uninstall();
        dialogs.reset();
        folder.reset();
    }

    void writerThatCannotWriteKeepsTheOldFile_data()
    {
        QTest::addColumn<int>("writer");
        QTest::addColumn<bool>("fullDisk");
        for (int i = 0; i < writers().size(); ++i) {
            QTest::addRow("%s, disque plein", writers()[i].name) << i << true;
            QTest::addRow("%s, dossier en lecture seule", writers()[i].name) << i << false;
        }
    }

    // The old file stays byte for byte, nothing is left beside it, and the user is told.
    void writerThatCannotWriteKeepsTheOldFile()
    {
        QFETCH(int, writer);
        QFETCH(bool, fullDisk);
        const Writer &row = writers()[writer];
        if (!fullDisk && !QuilloTest::readOnlyFoldersStopChildren())
            QSKIP("Ce compte écrit dans un dossier en lecture seule et ne peut pas y renoncer.");
        QuilloTest::writeBytes(folder->filePath(u"Fichiers/Destinataires/Dupont.ini"_s),
                               "Dupont\r\n\r\n\r\n69001 Lyon\r\n\r\nMadame\r\nMaire\r\n");
        QuilloTest::writeBytes(folder->filePath(u"Ancien/DUPONT.DST"_s),
                               "Dupont\r\nR\xE9sidence\r\n3 all\xE9"
                               "e Verte\r\n69001 Lyon\r\n\r\nMadame\r\nMaire\r\n");
        QuilloTest::writeBytes(folder->filePath(u"Ancien/Ville.lst"_s), "Lyon\r\nVienne\r\n");
        const QByteArray old = "ancien contenu\r\n";
        QStringList folders;
        for (const QString &file : row.files) {
            QuilloTest::writeBytes(folder->filePath(file), old);
            folders.append(QFileInfo(folder->filePath(file)).path());
        }
        folders.removeDuplicates();
        QMap<QString, QStringList> before;
        for (const QString &path : std::as_const(folders))
            before[path] = QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

        ChildLimits limits;
        if (fullDisk) {
            limits.fileSizeLimit = 10;
        } else {
            limits.obeyPermissions = true;
            for (const QString &path : std::as_const(folders))
                QuilloTest::setFolderWritable(path, false);
        }
        const ChildResult result = QuilloTest::runInChild(row.write, limits);
        for (const QString &path : std::as_const(folders))
            QuilloTest::setFolderWritable(path, true);

        qInfo().noquote() << "Message :" << result.text;
        QVERIFY2(result.end == ChildResult::End::Finished, qPrintable(result.describe()));
        for (const QString &file : row.files)
            QCOMPARE(QuilloTest::readBytes(folder->filePath(file)), old);
        for (const QString &path : std::as_const(folders))
            QCOMPARE(QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before[path]);
        if (row.message.isEmpty())
            QCOMPARE(result.text, QString());
        else
            QVERIFY2(result.text.contains(QRegularExpression(row.message)), qPrintable(result.text));
    }
};

QUILLO_TEST_MAIN(TestFaults)
#include "tst_faults.moc"
