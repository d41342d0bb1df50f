#include "spelling/PersonalDictionary.h"

#include "core/AtomicFile.h"
#include "core/Cp1252.h"
#include "core/ProgramFolder.h"
#include "core/TextFile.h"
#include "spelling/FrenchWords.h"

#include <QDir>
#include <QFile>

#include <algorithm>

using namespace Qt::StringLiterals;

QString PersonalDictionary::fileName()
{
    return u"Dictionnaire personnel.txt"_s;
}

QString PersonalDictionary::defaultPath()
{
    return QDir(ProgramFolder::path()).filePath(fileName());
}

PersonalDictionary::PersonalDictionary(const QString &path) : filePath(path) {}

bool PersonalDictionary::load(QString *error)
{
    if (filePath.isEmpty() || !QFile::exists(filePath))
        return true;
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) {
            *error = u"Le dictionnaire personnel « %1 » ne peut pas être lu (%2)."_s.arg(
                QDir::toNativeSeparators(filePath), file.errorString());
        }
        return false;
    }
    // Written as UTF-8; a list kept by hand in Windows-1252 reads as well.
    const QString text = Cp1252::decodeFile(file.readAll());
    for (const QString &line : TextFile::splitLines(text)) {
        const QString word = line.trimmed();
        if (!word.isEmpty())
            remember(word);
    }
    return true;
}

bool PersonalDictionary::contains(QStringView word) const
{
    return forms.contains(FrenchWords::listForm(word));
}

void PersonalDictionary::remember(const QString &word)
{
    const QString form = FrenchWords::listForm(word);
    if (forms.contains(form))
        return;
    forms.insert(form);
    list << word;
}

bool PersonalDictionary::add(const QString &word, QString *error)
{
    const QString added = word.trimmed();
    const bool oneWord = !added.isEmpty() && std::none_of(added.begin(), added.end(), [](QChar c) {
        return c.isSpace() || c.category() == QChar::Other_Control;
    });
    if (!oneWord) {
        if (error)
            *error = u"« %1 » n'est pas un mot : le dictionnaire personnel reçoit un mot à la fois."_s.arg(added);
        return false;
    }
    // Another copy of the program may have added words since the list was read: keep them.
    QString unused;
    load(&unused);
    if (contains(added))
        return true;
    remember(added);
    if (filePath.isEmpty())
        return true;

    QByteArray bytes;
    for (const QString &entry : std::as_const(list)) {
        bytes += entry.toUtf8();
        bytes += "\r\n";
    }
    QString reason;
    if (AtomicFile::replace(filePath, bytes, &reason))
        return true;
    if (error) {
        *error = u"Le mot « %1 » n'a pas pu être ajouté au dictionnaire personnel « %2 » (%3). "
                 u"Il reste accepté jusqu'à la fermeture du programme."_s.arg(added, QDir::toNativeSeparators(filePath),
                                                                              reason);
    }
    return false;
}
