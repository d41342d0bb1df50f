#include "richtext/RtfReaderPrivate.h"

#include "core/Clock.h"
#include "richtext/HeadersFooters.h"

#include <QElapsedTimer>
#include <QTextDocument>

using namespace Qt::StringLiterals;
using namespace RtfReading;

namespace {

// The instruction of a HYPERLINK field to an address; empty for any other field.
QString hyperlinkTarget(const QString &instruction)
{
    const QString trimmed = instruction.trimmed();
    if (!trimmed.startsWith(u"HYPERLINK"_s, Qt::CaseInsensitive))
        return {};
    QStringList arguments;
    QString current;
    bool quoted = false;
    bool any = false;
    for (qsizetype i = 9; i < trimmed.size(); ++i) {
        const QChar c = trimmed.at(i);
        if (c == u'"') {
            quoted = !quoted;
            any = true;
        } else if (c.isSpace() && !quoted) {
            if (any)
                arguments << current;
            current.clear();
            any = false;
        } else {
            current += c;
            any = true;
        }
    }
    if (any)
        arguments << current;
    QString address;
    QString bookmark;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument.startsWith(u'\\') && argument.size() == 2) {
            const QChar option = argument.at(1).toLower();
            if (option == u'l' && i + 1 < arguments.size())
                bookmark = arguments.at(++i);
            else if ((option == u'o' || option == u't') && i + 1 < arguments.size())
                ++i;
        } else if (address.isEmpty()) {
            address = argument;
        }
    }
    if (!bookmark.isEmpty())
        address += u'#' + bookmark;
    return address;
}

} // namespace

RtfReader::RtfReader(QTextDocument *document) : d(std::make_unique<Private>(document)) {}

RtfReader::~RtfReader() = default;

void RtfReader::setLimits(const Limits &limits)
{
    d->limits = limits;
}

RtfReader::Result RtfReader::read(QByteArrayView input)
{
    return d->run(input);
}

void RtfReader::Private::fail(const QString &message)
{
    if (result.ok) {
        result.ok = false;
        result.error = message;
    }
    stop = true;
}

RtfReader::Result RtfReader::Private::run(QByteArrayView bytes)
{
    result = {};
    document->clear();
    // The headers and footers of what the document held before go with it.
    HeadersFooters::detach(document);
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    cursor = QTextCursor(document);
    cursor.beginEditBlock();
    clock.start();

    if (bytes.size() > limits.maxInputBytes) {
        fail(u"Ce fichier est trop volumineux pour être ouvert (plus de %1 Mo)."_s.arg(limits.maxInputBytes /
                                                                                       (1024 * 1024)));
    } else {
        qsizetype start = 0;
        if (bytes.startsWith("\xEF\xBB\xBF"))
            start = 3;
        while (start < bytes.size() &&
               (bytes[start] == ' ' || bytes[start] == '\t' || bytes[start] == '\r' || bytes[start] == '\n'))
            ++start;
        if (!bytes.sliced(start).startsWith("{\\rtf") && !bytes.sliced(start).startsWith("{\\urtf"))
            fail(u"Ce fichier n'est pas un document RTF."_s);
        else
            parse(bytes.sliced(start));
    }
    finish();

    if (pageSeen || sectionPageSeen)
        page.storeOn(document);
    if (!title.isEmpty())
        document->setMetaInformation(QTextDocument::DocumentTitle, title.trimmed());
    if (decorations) {
        decorations->setTitlePage(titlePage);
        decorations->setFacingPages(facingPages);
        if (headerDistance >= 0)
            decorations->setHeaderDistance(headerDistance);
        if (footerDistance >= 0)
            decorations->setFooterDistance(footerDistance);
    }

    cursor.endEditBlock();
    document->setUndoRedoEnabled(undo);
    document->setModified(false);
    return result;
}

void RtfReader::Private::parse(QByteArrayView bytes)
{
    if (stop)
        return;
    input = bytes;
    RtfTokenizer tz(input);
    tokenizer = &tz;
    qsizetype nextCheck = 64 * 1024;
    while (!stop) {
        const RtfTokenizer::Token token = tz.next();
        if (tz.position() >= nextCheck) {
            nextCheck = tz.position() + 64 * 1024;
            if (clock.elapsed() > limits.deadlineMilliseconds) {
                fail(u"La lecture de ce document RTF prend trop de temps ; elle a été interrompue."_s);
                break;
            }
        }
        if (token.type == RtfTokenizer::Type::End)
            break;
        if (!pendingBytes.isEmpty() && token.type != RtfTokenizer::Type::Text &&
            token.type != RtfTokenizer::Type::HexByte)
            flushPendingBytes();
        switch (token.type) {
        case RtfTokenizer::Type::GroupStart:
            skipCount = 0;
            onGroupStart();
            break;
        case RtfTokenizer::Type::GroupEnd:
            skipCount = 0;
            if (stack.empty() && overflowDepth == 0) {
                stop = true; // the outer group is closed: what follows is not the document
                break;
            }
            onGroupEnd();
            if (stack.empty() && overflowDepth == 0)
                stop = true;
            break;
        case RtfTokenizer::Type::ControlWord:
            if (skipCount > 0) {
                --skipCount;
                break;
            }
            onWord(token);
            break;
        case RtfTokenizer::Type::ControlSymbol:
            if (skipCount > 0) {
                --skipCount;
                break;
            }
            onSymbol(token.symbol);
            break;
        case RtfTokenizer::Type::HexByte:
            if (skipCount > 0) {
                --skipCount;
                break;
            }
            {
                const char byte = char(token.byte);
                onText(&byte, 1);
            }
            break;
        case RtfTokenizer::Type::Text: {
            const char *data = token.data;
            qsizetype size = token.size;
            if (skipCount > 0) {
                const qsizetype skipped = qMin<qsizetype>(skipCount, size);
                skipCount -= int(skipped);
                data += skipped;
                size -= skipped;
            }
            if (size > 0)
                onText(data, size);
            break;
        }
        case RtfTokenizer::Type::Binary:
            if (skipCount > 0) {
                --skipCount;
                break;
            }
            onBinary(token);
            break;
        case RtfTokenizer::Type::End:
            break;
        }
    }
    tokenizer = nullptr;
}

void RtfReader::Private::finish()
{
    // Whatever is still open at the end (a truncated file) is closed, and its content kept.
    flushPendingBytes();
    if (pendingHighSurrogate) {
        pendingHighSurrogate = 0;
        if (state.dest == Dest::Body)
            bodyText(u"\uFFFD");
    }
    if (!runText.isEmpty() || blockHasContent || !pendingBreak) {
        const bool wasStopped = stop;
        stop = false;
        flushRun();
        if (!pendingBreak)
            applyBlockFormat();
        stop = wasStopped;
    }
    while (!tables.empty())
        closeTable();
}

// ---------------------------------------------------------------------------------------------
// groups and destinations

void RtfReader::Private::onGroupStart()
{
    if (int(stack.size()) >= limits.maxGroupDepth) {
        // Deeper groups share the state of the deepest one; counting keeps the braces balanced.
        if (overflowDepth == 0)
            result.warnings
                << u"Le document contient plus de %1 groupes imbriqués ; leur mise en forme est simplifiée."_s.arg(
                       limits.maxGroupDepth);
        ++overflowDepth;
        return;
    }
    stack.push_back(state);
    state.ignorable = false;
    state.fresh = true;
    state.fieldHere = false;
    if (state.dest == Dest::Upr)
        state.dest = Dest::UprChild;
}

void RtfReader::Private::onGroupEnd()
{
    if (overflowDepth > 0) {
        --overflowDepth;
        return;
    }
    popState();
}

void RtfReader::Private::popState()
{
    if (stack.empty())
        return;
    const State closing = state;
    switch (closing.dest) {
    case Dest::Pict:
        if (stack.back().dest != Dest::Pict)
            finishPicture();
        break;
    case Dest::ListLevel:
        if (stack.back().dest != Dest::ListLevel && currentList.levels.size() < 9)
            currentList.levels.push_back(currentLevel);
        break;
    case Dest::List:
        if (stack.back().dest != Dest::List && listDefs.size() < limits.maxTableEntries)
            listDefs.insert(currentListId, currentList);
        break;
    case Dest::ListOverride:
        if (stack.back().dest != Dest::ListOverride && overrideLs != 0 && listOverrides.size() < limits.maxTableEntries)
            listOverrides.insert(overrideLs, overrideListId);
        break;
    default:
        break;
    }
    if (closing.fieldHere && !fields.empty()) {
        const FieldContext field = fields.back();
        fields.pop_back();
        closePageField(field);
    }
    state = stack.back();
    stack.pop_back();
    if (closing.dest == Dest::Pn && state.dest != Dest::Pn) {
        // The numbering of a paragraph outlives the {\*\pn} group that describes it.
        state.para.pn = closing.para.pn;
    }
}

void RtfReader::Private::skipCurrentGroup()
{
    // The group's '{' was read and its state pushed: skip to its '}' and drop the state.
    tokenizer->skipGroup();
    if (overflowDepth > 0)
        --overflowDepth;
    else
        popState();
}

void RtfReader::Private::startDestination(Kw kw)
{
    switch (kw) {
    case Kw::FontTable:
        state.dest = Dest::FontTable;
        currentFont = -1;
        break;
    case Kw::ColorTable:
        state.dest = Dest::ColorTable;
        red = green = blue = -1;
        break;
    case Kw::Info:
        state.dest = Dest::Info;
        break;
    case Kw::Title:
        if (state.dest == Dest::Info)
            state.dest = Dest::Title;
        else
            skipCurrentGroup();
        break;
    case Kw::Pict:
        state.dest = Dest::Pict;
        picture = Picture();
        break;
    case Kw::ShpPict:
        sawShpPict = true;
        state.dest = Dest::Container;
        break;
    case Kw::NonShpPict:
        if (sawShpPict)
            skipCurrentGroup();
        else
            state.dest = Dest::Container;
        break;
    case Kw::Field:
        state.dest = Dest::Container;
        state.fieldHere = true;
        fields.push_back({});
        break;
    case Kw::FldInst:
        state.dest = Dest::FldInst;
        break;
    case Kw::FldRslt:
        state.dest = Dest::Body;
        if (!fields.empty()) {
            FieldContext &field = fields.back();
            const QString target = hyperlinkTarget(field.instruction);
            if (!target.isEmpty()) {
                if (field.link == 0 && links.size() < limits.maxTableEntries) {
                    links << target;
                    field.link = int(links.size());
                }
                if (field.link)
                    state.chr.link = field.link;
            } else if (insideDecoration && RichText::isPageField(field.instruction)) {
                // A page number in a header: its result is kept with the instruction, so that
                // each page shows its own and the writer gives the field back.
                if (field.pageField == 0 && pageFields.size() < limits.maxTableEntries) {
                    pageFields << field.instruction.trimmed();
                    field.pageField = int(pageFields.size());
                    field.resultStart = outputCharacters;
                }
                if (field.pageField)
                    state.chr.field = field.pageField;
            }
        }
        break;
    case Kw::ListTable:
        state.dest = Dest::ListTable;
        break;
    case Kw::List:
        if (state.dest == Dest::ListTable) {
            state.dest = Dest::List;
            currentList = ListDef();
            currentListId = 0;
        } else {
            skipCurrentGroup();
        }
        break;
    case Kw::ListLevel:
        if (state.dest == Dest::List) {
            state.dest = Dest::ListLevel;
            currentLevel = ListLevelDef();
        } else {
            skipCurrentGroup();
        }
        break;
    case Kw::LevelText:
        if (state.dest == Dest::ListLevel)
            state.dest = Dest::LevelText;
        else
            skipCurrentGroup();
        break;
    case Kw::ListOverrideTable:
        state.dest = Dest::ListOverrideTable;
        break;
    case Kw::ListOverride:
        if (state.dest == Dest::ListOverrideTable) {
            state.dest = Dest::ListOverride;
            overrideListId = 0;
            overrideLs = 0;
        } else {
            skipCurrentGroup();
        }
        break;
    case Kw::ListText:
    case Kw::PnText:
        if (state.dest == Dest::Body) {
            state.dest = Dest::ListText;
            listText.clear();
            listTextProps = state.chr;
        } else {
            skipCurrentGroup();
        }
        break;
    case Kw::Pn:
        state.dest = Dest::Pn;
        state.para.pn = PnProps();
        pnBefore.clear();
        pnAfter.clear();
        break;
    case Kw::PnTxtA:
        if (state.dest == Dest::Pn) {
            state.dest = Dest::PnTextAfter;
            pnAfter.clear();
        } else {
            skipCurrentGroup();
        }
        break;
    case Kw::PnTxtB:
        if (state.dest == Dest::Pn) {
            state.dest = Dest::PnTextBefore;
            pnBefore.clear();
        } else {
            skipCurrentGroup();
        }
        break;
    case Kw::Upr:
        state.uprOuter = state.dest;
        state.dest = Dest::Upr;
        break;
    case Kw::Ud:
        if (state.dest == Dest::UprChild)
            state.dest = state.uprOuter;
        break;
    case Kw::Object:
    case Kw::Shp:
        state.dest = Dest::Container;
        break;
    case Kw::Result:
    case Kw::ShpRslt:
        state.dest = Dest::Body;
        break;
    case Kw::NestTableProps:
        state.dest = Dest::NestTableProps;
        break;
    case Kw::Header:
    case Kw::HeaderL:
    case Kw::HeaderR:
    case Kw::HeaderF:
    case Kw::Footer:
    case Kw::FooterL:
    case Kw::FooterR:
    case Kw::FooterF:
        readDecoration(kw);
        break;
    case Kw::Skip:
        skipCurrentGroup();
        break;
    default:
        break;
    }
}

void RtfReader::Private::closePageField(const FieldContext &field)
{
    if (!insideDecoration || stop || stack.empty() || stack.back().dest != Dest::Body ||
        !RichText::isPageField(field.instruction))
        return;
    if (field.pageField != 0 && field.resultStart != outputCharacters)
        return;
    // Written without its result, or with an empty one: the field still shows on the page.
    int index = field.pageField;
    if (index == 0 && pageFields.size() < limits.maxTableEntries) {
        pageFields << field.instruction.trimmed();
        index = int(pageFields.size());
    }
    if (index == 0)
        return;
    const State saved = state;
    state.dest = Dest::Body;
    state.chr.field = index;
    state.chr.hidden = false;
    bodyText(RichText::pageFieldText(field.instruction, 1, 1, Clock::now()));
    state = saved;
}

// ---------------------------------------------------------------------------------------------
// headers and footers

void RtfReader::Private::readDecoration(Kw kw)
{
    using Kind = HeadersFooters::Kind;
    Kind kind = Kind::Header;
    switch (kw) {
    case Kw::HeaderL:
        kind = Kind::HeaderLeft;
        break;
    case Kw::HeaderR:
        kind = Kind::HeaderRight;
        break;
    case Kw::HeaderF:
        kind = Kind::HeaderFirst;
        break;
    case Kw::Footer:
        kind = Kind::Footer;
        break;
    case Kw::FooterL:
        kind = Kind::FooterLeft;
        break;
    case Kw::FooterR:
        kind = Kind::FooterRight;
        break;
    case Kw::FooterF:
        kind = Kind::FooterFirst;
        break;
    default:
        break;
    }
    // One set of headers and footers, the first section's (a letter has one page style), and
    // none inside another.
    if (insideDecoration || sectionPageSeen || overflowDepth > 0 || stop || (decorations && decorations->part(kind))) {
        skipCurrentGroup();
        return;
    }
    const qsizetype start = tokenizer->position();
    const bool closed = tokenizer->skipGroup();
    const qsizetype end = tokenizer->position() - (closed ? 1 : 0);
    if (!decorations)
        decorations = HeadersFooters::attach(document);
    Private reader(decorations->addPart(kind));
    const RtfReader::Result read =
        reader.readDecorationPart(input.sliced(start, qMax<qsizetype>(0, end - start)), *this);
    totalPictureBytes = reader.totalPictureBytes;
    outputCharacters = reader.outputCharacters;
    result.warnings << read.warnings;
    if (!read.ok)
        fail(read.error);
    popState();
}

RtfReader::Result RtfReader::Private::readDecorationPart(QByteArrayView content, const Private &outer)
{
    insideDecoration = true;
    limits = outer.limits;
    limits.maxGroupDepth = qMax(1, outer.limits.maxGroupDepth - int(outer.stack.size()));
    limits.deadlineMilliseconds = int(qMax<qint64>(0, outer.limits.deadlineMilliseconds - outer.clock.elapsed()));
    documentCodePage = outer.documentCodePage;
    defaultFont = outer.defaultFont;
    fonts = outer.fonts;
    colors = outer.colors;
    listDefs = outer.listDefs;
    listOverrides = outer.listOverrides;
    totalPictureBytes = outer.totalPictureBytes;
    outputCharacters = outer.outputCharacters;
    // The group's text starts with the character format in force where the group stands.
    state = outer.state;
    state.dest = Dest::Body;
    state.para = ParaProps();
    state.chr.link = 0;
    state.chr.field = 0;
    state.fieldHere = false;
    state.ignorable = false;
    state.fresh = false;
    stack.push_back(state); // what the group's own closing brace gives back

    document->setUndoRedoEnabled(false);
    cursor = QTextCursor(document);
    cursor.beginEditBlock();
    clock.start();
    parse(content);
    finish();
    cursor.endEditBlock();
    document->setModified(false);
    return result;
}
