#include "richtext/RichCase.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <vector>

namespace {

struct Change
{
    int position;
    int length;
    QString text;
    QTextCharFormat format;
};

} // namespace

int RichCase::convert(QTextDocument *document, int from, int to, Direction direction, const QLocale &locale)
{
    if (!document)
        return 0;
    const int last = qMax(0, document->characterCount() - 1);
    from = qBound(0, from, last);
    to = qBound(0, to, last);
    if (to < from)
        std::swap(from, to);

    // Collect first, replace afterwards from the end, so that positions stay true even where a
    // conversion changes the length (ß -> SS).
    std::vector<Change> changes;
    int changed = 0;
    for (QTextBlock block = document->findBlock(from); block.isValid() && block.position() < to; block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().isImageFormat())
                continue;
            const int start = qMax(from, fragment.position());
            const int end = qMin(to, fragment.position() + fragment.length());
            if (start >= end)
                continue;
            const QString original = fragment.text().mid(start - fragment.position(), end - start);
            // Letter by letter: a letter that changes joins the pending change, anything else ends it.
            int runStart = -1;
            QString runText;
            const auto closeRun = [&](int at) {
                if (runStart >= 0) {
                    changes.push_back({start + runStart, at - runStart, runText, fragment.charFormat()});
                    runStart = -1;
                    runText.clear();
                }
            };
            for (int i = 0; i < original.size(); ++i) {
                int width = 1;
                if (original.at(i).isHighSurrogate() && i + 1 < original.size() && original.at(i + 1).isLowSurrogate())
                    width = 2;
                const QString letter = original.mid(i, width);
                const QString converted =
                    direction == Direction::Upper ? locale.toUpper(letter) : locale.toLower(letter);
                if (converted != letter && letter.at(0).isLetter()) {
                    if (runStart < 0)
                        runStart = i;
                    runText += converted;
                    changed += width;
                } else {
                    closeRun(i);
                }
                i += width - 1;
            }
            closeRun(original.size());
        }
    }
    if (changes.empty())
        return 0;
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (auto it = changes.rbegin(); it != changes.rend(); ++it) {
        cursor.setPosition(it->position);
        cursor.setPosition(it->position + it->length, QTextCursor::KeepAnchor);
        cursor.insertText(it->text, it->format);
    }
    cursor.endEditBlock();
    return changed;
}
