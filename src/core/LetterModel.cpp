#include "core/LetterModel.h"

#include "core/TextFile.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace {

const QString kSeparator = u"#"_s;

const QStringList &senderCaptions()
{
    static const QStringList captions = {u"Nom et prénom"_s,       u"Adresse postale"_s, u"Résidence"_s,
                                         u"Code Postal - Ville"_s, u"Province / Pays"_s, u"Téléphone fixe"_s,
                                         u"Tél. portable / Fax"_s, u"Qualificatif"_s,    u"Fonction"_s};
    return captions;
}

const QStringList &recipientCaptions()
{
    static const QStringList captions = {
        u"Nom et prénom"_s,   u"Adresse postale"_s, u"Résidence"_s, u"Code Postal - Ville"_s,
        u"Province / Pays"_s, u"Qualificatif"_s,    u"Fonction"_s};
    return captions;
}

const QStringList &referenceCaptions()
{
    static const QStringList captions = {u"Format de date"_s, u"Communes / Villes"_s, u"Objet par défaut"_s,
                                         u"Signature"_s,      u"Première partie"_s,   u"Deuxième partie"_s};
    return captions;
}

QStringList bodyLines(const QString &body)
{
    QString text = body;
    text.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
    return text.split(u'\n');
}

// One line per value: a line end inside a value would shift every later line.
QString oneLine(const QString &value)
{
    QString line = value;
    line.replace(u"\r\n"_s, u" "_s).replace(u'\r', u' ').replace(u'\n', u' ');
    return line;
}

} // namespace

bool LetterModel::read(const QString &path, LetterModel *model, QString *error)
{
    QString text;
    if (!TextFile::read(path, &text, error))
        return false;
    const QStringList fileLines = TextFile::splitLines(text);
    // Every "#" line is dropped, wherever it stands; but the three separators must follow the
    // sender, the recipient and the references. Without them the file is some other text that
    // merely has 22 lines, or a model whose values moved: it is not taken as a letter.
    QStringList lines;
    int missingAfter = 0;
    for (qsizetype i = 0; i < fileLines.size(); ++i) {
        if (fileLines.at(i) == kSeparator)
            continue;
        lines.append(fileLines.at(i));
        const qsizetype count = lines.size();
        if ((count == 9 || count == 16 || count == 22) && !missingAfter &&
            (i + 1 >= fileLines.size() || fileLines.at(i + 1) != kSeparator))
            missingAfter = int(count);
    }
    if (lines.size() < 22) {
        if (error) {
            *error =
                u"Le fichier « %1 » n'est pas un modèle de lettre complet : il ne contient que %2 valeur(s) sur les 22 attendues."_s
                    .arg(QDir::toNativeSeparators(path))
                    .arg(lines.size());
        }
        return false;
    }
    if (missingAfter) {
        if (error) {
            *error = u"Le fichier « %1 » n'est pas un modèle de lettre complet : la ligne « # » qui doit suivre "
                     u"la valeur %2 manque."_s.arg(QDir::toNativeSeparators(path))
                         .arg(missingAfter);
        }
        return false;
    }
    LetterModel read;
    read.sender = lines.mid(0, 9);
    read.recipient = lines.mid(9, 7);
    read.references = lines.mid(16, 6);
    read.body = lines.mid(22).join(u"\r\n"_s);
    *model = read;
    return true;
}

bool LetterModel::write(const QString &path, QString *error) const
{
    const auto check = [&](const QStringList &values, const QStringList &captions, const QString &group) {
        for (int i = 0; i < captions.size(); ++i) {
            if (oneLine(values.value(i)) == kSeparator) {
                if (error) {
                    *error = u"Le champ « %1 » %2 contient seulement « # », ce qu'un modèle ne peut pas enregistrer. "
                             u"Modifiez-le puis enregistrez à nouveau."_s.arg(captions.at(i), group);
                }
                return false;
            }
        }
        return true;
    };
    if (!check(sender, senderCaptions(), u"de l'expéditeur"_s) ||
        !check(recipient, recipientCaptions(), u"du destinataire"_s) ||
        !check(references, referenceCaptions(), u"des références"_s))
        return false;
    const QStringList lines = bodyLines(body);
    for (int i = 0; i < lines.size(); ++i) {
        if (lines.at(i) == kSeparator) {
            if (error) {
                *error = u"La ligne %1 du corps de la lettre contient seulement « # », ce qu'un modèle ne peut pas "
                         u"enregistrer. Modifiez-la puis enregistrez à nouveau."_s.arg(i + 1);
            }
            return false;
        }
    }

    QString text;
    const auto add = [&text](const QString &line) {
        text += line;
        text += u"\r\n"_s;
    };
    for (int i = 0; i < 9; ++i)
        add(oneLine(sender.value(i)));
    add(kSeparator);
    for (int i = 0; i < 7; ++i)
        add(oneLine(recipient.value(i)));
    add(kSeparator);
    for (int i = 0; i < 6; ++i)
        add(oneLine(references.value(i)));
    add(kSeparator);
    for (const QString &line : lines)
        add(line);
    return TextFile::write(path, text, error);
}
