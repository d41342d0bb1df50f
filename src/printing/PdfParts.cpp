#include "printing/PdfParts.h"

#include <QCryptographicHash>
#include <QHash>
#include <QList>
#include <QUuid>

using namespace Qt::StringLiterals;

namespace LetterPdf::Parts {
namespace {

// Text for the XMP packet: XML 1.0 has no room for control characters.
QString xmlText(const QString &text)
{
    QString clean;
    clean.reserve(text.size());
    for (const QChar c : text)
        clean += c.unicode() < 0x20 ? u' ' : c;
    return clean.toHtmlEscaped();
}

// A PDF text string as UTF-16 with its byte-order mark, in hexadecimal: no character needs
// escaping, whatever a name holds.
QByteArray pdfText(const QString &text)
{
    QByteArray hex = "<FEFF";
    for (const QChar c : text)
        hex += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    return hex + '>';
}

QString utcOffset(const QDateTime &moment, const QString &separator)
{
    const int offset = moment.offsetFromUtc();
    if (offset == 0)
        return u"Z"_s;
    const int minutes = std::abs(offset) / 60;
    return (offset < 0 ? u"-"_s : u"+"_s) + u"%1"_s.arg(minutes / 60, 2, 10, QChar(u'0')) + separator +
           u"%1"_s.arg(minutes % 60, 2, 10, QChar(u'0'));
}

// The same moment in the document information ("D:20250303101500+01'00'") and in the XMP packet
// ("2025-03-03T10:15:00+01:00"): an archive validator wants both to agree.
QByteArray pdfDate(const QDateTime &moment)
{
    const QString offset = utcOffset(moment, u"'"_s);
    return "(D:" + moment.toString(u"yyyyMMddHHmmss"_s).toLatin1() + offset.toLatin1() + (offset == u"Z"_s ? "" : "'") +
           ')';
}

QString xmpDate(const QDateTime &moment)
{
    return moment.toString(u"yyyy-MM-ddTHH:mm:ss"_s) + utcOffset(moment, u":"_s);
}

} // namespace

QString producer()
{
    return LetterPdf::creator() + u" (Qt "_s + QString::fromLatin1(qVersion()) + u')';
}

QByteArray xmpPacket(const Properties &properties, const QDateTime &created)
{
    QString xmp = u"<?xpacket begin=\"\uFEFF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
                  u"<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
                  u"<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
                  u"<rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
                  u"<dc:format>application/pdf</dc:format>\n"_s;
    if (!properties.title.isEmpty())
        xmp += u"<dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">%1</rdf:li></rdf:Alt></dc:title>\n"_s.arg(
            xmlText(properties.title));
    if (!properties.author.isEmpty())
        xmp += u"<dc:creator><rdf:Seq><rdf:li>%1</rdf:li></rdf:Seq></dc:creator>\n"_s.arg(xmlText(properties.author));
    xmp += u"</rdf:Description>\n"
           u"<rdf:Description rdf:about=\"\" xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\">\n"
           u"<xmp:CreatorTool>%1</xmp:CreatorTool>\n"
           u"<xmp:CreateDate>%2</xmp:CreateDate>\n"
           u"<xmp:ModifyDate>%2</xmp:ModifyDate>\n"
           u"<xmp:MetadataDate>%2</xmp:MetadataDate>\n"
           u"</rdf:Description>\n"
           u"<rdf:Description rdf:about=\"\" xmlns:pdf=\"http://ns.adobe.com/pdf/1.3/\">\n"
           u"<pdf:Producer>%3</pdf:Producer>\n"
           u"</rdf:Description>\n"
           u"<rdf:Description rdf:about=\"\" xmlns:pdfaid=\"http://www.aiim.org/pdfa/ns/id/\">\n"
           u"<pdfaid:part>1</pdfaid:part>\n"
           u"<pdfaid:conformance>B</pdfaid:conformance>\n"
           u"</rdf:Description>\n"
           u"</rdf:RDF>\n"
           u"</x:xmpmeta>\n"
           u"<?xpacket end=\"w\"?>"_s.arg(xmlText(LetterPdf::creator()), xmpDate(created), xmlText(producer()));
    return xmp.toUtf8();
}

QByteArray information(const Properties &properties, const QDateTime &created)
{
    QByteArray info = "<<\n";
    if (!properties.title.isEmpty())
        info += "/Title " + pdfText(properties.title) + '\n';
    if (!properties.author.isEmpty())
        info += "/Author " + pdfText(properties.author) + '\n';
    info += "/Creator " + pdfText(LetterPdf::creator()) + "\n/Producer " + pdfText(producer()) + '\n';
    info += "/CreationDate " + pdfDate(created) + "\n/ModDate " + pdfDate(created) + "\n>>";
    return info;
}

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
}

bool isDelimiter(char c)
{
    return c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' || c == '{' || c == '}' || c == '/' ||
           c == '%';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

qsizetype skipBlanks(QByteArrayView text, qsizetype at)
{
    while (at < text.size() && isBlank(text[at]))
        ++at;
    return at;
}

// Past the end of the string that starts at at: a literal "( … )", parentheses balanced and
// backslash escapes, or a hexadecimal "< … >".
qsizetype skipString(QByteArrayView text, qsizetype at)
{
    if (text[at] == '<') {
        const qsizetype end = text.indexOf('>', at + 1);
        return end < 0 ? text.size() : end + 1;
    }
    int depth = 0;
    for (qsizetype i = at; i < text.size(); ++i) {
        if (text[i] == '\\')
            ++i;
        else if (text[i] == '(')
            ++depth;
        else if (text[i] == ')' && --depth == 0)
            return i + 1;
    }
    return text.size();
}

bool startsString(QByteArrayView text, qsizetype at)
{
    return text[at] == '(' || (text[at] == '<' && (at + 1 >= text.size() || text[at + 1] != '<'));
}

// An indirect reference "N G R" found in object text.
struct Reference
{
    qsizetype start = 0; // its first digit
    qsizetype end = 0;   // past its "R"
    int number = 0;
};

// The indirect references of object text (never stream data), in order; strings and names are
// passed over, so "/F5 5 0 R" is one reference, to object 5.
QList<Reference> referencesIn(QByteArrayView text)
{
    QList<Reference> references;
    const auto readInteger = [&](qsizetype at, qsizetype *end) {
        qint64 value = 0;
        qsizetype i = at;
        while (i < text.size() && isDigit(text[i]) && value < (1 << 30))
            value = value * 10 + (text[i++] - '0');
        *end = i;
        return value;
    };
    for (qsizetype at = 0; at < text.size();) {
        const char c = text[at];
        if (text.sliced(at).startsWith("<<") || text.sliced(at).startsWith(">>")) {
            at += 2;
        } else if (startsString(text, at)) {
            at = skipString(text, at);
        } else if (c == '/') {
            ++at;
            while (at < text.size() && !isBlank(text[at]) && !isDelimiter(text[at]))
                ++at;
        } else if (isDigit(c) && (at == 0 || isBlank(text[at - 1]) || isDelimiter(text[at - 1]))) {
            qsizetype end = 0;
            const qint64 number = readInteger(at, &end);
            qsizetype next = end;
            if (next < text.size() && isBlank(text[next])) {
                next = skipBlanks(text, next);
                if (next < text.size() && isDigit(text[next])) {
                    qsizetype generationEnd = 0;
                    readInteger(next, &generationEnd);
                    const qsizetype r = skipBlanks(text, generationEnd);
                    if (generationEnd > next && r > generationEnd && r < text.size() && text[r] == 'R' &&
                        (r + 1 == text.size() || isBlank(text[r + 1]) || isDelimiter(text[r + 1]))) {
                        references.append({at, r + 1, int(number)});
                        at = r + 1;
                        continue;
                    }
                }
            }
            at = std::max(end, at + 1);
        } else {
            ++at;
        }
    }
    return references;
}

// Object text with its references numbered anew; a reference that numbers does not know keeps
// its number.
QByteArray renumbered(QByteArrayView text, const QHash<int, int> &numbers)
{
    QByteArray out;
    out.reserve(text.size() + 16);
    qsizetype copied = 0;
    for (const Reference &reference : referencesIn(text)) {
        out += text.sliced(copied, reference.start - copied);
        out += QByteArray::number(numbers.value(reference.number, reference.number)) + " 0 R";
        copied = reference.end;
    }
    out += text.sliced(copied);
    return out;
}

// A PDF file as Qt's writer lays it out: one cross-reference table, objects as "N 0 obj … endobj",
// stream lengths given directly or by an object holding the number.
class QtPdf
{
public:
    struct Object
    {
        QByteArrayView text;   // the object without its stream data
        QByteArrayView stream; // the stream data, if any
        bool isStream = false;
    };

    explicit QtPdf(const QByteArray &bytes) : bytes(bytes) { valid = readCrossReferences(); }

    bool isValid() const { return valid; }
    const QByteArray &trailer() const { return trailerText; }

    // Object number's text and stream; false when it is not where the table says or is damaged.
    bool object(int number, Object *object) const
    {
        const qint64 offset = offsets.value(number, -1);
        if (offset <= 0)
            return false;
        const QByteArrayView all(bytes);
        const QByteArray header = QByteArray::number(number) + ' ';
        if (!all.sliced(offset).startsWith(header))
            return false;
        const qsizetype obj = all.indexOf("obj", offset);
        if (obj < 0 || obj > offset + 24)
            return false;
        const qsizetype start = skipBlanks(all, obj + 3);
        qsizetype end = start;
        if (all.sliced(start).startsWith("<<")) {
            end = endOfDictionary(all, start);
            if (end < 0)
                return false;
            const qsizetype after = skipBlanks(all, end);
            if (all.sliced(after).startsWith("stream")) {
                qsizetype data = after + 6;
                if (data < all.size() && all[data] == '\r')
                    ++data;
                if (data < all.size() && all[data] == '\n')
                    ++data;
                const qint64 length = streamLength(all.sliced(start, end - start));
                if (length < 0 || data + length > all.size())
                    return false;
                if (!all.sliced(skipBlanks(all, data + length)).startsWith("endstream"))
                    return false;
                object->text = all.sliced(start, end - start);
                object->stream = all.sliced(data, length);
                object->isStream = true;
                return true;
            }
        }
        const qsizetype endobj = all.indexOf("endobj", end);
        if (endobj < 0)
            return false;
        object->text = all.sliced(start, endobj - start).trimmed();
        object->stream = {};
        object->isStream = false;
        return true;
    }

private:
    bool readCrossReferences()
    {
        const QByteArrayView all(bytes);
        const qsizetype startxref = all.lastIndexOf("startxref");
        if (startxref < 0)
            return false;
        qsizetype digitsEnd = 0;
        const qsizetype at = skipBlanks(all, startxref + 9);
        digitsEnd = at;
        while (digitsEnd < all.size() && isDigit(all[digitsEnd]))
            ++digitsEnd;
        bool ok = false;
        const qint64 table = all.sliced(at, digitsEnd - at).toLongLong(&ok);
        if (!ok || table <= 0 || table >= all.size() || !all.sliced(table).startsWith("xref"))
            return false;
        qsizetype line = skipBlanks(all, table + 4);
        while (!all.sliced(line).startsWith("trailer")) {
            const qsizetype lineEnd = all.indexOf('\n', line);
            if (lineEnd < 0)
                return false;
            const QList<QByteArray> counts = all.sliced(line, lineEnd - line).toByteArray().simplified().split(' ');
            bool firstOk = false;
            bool countOk = false;
            const int first = counts.value(0).toInt(&firstOk);
            const int count = counts.value(1).toInt(&countOk);
            if (counts.size() != 2 || !firstOk || !countOk || count < 0 ||
                lineEnd + 1 + qint64(count) * 20 > all.size())
                return false;
            line = lineEnd + 1;
            for (int i = 0; i < count; ++i, line += 20) {
                if (all[line + 17] == 'n')
                    offsets.insert(first + i, all.sliced(line, 10).toLongLong());
            }
            line = skipBlanks(all, line);
        }
        const qsizetype end = all.indexOf("startxref", line);
        trailerText = all.sliced(line, end - line).toByteArray();
        // A file updated after Qt wrote it has tables before this one: not one of Qt's.
        return !trailerText.contains("/Prev");
    }

    // Past the ">>" that closes the dictionary opening at at; -1 when it does not close.
    static qsizetype endOfDictionary(QByteArrayView text, qsizetype at)
    {
        int depth = 0;
        for (qsizetype i = at; i < text.size();) {
            if (text.sliced(i).startsWith("<<")) {
                ++depth;
                i += 2;
            } else if (text.sliced(i).startsWith(">>")) {
                i += 2;
                if (--depth == 0)
                    return i;
            } else if (startsString(text, i)) {
                i = skipString(text, i);
            } else {
                ++i;
            }
        }
        return -1;
    }

    // The stream's "/Length": a number, or a reference to an object holding one.
    qint64 streamLength(QByteArrayView dictionary) const
    {
        qsizetype at = 0;
        while ((at = dictionary.indexOf("/Length", at)) >= 0) {
            at += 7;
            if (at < dictionary.size() && isBlank(dictionary[at]))
                break;
        }
        if (at < 0)
            return -1;
        const qsizetype start = skipBlanks(dictionary, at);
        for (const Reference &reference : referencesIn(dictionary)) {
            if (reference.start == start) {
                Object holder;
                if (!object(reference.number, &holder) || holder.isStream)
                    return -1;
                bool ok = false;
                const qint64 length = holder.text.toByteArray().trimmed().toLongLong(&ok);
                return ok ? length : -1;
            }
        }
        qsizetype end = start;
        while (end < dictionary.size() && isDigit(dictionary[end]))
            ++end;
        bool ok = false;
        const qint64 length = dictionary.sliced(start, end - start).toLongLong(&ok);
        return ok ? length : -1;
    }

    const QByteArray &bytes;
    QHash<int, qint64> offsets;
    QByteArray trailerText;
    bool valid = false;
};

// The objects an entry of a dictionary refers to ("/Kids [3 0 R 5 0 R]" for "/Kids").
QList<int> entryReferences(QByteArrayView dictionary, QByteArrayView key)
{
    qsizetype at = 0;
    while ((at = dictionary.indexOf(key, at)) >= 0) {
        at += key.size();
        if (at < dictionary.size() && (isBlank(dictionary[at]) || dictionary[at] == '[' || isDigit(dictionary[at])))
            break;
    }
    if (at < 0)
        return {};
    at = skipBlanks(dictionary, at);
    qsizetype end = at;
    if (at < dictionary.size() && dictionary[at] == '[') {
        end = dictionary.indexOf(']', at);
        if (end < 0)
            return {};
    } else {
        const QList<Reference> first = referencesIn(dictionary.sliced(at));
        if (first.isEmpty() || first.first().start != 0)
            return {};
        return {first.first().number};
    }
    QList<int> numbers;
    for (const Reference &reference : referencesIn(dictionary.sliced(at, end - at)))
        numbers.append(reference.number);
    return numbers;
}

} // namespace

QByteArray extractPages(const QByteArray &pdf, int first, int count, const Properties &properties,
                        const QDateTime &created)
{
    const QtPdf source(pdf);
    if (!source.isValid() || first < 0 || count <= 0)
        return {};
    const QList<int> roots = entryReferences(source.trailer(), "/Root");
    QtPdf::Object catalog;
    if (roots.size() != 1 || !source.object(roots.first(), &catalog))
        return {};
    const QList<int> pagesRoot = entryReferences(catalog.text, "/Pages");
    QtPdf::Object pages;
    if (pagesRoot.size() != 1 || !source.object(pagesRoot.first(), &pages))
        return {};
    const QList<int> kids = entryReferences(pages.text, "/Kids");
    if (first + count > kids.size())
        return {};
    const QList<int> intents = entryReferences(catalog.text, "/OutputIntents");

    // New numbers: 1 the information, 2 the catalog, 3 the page tree (which the pages' "/Parent"
    // now points to), 4 the metadata; then the pages and all they use, as they are reached.
    constexpr int kInformation = 1, kCatalog = 2, kPages = 3, kMetadata = 4;
    QHash<int, int> numbers{{pagesRoot.first(), kPages}};
    QList<int> order;
    QList<QtPdf::Object> objects;
    const auto reach = [&](int number) {
        if (!numbers.contains(number)) {
            numbers.insert(number, kMetadata + 1 + int(order.size()));
            order.append(number);
        }
    };
    for (int page = first; page < first + count; ++page)
        reach(kids[page]);
    for (const int intent : intents)
        reach(intent);
    for (qsizetype i = 0; i < order.size(); ++i) {
        QtPdf::Object object;
        if (!source.object(order[i], &object))
            return {};
        objects.append(object);
        for (const Reference &reference : referencesIn(object.text))
            reach(reference.number);
    }

    QByteArray out = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    QList<qsizetype> offsets(kMetadata + 1 + order.size(), 0);
    const auto begin = [&](int number) {
        offsets[number] = out.size();
        out += QByteArray::number(number) + " 0 obj\n";
    };
    begin(kInformation);
    out += information(properties, created) + "\nendobj\n";
    begin(kCatalog);
    QByteArray intentList;
    for (const int intent : intents)
        intentList += QByteArray::number(numbers.value(intent)) + " 0 R ";
    out += "<<\n/Type /Catalog\n/Pages 3 0 R\n/Metadata 4 0 R\n";
    if (!intentList.isEmpty())
        out += "/OutputIntents [" + intentList.trimmed() + "]\n";
    out += ">>\nendobj\n";
    begin(kPages);
    out += "<<\n/Type /Pages\n/Kids [";
    for (int page = first; page < first + count; ++page)
        out += QByteArray::number(numbers.value(kids[page])) + " 0 R" + (page + 1 < first + count ? " " : "");
    out += "]\n/Count " + QByteArray::number(count) + "\n>>\nendobj\n";
    begin(kMetadata);
    const QByteArray xmp = xmpPacket(properties, created);
    // Uncompressed, as archive readers expect metadata to be readable without a filter.
    out += "<<\n/Type /Metadata /Subtype /XML\n/Length " + QByteArray::number(xmp.size()) + "\n>>\nstream\n" + xmp +
           "\nendstream\nendobj\n";
    for (qsizetype i = 0; i < order.size(); ++i) {
        begin(kMetadata + 1 + int(i));
        out += renumbered(objects[i].text, numbers);
        if (objects[i].isStream)
            out += "\nstream\n" + objects[i].stream.toByteArray() + "\nendstream";
        out += "\nendobj\n";
    }

    const qsizetype table = out.size();
    out += "xref\n0 " + QByteArray::number(offsets.size()) + "\n0000000000 65535 f \n";
    for (qsizetype i = 1; i < offsets.size(); ++i)
        out += QByteArray::number(offsets[i]).rightJustified(10, '0') + " 00000 n \n";
    // An archive file has an identifier; both halves are the same for a file never changed.
    const QByteArray id =
        QCryptographicHash::hash(QUuid::createUuid().toRfc4122() + xmp, QCryptographicHash::Md5).toHex();
    out += "trailer\n<<\n/Size " + QByteArray::number(offsets.size()) + "\n/Info 1 0 R\n/Root 2 0 R\n/ID [<" + id +
           "> <" + id + ">]\n>>\nstartxref\n" + QByteArray::number(table) + "\n%%EOF\n";
    return out;
}

} // namespace LetterPdf::Parts
