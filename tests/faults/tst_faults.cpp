// The program under the faults people meet, each injected into a child process: a full disk and
// a read-only folder under every writer, a kill in the middle of a long batch, and damaged files
// under every reader.
#include "ChildProcess.h"
#include "ScriptedDialogs.h"
#include "TestSupport.h"
#include "app/Wiring.h"
#include "batch/Journal.h"
#include "batch/LetterBatch.h"
#include "composition/ui/FrmAssistant.h"
#include "composition/ui/FrmOptions.h"
#include "composition/ui/PhraseList.h"
#include "conversion/ConvertFiles.h"
#include "conversion/FrmConvert.h"
#include "core/DataPaths.h"
#include "core/RecipientCards.h"
#include "editor/FrmEditeur.h"
#include "editor/LetterEdit.h"
#include "printing/LetterPdf.h"
#include "spelling/PersonalDictionary.h"
#include "wizard/Fiches.h"
#include "wizard/Finalisation.h"
#include "wizard/Fonctions.h"
#include "wizard/FrmMenu.h"

#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTabBar>
#include <QThread>
#include <QTreeWidget>

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

// The card every long batch below writes for a name, byte for byte: what a whole card holds.
QByteArray cardBytes(const QString &name)
{
    return (name + u"\r\n3 allée Verte\r\n\r\n69001 Lyon\r\n\r\nMadame\r\nMaire\r\n"_s).toLatin1();
}

QString batchName(int i)
{
    return u"Destinataire %1"_s.arg(i, 5, 10, QChar(u'0'));
}

bool wholeCard(const QString &path)
{
    return QuilloTest::readBytes(path) == cardBytes(QFileInfo(path).completeBaseName());
}

// A long batch, killed at a random point and run again: the files it makes (a folder and the
// pattern by which the program finds them), whether one is whole, and the batch itself, which
// returns what went wrong (nothing: empty).
struct LongBatch
{
    const char *name;
    int total;
    QString folder;
    QString pattern;
    std::function<bool(const QString &path)> whole;
    std::function<QString(bool again)> run;
};

const QList<LongBatch> &longBatches()
{
    static const QList<LongBatch> table = {
        {"conversion de 5 000 fiches", 5000, u"Fichiers/Destinataires"_s, u"*.ini"_s, wholeCard,
         [](bool) {
             OldVersion::Data data;
             for (int i = 0; i < 5000; ++i) {
                 OldVersion::Card card{u"D%1.DST"_s.arg(i),
                                       {batchName(i), u"3 allée Verte"_s, QString(), u"69001 Lyon"_s, QString(),
                                        u"Madame"_s, u"Maire"_s}};
                 data.recipients.append(card);
             }
             const ConvertFiles::Report report = ConvertFiles::convert(data, QString());
             return report.failures.join(u'\n') + (report.cardsWritten == 5000 ? QString() : u"incomplet"_s);
         }},
        {"500 lettres PDF", 500, u"Lettres"_s, u"*.pdf"_s, LetterPdf::isCompleteFile,
         [](bool again) {
             QList<LetterBatch::Letter> letters;
             for (int i = 0; i < 500; ++i) {
                 WizardValues values;
                 values.senderName = u"Jean Martin"_s;
                 values.recipientName = batchName(i);
                 values.recipientTown = u"69001 Lyon"_s;
                 values.body = u"Premier paragraphe.\r\nSecond paragraphe."_s;
                 letters.append(LetterBatch::fromValues(values, true));
             }
             LetterBatch::Options options;
             options.resume = again;
             const LetterBatch::Batch lot(letters, programFile(u"Lettres"_s), {LetterBatch::Format::Pdf});
             // The second run keeps every letter the journal says the first one wrote, and writes the rest.
             const QList<BatchJournal::Row> journal = BatchJournal::read(lot.journalPath());
             const auto written = std::count_if(journal.cbegin(), journal.cend(), [](const BatchJournal::Row &r) {
                 return r.result == BatchJournal::Written;
             });
             const LetterBatch::Report report = lot.run(options);
             const int kept = report.count(LetterBatch::Outcome::Status::Kept);
             if (report.complete() && kept == written)
                 return QString();
             QString failed;
             for (const LetterBatch::Outcome &outcome : report.files) {
                 if (outcome.status != LetterBatch::Outcome::Status::Written &&
                     outcome.status != LetterBatch::Outcome::Status::Kept) {
                     failed = u"%1 (%2) : %3"_s.arg(outcome.path).arg(int(outcome.status)).arg(outcome.error);
                     break;
                 }
             }
             return u"%1 gardées sur %2, %3 %4"_s.arg(kept).arg(written).arg(report.failure + report.journalError,
                                                                             failed);
         }},
        {"import de 10 000 destinataires", 10000, u"Fichiers/Destinataires"_s, u"*.ini"_s, wholeCard,
         [](bool) {
             QList<RecipientRow> rows;
             for (int i = 0; i < 10000; ++i)
                 rows.append(recipientRow(i + 2, batchName(i)));
             const RecipientCards::Result result = RecipientCards::importRows(rows, RecipientCards::ExistingCard::Skip);
             return result.written.size() + result.skipped.size() == 10000 ? result.error : u"incomplet"_s;
         }},
    };
    return table;
}

// How much of a text is shown: the text when short, else its length.
QString abridged(const QString &text)
{
    return text.size() <= 100 ? text : u"(%1 caractères)"_s.arg(text.size());
}

// What the sender step shows: the card's fields, " | " between them.
QString senderShown(const FrmMenu *menu)
{
    QStringList shown{abridged(menu->senderName->currentText())};
    for (const QLineEdit *field : menu->senderFields)
        shown.append(abridged(field->text()));
    shown << abridged(menu->senderQualifier->currentText()) << abridged(menu->senderFunction->currentText());
    return shown.join(u" | "_s);
}

// The editor's size as the profile file makes it, or "taille par défaut" when it is the size the
// editor has without that file.
QString editorSize()
{
    const QSize shown = FrmEditeur::instance()->size();
    QuilloTest::closeAllWindows();
    QFile::remove(DataPaths::editorSettingsFile());
    const QSize designed = FrmEditeur::instance()->size();
    return shown == designed ? u"taille par défaut"_s : u"%1 × %2"_s.arg(shown.width()).arg(shown.height());
}

// A damaged file the program reads: what the test writes (relative to the program folder, a
// size beyond the bytes being a hole: a sparse file), and what the user does then, run in the
// child; that returns what the user sees, which must match the pattern.
struct Damaged
{
    const char *name;
    QString file;
    QByteArray bytes;
    qint64 size;
    std::function<QString()> read;
    QString seen;
};

QByteArray binaryJunk()
{
    QList<quint32> words(1024);
    QRandomGenerator(20).fillRange(words.data(), words.size());
    return QByteArray(reinterpret_cast<const char *>(words.constData()), words.size() * 4);
}

// The wizard on the screen, drawn: what the user sees must be drawn in reasonable time too.
FrmMenu *shownWizard()
{
    FrmMenu *menu = wizard();
    menu->show();
    menu->grab();
    return menu;
}

QString showSender(const QString &name)
{
    FrmMenu *menu = shownWizard();
    Charge_Expediteur(name);
    menu->grab();
    return senderShown(menu) + told();
}

QString showRecipientList()
{
    FrmMenu *menu = shownWizard();
    menu->recipientMode->setCurrentIndex(1);
    menu->grab();
    QStringList rows;
    for (int i = 0; i < menu->recipientList->topLevelItemCount(); ++i) {
        QStringList columns;
        for (int c = 0; c < menu->recipientList->columnCount(); ++c)
            columns.append(abridged(menu->recipientList->topLevelItem(i)->text(c)));
        rows.append(columns.join(u" | "_s));
    }
    return rows.join(u'\n') + told();
}

QString openModel(const QString &relative)
{
    FrmMenu *menu = wizardWithLetter();
    dialogs->answerText(programFile(relative));
    runFinalAction(int(FinalAction::OpenModel));
    return told() + u"\nExpéditeur : "_s + senderShown(menu);
}

const QByteArray kModel =
    "Claire Morel\r\n12 rue des Lilas\r\n\r\n69001 Lyon\r\n\r\n\r\n\r\nMonsieur\r\nDirecteur\r\n#\r\n"
    "Paul Durand\r\n\r\n\r\n75001 Paris\r\n\r\nMonsieur\r\nMaire\r\n#\r\n"
    "lundi 3 mars 2025\r\nLyon\r\nDemande\r\nJean Martin\r\nJe vous prie\r\nmes salutations.\r\n#\r\n"
    "Premier paragraphe du corps.\r\nSecond paragraphe du corps.\r\n";

const QList<Damaged> &damagedFiles()
{
    static const QList<Damaged> table = {
        {"fiche trop courte", u"Fichiers/Expéditeurs/Court.ini"_s, "Court\r\n12 rue des Lilas\r\n", 0,
         [] { return showSender(u"Court"_s); }, u"^Court \\| 12 rue des Lilas( \\| ){7}$"_s},
        {"fiche trop longue", u"Fichiers/Expéditeurs/Long.ini"_s,
         "Long\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\nMonsieur\r\nDirecteur\r\nen trop\r\nen trop\r\n", 0,
         [] { return showSender(u"Long"_s); },
         u"^Long \\| 1 \\| 2 \\| 3 \\| 4 \\| 5 \\| 6 \\| Monsieur \\| Directeur$"_s},
        {"fiche binaire", u"Fichiers/Expéditeurs/Binaire.ini"_s, binaryJunk(), 0,
         // Loading a card says nothing of its own: the junk is shown, as text, and nothing breaks.
         [] { return showSender(u"Binaire"_s); }, QString()},
        {"fiche de 100 Mo", u"Fichiers/Expéditeurs/Énorme.ini"_s, "Énorme\r\n", 100'000'000,
         [] { return showSender(u"Énorme"_s); },
         u"^Énorme \\|.*Énorme\\.ini » est trop volumineux : il dépasse 64 Ko\\."_s},
        {"fiche de 100 Mo dans la liste des destinataires", u"Fichiers/Destinataires/Énorme.ini"_s, "Énorme\r\n",
         100'000'000, showRecipientList, u"^Énorme( \\| )*$"_s},
        {"liste avec un octet nul", u"Fichiers/Références/Communes.ini"_s, "Paris\r\nLy\0on\r\nVienne\r\n"_ba, 0,
         [] { return QuilloTest::itemsOf(shownWizard()->town).join(u" | "_s) + told(); }, u"Paris \\| Vienne"_s},
        {"modèle coupé au milieu", u"Modèles/Coupé.txt"_s, kModel.left(kModel.size() / 3), 0,
         [] { return openModel(u"Modèles/Coupé.txt"_s); },
         u"(?s)n'est pas un modèle de lettre complet.*\\nExpéditeur : Jean Martin"_s},
        {"phrases sans ligne vide finale", u"Assistant/Conclusion1.ini"_s, "a\r\n\r\nb\r\n\r\nc\r\n\r\nd", 0,
         [] {
             wizard();
             QStringList lists;
             for (const PhraseList *list : FrmAssistant::instance()->simpleConclusionLists)
                 lists.append(list->fragments().join(u", "_s));
             return lists.join(u" | "_s) + told();
         },
         u"^a \\| b \\| c \\| d$"_s},
        {"Editeur.ini aux valeurs absurdes", u"Editeur.ini"_s,
         "[EDITEUR]\r\nWindows=0\r\nHauteur=abc\r\nLargeur=\xFF\xFE\x01\r\nPositionX=1e308\r\n", 0,
         [] { return editorSize() + told(); }, u"^taille par défaut$"_s},
        {"Editeur.ini aux tailles négatives", u"Editeur.ini"_s, "[EDITEUR]\r\nWindows=0\r\nHauteur=-5\r\nLargeur=0\r\n",
         0, editorSize, u"^taille par défaut$"_s},
        {"modèle RTF qui n'est pas du RTF", u"defaut.rtf"_s, "Ceci n'est pas un document RTF.\r\n", 0,
         [] {
             wizardWithLetter();
             runFinalAction(int(FinalAction::ToEditor));
             return told();
         },
         u"(?s)defaut\\.rtf.*n'est pas un document RTF|n'est pas un document RTF.*defaut\\.rtf"_s},
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
        // The system's reason, not a shrug.
        QVERIFY2(!result.text.contains(u"Erreur inconnue"_s), qPrintable(result.text));
    }

    void killedBatchLeavesWholeFilesAndRunsAgain_data()
    {
        QTest::addColumn<int>("batch");
        for (int i = 0; i < longBatches().size(); ++i)
            QTest::addRow("%s", longBatches()[i].name) << i;
    }

    // Killed anywhere, a batch leaves only whole files among those the program counts (a
    // temporary file is none of them), and a second run finishes the work.
    void killedBatchLeavesWholeFilesAndRunsAgain()
    {
        QFETCH(int, batch);
        const LongBatch &row = longBatches()[batch];
        const QDir output(folder->filePath(row.folder));
        QVERIFY(output.mkpath(u"."_s));
        const QStringList before = output.entryList({row.pattern}, QDir::Files);
        const auto made = [&] { return output.entryList({row.pattern}, QDir::Files).size() - before.size(); };

        const int killAt = QRandomGenerator::global()->bounded(row.total / 10, row.total * 9 / 10);
        {
            QuilloTest::Child child([&] { row.run(false); });
            const QDeadlineTimer deadline(std::chrono::minutes(5));
            while (child.running() && made() < killAt && !deadline.hasExpired())
                QThread::msleep(20);
            QVERIFY2(child.running(), "le lot s'est arrêté avant d'être tué");
            child.kill();
        }
        const QStringList afterKill = output.entryList({row.pattern}, QDir::Files);
        QStringList others = output.entryList(QDir::Files | QDir::Hidden);
        others.removeIf([&](const QString &file) { return afterKill.contains(file); });
        qInfo("Tué après %lld fichiers sur %d (visé : %d) ; autres fichiers laissés : %s", made(), row.total, killAt,
              qPrintable(others.join(u", "_s)));
        QVERIFY(made() < row.total);
        for (const QString &file : afterKill)
            QVERIFY2(before.contains(file) || row.whole(output.filePath(file)), qPrintable(file));

        const ChildResult again = QuilloTest::runInChild([&] { return row.run(true); });
        QVERIFY2(again.end == ChildResult::End::Finished, qPrintable(again.describe()));
        QCOMPARE(again.text, QString());
        QCOMPARE(made(), row.total);
        for (const QString &file : output.entryList({row.pattern}, QDir::Files))
            QVERIFY2(before.contains(file) || row.whole(output.filePath(file)), qPrintable(file));
    }

    void damagedFileIsReadAsFarAsItCanBe_data()
    {
        QTest::addColumn<int>("damaged");
        for (int i = 0; i < damagedFiles().size(); ++i)
            QTest::addRow("%s", damagedFiles()[i].name) << i;
    }

    // What can be read is shown, what cannot is said, and nothing crashes or hangs.
    void damagedFileIsReadAsFarAsItCanBe()
    {
        QFETCH(int, damaged);
        const Damaged &row = damagedFiles()[damaged];
        const QString path = folder->filePath(row.file);
        QuilloTest::writeBytes(path, row.bytes);
        if (row.size > 0)
            QVERIFY(QFile::resize(path, row.size));
        ChildLimits limits;
        limits.watchdogSeconds = 120;
        const ChildResult result = QuilloTest::runInChild(row.read, limits);
        QString shown = result.text;
        shown.replace(QChar(0), u"\\0"_s);
        qInfo().noquote() << "Vu :" << shown;
        QVERIFY2(result.end == ChildResult::End::Finished, qPrintable(result.describe()));
        QVERIFY2(result.text.contains(QRegularExpression(row.seen)), qPrintable(result.text));
    }
};

QUILLO_TEST_MAIN(TestFaults)
#include "tst_faults.moc"
