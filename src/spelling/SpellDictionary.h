#pragma once

#include <QString>
#include <QStringList>

#include <memory>

// One Hunspell dictionary (an .aff file of affix rules and a .dic file of words), spoken to in
// QString: the conversion to the dictionary's own encoding (its SET line) happens here.
class SpellDictionary
{
public:
    ~SpellDictionary();
    SpellDictionary(const SpellDictionary &) = delete;
    SpellDictionary &operator=(const SpellDictionary &) = delete;

    // Suggestions offered for one word, at most.
    static constexpr int kMaximumSuggestions = 7;

    // Loads the dictionary whose affix file is affixPath (the word file beside it, same name,
    // .dic). Null, with a French sentence in *error, when a file is missing or unreadable or
    // the encoding is one this program cannot speak.
    static std::unique_ptr<SpellDictionary> load(const QString &affixPath, QString *error = nullptr);

    // Where the system keeps Hunspell dictionaries, in the order they are searched: the folders
    // of DICPATH, the per-user and shared data folders (hunspell, myspell, myspell/dicts), and a
    // "hunspell" folder beside the executable.
    static QStringList systemFolders();
    // The affix file of the French dictionary (fr_FR first, then fr) found first in folders;
    // empty when there is none.
    static QString findFrench(const QStringList &folders = systemFolders());

    QString affixPath() const;
    // The encoding named by the dictionary (UTF-8, ISO8859-1, ISO8859-15...).
    QString encoding() const;

    // A word the dictionary does not hold, or that the dictionary's encoding cannot spell, is
    // not correct. The straight and the typographic apostrophe are the same letter here.
    bool isCorrect(const QString &word);
    // The dictionary's suggestions for word, best first, at most maximum of them.
    QStringList suggestions(const QString &word, int maximum = kMaximumSuggestions);
    // Accepts word (and its capitalised forms) until the dictionary is unloaded.
    void addWord(const QString &word);

private:
    struct Private;
    explicit SpellDictionary(std::unique_ptr<Private> d);
    std::unique_ptr<Private> d;
};
