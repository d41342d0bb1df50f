#pragma once

#include "spelling/FrenchWords.h"
#include "spelling/PersonalDictionary.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <memory>

class QThread;
class SpellDictionary;

// The spell checking of one program run: the French dictionary, the words ignored for the
// session ("Ignorer"), the personal word list ("Ajouter au dictionnaire") and the user's switch
// ("Vérification orthographique"). Every text control that checks spelling asks the same
// checker, so a word ignored in the editor is ignored in the wizard too.
class SpellChecker : public QObject
{
    Q_OBJECT

public:
    enum class State {
        NoDictionary, // no French dictionary on this machine: nothing is underlined
        Loading,      // the dictionary is being read in the background
        Ready,
    };

    explicit SpellChecker(QObject *parent = nullptr);
    ~SpellChecker() override;

    // The checker the windows share, made on first use: the system's French dictionary (read in
    // the background, so no window waits for it) and the personal word list of the program folder.
    static SpellChecker *shared();

    State state() const { return currentState; }
    bool isAvailable() const { return currentState == State::Ready; }
    // Why the menu entry is disabled, for its tooltip: what to install, or that the dictionary
    // is still loading. Empty when the checker is available.
    QString unavailableText() const;

    // The user's switch, on by default; the editor keeps it in its settings.
    bool isEnabled() const { return enabled; }
    void setEnabled(bool on);
    // Whether unknown words are to be underlined now: switched on and a dictionary ready.
    bool isActive() const { return enabled && isAvailable(); }

    // Uses dictionary from now on (null: no dictionary).
    void setDictionary(std::unique_ptr<SpellDictionary> dictionary);
    // Searches the French dictionary in folders and reads it on a thread of its own; the state
    // is Loading until it is done, then Ready or NoDictionary (stateChanged).
    void loadFrenchInBackground(const QStringList &folders);
    void loadFrenchInBackground();
    // Waits for a loading under way to end (tests, and the benchmarks).
    void waitForDictionary();
    // The affix file of the dictionary in use, empty when none.
    QString dictionaryPath() const;

    // Reads the personal word list at path (see PersonalDictionary); false with a French
    // sentence in *error when it exists but cannot be read.
    bool setPersonalDictionary(const QString &path, QString *error = nullptr);
    const PersonalDictionary &personalDictionary() const { return personal; }

    // Whether word (one word, as FrenchWords cuts them) is spelt right. Without a dictionary
    // every word is right: nothing can be said about it.
    bool isCorrect(QStringView word);
    // The words of text (one paragraph) that are not, as spans of text.
    QList<FrenchWords::Span> misspellings(QStringView text);
    // Up to seven corrections for word, best first. The apostrophe is the one the word was
    // typed with.
    QStringList suggestions(const QString &word);

    // "Ignorer": word is accepted until the program ends.
    void ignore(const QString &word);
    bool isIgnored(QStringView word) const;
    // "Ajouter au dictionnaire": word is accepted and written to the personal word list. When
    // the list cannot be written, the word is still accepted for the session and the answer is
    // false with a French sentence in *error for the user.
    bool addToPersonalDictionary(const QString &word, QString *error = nullptr);

signals:
    void stateChanged();
    void enabledChanged(bool enabled);
    // A word was ignored or added: what was underlined may not be any more.
    void wordsChanged();

private:
    void setState(State state);
    void acceptWord(const QString &word);
    void finishLoading();

    State currentState = State::NoDictionary;
    bool enabled = true;
    std::unique_ptr<SpellDictionary> dictionary;
    PersonalDictionary personal;
    QSet<QString> ignored; // FrenchWords::listForm of each word
    // What the dictionary answered for each word asked (checked form): a letter says the same
    // words again and again, and a lookup is far cheaper than Hunspell.
    QHash<QString, bool> answers;
    QThread *loader = nullptr;
    std::shared_ptr<std::unique_ptr<SpellDictionary>> loaded;
};
