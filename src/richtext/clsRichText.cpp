#include "richtext/clsRichText.h"

#include "richtext/RichTextProperties.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// The blocks that the characters from start to end touch, positions clamped to the document.
template <typename Apply> void forEachBlock(QTextDocument *document, int start, int end, Apply apply)
{
    const int last = qMax(0, document->characterCount() - 1);
    start = qBound(0, start, last);
    end = qBound(0, end, last);
    if (end < start)
        std::swap(start, end);
    for (QTextBlock block = document->findBlock(start); block.isValid() && block.position() <= end;
         block = block.next())
        apply(block);
}

void clearSelection(QTextCursor *selection)
{
    if (selection)
        selection->setPosition(0);
}

} // namespace

void clsRichText::Justify(QTextDocument *document, qint16 intStart, qint16 intEnd, QTextCursor *selection) const
{
    if (!document)
        return;
    justifyParagraphs(document, intStart, intEnd);
    clearSelection(selection);
}

void clsRichText::justifyParagraphs(QTextDocument *document, int start, int end)
{
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    forEachBlock(document, start, end, [&cursor](const QTextBlock &block) {
        const Qt::Alignment alignment = block.blockFormat().alignment();
        if ((alignment & Qt::AlignJustify) && (alignment & Qt::AlignHorizontal_Mask) != Qt::AlignJustify) {
            QTextBlockFormat format;
            format.setAlignment(Qt::AlignJustify | (alignment & Qt::AlignVertical_Mask));
            cursor.setPosition(block.position());
            cursor.mergeBlockFormat(format);
        }
    });
    cursor.endEditBlock();
}

bool clsRichText::Settabs(QTextDocument *document, const QList<qint32> &lngArrTabs, qint32 rwidth, qint32 lngstart,
                          qint32 lngEnd, QTextCursor *selection) const
{
    if (!document)
        return false;
    // The accepted positions, in order and without gaps (a skipped position leaves no empty stop).
    QList<QTextOption::Tab> tabs;
    for (qsizetype k = 1; k < lngArrTabs.size(); ++k) {
        if (lngArrTabs.at(k) > rwidth)
            continue;
        if (tabs.size() == kMaxTabStops) {
            if (selection) {
                selection->setPosition(qBound(0, lngstart, document->characterCount() - 1));
                selection->setPosition(qBound(0, lngEnd, document->characterCount() - 1), QTextCursor::KeepAnchor);
            }
            return false;
        }
        tabs << QTextOption::Tab(RichText::twipsToPixels(lngArrTabs.at(k)), QTextOption::LeftTab);
    }
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    forEachBlock(document, lngstart, lngEnd, [&cursor, &tabs](const QTextBlock &block) {
        QTextBlockFormat format;
        format.setTabPositions(tabs);
        cursor.setPosition(block.position());
        cursor.mergeBlockFormat(format);
    });
    cursor.endEditBlock();
    clearSelection(selection);
    return true;
}
