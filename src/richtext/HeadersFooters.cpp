#include "richtext/HeadersFooters.h"

#include "richtext/RichTextProperties.h"

#include <QLocale>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace Qt::StringLiterals;

HeadersFooters::HeadersFooters(QTextDocument *letter) : QObject(letter), letter(letter)
{
    setObjectName(u"quilloHeadersFooters"_s);
}

HeadersFooters *HeadersFooters::of(const QTextDocument *document)
{
    return document ? document->findChild<HeadersFooters *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

HeadersFooters *HeadersFooters::attach(QTextDocument *document)
{
    if (!document)
        return nullptr;
    if (HeadersFooters *existing = of(document))
        return existing;
    return new HeadersFooters(document);
}

void HeadersFooters::detach(QTextDocument *document)
{
    // Deleted at once: a letter read again must not find the old ones until the next event loop.
    delete of(document);
}

bool HeadersFooters::hasHeader(const QTextDocument *document)
{
    const HeadersFooters *decorations = of(document);
    if (!decorations)
        return false;
    for (const Kind kind : {Kind::Header, Kind::HeaderLeft, Kind::HeaderRight, Kind::HeaderFirst}) {
        if (RichText::showsSomething(decorations->part(kind)))
            return true;
    }
    return false;
}

bool HeadersFooters::hasFooter(const QTextDocument *document)
{
    const HeadersFooters *decorations = of(document);
    if (!decorations)
        return false;
    for (const Kind kind : {Kind::Footer, Kind::FooterLeft, Kind::FooterRight, Kind::FooterFirst}) {
        if (RichText::showsSomething(decorations->part(kind)))
            return true;
    }
    return false;
}

const char *HeadersFooters::controlWord(Kind kind)
{
    switch (kind) {
    case Kind::Header:
        return "header";
    case Kind::HeaderLeft:
        return "headerl";
    case Kind::HeaderRight:
        return "headerr";
    case Kind::HeaderFirst:
        return "headerf";
    case Kind::Footer:
        return "footer";
    case Kind::FooterLeft:
        return "footerl";
    case Kind::FooterRight:
        return "footerr";
    case Kind::FooterFirst:
        return "footerf";
    }
    return "header";
}

QTextDocument *HeadersFooters::addPart(Kind kind)
{
    QTextDocument *&part = parts[size_t(kind)];
    if (!part) {
        part = new QTextDocument(this);
        part->setDefaultFont(letter->defaultFont());
        part->setIndentWidth(letter->indentWidth());
    }
    return part;
}

void HeadersFooters::setPart(Kind kind, const QTextDocument &content)
{
    removePart(kind);
    parts[size_t(kind)] = content.clone(this);
}

void HeadersFooters::removePart(Kind kind)
{
    delete std::exchange(parts[size_t(kind)], nullptr);
}

bool HeadersFooters::isEmpty() const
{
    return std::all_of(parts.cbegin(), parts.cend(), [](const QTextDocument *part) { return !part; });
}

bool HeadersFooters::kindOn(bool header, int page, Kind *kind) const
{
    const Kind all = header ? Kind::Header : Kind::Footer;
    const Kind left = header ? Kind::HeaderLeft : Kind::FooterLeft;
    const Kind right = header ? Kind::HeaderRight : Kind::FooterRight;
    const Kind first = header ? Kind::HeaderFirst : Kind::FooterFirst;
    const auto take = [this, kind](Kind candidate) {
        if (!part(candidate))
            return false;
        *kind = candidate;
        return true;
    };
    if (page == 1 && firstPageDifferent)
        return take(first);
    if (leftAndRight)
        return take(page % 2 == 0 ? left : right) || take(all);
    // Without facing pages, word processors still write their main header as the right-hand one.
    return take(all) || take(right);
}

QTextDocument *HeadersFooters::headerOn(int page) const
{
    Kind kind;
    return kindOn(true, page, &kind) ? part(kind) : nullptr;
}

QTextDocument *HeadersFooters::footerOn(int page) const
{
    Kind kind;
    return kindOn(false, page, &kind) ? part(kind) : nullptr;
}

void HeadersFooters::copyTo(QTextDocument *other) const
{
    if (!other || other == letter)
        return;
    detach(other);
    HeadersFooters *copy = attach(other);
    for (size_t i = 0; i < parts.size(); ++i) {
        if (parts[i])
            copy->parts[i] = parts[i]->clone(copy);
    }
    copy->firstPageDifferent = firstPageDifferent;
    copy->leftAndRight = leftAndRight;
    copy->headerTwips = headerTwips;
    copy->footerTwips = footerTwips;
}

namespace RichText {

bool showsSomething(const QTextDocument *part)
{
    if (!part)
        return false;
    const QString text = part->toRawText();
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        return !c.isSpace() && c != QChar::ParagraphSeparator && c != QChar::LineSeparator && c.unicode() != 0xFDD0 &&
               c.unicode() != 0xFDD1;
    });
}

namespace {

QString fieldName(const QString &instruction)
{
    const QString trimmed = instruction.trimmed();
    qsizetype end = 0;
    while (end < trimmed.size() && trimmed.at(end).isLetter())
        ++end;
    return trimmed.left(end).toUpper();
}

// The "\@" picture of a DATE or TIME field in Qt's words: the letters are the same (d, M, y,
// H, h, m, s), only the morning/afternoon mark is spelt otherwise.
QString datePicture(const QString &instruction)
{
    static const QRegularExpression picture(uR"re(\\@\s*(?:"([^"]*)"|(\S+)))re"_s);
    const QRegularExpressionMatch match = picture.match(instruction);
    if (!match.hasMatch())
        return {};
    QString format = match.captured(1).isNull() ? match.captured(2) : match.captured(1);
    format.replace(u"AM/PM"_s, u"AP"_s, Qt::CaseInsensitive);
    return format;
}

} // namespace

bool isPageField(const QString &instruction)
{
    static const QStringList names = {u"PAGE"_s, u"NUMPAGES"_s, u"SECTIONPAGES"_s, u"DATE"_s, u"TIME"_s};
    return names.contains(fieldName(instruction));
}

QString pageFieldText(const QString &instruction, int page, int pages, const QDateTime &moment)
{
    const QString name = fieldName(instruction);
    if (name == u"PAGE"_s)
        return QString::number(page);
    if (name == u"NUMPAGES"_s || name == u"SECTIONPAGES"_s)
        return QString::number(pages);
    if (name != u"DATE"_s && name != u"TIME"_s)
        return {};
    // French whatever the desktop's language: the letters are.
    const QLocale french(QLocale::French, QLocale::France);
    QString format = datePicture(instruction);
    if (format.isEmpty())
        format = name == u"DATE"_s ? u"dd/MM/yyyy"_s : u"HH:mm"_s;
    return french.toString(moment, format);
}

namespace {

// The runs of page fields, each as its first position, its end and its instruction.
struct FieldRun
{
    int from = 0;
    int to = 0;
    QString instruction;
    QTextCharFormat format;
};

QList<FieldRun> pageFieldRuns(const QTextDocument *document)
{
    QList<FieldRun> runs;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QString instruction = fragment.charFormat().stringProperty(FieldInstruction);
            if (instruction.isEmpty() || !isPageField(instruction))
                continue;
            // The pieces of one result (runs of other formats) make one field.
            if (!runs.isEmpty() && runs.last().to == fragment.position() && runs.last().instruction == instruction) {
                runs.last().to = fragment.position() + fragment.length();
                continue;
            }
            runs.append(
                {fragment.position(), fragment.position() + fragment.length(), instruction, fragment.charFormat()});
        }
    }
    return runs;
}

} // namespace

void fillPageFields(QTextDocument *document, int page, int pages, const QDateTime &moment)
{
    const QList<FieldRun> runs = pageFieldRuns(document);
    QTextCursor cursor(document);
    // From the end, so that the positions still to come stay where they were.
    for (auto it = runs.crbegin(); it != runs.crend(); ++it) {
        cursor.setPosition(it->from);
        cursor.setPosition(it->to, QTextCursor::KeepAnchor);
        cursor.insertText(pageFieldText(it->instruction, page, pages, moment), it->format);
    }
}

bool hasPageFields(const QTextDocument *document)
{
    return document && !pageFieldRuns(document).isEmpty();
}

} // namespace RichText
