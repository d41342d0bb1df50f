#include "batch/LetterBatch.h"

#include "batch/FileNames.h"
#include "batch/Journal.h"
#include "composition/LetterAssembly.h"
#include "core/Clock.h"
#include "core/QuilloError.h"
#include "printing/LetterPdf.h"
#include "printing/PrintRtf.h"
#include "richtext/RichText.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHash>
#include <QMutex>
#include <QTemporaryFile>
#include <QTextDocument>
#include <QThread>
#include <QWaitCondition>

#include <atomic>
#include <memory>

using namespace Qt::StringLiterals;

namespace LetterBatch {
namespace {

using Status = Outcome::Status;

// How often, at most, a running batch writes its journal: often enough that a batch stopped
// short leaves a journal that is nearly current, seldom enough to cost nothing.
constexpr int kJournalIntervalMs = 1000;
// The longest run of letters a worker writes at once.
constexpr int kMaxRun = 24;
// Workers beyond this many would only wait for the disk.
constexpr int kMaxWorkers = 16;

// An RTF file written whole: it starts as RTF and its outermost group closes at its end.
bool isCompleteRtf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (!RichText::looksLikeRtf(bytes))
        return false;
    int depth = 0;
    qsizetype last = bytes.size() - 1;
    while (last >= 0 && QByteArrayView(" \t\r\n\0", 5).contains(bytes[last]))
        --last;
    for (qsizetype i = 0; i <= last; ++i) {
        const char c = bytes[i];
        if (c == '\\') {
            ++i; // an escaped brace or backslash is text
        } else if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth == 0)
                return i == last;
        }
    }
    return false;
}

bool isComplete(const QString &path, Format format)
{
    return format == Format::Pdf ? LetterPdf::isCompleteFile(path) : isCompleteRtf(path);
}

LetterPdf::Properties pdfProperties(const Letter &letter, const QDateTime &created)
{
    if (!letter.rtf.isEmpty())
        return {letter.title.isEmpty() ? letter.recipient : letter.title, letter.author, created};
    const WizardValues &w = letter.values;
    const bool hasObject = !w.noObject && !w.object.trimmed().isEmpty();
    return {hasObject ? w.object.trimmed() : letter.recipient, w.senderName.trimmed(), created};
}

QString journalResult(const Outcome &outcome)
{
    switch (outcome.status) {
    case Status::Written:
    case Status::Kept:
        return BatchJournal::Written.toString();
    case Status::Failed:
        return outcome.error;
    case Status::NotWritten:
        break;
    }
    return BatchJournal::NotWritten.toString();
}

QList<BatchJournal::Row> journalRows(const QList<Outcome> &files, const QStringList &fingerprints)
{
    QList<BatchJournal::Row> rows;
    rows.reserve(files.size());
    for (const Outcome &outcome : files)
        rows.append({outcome.recipient, QFileInfo(outcome.path).fileName(), journalResult(outcome),
                     fingerprints.value(outcome.letter)});
    return rows;
}

// What a letter says, in a few characters: the values that replace the placeholders and the
// template (or the letter made already). A resumed batch keeps a file only for the same letter:
// not for another recipient of the same name, nor after the model or the template changed.
QString fingerprint(const Letter &letter, const QByteArray &templateRtf)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    if (!letter.rtf.isEmpty()) {
        hash.addData(letter.rtf);
    } else {
        const LetterFields fields = composeLetterFields(letter.values, letter.fromCard);
        for (const QString &value : fields.values) {
            hash.addData(value.toUtf8());
            hash.addData(QByteArrayView("\0", 1));
        }
        hash.addData(templateRtf);
    }
    hash.addData(letter.title.toUtf8() + '\0' + letter.author.toUtf8());
    return QString::fromLatin1(hash.result().toHex().left(16));
}

// The files a previous run wrote whole, by name, as its journal tells.
struct Previous
{
    QString recipient;
    QString fingerprint;
};

QHash<QString, Previous> writtenBefore(const QString &journal)
{
    QHash<QString, Previous> files;
    for (const BatchJournal::Row &row : BatchJournal::read(journal)) {
        if (row.result == BatchJournal::Written)
            files.insert(row.file, {row.recipient, row.fingerprint});
    }
    return files;
}

bool keptFromBefore(const QHash<QString, Previous> &before, const QString &path, Format format,
                    const QString &recipient, const QString &print)
{
    const auto found = before.constFind(QFileInfo(path).fileName());
    return found != before.cend() && found->recipient == recipient && found->fingerprint == print &&
           isComplete(path, format);
}

// The template for fingerprints: what the batch will write with, or nothing when it cannot be
// read (then nothing is kept, and the batch reports why).
QByteArray templateFor(const QList<Letter> &letters)
{
    if (std::all_of(letters.cbegin(), letters.cend(), [](const Letter &l) { return !l.rtf.isEmpty(); }))
        return {};
    try {
        return readLetterTemplate();
    } catch (const QuilloError &) {
        return {};
    }
}

// Writes the files still to write of a run of letters, on one worker thread. Each letter is
// composed once for all its formats and let go as soon as it is drawn; the PDF files of the run
// come out of one series, so that their fonts are prepared once for the run.
void writeLetters(const QList<const Letter *> &letters, const QList<QList<Outcome *>> &files,
                  const QByteArray &templateRtf, const QDateTime &created)
{
    LetterPdf::Series series;
    struct Drawn
    {
        const Letter *letter;
        Outcome *outcome;
    };
    QList<Drawn> drawn;
    for (qsizetype i = 0; i < letters.size(); ++i) {
        const Letter &letter = *letters[i];
        if (files[i].isEmpty())
            continue;
        const auto failAll = [&](const QString &reason) {
            for (Outcome *outcome : files[i]) {
                outcome->status = Status::Failed;
                outcome->error = reason;
            }
        };
        QTextDocument document;
        try {
            compose(letter, templateRtf, &document);
        } catch (const QuilloError &error) {
            failAll(error.description);
            continue;
        }
        for (Outcome *outcome : files[i]) {
            QString error;
            bool written = false;
            if (outcome->format == Format::Rtf) {
                written = RichText::saveRtfFile(outcome->path, &document, &error);
            } else if (series.add(document)) {
                drawn.append({&letter, outcome});
                continue;
            } else {
                written = LetterPdf::write(outcome->path, document, pdfProperties(letter, created), &error);
            }
            outcome->status = written ? Status::Written : Status::Failed;
            outcome->error = error;
        }
    }
    for (qsizetype i = 0; i < drawn.size(); ++i) {
        Outcome *outcome = drawn[i].outcome;
        const LetterPdf::Properties properties = pdfProperties(*drawn[i].letter, created);
        QString error;
        const QByteArray pdf = series.file(int(i), properties);
        bool written = false;
        if (!pdf.isEmpty()) {
            written = LetterPdf::save(outcome->path, pdf, &error);
        } else {
            // The series could not be cut: the letter alone, composed again.
            QTextDocument document;
            try {
                compose(*drawn[i].letter, templateRtf, &document);
                written = LetterPdf::write(outcome->path, document, properties, &error);
            } catch (const QuilloError &failure) {
                error = failure.description;
            }
        }
        outcome->status = written ? Status::Written : Status::Failed;
        outcome->error = error;
    }
}

} // namespace

QString extension(Format format)
{
    return format == Format::Pdf ? u"pdf"_s : u"rtf"_s;
}

Letter fromValues(const WizardValues &values, bool fromCard, const QString &fallbackName)
{
    Letter letter;
    letter.values = values;
    letter.fromCard = fromCard;
    letter.recipient = values.recipientName.trimmed();
    if (letter.recipient.isEmpty())
        letter.recipient = fallbackName.trimmed().isEmpty() ? u"Lettre"_s : fallbackName.trimmed();
    return letter;
}

Letter fromDocument(const QString &caption, const QByteArray &rtf)
{
    Letter letter;
    letter.recipient = caption.trimmed().isEmpty() ? u"Lettre"_s : caption.trimmed();
    letter.rtf = rtf;
    return letter;
}

Letter unavailable(const QString &recipient, const QString &problem)
{
    Letter letter;
    letter.recipient = recipient;
    letter.problem = problem;
    return letter;
}

void compose(const Letter &letter, const QByteArray &templateRtf, QTextDocument *document)
{
    if (!letter.problem.isEmpty())
        throw QuilloError(letter.problem, QuilloError::FileNotFound);
    if (!letter.rtf.isEmpty()) {
        const RichText::ReadResult read = RichText::readRtf(letter.rtf, document);
        if (!read.ok)
            throw QuilloError(read.error, QuilloError::InvalidFileFormat);
        return;
    }
    Build_Lettre(document, composeLetterFields(letter.values, letter.fromCard), templateRtf);
}

bool writePdf(const Letter &letter, const QString &path, QString *error)
{
    try {
        QTextDocument document;
        compose(letter, letter.rtf.isEmpty() ? readLetterTemplate() : QByteArray(), &document);
        return LetterPdf::write(path, document, pdfProperties(letter, Clock::now()), error);
    } catch (const QuilloError &failure) {
        if (error)
            *error = failure.description;
        return false;
    }
}

int Report::count(Outcome::Status status) const
{
    return int(std::count_if(files.cbegin(), files.cend(), [status](const Outcome &o) { return o.status == status; }));
}

bool Report::complete() const
{
    return failure.isEmpty() && journalError.isEmpty() &&
           count(Status::Written) + count(Status::Kept) == int(files.size());
}

Batch::Batch(QList<Letter> letters, const QString &folder, QList<Format> formats)
    : letterList(std::move(letters)), folderPath(folder), formatList(std::move(formats))
{
    QStringList recipients;
    recipients.reserve(letterList.size());
    for (const Letter &letter : std::as_const(letterList))
        recipients.append(letter.recipient);
    for (const Format format : std::as_const(formatList))
        names.append(BatchFileNames::unique(recipients, extension(format)));
}

QString Batch::filePath(int letter, Format format) const
{
    const qsizetype f = formatList.indexOf(format);
    return f < 0 ? QString() : QDir(folderPath).filePath(names[f].value(letter));
}

QString Batch::journalPath() const
{
    return QDir(folderPath).filePath(BatchJournal::FileName.toString());
}

QStringList Batch::existingFiles(bool resume) const
{
    const QHash<QString, Previous> before = resume ? writtenBefore(journalPath()) : QHash<QString, Previous>();
    const QByteArray templateRtf = resume ? templateFor(letterList) : QByteArray();
    QStringList existing;
    for (int letter = 0; letter < letterList.size(); ++letter) {
        const QString print = resume ? fingerprint(letterList[letter], templateRtf) : QString();
        for (const Format format : formatList) {
            const QString path = filePath(letter, format);
            if (QFileInfo::exists(path) &&
                !(resume && keptFromBefore(before, path, format, letterList[letter].recipient, print)))
                existing.append(path);
        }
    }
    return existing;
}

QString Batch::folderProblem() const
{
    const QString shown = QDir::toNativeSeparators(folderPath);
    const QFileInfo info(folderPath);
    if (info.exists() && !info.isDir())
        return u"« %1 » n'est pas un dossier."_s.arg(shown);
    if (!info.exists() && !QDir().mkpath(folderPath))
        return u"Le dossier « %1 » n'a pas pu être créé."_s.arg(shown);
    // Permissions say little on shares and under access lists: try.
    QTemporaryFile probe(QDir(folderPath).filePath(u".quillo-XXXXXX"_s));
    if (!probe.open())
        return u"Impossible d'écrire dans le dossier « %1 » : %2"_s.arg(shown, probe.errorString());
    return QString();
}

Report Batch::run(const Options &options) const
{
    Report report;
    const int total = int(letterList.size());
    QStringList fingerprints;
    const auto stopAll = [&](const QString &failure) {
        report.failure = failure;
        for (Outcome &outcome : report.files) {
            if (outcome.status == Status::NotWritten) {
                outcome.status = Status::Failed;
                outcome.error = failure;
            }
        }
        if (QFileInfo(folderPath).isDir())
            BatchJournal::write(journalPath(), journalRows(report.files, fingerprints), &report.journalError);
        return report;
    };
    for (int letter = 0; letter < total; ++letter) {
        for (const Format format : formatList) {
            Outcome outcome;
            outcome.letter = letter;
            outcome.format = format;
            outcome.recipient = letterList[letter].recipient;
            outcome.path = filePath(letter, format);
            report.files.append(outcome);
        }
    }
    if (const QString problem = folderProblem(); !problem.isEmpty())
        return stopAll(problem);
    QByteArray templateRtf;
    if (std::any_of(letterList.cbegin(), letterList.cend(), [](const Letter &l) { return l.rtf.isEmpty(); })) {
        try {
            templateRtf = readLetterTemplate();
        } catch (const QuilloError &error) {
            return stopAll(error.description);
        }
    }
    for (const Letter &letter : letterList)
        fingerprints.append(fingerprint(letter, templateRtf));

    const QHash<QString, Previous> before = options.resume ? writtenBefore(journalPath()) : QHash<QString, Previous>();
    QList<bool> toWrite(total, false);
    for (Outcome &outcome : report.files) {
        if (options.resume &&
            keptFromBefore(before, outcome.path, outcome.format, outcome.recipient, fingerprints[outcome.letter]))
            outcome.status = Status::Kept;
        else
            toWrite[outcome.letter] = true;
    }

    // The font list is gathered on the calling thread before the workers lay out their letters.
    QFontDatabase::families();
    const QDateTime created = Clock::now();

    // The work: the letters still to write, in runs taken in order by whichever worker is free.
    // A run shares its PDF fonts (see LetterPdf::Series); runs are kept short enough that every
    // worker gets several and that a cancel is heard soon.
    QList<int> queue;
    int done = 0;
    for (int letter = 0; letter < total; ++letter) {
        if (toWrite[letter])
            queue.append(letter);
        else
            ++done;
    }
    // Each file waits for the disk when it is committed: twice as many workers as cores keep the
    // cores busy meanwhile.
    const int defaultWorkers = std::min(2 * QThread::idealThreadCount(), kMaxWorkers);
    const int workerCount =
        std::max(1, std::min(int(queue.size()), options.workers > 0 ? options.workers : defaultWorkers));
    const int runLength = std::clamp(int(queue.size()) / (workerCount * 2), 1, kMaxRun);
    const int formatCount = int(formatList.size());

    QMutex mutex;
    QWaitCondition changed;
    std::atomic<int> next{0};
    std::atomic<bool> stop{false};
    int running = workerCount;
    int finished = done;
    // The workers' results, under the mutex. Workers only read report.files, through at(): a
    // write access would detach the list it shares with this copy, from several threads at once.
    QList<Outcome> files = report.files;

    const auto work = [&] {
        for (;;) {
            const int first = next.fetch_add(runLength);
            if (stop.load() || first >= queue.size())
                break;
            const int last = std::min(int(queue.size()), first + runLength);
            QList<Outcome> mine;
            for (int slot = first; slot < last; ++slot) {
                for (int f = 0; f < formatCount; ++f)
                    mine.append(report.files.at(queue.at(slot) * formatCount + f));
            }
            QList<const Letter *> letters;
            QList<QList<Outcome *>> pending;
            for (int slot = first; slot < last; ++slot) {
                letters.append(&letterList[queue.at(slot)]);
                QList<Outcome *> own;
                for (int f = 0; f < formatCount; ++f) {
                    Outcome &outcome = mine[(slot - first) * formatCount + f];
                    if (outcome.status == Status::NotWritten)
                        own.append(&outcome);
                }
                pending.append(own);
            }
            writeLetters(letters, pending, templateRtf, created);
            const QMutexLocker locker(&mutex);
            for (int slot = first; slot < last; ++slot) {
                for (int f = 0; f < formatCount; ++f)
                    files[queue.at(slot) * formatCount + f] = mine[(slot - first) * formatCount + f];
            }
            finished += last - first;
            changed.wakeAll();
        }
        const QMutexLocker locker(&mutex);
        --running;
        changed.wakeAll();
    };

    // A cancel asked before the first letter writes none.
    if (options.cancelled && options.cancelled()) {
        stop = true;
        report.cancelled = true;
    }
    std::vector<std::unique_ptr<QThread>> workers;
    for (int i = 0; i < workerCount && !queue.isEmpty(); ++i) {
        workers.emplace_back(QThread::create(work));
        workers.back()->start();
    }
    if (queue.isEmpty())
        running = 0;

    QElapsedTimer sinceJournal;
    sinceJournal.start();
    QString journalError;
    int reported = -1;
    mutex.lock();
    for (;;) {
        if (running > 0)
            changed.wait(&mutex, QDeadlineTimer(100));
        const int now = finished;
        const bool over = running == 0;
        const bool writeJournal = !over && sinceJournal.elapsed() >= kJournalIntervalMs;
        const QList<Outcome> snapshot = writeJournal ? files : QList<Outcome>();
        mutex.unlock();
        if (options.progress && now != reported) {
            options.progress(now, total);
            reported = now;
        }
        if (!stop.load() && options.cancelled && options.cancelled()) {
            stop = true;
            report.cancelled = true;
        }
        if (writeJournal) {
            BatchJournal::write(journalPath(), journalRows(snapshot, fingerprints), &journalError);
            sinceJournal.restart();
        }
        if (over)
            break;
        mutex.lock();
    }
    for (const auto &worker : workers)
        worker->wait();

    report.files = files;
    report.journalError.clear();
    BatchJournal::write(journalPath(), journalRows(report.files, fingerprints), &report.journalError);
    return report;
}

QStringList print(const QList<Letter> &letters, QPrinter &printer, const Options &options)
{
    QStringList results(letters.size());
    QByteArray templateRtf;
    QString templateProblem;
    const bool anyToCompose =
        std::any_of(letters.cbegin(), letters.cend(), [](const Letter &l) { return l.rtf.isEmpty(); });
    if (anyToCompose) {
        try {
            templateRtf = readLetterTemplate();
        } catch (const QuilloError &error) {
            templateProblem = error.description;
        }
    }
    for (int i = 0; i < letters.size(); ++i) {
        if (options.cancelled && options.cancelled()) {
            for (int rest = i; rest < letters.size(); ++rest)
                results[rest] = BatchJournal::NotWritten.toString();
            break;
        }
        try {
            if (letters[i].rtf.isEmpty() && !templateProblem.isEmpty())
                throw QuilloError(templateProblem, QuilloError::FileNotFound);
            QTextDocument document;
            compose(letters[i], templateRtf, &document);
            Print_RTF(printer, document, LetterMargin, LetterMargin, LetterMargin, LetterMargin);
        } catch (const QuilloError &error) {
            results[i] = error.description;
        }
        if (options.progress)
            options.progress(i + 1, int(letters.size()));
    }
    return results;
}

} // namespace LetterBatch
