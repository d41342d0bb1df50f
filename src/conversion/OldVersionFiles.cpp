#include "conversion/OldVersionFiles.h"

#include "core/LegacyFileNames.h"
#include "core/TextFile.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

using namespace Qt::StringLiterals;

namespace OldVersion {
namespace {

// Where each field of a new card comes from in the old file (1-based old line numbers).
constexpr int kSenderLines[] = {1, 3, 2, 4, 5, 6, 7, 9, 10};
constexpr int kRecipientLines[] = {1, 3, 2, 4, 5, 6, 7};

constexpr int kMessageItems = 20;

// Reads every list file of the folder whose name is one of the lists' old names.
void readLists(const QString &folder, const QStringList &files, std::initializer_list<ListIndex> lists,
               ImportResult *result)
{
    for (const QString &file : files) {
        for (const ListIndex list : lists) {
            if (!sameFileName(file, oldListName(list)))
                continue;
            QString error;
            ListLimits::Cut cut;
            if (readList(QDir(folder).filePath(file), &result->data.lists[list], &error, &cut)) {
                result->data.listFound[list] = true;
                if (cut.any())
                    result->partialLists.append(u"%1 : %2"_s.arg(file, ListLimits::describe(cut)));
            } else
                result->unreadableFiles.append(error);
        }
    }
}

} // namespace

QString oldListName(ListIndex list)
{
    switch (list) {
    case Towns:
        return u"Ville.lst"_s;
    case Objects:
        return u"Objets.lst"_s;
    case Functions:
        return u"Fonction.lst"_s;
    case Signatures:
        return u"Signature.lst"_s;
    case FormulasFirst:
        return u"FormuleD.lst"_s;
    case FormulasSecond:
        return u"FormuleF.lst"_s;
    case ListCount:
        break;
    }
    return QString();
}

QString cleanLine(const QString &line)
{
    QString cleaned = line;
    cleaned.replace(u'"', u' ');
    qsizetype begin = 0;
    qsizetype end = cleaned.size();
    while (begin < end && cleaned.at(begin) == u' ')
        ++begin;
    while (end > begin && cleaned.at(end - 1) == u' ')
        --end;
    return cleaned.mid(begin, end - begin);
}

int oldLineCount(ContactCard::Kind kind)
{
    return kind == ContactCard::Kind::Sender ? 10 : 7;
}

bool readCard(const QString &path, ContactCard::Kind kind, Card *card, bool *complete, QString *error)
{
    QString text;
    if (!TextFile::read(path, &text, error, kMaxCardBytes))
        return false;
    const QStringList lines = TextFile::splitLines(text);
    QStringList fields;
    // A name or a field of thousands of characters would freeze every list that shows the card,
    // and push the file's name out of any message about it.
    for (int number = 1; number <= oldLineCount(kind); ++number) {
        if (cleanLine(lines.value(number - 1)).size() > ListLimits::kMaxEntryLength) {
            if (error) {
                *error = u"Le fichier « %1 » n'est pas une fiche : sa ligne %2 dépasse %3 caractères."_s.arg(
                    QFileInfo(path).fileName(), QString::number(number), QString::number(ListLimits::kMaxEntryLength));
            }
            return false;
        }
    }
    const auto take = [&](const auto &lineNumbers) {
        for (const int number : lineNumbers)
            fields.append(cleanLine(lines.value(number - 1)));
    };
    if (kind == ContactCard::Kind::Sender)
        take(kSenderLines);
    else
        take(kRecipientLines);
    card->sourceFile = QFileInfo(path).fileName();
    card->fields = fields;
    *complete = lines.size() >= oldLineCount(kind);
    return true;
}

bool readList(const QString &path, QStringList *entries, QString *error, ListLimits::Cut *cut)
{
    QString text;
    if (!TextFile::read(path, &text, error))
        return false;
    TextFile::forEachLine(text, [&](QStringView line) {
        const QString entry = cleanLine(line.toString());
        if (!entry.isEmpty() && ListLimits::admit(entry, entries->size(), cut))
            entries->append(entry);
    });
    return true;
}

QStringList filesMatching(const QString &folder, const QString &pattern)
{
    // Without QDir::CaseSensitive the name filter ignores letter case on every system. Hidden
    // files stay out, as they stayed out of the old version's file list.
    return QDir(folder).entryList({pattern}, QDir::Files, QDir::Name | QDir::IgnoreCase);
}

bool sameFileName(const QString &a, const QString &b)
{
    return QString::compare(a.normalized(QString::NormalizationForm_C), b.normalized(QString::NormalizationForm_C),
                            Qt::CaseInsensitive) == 0;
}

ImportResult importFolder(const QString &folder)
{
    ImportResult result;
    const QDir dir(folder);
    const auto readCards = [&](const QString &pattern, ContactCard::Kind kind, QList<Card> *cards) {
        for (const QString &file : filesMatching(folder, pattern)) {
            Card card;
            bool complete = true;
            QString error;
            if (!readCard(dir.filePath(file), kind, &card, &complete, &error)) {
                result.unreadableFiles.append(error);
                continue;
            }
            if (!complete)
                result.incompleteFiles.append(file);
            cards->append(card);
        }
    };
    readCards(u"*.exp"_s, ContactCard::Kind::Sender, &result.data.senders);
    readCards(u"*.dst"_s, ContactCard::Kind::Recipient, &result.data.recipients);
    const QStringList listFiles = filesMatching(folder, u"*.lst"_s);
    readLists(folder, listFiles, {Towns, Objects, Functions, Signatures}, &result);
    readLists(folder, listFiles, {FormulasFirst, FormulasSecond}, &result);
    // Files no QString can name: left out, but never in silence.
    for (const LegacyFileNames::Entry &entry :
         LegacyFileNames::find(folder, {u".exp"_s, u".dst"_s, u".lst"_s, u".txt"_s})) {
        result.unreadableFiles.append(
            u"Le fichier « %1 » a un nom écrit dans l'ancien codage de Windows : renommez-le pour l'importer."_s.arg(
                entry.name));
    }
    return result;
}

QString messageLines(const QStringList &items)
{
    QString text;
    for (qsizetype i = 0; i < items.size() && i < kMessageItems; ++i)
        text += u"\n- "_s + items.at(i);
    const qsizetype more = items.size() - kMessageItems;
    if (more == 1)
        text += u"\n- et 1 autre."_s;
    else if (more > 1)
        text += u"\n- et %1 autres."_s.arg(more);
    return text;
}

QString importMessage(const ImportResult &result)
{
    QString text = u"Importation des fichiers terminés."_s;
    const qsizetype incomplete = result.incompleteFiles.size();
    if (incomplete == 1) {
        text += u"\n\n1 fichier de fiche était incomplet : il a été importé avec ses champs manquants vides."_s;
    } else if (incomplete > 1) {
        text +=
            u"\n\n%1 fichiers de fiche étaient incomplets : ils ont été importés avec leurs champs manquants vides."_s
                .arg(incomplete);
    }
    if (!result.unreadableFiles.isEmpty()) {
        text += result.unreadableFiles.size() == 1 ? u"\n\nCe fichier n'a pas été importé :"_s
                                                   : u"\n\nCes fichiers n'ont pas été importés :"_s;
        text += messageLines(result.unreadableFiles);
    }
    if (!result.partialLists.isEmpty()) {
        text +=
            u"\n\nLes listes ne gardent que %1 entrées de %2 caractères au plus. Ce qui n'a pas été importé :"_s.arg(
                QLocale(QLocale::French).toString(ListLimits::kMaxEntries),
                QString::number(ListLimits::kMaxEntryLength));
        text += messageLines(result.partialLists);
    }
    return text;
}

} // namespace OldVersion
