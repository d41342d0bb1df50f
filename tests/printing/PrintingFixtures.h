#pragma once

// Letters and PDF read-back shared by the printing tests.

#include "TestSupport.h"

#include <QImage>
#include <QPrinter>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QUrl>

#include <memory>

namespace PrintingFixtures {

using namespace Qt::StringLiterals;

inline QString sentence(int n)
{
    return u"Phrase %1 : nous vous prions de bien vouloir trouver ci-joint le dossier complet, "
           u"dûment rempli et signé, accompagné des pièces justificatives demandées."_s.arg(n);
}

inline std::unique_ptr<QTextDocument> emptyLetter()
{
    auto document = std::make_unique<QTextDocument>();
    QFont font(u"Liberation Serif"_s);
    font.setPointSize(12);
    document->setDefaultFont(font);
    return document;
}

// Paragraphs of justified text, each starting with a word that names it ("Paragraphe7").
inline std::unique_ptr<QTextDocument> paragraphsLetter(int paragraphs)
{
    auto document = emptyLetter();
    QTextCursor cursor(document.get());
    QTextBlockFormat justified;
    justified.setAlignment(Qt::AlignJustify);
    justified.setBottomMargin(6);
    for (int i = 1; i <= paragraphs; ++i) {
        if (i > 1)
            cursor.insertBlock();
        cursor.setBlockFormat(justified);
        cursor.insertText(u"Paragraphe%1 "_s.arg(i) + sentence(i) + u" "_s + sentence(i + 1));
    }
    return document;
}

// One short line per paragraph: "Ligne0001", "Ligne0002"…
inline std::unique_ptr<QTextDocument> linesLetter(int lines)
{
    auto document = emptyLetter();
    QTextCursor cursor(document.get());
    for (int i = 1; i <= lines; ++i) {
        if (i > 1)
            cursor.insertBlock();
        cursor.insertText(u"Ligne%1"_s.arg(i, 4, 10, QChar(u'0')));
    }
    return document;
}

inline void appendTable(QTextDocument *document, int rows)
{
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    QTextTableFormat format;
    format.setBorder(1);
    format.setCellPadding(4);
    QTextTable *table = cursor.insertTable(rows, 3, format);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < 3; ++c)
            table->cellAt(r, c).firstCursorPosition().insertText(u"Cellule%1x%2 contenu"_s.arg(r + 1).arg(c + 1));
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock();
    cursor.insertText(u"Aprèslatable fin du document."_s);
}

// A picture of that many pixels at 96 dpi, added to the document's resources and inserted.
inline void appendPicture(QTextDocument *document, int width, int height, const QString &name = u"image1"_s)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::red);
    document->addResource(QTextDocument::ImageResource, QUrl(name), picture);
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock();
    QTextImageFormat image;
    image.setName(name);
    image.setWidth(width);
    image.setHeight(height);
    cursor.insertImage(image);
    cursor.insertBlock();
    cursor.insertText(u"Aprèslimage suite du texte."_s);
}

// The first word of the document's text from that position on; pictures are passed over.
inline QString firstWordFrom(const QTextDocument &document, int position)
{
    QString word;
    for (int at = position; at < document.characterCount(); ++at) {
        const QChar c = document.characterAt(at);
        // Spaces, paragraph ends and the table's cell marks end a word.
        if (c.isSpace() || c == QChar::ParagraphSeparator || c.unicode() == 0xfdd0 || c.unicode() == 0xfdd1 ||
            c == QChar::ObjectReplacementCharacter) {
            if (!word.isEmpty())
                return word;
            continue;
        }
        word += c;
    }
    return word;
}

inline bool havePoppler()
{
    return !QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty() &&
           !QStandardPaths::findExecutable(u"pdfinfo"_s).isEmpty();
}

using QuilloTest::run;

inline int pdfPageCount(const QString &path)
{
    const QString info = run(u"pdfinfo"_s, {path});
    const QRegularExpressionMatch match =
        QRegularExpression(u"^Pages:\\s+(\\d+)"_s, QRegularExpression::MultilineOption).match(info);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

inline QString pdfText(const QString &path, int page = 0)
{
    QStringList arguments;
    if (page > 0)
        arguments << u"-f"_s << QString::number(page) << u"-l"_s << QString::number(page);
    arguments << path << u"-"_s;
    return run(u"pdftotext"_s, arguments);
}

inline QString firstWord(const QString &text)
{
    const QStringList words = text.split(QRegularExpression(u"\\s+"_s), Qt::SkipEmptyParts);
    return words.isEmpty() ? QString() : words.first();
}

// The first word drawn inside the letter's area (below the 70-point top margin) on every page of
// the PDF; text that the page's clip hides above it is left out.
inline QStringList pdfFirstVisibleWords(const QString &path)
{
    QStringList words;
    const QString boxes = run(u"pdftotext"_s, {u"-bbox"_s, path, u"-"_s});
    const QStringList pages = boxes.split(u"<page "_s);
    for (int i = 1; i < pages.size(); ++i) {
        QString first;
        auto it =
            QRegularExpression(u"<word xMin=\"[\\d.]+\" yMin=\"([\\d.]+)\"[^>]*>([^<]*)<"_s).globalMatch(pages[i]);
        while (it.hasNext()) {
            const QRegularExpressionMatch word = it.next();
            if (word.captured(1).toDouble() >= 69.0) {
                first = word.captured(2);
                break;
            }
        }
        words << first;
    }
    return words;
}

// Points a printer at a PDF file, without margins of its own unless asked.
inline void toPdf(QPrinter &printer, const QString &path)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

} // namespace PrintingFixtures
