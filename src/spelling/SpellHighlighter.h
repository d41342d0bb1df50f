#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QSyntaxHighlighter>
#include <QTextCursor>
#include <QTextLayout>
#include <QTimer>

class SpellChecker;
class QTextDocument;

// Underlines in red waves the words the checker does not know, in any text document (the
// editor's letters, the wizard's body text, the writing assistant's fields). The underline is a
// layout decoration: the document, its undo history, its RTF and its printing never see it.
//
// Typing re-checks only the paragraph it changes. A large change (a letter read into the
// document, a whole-document format) is checked in slices from the event loop, so the window
// stays responsive; until a paragraph's turn comes it keeps the underlines it had.
class SpellHighlighter : public QSyntaxHighlighter
{
    Q_OBJECT

public:
    // Owned by document. The checker is normally SpellChecker::shared().
    SpellHighlighter(QTextDocument *document, SpellChecker *checker);
    ~SpellHighlighter() override;

    // The highlighter's own switch (on by default), on top of the checker's: a control can stop
    // checking while the user's switch stays on.
    void setEnabled(bool on);
    bool isEnabled() const { return enabled; }
    // Whether underlines are drawn now: both switches on and a dictionary ready.
    bool isActive() const;

    // Whether paragraphs are still waiting for their check.
    bool isChecking() const { return !pending.isNull(); }
    // Checks every waiting paragraph now (tests, benchmarks, and before an action that needs the
    // whole document's underlines).
    void finishChecking();
    // Checks the whole document again, in slices (after a change of dictionary, words or switch).
    void recheckAll();

    // What unknown words are drawn with.
    static QTextCharFormat misspelledFormat();

    // Paragraphs checked in one slice stop after this many milliseconds.
    static constexpr int kSliceMilliseconds = 8;

signals:
    // Every paragraph waiting for a check has had it.
    void checkingFinished();

protected:
    void highlightBlock(const QString &text) override;

private:
    void beforeChange(int from, int charsRemoved, int charsAdded);
    void checkFrom(int position);
    void checkSlice(qint64 budgetMilliseconds);
    void keepCurrentFormats();
    QList<QTextLayout::FormatRange> misspelledRanges(const QString &text);

    QPointer<SpellChecker> checker;
    bool enabled = true;
    // Paragraphs from this one on (by position) wait for the sliced check; null when none.
    QTextCursor pending;
    // Set while the document reports a large change: its paragraphs wait for their slice.
    bool largeChange = false;
    // Set while the base class does the full pass it schedules for a new document.
    bool keepFormats = false;
    // Set while this class redraws paragraphs itself.
    bool ownPass = false;
    QTimer sliceTimer;
};
