#include "RecipientCards.h"

#include "ContactCard.h"
#include "CsvReader.h"
#include "DataPaths.h"

#include <QDir>
#include <QHash>
#include <QSaveFile>
#include <QSet>

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
            if (!ContactCard::write(folder.filePath(file), Kind::Recipient, fields, &error)) {
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
            text += CsvReader::quote(ContactCard::singleLine(fields.value(i)), separator);
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

    QSaveFile file(path);
    const auto fail = [&] {
        if (error) {
            *error = u"Le fichier « %1 » n'a pas pu être enregistré (%2)."_s.arg(QDir::toNativeSeparators(path),
                                                                                 file.errorString());
        }
        file.cancelWriting();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return fail();
    if (file.write(bytes) != bytes.size())
        return fail();
    if (!file.commit())
        return fail();
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
