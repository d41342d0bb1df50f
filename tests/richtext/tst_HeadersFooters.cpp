// Headers and footers as the common word processors write them: read beside the letter's text,
// never into it, shown on the pages they belong to, written back and read again the same; and
// the page fields they carry.
#include "TestSupport.h"

#include "RoundTrip.h"
#include "richtext/HeadersFooters.h"
#include "richtext/RichText.h"

#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace {

// The office suite's own export of a letterhead template (trimmed of its style and page tables):
// the first-page flag after the groups, the fields' instructions in spaces.
const QByteArray kOfficeLetterhead = R"({\rtf1\ansi\ansicpg1252\deff0
{\fonttbl{\f5\fswiss\fprq2\fcharset0 Arial;}}
{\colortbl;\red0\green0\blue0;\red31\green73\blue125;}
\paperh16838\paperw11906\margl1418\margr1134\margt567\margb567\sectd\sbknone\pgndec\marglsxn1418\margrsxn1134\margtsxn1134\headery567\margbsxn1134\footery567{\header\pard\plain \s0\qr\ltrpar{\hich\af5\loch\fs16\i\f5\loch
Suite de la lettre}
\par }{\footer\pard\plain \s0\qc\ltrpar{\hich\af5\loch\fs16\f5\loch
Page }{\hich\af5\af5\loch\fs16\f5\f5\loch
{\field{\*\fldinst  PAGE }{\fldrslt 2}}}{\hich\af5\loch\fs16\f5\loch
 sur }{\hich\af5\af5\loch\fs16\f5\f5\loch
{\field{\*\fldinst  NUMPAGES }{\fldrslt 2}}}
\par }\titlepg\titlepg{\headerf\pard\plain \s0\qc\ltrpar{\hich\af5\loch\cf2\fs28\b\f5\loch
Cabinet Durand}
\par }\titlepg{\footerf\pard\plain \s0\qc\ltrpar{\hich\af5\loch\fs16\f5\loch
Page }{\hich\af5\af5\loch\fs16\f5\f5\loch
{\field{\*\fldinst  PAGE }{\fldrslt 1}}}
\par }\pgndec\pard\plain \s0\ql\ltrpar{\hich\af5\loch\fs22\f5\loch
Corps de la lettre.}
\par }
)";

QByteArray sourceBytes(const QString &file)
{
    if (file.isEmpty())
        return kOfficeLetterhead;
    return QuilloTest::readBytes(QStringLiteral(QUILLO_SHARED_DIR) + u"/rtf-corpus/"_s + file);
}

// Its flags, then its kinds: "titlepg header footer".
QString layoutOf(const HeadersFooters *decorations)
{
    QStringList kinds{decorations->titlePage() ? u"titlepg"_s : QString(),
                      decorations->facingPages() ? u"facingp"_s : QString()};
    kinds.removeAll(QString());
    for (const HeadersFooters::Kind kind : HeadersFooters::kKinds) {
        if (decorations->part(kind))
            kinds << QString::fromLatin1(HeadersFooters::controlWord(kind));
    }
    return kinds.join(u' ');
}

// What page number shows: "headerf footerf", "" for a bare page.
QString shownOn(const HeadersFooters *decorations, int page)
{
    QStringList kinds;
    HeadersFooters::Kind kind;
    for (const bool header : {true, false}) {
        if (decorations->kindOn(header, page, &kind))
            kinds << QString::fromLatin1(HeadersFooters::controlWord(kind));
    }
    return kinds.join(u' ');
}

} // namespace

class TestHeadersFooters : public QObject
{
    Q_OBJECT

private slots:
    void read_besideTheText_writtenBackTheSame_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QStringList>("pages"); // what pages 1, 2 and 3 show
        QTest::addColumn<int>("fields");
        QTest::addColumn<int>("pictures");
        QTest::newRow("Word, Mac: every kind")
            << u"word-mac2003-headers-footers.rtf"_s
            << u"titlepg facingp headerl headerr headerf footerl footerr footerf"_s
            << QStringList{u"headerf footerf"_s, u"headerl footerl"_s, u"headerr footerr"_s} << 0 << 0;
        QTest::newRow("Word: first page, page number")
            << u"word-2003-russian-lists-fields.rtf"_s << u"titlepg headerf footerr footerf"_s
            << QStringList{u"headerf footerf"_s, u"footerr"_s, u"footerr"_s} << 1 << 0;
        QTest::newRow("Word: main kind on the right")
            << u"word-2007-various.rtf"_s << u"headerr footerr"_s
            << QStringList{u"headerr footerr"_s, u"headerr footerr"_s, u"headerr footerr"_s} << 0 << 0;
        QTest::newRow("AbiWord: logo, bare first page")
            << u"abiword-guadec-long-png.rtf"_s << u"titlepg facingp headerl headerr footerl footerr"_s
            << QStringList{QString(), u"headerl footerl"_s, u"headerr footerr"_s} << 2 << 4;
        QTest::newRow("LibreOffice: letterhead")
            << QString() << u"titlepg header headerf footer footerf"_s
            << QStringList{u"headerf footerf"_s, u"header footer"_s, u"header footer"_s} << 3 << 0;
    }
    void read_besideTheText_writtenBackTheSame()
    {
        QFETCH(QString, file);
        QFETCH(QString, layout);
        QFETCH(QStringList, pages);
        QFETCH(int, fields);
        QFETCH(int, pictures);
        const QByteArray rtf = sourceBytes(file);
        if (rtf.isEmpty())
            QSKIP("the shared RTF files are not beside the clone");
        QTextDocument letter;
        QVERIFY(RichText::readRtf(rtf, &letter).ok);
        const HeadersFooters *decorations = HeadersFooters::of(&letter);
        QVERIFY(decorations);
        QCOMPARE(layoutOf(decorations), layout);
        QCOMPARE((QStringList{shownOn(decorations, 1), shownOn(decorations, 2), shownOn(decorations, 3)}), pages);
        int fieldCount = 0;
        int pictureCount = 0;
        const QString body = letter.toPlainText();
        for (const HeadersFooters::Kind kind : HeadersFooters::kKinds) {
            const QTextDocument *part = decorations->part(kind);
            if (!part)
                continue;
            // Their text stays out of the letter's.
            for (const QString &line : part->toPlainText().split(u'\n')) {
                if (line.trimmed().size() > 3)
                    QVERIFY2(!body.contains(line.trimmed()), qPrintable(line));
            }
            for (const QString &item : RoundTrip::picturesAndFields(*part))
                ++(RichText::isPageField(item) ? fieldCount : pictureCount);
        }
        QCOMPARE((QList<int>{fieldCount, pictureCount}), (QList<int>{fields, pictures}));

        // Written, read again: the same; written again: the same bytes.
        const QByteArray written = RichText::writeRtf(&letter);
        QTextDocument back;
        QVERIFY(RichText::readRtf(written, &back).ok);
        QCOMPARE(RoundTrip::compareDecorations(letter, back), QString());
        QCOMPARE(RoundTrip::compare(letter, back), QString());
        QCOMPARE(RichText::writeRtf(&back), written);
    }

    void pageFields_data()
    {
        QTest::addColumn<QString>("instruction");
        QTest::addColumn<bool>("pageField");
        QTest::addColumn<QString>("text"); // on page 2 of 3, on 6 December 2026
        QTest::newRow("page") << u" PAGE "_s << true << u"2"_s;
        QTest::newRow("pages, switch") << u"NUMPAGES \\* MERGEFORMAT"_s << true << u"3"_s;
        QTest::newRow("date, French picture") << u"DATE \\@ \"d MMMM yyyy\""_s << true << u"6 décembre 2026"_s;
        QTest::newRow("date, no picture") << u"DATE"_s << true << u"06/12/2026"_s;
        QTest::newRow("reference to a page") << u"PAGEREF _Toc1 \\h"_s << false << QString();
        QTest::newRow("link") << u"HYPERLINK \"https://exemple.fr\""_s << false << QString();
    }
    void pageFields()
    {
        QFETCH(QString, instruction);
        QFETCH(bool, pageField);
        QFETCH(QString, text);
        const QDateTime moment(QDate(2026, 12, 6), QTime(14, 5));
        QCOMPARE(RichText::isPageField(instruction), pageField);
        QCOMPARE(RichText::pageFieldText(instruction, 2, 3, moment), text);
    }

    void readingAnotherDocument_dropsTheFormerOnes()
    {
        QTextDocument letter;
        QVERIFY(RichText::readRtf(kOfficeLetterhead, &letter).ok);
        QVERIFY(HeadersFooters::hasHeader(&letter) && HeadersFooters::hasFooter(&letter));
        QVERIFY(RichText::readRtf("{\\rtf1 Autre lettre.\\par}", &letter).ok);
        QVERIFY(!HeadersFooters::of(&letter));
        // A header word that does not open its group opens nothing: the text after it stays.
        QVERIFY(RichText::readRtf("{\\rtf1 Avant {\\b gras \\header suite} fin.\\par}", &letter).ok);
        QCOMPARE(letter.toPlainText(), u"Avant gras suite fin."_s);
        QVERIFY(!HeadersFooters::of(&letter));
    }
};

QUILLO_TEST_MAIN(TestHeadersFooters)
#include "tst_HeadersFooters.moc"
