// A batch of letters from one model to one PDF file each: the time it takes with the batch's
// workers and with one, its processor time, and the resident memory at its peak after 250 then
// 1,000 letters (memory must not grow with the number of letters). Options: --letters N (one run
// of N letters), --workers N.
#include "batch/LetterBatch.h"
#include "core/ProgramFolder.h"

#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

using namespace Qt::StringLiterals;

namespace {

long peakResidentKb()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// The processor time of the process so far (user and system), where known: on a shared machine
// it depends much less on the load than the elapsed time.
double cpuSeconds()
{
#ifdef Q_OS_UNIX
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
#else
    return -1;
#endif
}

double lastCpuSeconds = 0;

WizardValues modelValues()
{
    WizardValues w;
    w.senderName = u"Élise Fontaine"_s;
    w.senderQualifier = u"Madame"_s;
    w.senderFunction = u"Responsable des ressources humaines"_s;
    w.senderAddress = u"12 rue des Lilas"_s;
    w.senderTown = u"69001 Lyon"_s;
    w.senderPhone = u"04 78 00 00 00"_s;
    w.dateText = u"lundi 3 mars 2025"_s;
    w.town = u"Lyon"_s;
    w.object = u"Convocation à l'entretien annuel"_s;
    w.signature = u"Élise Fontaine"_s;
    w.formulaFirst = u"Je vous prie d'agréer"_s;
    w.formulaSecond = u"l'expression de mes salutations distinguées."_s;
    QStringList body;
    for (int i = 0; i < 6; ++i)
        body << u"Nous avons le plaisir de vous convier à votre entretien annuel, qui se tiendra dans nos locaux "
                u"à la date convenue avec votre responsable ; merci de vous munir des documents demandés."_s;
    w.body = body.join(u"\r\n"_s);
    return w;
}

QList<LetterBatch::Letter> letters(int count)
{
    QList<LetterBatch::Letter> list;
    const WizardValues model = modelValues();
    for (int i = 0; i < count; ++i) {
        WizardValues w = model;
        w.recipientName = u"Destinataire %1"_s.arg(i + 1, 4, 10, QChar(u'0'));
        w.recipientAddress = u"%1 avenue de la République"_s.arg(i + 1);
        w.recipientTown = u"75011 Paris"_s;
        w.recipientQualifier = i % 2 ? u"Monsieur"_s : u"Madame"_s;
        list.append(LetterBatch::fromValues(w, true));
    }
    return list;
}

double run(int count, int workers)
{
    QTemporaryDir out;
    const LetterBatch::Batch batch(letters(count), out.path(), {LetterBatch::Format::Pdf});
    LetterBatch::Options options;
    options.workers = workers;
    QElapsedTimer timer;
    const double cpuBefore = cpuSeconds();
    timer.start();
    const LetterBatch::Report report = batch.run(options);
    const double seconds = timer.nsecsElapsed() / 1e9;
    lastCpuSeconds = cpuSeconds() - cpuBefore;
    if (!report.complete()) {
        std::fprintf(stderr, "lot incomplet : %s\n", qPrintable(report.failure));
        std::exit(1);
    }
    return seconds;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption lettersOption(u"letters"_s, u"letters"_s, u"N"_s);
    const QCommandLineOption workersOption(u"workers"_s, u"workers"_s, u"N"_s);
    parser.addOptions({lettersOption, workersOption});
    parser.process(app);

    QTemporaryDir root;
    ProgramFolder::seed(QStringLiteral(QUILLO_DATA_DIR), root.path());
    ProgramFolder::setOverride(root.path());

    const int defaultWorkers = std::min(2 * QThread::idealThreadCount(), 16);
    const auto report = [](int count, int workers, double seconds) {
        std::printf("%4d lettres PDF, %2d fils : %5.2f s (%.2f ms par lettre ; processeur %.2f s), mémoire résidente "
                    "au plus haut %ld Mo\n",
                    count, workers, seconds, seconds * 1000 / count, lastCpuSeconds, peakResidentKb() / 1024);
    };
    if (parser.isSet(lettersOption)) {
        const int count = parser.value(lettersOption).toInt();
        const int workers = parser.value(workersOption).toInt();
        report(count, workers > 0 ? workers : defaultWorkers, run(count, workers));
        return 0;
    }
    run(20, 0); // fonts and caches warmed up
    for (const int count : {250, 1000})
        report(count, defaultWorkers, run(count, 0));
    report(250, 1, run(250, 1));
    return 0;
}
