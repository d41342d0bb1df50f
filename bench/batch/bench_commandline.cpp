// Quillo's command line against LibreOffice, side by side in one run:
//  - 200 letters (--letters N) written as PDF by `Quillo --modele … --toutes-les-fiches --pdf`,
//    the whole process timed, against LibreOffice converting the same 200 letters' RTF files
//    (written by Quillo beforehand) with `soffice --headless --convert-to pdf`;
//  - reliability on 1,000 letters (--reliability N): how many PDF files each one leaves, and
//    its exit status.
// LibreOffice is skipped when soffice is absent (--no-office skips it too). Each program runs
// once untimed first, so that neither pays for its first start (LibreOffice's profile). Beside
// the elapsed time, the processor time: on a shared machine it depends much less on the load.
#include "core/ContactCard.h"
#include "core/LetterModel.h"
#include "core/ProgramFolder.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

using namespace Qt::StringLiterals;

namespace {

struct Outcome
{
    double seconds = 0;
    double cpuSeconds = -1; // user and system time of the process and its children, where known
    int exitStatus = -1;
    int pdfFiles = 0;
};

int pdfFilesIn(const QString &folder)
{
    return int(QDir(folder).entryList({u"*.pdf"_s}, QDir::Files).size());
}

// The processor time the finished children used so far (the machine is shared: the wall time
// depends on the load, this much less).
double childrenCpuSeconds()
{
#ifdef Q_OS_UNIX
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
#else
    return -1;
#endif
}

Outcome timed(const QString &program, const QStringList &arguments, const QString &outFolder)
{
    const double cpuBefore = childrenCpuSeconds();
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    process.waitForFinished(-1);
    Outcome outcome;
    outcome.seconds = timer.nsecsElapsed() / 1e9;
    if (cpuBefore >= 0)
        outcome.cpuSeconds = childrenCpuSeconds() - cpuBefore;
    outcome.exitStatus = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    outcome.pdfFiles = pdfFilesIn(outFolder);
    return outcome;
}

// A portable program folder: Quillo beside the installation content, a model and n cards.
void prepare(const QString &root, int cards)
{
    QFile::copy(QStringLiteral(QUILLO_BIN_DIR "/Quillo"), QDir(root).filePath(u"Quillo"_s));
    ProgramFolder::seed(QStringLiteral(QUILLO_DATA_DIR), root);
    ProgramFolder::setOverride(root);
    QDir().mkpath(ContactCard::folder(ContactCard::Kind::Recipient));
    QDir(root).mkpath(u"Modèles"_s);
    LetterModel model;
    model.sender = {u"Élise Fontaine"_s,
                    u"12 rue des Lilas"_s,
                    QString(),
                    u"69001 Lyon"_s,
                    QString(),
                    u"04 78 00 00 00"_s,
                    QString(),
                    u"Madame"_s,
                    u"Responsable des ressources humaines"_s};
    model.recipient = {u"Paul Modèle"_s, QString(), QString(), QString(), QString(), QString(), QString()};
    model.references = {u"lundi 3 mars 2025"_s,
                        u"Lyon"_s,
                        u"Convocation à l'entretien annuel"_s,
                        u"Élise Fontaine"_s,
                        u"Je vous prie d'agréer"_s,
                        u"l'expression de mes salutations distinguées."_s};
    QStringList body;
    for (int i = 0; i < 6; ++i)
        body << u"Nous avons le plaisir de vous convier à votre entretien annuel, qui se tiendra dans nos locaux à "
                u"la date convenue avec votre responsable ; merci de vous munir des documents demandés."_s;
    model.body = body.join(u"\r\n"_s);
    model.write(QDir(root).filePath(u"Modèles/Entretien.txt"_s), nullptr);
    for (int i = 1; i <= cards; ++i) {
        const QString name = u"Destinataire %1"_s.arg(i, 4, 10, QChar(u'0'));
        ContactCard::write(ContactCard::filePath(ContactCard::Kind::Recipient, name), ContactCard::Kind::Recipient,
                           {name, u"%1 avenue de la République"_s.arg(i), QString(), u"75011 Paris"_s, QString(),
                            i % 2 ? u"Monsieur"_s : u"Madame"_s, QString()});
    }
    ProgramFolder::setOverride(QString());
}

Outcome quillo(const QString &root, const QString &format, const QString &out)
{
    return timed(QDir(root).filePath(u"Quillo"_s),
                 {u"--modele"_s, u"Entretien.txt"_s, u"--toutes-les-fiches"_s, u"--"_s + format, out}, out);
}

Outcome office(const QString &soffice, const QString &profile, const QString &rtfFolder, const QString &out)
{
    QStringList arguments{
        u"-env:UserInstallation=file://"_s + profile, u"--headless"_s, u"--convert-to"_s, u"pdf"_s, u"--outdir"_s, out};
    for (const QString &file : QDir(rtfFolder).entryList({u"*.rtf"_s}, QDir::Files, QDir::Name))
        arguments.append(QDir(rtfFolder).filePath(file));
    return timed(soffice, arguments, out);
}

void line(const char *who, int letters, const Outcome &outcome)
{
    std::printf("  %-34s %5d lettres : %6.2f s (%5.1f ms par lettre, processeur %6.2f s), %4d PDF écrits, "
                "état de sortie %d\n",
                who, letters, outcome.seconds, outcome.seconds * 1000 / letters, outcome.cpuSeconds, outcome.pdfFiles,
                outcome.exitStatus);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption lettersOption(u"letters"_s, u"letters timed side by side"_s, u"N"_s, u"200"_s);
    const QCommandLineOption reliabilityOption(u"reliability"_s, u"letters of the reliability run"_s, u"N"_s,
                                               u"1000"_s);
    const QCommandLineOption noOffice(u"no-office"_s, u"skip LibreOffice"_s);
    parser.addOptions({lettersOption, reliabilityOption, noOffice});
    parser.process(app);
    const int letters = parser.value(lettersOption).toInt();
    const int many = parser.value(reliabilityOption).toInt();
    const QString soffice = parser.isSet(noOffice) ? QString() : QStandardPaths::findExecutable(u"soffice"_s);

    QTemporaryDir work;
    const QString small = work.filePath(u"petit"_s);
    const QString large = work.filePath(u"grand"_s);
    QDir().mkpath(small);
    QDir().mkpath(large);
    prepare(small, letters);
    prepare(large, many);

    // Untimed first runs: the system's caches, LibreOffice's new profile.
    quillo(small, u"pdf"_s, work.filePath(u"essai"_s));
    const Outcome rtf = quillo(small, u"rtf"_s, work.filePath(u"rtf"_s));
    const QString profile = work.filePath(u"profil"_s);
    if (!soffice.isEmpty()) {
        const QString one = work.filePath(u"une"_s);
        QDir().mkpath(one);
        QFile::copy(QDir(work.filePath(u"rtf"_s)).filePath(u"Destinataire 0001.rtf"_s), QDir(one).filePath(u"a.rtf"_s));
        office(soffice, profile, one, work.filePath(u"essai-office"_s));
    }

    std::printf("%d lettres d'un modèle, une par fiche destinataire :\n", letters);
    const Outcome ours = quillo(small, u"pdf"_s, work.filePath(u"pdf"_s));
    line("Quillo --pdf (processus entier)", letters, ours);
    line("Quillo --rtf (processus entier)", letters, rtf);
    if (soffice.isEmpty()) {
        std::printf("  LibreOffice (soffice) absent : comparaison sautée\n");
    } else {
        const Outcome theirs = office(soffice, profile, work.filePath(u"rtf"_s), work.filePath(u"office"_s));
        line("soffice --convert-to pdf (RTF)", letters, theirs);
        std::printf("  Quillo est %.1f fois plus rapide (%.1f fois moins de temps processeur)\n",
                    theirs.seconds / ours.seconds, theirs.cpuSeconds / ours.cpuSeconds);
    }

    if (many <= 0)
        return ours.pdfFiles == letters ? 0 : 1;
    std::printf("\nFiabilité sur %d lettres :\n", many);
    const Outcome oursMany = quillo(large, u"pdf"_s, work.filePath(u"pdf-grand"_s));
    line("Quillo --pdf (processus entier)", many, oursMany);
    if (!soffice.isEmpty()) {
        quillo(large, u"rtf"_s, work.filePath(u"rtf-grand"_s));
        const Outcome theirsMany =
            office(soffice, profile, work.filePath(u"rtf-grand"_s), work.filePath(u"office-grand"_s));
        line("soffice --convert-to pdf (RTF)", many, theirsMany);
        if (theirsMany.pdfFiles < many && theirsMany.exitStatus == 0)
            std::printf("  LibreOffice s'est arrêté après %d fichiers sur %d et a pourtant répondu 0\n",
                        theirsMany.pdfFiles, many);
    }
    return ours.pdfFiles == letters && oursMany.pdfFiles == many ? 0 : 1;
}
