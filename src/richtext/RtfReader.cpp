#include "richtext/RtfReaderPrivate.h"

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

RtfReader::Result RtfReader::Private::run(QByteArrayView input)
{
    result = {};
    document->clear();
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    cursor = QTextCursor(document);
    cursor.beginEditBlock();

    if (input.size() > limits.maxInputBytes) {
        fail(u"Ce fichier est trop volumineux pour être ouvert (plus de %1 Mo)."_s.arg(limits.maxInputBytes /
                                                                                       (1024 * 1024)));
    } else {
        qsizetype start = 0;
        if (input.startsWith("\xEF\xBB\xBF"))
            start = 3;
        while (start < input.size() &&
               (input[start] == ' ' || input[start] == '\t' || input[start] == '\r' || input[start] == '\n'))
            ++start;
        if (!input.sliced(start).startsWith("{\\rtf") && !input.sliced(start).startsWith("{\\urtf"))
            fail(u"Ce fichier n'est pas un document RTF."_s);
        else
            input = input.sliced(start);
    }

    if (!stop) {
        RtfTokenizer tz(input);
        tokenizer = &tz;
        QElapsedTimer clock;
        clock.start();
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

    if (pageSeen || sectionPageSeen)
        page.storeOn(document);
    if (!title.isEmpty())
        document->setMetaInformation(QTextDocument::DocumentTitle, title.trimmed());

    cursor.endEditBlock();
    document->setUndoRedoEnabled(undo);
    document->setModified(false);
    return result;
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
    if (closing.fieldHere && !fields.empty())
        fields.pop_back();
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
    case Kw::Skip:
        skipCurrentGroup();
        break;
    default:
        break;
    }
}
