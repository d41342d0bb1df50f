#include "TestSupport.h"

#include "richtext/RichClipboard.h"
#include "richtext/RichText.h"

#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>

using namespace Qt::StringLiterals;

class TestRichClipboard : public QObject
{
    Q_OBJECT

private slots:
    void copy_putsRtfUnderEveryNameAndPlainText()
    {
        QTextDocument document;
        RichText::readRtf("{\\rtf1 Cher {\\b Monsieur}, \\u233\\'e9t\\u233 .\\par Suite}", &document);
        QMimeData mime;
        RichClipboard::setRange(&mime, &document, 5, 13); // "Monsieur"
        for (const QString &type : RichClipboard::rtfMimeTypes())
            QVERIFY2(RichText::looksLikeRtf(mime.data(type)), qPrintable(type));
        QCOMPARE(mime.text(), u"Monsieur"_s);
        QTextDocument back;
        QVERIFY(RichText::readRtf(mime.data(u"text/rtf"_s), &back).ok);
        QCOMPARE(back.toPlainText(), u"Monsieur"_s);
        QTextCursor cursor(&back);
        cursor.setPosition(1);
        QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Bold));
    }

    void paste_prefersRtfThenText()
    {
        QTextDocument document(u"[]"_s);
        QTextCursor cursor(&document);
        cursor.setPosition(1);

        QMimeData rtf;
        RichClipboard::setRtf(&rtf, "{\\rtf1 {\\i italique}}", u"texte"_s);
        rtf.setHtml(u"<b>html</b>"_s);
        QVERIFY(RichClipboard::insert(&rtf, cursor));
        QCOMPARE(document.toPlainText(), u"[italique]"_s);
        QTextCursor probe(&document);
        probe.setPosition(3);
        QVERIFY(probe.charFormat().fontItalic());

        QMimeData text;
        text.setHtml(u"<b>gras</b>"_s);
        text.setText(u" fin"_s);
        QVERIFY(RichClipboard::insert(&text, cursor));
        QCOMPARE(document.toPlainText(), u"[italique fin]"_s);

        QMimeData htmlOnly;
        htmlOnly.setHtml(u"<b>gras</b>"_s);
        QVERIFY(!RichClipboard::canInsert(&htmlOnly));
        QVERIFY(!RichClipboard::insert(&htmlOnly, cursor));
    }

    void paste_windowsName_andBadRtfFallsBackToText()
    {
        QMimeData windows;
        windows.setData(u"application/x-qt-windows-mime;value=\"Rich Text Format\""_s, "{\\rtf1 Windows}");
        QVERIFY(RichClipboard::hasRichText(&windows));
        QMimeData bogus;
        bogus.setData(u"text/rtf"_s, "pas du RTF");
        bogus.setText(u"texte"_s);
        QVERIFY(!RichClipboard::hasRichText(&bogus));
        QTextDocument document;
        QTextCursor cursor(&document);
        QVERIFY(RichClipboard::insert(&bogus, cursor));
        QCOMPARE(document.toPlainText(), u"texte"_s);
    }

    void paste_picturesKeepTheirImage()
    {
        QImage image(3, 2, QImage::Format_RGB32);
        image.fill(Qt::green);
        QTextDocument source;
        source.addResource(QTextDocument::ImageResource, QUrl(u"img:x"_s), image);
        QTextCursor sourceCursor(&source);
        QTextImageFormat picture;
        picture.setName(u"img:x"_s);
        sourceCursor.insertImage(picture);
        QMimeData mime;
        RichClipboard::setRange(&mime, &source, 0, 1);
        QTextDocument target;
        QTextCursor cursor(&target);
        QVERIFY(RichClipboard::insert(&mime, cursor));
        QTextCursor probe(&target);
        probe.setPosition(1);
        const QString name = probe.charFormat().toImageFormat().name();
        QCOMPARE(target.resource(QTextDocument::ImageResource, QUrl(name)).value<QImage>().size(), QSize(3, 2));
    }
};

QUILLO_TEST_MAIN(TestRichClipboard)
#include "tst_RichClipboard.moc"
