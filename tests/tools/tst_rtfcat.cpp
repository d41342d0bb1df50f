// rtfcat, the RTF engine on the command line: its plain text holds only text.
#include "TestSupport.h"

#include <QBuffer>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

// A small picture as RTF writes it: PNG bytes in hexadecimal.
QByteArray picture()
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return "{\\pict\\pngblip\\picw8\\pich8 " + png.toHex() + "}";
}

QString rtfcatText(const QString &path)
{
    QProcess rtfcat;
    rtfcat.start(QStringLiteral(RTFCAT), {u"text"_s, path});
    if (!rtfcat.waitForFinished(60000) || rtfcat.exitCode() != 0)
        return u"(rtfcat a échoué)"_s;
    return QString::fromUtf8(rtfcat.readAllStandardOutput());
}

} // namespace

class TestRtfcat : public QObject
{
    Q_OBJECT

private slots:
    void text_leavesPicturesAndObjectsOut_data()
    {
        QTest::addColumn<QString>("file"); // empty: a letter made here
        QTest::addColumn<QString>("expected");
        QTest::newRow("image dans le texte et dans un tableau")
            << QString() << u"Avant  Après\nA1\n\nFin\n"_s; // the spaces around the picture stay
        for (const char *name : {"libreoffice-6.0-sample-images.rtf", "wordpad-win10-ole-object.rtf",
                                 "word-2010-embedded-ole-objects.rtf"})
            QTest::newRow(name) << QString::fromLatin1(name) << QString();
    }

    void text_leavesPicturesAndObjectsOut()
    {
        QFETCH(QString, file);
        QFETCH(QString, expected);
        QTemporaryDir folder;
        QString path = folder.filePath(u"lettre.rtf"_s);
        if (file.isEmpty()) {
            QuilloTest::writeBytes(path, "{\\rtf1\\ansi\\ansicpg1252 Avant " + picture() +
                                             " Apr\\'e8s\\par"
                                             "\\trowd\\cellx2000\\cellx4000\\intbl A1\\cell\\intbl " +
                                             picture() + "\\cell\\row\\pard Fin\\par}");
        } else {
            path = QStringLiteral(QUILLO_SHARED_DIR) + u"/rtf-corpus/"_s + file;
            if (!QFile::exists(path))
                QSKIP("the shared RTF files are not beside the clone");
        }
        const QString text = rtfcatText(path);
        QVERIFY2(!text.contains(QChar::ObjectReplacementCharacter), qPrintable(text.left(300)));
        QVERIFY(!text.startsWith(u"(rtfcat"_s));
        if (!expected.isEmpty())
            QCOMPARE(text, expected);
    }
};

QUILLO_TEST_MAIN(TestRtfcat)
#include "tst_rtfcat.moc"
