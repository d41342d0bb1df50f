#include "spelling/SpellHighlighter.h"

#include "spelling/SpellChecker.h"

#include <QScopedValueRollback>
#include <QTextDocument>
#include <QTextLayout>

namespace {

// A change of more characters than this (a letter read in, a whole-document format, a long
// paste) is checked in slices instead of at once; a keystroke or an ordinary paste is checked
// at once.
constexpr int kLargeChange = 2000;

} // namespace

SpellHighlighter::SpellHighlighter(QTextDocument *document, SpellChecker *spellChecker)
    : QSyntaxHighlighter(static_cast<QObject *>(document)), checker(spellChecker)
{
    sliceTimer.setSingleShot(true);
    sliceTimer.setInterval(0);
    connect(&sliceTimer, &QTimer::timeout, this, [this] { checkSlice(kSliceMilliseconds); });
    // Connected before the base class connects its own reaction, so that a large change is
    // known as such when its paragraphs come to highlightBlock().
    connect(document, &QTextDocument::contentsChange, this, &SpellHighlighter::beforeChange);
    setDocument(document);
    // The base class schedules a pass over the whole new document, which would check a long
    // letter at one go. Running that pass now, leaving every paragraph as it is, cancels it; the
    // slices do the checking.
    {
        const QScopedValueRollback keep(keepFormats, true);
        const QScopedValueRollback own(ownPass, true);
        rehighlight();
    }
    if (checker) {
        connect(checker, &SpellChecker::wordsChanged, this, &SpellHighlighter::recheckAll);
        connect(checker, &SpellChecker::stateChanged, this, &SpellHighlighter::recheckAll);
        connect(checker, &SpellChecker::enabledChanged, this, &SpellHighlighter::recheckAll);
    }
    checkFrom(0);
}

SpellHighlighter::~SpellHighlighter()
{
    // The base class wipes the underlines on its way out, which the document reports as a
    // change; this part of the object is gone by then and must not hear of it.
    if (QTextDocument *text = document())
        disconnect(text, &QTextDocument::contentsChange, this, &SpellHighlighter::beforeChange);
}

QTextCharFormat SpellHighlighter::misspelledFormat()
{
    QTextCharFormat format;
    format.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
    format.setUnderlineColor(Qt::red);
    return format;
}

void SpellHighlighter::setEnabled(bool on)
{
    if (enabled == on)
        return;
    enabled = on;
    recheckAll();
}

bool SpellHighlighter::isActive() const
{
    return enabled && checker && checker->isActive();
}

void SpellHighlighter::recheckAll()
{
    checkFrom(0);
}

void SpellHighlighter::finishChecking()
{
    sliceTimer.stop();
    checkSlice(-1);
}

void SpellHighlighter::beforeChange(int from, int charsRemoved, int charsAdded)
{
    // Drawing the underlines marks paragraphs dirty, which the document reports as a change too.
    if (ownPass)
        return;
    largeChange = qMax(charsRemoved, charsAdded) > kLargeChange;
    if (largeChange)
        checkFrom(from);
}

void SpellHighlighter::checkFrom(int position)
{
    QTextDocument *text = document();
    if (!text)
        return;
    position = qBound(0, position, qMax(0, text->characterCount() - 1));
    if (pending.isNull()) {
        pending = QTextCursor(text);
        pending.setPosition(position);
    } else if (position < pending.position()) {
        pending.setPosition(position);
    }
    sliceTimer.start();
}

void SpellHighlighter::checkSlice(qint64 budgetMilliseconds)
{
    if (pending.isNull() || !document())
        return;
    QElapsedTimer clock;
    clock.start();
    const QScopedValueRollback own(ownPass, true);
    // The underlines of the slice are set on the paragraphs' layouts directly and the document
    // told once at the end: a paragraph at a time (rehighlightBlock) relays the document out
    // after each one, which costs more than the checking.
    int changedFrom = -1;
    int changedTo = -1;
    QTextBlock block = document()->findBlock(pending.position());
    while (block.isValid()) {
        const QTextBlock next = block.next();
        // The paragraph leaves the waiting ones before its check, so highlightBlock() checks it.
        if (next.isValid())
            pending.setPosition(next.position());
        else
            pending = QTextCursor();
        QTextLayout *layout = block.layout();
        if (!layout->preeditAreaText().isEmpty()) {
            // Text being composed by an input method: the base class knows how to keep it.
            rehighlightBlock(block);
        } else {
            const QList<QTextLayout::FormatRange> underlines = misspelledRanges(block.text());
            if (underlines != layout->formats()) {
                layout->setFormats(underlines);
                if (changedFrom < 0)
                    changedFrom = block.position();
                changedTo = block.position() + block.length();
            }
        }
        block = next;
        if (budgetMilliseconds >= 0 && clock.elapsed() >= budgetMilliseconds)
            break;
    }
    if (changedFrom >= 0)
        document()->markContentsDirty(changedFrom, changedTo - changedFrom);
    if (!block.isValid())
        pending = QTextCursor();
    if (pending.isNull())
        emit checkingFinished();
    else
        sliceTimer.start();
}

QList<QTextLayout::FormatRange> SpellHighlighter::misspelledRanges(const QString &text)
{
    QList<QTextLayout::FormatRange> ranges;
    if (!isActive())
        return ranges;
    for (const FrenchWords::Span &word : checker->misspellings(text)) {
        QTextLayout::FormatRange range;
        range.start = int(word.start);
        range.length = int(word.length);
        range.format = misspelledFormat();
        ranges << range;
    }
    return ranges;
}

void SpellHighlighter::keepCurrentFormats()
{
    const QTextBlock block = currentBlock();
    if (!block.layout())
        return;
    for (const QTextLayout::FormatRange &range : block.layout()->formats())
        setFormat(range.start, range.length, range.format);
}

void SpellHighlighter::highlightBlock(const QString &text)
{
    const QTextBlock block = currentBlock();
    if (keepFormats || (largeChange && !pending.isNull() && block.position() >= pending.position())) {
        keepCurrentFormats();
        return;
    }
    for (const QTextLayout::FormatRange &range : misspelledRanges(text))
        setFormat(range.start, range.length, range.format);
}
