#include "core/RecipientCards.h"

#include "core/AtomicFile.h"
#include "core/ContactCard.h"
#include "core/Cp1252.h"
#include "core/CsvReader.h"
#include "core/DataPaths.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>

#if defined(Q_OS_LINUX)
#include <fcntl.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

using ContactCard::Kind;

// The recipient cards on disk, by their name in lower case: the file name they have (the card
// "Dupont" may be "dupont.ini" or "Dupont.INI", which are one card on Windows).
QHash<QString, QString> cardFiles()
{
    QHash<QString, QString> files;
    const QDir dir(DataPaths::recipientsFolder(), u"*.ini"_s, QDir::NoSort, QDir::Files);
    for (const QString &file : dir.entryList())
        files.insert(file.chopped(4).toLower(), file);
    return files;
}

QString cardName(const RecipientRow &row)
{
    return row.field(CardField::Name);
}

// A recipient card, written whole or not at all: the bytes ContactCard::write writes, into a
// temporary file beside the card, then renamed over it. Unlike a card saved in the wizard, it
// is not flushed to the disk one by one (a flush per card makes a large import last minutes);
// importRows flushes the folder once at its end.
bool writeCard(const QString &path, const QStringList &fields, QString *error)
{
    QString text;
    for (int i = 0; i < kCardFieldCount; ++i)
        text += ContactCard::singleLine(fields.value(i)) + u"\r\n"_s;
    const QByteArray bytes = Cp1252::encodeFile(text);
    QTemporaryFile temporary(path + u".XXXXXX"_s);
    const auto fail = [&](const QString &reason) {
        *error = u"Le fichier « %1 » n'a pas pu être enregistré (%2). Son contenu précédent est conservé."_s.arg(
            QDir::toNativeSeparators(path), reason);
        return false;
    };
    if (!temporary.open())
        return fail(temporary.errorString());
    // A full disk takes part of the card and refuses the rest; only a second try at the rest
    // gives the system's reason (disk full, file too large).
    if (temporary.write(bytes) != bytes.size() || (!temporary.flush() && !temporary.flush()))
        return fail(temporary.errorString());
    temporary.close();
    // std::filesystem::rename replaces an existing card in one step, on Windows too, where
    // QFile::rename would refuse.
    std::error_code failure;
    std::filesystem::rename(std::filesystem::path(temporary.fileName().toStdU16String()),
                            std::filesystem::path(path.toStdU16String()), failure);
    if (failure)
        return fail(QString::fromLocal8Bit(failure.message()));
    temporary.setAutoRemove(false);
    return true;
}

// Puts the cards just written on the disk, in one go.
void flushFolder(const QString &folder)
{
#if defined(Q_OS_LINUX)
    const int descriptor = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        ::syncfs(descriptor);
        ::close(descriptor);
    }
#else
    Q_UNUSED(folder);
#endif
}

} // namespace

namespace RecipientCards {

QStringList existingNames(const QList<RecipientRow> &rows)
{
    QHash<QString, QString> files = cardFiles();
    QStringList names;
    QSet<QString> listed;
    for (const RecipientRow &row : rows) {
        if (!row.keep)
            continue;
        const QString name = cardName(row);
        const QString key = name.toLower();
        if (files.contains(key)) {
            if (!listed.contains(key)) {
                names.append(name);
                listed.insert(key);
            }
        } else {
            files.insert(key, name + u".ini"_s);
        }
    }
    return names;
}

Result importRows(const QList<RecipientRow> &rows, ExistingCard policy, const Callbacks &callbacks)
{
    Result result;
    QHash<QString, QString> files = cardFiles();
    const QDir folder(DataPaths::recipientsFolder());
    const int total = int(std::count_if(rows.cbegin(), rows.cend(), [](const RecipientRow &r) { return r.keep; }));
    int done = 0;
    for (const RecipientRow &row : rows) {
        if (!row.keep)
            continue;
        if (callbacks.cancelRequested && callbacks.cancelRequested()) {
            result.cancelled = true;
            break;
        }
        QString name = cardName(row);
        QStringList fields = row.fields;
        fields.resize(kCardFieldCount);
        QString file;
        bool replacing = false;
        if (const QString problem = ContactCard::nameProblem(name); !problem.isEmpty()) {
            result.refused.append(
                u"Ligne %1 : « %2 » ne peut pas devenir une fiche. %3"_s.arg(row.line).arg(name, problem));
        } else if (const auto existing = files.constFind(name.toLower()); existing == files.cend()) {
            file = name + u".ini"_s;
        } else if (policy == ExistingCard::Replace) {
            file = existing.value(); // the same file, whatever the letter case of its name
            replacing = true;
        } else if (policy == ExistingCard::Skip) {
            result.skipped.append(name);
        } else {
            const QString base = name;
            for (int n = 2;; ++n) {
                name = u"%1 (%2)"_s.arg(base).arg(n);
                if (!files.contains(name.toLower()))
                    break;
            }
            if (const QString problem = ContactCard::nameProblem(name); !problem.isEmpty())
                result.refused.append(
                    u"Ligne %1 : « %2 » ne peut pas devenir une fiche. %3"_s.arg(row.line).arg(name, problem));
            else
                file = name + u".ini"_s;
        }
        if (!file.isEmpty()) {
            QString error;
            if (!writeCard(folder.filePath(file), fields, &error)) {
                result.error = error;
                break;
            }
            files.insert(name.toLower(), file);
            result.written.append(name);
            if (replacing)
                result.replaced.append(name);
        }
        ++done;
        if (callbacks.progress)
            callbacks.progress(done, total);
    }
    if (!result.written.isEmpty())
        flushFolder(folder.path());
    return result;
}

bool exportCsv(const QString &path, const QList<QStringList> &cards, QString *error)
{
    const QChar separator = u';';
    QString text;
    const auto addRow = [&](const QStringList &fields) {
        for (int i = 0; i < kCardFieldCount; ++i) {
            if (i > 0)
                text += separator;
            text += CsvReader::quote(CsvReader::guardFormula(ContactCard::singleLine(fields.value(i))), separator);
        }
        text += u"\r\n"_s;
    };
    QStringList header;
    for (int i = 0; i < kCardFieldCount; ++i)
        header.append(Recipients::fieldCaption(CardField(i)));
    addRow(header);
    for (const QStringList &card : cards)
        addRow(card);
    // The mark is what makes a spreadsheet read UTF-8 rather than its local code page.
    const QByteArray bytes = QByteArray("\xEF\xBB\xBF") + text.toUtf8();

    QString reason;
    if (!AtomicFile::replace(path, bytes, &reason)) {
        if (error)
            *error =
                u"Le fichier « %1 » n'a pas pu être enregistré (%2)."_s.arg(QDir::toNativeSeparators(path), reason);
        return false;
    }
    return true;
}

bool exportCards(const QString &path, const QStringList &cardNames, QString *error)
{
    const QHash<QString, QString> files = cardFiles();
    const QDir folder(DataPaths::recipientsFolder());
    QList<QStringList> cards;
    cards.reserve(cardNames.size());
    for (const QString &name : cardNames) {
        QStringList fields;
        const QString file = files.value(name.toLower());
        if (file.isEmpty() || !ContactCard::read(folder.filePath(file), Kind::Recipient, &fields)) {
            if (error)
                *error = u"La fiche « %1 » ne peut pas être lue : rien n'a été exporté."_s.arg(name);
            return false;
        }
        cards.append(fields);
    }
    return exportCsv(path, cards, error);
}

} // namespace RecipientCards
