#include "batch/ui/PdfExport.h"

#include "batch/FileNames.h"
#include "batch/Journal.h"
#include "batch/ui/BatchProgress.h"
#include "dialogs/Dialogs.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace PdfExportHooks {
std::function<bool(const QUrl &folder)> openFolder = [](const QUrl &folder) {
    return QDesktopServices::openUrl(folder);
};
} // namespace PdfExportHooks

namespace PdfExport {
namespace {

using Status = LetterBatch::Outcome::Status;

// A message lists this many files or letters at most, then says how many more there are.
constexpr int kListed = 10;

QString title()
{
    return u"Exporter en PDF"_s;
}

// Where the next export's dialog opens: the folder of the last one, at first the documents.
QString &lastFolder()
{
    static QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return folder;
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// One line each, indented under the sentence that announces them.
QString listed(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines.mid(0, kListed))
        text += u"\n   "_s + line;
    if (lines.size() > kListed)
        text += u"\n   … et %1 autres"_s.arg(lines.size() - kListed);
    return text;
}

// The hourglass while letters are written; the progress dialog, when there is one, stays usable.
class BusyCursor
{
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

bool confirmReplacing(QWidget *parent, const QString &folder, const QStringList &existing)
{
    QStringList names;
    for (const QString &path : existing)
        names.append(QFileInfo(path).fileName());
    const QString question =
        names.size() == 1
            ? u"Le fichier « %1 » existe déjà dans le dossier « %2 ».\nVoulez-vous le remplacer ?"_s.arg(names.first(),
                                                                                                         shown(folder))
            : u"%1 fichiers de ces noms existent déjà dans le dossier « %2 » :%3\nVoulez-vous les remplacer ?"_s
                  .arg(names.size())
                  .arg(shown(folder), listed(names));
    return Dialogs::message(parent, question, QMessageBox::Yes | QMessageBox::No, Dialogs::Icon::Warning, title(),
                            QMessageBox::No) == QMessageBox::Yes;
}

// The one message that ends a batch: what was written where, what was not and why; the folder
// is offered when it holds letters.
void showOutcome(QWidget *parent, const LetterBatch::Report &report, const QString &folder)
{
    if (!report.failure.isEmpty()) {
        Dialogs::message(parent, u"Aucune lettre n'a été exportée.\n"_s + report.failure, QMessageBox::Ok,
                         Dialogs::Icon::Warning, title());
        return;
    }
    const int written = report.count(Status::Written) + report.count(Status::Kept);
    QString text =
        written == 0 ? u"Aucune lettre n'a été exportée dans le dossier « %1 »."_s.arg(shown(folder))
        : written == 1
            ? u"1 lettre a été exportée en PDF dans le dossier « %1 »."_s.arg(shown(folder))
            : u"%1 lettres ont été exportées en PDF dans le dossier « %2 »."_s.arg(written).arg(shown(folder));
    QStringList failed;
    for (const LetterBatch::Outcome &outcome : report.files) {
        if (outcome.status == Status::Failed)
            failed.append(u"%1 : %2"_s.arg(outcome.recipient, outcome.error));
    }
    if (failed.size() == 1)
        text += u"\n\nCette lettre n'a pas pu être écrite :"_s + listed(failed);
    else if (!failed.isEmpty())
        text += u"\n\nCes %1 lettres n'ont pas pu être écrites :"_s.arg(failed.size()) + listed(failed);
    if (const int left = report.count(Status::NotWritten); left > 0)
        text += left == 1 ? u"\n\nL'exportation a été interrompue : 1 lettre n'a pas été écrite."_s
                          : u"\n\nL'exportation a été interrompue : %1 lettres n'ont pas été écrites."_s.arg(left);
    if (!report.journalError.isEmpty())
        text += u"\n\n"_s + report.journalError;
    else if (!report.complete())
        text += u"\n\nLe journal « %1 » du dossier dit ce qu'est devenue chaque lettre."_s.arg(BatchJournal::FileName);
    const Dialogs::Icon icon = report.complete() ? Dialogs::Icon::Information : Dialogs::Icon::Warning;
    if (written == 0) {
        Dialogs::message(parent, text, QMessageBox::Ok, icon, title());
        return;
    }
    text += u"\n\nVoulez-vous ouvrir le dossier ?"_s;
    if (Dialogs::message(parent, text, QMessageBox::Yes | QMessageBox::No, icon, title(), QMessageBox::No) !=
        QMessageBox::Yes)
        return;
    if (!PdfExportHooks::openFolder || !PdfExportHooks::openFolder(QUrl::fromLocalFile(folder)))
        Dialogs::message(parent,
                         u"Le dossier « %1 » n'a pas pu être ouvert : aucun programme n'a accepté de le montrer."_s.arg(
                             shown(folder)),
                         QMessageBox::Ok, Dialogs::Icon::Warning, title());
}

} // namespace

QString exportLetter(QWidget *parent, const LetterBatch::Letter &letter, const QString &directory)
{
    const QString path =
        Dialogs::saveFileName(parent, title(), directory.isEmpty() ? lastFolder() : directory, u"Fichier PDF (*.pdf)"_s,
                              BatchFileNames::stem(letter.recipient), u"pdf"_s);
    if (path.isEmpty())
        return QString();
    lastFolder() = QFileInfo(path).absolutePath();
    QString error;
    bool written = false;
    {
        const BusyCursor busy;
        written = LetterBatch::writePdf(letter, path, &error);
    }
    if (!written) {
        Dialogs::message(parent, error, QMessageBox::Ok, Dialogs::Icon::Warning, title());
        return QString();
    }
    Dialogs::message(parent, u"La lettre a été exportée en PDF dans le fichier « %1 »."_s.arg(shown(path)),
                     QMessageBox::Ok, Dialogs::Icon::Information, title());
    return path;
}

std::optional<LetterBatch::Report> exportLetters(QWidget *parent, const QList<LetterBatch::Letter> &letters)
{
    if (letters.isEmpty()) {
        Dialogs::message(parent, u"Il n'y a aucune lettre à exporter."_s, QMessageBox::Ok, Dialogs::Icon::Information,
                         title());
        return std::nullopt;
    }
    // The folder, then the one question about the files already there; "Non" chooses again.
    QString folder = lastFolder();
    std::optional<LetterBatch::Batch> batch;
    for (;;) {
        folder = Dialogs::existingFolder(parent, u"Dossier des lettres PDF"_s, folder);
        if (folder.isEmpty())
            return std::nullopt;
        batch.emplace(letters, folder, QList<LetterBatch::Format>{LetterBatch::Format::Pdf});
        const QStringList existing = batch->existingFiles();
        if (existing.isEmpty() || confirmReplacing(parent, folder, existing))
            break;
    }
    lastFolder() = folder;

    LetterBatch::Report report;
    {
        BatchProgress progress(parent, u"Exportation des lettres en PDF en cours..."_s, int(letters.size()));
        LetterBatch::Options options;
        options.progress = [&progress](int done, int) { progress.setValue(done); };
        options.cancelled = [&progress] { return progress.cancelled(); };
        const BusyCursor busy;
        report = batch->run(options);
    }
    showOutcome(parent, report, folder);
    return report;
}

} // namespace PdfExport
