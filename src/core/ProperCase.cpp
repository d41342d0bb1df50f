#include "core/ProperCase.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

bool isApostrophe(QChar c)
{
    return c == u'\'' || c == u'\u2019';
}

bool endsPart(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'-' || isApostrophe(c);
}

// Whether the part of a name starting at `from` (in small letters) is one of the words that
// link the parts of a place name.
bool isLinkingWord(const QString &text, qsizetype from)
{
    static const QStringList words = {u"à"_s,  u"au"_s, u"aux"_s, u"de"_s,  u"des"_s, u"du"_s,   u"en"_s, u"et"_s,
                                      u"la"_s, u"le"_s, u"les"_s, u"lès"_s, u"lez"_s, u"sous"_s, u"sur"_s};
    qsizetype end = from;
    while (end < text.size() && !endsPart(text.at(end)))
        ++end;
    const QString part = text.mid(from, end - from);
    // Elided before a vowel: "Villeneuve-d'Ascq", "Pont-l'Évêque".
    if (end < text.size() && isApostrophe(text.at(end)))
        return part == u"d"_s || part == u"l"_s;
    return words.contains(part);
}

} // namespace

QString properCase(const QString &text)
{
    QString result = text.toLower();
    enum class Start { None, Word, AfterHyphen, AfterApostrophe };
    Start start = Start::Word;
    for (qsizetype i = 0; i < result.size(); ++i) {
        const QChar c = result.at(i);
        if (c == u' ' || c == u'\t') {
            start = Start::Word;
            continue;
        }
        if (c == u'-') {
            start = Start::AfterHyphen;
            continue;
        }
        if (isApostrophe(c)) {
            start = Start::AfterApostrophe;
            continue;
        }
        if (start == Start::Word || start == Start::AfterApostrophe ||
            (start == Start::AfterHyphen && !isLinkingWord(result, i))) {
            // Upper-casing one letter never changes the length for French letters; the rare
            // letters that would (ß) stay as they are.
            const QString upper = QString(c).toUpper();
            if (upper.size() == 1)
                result[i] = upper.at(0);
        }
        start = Start::None;
    }
    return result;
}
