#include "LetterAssembly.h"

#include "DataPaths.h"
#include "PhraseComposition.h"
#include "QuilloError.h"
#include "RichText.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextDocument>

using namespace Qt::StringLiterals;

bool Replace_Balise(QTextDocument *document, const QString &placeholder, const QString &value, bool bold)
{
    if (placeholder.isEmpty())
        return false;
    QTextCursor match = document->find(placeholder, 0); // letter case ignored by default
    if (match.isNull())
        return false;
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
    return true;
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

} // namespace

void Build_Lettre(QTextDocument *document, const LetterFields &fields)
{
    const QString path = DataPaths::templateFile();
    if (!QFileInfo::exists(path)) {
        throw QuilloError(u"Le modèle de lettre « %1 » est introuvable."_s.arg(QDir::toNativeSeparators(path)),
                          QuilloError::FileNotFound);
    }
    QString error;
    if (!RichText::loadRtfFile(path, document, &error))
        throw QuilloError(error, QuilloError::InvalidFileFormat);
    // Justified paragraphs of the template are drawn justified by the text layout itself.
    for (int i = 0; i < LetterFields::Count; ++i) {
        const QString &placeholder = LetterFields::placeholders()[size_t(i)];
        const QString value = placeholder == u"#ref4"_s ? withoutBlankLinesAtTheEnds(fields[i]) : fields[i];
        Replace_Balise(document, placeholder, PhraseComposition::trimSpaces(value), LetterFields::isBold(i));
    }
}
