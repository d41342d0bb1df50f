#include "richtext/RtfWriter.h"

#include "richtext/CodePage.h"
#include "richtext/HeadersFooters.h"
#include "richtext/PageLayout.h"
#include "richtext/RichTextProperties.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

int twips(double pixels)
{
    return RichText::pixelsToTwips(pixels);
}

} // namespace

class RtfWriter::Private
{
public:
    Private(const QTextDocument *document, const QTextDocument *resources)
        : document(document), resources(resources ? resources : document), decorations(HeadersFooters::of(document))
    {
    }

    void collect();
    void collectFrom(const QTextDocument *source);
    int fontIndex(const QTextCharFormat &format) const;
    int colorIndex(const QColor &color) const;
    void addColor(const QBrush &brush);

    void writeHeader();
    void writeDecorations();
    void writeFrame(const QTextFrame *frame, int depth);
    void writeTable(const QTextTable *table, int depth);
    void writeRowDefinition(const QTextTable *table, int row, const QList<int> &rights);
    void writeBlock(const QTextBlock &block, int depth, const char *ending);
    void writeCharProps(const QTextCharFormat &format);
    void writeImage(const QTextImageFormat &format);
    void writeText(QStringView text);
    void writeNumber(qint64 value);
    void word(const char *name) { out.append(name); }
    void word(const char *name, qint64 value)
    {
        out.append(name);
        writeNumber(value);
    }
    void writeHex(const QByteArray &bytes);
    int textWidthTwips() const;

    const QTextDocument *document;
    const QTextDocument *resources; // where the pictures being written are
    const HeadersFooters *decorations;
    QByteArray out;
    QStringList fonts;
    QHash<QString, int> fontIndexes;
    QList<QColor> colors;
    QHash<QRgb, int> colorIndexes;
    QList<QTextList *> lists;
    QHash<const QTextList *, int> listIndexes;
};

RtfWriter::RtfWriter(const QTextDocument *document, const QTextDocument *resources)
    : d(new Private(document, resources))
{
}

RtfWriter::~RtfWriter()
{
    delete d;
}

QByteArray RtfWriter::write()
{
    d->out.clear();
    if (!d->document)
        return "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1036\\uc1\\pard\\plain\\par}";
    d->out.reserve(qMax<qsizetype>(4096, d->document->characterCount() * 3));
    d->collect();
    d->writeHeader();
    d->writeFrame(d->document->rootFrame(), 0);
    d->out.append("}\r\n");
    return d->out;
}

// ---------------------------------------------------------------------------------------------

void RtfWriter::Private::addColor(const QBrush &brush)
{
    if (brush.style() == Qt::NoBrush)
        return;
    const QRgb rgb = brush.color().rgb();
    if (colorIndexes.contains(rgb))
        return;
    colors << brush.color();
    colorIndexes.insert(rgb, int(colors.size())); // index 0 is "automatic"
}

int RtfWriter::Private::colorIndex(const QColor &color) const
{
    return colorIndexes.value(color.rgb(), 0);
}

int RtfWriter::Private::fontIndex(const QTextCharFormat &format) const
{
    const QStringList families = format.fontFamilies().toStringList();
    const QString family = families.isEmpty() ? QString() : families.constFirst();
    if (family.isEmpty())
        return 0;
    return fontIndexes.value(family, 0);
}

void RtfWriter::Private::collect()
{
    const QString defaultFamily = document->defaultFont().family();
    fonts << (defaultFamily.isEmpty() ? u"Times New Roman"_s : defaultFamily);
    fontIndexes.insert(fonts.constFirst(), 0);
    collectFrom(document);
    if (decorations) {
        for (const HeadersFooters::Kind kind : HeadersFooters::kKinds)
            if (const QTextDocument *part = decorations->part(kind))
                collectFrom(part);
    }
}

void RtfWriter::Private::collectFrom(const QTextDocument *source)
{
    const auto addFont = [this](const QTextCharFormat &format) {
        const QStringList families = format.fontFamilies().toStringList();
        const QString family = families.isEmpty() ? QString() : families.constFirst();
        if (!family.isEmpty() && !fontIndexes.contains(family)) {
            fontIndexes.insert(family, int(fonts.size()));
            fonts << family;
        }
    };
    for (QTextBlock block = source->begin(); block.isValid(); block = block.next()) {
        addFont(block.charFormat());
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            addFont(format);
            addColor(format.foreground());
            addColor(format.background());
        }
        if (QTextList *list = block.textList(); list && !listIndexes.contains(list)) {
            lists << list;
            listIndexes.insert(list, int(lists.size()));
        }
    }
    // Cell shading.
    QList<const QTextFrame *> pending{source->rootFrame()};
    while (!pending.isEmpty()) {
        const QTextFrame *frame = pending.takeLast();
        for (QTextFrame *child : frame->childFrames())
            pending << child;
        if (const auto *table = qobject_cast<const QTextTable *>(frame)) {
            for (int row = 0; row < table->rows(); ++row)
                for (int column = 0; column < table->columns(); ++column)
                    addColor(table->cellAt(row, column).format().background());
        }
    }
}

int RtfWriter::Private::textWidthTwips() const
{
    const PageLayout page = PageLayout::fromDocument(document);
    return qMax(1440, page.paperWidth - page.marginLeft - page.marginRight);
}

void RtfWriter::Private::writeNumber(qint64 value)
{
    char buffer[24];
    int length = 0;
    bool negative = value < 0;
    quint64 magnitude = negative ? quint64(-value) : quint64(value);
    do {
        buffer[length++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (negative)
        out.append('-');
    while (length)
        out.append(buffer[--length]);
}

void RtfWriter::Private::writeText(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x20 && c < 0x7F) {
            if (c == u'\\' || c == u'{' || c == u'}')
                out.append('\\');
            out.append(char(c));
            continue;
        }
        switch (c) {
        case u'\t':
            out.append("\\tab ");
            continue;
        case 0x2028:
            out.append("\\line ");
            continue;
        case 0x00A0:
            out.append("\\~");
            continue;
        case 0x00AD:
            out.append("\\-");
            continue;
        case 0x2011:
            out.append("\\_");
            continue;
        case 0xFFFC:
            continue; // an object with no picture behind it
        default:
            break;
        }
        if (c < 0x20)
            continue;
        // \uN, signed, then what a reader without Unicode shows instead.
        word("\\u", qint16(c));
        const int fallback = QChar::isSurrogate(c) ? -1 : CodePage::toWindows1252(c);
        if (fallback >= 0x80) {
            out.append("\\'");
            out.append(kHexDigits[fallback >> 4]);
            out.append(kHexDigits[fallback & 0xF]);
        } else {
            out.append('?');
        }
    }
}

void RtfWriter::Private::writeHex(const QByteArray &bytes)
{
    const qsizetype start = out.size();
    out.resize(start + bytes.size() * 2 + bytes.size() / 64 * 2 + 2);
    char *dest = out.data() + start;
    const auto *src = reinterpret_cast<const uchar *>(bytes.constData());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (i % 64 == 0) {
            *dest++ = '\r';
            *dest++ = '\n';
        }
        *dest++ = kHexDigits[src[i] >> 4];
        *dest++ = kHexDigits[src[i] & 0xF];
    }
    out.resize(dest - out.data());
}

void RtfWriter::Private::writeHeader()
{
    out.append("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1036\\uc1\r\n{\\fonttbl");
    for (qsizetype i = 0; i < fonts.size(); ++i) {
        const QString &name = fonts.at(i);
        const QString lower = name.toLower();
        const char *family = "\\fswiss";
        if (lower.contains(u"times"_s) || lower.contains(u"roman"_s) || lower.contains(u"garamond"_s) ||
            lower.contains(u"georgia"_s) || lower.contains(u"serif"_s) || lower.contains(u"cambria"_s))
            family = "\\froman";
        if (lower.contains(u"courier"_s) || lower.contains(u"mono"_s) || lower.contains(u"consolas"_s))
            family = "\\fmodern";
        if (lower.contains(u"symbol"_s) || lower.contains(u"wingdings"_s)) {
            out.append("{\\f");
            writeNumber(i);
            out.append("\\fnil\\fcharset2 ");
        } else {
            out.append("{\\f");
            writeNumber(i);
            out.append(family);
            out.append("\\fcharset0 ");
        }
        writeText(name);
        out.append(";}");
    }
    out.append("}\r\n{\\colortbl;");
    for (const QColor &color : std::as_const(colors)) {
        word("\\red", color.red());
        word("\\green", color.green());
        word("\\blue", color.blue());
        out.append(';');
    }
    out.append("}\r\n");

    if (!lists.isEmpty()) {
        out.append("{\\*\\listtable");
        for (qsizetype i = 0; i < lists.size(); ++i) {
            const QTextListFormat format = lists.at(i)->format();
            const int id = int(i + 1);
            out.append("\r\n{\\list\\listtemplateid");
            writeNumber(id);
            for (int level = 0; level < 9; ++level) {
                int nfc = 23;
                switch (format.style()) {
                case QTextListFormat::ListDecimal:
                    nfc = 0;
                    break;
                case QTextListFormat::ListUpperRoman:
                    nfc = 1;
                    break;
                case QTextListFormat::ListLowerRoman:
                    nfc = 2;
                    break;
                case QTextListFormat::ListUpperAlpha:
                    nfc = 3;
                    break;
                case QTextListFormat::ListLowerAlpha:
                    nfc = 4;
                    break;
                default:
                    nfc = 23;
                    break;
                }
                word("{\\listlevel\\levelnfc", nfc);
                word("\\levelnfcn", nfc);
                out.append("\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat1{\\leveltext");
                if (nfc == 23) {
                    out.append("\\'01");
                    switch (format.style()) {
                    case QTextListFormat::ListCircle:
                        out.append("o");
                        break;
                    case QTextListFormat::ListSquare:
                        out.append("\\u9642 ?");
                        break;
                    default:
                        out.append("\\u8226 ?");
                        break;
                    }
                    out.append(";}{\\levelnumbers;}");
                } else {
                    const QString prefix = format.numberPrefix();
                    const QString suffix = format.numberSuffix();
                    const qsizetype length = prefix.size() + 1 + suffix.size();
                    out.append("\\'");
                    out.append(kHexDigits[(length >> 4) & 0xF]);
                    out.append(kHexDigits[length & 0xF]);
                    writeText(prefix);
                    out.append("\\'0");
                    out.append(char('0' + level));
                    writeText(suffix);
                    out.append(";}{\\levelnumbers\\'");
                    const qsizetype position = prefix.size() + 1;
                    out.append(kHexDigits[(position >> 4) & 0xF]);
                    out.append(kHexDigits[position & 0xF]);
                    out.append(";}");
                }
                word("\\fi", -360);
                word("\\li", 600 * (level + 1));
                out.append('}');
            }
            word("\\listid", id);
            out.append('}');
        }
        out.append("}\r\n{\\*\\listoverridetable");
        for (qsizetype i = 0; i < lists.size(); ++i) {
            word("{\\listoverride\\listid", i + 1);
            word("\\listoverridecount0\\ls", i + 1);
            out.append('}');
        }
        out.append("}\r\n");
    }

    const QString title = document->metaInformation(QTextDocument::DocumentTitle);
    if (!title.isEmpty()) {
        out.append("{\\info{\\title ");
        writeText(title);
        out.append("}}\r\n");
    }
    const PageLayout page = PageLayout::fromDocument(document);
    word("\\paperw", page.paperWidth);
    word("\\paperh", page.paperHeight);
    word("\\margl", page.marginLeft);
    word("\\margr", page.marginRight);
    word("\\margt", page.marginTop);
    word("\\margb", page.marginBottom);
    if (decorations && decorations->facingPages())
        out.append("\\facingp");
    out.append("\\sectd");
    if (decorations)
        writeDecorations();
    out.append("\r\n");
}

void RtfWriter::Private::writeDecorations()
{
    // Section properties first, then one group per kind, before the body's first paragraph.
    if (decorations->titlePage())
        out.append("\\titlepg");
    word("\\headery", decorations->headerDistance());
    word("\\footery", decorations->footerDistance());
    for (const HeadersFooters::Kind kind : HeadersFooters::kKinds) {
        const QTextDocument *part = decorations->part(kind);
        if (!part)
            continue;
        out.append("\r\n{\\");
        out.append(HeadersFooters::controlWord(kind));
        out.append("\r\n");
        resources = part;
        writeFrame(part->rootFrame(), 0);
        resources = document;
        out.append('}');
    }
}

void RtfWriter::Private::writeFrame(const QTextFrame *frame, int depth)
{
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (const QTextFrame *child = it.currentFrame()) {
            if (const auto *table = qobject_cast<const QTextTable *>(child))
                writeTable(table, depth + 1);
            else
                writeFrame(child, depth);
        } else {
            writeBlock(it.currentBlock(), depth, "\\par");
        }
    }
}

void RtfWriter::Private::writeRowDefinition(const QTextTable *table, int row, const QList<int> &rights)
{
    const QTextTableFormat format = table->format();
    word("\\trowd\\trgaph", qMax(0, twips(format.cellPadding())));
    out.append("\\trleft0");
    const bool borders = format.border() > 0;
    for (int column = 0; column < table->columns(); ++column) {
        const QTextTableCell cell = table->cellAt(row, column);
        if (cell.row() != row)
            out.append("\\clvmrg");
        else if (cell.rowSpan() > 1)
            out.append("\\clvmgf");
        if (cell.column() != column)
            out.append("\\clmrg");
        else if (cell.columnSpan() > 1)
            out.append("\\clmgf");
        const QBrush shade = cell.format().background();
        if (shade.style() != Qt::NoBrush)
            word("\\clcbpat", colorIndex(shade.color()));
        if (borders)
            out.append(
                "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10");
        word("\\cellx", rights.value(column));
    }
}

void RtfWriter::Private::writeTable(const QTextTable *table, int depth)
{
    const int columns = table->columns();
    const QTextTableFormat format = table->format();
    const QList<QTextLength> constraints = format.columnWidthConstraints();
    const int available = textWidthTwips();
    QList<int> widths(columns, 0);
    int fixed = 0;
    int open = 0;
    for (int column = 0; column < columns; ++column) {
        const QTextLength length = constraints.value(column);
        if (length.type() == QTextLength::FixedLength)
            widths[column] = twips(length.rawValue());
        else if (length.type() == QTextLength::PercentageLength)
            widths[column] = int(available * length.rawValue() / 100.0);
        if (widths[column] > 0)
            fixed += widths[column];
        else
            ++open;
    }
    for (int column = 0; column < columns; ++column) {
        if (widths[column] <= 0)
            widths[column] = qMax(360, (available - fixed) / qMax(1, open));
    }
    QList<int> rights;
    int right = 0;
    for (int width : std::as_const(widths)) {
        right += width;
        rights << right;
    }

    for (int row = 0; row < table->rows(); ++row) {
        if (depth == 1) {
            writeRowDefinition(table, row, rights);
            out.append("\r\n");
        }
        for (int column = 0; column < columns; ++column) {
            const QTextTableCell cell = table->cellAt(row, column);
            const char *ending = depth == 1 ? "\\cell" : "\\nestcell";
            if (cell.row() != row || cell.column() != column) {
                // Covered by a merged cell: an empty cell keeps the row's shape.
                out.append("\\pard\\plain\\intbl");
                word("\\itap", depth);
                out.append(ending);
                out.append("\r\n");
                continue;
            }
            // The cell's paragraphs; a nested table is written in place.
            QList<QTextBlock> blocks;
            for (auto it = cell.begin(); !it.atEnd(); ++it) {
                if (const QTextFrame *child = it.currentFrame()) {
                    if (const auto *nested = qobject_cast<const QTextTable *>(child))
                        writeTable(nested, depth + 1);
                } else {
                    QTextBlock block = it.currentBlock();
                    QTextFrame::iterator next = it;
                    ++next;
                    writeBlock(block, depth, next.atEnd() ? ending : "\\par");
                }
            }
        }
        if (depth == 1) {
            writeRowDefinition(table, row, rights);
            out.append("\\row\r\n");
        } else {
            out.append("{\\*\\nesttableprops");
            writeRowDefinition(table, row, rights);
            out.append("\\nestrow}{\\nonesttables\\par}\r\n");
        }
    }
}

void RtfWriter::Private::writeCharProps(const QTextCharFormat &format)
{
    word("\\f", fontIndex(format));
    double size = format.fontPointSize();
    if (size <= 0)
        size = document->defaultFont().pointSizeF();
    if (size <= 0)
        size = 12;
    word("\\fs", qRound(size * 2));
    if (format.fontWeight() >= QFont::DemiBold)
        out.append("\\b");
    if (format.fontItalic())
        out.append("\\i");
    switch (format.underlineStyle()) {
    case QTextCharFormat::NoUnderline:
    case QTextCharFormat::SpellCheckUnderline:
        if (format.fontUnderline())
            out.append("\\ul");
        break;
    case QTextCharFormat::DashUnderline:
        out.append("\\uldash");
        break;
    case QTextCharFormat::DotLine:
        out.append("\\uld");
        break;
    case QTextCharFormat::DashDotLine:
        out.append("\\uldashd");
        break;
    case QTextCharFormat::DashDotDotLine:
        out.append("\\uldashdd");
        break;
    case QTextCharFormat::WaveUnderline:
        out.append("\\ulwave");
        break;
    default:
        out.append("\\ul");
        break;
    }
    if (format.fontStrikeOut())
        out.append("\\strike");
    if (format.hasProperty(QTextFormat::FontCapitalization)) {
        if (format.fontCapitalization() == QFont::AllUppercase)
            out.append("\\caps");
        else if (format.fontCapitalization() == QFont::SmallCaps)
            out.append("\\scaps");
    }
    if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        out.append("\\super");
    else if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
        out.append("\\sub");
    const QBrush foreground = format.foreground();
    if (foreground.style() != Qt::NoBrush)
        word("\\cf", colorIndex(foreground.color()));
    const QBrush background = format.background();
    if (background.style() != Qt::NoBrush)
        word("\\highlight", colorIndex(background.color()));
    out.append(' ');
}

void RtfWriter::Private::writeImage(const QTextImageFormat &format)
{
    const int widthTwips = twips(format.width());
    const int heightTwips = twips(format.height());
    if (format.hasProperty(RichText::OriginalPictureData)) {
        // A picture that Qt cannot draw goes back as it came.
        const QByteArray kind = format.property(RichText::OriginalPictureKind).toByteArray();
        const bool blip = kind == "pngblip" || kind == "jpegblip";
        out.append(blip ? "{\\*\\shppict{\\pict\\" : "{\\pict\\");
        out.append(kind);
        word("\\picw", format.intProperty(RichText::OriginalPictureWidth));
        word("\\pich", format.intProperty(RichText::OriginalPictureHeight));
        if (widthTwips > 0)
            word("\\picwgoal", widthTwips);
        if (heightTwips > 0)
            word("\\pichgoal", heightTwips);
        writeHex(format.property(RichText::OriginalPictureData).toByteArray());
        out.append(blip ? "}}" : "}");
        return;
    }
    const QVariant resource = resources->resource(QTextDocument::ImageResource, QUrl(format.name()));
    QImage image;
    if (resource.typeId() == QMetaType::QImage)
        image = resource.value<QImage>();
    else if (resource.typeId() == QMetaType::QPixmap)
        image = resource.value<QPixmap>().toImage();
    else if (resource.typeId() == QMetaType::QByteArray)
        image = QImage::fromData(resource.toByteArray());
    if (image.isNull())
        return;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    out.append("{\\*\\shppict{\\pict\\pngblip");
    word("\\picw", image.width());
    word("\\pich", image.height());
    word("\\picwgoal", widthTwips > 0 ? widthTwips : image.width() * 15);
    word("\\pichgoal", heightTwips > 0 ? heightTwips : image.height() * 15);
    writeHex(png);
    out.append("}}");
}

void RtfWriter::Private::writeBlock(const QTextBlock &block, int depth, const char *ending)
{
    const QTextBlockFormat format = block.blockFormat();
    out.append("\\pard\\plain");
    if (depth > 0) {
        out.append("\\intbl");
        word("\\itap", depth);
    }
    const Qt::Alignment align = format.alignment() & Qt::AlignHorizontal_Mask;
    if (align & Qt::AlignJustify)
        out.append("\\qj");
    else if (align & Qt::AlignHCenter)
        out.append("\\qc");
    else if (align & (Qt::AlignRight | Qt::AlignTrailing))
        out.append("\\qr");
    else
        out.append("\\ql");

    const QTextList *list = block.textList();
    if (list) {
        const int indent = qMax(1, list->format().indent());
        word("\\fi", -360);
        word("\\li", twips(format.leftMargin() + document->indentWidth() * indent));
    } else {
        if (format.textIndent() != 0)
            word("\\fi", twips(format.textIndent()));
        if (format.leftMargin() != 0)
            word("\\li", twips(format.leftMargin()));
    }
    if (format.rightMargin() != 0)
        word("\\ri", twips(format.rightMargin()));
    if (format.topMargin() != 0)
        word("\\sb", twips(format.topMargin()));
    if (format.bottomMargin() != 0)
        word("\\sa", twips(format.bottomMargin()));
    switch (format.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        word("\\sl", qRound(format.lineHeight() * 240 / 100));
        out.append("\\slmult1");
        break;
    case QTextBlockFormat::MinimumHeight:
        word("\\sl", twips(format.lineHeight()));
        out.append("\\slmult0");
        break;
    case QTextBlockFormat::FixedHeight:
        word("\\sl", -twips(format.lineHeight()));
        out.append("\\slmult0");
        break;
    default:
        break;
    }
    const QList<QTextOption::Tab> tabs = format.tabPositions();
    for (const QTextOption::Tab &tab : tabs) {
        if (tab.type == QTextOption::RightTab)
            out.append("\\tqr");
        else if (tab.type == QTextOption::CenterTab)
            out.append("\\tqc");
        else if (tab.type == QTextOption::DelimiterTab)
            out.append("\\tqdec");
        word("\\tx", twips(tab.position));
    }
    if (format.nonBreakableLines())
        out.append("\\keep");
    if (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
        out.append("\\pagebb");
    if (list) {
        word("\\ls", listIndexes.value(list));
        word("\\ilvl", qBound(0, list->format().indent() - 1, 8));
    }
    writeCharProps(block.charFormat());
    if (list) {
        // The marker as text, for readers that do not know list tables.
        out.append("{\\listtext\\pard\\plain ");
        QString marker = list->itemText(block);
        if (marker.isEmpty()) {
            switch (list->format().style()) {
            case QTextListFormat::ListCircle:
                marker = u"o"_s;
                break;
            case QTextListFormat::ListSquare:
                marker = u"\u25AA"_s;
                break;
            default:
                marker = u"\u2022"_s;
                break;
            }
        }
        writeText(marker);
        out.append("\\tab}");
    }

    // A hyperlink, or a page field of a header, spans the fragments that carry it.
    QString openLink;
    QString openField;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat format = fragment.charFormat();
        const QString href = format.isAnchor() ? format.anchorHref() : QString();
        const QString instruction = href.isEmpty() ? format.stringProperty(RichText::FieldInstruction) : QString();
        if (href != openLink || instruction != openField) {
            if (!openLink.isEmpty() || !openField.isEmpty())
                out.append("}}}");
            if (!instruction.isEmpty()) {
                out.append("{\\field{\\*\\fldinst{");
                writeText(instruction);
                out.append("}}{\\fldrslt{");
            } else if (!href.isEmpty()) {
                out.append("{\\field{\\*\\fldinst{HYPERLINK \"");
                QString target = href;
                QString bookmark;
                const qsizetype hash = href.indexOf(u'#');
                if (hash > 0) {
                    target = href.left(hash);
                    bookmark = href.mid(hash + 1);
                }
                writeText(target.replace(u'"', u"%22"_s));
                out.append('"');
                if (!bookmark.isEmpty()) {
                    out.append(" \\\\l \"");
                    writeText(bookmark.replace(u'"', u"%22"_s));
                    out.append('"');
                }
                out.append("}}{\\fldrslt{");
            }
            openLink = href;
            openField = instruction;
        }
        if (format.isImageFormat()) {
            const QString text = fragment.text();
            for (qsizetype i = 0; i < text.size(); ++i)
                writeImage(format.toImageFormat());
            continue;
        }
        out.append("{\\plain");
        writeCharProps(format);
        writeText(fragment.text());
        out.append('}');
    }
    if (!openLink.isEmpty() || !openField.isEmpty())
        out.append("}}}");
    out.append(ending);
    out.append("\r\n");
}
