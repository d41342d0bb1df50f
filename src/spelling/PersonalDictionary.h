#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

// The words the user added with "Ajouter au dictionnaire": a text file of the program folder,
// UTF-8, one word a line, read at start and replaced whole at each addition.
class PersonalDictionary
{
public:
    // The file's name in the program folder.
    static QString fileName();
    // The file of the current program folder.
    static QString defaultPath();

    // An empty path keeps the words in memory only.
    explicit PersonalDictionary(const QString &path = QString());

    QString path() const { return filePath; }
    // Reads the file again. A missing file is an empty list; a file that cannot be read leaves
    // the list as it was and returns false with a French sentence in *error.
    bool load(QString *error = nullptr);

    const QStringList &words() const { return list; }
    // Whether the list holds word, whichever apostrophe either of them was typed with.
    bool contains(QStringView word) const;

    // Adds word and writes the file (with the words another running copy of the program added
    // meanwhile). When the file cannot be written, the word stays in the list for this session
    // and the answer is false, with a French sentence in *error; the old file is untouched.
    // A blank word, or one with a space or a line break in it, is refused the same way.
    bool add(const QString &word, QString *error = nullptr);

private:
    void remember(const QString &word);

    QString filePath;
    QStringList list;
    QSet<QString> forms; // FrenchWords::listForm of each word
};
