#include "richtext/RtfReaderPrivate.h"

#include "richtext/RichTextProperties.h"

#include <QLocale>

using namespace RtfReading;

// ---------------------------------------------------------------------------------------------
// control words

void RtfReader::Private::onWord(const RtfTokenizer::Token &token)
{
    const bool first = state.fresh;
    state.fresh = false;
    Kw kw = Kw::Unknown;
    if (!token.nameTooLong) {
        const auto &map = keywords();
        const auto it = map.find(std::string_view(token.data, size_t(token.size)));
        if (it != map.end())
            kw = it->second;
    }
    const bool has = token.hasParameter;
    const qint32 p = token.parameter;

    if (state.dest == Dest::UprChild && kw != Kw::Ud) {
        skipCurrentGroup(); // the ANSI copy of an \upr pair
        return;
    }
    if (state.dest == Dest::Info && first && kw != Kw::Title) {
        skipCurrentGroup(); // author, dates, company... are not kept
        return;
    }

    if (kw >= Kw::FontTable && kw <= Kw::Skip) {
        // A header word amid other words opens nothing: taking the rest of its group for a header
        // would take the letter's text with it.
        if (kw >= Kw::Header && kw <= Kw::FooterF && !first)
            return;
        startDestination(kw);
        return;
    }
    if (kw == Kw::Unknown) {
        if (first && state.ignorable)
            skipCurrentGroup();
        return;
    }

    switch (state.dest) {
    case Dest::FontTable:
        if (kw == Kw::F) {
            if (fonts.size() < limits.maxTableEntries || fonts.contains(p)) {
                currentFont = p;
                fonts[p] = FontEntry();
            } else {
                currentFont = -1;
            }
        } else if (kw == Kw::FCharset && currentFont >= 0 && fonts.contains(currentFont)) {
            fonts[currentFont].codePage = CodePage::fromCharset(p);
        } else if (kw == Kw::Cpg && currentFont >= 0 && fonts.contains(currentFont) && p > 0) {
            if (fonts[currentFont].codePage == 0)
                fonts[currentFont].codePage = p;
        } else if (kw == Kw::U) {
            emitUnicode(p);
            skipCount = state.uc;
        }
        return;
    case Dest::ColorTable:
        if (kw == Kw::Red)
            red = qBound(0, p, 255);
        else if (kw == Kw::Green)
            green = qBound(0, p, 255);
        else if (kw == Kw::Blue)
            blue = qBound(0, p, 255);
        return;
    case Dest::ListLevel:
        if (kw == Kw::LevelNfc)
            currentLevel.nfc = p;
        else if (kw == Kw::LevelStartAt)
            currentLevel.startAt = p;
        else if (kw == Kw::Li)
            currentLevel.leftIndent = p;
        else if (kw == Kw::Fi)
            currentLevel.firstIndent = p;
        return;
    case Dest::List:
        if (kw == Kw::ListId)
            currentListId = p;
        return;
    case Dest::ListOverride:
        if (kw == Kw::ListId)
            overrideListId = p;
        else if (kw == Kw::Ls)
            overrideLs = p;
        return;
    case Dest::ListTable:
    case Dest::ListOverrideTable:
        return;
    case Dest::Pn:
        switch (kw) {
        case Kw::PnLvlBlt:
            state.para.pn.kind = 1;
            break;
        case Kw::PnLvlBody:
            state.para.pn.kind = 2;
            break;
        case Kw::PnLvlCont:
            state.para.pn.kind = 3;
            break;
        case Kw::PnLvl:
            state.para.pn.kind = 2;
            state.para.pn.level = qBound(0, p - 1, 8);
            break;
        case Kw::PnDec:
            state.para.pn.style = qint8(QTextListFormat::ListDecimal);
            break;
        case Kw::PnUcRm:
            state.para.pn.style = qint8(QTextListFormat::ListUpperRoman);
            break;
        case Kw::PnLcRm:
            state.para.pn.style = qint8(QTextListFormat::ListLowerRoman);
            break;
        case Kw::PnUcLtr:
            state.para.pn.style = qint8(QTextListFormat::ListUpperAlpha);
            break;
        case Kw::PnLcLtr:
            state.para.pn.style = qint8(QTextListFormat::ListLowerAlpha);
            break;
        default:
            break;
        }
        return;
    case Dest::Pict:
        switch (kw) {
        case Kw::PngBlip:
            picture.kind = "pngblip";
            break;
        case Kw::JpegBlip:
            picture.kind = "jpegblip";
            break;
        case Kw::EmfBlip:
            picture.kind = "emfblip";
            break;
        case Kw::Wmetafile:
            picture.kind = "wmetafile";
            picture.kindParameter = has ? p : 8;
            break;
        case Kw::Dibitmap:
            picture.kind = "dibitmap";
            picture.kindParameter = has ? p : 0;
            break;
        case Kw::Wbitmap:
            picture.kind = "wbitmap";
            picture.kindParameter = has ? p : 0;
            break;
        case Kw::Macpict:
            picture.kind = "macpict";
            break;
        case Kw::PicW:
            picture.picW = p;
            break;
        case Kw::PicH:
            picture.picH = p;
            break;
        case Kw::PicWGoal:
            picture.goalW = p;
            break;
        case Kw::PicHGoal:
            picture.goalH = p;
            break;
        case Kw::PicScaleX:
            picture.scaleX = p;
            break;
        case Kw::PicScaleY:
            picture.scaleY = p;
            break;
        default:
            break;
        }
        return;
    default:
        break;
    }

    const bool body = state.dest == Dest::Body;
    const bool textual = body || state.dest == Dest::ListText || state.dest == Dest::Title ||
                         state.dest == Dest::LevelText || state.dest == Dest::PnTextBefore ||
                         state.dest == Dest::PnTextAfter || state.dest == Dest::FldInst;
    CharProps &c = state.chr;
    ParaProps &para = state.para;
    switch (kw) {
    // document
    case Kw::Rtf:
        break;
    case Kw::Ansi:
        documentCodePage = 1252;
        break;
    case Kw::Mac:
        documentCodePage = 10000;
        break;
    case Kw::Pc:
        documentCodePage = 437;
        break;
    case Kw::Pca:
        documentCodePage = 850;
        break;
    case Kw::AnsiCpg:
        if (p > 0)
            documentCodePage = p;
        break;
    case Kw::Deff:
        defaultFont = p;
        if (stack.size() <= 1)
            c.font = p;
        break;
    case Kw::PaperW:
        if (p > 0) {
            page.paperWidth = p;
            pageSeen = true;
        }
        break;
    case Kw::PaperH:
        if (p > 0) {
            page.paperHeight = p;
            pageSeen = true;
        }
        break;
    case Kw::MargL:
        if (p >= 0) {
            page.marginLeft = p;
            pageSeen = true;
        }
        break;
    case Kw::MargR:
        if (p >= 0) {
            page.marginRight = p;
            pageSeen = true;
        }
        break;
    case Kw::MargT:
        if (p >= 0) {
            page.marginTop = p;
            pageSeen = true;
        }
        break;
    case Kw::MargB:
        if (p >= 0) {
            page.marginBottom = p;
            pageSeen = true;
        }
        break;
    // Only the first section's page counts: QTextDocument has one page style.
    case Kw::PgWsxn:
        if (p > 0 && !sectionPageSeen) {
            page.paperWidth = p;
            pageSeen = true;
        }
        break;
    case Kw::PgHsxn:
        if (p > 0 && !sectionPageSeen) {
            page.paperHeight = p;
            pageSeen = true;
        }
        break;
    case Kw::MargLsxn:
        if (p >= 0 && !sectionPageSeen)
            page.marginLeft = p;
        break;
    case Kw::MargRsxn:
        if (p >= 0 && !sectionPageSeen)
            page.marginRight = p;
        break;
    case Kw::MargTsxn:
        if (p >= 0 && !sectionPageSeen)
            page.marginTop = p;
        break;
    case Kw::MargBsxn:
        if (p >= 0 && !sectionPageSeen)
            page.marginBottom = p;
        break;

    // The first section's header and footer layout; the reader of a header has none of its own.
    case Kw::TitlePg:
        if (!sectionPageSeen && !insideDecoration)
            titlePage = !has || p != 0;
        break;
    case Kw::FacingP:
        if (!insideDecoration)
            facingPages = !has || p != 0;
        break;
    case Kw::HeaderY:
        if (has && p >= 0 && !sectionPageSeen && !insideDecoration)
            headerDistance = p;
        break;
    case Kw::FooterY:
        if (has && p >= 0 && !sectionPageSeen && !insideDecoration)
            footerDistance = p;
        break;

    // characters
    case Kw::Plain: {
        const int link = c.link;
        const int field = c.field;
        c = CharProps();
        c.font = defaultFont;
        c.link = link;
        c.field = field;
        break;
    }
    case Kw::F:
        c.font = p;
        break;
    case Kw::B:
        c.bold = !has || p != 0;
        break;
    case Kw::I:
        c.italic = !has || p != 0;
        break;
    case Kw::Ul:
        c.underline = (!has || p != 0) ? quint8(QTextCharFormat::SingleUnderline) : 0;
        break;
    case Kw::UlNone:
        c.underline = 0;
        break;
    case Kw::UlDotted:
        c.underline = (!has || p != 0) ? quint8(QTextCharFormat::DotLine) : 0;
        break;
    case Kw::UlDash:
        c.underline = (!has || p != 0) ? quint8(QTextCharFormat::DashUnderline) : 0;
        break;
    case Kw::UlWave:
        c.underline = (!has || p != 0) ? quint8(QTextCharFormat::WaveUnderline) : 0;
        break;
    case Kw::Strike:
        c.strike = !has || p != 0;
        break;
    case Kw::Caps:
        c.caps = !has || p != 0;
        break;
    case Kw::Scaps:
        c.smallCaps = !has || p != 0;
        break;
    case Kw::V:
        c.hidden = !has || p != 0;
        break;
    case Kw::Fs:
        c.fontSize = (has && p > 0) ? qMin(p, 3276) : 24;
        break;
    case Kw::Cf:
        c.color = p;
        break;
    case Kw::Highlight:
        c.highlight = p;
        break;
    case Kw::Cb:
        c.background = p;
        break;
    case Kw::ChCbPat:
        c.background = p;
        break;
    case Kw::Super:
        c.vertical = 1;
        break;
    case Kw::Sub:
        c.vertical = 2;
        break;
    case Kw::NoSuperSub:
        c.vertical = 0;
        break;
    case Kw::Up:
        c.vertical = (has && p == 0) ? 0 : 1;
        break;
    case Kw::Dn:
        c.vertical = (has && p == 0) ? 0 : 2;
        break;
    case Kw::Uc:
        state.uc = qBound(0, p, 16);
        break;
    case Kw::U:
        emitUnicode(p);
        skipCount = state.uc;
        break;

    // paragraphs
    case Kw::Pard: {
        para = ParaProps();
        break;
    }
    case Kw::Ql:
        para.align = 0;
        break;
    case Kw::Qc:
        para.align = 1;
        break;
    case Kw::Qr:
        para.align = 2;
        break;
    case Kw::Qj:
        para.align = 3;
        break;
    case Kw::Li:
        para.leftIndent = p;
        break;
    case Kw::Ri:
        para.rightIndent = p;
        break;
    case Kw::Fi:
        para.firstIndent = p;
        break;
    case Kw::Sb:
        para.spaceBefore = p;
        break;
    case Kw::Sa:
        para.spaceAfter = p;
        break;
    case Kw::Sl:
        para.lineSpacing = p;
        break;
    case Kw::SlMult:
        para.lineMultiple = !has || p != 0;
        break;
    case Kw::Tqr:
        para.nextTabType = quint8(QTextOption::RightTab);
        break;
    case Kw::Tqc:
        para.nextTabType = quint8(QTextOption::CenterTab);
        break;
    case Kw::Tqdec:
        para.nextTabType = quint8(QTextOption::DelimiterTab);
        break;
    case Kw::Tx:
    case Kw::Tb:
        if (para.tabs.size() < 64 && p >= 0) {
            QTextOption::Tab tab(RichText::twipsToPixels(p), QTextOption::TabType(para.nextTabType));
            if (tab.type == QTextOption::DelimiterTab)
                tab.delimiter = QLocale().decimalPoint().at(0);
            para.tabs.append(tab);
        }
        para.nextTabType = 0;
        break;
    case Kw::Keep:
        para.keep = !has || p != 0;
        break;
    case Kw::PageBb:
        para.pageBreakBefore = !has || p != 0;
        break;
    case Kw::Intbl:
        para.inTable = !has || p != 0;
        break;
    case Kw::Itap:
        para.itap = qBound(0, p, limits.maxNestedTables);
        break;
    case Kw::Ls:
        para.ls = p;
        break;
    case Kw::Ilvl:
        para.ilvl = qBound(0, p, 8);
        break;
    case Kw::Par:
        if (body) {
            ensureParagraph();
            endParagraph();
        }
        break;
    case Kw::Line:
        if (textual)
            emitCharacter(u'\u2028');
        break;
    case Kw::Tab:
        if (textual)
            emitCharacter(u'\t');
        break;
    case Kw::Page:
        if (body) {
            if (blockHasContent || !runText.isEmpty())
                endParagraph();
            pageBreakForBlock = true;
        }
        break;
    case Kw::Sect:
        if (body) {
            sectionPageSeen = true;
            if (blockHasContent || !runText.isEmpty())
                endParagraph();
        }
        break;
    case Kw::EmDash:
        if (textual)
            emitCharacter(u'\u2014');
        break;
    case Kw::EnDash:
        if (textual)
            emitCharacter(u'\u2013');
        break;
    case Kw::Bullet:
        if (textual)
            emitCharacter(u'\u2022');
        break;
    case Kw::LQuote:
        if (textual)
            emitCharacter(u'\u2018');
        break;
    case Kw::RQuote:
        if (textual)
            emitCharacter(u'\u2019');
        break;
    case Kw::LdblQuote:
        if (textual)
            emitCharacter(u'\u201C');
        break;
    case Kw::RdblQuote:
        if (textual)
            emitCharacter(u'\u201D');
        break;
    case Kw::EmSpace:
        if (textual)
            emitCharacter(u'\u2003');
        break;
    case Kw::EnSpace:
        if (textual)
            emitCharacter(u'\u2002');
        break;
    case Kw::QmSpace:
        if (textual)
            emitCharacter(u'\u2005');
        break;
    case Kw::NoBreakHyphen:
        if (textual)
            emitCharacter(u'\u2011');
        break;

    // tables
    case Kw::Trowd:
        rowDef = RowDef();
        nextCell = CellDef();
        borderSidePending = false;
        break;
    case Kw::Trleft:
        rowDef.left = p;
        break;
    case Kw::Trgaph:
        rowDef.gap = qMax(0, p);
        break;
    case Kw::Cellx:
        if (int(rowDef.cells.size()) < limits.maxCellsPerRow) {
            CellDef cell = nextCell;
            cell.right = p;
            rowDef.cells.push_back(cell);
        }
        nextCell = CellDef();
        break;
    case Kw::Clmgf:
        pendingCellDef().hMerge = 1;
        break;
    case Kw::Clmrg:
        pendingCellDef().hMerge = 2;
        break;
    case Kw::Clvmgf:
        pendingCellDef().vMerge = 1;
        break;
    case Kw::Clvmrg:
        pendingCellDef().vMerge = 2;
        break;
    case Kw::ClCbPat:
        pendingCellDef().background = p;
        break;
    case Kw::BorderSide:
        borderSidePending = true;
        break;
    case Kw::BorderStyle:
        if (borderSidePending)
            rowDef.borders = true;
        break;
    case Kw::Cell:
    case Kw::NestCell:
        if (body || state.dest == Dest::NestTableProps)
            endCell(qMax(kw == Kw::NestCell ? 2 : 1, para.tableDepth()));
        break;
    case Kw::Row:
    case Kw::NestRow:
        if (body || state.dest == Dest::NestTableProps)
            endRow(para.tableDepth() > 0 ? para.tableDepth() : int(tables.size()));
        break;
    default:
        break;
    }
}

void RtfReader::Private::onSymbol(char symbol)
{
    const bool first = state.fresh;
    switch (symbol) {
    case '*':
        state.ignorable = true;
        return; // the next word is still the group's first
    case '\\':
    case '{':
    case '}': {
        const char byte = symbol;
        onText(&byte, 1);
        break;
    }
    case '~':
        emitCharacter(u'\u00A0');
        break;
    case '-':
        emitCharacter(u'\u00AD');
        break;
    case '_':
        emitCharacter(u'\u2011');
        break;
    case '\t':
        emitCharacter(u'\t');
        break;
    case '\n':
        if (state.dest == Dest::Body) {
            ensureParagraph();
            endParagraph();
        }
        break;
    default:
        break;
    }
    Q_UNUSED(first);
    state.fresh = false;
}

void RtfReader::Private::onBinary(const RtfTokenizer::Token &token)
{
    state.fresh = false;
    if (state.dest == Dest::Pict)
        pictureData(token.data, token.size, true);
    // Binary data anywhere else is an embedded object's: never text.
}
