#pragma once

#include "composition/LetterFields.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QPrinter;
class QTextDocument;

// Letters written to files, one file per letter and format, named after the recipient, with a
// journal beside them: what the wizard's and the editor's exports and the command line share.
// Each letter is composed, laid out, written and let go on one of several worker threads, so a
// batch uses every core and its memory does not grow with the number of letters.
namespace LetterBatch {

enum class Format { Pdf, Rtf };

// "pdf", "rtf".
QString extension(Format format);

// One letter of a batch.
struct Letter
{
    QString recipient;     // who it goes to: names its files and its journal rows
    WizardValues values;   // what it says, composed from these values...
    bool fromCard = false; // ...as a letter of a batch (the recipient from a card) or a single one
    QByteArray rtf;        // ...unless it is made already (an editor tab): the letter itself
    QString title;         // the PDF title of a letter made already (else the object)
    QString author;        // the PDF author of a letter made already (else the sender)
    QString problem;       // when not empty the letter cannot be made; this says why
};

// A letter composed from values. Its recipient is the values' recipient name, or else
// fallbackName (a card's or a model's name), or else "Lettre".
Letter fromValues(const WizardValues &values, bool fromCard, const QString &fallbackName = QString());
// A letter made already, as RTF: an editor tab named caption.
Letter fromDocument(const QString &caption, const QByteArray &rtf);
// A letter that cannot be made (its recipient card is missing, for instance): the batch reports
// it as failed with that reason, and writes the others.
Letter unavailable(const QString &recipient, const QString &problem);

// Composes the letter into document, replaced whole: the template (see readLetterTemplate)
// filled with its values, or the letter made already. Throws QuilloError.
void compose(const Letter &letter, const QByteArray &templateRtf, QTextDocument *document);

// Writes one letter as a PDF file that the user named, outside any batch (no journal), replaced
// whole: the same pages and properties as a batch gives it. False with a French reason (naming
// the file when it could not be written) in *error.
bool writePdf(const Letter &letter, const QString &path, QString *error = nullptr);

// What became of one file of a batch.
struct Outcome
{
    enum class Status {
        Written,    // written whole
        Kept,       // left as a previous run wrote it whole (resume)
        Failed,     // not written: see error
        NotWritten, // not reached: the batch was cancelled first
    };
    int letter = 0; // index of the letter in the batch
    Format format = Format::Pdf;
    QString recipient;
    QString path;
    Status status = Status::NotWritten;
    QString error;
};

struct Report
{
    QList<Outcome> files; // in the order of the letters, then of the formats
    bool cancelled = false;
    QString failure;      // what stopped the whole batch (template, folder), if anything
    QString journalError; // the journal could not be written

    int count(Outcome::Status status) const;
    // Every file written or kept, and the journal written: nothing was lost.
    bool complete() const;
};

struct Options
{
    // Keep each file that a previous run of the batch wrote whole: its journal row says "ok"
    // for the same recipient, and the file is complete (a PDF that ends and whose objects are
    // where its cross-reference table says; an RTF file whose groups all close).
    bool resume = false;
    // Told on the calling thread, after each letter or so: letters done (kept ones included)
    // out of the batch's letters.
    std::function<void(int done, int total)> progress;
    // Asked on the calling thread as the batch goes: true stops it after the letters being
    // written; the letters not reached are reported NotWritten.
    std::function<bool()> cancelled;
    // Worker threads; 0 for two per core (at most 16), since each waits for the disk part of
    // its time.
    int workers = 0;
};

class Batch
{
public:
    // The letters, written into folder in each format given.
    Batch(QList<Letter> letters, const QString &folder, QList<Format> formats);

    const QList<Letter> &letters() const { return letterList; }
    QString folder() const { return folderPath; }
    const QList<Format> &formats() const { return formatList; }
    // The file of a letter in a format: its name made from the recipient's (see BatchFileNames).
    QString filePath(int letter, Format format) const;
    // "journal.csv" in the folder.
    QString journalPath() const;

    // The files of the batch that exist already and that running it would replace (with
    // resume, those it would keep are left out): a window asks once before replacing them.
    QStringList existingFiles(bool resume = false) const;

    // Why nothing can be written in the folder (created when missing), in French; empty when
    // it can.
    QString folderProblem() const;

    // Writes the letters, then the journal (also now and then on the way, so that a batch
    // stopped short still says what it wrote). A letter that fails does not stop the others.
    Report run(const Options &options = Options()) const;

private:
    QList<Letter> letterList;
    QString folderPath;
    QList<Format> formatList;
    QList<QStringList> names; // per format, per letter
};

// Prints every letter that can be made on the printer, one job each, on the calling thread.
// One entry per letter: empty when it was printed, else why not (in French).
QStringList print(const QList<Letter> &letters, QPrinter &printer, const Options &options = Options());

} // namespace LetterBatch
