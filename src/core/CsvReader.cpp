#include "core/CsvReader.h"

#include <QHash>

#include <array>

using namespace Qt::StringLiterals;

namespace {

bool isLineEnd(QChar c)
{
    return c == u'\r' || c == u'\n';
}

// The position after the line end at i (CR LF counts as one).
qsizetype afterLineEnd(QStringView text, qsizetype i)
{
    if (text.at(i) == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
        return i + 2;
    return i + 1;
}

bool isCandidate(QChar c)
{
    for (const QChar s : CsvReader::kSeparators) {
        if (c == s)
            return true;
    }
    return false;
}

// The first line longer than the limit, 0 when none: such a file is refused before any
// record is cut, so that no reading work is spent on it.
int overlongLine(QStringView text)
{
    qsizetype lineStart = 0;
    int line = 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isLineEnd(text.at(i)))
            continue;
        if (i - lineStart > ImportLimits::kMaxLineChars)
            return line;
        i = afterLineEnd(text, i) - 1;
        lineStart = i + 1;
        ++line;
    }
    return text.size() - lineStart > ImportLimits::kMaxLineChars ? line : 0;
}

} // namespace

namespace CsvReader {

QChar detectSeparator(QStringView text)
{
    // The first lines are enough: a spreadsheet writes the same number of separators on every
    // line, while a comma inside an address or a decimal number comes and goes.
    constexpr int kSampleLines = 50;
    constexpr qsizetype kSampleChars = 256 * 1024;
    constexpr int kCount = int(std::size(kSeparators));
    std::array<QHash<int, int>, kCount> linesWithCount; // per separator: count on a line -> lines
    std::array<int, kCount> counts{};
    bool inQuotes = false;
    bool fieldStart = true;
    bool lineHasText = false;
    int lines = 0;
    const auto endLine = [&] {
        if (lineHasText) {
            for (int k = 0; k < kCount; ++k) {
                if (counts[k] > 0)
                    ++linesWithCount[k][counts[k]];
            }
            ++lines;
        }
        counts.fill(0);
        lineHasText = false;
        fieldStart = true;
    };
    const qsizetype n = std::min(text.size(), kSampleChars);
    for (qsizetype i = 0; i < n && lines < kSampleLines; ++i) {
        const QChar c = text.at(i);
        if (inQuotes) {
            if (c == u'"') {
                if (i + 1 < n && text.at(i + 1) == u'"')
                    ++i;
                else
                    inQuotes = false;
            }
            continue;
        }
        if (isLineEnd(c)) {
            endLine();
            continue;
        }
        lineHasText = true;
        if (c == u'"' && fieldStart) {
            inQuotes = true;
            fieldStart = false;
        } else if (isCandidate(c)) {
            for (int k = 0; k < kCount; ++k) {
                if (kSeparators[k] == c)
                    ++counts[k];
            }
            fieldStart = true;
        } else if (c != u' ') {
            fieldStart = false;
        }
    }
    if (!inQuotes)
        endLine();

    // The separator found the same number of times on the most lines; then the one that makes
    // the most columns; then the first in kSeparators.
    int best = -1;
    int bestLines = 0;
    int bestCount = 0;
    for (int k = 0; k < kCount; ++k) {
        int modeLines = 0;
        int modeCount = 0;
        for (auto it = linesWithCount[k].cbegin(); it != linesWithCount[k].cend(); ++it) {
            if (it.value() > modeLines || (it.value() == modeLines && it.key() > modeCount)) {
                modeLines = it.value();
                modeCount = it.key();
            }
        }
        if (modeLines > bestLines || (modeLines == bestLines && modeCount > bestCount)) {
            best = k;
            bestLines = modeLines;
            bestCount = modeCount;
        }
    }
    return best < 0 ? kSeparators[0] : kSeparators[best];
}

RecipientTable read(QStringView text, QChar separator)
{
    RecipientTable table;
    table.format = SourceFormat::Csv;
    // A quote or a line end cannot separate fields: such a choice would make one endless record.
    if (separator.isNull() || separator == u'"' || isLineEnd(separator))
        separator = detectSeparator(text);
    table.separator = separator;
    if (const int line = overlongLine(text)) {
        table.error = u"La ligne %1 du fichier dépasse 1 Mo : ce n'est pas une liste de destinataires, "
                      u"le fichier ne peut pas être importé."_s.arg(line);
        return table;
    }

    const qsizetype n = text.size();
    // Past the last quote of the file, an opening quote can only be a lost one: knowing it spares
    // a look to the end of the file for every such quote.
    const qsizetype lastQuote = text.lastIndexOf(u'"');
    qsizetype pos = 0;
    int line = 1;
    qsizetype cellCount = 0;
    while (pos < n) {
        if (isLineEnd(text.at(pos))) {
            pos = afterLineEnd(text, pos);
            ++line;
            continue;
        }
        const qsizetype start = pos;
        const int startLine = line;
        int lineEnds = 0; // line ends the record spans, its own final one included
        QStringList cells;
        QString damage;
        qsizetype i = pos;
        for (;;) { // one field per turn
            QString cell;
            if (i < n && text.at(i) == u'"') {
                ++i;
                qsizetype chunk = i;
                bool closed = false;
                if (i <= lastQuote) {
                    while (i < n && i - start <= ImportLimits::kMaxLineChars) {
                        const QChar c = text.at(i);
                        if (c == u'"') {
                            if (i + 1 < n && text.at(i + 1) == u'"') { // a quote written twice
                                cell.append(text.mid(chunk, i + 1 - chunk));
                                i += 2;
                                chunk = i;
                                continue;
                            }
                            cell.append(text.mid(chunk, i - chunk));
                            ++i;
                            closed = true;
                            break;
                        }
                        if (isLineEnd(c)) {
                            i = afterLineEnd(text, i);
                            ++lineEnds;
                            continue;
                        }
                        ++i;
                    }
                }
                if (!closed) {
                    damage = i - start > ImportLimits::kMaxLineChars
                                 ? u"enregistrement de plus de 1 Mo (guillemet non refermé ?)"_s
                                 : u"guillemet non refermé"_s;
                    break;
                }
                // Spaces after a closing quote are a common liberty; anything else means the
                // quotes do not delimit this field as the writer meant.
                while (i < n && (text.at(i) == u' ' || (text.at(i) == u'\t' && separator != u'\t')))
                    ++i;
                if (i < n && text.at(i) != separator && !isLineEnd(text.at(i))) {
                    damage = u"texte après un guillemet fermant"_s;
                    break;
                }
            } else {
                const qsizetype fieldStart = i;
                while (i < n && text.at(i) != separator && !isLineEnd(text.at(i)))
                    ++i;
                cell = text.mid(fieldStart, i - fieldStart).toString();
            }
            cells.append(cell);
            if (i >= n)
                break;
            if (text.at(i) == separator) {
                ++i; // another field follows, even an empty one at the end of the line
                continue;
            }
            i = afterLineEnd(text, i);
            ++lineEnds;
            break;
        }

        if (!damage.isEmpty()) {
            table.damaged.append({startLine, damage});
            if (table.damaged.size() > ImportLimits::kMaxDamagedRows) {
                table.rows.clear();
                table.damaged.clear();
                table.error = u"Le fichier compte plus de %1 lignes illisibles : ce n'est pas une liste de "
                              u"destinataires, il ne peut pas être importé."_s.arg(ImportLimits::kMaxDamagedRows);
                return table;
            }
            // Start again on the next line, as if the damaged record were that line alone.
            qsizetype k = start;
            while (k < n && !isLineEnd(text.at(k)))
                ++k;
            pos = k < n ? afterLineEnd(text, k) : n;
            line = startLine + 1;
            continue;
        }
        table.rows.append({startLine, cells});
        cellCount += cells.size();
        if (cellCount > ImportLimits::kMaxCells) {
            table.rows.clear();
            table.damaged.clear();
            table.error = u"Le fichier compte plus de 5 millions de champs : il ne peut pas être importé. "
                          u"Enregistrez seulement les colonnes utiles, ou découpez-le en plusieurs fichiers."_s;
            return table;
        }
        if (table.rows.size() > ImportLimits::kMaxRows + 1) { // + 1: a header row
            table.rows.clear();
            table.damaged.clear();
            table.error = u"Le fichier compte plus de 100 000 lignes : il ne peut pas être importé. "
                          u"Découpez-le en plusieurs fichiers."_s;
            return table;
        }
        pos = i;
        line = startLine + lineEnds;
    }
    return table;
}

QString quote(const QString &field, QChar separator)
{
    const bool needsQuotes = field.contains(separator) || field.contains(u'"') || field.contains(u'\r') ||
                             field.contains(u'\n') || field.startsWith(u' ') || field.endsWith(u' ') ||
                             field.startsWith(u'\t') || field.endsWith(u'\t');
    if (!needsQuotes)
        return field;
    QString quoted = field;
    quoted.replace(u'"', u"\"\""_s);
    return u'"' + quoted + u'"';
}

namespace {

// Apostrophes, then a sign that makes a spreadsheet compute the field.
bool startsLikeFormula(QStringView field)
{
    qsizetype i = 0;
    while (i < field.size() && field.at(i) == u'\'')
        ++i;
    if (i == field.size())
        return false;
    const QChar sign = field.at(i);
    return sign == u'=' || sign == u'+' || sign == u'-' || sign == u'@';
}

} // namespace

QString guardFormula(const QString &field)
{
    return startsLikeFormula(field) ? u'\'' + field : field;
}

QString unguardFormula(const QString &field)
{
    return field.startsWith(u'\'') && startsLikeFormula(field) ? field.mid(1) : field;
}

} // namespace CsvReader
