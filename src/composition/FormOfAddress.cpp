#include "composition/FormOfAddress.h"

using namespace Qt::StringLiterals;

namespace FormOfAddress {
namespace {

enum class Article { None, Masculine, Feminine, Plural };

// The usual abbreviations of French qualifiers and titles; a final full stop is optional
// ("Mme" and "Mme." alike).
struct Abbreviation
{
    const char16_t *abbreviated;
    const char16_t *full;
};
constexpr Abbreviation kAbbreviations[] = {
    {u"M", u"Monsieur"},   {u"Mr", u"Monsieur"},   {u"Mme", u"Madame"},           {u"Mlle", u"Mademoiselle"},
    {u"MM", u"Messieurs"}, {u"Mmes", u"Mesdames"}, {u"Mlles", u"Mesdemoiselles"}, {u"Me", u"Maître"},
    {u"Dr", u"Docteur"},   {u"Pr", u"Professeur"},
};

// Words whose h is aspirated: the article stays whole before them ("le Haut-Commissaire").
// Any other word starting with h takes "l'" ("l'Huissier", "l'Hôtelier").
constexpr const char16_t *kAspiratedH[] = {
    u"haut",     u"haute",     u"hauts",       u"hautes",       u"héraut",       u"héros",
    u"hussard",  u"harpiste",  u"handballeur", u"handballeuse", u"hockeyeur",    u"hockeyeuse",
    u"hongrois", u"hongroise", u"hollandais",  u"hollandaise",  u"hallebardier",
};

bool sameWord(const QString &a, const char16_t *b)
{
    return a.compare(QString::fromUtf16(b), Qt::CaseInsensitive) == 0;
}

Article articleFor(const QString &fullQualifier)
{
    if (sameWord(fullQualifier, u"Monsieur"))
        return Article::Masculine;
    if (sameWord(fullQualifier, u"Madame") || sameWord(fullQualifier, u"Mademoiselle"))
        return Article::Feminine;
    if (sameWord(fullQualifier, u"Messieurs") || sameWord(fullQualifier, u"Mesdames") ||
        sameWord(fullQualifier, u"Mesdemoiselles"))
        return Article::Plural;
    return Article::None;
}

// Whether "le" and "la" become "l'" before this word: a vowel, accented or not, or a mute h.
bool takesElision(const QString &function)
{
    const QChar first = function.at(0).toLower();
    // "é" decomposes into "e" and its accent; "œ" and "æ" do not decompose.
    const QString decomposed = first.decomposition();
    const QChar base = decomposed.isEmpty() ? first : decomposed.at(0);
    if (QStringView(u"aeiouœæ").contains(base))
        return true;
    if (base != u'h')
        return false;
    qsizetype end = 0;
    while (end < function.size() && function.at(end).isLetter())
        ++end;
    const QString word = function.left(end);
    for (const char16_t *aspirated : kAspiratedH) {
        if (sameWord(word, aspirated))
            return false;
    }
    return true;
}

} // namespace

QString fullQualifier(const QString &qualifier)
{
    const QString typed = qualifier.trimmed();
    const QString stem = typed.endsWith(u'.') ? typed.chopped(1) : typed;
    for (const Abbreviation &abbreviation : kAbbreviations) {
        if (sameWord(stem, abbreviation.abbreviated))
            return QString::fromUtf16(abbreviation.full);
    }
    return typed;
}

QString compose(const QString &qualifier, const QString &function, Use use)
{
    const QString typedQualifier = qualifier.trimmed();
    const QString typedFunction = function.trimmed();
    if (typedQualifier.isEmpty())
        return use == Use::AddressBlock ? typedFunction : u"Madame, Monsieur"_s;
    const QString full = fullQualifier(typedQualifier);
    const QString shown = use == Use::Salutation ? full : typedQualifier;
    if (typedFunction.isEmpty())
        return shown;
    switch (articleFor(full)) {
    case Article::None:
        return shown + u' ' + typedFunction;
    case Article::Plural:
        return shown + u" les "_s + typedFunction;
    case Article::Masculine:
        return shown + (takesElision(typedFunction) ? u" l'"_s : u" le "_s) + typedFunction;
    case Article::Feminine:
        return shown + (takesElision(typedFunction) ? u" l'"_s : u" la "_s) + typedFunction;
    }
    return shown;
}

} // namespace FormOfAddress
