#include "core/ContactCard.h"

#include "core/DataPaths.h"
#include "core/TextFile.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace ContactCard {

int fieldCount(Kind kind)
{
    return kind == Kind::Sender ? 9 : 7;
}

QString folder(Kind kind)
{
    return kind == Kind::Sender ? DataPaths::sendersFolder() : DataPaths::recipientsFolder();
}

QString nameProblem(const QString &name)
{
    if (name.isEmpty())
        return u"Le nom de la fiche est vide."_s;
    if (name.size() > 200)
        return u"Le nom de la fiche dépasse 200 caractères."_s;
    for (const QChar c : name) {
        if (c.unicode() < 32)
            return u"Le nom de la fiche contient un caractère de contrôle."_s;
        if (QStringView(u"/\\<>:\"|?*").contains(c))
            return u"Le nom de la fiche ne peut pas contenir le caractère « %1 »."_s.arg(c);
    }
    if (name.trimmed().isEmpty() || QString(name).remove(u'.').trimmed().isEmpty())
        return u"Le nom de la fiche ne peut pas être fait uniquement de points ou d'espaces."_s;
    // The file name ends with ".ini" whatever the card's name ends with ("Durand S.A..ini"); a
    // file name starting with a dot, though, is hidden and the card lists would never show it.
    if (name.startsWith(u'.'))
        return u"Le nom de la fiche ne peut pas commencer par un point."_s;
    // Windows reserves the device names, with or without an extension.
    const QString stem = name.section(u'.', 0, 0).trimmed().toUpper();
    static const QStringList devices = {u"CON"_s, u"PRN"_s, u"AUX"_s, u"NUL"_s};
    const bool numberedDevice = stem.size() == 4 && (stem.startsWith(u"COM"_s) || stem.startsWith(u"LPT"_s)) &&
                                stem.at(3) >= u'1' && stem.at(3) <= u'9';
    if (devices.contains(stem) || numberedDevice)
        return u"« %1 » est un nom réservé par le système et ne peut pas nommer une fiche."_s.arg(
            name.section(u'.', 0, 0));
    return QString();
}

QString filePath(Kind kind, const QString &name)
{
    if (!nameProblem(name).isEmpty())
        return QString();
    return QDir(folder(kind)).filePath(name + u".ini"_s);
}

bool read(const QString &path, Kind kind, QStringList *fields, QString *error)
{
    fields->clear();
    QString text;
    const bool ok = !path.isEmpty() && TextFile::read(path, &text, error, kMaxFileBytes);
    // Only CR LF and lone LF end a card line here: every line counts, empty ones included.
    QStringList lines = ok ? TextFile::splitLines(text) : QStringList();
    lines.resize(fieldCount(kind));
    *fields = lines;
    return ok;
}

QString singleLine(const QString &field)
{
    QString line = field;
    line.replace(u"\r\n"_s, u" "_s).replace(u'\r', u' ').replace(u'\n', u' ');
    return line;
}

bool write(const QString &path, Kind kind, const QStringList &fields, QString *error)
{
    QString text;
    for (int i = 0; i < fieldCount(kind); ++i) {
        text += singleLine(fields.value(i));
        text += u"\r\n"_s;
    }
    return TextFile::write(path, text, error);
}

} // namespace ContactCard
