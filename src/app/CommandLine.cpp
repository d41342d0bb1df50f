#include "app/CommandLine.h"

#include "composition/ModelValues.h"
#include "core/AlphabeticalOrder.h"
#include "core/ContactCard.h"
#include "core/DataPaths.h"
#include "core/LetterModel.h"
#include "core/Product.h"
#include "core/RecipientMapping.h"
#include "printing/CurrentPrinter.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QPrinter>
#include <QSet>

#include <csignal>
#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace CommandLine {
namespace {

const QString kProgram = u"Quillo"_s;

// Qt's own options, which the wizard accepts as always; those of the first list take a value.
const QStringList &qtOptionsWithValue()
{
    static const QStringList names = {u"platform"_s,
                                      u"platformpluginpath"_s,
                                      u"platformtheme"_s,
                                      u"plugin"_s,
                                      u"qwindowgeometry"_s,
                                      u"qwindowicon"_s,
                                      u"qwindowtitle"_s,
                                      u"display"_s,
                                      u"geometry"_s,
                                      u"title"_s,
                                      u"name"_s,
                                      u"style"_s,
                                      u"stylesheet"_s,
                                      u"session"_s,
                                      u"qmljsdebugger"_s,
                                      u"icon"_s,
                                      u"visual"_s,
                                      u"font"_s};
    return names;
}

const QStringList &qtOptionsAlone()
{
    static const QStringList names = {u"reverse"_s, u"widgetcount"_s, u"testability"_s,       u"nograb"_s,
                                      u"dograb"_s,  u"sync"_s,        u"qwindowalwaysontop"_s};
    return names;
}

const char kHelp[] =
    "Utilisation : Quillo [options] [NOM...]\n"
    "\n"
    "Sans option, Quillo ouvre l'assistant. Avec --modele, il écrit les lettres d'un modèle sans\n"
    "ouvrir de fenêtre : en PDF, en RTF ou sur l'imprimante par défaut, une lettre par fiche\n"
    "destinataire demandée, ou la lettre du modèle seule.\n"
    "\n"
    "Options :\n"
    "  --modele FICHIER       le modèle de lettre (fichier .txt enregistré par l'assistant) ;\n"
    "                         un nom seul est aussi cherché dans le dossier « Modèles »\n"
    "  --pdf DOSSIER          écrit chaque lettre en PDF dans ce dossier (créé au besoin)\n"
    "  --rtf DOSSIER          écrit chaque lettre en RTF dans ce dossier (créé au besoin)\n"
    "  --imprimer             imprime chaque lettre sur l'imprimante par défaut\n"
    "  --fiches NOM...        une lettre par fiche destinataire nommée : le destinataire du\n"
    "                         modèle est remplacé par celui de la fiche\n"
    "  --toutes-les-fiches    une lettre par fiche destinataire\n"
    "  --destinataires FICHIER\n"
    "                         une lettre par destinataire d'un fichier CSV (tableur) ou vCard\n"
    "                         (carnet d'adresses), sans créer de fiche ; les lignes douteuses\n"
    "                         (colonnes décalées, nom ou civilité vide, code postal à quatre\n"
    "                         chiffres) sont refusées et nommées\n"
    "  --reprendre            garde les fichiers qu'une exécution précédente a écrits en\n"
    "                         entier (d'après son journal) et n'écrit que les autres\n"
    "  -h, --help             affiche cette aide\n"
    "  -v, --version          affiche la version\n"
    "\n"
    "Chaque fichier porte le nom du destinataire (« Claire Durand.pdf », puis\n"
    "« Claire Durand (2).pdf » pour un second destinataire du même nom) ; un fichier du même\n"
    "nom déjà présent est remplacé. Le journal « journal.csv », écrit à côté des fichiers, dit\n"
    "pour chaque lettre le destinataire, le fichier et « ok » ou la raison de l'échec.\n"
    "\n"
    "Exemples :\n"
    "  Quillo --modele Relance.txt --toutes-les-fiches --pdf ~/Lettres\n"
    "  Quillo --modele Relance.txt --fiches \"Claire Durand\" \"Paul Martin\" --rtf Lettres --imprimer\n"
    "  Quillo --modele Relance.txt --destinataires contacts.csv --pdf Lettres\n"
    "\n"
    "État de sortie : 0 quand toutes les lettres sont écrites ; 1 quand une lettre n'a pas pu\n"
    "l'être (les autres le sont) ; 2 quand la commande est incorrecte (rien n'est écrit).\n";

volatile std::sig_atomic_t interrupted = 0;

extern "C" void onInterrupt(int)
{
    interrupted = 1;
}

bool isTerminal(FILE *stream)
{
#ifdef Q_OS_WIN
    return _isatty(_fileno(stream));
#else
    return isatty(fileno(stream));
#endif
}

void write(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

void say(const QString &line)
{
    write(stdout, line + u'\n');
}

void complain(const QString &line)
{
    write(stderr, kProgram + u" : "_s + line + u'\n');
}

int badArguments(const QString &message)
{
    complain(message);
    write(stderr, u"Pour l'aide : Quillo --help\n"_s);
    return BadArguments;
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The model as given, or by its name in the models folder (".txt" added when missing).
QString modelPath(const QString &given)
{
    if (QFileInfo::exists(given) || QFileInfo(given).isAbsolute() || given.contains(u'/') || given.contains(u'\\'))
        return given;
    const QDir models(DataPaths::modelsFolder());
    for (const QString &name : {given, given + u".txt"_s}) {
        if (QFileInfo::exists(models.filePath(name)))
            return models.filePath(name);
    }
    return given;
}

QString noun(int count, const QString &one, const QString &several)
{
    return QString::number(count) + u' ' + (count > 1 ? several : one);
}

// Shows the batch's progress on a terminal on one line that rewrites itself.
struct Progress
{
    bool shown = isTerminal(stderr);
    QString what;

    void operator()(int done, int total) const
    {
        if (shown)
            write(stderr, u"\r%1 : %2 sur %3"_s.arg(what).arg(done).arg(total));
    }
    void end() const
    {
        if (shown)
            write(stderr, u"\n"_s);
    }
};

} // namespace

bool isRequested(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (!argument.startsWith(u'-') || argument == u"-"_s)
            continue;
        if (argument == u"--"_s)
            return true;
        QString name = argument.mid(argument.startsWith(u"--"_s) ? 2 : 1);
        const bool valueGiven = name.contains(u'=');
        name = name.section(u'=', 0, 0);
        if (qtOptionsWithValue().contains(name)) {
            if (!valueGiven)
                ++i; // its value
            continue;
        }
        if (qtOptionsAlone().contains(name))
            continue;
        // One of ours, or an option that nothing knows: the command line says which.
        return true;
    }
    return false;
}

namespace {

// The command line speaks French on its standard error; Qt's own notes about the environment
// (in English: no runtime folder, a font substituted) would only muddle its messages.
void keepQtQuiet(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        write(stderr, message + u'\n');
}

} // namespace

void preparePlatform()
{
    qInstallMessageHandler(keepQtQuiet);
#if !defined(Q_OS_WIN) && !defined(Q_OS_MACOS)
    // No window is shown: drawing off screen works the same with or without a display server,
    // and a stale DISPLAY (a session over ssh, a scheduled task) cannot stop the letters.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
}

QList<Recipient> recipientCards(const QStringList &names)
{
    QStringList wanted = names;
    const QDir folder(ContactCard::folder(ContactCard::Kind::Recipient));
    if (wanted.isEmpty()) {
        for (const QString &file : folder.entryList({u"*.ini"_s}, QDir::Files))
            wanted.append(file.chopped(4));
        AlphabeticalOrder::sort(&wanted);
    }
    QList<Recipient> recipients;
    for (const QString &name : std::as_const(wanted)) {
        Recipient recipient;
        recipient.source = name;
        const QString path = ContactCard::filePath(ContactCard::Kind::Recipient, name);
        if (path.isEmpty() || !QFileInfo(path).isFile()) {
            recipient.problem = u"La fiche destinataire « %1 » est introuvable."_s.arg(name);
        } else if (!ContactCard::read(path, ContactCard::Kind::Recipient, &recipient.fields)) {
            recipient.problem = u"La fiche destinataire « %1 » n'a pas pu être lue."_s.arg(name);
        }
        recipients.append(recipient);
    }
    return recipients;
}

bool recipientsFromFile(const QString &path, QList<Recipient> *recipients, QString *error)
{
    const RecipientTable table = RecipientFile::readFile(path);
    if (!table.ok()) {
        *error = table.error;
        return false;
    }
    const Recipients::Mapped mapped = Recipients::map(table, Recipients::guessMapping(table));
    // Rows and unreadable records, merged back into the order of the file.
    QList<std::pair<int, Recipient>> found;
    found.reserve(mapped.rows.size() + mapped.damaged.size());
    for (const RecipientRow &row : mapped.rows) {
        Recipient recipient;
        const QString name = row.field(CardField::Name);
        recipient.source = name.isEmpty() ? u"Ligne %1"_s.arg(row.line) : name;
        recipient.fields = row.fields;
        // Without a window nobody can say the row is right after all: it is refused.
        if (row.isFlagged())
            recipient.problem = Recipients::describe(row);
        found.append({row.line, recipient});
    }
    for (const RecipientTable::Damage &damage : mapped.damaged)
        found.append({damage.line, {u"Ligne %1"_s.arg(damage.line), {}, Recipients::describe(damage)}});
    std::stable_sort(found.begin(), found.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    recipients->clear();
    for (const auto &[line, recipient] : found)
        recipients->append(recipient);
    return true;
}

QList<LetterBatch::Letter> lettersFor(const WizardValues &model, const QList<Recipient> &recipients)
{
    QList<LetterBatch::Letter> letters;
    letters.reserve(recipients.size());
    for (const Recipient &recipient : recipients) {
        if (!recipient.problem.isEmpty()) {
            letters.append(LetterBatch::unavailable(recipient.source, recipient.problem));
            continue;
        }
        WizardValues values = model;
        setRecipient(&values, recipient.fields);
        letters.append(LetterBatch::fromValues(values, true, recipient.source));
    }
    return letters;
}

int run(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const QCommandLineOption help({u"h"_s, u"help"_s, u"?"_s}, u"Affiche cette aide."_s);
    const QCommandLineOption version({u"v"_s, u"version"_s}, u"Affiche la version."_s);
    const QCommandLineOption model(u"modele"_s, u"Le modèle de lettre."_s, u"FICHIER"_s);
    const QCommandLineOption pdf(u"pdf"_s, u"Le dossier des lettres PDF."_s, u"DOSSIER"_s);
    const QCommandLineOption rtf(u"rtf"_s, u"Le dossier des lettres RTF."_s, u"DOSSIER"_s);
    const QCommandLineOption print(u"imprimer"_s, u"Imprime les lettres."_s);
    const QCommandLineOption cards(u"fiches"_s, u"Les fiches destinataire."_s, u"NOM"_s);
    const QCommandLineOption allCards(u"toutes-les-fiches"_s, u"Toutes les fiches destinataire."_s);
    const QCommandLineOption resume(u"reprendre"_s, u"Garde les fichiers déjà écrits."_s);
    const QCommandLineOption recipientFile(u"destinataires"_s, u"Les destinataires d'un fichier CSV ou vCard."_s,
                                           u"FICHIER"_s);
    parser.addOptions({help, version, model, pdf, rtf, print, cards, allCards, resume, recipientFile});
    parser.addPositionalArgument(u"NOM"_s, u"Les fiches destinataire après --fiches."_s, u"[NOM...]"_s);

    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty())
            return badArguments(
                u"option inconnue : « %1 »."_s.arg((unknown.first().size() == 1 ? u"-"_s : u"--"_s) + unknown.first()));
        return badArguments(parser.errorText());
    }
    if (parser.isSet(help)) {
        write(stdout, QString::fromUtf8(kHelp));
        return Success;
    }
    if (parser.isSet(version)) {
        say(Product::name() + u' ' + Product::versionText());
        return Success;
    }

    // The command as a whole first: nothing is written when it cannot be carried out.
    if (!parser.isSet(model))
        return badArguments(u"indiquez le modèle de lettre avec --modele FICHIER."_s);
    if (!parser.isSet(pdf) && !parser.isSet(rtf) && !parser.isSet(print))
        return badArguments(
            u"indiquez ce qu'il faut faire des lettres : --pdf DOSSIER, --rtf DOSSIER ou --imprimer."_s);
    for (const QCommandLineOption *option : {&model, &pdf, &rtf, &recipientFile}) {
        for (const QString &value : parser.values(*option)) {
            if (value.trimmed().isEmpty())
                return badArguments(u"--%1 attend un nom qui ne soit pas vide."_s.arg(option->names().first()));
        }
        if (parser.values(*option).size() > 1)
            return badArguments(u"--%1 ne peut être donnée qu'une fois."_s.arg(option->names().first()));
    }
    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(cards) && parser.isSet(allCards))
        return badArguments(u"--fiches et --toutes-les-fiches ne vont pas ensemble."_s);
    if (parser.isSet(recipientFile) && (parser.isSet(cards) || parser.isSet(allCards)))
        return badArguments(u"--destinataires ne va ni avec --fiches ni avec --toutes-les-fiches."_s);
    if (!positional.isEmpty() && !parser.isSet(cards))
        return badArguments(
            u"argument inattendu : « %1 » (les noms de fiches suivent --fiches)."_s.arg(positional.first()));
    if (parser.isSet(resume) && !parser.isSet(pdf) && !parser.isSet(rtf))
        return badArguments(u"--reprendre ne s'emploie qu'avec --pdf ou --rtf."_s);

    const QString modelFile = modelPath(parser.value(model));
    if (!QFileInfo::exists(modelFile))
        return badArguments(u"le modèle « %1 » est introuvable."_s.arg(shown(parser.value(model))));
    LetterModel letterModel;
    QString error;
    if (!LetterModel::read(modelFile, &letterModel, &error))
        return badArguments(error);
    const WizardValues values = valuesOfModel(letterModel);

    // The letters: the model's own, or one per recipient.
    QList<LetterBatch::Letter> letters;
    if (parser.isSet(recipientFile)) {
        QList<Recipient> recipients;
        if (!recipientsFromFile(parser.value(recipientFile), &recipients, &error))
            return badArguments(error);
        if (recipients.isEmpty()) {
            complain(u"le fichier « %1 » ne contient aucun destinataire."_s.arg(shown(parser.value(recipientFile))));
            return LetterFailed;
        }
        letters = lettersFor(values, recipients);
    } else if (parser.isSet(cards) || parser.isSet(allCards)) {
        const QStringList names = parser.values(cards) + positional;
        const QList<Recipient> recipients = recipientCards(names);
        if (recipients.isEmpty()) {
            complain(u"aucune fiche destinataire n'a été trouvée dans « %1 »."_s.arg(
                shown(ContactCard::folder(ContactCard::Kind::Recipient))));
            return LetterFailed;
        }
        letters = lettersFor(values, recipients);
    } else {
        letters.append(LetterBatch::fromValues(values, false, QFileInfo(modelFile).completeBaseName()));
    }

    // One batch per folder: PDF and RTF files in the same folder share its journal.
    QList<LetterBatch::Batch> batches;
    const QString pdfFolder =
        parser.isSet(pdf) ? QDir::cleanPath(QDir().absoluteFilePath(parser.value(pdf))) : QString();
    const QString rtfFolder =
        parser.isSet(rtf) ? QDir::cleanPath(QDir().absoluteFilePath(parser.value(rtf))) : QString();
    if (!pdfFolder.isEmpty() && pdfFolder == rtfFolder) {
        batches.append(LetterBatch::Batch(letters, pdfFolder, {LetterBatch::Format::Pdf, LetterBatch::Format::Rtf}));
    } else {
        if (!pdfFolder.isEmpty())
            batches.append(LetterBatch::Batch(letters, pdfFolder, {LetterBatch::Format::Pdf}));
        if (!rtfFolder.isEmpty())
            batches.append(LetterBatch::Batch(letters, rtfFolder, {LetterBatch::Format::Rtf}));
    }
    for (const LetterBatch::Batch &batch : std::as_const(batches)) {
        if (const QString problem = batch.folderProblem(); !problem.isEmpty())
            return badArguments(problem);
    }
    if (parser.isSet(print)) {
        // Without any printer installed the print system hands out one that writes nowhere.
        const QPrinter &printer = Printing::currentPrinter();
        if (!printer.isValid() || (printer.outputFormat() == QPrinter::NativeFormat && printer.printerName().isEmpty()))
            return badArguments(u"aucune imprimante n'est disponible pour --imprimer."_s);
    }

    // Ctrl+C stops after the letters being written and still leaves the journal.
    interrupted = 0;
    const auto previousHandler = std::signal(SIGINT, onInterrupt);
    bool lost = false;
    for (const LetterBatch::Batch &batch : std::as_const(batches)) {
        Progress progress;
        progress.what = u"Lettres"_s;
        LetterBatch::Options options;
        options.resume = parser.isSet(resume);
        options.progress = [&progress](int done, int total) { progress(done, total); };
        options.cancelled = [] { return interrupted != 0; };
        const LetterBatch::Report report = batch.run(options);
        progress.end();
        for (const LetterBatch::Outcome &file : report.files) {
            if (file.status == LetterBatch::Outcome::Status::Failed && report.failure.isEmpty())
                complain(u"%1 : %2"_s.arg(file.recipient, file.error));
        }
        if (!report.failure.isEmpty())
            complain(report.failure);
        if (report.cancelled)
            complain(u"interrompu : %1 non écrites."_s.arg(
                noun(report.count(LetterBatch::Outcome::Status::NotWritten), u"lettre"_s, u"lettres"_s)));
        if (!report.journalError.isEmpty())
            complain(report.journalError);
        const int written = report.count(LetterBatch::Outcome::Status::Written);
        const int kept = report.count(LetterBatch::Outcome::Status::Kept);
        QString summary =
            u"%1 dans « %2 »"_s.arg(noun(written, u"fichier écrit"_s, u"fichiers écrits"_s), shown(batch.folder()));
        if (kept > 0)
            summary += u", %1"_s.arg(noun(kept, u"gardé"_s, u"gardés"_s));
        say(summary + u" ; journal : "_s + shown(batch.journalPath()));
        lost = lost || !report.complete();
        if (report.cancelled)
            break;
    }

    if (parser.isSet(print) && !interrupted) {
        Progress progress;
        progress.what = u"Impression"_s;
        LetterBatch::Options options;
        options.progress = [&progress](int done, int total) { progress(done, total); };
        options.cancelled = [] { return interrupted != 0; };
        const QStringList results = LetterBatch::print(letters, Printing::currentPrinter(), options);
        progress.end();
        int printed = 0;
        for (qsizetype i = 0; i < results.size(); ++i) {
            if (results[i].isEmpty())
                ++printed;
            else
                complain(u"%1 : %2"_s.arg(letters[i].recipient, results[i]));
        }
        say(u"%1 sur l'imprimante « %2 »"_s.arg(noun(printed, u"lettre imprimée"_s, u"lettres imprimées"_s),
                                                Printing::currentPrinter().printerName()));
        lost = lost || printed < results.size();
    }
    std::signal(SIGINT, previousHandler);
    return lost || interrupted ? LetterFailed : Success;
}

} // namespace CommandLine
