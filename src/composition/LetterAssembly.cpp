#include "composition/LetterAssembly.h"

#include "composition/PhraseComposition.h"
#include "core/DataPaths.h"
#include "core/QuilloError.h"
#include "richtext/HeadersFooters.h"
#include "richtext/RichText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace {

// The placeholders of the two address blocks: the sender's ("#exp1" to "#exp4") and the
// recipient's ("#dst1" to "#dst3").
bool inAddressBlock(int index)
{
    return index <= 6;
}

// A block value without its empty lines (spaces only count as empty): a field left empty leaves
// no hole in the address.
QString withoutEmptyLines(const QString &value)
{
    QStringList lines = QString(value).replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n').split(u'\n');
    lines.removeIf([](const QString &line) { return line.trimmed().isEmpty(); });
    return lines.join(u"\r\n"_s);
}

// Replaces the first occurrence; returns where the value starts, or -1 when there is none.
int replaceFirst(QTextDocument *document, const QString &placeholder, const QString &value, bool bold)
{
    if (placeholder.isEmpty())
        return -1;
    QTextCursor match = document->find(placeholder, 0); // letter case ignored by default
    if (match.isNull())
        return -1;
    const int start = match.selectionStart();
    // The format of the placeholder's first character: the value looks like the placeholder did.
    QTextCursor probe(document);
    probe.setPosition(start + 1);
    const QTextCharFormat format = probe.charFormat();

    QString text = value;
    text.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
    match.beginEditBlock();
    match.removeSelectedText();
    // insertText turns each '\n' into a new paragraph that keeps the current paragraph format.
    match.insertText(text, format);
    match.endEditBlock();
    if (bold && !text.isEmpty()) {
        QTextCursor range(document);
        range.setPosition(start);
        range.setPosition(match.position(), QTextCursor::KeepAnchor);
        QTextCharFormat boldFormat;
        boldFormat.setFontWeight(QFont::Bold);
        range.mergeCharFormat(boldFormat);
    }
    return start;
}

// Removes the paragraph at position when it holds nothing. The paragraph after it keeps its own
// format, with the larger of the two spaces above, so the block stays where the template put it.
void removeEmptyParagraph(QTextDocument *document, int position)
{
    const QTextBlock empty = document->findBlock(position);
    if (!empty.isValid() || !empty.text().isEmpty() || document->blockCount() < 2)
        return;
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    const QTextBlock next = empty.next();
    if (next.isValid()) {
        QTextBlockFormat kept = next.blockFormat();
        kept.setTopMargin(qMax(kept.topMargin(), empty.blockFormat().topMargin()));
        const QTextCharFormat keptChars = next.charFormat();
        cursor.setPosition(empty.position());
        cursor.setPosition(next.position(), QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        cursor.setBlockFormat(kept);
        cursor.setBlockCharFormat(keptChars);
    } else {
        // The last paragraph: joined to the one above.
        cursor.setPosition(empty.position() - 1);
        cursor.setPosition(empty.position(), QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    cursor.endEditBlock();
}

} // namespace

bool Replace_Balise(QTextDocument *document, const QString &placeholder, const QString &value, bool bold)
{
    return replaceFirst(document, placeholder, value, bold) >= 0;
}

namespace {

// The body without the blank lines at its ends: a line end typed after the last paragraph (or
// before the first) would double the template's gap before the formula (or after the
// salutation). Lines inside the body, blank ones included, stay as written.
QString withoutBlankLinesAtTheEnds(const QString &body)
{
    QStringList lines = body.split(QRegularExpression(u"\r\n|\r|\n"_s));
    while (!lines.isEmpty() && lines.constFirst().trimmed().isEmpty())
        lines.removeFirst();
    while (!lines.isEmpty() && lines.constLast().trimmed().isEmpty())
        lines.removeLast();
    return lines.join(u"\r\n"_s);
}

// The placeholders of one document (the letter's text, or one of its headers and footers).
void replacePlaceholdersIn(QTextDocument *document, const LetterFields &fields)
{
    // Justified paragraphs of the template are drawn justified by the text layout itself.
    for (int i = 0; i < LetterFields::Count; ++i) {
        const QString &placeholder = LetterFields::placeholders()[size_t(i)];
        QString value = PhraseComposition::trimSpaces(placeholder == u"#ref4"_s ? withoutBlankLinesAtTheEnds(fields[i])
                                                                                : fields[i]);
        if (inAddressBlock(i))
            value = withoutEmptyLines(value);
        const int at = replaceFirst(document, placeholder, value, LetterFields::isBold(i));
        if (at >= 0 && value.isEmpty() && inAddressBlock(i))
            removeEmptyParagraph(document, at);
    }
}

// The template's placeholders replaced in the document that holds it. A letterhead or a footer
// may carry some too (the sender's name or telephone): each header and footer has its own,
// replaced as the text's are.
void replacePlaceholders(QTextDocument *document, const LetterFields &fields)
{
    replacePlaceholdersIn(document, fields);
    if (const HeadersFooters *decorations = HeadersFooters::of(document)) {
        for (const HeadersFooters::Kind kind : HeadersFooters::kKinds) {
            if (QTextDocument *part = decorations->part(kind))
                replacePlaceholdersIn(part, fields);
        }
    }
}

QuilloError templateNotFound(const QString &path)
{
    return QuilloError(u"Le modèle de lettre « %1 » est introuvable."_s.arg(QDir::toNativeSeparators(path)),
                       QuilloError::FileNotFound);
}

} // namespace

void Build_Lettre(QTextDocument *document, const LetterFields &fields)
{
    const QString path = DataPaths::templateFile();
    if (!QFileInfo::exists(path))
        throw templateNotFound(path);
    QString error;
    // The reader's own sentence may not name the file ("Ce fichier n'est pas un document RTF."):
    // said after opening a letter model, it would put the blame on the model.
    if (!RichText::loadRtfFile(path, document, &error))
        throw QuilloError(
            u"Le modèle de lettre « %1 » ne peut pas être lu.\n%2"_s.arg(QDir::toNativeSeparators(path), error),
            QuilloError::InvalidFileFormat);
    replacePlaceholders(document, fields);
}

QByteArray readLetterTemplate()
{
    const QString path = DataPaths::templateFile();
    QFile file(path);
    if (!file.exists())
        throw templateNotFound(path);
    if (!file.open(QIODevice::ReadOnly))
        throw QuilloError(u"Impossible d'ouvrir le modèle de lettre « %1 » : %2"_s.arg(QDir::toNativeSeparators(path),
                                                                                       file.errorString()),
                          QuilloError::PermissionDenied);
    const QByteArray bytes = file.readAll();
    if (!RichText::looksLikeRtf(bytes))
        throw QuilloError(
            u"Le modèle de lettre « %1 » n'est pas un document RTF."_s.arg(QDir::toNativeSeparators(path)),
            QuilloError::InvalidFileFormat);
    return bytes;
}

void Build_Lettre(QTextDocument *document, const LetterFields &fields, const QByteArray &templateRtf)
{
    const RichText::ReadResult read = RichText::readRtf(templateRtf, document);
    if (!read.ok)
        throw QuilloError(u"Le modèle de lettre « %1 » ne peut pas être lu.\n%2"_s.arg(
                              QDir::toNativeSeparators(DataPaths::templateFile()), read.error),
                          QuilloError::InvalidFileFormat);
    replacePlaceholders(document, fields);
}
