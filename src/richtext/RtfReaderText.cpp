#include "richtext/RtfReaderPrivate.h"

#include "richtext/RichTextProperties.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

using namespace Qt::StringLiterals;
using namespace RtfReading;

namespace {

QTextListFormat::Style styleForNfc(int nfc)
{
    switch (nfc) {
    case 0:
        return QTextListFormat::ListDecimal;
    case 1:
        return QTextListFormat::ListUpperRoman;
    case 2:
        return QTextListFormat::ListLowerRoman;
    case 3:
        return QTextListFormat::ListUpperAlpha;
    case 4:
        return QTextListFormat::ListLowerAlpha;
    default:
        return QTextListFormat::ListStyleUndefined;
    }
}

QTextListFormat::Style bulletStyle(QChar bullet)
{
    switch (bullet.unicode()) {
    case u'o':
    case 0x25CB:
    case 0x25E6:
        return QTextListFormat::ListCircle;
    case 0xF0A7:
    case 0x25AA:
    case 0x25A0:
    case 0xF06E:
        return QTextListFormat::ListSquare;
    default:
        return QTextListFormat::ListDisc;
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------
// text

CodePage *RtfReader::Private::codePage(int number)
{
    auto it = codePages.find(number);
    if (it == codePages.end())
        it = codePages.emplace(number, std::make_unique<CodePage>(number)).first;
    return it->second.get();
}

CodePage *RtfReader::Private::currentCodePage()
{
    int number = documentCodePage;
    if (state.dest == Dest::FontTable) {
        const auto it = fonts.constFind(currentFont);
        if (it != fonts.constEnd() && it->codePage)
            number = it->codePage;
    } else if (state.chr.font >= 0) {
        const auto it = fonts.constFind(state.chr.font);
        if (it != fonts.constEnd() && it->codePage) {
            number = it->codePage;
            // A Western font in a document of another code page: Word means the document's.
            if (number == 1252 && documentCodePage != 1252 && documentCodePage != 10000 && documentCodePage != 437 &&
                documentCodePage != 850)
                number = documentCodePage;
        }
    }
    return codePage(number);
}

void RtfReader::Private::flushPendingBytes()
{
    if (pendingBytes.isEmpty())
        return;
    QString text;
    pendingCodePage->decodeAppend(pendingBytes.constData(), pendingBytes.size(), text);
    pendingBytes.clear();
    emitText(text);
}

void RtfReader::Private::onText(const char *data, qsizetype size)
{
    state.fresh = false;
    switch (state.dest) {
    case Dest::Pict:
        pictureData(data, size, false);
        return;
    case Dest::Container:
    case Dest::Info:
    case Dest::ListTable:
    case Dest::List:
    case Dest::ListLevel:
    case Dest::ListOverrideTable:
    case Dest::ListOverride:
    case Dest::Pn:
    case Dest::Upr:
    case Dest::UprChild:
    case Dest::NestTableProps:
        return;
    case Dest::ColorTable:
        for (qsizetype i = 0; i < size; ++i) {
            if (data[i] == ';' && colors.size() < limits.maxTableEntries) {
                colors << ((red < 0 && green < 0 && blue < 0) ? QColor()
                                                              : QColor(qMax(red, 0), qMax(green, 0), qMax(blue, 0)));
                red = green = blue = -1;
            }
        }
        return;
    default:
        break;
    }
    CodePage *page = currentCodePage();
    if (page->isMultiByte()) {
        if (!pendingBytes.isEmpty() && pendingCodePage != page)
            flushPendingBytes();
        pendingCodePage = page;
        pendingBytes.append(data, size);
        return;
    }
    if (state.dest == Dest::Body && !pendingHighSurrogate) {
        // The common case: decode straight into the run.
        bool plain = true;
        for (qsizetype i = 0; i < size; ++i) {
            const uchar b = uchar(data[i]);
            if (b < 0x20 || b >= 0x80) {
                plain = false;
                break;
            }
        }
        if (plain) {
            if (state.chr.hidden || stop)
                return;
            ensureParagraph();
            if (runProps != state.chr && !runText.isEmpty())
                flushRun();
            runProps = state.chr;
            runText.append(QLatin1StringView(data, size));
            outputCharacters += size;
            if (outputCharacters > limits.maxOutputCharacters)
                fail(u"Ce document RTF contient trop de texte (plus de %1 caractères)."_s.arg(
                    limits.maxOutputCharacters));
            return;
        }
    }
    QString text;
    page->decodeAppend(data, size, text);
    emitText(text);
}

void RtfReader::Private::emitUnicode(qint32 value)
{
    flushPendingBytes();
    const char16_t unit = char16_t(value < 0 ? value + 65536 : value & 0xFFFF);
    if (QChar::isHighSurrogate(unit)) {
        if (pendingHighSurrogate)
            emitText(u"\uFFFD"); // the earlier half had no partner
        pendingHighSurrogate = unit;
        return;
    }
    if (QChar::isLowSurrogate(unit)) {
        if (pendingHighSurrogate) {
            const char16_t pair[2] = {pendingHighSurrogate, unit};
            pendingHighSurrogate = 0;
            emitText(QStringView(pair, 2));
        } else {
            emitText(u"\uFFFD");
        }
        return;
    }
    emitText(QStringView(&unit, 1));
}

void RtfReader::Private::emitText(QStringView text)
{
    if (pendingHighSurrogate && !(text.size() == 2 && text.at(0).isHighSurrogate())) {
        pendingHighSurrogate = 0;
        emitText(u"\uFFFD");
    }
    switch (state.dest) {
    case Dest::Body:
        bodyText(text);
        break;
    case Dest::FontTable:
        if (currentFont >= 0 && fonts.contains(currentFont)) {
            FontEntry &font = fonts[currentFont];
            for (QChar c : text) {
                if (c == u';')
                    currentFont = -1;
                else if (font.name.size() < 256)
                    font.name += c;
            }
        }
        break;
    case Dest::Title:
        if (title.size() < 4096)
            title += text;
        break;
    case Dest::FldInst:
        if (!fields.empty() && fields.back().instruction.size() < 8192)
            fields.back().instruction += text;
        break;
    case Dest::ListText:
        if (listText.size() < 256)
            listText += text;
        break;
    case Dest::LevelText:
        if (currentLevel.text.size() < 256)
            currentLevel.text += text;
        break;
    case Dest::PnTextBefore:
        if (pnBefore.size() < 64)
            pnBefore += text;
        break;
    case Dest::PnTextAfter:
        if (pnAfter.size() < 64)
            pnAfter += text;
        break;
    default:
        break;
    }
}

void RtfReader::Private::bodyText(QStringView text)
{
    if (state.chr.hidden || text.isEmpty() || stop)
        return;
    ensureParagraph();
    if (runProps != state.chr && !runText.isEmpty())
        flushRun();
    runProps = state.chr;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20) {
            if (u == u'\t')
                runText += c;
            continue; // control characters have no place in a paragraph
        }
        switch (u) {
        case 0x2029: // would split the paragraph behind our back
            runText += QChar(0x2028);
            break;
        case 0xFFFC: // would pass for a picture
        case 0xFDD0: // would pass for a table or frame boundary
        case 0xFDD1:
            runText += QChar(0xFFFD);
            break;
        default:
            runText += c;
        }
    }
    outputCharacters += text.size();
    if (outputCharacters > limits.maxOutputCharacters)
        fail(u"Ce document RTF contient trop de texte (plus de %1 caractères)."_s.arg(limits.maxOutputCharacters));
}

// ---------------------------------------------------------------------------------------------
// paragraphs

QColor RtfReader::Private::colorAt(int index) const
{
    if (index <= 0 || index >= colors.size())
        return {};
    return colors.at(index);
}

QTextCharFormat RtfReader::Private::charFormat(const CharProps &props) const
{
    QTextCharFormat format;
    const auto font = fonts.constFind(props.font);
    if (font != fonts.constEnd() && !font->name.trimmed().isEmpty())
        format.setFontFamilies({font->name.trimmed()});
    format.setFontPointSize(props.fontSize / 2.0);
    if (props.bold)
        format.setFontWeight(QFont::Bold);
    if (props.italic)
        format.setFontItalic(true);
    if (props.underline)
        format.setUnderlineStyle(QTextCharFormat::UnderlineStyle(props.underline));
    if (props.strike)
        format.setFontStrikeOut(true);
    if (props.caps)
        format.setFontCapitalization(QFont::AllUppercase);
    else if (props.smallCaps)
        format.setFontCapitalization(QFont::SmallCaps);
    if (props.vertical == 1)
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (props.vertical == 2)
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    const QColor foreground = colorAt(props.color);
    if (foreground.isValid())
        format.setForeground(foreground);
    QColor background = colorAt(props.highlight);
    if (!background.isValid())
        background = colorAt(props.background);
    if (background.isValid())
        format.setBackground(background);
    if (props.link > 0 && props.link <= links.size()) {
        format.setAnchor(true);
        format.setAnchorHref(links.at(props.link - 1));
    }
    if (props.field > 0 && props.field <= pageFields.size())
        format.setProperty(RichText::FieldInstruction, pageFields.at(props.field - 1));
    return format;
}

void RtfReader::Private::flushRun()
{
    if (runText.isEmpty())
        return;
    cursor.insertText(runText, charFormat(runProps));
    runText.clear();
    blockHasContent = true;
}

void RtfReader::Private::ensureParagraph()
{
    if (stop)
        return;
    syncTables(state.para.tableDepth());
    if (!tables.empty())
        enterCell();
    if (pendingBreak) {
        flushRun();
        cursor.insertBlock();
        pendingBreak = false;
        blockHasContent = false;
    }
    if (!listText.isEmpty())
        insertPendingListText();
}

bool RtfReader::Private::isNativeList(const ParaProps &para, QTextListFormat *format) const
{
    if (para.pn.kind == 1 || (para.pn.kind == 2 && para.pn.style != 0)) {
        if (format) {
            if (para.pn.kind == 1) {
                const QChar bullet = pnBefore.isEmpty() ? QChar(0x2022) : pnBefore.at(0);
                format->setStyle(bulletStyle(bullet));
            } else {
                format->setStyle(QTextListFormat::Style(para.pn.style));
                format->setNumberPrefix(pnBefore);
                format->setNumberSuffix(pnAfter);
            }
            format->setIndent(para.pn.level + 1);
        }
        return true;
    }
    if (para.ls <= 0)
        return false;
    const auto override = listOverrides.constFind(para.ls);
    if (override == listOverrides.constEnd())
        return false;
    const auto def = listDefs.constFind(*override);
    if (def == listDefs.constEnd() || para.ilvl >= int(def->levels.size()))
        return false;
    const ListLevelDef &level = def->levels.at(size_t(para.ilvl));
    // The level text: its length, then characters, with the level numbers as codes 0 to 8.
    QString text = level.text;
    if (!text.isEmpty()) {
        const int length = text.at(0).unicode();
        text = text.mid(1, length);
    }
    int placeholders = 0;
    qsizetype placeholderAt = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).unicode() < 9) {
            ++placeholders;
            placeholderAt = i;
        }
    }
    if (level.nfc == 23) {
        if (placeholders > 0)
            return false;
        if (format) {
            format->setStyle(bulletStyle(text.isEmpty() ? QChar(0x2022) : text.at(0)));
            format->setIndent(para.ilvl + 1);
        }
        return true;
    }
    const QTextListFormat::Style style = styleForNfc(level.nfc);
    if (style == QTextListFormat::ListStyleUndefined || placeholders != 1)
        return false; // "1.2.3" and other forms that a QTextList cannot draw: the marker text stays
    if (format) {
        format->setStyle(style);
        format->setNumberPrefix(text.left(placeholderAt));
        format->setNumberSuffix(text.mid(placeholderAt + 1));
        format->setIndent(para.ilvl + 1);
    }
    return true;
}

void RtfReader::Private::insertPendingListText()
{
    const QString marker = listText;
    listText.clear();
    if (isNativeList(state.para, nullptr))
        return;
    // No list we can rebuild: the marker stays as text, as older readers show it.
    if (runProps != listTextProps && !runText.isEmpty())
        flushRun();
    runProps = listTextProps;
    for (QChar c : marker) {
        if (c.unicode() >= 0x20 || c == u'\t')
            runText += c;
    }
}

void RtfReader::Private::applyBlockFormat()
{
    const ParaProps &para = state.para;
    QTextBlockFormat format;
    switch (para.align) {
    case 1:
        format.setAlignment(Qt::AlignHCenter);
        break;
    case 2:
        format.setAlignment(Qt::AlignRight);
        break;
    case 3:
        format.setAlignment(Qt::AlignJustify);
        break;
    default:
        format.setAlignment(Qt::AlignLeft);
        break;
    }
    QTextListFormat listFormat;
    const bool listed = isNativeList(para, &listFormat);
    if (listed) {
        // The list draws its marker in its own indent; the paragraph keeps what lies beyond.
        const double listIndent = document->indentWidth() * listFormat.indent();
        format.setLeftMargin(qMax(0.0, RichText::twipsToPixels(para.leftIndent) - listIndent));
    } else {
        format.setLeftMargin(RichText::twipsToPixels(para.leftIndent));
        format.setTextIndent(RichText::twipsToPixels(para.firstIndent));
    }
    format.setRightMargin(RichText::twipsToPixels(para.rightIndent));
    format.setTopMargin(RichText::twipsToPixels(para.spaceBefore));
    format.setBottomMargin(RichText::twipsToPixels(para.spaceAfter));
    if (para.lineSpacing > 0 && para.lineMultiple)
        format.setLineHeight(para.lineSpacing * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
    else if (para.lineSpacing > 0)
        format.setLineHeight(RichText::twipsToPixels(para.lineSpacing), QTextBlockFormat::MinimumHeight);
    else if (para.lineSpacing < 0)
        format.setLineHeight(RichText::twipsToPixels(-double(para.lineSpacing)), QTextBlockFormat::FixedHeight);
    if (!para.tabs.isEmpty())
        format.setTabPositions(para.tabs);
    if (para.keep)
        format.setNonBreakableLines(true);
    if (para.pageBreakBefore || pageBreakForBlock)
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    pageBreakForBlock = false;
    cursor.setBlockFormat(format);
    if (!blockHasContent)
        cursor.setBlockCharFormat(charFormat(state.chr));

    if (listed) {
        QTextBlock block = cursor.block();
        if (para.pn.kind != 0) {
            if (pnList && pnListProps.kind == para.pn.kind && pnListProps.style == para.pn.style &&
                pnListProps.level == para.pn.level) {
                pnList->add(block);
            } else {
                pnList = cursor.createList(listFormat);
                pnListProps = para.pn;
            }
        } else {
            const qint64 key = (qint64(para.ls) << 4) | para.ilvl;
            QTextList *list = lists.value(key);
            if (list) {
                list->add(block);
            } else {
                list = cursor.createList(listFormat);
                lists.insert(key, list);
            }
            pnList = nullptr;
        }
    } else if (para.pn.kind != 3) {
        pnList = nullptr;
    }
}

void RtfReader::Private::endParagraph()
{
    if (stop)
        return;
    if (!listText.isEmpty())
        insertPendingListText();
    flushRun();
    applyBlockFormat();
    pendingBreak = true;
    blockHasContent = false;
}
