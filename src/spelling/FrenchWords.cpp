#include "spelling/FrenchWords.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace FrenchWords {

namespace {

constexpr char16_t kSoftHyphen = 0x00AD;

bool isApostrophe(QChar c)
{
    return c == u'\'' || c == QChar(0x2019) || c == QChar(0x02BC);
}

bool isHyphen(QChar c)
{
    return c == u'-' || c == QChar(0x2010) || c == QChar(0x2011);
}

// Letters, digits and the accents that combine with them; a soft hyphen (an optional line
// break inside a word) belongs to its word.
bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c.isMark() || c == QChar(kSoftHyphen);
}

// What may stand before the apostrophe of an elided form.
bool isElision(QStringView prefix)
{
    static const char16_t *const forms[] = {u"l", u"d", u"qu", u"j",     u"n",      u"s",
                                            u"c", u"m", u"t",  u"jusqu", u"lorsqu", u"puisqu"};
    for (const char16_t *form : forms) {
        if (prefix.compare(QStringView(form), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool hasDigit(QStringView word)
{
    for (QChar c : word) {
        if (c.isDigit() || c.category() == QChar::Number_Other || c.category() == QChar::Number_Letter)
            return true;
    }
    return false;
}

// A run of text between spaces that is an e-mail or a web address: left out whole, so that
// neither "quillane" nor "www" is reported.
bool isAddress(QStringView chunk)
{
    // Brackets, quotes and the sentence's punctuation around an address are not part of it.
    static const QString opening = u"(<[«\"'‘“"_s;
    static const QString closing = u")>]»\"'’”.,;:!?"_s;
    while (!chunk.isEmpty() && opening.contains(chunk.front()))
        chunk = chunk.sliced(1);
    while (!chunk.isEmpty() && closing.contains(chunk.back()))
        chunk.chop(1);
    if (chunk.isEmpty())
        return false;
    if (chunk.contains(u'@') || chunk.contains(u"://"))
        return true;
    if (chunk.startsWith(u"www.", Qt::CaseInsensitive))
        return true;
    if (!chunk.contains(u'.'))
        return false;
    // A bare domain ("quillane.fr", "service-public.gouv.fr/particuliers"): only with the
    // endings French letters meet, so that "fin.de" typed without its space is still checked.
    static const QRegularExpression domain(
        u"^[a-z0-9-]+(\\.[a-z0-9-]+)*\\.(fr|com|org|net|eu|info|be|ch|lu|ca|io|re|mc)(/\\S*)?$"_s,
        QRegularExpression::CaseInsensitiveOption);
    return domain.match(chunk.toString()).hasMatch();
}

// Appends the words of one run of text between spaces.
void wordsOfChunk(QStringView text, qsizetype chunkStart, qsizetype chunkEnd, QList<Span> *out)
{
    qsizetype i = chunkStart;
    while (i < chunkEnd) {
        if (!isWordCharacter(text[i])) {
            ++i;
            continue;
        }
        qsizetype start = i;
        // An apostrophe or a hyphen joins two parts of one word only between word characters.
        while (i < chunkEnd && (isWordCharacter(text[i]) || ((isApostrophe(text[i]) || isHyphen(text[i])) &&
                                                             i + 1 < chunkEnd && isWordCharacter(text[i + 1])))) {
            ++i;
        }
        // "l' homme": the apostrophe still belongs to the elided article before the space.
        if (i < chunkEnd && isApostrophe(text[i]) && isElision(text.sliced(start, i - start)))
            ++i;
        const qsizetype end = i;
        if (hasDigit(text.sliced(start, end - start)))
            continue;
        // Cut the elided forms off the front: "qu'aujourd'hui" asks about "aujourd'hui".
        for (qsizetype p = start; p < end; ++p) {
            if (!isApostrophe(text[p]))
                continue;
            if (!isElision(text.sliced(start, p - start)))
                break;
            start = p + 1;
        }
        if (start < end)
            out->append(Span{start, end - start});
    }
}

} // namespace

QList<Span> words(QStringView text)
{
    QList<Span> found;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && text[i].isSpace())
            ++i;
        const qsizetype chunkStart = i;
        while (i < n && !text[i].isSpace())
            ++i;
        if (i > chunkStart && !isAddress(text.sliced(chunkStart, i - chunkStart)))
            wordsOfChunk(text, chunkStart, i, &found);
    }
    return found;
}

Span wordAt(QStringView text, qsizetype offset)
{
    // Only the run of text between spaces around offset needs cutting.
    qsizetype from = qBound(qsizetype(0), offset, text.size());
    while (from > 0 && !text[from - 1].isSpace())
        --from;
    qsizetype to = qBound(qsizetype(0), offset, text.size());
    while (to < text.size() && !text[to].isSpace())
        ++to;
    for (const Span &word : words(text.sliced(from, to - from))) {
        const Span at{word.start + from, word.length};
        if (at.start <= offset && offset <= at.end())
            return at;
    }
    return Span{};
}

QString checkedForm(QStringView word)
{
    QString form;
    form.reserve(word.size());
    for (QChar c : word) {
        if (c == QChar(kSoftHyphen))
            continue;
        if (c == QChar(0x2010) || c == QChar(0x2011))
            form += u'-';
        else if (c == QChar(0x02BC))
            form += u'\'';
        else
            form += c;
    }
    return form;
}

QString listForm(QStringView word)
{
    QString form = checkedForm(word);
    form.replace(QChar(0x2019), u'\'');
    return form;
}

} // namespace FrenchWords
