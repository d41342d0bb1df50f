#include "spelling/SpellChecker.h"

#include "spelling/SpellDictionary.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>

using namespace Qt::StringLiterals;

namespace {

// Past this many remembered answers the cache starts again: a session of ordinary letters never
// gets there, a pasted word list could.
constexpr qsizetype kMaximumAnswers = 200000;

} // namespace

SpellChecker::SpellChecker(QObject *parent) : QObject(parent) {}

SpellChecker::~SpellChecker()
{
    if (loader) {
        loader->wait();
        delete loader;
    }
}

SpellChecker *SpellChecker::shared()
{
    static QPointer<SpellChecker> checker;
    if (!checker) {
        // Owned by the application, so it goes before the Qt objects it uses.
        checker = new SpellChecker(QCoreApplication::instance());
        // A list that cannot be read leaves the session with an empty one; adding a word will
        // say what is wrong with the file.
        checker->setPersonalDictionary(PersonalDictionary::defaultPath());
        checker->loadFrenchInBackground();
    }
    return checker;
}

QString SpellChecker::unavailableText() const
{
    switch (currentState) {
    case State::NoDictionary:
        return u"Aucun dictionnaire français n'est installé. Installez le paquet « hunspell-fr » pour "
               u"vérifier l'orthographe."_s;
    case State::Loading:
        return u"Le dictionnaire français est en cours de chargement."_s;
    case State::Ready:
        break;
    }
    return QString();
}

void SpellChecker::setEnabled(bool on)
{
    if (enabled == on)
        return;
    enabled = on;
    emit enabledChanged(on);
}

void SpellChecker::setState(State state)
{
    if (currentState == state)
        return;
    currentState = state;
    emit stateChanged();
}

void SpellChecker::setDictionary(std::unique_ptr<SpellDictionary> newDictionary)
{
    dictionary = std::move(newDictionary);
    answers.clear();
    if (dictionary) {
        // The dictionary also learns the accepted words: it then accepts their capitalised
        // forms and may suggest them.
        for (const QString &word : personal.words())
            dictionary->addWord(FrenchWords::checkedForm(word));
        for (const QString &word : std::as_const(ignored))
            dictionary->addWord(word);
    }
    setState(dictionary ? State::Ready : State::NoDictionary);
}

void SpellChecker::loadFrenchInBackground()
{
    loadFrenchInBackground(SpellDictionary::systemFolders());
}

void SpellChecker::loadFrenchInBackground(const QStringList &folders)
{
    if (loader)
        return;
    loaded = std::make_shared<std::unique_ptr<SpellDictionary>>();
    // Hunspell reads some 80,000 words and their rules: long enough to be felt when a window opens.
    loader = QThread::create([result = loaded, folders] {
        const QString affix = SpellDictionary::findFrench(folders);
        if (!affix.isEmpty())
            *result = SpellDictionary::load(affix);
    });
    connect(loader, &QThread::finished, this, &SpellChecker::finishLoading);
    setState(State::Loading);
    loader->start(QThread::LowPriority);
}

void SpellChecker::waitForDictionary()
{
    if (!loader)
        return;
    loader->wait();
    finishLoading();
}

void SpellChecker::finishLoading()
{
    if (!loader)
        return; // waitForDictionary() came first
    loader->wait();
    loader->deleteLater();
    loader = nullptr;
    std::unique_ptr<SpellDictionary> result = std::move(*loaded);
    loaded.reset();
    setDictionary(std::move(result));
}

QString SpellChecker::dictionaryPath() const
{
    return dictionary ? dictionary->affixPath() : QString();
}

bool SpellChecker::setPersonalDictionary(const QString &path, QString *error)
{
    PersonalDictionary list(path);
    const bool read = list.load(error);
    personal = list;
    if (dictionary) {
        for (const QString &word : personal.words())
            dictionary->addWord(FrenchWords::checkedForm(word));
    }
    answers.clear();
    emit wordsChanged();
    return read;
}

bool SpellChecker::isCorrect(QStringView word)
{
    if (!dictionary)
        return true;
    const QString form = FrenchWords::checkedForm(word);
    const auto known = answers.constFind(form);
    if (known != answers.cend())
        return known.value();
    const bool correct = isIgnored(form) || personal.contains(form) || dictionary->isCorrect(form);
    if (answers.size() >= kMaximumAnswers)
        answers.clear();
    answers.insert(form, correct);
    return correct;
}

QList<FrenchWords::Span> SpellChecker::misspellings(QStringView text)
{
    QList<FrenchWords::Span> unknown;
    if (!dictionary)
        return unknown;
    for (const FrenchWords::Span &word : FrenchWords::words(text)) {
        if (!isCorrect(text.sliced(word.start, word.length)))
            unknown << word;
    }
    return unknown;
}

QStringList SpellChecker::suggestions(const QString &word)
{
    if (!dictionary)
        return {};
    const QString form = FrenchWords::checkedForm(word);
    QStringList found = dictionary->suggestions(form, SpellDictionary::kMaximumSuggestions + 1);
    // The dictionary writes the typographic apostrophe; a word typed with the straight one
    // gets its corrections with the straight one, so the text keeps one style.
    const bool straight = form.contains(u'\'') && !form.contains(QChar(0x2019));
    QStringList kept;
    for (QString suggestion : std::as_const(found)) {
        if (straight)
            suggestion.replace(QChar(0x2019), u'\'');
        if (suggestion != form && !kept.contains(suggestion))
            kept << suggestion;
    }
    return kept.mid(0, SpellDictionary::kMaximumSuggestions);
}

bool SpellChecker::isIgnored(QStringView word) const
{
    return ignored.contains(FrenchWords::listForm(word));
}

void SpellChecker::acceptWord(const QString &word)
{
    const QString form = FrenchWords::checkedForm(word);
    if (dictionary)
        dictionary->addWord(form);
    // The capitalised forms the dictionary now accepts may have been answered already.
    answers.clear();
    emit wordsChanged();
}

void SpellChecker::ignore(const QString &word)
{
    const QString form = FrenchWords::listForm(word.trimmed());
    if (form.isEmpty() || ignored.contains(form))
        return;
    ignored.insert(form);
    acceptWord(word.trimmed());
}

bool SpellChecker::addToPersonalDictionary(const QString &word, QString *error)
{
    const bool written = personal.add(word, error);
    // A word that could not be written is still accepted for the session, as the list keeps it.
    if (personal.contains(word.trimmed()))
        acceptWord(word.trimmed());
    return written;
}
