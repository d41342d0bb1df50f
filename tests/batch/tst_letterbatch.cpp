// Letters written to files in a batch: the file names made from the recipients, the journal,
// a write that fails among others, cancelling, resuming, and the letters read back.
#include "TestSupport.h"
#include "batch/FileNames.h"
#include "batch/Journal.h"
#include "batch/LetterBatch.h"
#include "core/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTemporaryFile>

using namespace Qt::StringLiterals;
using Status = LetterBatch::Outcome::Status;

namespace {

WizardValues model()
{
    WizardValues w;
    w.senderName = u"Jean Martin"_s;
    w.senderQualifier = u"Monsieur"_s;
    w.senderFunction = u"Chef de service"_s;
    w.senderAddress = u"12 rue des Lilas"_s;
    w.senderTown = u"69001 Lyon"_s;
    w.recipientName = u"Paul Modèle"_s;
    w.recipientTown = u"75001 Paris"_s;
    w.dateText = u"lundi 3 mars 2025"_s;
    w.town = u"Lyon"_s;
    w.object = u"Demande de rendez-vous"_s;
    w.signature = u"Le Chef de service"_s;
    w.formulaFirst = u"Je vous prie d'agréer"_s;
    w.formulaSecond = u"mes salutations distinguées."_s;
    w.body = u"Premier paragraphe du corps.\r\nSecond paragraphe du corps."_s;
    return w;
}

LetterBatch::Letter letterTo(const QString &name, const QString &town = u"33000 Bordeaux"_s)
{
    WizardValues w = model();
    w.recipientName = name;
    w.recipientTown = town;
    w.recipientQualifier = u"Madame"_s;
    return LetterBatch::fromValues(w, true);
}

bool havePoppler()
{
    return !QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty() &&
           !QStandardPaths::findExecutable(u"pdfinfo"_s).isEmpty();
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
}

} // namespace

class TestLetterBatch : public QObject
{
    Q_OBJECT

private:
    QuilloTest::TempProgramFolder programFolder{true};

private slots:
    void fileNameFromRecipient_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("stem");
        QTest::newRow("ordinaire") << u"Claire Durand"_s << u"Claire Durand"_s;
        QTest::newRow("accents gardés") << u"Hélène Lefèvre-Noël"_s << u"Hélène Lefèvre-Noël"_s;
        QTest::newRow("interdits Windows")
            << u"Dupont/Fils : SARL <Paris> \"*?|\\"_s << u"Dupont_Fils _ SARL _Paris_ _____"_s;
        QTest::newRow("blancs et fins de ligne") << u"  Claire\tDurand\r\n "_s << u"Claire Durand"_s;
        QTest::newRow("points à la fin") << u"Durand S.A. ..."_s << u"Durand S.A"_s;
        QTest::newRow("fichier caché") << u".Claire"_s << u"_Claire"_s;
        QTest::newRow("nom de périphérique") << u"con"_s << u"_con"_s;
        QTest::newRow("périphérique avec extension") << u"LPT1.txt"_s << u"_LPT1.txt"_s;
        QTest::newRow("périphérique dans un nom") << u"Conseil"_s << u"Conseil"_s;
        QTest::newRow("vide") << u" ... "_s << u"Lettre"_s;
    }
    void fileNameFromRecipient()
    {
        QFETCH(QString, name);
        QFETCH(QString, stem);
        QCOMPARE(BatchFileNames::stem(name), stem);
    }

    void fileNameLongNameCutWholeCharacters()
    {
        // 300 characters of two bytes each and one outside the basic plane at the cut.
        const QString name = QString(99, u'é') + QString::fromUcs4(U"\U0001F600") + QString(200, u'é');
        const QString stem = BatchFileNames::stem(name);
        QVERIFY(stem.toUtf8().size() <= 200);
        QVERIFY(!stem.back().isHighSurrogate());
        QVERIFY(QString::fromUtf8(stem.toUtf8()) == stem);
    }

    void fileNamesClash()
    {
        const QStringList names{u"Claire Durand"_s,     u"Paul Martin"_s,   u"claire durand"_s, u"Claire Durand"_s,
                                u"Claire Durand (2)"_s, u"Claire/Durand"_s, u"Claire_Durand"_s};
        QCOMPARE(BatchFileNames::unique(names, u"pdf"_s),
                 (QStringList{u"Claire Durand.pdf"_s, u"Paul Martin.pdf"_s, u"claire durand (2).pdf"_s,
                              u"Claire Durand (3).pdf"_s, u"Claire Durand (2) (2).pdf"_s, u"Claire_Durand.pdf"_s,
                              u"Claire_Durand (2).pdf"_s}));
    }

    void journalRoundTrip()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(u"journal.csv"_s);
        const QList<BatchJournal::Row> rows{
            {u"Claire Durand"_s, u"Claire Durand.pdf"_s, u"ok"_s, u"0123abcd"_s},
            {u"Durand; fils"_s, u"Durand; fils.pdf"_s, u"Impossible : « accès \"refusé\" »"_s, u""_s},
            {u"=HYPERLINK(\"x\")"_s, u"=HYPERLINK(_x_).pdf"_s, u"ligne 1\r\nligne 2"_s, u"ff"_s},
        };
        QVERIFY(BatchJournal::write(path, rows));
        const QByteArray bytes = QuilloTest::readBytes(path);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"
                                 "Destinataire;Fichier;Résultat;Empreinte\r\n"));
        QVERIFY(bytes.contains("\r\nClaire Durand;Claire Durand.pdf;ok;0123abcd\r\n"));
        QVERIFY(bytes.contains("\"Durand; fils\";\"Durand; fils.pdf\";\"Impossible : « accès \"\"refusé\"\" »\""));
        // A spreadsheet must not take a recipient's name for a formula.
        QVERIFY(bytes.contains("\r\n\"'=HYPERLINK(\"\"x\"\")\";'=HYPERLINK(_x_).pdf;"));
        QCOMPARE(BatchJournal::read(path), rows);
        QVERIFY(BatchJournal::read(folder.filePath(u"absent.csv"_s)).isEmpty());
    }

    void lettersReadBack()
    {
        if (!havePoppler())
            QSKIP("poppler-utils is not installed");
        QTemporaryDir out;
        const LetterBatch::Batch batch(
            {letterTo(u"Claire Durand"_s), letterTo(u"Claire Durand"_s, u"69003 Lyon"_s), letterTo(u"Dupont/Fils"_s)},
            out.filePath(u"lettres"_s), {LetterBatch::Format::Pdf, LetterBatch::Format::Rtf});
        QVERIFY(batch.existingFiles().isEmpty());
        QList<int> progress;
        LetterBatch::Options options;
        options.progress = [&](int done, int total) {
            QCOMPARE(total, 3);
            progress.append(done);
        };
        const LetterBatch::Report report = batch.run(options);
        QVERIFY(report.complete());
        QCOMPARE(report.count(Status::Written), 6);
        QVERIFY(std::is_sorted(progress.cbegin(), progress.cend()));
        QCOMPARE(progress.last(), 3);
        QCOMPARE(filesIn(batch.folder()),
                 (QStringList{u"Claire Durand (2).pdf"_s, u"Claire Durand (2).rtf"_s, u"Claire Durand.pdf"_s,
                              u"Claire Durand.rtf"_s, u"Dupont_Fils.pdf"_s, u"Dupont_Fils.rtf"_s, u"journal.csv"_s}));
        // Each file holds its own recipient in place of the model's, and the model's values.
        const QString second =
            QuilloTest::run(u"pdftotext"_s, {batch.filePath(1, LetterBatch::Format::Pdf), u"-"_s}).simplified();
        for (const QString &value :
             {u"Monsieur Jean Martin"_s, u"Claire Durand"_s, u"69003 Lyon"_s, u"Objet : Demande de rendez-vous"_s,
              u"Madame,"_s, u"Premier paragraphe du corps."_s,
              u"Je vous prie d'agréer, Madame, mes salutations distinguées."_s})
            QVERIFY2(second.contains(value), qPrintable(value));
        QVERIFY(!second.contains(u"Paul Modèle"_s));
        QVERIFY(!second.contains(u"Bordeaux"_s));
        QVERIFY(QuilloTest::readBytes(batch.filePath(1, LetterBatch::Format::Rtf)).contains("69003 Lyon"));
        QCOMPARE(BatchJournal::read(batch.journalPath()).size(), 6);
        QCOMPARE(batch.existingFiles().size(), 6);
    }

    void failedWriteNamedOthersWritten()
    {
        QTemporaryDir out;
        // A folder stands where the second letter's file goes: that file cannot be written,
        // whoever runs the test.
        QVERIFY(QDir(out.path()).mkdir(u"Paul Martin.pdf"_s));
        const LetterBatch::Batch batch(
            {letterTo(u"Claire Durand"_s), letterTo(u"Paul Martin"_s), letterTo(u"Zoé Petit"_s),
             LetterBatch::unavailable(u"Inconnu"_s, u"La fiche destinataire « Inconnu » est introuvable."_s)},
            out.path(), {LetterBatch::Format::Pdf});
        const LetterBatch::Report report = batch.run();
        QVERIFY(!report.complete());
        QCOMPARE(report.count(Status::Written), 2);
        QCOMPARE(report.count(Status::Failed), 2);
        QCOMPARE(report.files[1].status, Status::Failed);
        QVERIFY2(report.files[1].error.contains(u"« Paul Martin.pdf »"_s), qPrintable(report.files[1].error));
        QVERIFY(QFileInfo::exists(batch.filePath(2, LetterBatch::Format::Pdf)));
        const QList<BatchJournal::Row> journal = BatchJournal::read(batch.journalPath());
        QCOMPARE(journal.size(), 4);
        QCOMPARE(journal[0].result, u"ok"_s);
        QCOMPARE(journal[1].result, report.files[1].error);
        QCOMPARE(journal[3].result, u"La fiche destinataire « Inconnu » est introuvable."_s);
        // Nothing half-written stays behind.
        QCOMPARE(filesIn(out.path()), (QStringList{u"Claire Durand.pdf"_s, u"journal.csv"_s, u"Zoé Petit.pdf"_s}));
    }

    void cancelledBatchSaysWhatWasNotWritten_data()
    {
        QTest::addColumn<bool>("atOnce");
        QTest::newRow("avant la première lettre") << true;
        QTest::newRow("en chemin") << false;
    }
    void cancelledBatchSaysWhatWasNotWritten()
    {
        QFETCH(bool, atOnce);
        QTemporaryDir out;
        QList<LetterBatch::Letter> letters;
        for (int i = 1; i <= 40; ++i)
            letters.append(letterTo(u"Destinataire %1"_s.arg(i)));
        const LetterBatch::Batch batch(letters, out.path(), {LetterBatch::Format::Rtf});
        int done = 0;
        LetterBatch::Options options;
        options.progress = [&](int letters, int) { done = letters; };
        options.cancelled = [&] { return atOnce || done > 0; };
        const LetterBatch::Report report = batch.run(options);
        QVERIFY(report.cancelled);
        const int written = report.count(Status::Written);
        if (atOnce)
            QCOMPARE(written, 0);
        QCOMPARE(written + report.count(Status::NotWritten), 40);
        QCOMPARE(report.complete(), written == 40);
        // The journal says which letters went and which did not; no other file is there.
        QCOMPARE(filesIn(out.path()).size(), written + 1);
        const QList<BatchJournal::Row> journal = BatchJournal::read(batch.journalPath());
        QCOMPARE(journal.size(), 40);
        for (int i = 0; i < 40; ++i) {
            const bool there = QFileInfo::exists(batch.filePath(i, LetterBatch::Format::Rtf));
            QCOMPARE(journal[i].result, there ? u"ok"_s : u"non écrit"_s);
        }
    }

    void resumeKeepsOnlyTheSameLettersWrittenWhole()
    {
        QTemporaryDir out;
        QVERIFY(QDir(out.path()).mkdir(u"Paul Martin.pdf"_s));
        const QList<LetterBatch::Letter> letters{letterTo(u"Claire Durand"_s), letterTo(u"Paul Martin"_s),
                                                 letterTo(u"Zoé Petit"_s), letterTo(u"Luc Roy"_s)};
        const LetterBatch::Batch first(letters, out.path(), {LetterBatch::Format::Pdf});
        QCOMPARE(first.run().count(Status::Failed), 1);
        QVERIFY(QDir(out.path()).rmdir(u"Paul Martin.pdf"_s));
        const QByteArray claire = QuilloTest::readBytes(first.filePath(0, LetterBatch::Format::Pdf));
        const QByteArray zoe = QuilloTest::readBytes(first.filePath(2, LetterBatch::Format::Pdf));
        // Luc Roy's file cut short (as by a full disk elsewhere); Zoé Petit's letter changed.
        const QString luc = first.filePath(3, LetterBatch::Format::Pdf);
        QuilloTest::writeBytes(luc, QuilloTest::readBytes(luc).left(2000));
        QList<LetterBatch::Letter> again = letters;
        again[2] = letterTo(u"Zoé Petit"_s, u"13001 Marseille"_s);

        const LetterBatch::Batch second(again, out.path(), {LetterBatch::Format::Pdf});
        const QStringList replaced = second.existingFiles(true);
        QCOMPARE(replaced, (QStringList{second.filePath(2, LetterBatch::Format::Pdf), luc}));
        LetterBatch::Options resume;
        resume.resume = true;
        const LetterBatch::Report report = second.run(resume);
        QVERIFY(report.complete());
        QCOMPARE(report.files[0].status, Status::Kept);
        QCOMPARE(report.files[1].status, Status::Written);
        QCOMPARE(report.files[2].status, Status::Written);
        QCOMPARE(report.files[3].status, Status::Written);
        QCOMPARE(QuilloTest::readBytes(second.filePath(0, LetterBatch::Format::Pdf)), claire);
        QVERIFY(QuilloTest::readBytes(second.filePath(2, LetterBatch::Format::Pdf)) != zoe);
        for (const BatchJournal::Row &row : BatchJournal::read(second.journalPath()))
            QCOMPARE(row.result, u"ok"_s);
        // Without resume every file is written again.
        LetterBatch::Options again2;
        QCOMPARE(second.run(again2).count(Status::Written), 4);
    }

    void pdfTitleFallsBackToTheRecipient()
    {
        if (!havePoppler())
            QSKIP("poppler-utils is not installed");
        QTemporaryDir out;
        LetterBatch::Letter withoutObject = letterTo(u"Claire Durand"_s);
        withoutObject.values.noObject = true;
        const LetterBatch::Batch batch({withoutObject, letterTo(u"Paul Martin"_s)}, out.path(),
                                       {LetterBatch::Format::Pdf});
        QVERIFY(batch.run().complete());
        const auto info = [](const QString &path) { return QuilloTest::run(u"pdfinfo"_s, {path}); };
        QVERIFY(info(batch.filePath(0, LetterBatch::Format::Pdf)).contains(u"Claire Durand"_s));
        QVERIFY(info(batch.filePath(1, LetterBatch::Format::Pdf)).contains(u"Demande de rendez-vous"_s));
        QVERIFY(info(batch.filePath(1, LetterBatch::Format::Pdf)).contains(u"Jean Martin"_s));
    }

    void missingTemplateStopsTheBatch()
    {
        QTemporaryDir out;
        const auto restore = qScopeGuard([&] { ProgramFolder::setOverride(programFolder.path()); });
        QuilloTest::TempProgramFolder empty;
        const LetterBatch::Batch batch({letterTo(u"Claire Durand"_s)}, out.path(), {LetterBatch::Format::Pdf});
        const LetterBatch::Report report = batch.run();
        QVERIFY(report.failure.contains(u"defaut.rtf"_s));
        QCOMPARE(report.files.first().status, Status::Failed);
        QCOMPARE(filesIn(out.path()), QStringList{u"journal.csv"_s});
    }
};

QUILLO_TEST_MAIN(TestLetterBatch)
#include "tst_letterbatch.moc"
