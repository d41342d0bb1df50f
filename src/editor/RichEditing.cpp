#include "editor/RichEditing.h"

#include "richtext/RichCase.h"
#include "richtext/RichClipboard.h"
#include "richtext/RichText.h"
#include "richtext/clsRichText.h"

#include <QImage>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTextList>
#include <QUrl>

#include <cmath>
#include <vector>

using namespace Qt::StringLiterals;

namespace RichEditing {
namespace {

// An attribute read over a selection: the first value seen, until another one shows up.
template <typename T> class Uniform
{
public:
    void see(const T &value)
    {
        if (mixed)
            return;
        if (!first) {
            first = value;
        } else if (!(*first == value)) {
            mixed = true;
        }
    }
    std::optional<T> result() const { return mixed ? std::nullopt : first; }

private:
    std::optional<T> first;
    bool mixed = false;
};

// Indents compared in document units: a few hundredths are rounding, not a different indent.
struct Length
{
    double value = 0;
    bool operator==(const Length &other) const { return std::abs(value - other.value) < 0.01; }
};

SelectionFormat::Alignment alignmentOf(const QTextBlockFormat &format)
{
    const Qt::Alignment horizontal = format.alignment() & Qt::AlignHorizontal_Mask;
    if (horizontal & Qt::AlignJustify)
        return SelectionFormat::Justified;
    if (horizontal & Qt::AlignHCenter)
        return SelectionFormat::Center;
    if (horizontal & Qt::AlignRight)
        return SelectionFormat::Right;
    return SelectionFormat::Left;
}

bool isBulleted(const QTextBlock &block)
{
    const QTextList *list = block.textList();
    if (!list)
        return false;
    const QTextListFormat::Style style = list->format().style();
    return style == QTextListFormat::ListDisc || style == QTextListFormat::ListCircle ||
           style == QTextListFormat::ListSquare;
}

// The blocks that a selection from start to end touches (the caret's block when they are equal).
std::vector<QTextBlock> blocksOf(const QTextDocument *document, int start, int end)
{
    std::vector<QTextBlock> blocks;
    const QTextBlock last = document->findBlock(qMax(start, end > start ? end - 1 : end));
    for (QTextBlock block = document->findBlock(start); block.isValid(); block = block.next()) {
        blocks.push_back(block);
        if (block == last)
            break;
    }
    return blocks;
}

} // namespace

SelectionFormat selectionFormat(const QTextEdit *edit)
{
    const QTextDocument *document = edit->document();
    const QTextCursor cursor = edit->textCursor();
    const QFont defaultFont = document->defaultFont();
    Uniform<bool> bold, italic, underline, strikeOut, bullet;
    Uniform<SelectionFormat::Alignment> alignment;
    Uniform<Length> indent;
    Uniform<QString> fontName;
    Uniform<Length> fontSize;
    Uniform<QColor> color;

    const auto seeCharacters = [&](const QTextCharFormat &format) {
        const QFont font = format.font().resolve(defaultFont);
        bold.see(font.weight() >= QFont::DemiBold);
        italic.see(font.italic());
        underline.see(format.fontUnderline() || font.underline());
        strikeOut.see(font.strikeOut());
        fontName.see(font.family());
        fontSize.see(Length{font.pointSizeF()});
        color.see(format.foreground().style() == Qt::NoBrush ? QColor() : format.foreground().color());
    };

    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    if (!cursor.hasSelection())
        seeCharacters(edit->currentCharFormat());
    for (const QTextBlock &block : blocksOf(document, start, end)) {
        alignment.see(alignmentOf(block.blockFormat()));
        bullet.see(isBulleted(block));
        indent.see(Length{block.blockFormat().leftMargin()});
        if (!cursor.hasSelection())
            continue;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid() || fragment.position() >= end || fragment.position() + fragment.length() <= start)
                continue;
            if (fragment.charFormat().isImageFormat())
                continue; // a picture has no character style of its own
            seeCharacters(fragment.charFormat());
        }
    }

    SelectionFormat result;
    result.bold = bold.result();
    result.italic = italic.result();
    result.underline = underline.result();
    result.strikeOut = strikeOut.result();
    result.alignment = alignment.result();
    result.bullet = bullet.result();
    if (const auto value = indent.result())
        result.indent = value->value;
    result.fontName = fontName.result();
    if (const auto value = fontSize.result())
        result.fontSize = value->value;
    result.color = color.result();
    return result;
}

int convertCase(QTextDocument *document, int from, int to, bool upper)
{
    const int before = document->characterCount();
    RichCase::convert(document, from, to, upper ? RichCase::Direction::Upper : RichCase::Direction::Lower);
    return qMax(from, to) + document->characterCount() - before;
}

void justify(QTextDocument *document)
{
    clsRichText::justifyParagraphs(document, 0, document->characterCount() - 1);
}

bool shiftIndent(QTextEdit *edit, double delta)
{
    const QTextCursor selection = edit->textCursor();
    const std::vector<QTextBlock> blocks =
        blocksOf(edit->document(), selection.selectionStart(), selection.selectionEnd());
    Uniform<Length> indent;
    for (const QTextBlock &block : blocks)
        indent.see(Length{block.blockFormat().leftMargin()});
    const std::optional<Length> current = indent.result();
    if (!current)
        return false;
    double shifted = current->value + delta;
    if (shifted < 0.01)
        shifted = 0;
    QTextCursor cursor(edit->document());
    cursor.beginEditBlock();
    for (const QTextBlock &block : blocks) {
        QTextBlockFormat format = block.blockFormat();
        format.setLeftMargin(shifted);
        cursor.setPosition(block.position());
        cursor.setBlockFormat(format);
    }
    cursor.endEditBlock();
    return true;
}

void setBullet(QTextEdit *edit, bool on)
{
    QTextCursor cursor = edit->textCursor();
    const std::vector<QTextBlock> blocks = blocksOf(edit->document(), cursor.selectionStart(), cursor.selectionEnd());
    cursor.beginEditBlock();
    if (on) {
        bool all = true;
        for (const QTextBlock &block : blocks)
            all = all && isBulleted(block);
        if (!all) {
            QTextListFormat format;
            format.setStyle(QTextListFormat::ListDisc);
            format.setIndent(1);
            cursor.createList(format);
        }
    } else {
        QTextCursor blockCursor(edit->document());
        for (const QTextBlock &block : blocks) {
            if (QTextList *list = block.textList())
                list->remove(block);
            // The bullet's hanging indent goes with it.
            QTextBlockFormat format = block.blockFormat();
            format.setIndent(0);
            format.setTextIndent(0);
            blockCursor.setPosition(block.position());
            blockCursor.setBlockFormat(format);
        }
    }
    cursor.endEditBlock();
}

QMimeData *mimeDataFor(const QTextCursor &selection)
{
    auto *data = new QMimeData;
    if (selection.hasSelection())
        RichClipboard::setRange(data, selection.document(), selection.selectionStart(), selection.selectionEnd());
    return data;
}

void insertImage(QTextCursor &cursor, const QImage &image, double maxWidth)
{
    const QString name = RichClipboard::newImageName();
    cursor.document()->addResource(QTextDocument::ImageResource, QUrl(name), image);
    double width = image.width();
    double height = image.height();
    if (maxWidth > 0 && width > maxWidth) {
        height = height * maxWidth / width;
        width = maxWidth;
    }
    QTextImageFormat format;
    format.setName(name);
    format.setWidth(width);
    format.setHeight(height);
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    cursor.insertImage(format);
    cursor.endEditBlock();
}

} // namespace RichEditing
