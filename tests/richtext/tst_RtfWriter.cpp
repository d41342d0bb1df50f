#include "TestSupport.h"

#include "RoundTrip.h"
#include "richtext/PageLayout.h"
#include "richtext/RichText.h"
#include "richtext/RtfWriter.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

using namespace Qt::StringLiterals;

namespace {

// A letter using every format the writer knows.
void buildLetter(QTextDocument &document)
{
    QTextCursor cursor(&document);
    QTextBlockFormat justified;
    justified.setAlignment(Qt::AlignJustify);
    justified.setLeftMargin(48);
    justified.setTextIndent(24);
    justified.setBottomMargin(8);
    justified.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
    cursor.setBlockFormat(justified);
    QTextCharFormat plain;
    plain.setFontFamilies({u"Arial"_s});
    plain.setFontPointSize(11);
    cursor.insertText(u"Madame, j'ai l'honneur de vous adresser « ma » lettre : 100 € ; "_s, plain);
    QTextCharFormat bold = plain;
    bold.setFontWeight(QFont::Bold);
    cursor.insertText(u"gras"_s, bold);
    QTextCharFormat italic = plain;
    italic.setFontItalic(true);
    italic.setForeground(QColor(0x80, 0, 0));
    cursor.insertText(u" italique {accolades} \\ "_s, italic);
    QTextCharFormat underline = plain;
    underline.setFontUnderline(true);
    underline.setBackground(QColor(255, 255, 0));
    cursor.insertText(u"souligné"_s, underline);
    QTextCharFormat link = plain;
    link.setAnchor(true);
    link.setAnchorHref(u"https://exemple.fr/page?a=1"_s);
    cursor.insertText(u" lien"_s, link);
    cursor.insertText(u"\ttab\u2028ligne 😀 Œuvre\u00A0fin."_s, plain);

    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.insertBlock(centred);
    cursor.insertText(u"Centré"_s, plain);
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    right.setRightMargin(30);
    right.setTabPositions({QTextOption::Tab(96, QTextOption::RightTab)});
    cursor.insertBlock(right);
    cursor.insertText(u"À droite"_s, plain);

    cursor.insertBlock(QTextBlockFormat());
    QTextListFormat bullets;
    bullets.setStyle(QTextListFormat::ListDisc);
    cursor.insertList(bullets);
    cursor.insertText(u"premier point"_s, plain);
    cursor.insertBlock();
    cursor.insertText(u"second point"_s, plain);
    cursor.insertBlock(QTextBlockFormat());
    QTextListFormat numbers;
    numbers.setStyle(QTextListFormat::ListDecimal);
    numbers.setNumberSuffix(u")"_s);
    cursor.insertList(numbers);
    cursor.insertText(u"un"_s, plain);

    cursor.insertBlock(QTextBlockFormat());
    QTextTableFormat tableFormat;
    tableFormat.setBorder(1);
    QTextTable *table = cursor.insertTable(2, 2, tableFormat);
    table->cellAt(0, 0).firstCursorPosition().insertText(u"A1"_s, plain);
    table->cellAt(0, 1).firstCursorPosition().insertText(u"B1"_s, bold);
    table->cellAt(1, 0).firstCursorPosition().insertText(u"A2"_s, plain);
    table->cellAt(1, 1).firstCursorPosition().insertText(u"B2"_s, plain);
    cursor.setPosition(table->lastPosition() + 1);
    QImage image(6, 4, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    document.addResource(QTextDocument::ImageResource, QUrl(u"img:logo"_s), image);
    QTextImageFormat picture;
    picture.setName(u"img:logo"_s);
    picture.setWidth(60);
    picture.setHeight(40);
    cursor.insertText(u"Image : "_s, plain);
    cursor.insertImage(picture);
}

} // namespace

class TestRtfWriter : public QObject
{
    Q_OBJECT

private slots:
    void header_andInteropRules()
    {
        QTextDocument document;
        buildLetter(document);
        const QByteArray rtf = RichText::writeRtf(&document);
        QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1036\\uc1"));
        QVERIFY(rtf.trimmed().endsWith("\\par\r\n}"));
        // € « Œ with their Windows-1252 fallback, 😀 as two halves each with its own, escaped braces
        // and backslash, hyperlink, A4 page, picture, table, lists.
        for (const char *expected :
             {"{\\colortbl;", "{\\f1\\fswiss\\fcharset0 Arial;}", "\\u8364\\'80", "\\u171\\'ab", "\\u338\\'8c",
              "\\u-10179?\\u-8704?", "\\{accolades\\} \\\\", "\\tab ", "\\line ", "\\~",
              "{\\field{\\*\\fldinst{HYPERLINK \"https://exemple.fr/page?a=1\"}}{\\fldrslt{",
              "\\paperw11906\\paperh16838\\margl1417\\margr1417\\margt1417\\margb1417", "\\pngblip", "\\trowd",
              "\\cell", "\\row", "{\\*\\listtable", "{\\listtext"})
            QVERIFY2(rtf.contains(expected), expected);
        // Never \uN without a fallback under \uc1, never a byte beyond ASCII.
        const QRegularExpressionMatch bare = QRegularExpression(u"\\\\u-?\\d+ ?+[^\\\\?\\d]"_s)
                                                 .match(QString::fromLatin1(rtf.left(rtf.indexOf("\\pngblip"))));
        QVERIFY2(!bare.hasMatch(), qPrintable(bare.captured()));
        for (char c : rtf)
            QVERIFY(uchar(c) < 0x80);
    }

    void roundTrip_keepsTextAndFormats()
    {
        QTextDocument document;
        buildLetter(document);
        QTextDocument back;
        QVERIFY(RichText::readRtf(RichText::writeRtf(&document), &back).ok);
        QCOMPARE(RoundTrip::compare(document, back), QString());
        // Pictures come back as pictures of the same size.
        QTextCursor probe(&back);
        probe.setPosition(back.characterCount() - 1);
        QCOMPARE(probe.charFormat().toImageFormat().width(), 60.0);
        QTextTable *table = nullptr;
        for (QTextFrame *frame : back.rootFrame()->childFrames())
            table = qobject_cast<QTextTable *>(frame);
        QVERIFY(table);
        QCOMPARE(table->rows(), 2);
        QVERIFY(table->format().border() > 0);
        // A second trip writes the same bytes.
        QCOMPARE(RichText::writeRtf(&back), RichText::writeRtf(&document));
    }

    void roundTrip_mergedCellsAndPageLayout()
    {
        QTextDocument document;
        QTextCursor cursor(&document);
        QTextTable *table = cursor.insertTable(3, 3);
        table->mergeCells(0, 0, 1, 2);
        table->mergeCells(1, 2, 2, 1);
        table->cellAt(0, 0).firstCursorPosition().insertText(u"large"_s);
        table->cellAt(1, 2).firstCursorPosition().insertText(u"haute"_s);
        PageLayout letterSize;
        letterSize.paperWidth = 12240;
        letterSize.paperHeight = 15840;
        letterSize.storeOn(&document);
        QTextDocument back;
        RichText::readRtf(RichText::writeRtf(&document), &back);
        QTextTable *t = qobject_cast<QTextTable *>(back.rootFrame()->childFrames().value(0));
        QVERIFY(t);
        QCOMPARE(t->cellAt(0, 0).columnSpan(), 2);
        QCOMPARE(t->cellAt(1, 2).rowSpan(), 2);
        QCOMPARE(PageLayout::fromDocument(&back), letterSize);
    }

    void pictures_keepTheFileBytes()
    {
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPEG");
        QTextDocument document;
        QVERIFY(RichText::readRtf("{\\rtf1{\\pict\\jpegblip\\picw8\\pich8 " + jpeg.toHex() +
                                      "}"
                                      "{\\pict\\emfblip\\picw100\\pich100 0102}}",
                                  &document)
                    .ok);
        const QByteArray rtf = RichText::writeRtf(&document);
        QVERIFY(rtf.contains("\\jpegblip")); // a photograph stays a JPEG, byte for byte
        QVERIFY(QByteArray(rtf).replace("\r\n", "").contains(jpeg.toHex()));
        QVERIFY(rtf.contains("{\\pict\\emfblip\\picw100\\pich100"));
        QVERIFY(QByteArray(rtf).replace("\r\n", "").contains("0102}"));
    }

    void range_writesOnlyTheSelection()
    {
        QTextDocument document;
        RichText::readRtf("{\\rtf1 Premier {\\b paragraphe}\\par Second}", &document);
        QTextDocument part;
        RichText::readRtf(RichText::writeRtf(&document, 8, 20), &part);
        QCOMPARE(part.toPlainText(), u"paragraphe\nS"_s);
        RichText::readRtf(RichText::writeRtf(&document, 20, 8), &part);
        QCOMPARE(part.toPlainText(), u"paragraphe\nS"_s);
        RichText::readRtf(RichText::writeRtf(&document, -4, 1000), &part);
        QCOMPARE(part.toPlainText(), document.toPlainText());
    }

    void emptyDocument_writesAValidEmptyDocument()
    {
        QTextDocument empty;
        const QByteArray rtf = RichText::writeRtf(&empty);
        QVERIFY(RichText::looksLikeRtf(rtf));
        QTextDocument back(u"garbage"_s);
        QVERIFY(RichText::readRtf(rtf, &back).ok);
        QCOMPARE(back.toPlainText(), QString());
        QCOMPARE(back.blockCount(), 1);
    }

    void office_readsWhatWeWrite()
    {
        if (QuilloTest::soffice().isEmpty())
            QSKIP("LibreOffice (soffice) is not installed");
        QTextDocument document;
        buildLetter(document);
        const QByteArray rtf = RichText::writeRtf(&document);

        const QString text =
            QString::fromUtf8(QuilloTest::convertWithOffice(rtf, u"txt:Text (encoded):UTF8"_s, u"txt"_s));
        QVERIFY2(!text.isEmpty(), "LibreOffice wrote no text");
        for (const QString &expected : {u"Madame, j'ai l'honneur de vous adresser « ma » lettre : 100 €"_s,
                                        u"gras italique {accolades} \\ souligné lien"_s, u"😀 Œuvre"_s, u"Centré"_s,
                                        u"À droite"_s, u"premier point"_s, u"A1"_s, u"B2"_s})
            QVERIFY2(text.contains(expected), qPrintable(expected + u" not in: "_s + text));

        const QString html =
            QString::fromUtf8(QuilloTest::convertWithOffice(rtf, u"html:XHTML Writer File:UTF8"_s, u"html"_s));
        QVERIFY2(!html.isEmpty(), "LibreOffice wrote no HTML");
        for (const QString &expected :
             {u"font-weight:bold"_s, u"font-style:italic"_s, u"text-decoration:underline"_s, u"text-align:justify"_s,
              u"text-align:center"_s, u"<table"_s, u"<img"_s, u"<ul"_s, u"<ol"_s,
              u"href=\"https://exemple.fr/page?a=1\""_s, u"margin-left:"_s})
            QVERIFY2(html.contains(expected), qPrintable(expected));
    }
};

QUILLO_TEST_MAIN(TestRtfWriter)
#include "tst_RtfWriter.moc"
