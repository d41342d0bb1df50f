#pragma once

// Comparison of two documents paragraph by paragraph, for the round-trip tests: the same text
// and the same character and paragraph formats, as far as RTF carries them.

#include "richtext/HeadersFooters.h"
#include "richtext/RichTextProperties.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

namespace RoundTrip {

inline QString describeChar(const QTextCharFormat &f, bool withFamily)
{
    QStringList parts;
    if (withFamily) {
        const QStringList families = f.fontFamilies().toStringList();
        parts << (families.isEmpty() ? QString() : families.constFirst());
    }
    parts << QString::number(f.fontPointSize()) << QString::number(f.fontWeight() >= QFont::DemiBold)
          << QString::number(f.fontItalic())
          << QString::number(f.fontUnderline() || f.underlineStyle() != QTextCharFormat::NoUnderline)
          << QString::number(f.fontStrikeOut()) << QString::number(int(f.verticalAlignment()))
          << (f.foreground().style() == Qt::NoBrush ? QString() : f.foreground().color().name())
          << (f.background().style() == Qt::NoBrush ? QString() : f.background().color().name()) << f.anchorHref();
    return parts.join(u'|');
}

inline QString describeBlock(const QTextBlock &block)
{
    const QTextBlockFormat f = block.blockFormat();
    QStringList parts;
    parts << QString::number(int(f.alignment() & Qt::AlignHorizontal_Mask)) << QString::number(qRound(f.leftMargin()))
          << QString::number(qRound(f.rightMargin())) << QString::number(qRound(block.textList() ? 0 : f.textIndent()))
          << QString::number(qRound(f.topMargin())) << QString::number(qRound(f.bottomMargin()))
          << QString::number(f.tabPositions().size())
          << QString::number(block.textList() ? int(block.textList()->format().style()) : 0);
    return parts.join(u'|');
}

// Empty when both documents agree; else a description of the first difference.
inline QString compare(const QTextDocument &a, const QTextDocument &b)
{
    if (a.toPlainText() != b.toPlainText())
        return QStringLiteral("text differs");
    QTextBlock x = a.begin();
    QTextBlock y = b.begin();
    for (; x.isValid() && y.isValid(); x = x.next(), y = y.next()) {
        if (describeBlock(x) != describeBlock(y))
            return QStringLiteral("paragraph \"%1\": %2 / %3")
                .arg(x.text().left(40), describeBlock(x), describeBlock(y));
        // Character by character, since runs may be cut differently.
        for (int i = 0; i < x.length() - 1; ++i) {
            QTextCursor cx(x);
            cx.setPosition(x.position() + i + 1);
            QTextCursor cy(y);
            cy.setPosition(y.position() + i + 1);
            const QTextCharFormat fx = cx.charFormat();
            const bool family = !fx.fontFamilies().toStringList().isEmpty();
            if (describeChar(fx, family) != describeChar(cy.charFormat(), family))
                return QStringLiteral("\"%1\" at %2: %3 / %4")
                    .arg(x.text().left(40))
                    .arg(i)
                    .arg(describeChar(fx, family), describeChar(cy.charFormat(), family));
        }
    }
    return {};
}

// The pictures of a document (the bytes read, else the image's size) and its page fields, in order.
inline QStringList picturesAndFields(const QTextDocument &document)
{
    QStringList items;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat()) {
                const QTextImageFormat image = format.toImageFormat();
                const QByteArray bytes = image.property(RichText::OriginalPictureData).toByteArray();
                items << (bytes.isEmpty() ? QStringLiteral("image %1x%2").arg(image.width()).arg(image.height())
                                          : QString::number(qHash(bytes)));
            } else if (format.hasProperty(RichText::FieldInstruction)) {
                items << format.stringProperty(RichText::FieldInstruction);
            }
        }
    }
    return items;
}

// Empty when both documents have the same headers and footers: the same kinds, flags and
// distances, and in each the same text, formats, pictures and page fields.
inline QString compareDecorations(const QTextDocument &a, const QTextDocument &b)
{
    const HeadersFooters *x = HeadersFooters::of(&a);
    const HeadersFooters *y = HeadersFooters::of(&b);
    if (!x || !y)
        return x == y ? QString() : QStringLiteral("on one side only");
    if (x->titlePage() != y->titlePage() || x->facingPages() != y->facingPages() ||
        x->headerDistance() != y->headerDistance() || x->footerDistance() != y->footerDistance())
        return QStringLiteral("flags or distances differ");
    for (const HeadersFooters::Kind kind : HeadersFooters::kKinds) {
        const QTextDocument *p = x->part(kind);
        const QTextDocument *q = y->part(kind);
        const QString difference = !p || !q ? (p == q ? QString() : QStringLiteral("on one side only"))
                                            : compare(*p, *q) + (picturesAndFields(*p) == picturesAndFields(*q)
                                                                     ? QString()
                                                                     : QStringLiteral(" pictures or fields"));
        if (!difference.isEmpty())
            return QString::fromLatin1(HeadersFooters::controlWord(kind)) + QStringLiteral(": ") + difference;
    }
    return {};
}

} // namespace RoundTrip
