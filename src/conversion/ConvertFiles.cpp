#include "conversion/ConvertFiles.h"

#include "core/DataPaths.h"
#include "core/Folders.h"
#include "core/LineListFile.h"
#include "core/TextFile.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QThreadPool>

#include <algorithm>
#include <atomic>

using namespace Qt::StringLiterals;

namespace ConvertFiles {
namespace {

QString listTarget(OldVersion::ListIndex list)
{
    const QDir references(DataPaths::referencesFolder());
    const QDir formulas(DataPaths::formulasFolder());
    switch (list) {
    case OldVersion::Towns:
        return references.filePath(u"Communes.ini"_s);
    case OldVersion::Objects:
        return references.filePath(u"Objets.ini"_s);
    case OldVersion::Functions:
        return references.filePath(u"Fonctions.ini"_s);
    case OldVersion::Signatures:
        return references.filePath(u"Signatures.ini"_s);
    case OldVersion::FormulasFirst:
        return formulas.filePath(u"Formules1.ini"_s);
    case OldVersion::FormulasSecond:
        return formulas.filePath(u"Formules2.ini"_s);
    case OldVersion::ListCount:
        break;
    }
    return QString();
}

// How many card files are written at the same time: the writers mostly wait for the disk.
constexpr int kCardWriters = 16;

// One card file to write.
struct CardWrite
{
    ContactCard::Kind kind;
    QString path;
    QStringList fields;
    QString error; // set by the writer on failure
    bool written = false;
    bool superseded = false; // a later row of the same name is written instead
};

// Two card names that give the same file on this system's file systems.
QString fileKey(const QString &path)
{
#if defined(Q_OS_WIN) || defined(Q_OS_DARWIN)
    return path.toCaseFolded();
#else
    return path;
#endif
}

// Every card file is replaced atomically, and each replacement waits until its bytes are on the
// disk. Done one after the other, those waits add up to many seconds for a few thousand cards;
// done side by side, the file system commits them together. A card that appears twice (the
// same folder imported twice) is written once, with its last version, so that the order of the
// rows still decides which one wins.
void writeCardFiles(QList<CardWrite> *writes)
{
    QHash<QString, qsizetype> last;
    for (qsizetype i = 0; i < writes->size(); ++i)
        last.insert(fileKey(writes->at(i).path), i);
    QList<CardWrite *> pending;
    for (qsizetype i = 0; i < writes->size(); ++i) {
        if (last.value(fileKey(writes->at(i).path)) == i)
            pending.append(&(*writes)[i]);
        else
            (*writes)[i].superseded = true;
    }

    std::atomic<qsizetype> next = 0;
    const auto work = [&] {
        for (qsizetype i = next++; i < pending.size(); i = next++) {
            CardWrite *write = pending.at(i);
            write->written = ContactCard::write(write->path, write->kind, write->fields, &write->error);
        }
    };
    QThreadPool pool;
    pool.setMaxThreadCount(int(std::min<qsizetype>(kCardWriters, pending.size())));
    for (int i = 0; i < pool.maxThreadCount(); ++i)
        pool.start(work);
    pool.waitForDone();
}

void writeCards(const OldVersion::Data &data, Report *report)
{
    QList<CardWrite> writes;
    writes.reserve(data.senders.size() + data.recipients.size());
    const auto plan = [&](const QList<OldVersion::Card> &cards, ContactCard::Kind kind) {
        for (const OldVersion::Card &card : cards) {
            const QString name = card.fields.value(0);
            const QString problem = ContactCard::nameProblem(name);
            if (problem.isEmpty())
                writes.append({kind, ContactCard::filePath(kind, name), card.fields, {}, false, false});
            else
                report->refusedCards.append({kind, name, card.sourceFile, problem});
        }
    };
    plan(data.senders, ContactCard::Kind::Sender);
    plan(data.recipients, ContactCard::Kind::Recipient);
    writeCardFiles(&writes);
    for (const CardWrite &write : std::as_const(writes)) {
        if (write.superseded)
            continue;
        if (write.written)
            ++report->cardsWritten;
        else
            report->failures.append(write.error);
    }
}

// The phrase files hold one block of lines per drop-down list of the writing assistant, each
// block ended by an empty line. The old files have the same layout: their lines are kept as
// they are, the line ends become CR LF and the last block gets its closing empty line.
bool copyPhraseFile(const QString &source, const QString &target, QString *error)
{
    QString text;
    if (!TextFile::read(source, &text, error))
        return false;
    QStringList lines = TextFile::splitLines(text);
    if (!lines.isEmpty() && !lines.last().isEmpty())
        lines.append(QString());
    QString converted;
    for (const QString &line : std::as_const(lines))
        converted += line + u"\r\n"_s;
    return TextFile::write(target, converted, error);
}

// A saved body is taken whole, line ends included: the letter assistant's import drops the
// final line end that its own export writes.
bool copyContent(const QString &source, const QString &target, QString *error)
{
    QString text;
    return TextFile::read(source, &text, error) && TextFile::write(target, text, error);
}

QString cardLine(const RefusedCard &card)
{
    const bool sender = card.kind == ContactCard::Kind::Sender;
    // A name refused for its length is shown by its beginning: the file's name must stay in sight.
    constexpr qsizetype kShownName = 60;
    const QString name = card.name.size() > kShownName ? card.name.left(kShownName) + u'…' : card.name;
    const QString who = name.isEmpty() ? (sender ? u"Expéditeur sans nom"_s : u"Destinataire sans nom"_s)
                                       : (sender ? u"Expéditeur « %1 »"_s : u"Destinataire « %1 »"_s).arg(name);
    return u"%1 (fichier « %2 ») : %3"_s.arg(who, card.sourceFile, card.problem);
}

} // namespace

QString phraseFileTarget(const QString &oldName)
{
    static const std::pair<QString, QString> names[] = {
        {u"Introduction.lst"_s, u"Introduction.ini"_s},
        {u"Conclusion simple.lst"_s, u"Conclusion1.ini"_s},
        {u"Conclusion évoluée.lst"_s, u"Conclusion2.ini"_s},
    };
    for (const auto &[oldFile, newFile] : names) {
        if (OldVersion::sameFileName(oldName, oldFile))
            return newFile;
    }
    return QString();
}

Report convert(const OldVersion::Data &data, const QString &sourceFolder)
{
    Report report;
    // The folders were made when the window opened; one removed since would fail every write.
    Init_Dossiers();

    writeCards(data, &report);

    for (int list = 0; list < OldVersion::ListCount; ++list) {
        const QString target = listTarget(OldVersion::ListIndex(list));
        // An old folder without this list's file says nothing about the list: the installed one
        // is kept rather than replaced by an empty one.
        if (!data.listFound.at(size_t(list)) && data.lists.at(list).isEmpty()) {
            report.listsNotFound.append(
                u"%1 (%2)"_s.arg(OldVersion::oldListName(OldVersion::ListIndex(list)), QFileInfo(target).fileName()));
            continue;
        }
        QString error;
        if (LineListFile::write(target, data.lists.at(list), &error))
            ++report.listsWritten;
        else
            report.failures.append(error);
    }

    if (sourceFolder.isEmpty())
        return report;
    const QDir source(sourceFolder);
    // The writing assistant reads its phrase files from the Assistant folder of the program
    // folder: that is where they go.
    const QDir assistant(DataPaths::assistantFolder());
    for (const QString &file : OldVersion::filesMatching(sourceFolder, u"*.lst"_s)) {
        const QString target = phraseFileTarget(file);
        if (target.isEmpty())
            continue;
        QString error;
        if (copyPhraseFile(source.filePath(file), assistant.filePath(target), &error))
            ++report.phraseFilesWritten;
        else
            report.failures.append(error);
    }

    const QDir contents(DataPaths::contentsFolder());
    for (const QString &file : OldVersion::filesMatching(sourceFolder, u"*.txt"_s)) {
        QString error;
        if (copyContent(source.filePath(file), contents.filePath(file), &error))
            ++report.contentsWritten;
        else
            report.failures.append(error);
    }
    return report;
}

QString conversionMessage(const Report &report)
{
    QString text = u"Conversion des fichiers terminés."_s;
    if (!report.refusedCards.isEmpty()) {
        QStringList lines;
        for (const RefusedCard &card : report.refusedCards)
            lines.append(cardLine(card));
        text += report.refusedCards.size() == 1
                    ? u"\n\nCette fiche n'a pas été convertie, car son nom ne peut pas servir de nom de fichier :"_s
                    : u"\n\nCes fiches n'ont pas été converties, car leur nom ne peut pas servir de nom de fichier :"_s;
        text += OldVersion::messageLines(lines);
    }
    if (!report.failures.isEmpty()) {
        text += report.failures.size() == 1 ? u"\n\nCe fichier n'a pas pu être converti :"_s
                                            : u"\n\nCes fichiers n'ont pas pu être convertis :"_s;
        text += OldVersion::messageLines(report.failures);
    }
    if (!report.listsNotFound.isEmpty()) {
        text += report.listsNotFound.size() == 1
                    ? u"\n\nCette liste n'a pas été trouvée dans l'ancien dossier ; la liste installée est gardée :"_s
                    : u"\n\nCes listes n'ont pas été trouvées dans l'ancien dossier ; les listes installées sont "
                      u"gardées :"_s;
        text += OldVersion::messageLines(report.listsNotFound);
    }
    return text;
}

} // namespace ConvertFiles
