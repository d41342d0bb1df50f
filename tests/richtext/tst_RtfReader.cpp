#include "TestSupport.h"

#include "richtext/PageLayout.h"
#include "richtext/RichText.h"
#include "richtext/RichTextProperties.h"
#include "richtext/RtfReader.h"

#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

using namespace Qt::StringLiterals;

namespace {

struct Read
{
    QTextDocument document;
    RtfReader::Result result;
    // The text as stored: line breaks (U+2028) and no-break spaces stay what they are.
    QString text() const { return document.toRawText().replace(QChar::ParagraphSeparator, u'\n'); }
};

std::unique_ptr<Read> read(const QByteArray &rtf)
{
    auto r = std::make_unique<Read>();
    RtfReader reader(&r->document);
    r->result = reader.read(rtf);
    return r;
}

QString textOf(const QByteArray &rtf)
{
    return read(rtf)->text();
}

QTextCharFormat formatAt(const QTextDocument &document, int position)
{
    QTextCursor cursor(const_cast<QTextDocument *>(&document));
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

QByteArray pngHex(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png.toHex();
}

} // namespace

class TestRtfReader : public QObject
{
    Q_OBJECT

private slots:
    void unicode_fallbackSkipping_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("default uc1") << QByteArray("{\\rtf1 \\u233\\'e9t\\u233 ?}") << u"été"_s;
        QTest::newRow("uc0 keeps what follows") << QByteArray("{\\rtf1\\uc0\\u233 e}") << u"ée"_s;
        QTest::newRow("brace ends the skip") << QByteArray("{\\rtf1{\\uc2\\u8217 X}Y}") << u"’Y"_s;
        QTest::newRow("uc2 skips two") << QByteArray("{\\rtf1\\uc2\\u8220\\'93\\'94Hello}") << u"“Hello"_s;
        QTest::newRow("uc scoped by group") << QByteArray("{\\rtf1{\\uc0\\u233 }\\u233 xy}")
                                            << u"éé"
                                               "y"_s;
        QTest::newRow("skip counts a control word") << QByteArray("{\\rtf1\\u233\\tab x}") << u"éx"_s;
        QTest::newRow("negative values") << QByteArray("{\\rtf1\\u-3913?}") << QString(QChar(0xF0B7));
        QTest::newRow("delimiter not counted") << QByteArray("{\\rtf1\\uc1\\u160 ?c}") << u"\u00A0c"_s;
        QTest::newRow("surrogates, signed") << QByteArray("{\\rtf1\\u-10179?\\u-8704?}") << u"😀"_s;
        QTest::newRow("surrogates, unsigned") << QByteArray("{\\rtf1\\uc0\\u55357 \\u56832 }") << u"😀"_s;
        QTest::newRow("lone high half") << QByteArray("{\\rtf1\\uc0\\u55357 x}") << u"\uFFFDx"_s;
        QTest::newRow("lone low half") << QByteArray("{\\rtf1\\uc0 a\\u56832 b}") << u"a\uFFFDb"_s;
        QTest::newRow("mismatched halves") << QByteArray("{\\rtf1\\uc0\\u-9216\\u-10240 z}") << u"\uFFFD\uFFFDz"_s;
    }
    void unicode_fallbackSkipping()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QCOMPARE(textOf(rtf), text);
    }

    void codePages_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("1252 is not Latin-1")
            << QByteArray("{\\rtf1\\ansi\\ansicpg1252 \\'92\\'9c\\'80\\'85\\'e9}") << u"’œ€…é"_s;
        QTest::newRow("font charset 238")
            << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset238 Arial CE;}}\\f0 za\\'bf\\'f3\\'b3\\'e6}")
            << u"zażółć"_s;
        QTest::newRow("ansicpg1251") << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2}")
                                     << u"Привет"_s;
        QTest::newRow("mac roman") << QByteArray("{\\rtf1\\mac \\'8e\\'8f\\'d2}") << u"éè“"_s;
        QTest::newRow("pc 437") << QByteArray("{\\rtf1\\pc \\'82\\'85}") << u"éà"_s;
        QTest::newRow("raw 8-bit bytes") << QByteArray("{\\rtf1\\ansi caf\xe9}") << u"café"_s;
        QTest::newRow("utf-8") << QByteArray("{\\rtf1\\ansi\\ansicpg65001 \\'c3\\'a9t\\'c3\\'a9}") << u"été"_s;
        QTest::newRow("shift-jis pair") << QByteArray(
                                               "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset128 MS Mincho;}}\\f0\\'82\\'a0}")
                                        << u"あ"_s;
        QTest::newRow("font name in its charset")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset204 \\'c0\\'f0;}}\\f0 x}") << u"x"_s;
    }
    void codePages()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QCOMPARE(textOf(rtf), text);
    }

    void doubleByte_fontSwitchFlushesTheBytes()
    {
        const QString text = textOf("{\\rtf1{\\fonttbl{\\f0\\fcharset128 A;}{\\f1\\fcharset0 B;}}\\f0\\'82\\f1\\'a0}");
        QVERIFY(!text.contains(u"あ"_s));
        QVERIFY(text.endsWith(QChar(0xA0))); // the second byte, in the second font's code page
    }

    void fontNameDecodesInFontCharset()
    {
        const auto r = read("{\\rtf1{\\fonttbl{\\f0\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}\\f0 x}");
        QCOMPARE(formatAt(r->document, 0).fontFamilies().toStringList().value(0), u"宋体"_s);
    }

    void paragraphs_breaksAndTheFinalPar()
    {
        QCOMPARE(textOf("{\\rtf1 a\\par b\\par}"), u"a\nb"_s);
        QCOMPARE(textOf("{\\rtf1 a\\par b}"), u"a\nb"_s); // last character before } survives
        QCOMPARE(textOf("{\\rtf1 a\\par\\par b\\par}"), u"a\n\nb"_s);
        QCOMPARE(textOf("{\\rtf1 a\\\nb\\\r\nc}"), u"a\nb\nc"_s); // backslash + line end = \par
        QCOMPARE(textOf("{\\rtf1 a\\line b\\par}"), u"a\u2028b"_s);
        const auto r = read("{\\rtf1 a\\page b\\par}");
        QCOMPARE(r->text(), u"a\nb"_s);
        QVERIFY(r->document.lastBlock().blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore);
        QCOMPARE(textOf("{\\rtf1 a\r\nb\tc}"), u"ab\tc"_s); // CR/LF are nothing, a TAB byte is a tab
    }

    void text_withoutFontTableOrCharset()
    {
        QCOMPARE(textOf("{\\rtf1 Hello {\\b world}}"), u"Hello world"_s);
        QCOMPARE(textOf("{\\rtf0 Bonjour}"), u"Bonjour"_s);
    }

    void destinations_unknownAndIgnored()
    {
        QCOMPARE(textOf("{\\rtf1 a{\\*\\foo {nested} text}b}"), u"ab"_s);
        QCOMPARE(textOf("{\\rtf1 a\\foo b}"), u"ab"_s);
        QCOMPARE(textOf("{\\rtf1 a{\\foo kept}b}"), u"akeptb"_s);
        QCOMPARE(textOf("{\\rtf1 {\\*\\htmltag84 <p>}Hello{\\*\\htmltag92 </p>}\\htmlrtf x\\htmlrtf0 }"), u"Hellox"_s);
        QCOMPARE(textOf("{\\rtf1{\\*\\themedata 4142\\bin3 }}}}x}"), u"x"_s);
    }

    void headersFootersAndNotes_neverLeakIntoTheBody()
    {
        const QString text = textOf("{\\rtf1{\\header En-tête}{\\footer Pied}Corps{\\footnote Note}"
                                    "{\\*\\annotation Remarque} suite{\\*\\atnauthor Moi}}");
        QCOMPARE(text, u"Corps suite"_s);
    }

    void bin_insidePictureIsData()
    {
        const auto r = read("{\\rtf1 a{\\pict\\wmetafile8\\picw100\\pich100\\bin5 }{\\\\x}b}");
        QCOMPARE(r->text(), u"a\uFFFCb"_s);
    }

    void characterFormats_scopeAndPlain()
    {
        const auto r =
            read("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}{\\colortbl;\\red255\\green0\\blue0;}"
                 "a{\\b b}c\\b d\\plain e\\i\\ul\\strike\\cf1\\f1\\fs30\\super f\\nosupersub\\highlight0\\chcbpat0 g}");
        const QTextDocument &d = r->document;
        QCOMPARE(r->text(), u"abcdefg"_s);
        QVERIFY(formatAt(d, 1).fontWeight() == QFont::Bold);
        QVERIFY(formatAt(d, 2).fontWeight() != QFont::Bold); // } ends the group's bold
        QVERIFY(formatAt(d, 3).fontWeight() == QFont::Bold);
        QVERIFY(formatAt(d, 4).fontWeight() != QFont::Bold); // \plain
        const QTextCharFormat f = formatAt(d, 5);
        QVERIFY(f.fontItalic());
        QVERIFY(f.fontUnderline());
        QVERIFY(f.fontStrikeOut());
        QCOMPARE(f.foreground().color(), QColor(255, 0, 0));
        QCOMPARE(f.fontFamilies().toStringList().value(0), u"Courier New"_s);
        QCOMPARE(f.fontPointSize(), 15.0);
        QCOMPARE(f.verticalAlignment(), QTextCharFormat::AlignSuperScript);
        const QTextCharFormat g = formatAt(d, 6);
        QCOMPARE(g.verticalAlignment(), QTextCharFormat::AlignNormal);
        QCOMPARE(g.background().style(), Qt::NoBrush); // 0 is "none", not black
    }

    void paragraphFormats()
    {
        const auto r = read(
            "{\\rtf1\\pard\\qj\\li720\\ri360\\fi-360\\sb120\\sa240\\sl360\\slmult1\\tqr\\tx5000\\keep\\pagebb a\\par"
            "\\fi600 b\\par\\pard c\\par}");
        QTextBlock block = r->document.begin();
        QTextBlockFormat f = block.blockFormat();
        QCOMPARE(f.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
        QCOMPARE(f.leftMargin(), 48.0);
        QCOMPARE(f.rightMargin(), 24.0);
        QCOMPARE(f.textIndent(), -24.0);
        QCOMPARE(f.topMargin(), 8.0);
        QCOMPARE(f.bottomMargin(), 16.0);
        QCOMPARE(f.lineHeightType(), int(QTextBlockFormat::ProportionalHeight));
        QCOMPARE(f.lineHeight(), 150.0);
        QCOMPARE(f.tabPositions().size(), 1);
        QCOMPARE(f.tabPositions().at(0).type, QTextOption::RightTab);
        QVERIFY(f.nonBreakableLines());
        QVERIFY(f.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore);
        block = block.next();
        QCOMPARE(block.blockFormat().textIndent(), 40.0); // set directly: kept
        block = block.next();
        QCOMPARE(block.blockFormat().textIndent(), 0.0); // \pard resets what was inherited
        QCOMPARE(block.blockFormat().leftMargin(), 0.0);
    }

    void lists_wordListTableAndOldForm()
    {
        const QByteArray rtf =
            "{\\rtf1{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc0\\levelstartat1{\\leveltext\\'02\\'"
            "00.;}"
            "{\\levelnumbers\\'01;}\\fi-360\\li720}\\listid7}"
            "{\\list{\\listlevel\\levelnfc0{\\leveltext\\'04\\'00.\\'01.;}\\fi-360\\li720}{\\listlevel\\levelnfc0"
            "{\\leveltext\\'04\\'00.\\'01.;}}\\listid8}}"
            "{\\*\\listoverridetable{\\listoverride\\listid7\\listoverridecount0\\ls1}{\\listoverride\\listid8\\ls2}}"
            "{\\listtext 1.\\tab}\\pard\\ls1\\fi-360\\li720 Un\\par{\\listtext 2.\\tab}Deux\\par"
            "\\pard\\ls2\\ilvl1{\\listtext 1.1.\\tab}Sous\\par"
            "\\pard{\\pntext\\f0\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}Puce\\par}";
        const auto r = read(rtf);
        QTextBlock block = r->document.begin();
        QVERIFY(block.textList());
        QCOMPARE(block.textList()->format().style(), QTextListFormat::ListDecimal);
        QCOMPARE(block.textList()->format().numberSuffix(), u"."_s);
        QCOMPARE(block.text(), u"Un"_s); // the marker text is not kept twice
        QCOMPARE(block.next().textList(), block.textList());
        block = block.next().next();
        // "1.1." cannot be drawn by a list: the marker stays as text.
        QVERIFY(!block.textList());
        QCOMPARE(block.text(), u"1.1.\tSous"_s);
        block = block.next();
        QVERIFY(block.textList());
        QCOMPARE(block.textList()->format().style(), QTextListFormat::ListDisc);
        QCOMPARE(block.text(), u"Puce"_s);
    }

    void tables_rowsCellsMergesAndPictureInB1()
    {
        const QByteArray rtf = "{\\rtf1{\\colortbl;\\red200\\green200\\blue200;}Avant\\par"
                               "\\trowd \\trgaph108 \\clcbpat1\\cellx2000\\cellx4000 \\pard\\intbl A1\\cell B1 "
                               "{\\pict\\pngblip\\picw4\\pich4 " +
                               pngHex(4, 4) +
                               "}\\cell\\row"
                               "\\intbl A2\\cell B2\\cell\\row" // no \trowd, no \pard: same table
                               "\\trowd\\clmgf\\cellx2000\\clmrg\\cellx4000\\intbl Fusion\\cell\\cell\\row"
                               "\\pard Apr\\'e8s\\par}";
        const auto r = read(rtf);
        QTextFrame *root = r->document.rootFrame();
        QTextTable *table = nullptr;
        for (QTextFrame *child : root->childFrames())
            table = qobject_cast<QTextTable *>(child);
        QVERIFY(table);
        QCOMPARE(table->rows(), 3);
        QCOMPARE(table->columns(), 2);
        const auto cellText = [table](int row, int column) {
            QTextCursor c = table->cellAt(row, column).firstCursorPosition();
            c.setPosition(table->cellAt(row, column).lastCursorPosition().position(), QTextCursor::KeepAnchor);
            return c.selectedText();
        };
        QCOMPARE(cellText(0, 0), u"A1"_s);
        QCOMPARE(cellText(0, 1), u"B1 \uFFFC"_s); // the picture is in B1, not A1
        QCOMPARE(cellText(1, 1), u"B2"_s);
        QCOMPARE(table->cellAt(2, 0).columnSpan(), 2);
        QCOMPARE(table->cellAt(0, 0).format().background().color(), QColor(200, 200, 200));
        QVERIFY(r->document.toPlainText().startsWith(u"Avant\n"_s));
        QVERIFY(r->document.toPlainText().endsWith(u"\nAprès"_s));
        QCOMPARE(table->format().columnWidthConstraints().size(), 2);
    }

    void tables_parBeforeCellEndsAParagraph()
    {
        // "a\par\cell" holds two paragraphs, the second empty, as the writer writes them.
        const auto r = read("{\\rtf1\\trowd\\cellx2000\\pard\\intbl a\\par\\cell\\row\\pard b\\par}");
        QTextTable *table = qobject_cast<QTextTable *>(r->document.rootFrame()->childFrames().value(0));
        QVERIFY(table);
        const QTextTableCell cell = table->cellAt(0, 0);
        QCOMPARE(cell.lastCursorPosition().block().blockNumber() - cell.firstCursorPosition().block().blockNumber(), 1);
        QTextDocument back;
        RtfReader(&back).read(RichText::writeRtf(&r->document));
        QCOMPARE(back.toPlainText(), r->document.toPlainText());
    }

    void tables_nested()
    {
        const QByteArray rtf =
            "{\\rtf1\\trowd\\cellx3000\\cellx6000\\pard\\intbl Out1\\cell"
            "\\pard\\intbl\\itap2 In1\\nestcell "
            "In2\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2000\\nestrow}"
            "{\\nonesttables\\par}\\pard\\intbl\\itap1 Out2\\cell\\trowd\\cellx3000\\cellx6000\\row\\pard Fin\\par}";
        const auto r = read(rtf);
        QTextTable *outer = qobject_cast<QTextTable *>(r->document.rootFrame()->childFrames().value(0));
        QVERIFY(outer);
        QCOMPARE(outer->columns(), 2);
        QTextTableCell cell = outer->cellAt(0, 1);
        QTextTable *inner = nullptr;
        for (auto it = cell.begin(); !it.atEnd(); ++it)
            if (auto *t = qobject_cast<QTextTable *>(it.currentFrame()))
                inner = t;
        QVERIFY(inner);
        QCOMPARE(inner->columns(), 2);
        QVERIFY(r->text().contains(u"In1"_s));
        QVERIFY(r->text().contains(u"Out2"_s));
        QVERIFY(r->text().endsWith(u"Fin"_s));
    }

    void pictures_pngShownMetafileKept()
    {
        const QByteArray rtf =
            "{\\rtf1{\\*\\shppict{\\pict\\pngblip\\picw10\\pich5\\picwgoal1500\\pichgoal750 " + pngHex(10, 5) +
            "}}{\\nonshppict{\\pict\\wmetafile8 0102}}|{\\pict\\wmetafile8\\picw2540\\pich1270 01020304}}";
        const auto r = read(rtf);
        QCOMPARE(r->text(), u"\uFFFC|\uFFFC"_s); // the metafile twin of the PNG is not shown twice
        const QTextImageFormat png = formatAt(r->document, 0).toImageFormat();
        QCOMPARE(png.width(), 100.0);
        QCOMPARE(png.height(), 50.0);
        const QImage image = r->document.resource(QTextDocument::ImageResource, QUrl(png.name())).value<QImage>();
        QCOMPARE(image.size(), QSize(10, 5));
        const QTextImageFormat wmf = formatAt(r->document, 2).toImageFormat();
        QCOMPARE(wmf.property(RichText::OriginalPictureData).toByteArray(), QByteArray("\x01\x02\x03\x04"));
        QCOMPARE(wmf.property(RichText::OriginalPictureKind).toByteArray(), QByteArray("wmetafile8"));
        QCOMPARE(qRound(wmf.width()), 96); // 2.54 cm = one inch
    }

    void fields_hyperlinkResultShown()
    {
        const auto r =
            read("{\\rtf1 Voir {\\field{\\*\\fldinst{HYPERLINK \"https://exemple.fr/a\"}}{\\fldrslt{\\ul le site}}}."
                 " {\\field{\\*\\fldinst PAGE}{\\fldrslt 3}} {\\field{\\*\\fldinst HYPERLINK https://b.fr \\\\l "
                 "\"x\"}{\\fldrslt B}}}");
        QCOMPARE(r->text(), u"Voir le site. 3 B"_s);
        const QTextCharFormat link = formatAt(r->document, 5);
        QVERIFY(link.isAnchor());
        QCOMPARE(link.anchorHref(), u"https://exemple.fr/a"_s);
        QVERIFY(!formatAt(r->document, 14).isAnchor());
        QCOMPARE(formatAt(r->document, 16).anchorHref(), u"https://b.fr#x"_s);
    }

    void pageLayout_storedOnTheDocument()
    {
        const auto r = read("{\\rtf1\\paperw12240\\paperh15840\\margl1800\\margr1800\\margt1440\\margb1440 x}");
        QVERIFY(PageLayout::isStoredOn(&r->document));
        const PageLayout page = PageLayout::fromDocument(&r->document);
        QCOMPARE(page.paperWidth, 12240);
        QCOMPARE(page.marginLeft, 1800);
        const auto none = read("{\\rtf1 x}");
        QVERIFY(!PageLayout::isStoredOn(&none->document));
        QCOMPARE(PageLayout::fromDocument(&none->document).paperWidth, 11906); // A4
    }

    void malformed_readWhatCanBeRead()
    {
        QCOMPARE(textOf("{\\rtf1 Bonjour {\\b le monde"), u"Bonjour le monde"_s); // unclosed groups
        QCOMPARE(textOf("{\\rtf1 a}}} trailing"), u"a"_s);
        QCOMPARE(textOf("{\\rtf1 a}\0\0\0"), u"a"_s);
        QCOMPARE(textOf("\xEF\xBB\xBF  {\\rtf1 a}"), u"a"_s);
        QCOMPARE(textOf("{\\rtf1 \\"), QString());
        const auto bad = read("Bonjour");
        QVERIFY(!bad->result.ok);
        QCOMPARE(bad->result.error, u"Ce fichier n'est pas un document RTF."_s);
        // A list paragraph in nested tables that the end of the file closes: its list, which Qt
        // deleted when the paragraph was formatted again, is not used again.
        QVERIFY(textOf("{\\rtf1\\ansi {\\itap2x\\pn\\pnlvlblt").contains(u"x"_s));
        // Control characters and Qt's own structure characters never reach the document.
        QCOMPARE(textOf("{\\rtf1 a\\u64976?\\u65532?\\u8233?\\'01b}"), u"a\uFFFD\uFFFD\u2028b"_s);
    }

    void limits_deepNesting()
    {
        QByteArray rtf = "{\\rtf1 ";
        rtf += QByteArray(200000, '{');
        rtf += "profond";
        rtf += QByteArray(200000, '}');
        rtf += " fin}";
        const auto r = read(rtf);
        QVERIFY(r->text().contains(u"profond"_s));
        QVERIFY(r->text().endsWith(u" fin"_s)); // the braces stay balanced past the limit
        QVERIFY(!r->result.warnings.isEmpty());
    }

    void limits_hugeBinAndIndexes()
    {
        const QByteArray bin = "{\\rtf1{\\pict\\bin2147483647 ab}}x}";
        QVERIFY(bin.size() < 40);
        const auto r = read(bin);
        QVERIFY(r->result.ok || !r->result.error.isEmpty());
        const auto f = read("{\\rtf1{\\fonttbl{\\f2000000000 A;}}{\\colortbl;}\\f2000000000\\cf2000000000\\highlight-5"
                            "\\ls2000000000\\ilvl99\\fs2000000000\\uc2000000000\\uc1\\u2000000000 ?ok}");
        QVERIFY(f->text().endsWith(u"ok"_s));
        QCOMPARE(formatAt(f->document, f->text().size() - 1).fontFamilies().toStringList().value(0), u"A"_s);
    }

    void limits_outputAndInputSize()
    {
        RtfReader::Limits limits;
        limits.maxOutputCharacters = 1000;
        QTextDocument document;
        RtfReader reader(&document);
        reader.setLimits(limits);
        const RtfReader::Result result = reader.read("{\\rtf1 " + QByteArray(5000, 'a') + "}");
        QVERIFY(!result.ok);
        QVERIFY(result.error.contains(u"trop de texte"_s));
        limits.maxInputBytes = 10;
        reader.setLimits(limits);
        QVERIFY(!reader.read("{\\rtf1 0123456789}").ok);
    }
};

QUILLO_TEST_MAIN(TestRtfReader)
#include "tst_RtfReader.moc"
