#include "core/VCardReader.h"

#include "core/Cp1252.h"

#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace {

enum Column {
    Prefix,
    Given,
    Family,
    Formatted,
    Organisation,
    Street,
    Extended,
    PostalCode,
    Locality,
    Country,
    Function,
    Gender,
    ColumnCount
};

struct Property
{
    QByteArray name;          // upper case, without its group
    QList<QByteArray> params; // as written: "CHARSET=UTF-8", "QUOTED-PRINTABLE", "TYPE=work,pref"
    QByteArray value;
};

struct Card
{
    int line = 0;
    QString damage;
    QList<Property> properties;
};

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// The physical lines of a file one at a time, empty ones passed over, with their numbers
// (CR LF, CR and LF each end a line). Nothing is held per line: a file of millions of short
// lines costs no memory.
class Lines
{
public:
    explicit Lines(QByteArrayView bytes) : all(bytes) { advance(); }

    bool atEnd() const { return finished; }
    void advance()
    {
        while (pos < all.size()) {
            qsizetype end = pos;
            while (end < all.size() && !isLineEnd(all.at(end)))
                ++end;
            text = all.sliced(pos, end - pos);
            number = nextNumber++;
            if (end < all.size())
                end += all.at(end) == '\r' && end + 1 < all.size() && all.at(end + 1) == '\n' ? 2 : 1;
            pos = end;
            if (!text.isEmpty())
                return;
        }
        finished = true;
        text = QByteArrayView();
    }

    QByteArrayView text; // the current line, without its end
    int number = 0;      // its 1-based number

private:
    QByteArrayView all;
    qsizetype pos = 0;
    int nextNumber = 1;
    bool finished = false;
};

// Only these properties make a recipient; the others (photos, keys, notes) are passed over
// however large they are.
bool isUsed(const QByteArray &name)
{
    static const QByteArray used[] = {"N", "FN", "ORG", "ADR", "TITLE", "ROLE", "GENDER", "X-GENDER"};
    for (const QByteArray &u : used) {
        if (name == u)
            return true;
    }
    return false;
}

// Splits at sep outside double quotes (a quoted parameter value may hold ';' and ':').
QList<QByteArray> splitOutsideQuotes(QByteArrayView text, char sep)
{
    QList<QByteArray> parts;
    bool inQuotes = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '"')
            inQuotes = !inQuotes;
        else if (c == sep && !inQuotes) {
            parts.append(text.sliced(start, i - start).toByteArray());
            start = i + 1;
        }
    }
    parts.append(text.sliced(start).toByteArray());
    return parts;
}

qsizetype colonOutsideQuotes(QByteArrayView line)
{
    bool inQuotes = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line.at(i) == '"')
            inQuotes = !inQuotes;
        else if (line.at(i) == ':' && !inQuotes)
            return i;
    }
    return -1;
}

bool isQuotedPrintable(const QList<QByteArray> &params)
{
    for (const QByteArray &p : params) {
        const QByteArray upper = p.trimmed().toUpper();
        if (upper == "QUOTED-PRINTABLE" || upper == "ENCODING=QUOTED-PRINTABLE")
            return true;
    }
    return false;
}

// Whether the name part of an unfolded line (before its colon) asks for quoted-printable: its
// soft line breaks then join the next line.
bool lineIsQuotedPrintable(QByteArrayView line)
{
    const qsizetype colon = colonOutsideQuotes(line);
    const QByteArrayView head = colon < 0 ? line : line.first(colon);
    return head.toByteArray().toUpper().contains("QUOTED-PRINTABLE");
}

QByteArray paramValue(const QList<QByteArray> &params, QByteArrayView key)
{
    for (const QByteArray &p : params) {
        const qsizetype eq = p.indexOf('=');
        if (eq > 0 && p.first(eq).trimmed().toUpper() == key) {
            QByteArray value = p.mid(eq + 1).trimmed();
            if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
                value = value.mid(1, value.size() - 2);
            return value;
        }
    }
    return QByteArray();
}

bool isPreferred(const QList<QByteArray> &params)
{
    for (const QByteArray &p : params) {
        const QByteArray upper = p.trimmed().toUpper();
        if (upper == "PREF" || upper.startsWith("PREF=")) // 2.1 bare PREF, 4.0 PREF=1
            return true;
        if (upper.startsWith("TYPE=")) {
            for (const QByteArray &type : upper.mid(5).replace('"', QByteArray()).split(',')) {
                if (type.trimmed() == "PREF")
                    return true;
            }
        }
    }
    return false;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

QByteArray decodeQuotedPrintable(const QByteArray &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '=' && i + 2 < text.size() && hexValue(text.at(i + 1)) >= 0 && hexValue(text.at(i + 2)) >= 0) {
            bytes.append(char(hexValue(text.at(i + 1)) * 16 + hexValue(text.at(i + 2))));
            i += 2;
        } else {
            bytes.append(c); // a stray '=' stays as written
        }
    }
    return bytes;
}

QString decodeCharset(const QByteArray &bytes, const QByteArray &charset)
{
    const QByteArray name = charset.toUpper();
    if (name == "UTF-8" || name == "UTF8")
        return QString::fromUtf8(bytes);
    // Programs that say Latin-1 write Windows-1252 (its superset) in practice.
    if (name == "ISO-8859-1" || name == "ISO8859-1" || name == "LATIN1" || name == "WINDOWS-1252" || name == "CP1252" ||
        name == "US-ASCII" || name == "ASCII")
        return Cp1252::decode(bytes);
    if (name == "ISO-8859-15" || name == "ISO8859-15" || name == "LATIN-9" || name == "LATIN9") {
        // Latin-9 is Latin-1 with eight letters and the euro sign in place of rare symbols.
        QString text = QString::fromLatin1(bytes);
        static const std::pair<char16_t, char16_t> changed[] = {
            {0xA4, 0x20AC}, {0xA6, 0x0160}, {0xA8, 0x0161}, {0xB4, 0x017D},
            {0xB8, 0x017E}, {0xBC, 0x0152}, {0xBD, 0x0153}, {0xBE, 0x0178},
        };
        for (QChar &c : text) {
            for (const auto &[from, to] : changed) {
                if (c.unicode() == from)
                    c = QChar(to);
            }
        }
        return text;
    }
    return Cp1252::decodeFile(bytes);
}

// The text of a property value, before escapes are resolved.
QString decodeValue(const Property &property)
{
    const QByteArray encoding = paramValue(property.params, "ENCODING").toUpper();
    if (encoding == "B" || encoding == "BASE64")
        return QString(); // binary data is never a name or an address
    QByteArray bytes = property.value;
    if (isQuotedPrintable(property.params))
        bytes = decodeQuotedPrintable(bytes);
    return decodeCharset(bytes, paramValue(property.params, "CHARSET"));
}

// Splits a value at unescaped ';' (structured values: N, ADR, GENDER, ORG) and resolves the
// escapes \, \; \n \N \\ in each part. A backslash before anything else stays.
QStringList components(const QString &value, bool structured)
{
    QStringList parts;
    QString current;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == u'\\' && i + 1 < value.size()) {
            const QChar next = value.at(i + 1);
            if (next == u'n' || next == u'N')
                current.append(u'\n');
            else if (next == u',' || next == u';' || next == u'\\')
                current.append(next);
            else
                current.append(c).append(next);
            ++i;
        } else if (c == u';' && structured) {
            parts.append(current);
            current.clear();
        } else {
            current.append(c);
        }
    }
    parts.append(current);
    return parts;
}

QStringList rowOf(const Card &card)
{
    QStringList cells(ColumnCount);
    const Property *address = nullptr;
    for (const Property &p : card.properties) {
        if (p.name == "ADR" && (!address || (isPreferred(p.params) && !isPreferred(address->params))))
            address = &p;
    }
    const auto firstNonEmpty = [&](const QByteArray &name) {
        for (const Property &p : card.properties) {
            if (p.name == name) {
                const QString text = components(decodeValue(p), false).value(0).trimmed();
                if (!text.isEmpty())
                    return text;
            }
        }
        return QString();
    };
    for (const Property &p : card.properties) {
        if (p.name == "N" && cells[Family].isEmpty() && cells[Given].isEmpty()) {
            const QStringList n = components(decodeValue(p), true);
            cells[Family] = n.value(0);
            cells[Given] = n.value(1);
            cells[Prefix] = n.value(3);
        } else if (p.name == "ORG" && cells[Organisation].isEmpty()) {
            cells[Organisation] = components(decodeValue(p), true).value(0);
        } else if ((p.name == "GENDER" || p.name == "X-GENDER") && cells[Gender].isEmpty()) {
            cells[Gender] = components(decodeValue(p), true).value(0);
        }
    }
    cells[Formatted] = firstNonEmpty("FN");
    cells[Function] = firstNonEmpty("TITLE");
    if (cells[Function].isEmpty())
        cells[Function] = firstNonEmpty("ROLE");
    if (address) {
        const QStringList adr = components(decodeValue(*address), true);
        cells[Street] = adr.value(2);
        // The extended address (building, résidence) and a post office box both stand on the line
        // after the street in a French address.
        QStringList extra;
        for (const QString &part : {adr.value(1), adr.value(0)}) {
            if (!part.trimmed().isEmpty())
                extra.append(part.trimmed());
        }
        cells[Extended] = extra.join(u", "_s);
        cells[Locality] = adr.value(3);
        cells[PostalCode] = adr.value(5);
        cells[Country] = adr.value(6);
    }
    return cells;
}

} // namespace

namespace VCardReader {

bool looksLikeVCard(const QByteArray &bytes)
{
    QByteArray head = bytes.left(4096);
    if (head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(head.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        head = QString(decoder.decode(head.mid(2))).toUtf8();
    } else if (head.startsWith("\xEF\xBB\xBF")) {
        head = head.mid(3);
    }
    return head.trimmed().toUpper().startsWith("BEGIN:VCARD");
}

QStringList columnNames()
{
    return {u"Civilité"_s,  u"Prénom"_s,      u"Nom"_s,   u"Nom complet"_s, u"Société"_s,  u"Adresse"_s,
            u"Adresse 2"_s, u"Code postal"_s, u"Ville"_s, u"Pays"_s,        u"Fonction"_s, u"Genre"_s};
}

RecipientTable read(const QByteArray &input)
{
    RecipientTable table;
    table.format = SourceFormat::VCard;
    table.encoding = TextEncoding::Utf8;
    QByteArray bytes = input;
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        // A vCard file saved as "Unicode": values are then decoded as the UTF-8 made of it.
        table.encoding = bytes.startsWith("\xFF\xFE") ? TextEncoding::Utf16LE : TextEncoding::Utf16BE;
        QStringDecoder decoder(table.encoding == TextEncoding::Utf16LE ? QStringDecoder::Utf16LE
                                                                       : QStringDecoder::Utf16BE);
        bytes = QString(decoder.decode(QByteArrayView(bytes).sliced(2))).toUtf8();
    } else if (bytes.startsWith("\xEF\xBB\xBF")) {
        bytes = bytes.mid(3);
    }

    table.rows.append({0, columnNames()});
    Lines lines(bytes);
    const auto overlong = [&] {
        table.rows.clear();
        table.damaged.clear();
        table.error = u"La ligne %1 du fichier dépasse 1 Mo : ce n'est pas un carnet d'adresses, "
                      u"le fichier ne peut pas être importé."_s.arg(lines.number);
        return table;
    };
    Card card;
    bool inCard = false;
    const auto damage = [&](int line, const QString &reason) {
        table.damaged.append({line, reason});
        return table.damaged.size() <= ImportLimits::kMaxDamagedRows;
    };
    const auto tooDamaged = [&] {
        table.rows.clear();
        table.damaged.clear();
        table.error = u"Le fichier compte plus de %1 fiches illisibles : ce n'est pas un carnet d'adresses, "
                      u"il ne peut pas être importé."_s.arg(ImportLimits::kMaxDamagedRows);
        return table;
    };
    while (!lines.atEnd()) {
        if (lines.text.size() > ImportLimits::kMaxLineChars)
            return overlong();
        // Unfold: a line that starts with a space or a tab continues the one before; in
        // quoted-printable, a final '=' (a soft line break) joins the next line too.
        const int number = lines.number;
        QByteArray logical = lines.text.toByteArray();
        const bool quotedPrintable = lineIsQuotedPrintable(logical);
        bool softBreak = quotedPrintable && logical.endsWith('=');
        bool oversized = false;
        for (lines.advance(); !lines.atEnd(); lines.advance()) {
            const QByteArrayView next = lines.text;
            if (next.size() > ImportLimits::kMaxLineChars)
                return overlong();
            const bool folded = next.startsWith(' ') || next.startsWith('\t');
            if (!folded && !softBreak)
                break;
            const bool joinsSoftBreak = softBreak;
            softBreak = quotedPrintable && next.endsWith('=');
            if (oversized)
                continue;
            if (joinsSoftBreak)
                logical.chop(1); // the '=' of the soft line break
            logical.append(folded ? next.sliced(1) : next);
            if (logical.size() > ImportLimits::kMaxLineChars) {
                // Only the name and parameters are kept: they tell whether the card needed it.
                oversized = true;
                const qsizetype colon = colonOutsideQuotes(logical);
                logical.truncate(colon < 0 ? 0 : colon + 1);
            }
        }

        const qsizetype colon = colonOutsideQuotes(logical);
        if (colon < 0 && !oversized)
            continue; // not a property: a stray line, a broken fold of unused data
        QList<QByteArray> head = splitOutsideQuotes(QByteArrayView(logical).first(std::max<qsizetype>(colon, 0)), ';');
        QByteArray name = head.takeFirst().trimmed().toUpper();
        if (const qsizetype dot = name.lastIndexOf('.'); dot >= 0)
            name = name.mid(dot + 1); // a property group: "item1.ADR"
        const QByteArray value = colon < 0 ? QByteArray() : logical.mid(colon + 1);

        if (name == "BEGIN" && value.trimmed().toUpper() == "VCARD") {
            if (inCard && !damage(card.line, u"fiche sans fin (END:VCARD manquant)"_s))
                return tooDamaged();
            card = Card();
            card.line = number;
            inCard = true;
        } else if (name == "END" && value.trimmed().toUpper() == "VCARD") {
            if (!inCard)
                continue;
            inCard = false;
            if (!card.damage.isEmpty()) {
                if (!damage(card.line, card.damage))
                    return tooDamaged();
                continue;
            }
            table.rows.append({card.line, rowOf(card)});
            if (table.rows.size() > ImportLimits::kMaxRows + 1) {
                table.rows.clear();
                table.damaged.clear();
                table.error = u"Le fichier compte plus de 100 000 fiches : il ne peut pas être importé. "
                              u"Découpez-le en plusieurs fichiers."_s;
                return table;
            }
        } else if (inCard && isUsed(name)) {
            if (oversized)
                card.damage = u"propriété %1 de plus de 1 Mo"_s.arg(QString::fromLatin1(name));
            else
                card.properties.append({name, head, value});
        }
    }
    if (inCard && !damage(card.line, u"fiche sans fin (END:VCARD manquant)"_s))
        return tooDamaged();
    return table;
}

} // namespace VCardReader
