#include "TestSupport.h"

#include "richtext/RichCase.h"
#include "richtext/RichText.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace Qt::StringLiterals;

class TestRichCase : public QObject
{
    Q_OBJECT

private:
    static QTextCharFormat formatAt(QTextDocument &document, int position)
    {
        QTextCursor cursor(&document);
        cursor.setPosition(position + 1);
        return cursor.charFormat();
    }

private slots:
    void upper_frenchLettersAndFormatsKept()
    {
        QTextDocument document;
        RichText::readRtf(
            "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\u233\\'e9t\\u233\\'e9 {\\b\\cf1 \\u339\\'9cuvre} "
            "{\\field{\\*\\fldinst HYPERLINK \"https://a.fr\"}{\\fldrslt \\u231\\'e7a}} 42 \\u223\\'df}",
            &document);
        const QLocale french(QLocale::French, QLocale::France);
        RichCase::toUpper(&document, 0, document.characterCount() - 1, french);
        QCOMPARE(document.toPlainText(), u"ÉTÉ ŒUVRE ÇA 42 SS"_s);
        const QTextCharFormat bold = formatAt(document, 5);
        QCOMPARE(bold.fontWeight(), int(QFont::Bold));
        QCOMPARE(bold.foreground().color(), QColor(255, 0, 0));
        QCOMPARE(formatAt(document, 11).anchorHref(), u"https://a.fr"_s);
        QVERIFY(formatAt(document, 3).fontWeight() != QFont::Bold);
    }

    void lower_onlyTheRange()
    {
        QTextDocument document(u"BONJOUR MADAME"_s);
        const int changed = RichCase::toLower(&document, 8, 14, QLocale(QLocale::French));
        QCOMPARE(changed, 6);
        QCOMPARE(document.toPlainText(), u"BONJOUR madame"_s);
        RichCase::toLower(&document, 3, 0); // any order
        QCOMPARE(document.toPlainText(), u"bonJOUR madame"_s);
    }

    void picturesAndTablesStayInPlace()
    {
        QTextDocument document;
        QTextCursor cursor(&document);
        cursor.insertText(u"avant "_s);
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::blue);
        document.addResource(QTextDocument::ImageResource, QUrl(u"img:1"_s), image);
        QTextImageFormat picture;
        picture.setName(u"img:1"_s);
        cursor.insertImage(picture);
        cursor.insertText(u" après"_s);
        cursor.insertTable(1, 2);
        cursor.insertText(u"cellule"_s);
        RichCase::toUpper(&document, 0, document.characterCount() - 1);
        QCOMPARE(document.toPlainText(), u"AVANT \uFFFC APRÈS\nCELLULE\n\n"_s);
        QVERIFY(formatAt(document, 6).isImageFormat());
    }
};

QUILLO_TEST_MAIN(TestRichCase)
#include "tst_RichCase.moc"
