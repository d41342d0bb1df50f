#pragma once

#include <QList>
#include <QtGlobal>

class QTextCursor;
class QTextDocument;

// Paragraph requests applied to a letter's rich text.
//
// Justify: in the letters, paragraphs whose alignment is justified must be drawn flush with both
// margins. QTextDocument draws Qt::AlignJustify that way by itself; what is left to do over the
// range is to make every justified paragraph's alignment plainly Qt::AlignJustify (a reader or a
// paste may have left it combined with other flags) and, like the rich-text control of old, to
// leave the selection empty at the start of the text.
//
// Settabs: sets tab stops on the paragraphs of a range.
class clsRichText
{
public:
    // intStart and intEnd are character positions; the letter code works with 16-bit positions,
    // so anything beyond 32767 is out of reach, as it always was. selection, when given, is the
    // editor's cursor: it ends up at position 0 with nothing selected.
    void Justify(QTextDocument *document, qint16 intStart, qint16 intEnd, QTextCursor *selection = nullptr) const;
    // The same over any range, the selection left alone: what the editor does to a whole letter,
    // whatever its length.
    static void justifyParagraphs(QTextDocument *document, int start, int end);

    // lngArrTabs holds the positions in twips from element 1 on (element 0 is not used); those
    // beyond rwidth are skipped; the accepted ones, at most 32, become the tab stops of every
    // paragraph that the range from lngstart to lngEnd touches. Returns false, changing nothing,
    // when more than 32 positions are accepted.
    bool Settabs(QTextDocument *document, const QList<qint32> &lngArrTabs, qint32 rwidth, qint32 lngstart,
                 qint32 lngEnd, QTextCursor *selection = nullptr) const;

    static constexpr int kMaxTabStops = 32;
};
