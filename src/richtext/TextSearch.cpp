#include "richtext/TextSearch.h"

#include <QRegularExpression>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace TextSearch {

namespace {

bool isApostrophe(QChar c)
{
    return c == u'\'' || c == QChar(0x2019) || c == QChar(0x02BC);
}

bool isSpace(QChar c)
{
    return c == u' ' || c == QChar(0x00A0) || c == QChar(0x202F);
}

// The text as a pattern that matches it literally, apostrophes and spaces in any of their forms.
QRegularExpression patternFor(const QString &text, Options options)
{
    QString pattern;
    for (QChar c : text) {
        if (isApostrophe(c))
            pattern += u"['\\x{2019}\\x{02BC}]"_s;
        else if (isSpace(c))
            pattern += u"[ \\x{00A0}\\x{202F}]"_s;
        else if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9'))
            pattern += c;
        else
            pattern += u"\\x{%1}"_s.arg(c.unicode(), 0, 16);
    }
    QRegularExpression::PatternOptions flags = QRegularExpression::NoPatternOption;
    if (!options.matchCase)
        flags |= QRegularExpression::CaseInsensitiveOption;
    return QRegularExpression(pattern, flags);
}

QTextDocument::FindFlags findFlags(Options options)
{
    // With a pattern, the document sets the pattern's case option from these flags.
    QTextDocument::FindFlags flags;
    if (options.matchCase)
        flags |= QTextDocument::FindCaseSensitively;
    if (options.wholeWord)
        flags |= QTextDocument::FindWholeWords;
    return flags;
}

} // namespace

QTextCursor findNext(const QTextDocument *document, const QString &text, int from, Options options, bool *wrapped)
{
    if (wrapped)
        *wrapped = false;
    if (!document || text.isEmpty())
        return QTextCursor();
    const QRegularExpression pattern = patternFor(text, options);
    QTextCursor found = document->find(pattern, qMax(0, from), findFlags(options));
    if (found.isNull() && from > 0) {
        // Nothing after from: go round to the start of the document, as the user expects.
        found = document->find(pattern, 0, findFlags(options));
        if (!found.isNull() && wrapped)
            *wrapped = true;
    }
    return found;
}

bool isOccurrence(const QTextCursor &cursor, const QString &text, Options options)
{
    if (cursor.isNull() || !cursor.hasSelection() || text.isEmpty())
        return false;
    const QTextCursor found =
        cursor.document()->find(patternFor(text, options), cursor.selectionStart(), findFlags(options));
    return !found.isNull() && found.selectionStart() == cursor.selectionStart() &&
           found.selectionEnd() == cursor.selectionEnd();
}

ReplaceResult replaceOne(QTextCursor cursor, const QString &text, const QString &replacement, Options options)
{
    ReplaceResult result;
    if (cursor.isNull() || text.isEmpty())
        return result;
    if (isOccurrence(cursor, text, options)) {
        cursor.beginEditBlock();
        cursor.insertText(replacement);
        cursor.endEditBlock();
        result.replaced = true;
    }
    result.next = findNext(cursor.document(), text, cursor.selectionEnd(), options);
    return result;
}

int replaceAll(QTextDocument *document, const QString &text, const QString &replacement, Options options)
{
    if (!document || text.isEmpty())
        return 0;
    const QRegularExpression pattern = patternFor(text, options);
    int count = 0;
    QTextCursor edit(document);
    edit.beginEditBlock();
    QTextCursor found = document->find(pattern, 0, findFlags(options));
    while (!found.isNull()) {
        // The cursor ends after the replacement, where the next search starts.
        found.insertText(replacement);
        ++count;
        found = document->find(pattern, found, findFlags(options));
    }
    edit.endEditBlock();
    return count;
}

} // namespace TextSearch
