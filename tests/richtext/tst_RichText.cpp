#include "TestSupport.h"

#include "RoundTrip.h"
#include "richtext/RichText.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextFrame>

using namespace Qt::StringLiterals;

namespace {

QString corpusDir()
{
    return QStringLiteral(QUILLO_SHARED_DIR) + u"/rtf-corpus"_s;
}

// Words of a text export, list markers and pictures aside.
QStringList words(QString text)
{
    static const QRegularExpression marker(
        u"^(?:[\u2022\u25e6\u25aa\u25cf\u25cb\u25a0\u2013\u2212\u27a2\u2714\u00b7o*-]|[\uf000-\uf0ff]|\\(?(?:[0-9]+(?:\\.[0-9]+)*|[a-zA-Z]|[ivxlcdmIVXLCDM]+)[.)]?)$"_s);
    text.remove(QChar(0xFEFF));
    text.remove(QChar(0xFFFC));
    text.remove(QChar(0x00AD));
    text.replace(QChar(0x00A0), u' ');
    text.replace(QChar(0x2028), u' ');
    QStringList out;
    for (const QString &line : text.split(u'\n')) {
        QStringList lineWords = line.split(
            QRegularExpression(u"\\s+"_s, QRegularExpression::UseUnicodePropertiesOption), Qt::SkipEmptyParts);
        while (lineWords.size() > 1 && marker.match(lineWords.constFirst()).hasMatch())
            lineWords.removeFirst();
        out += lineWords;
    }
    return out;
}

// The number of words of either side left unmatched by an in-order alignment that resynchronises
// within a window; list markers and footnote numbers that only one side shows are not counted.
int unmatchedWords(const QStringList &ours, const QStringList &theirs)
{
    static const QRegularExpression ignorable(u"^(?:[0-9]{1,3}|[\u2022\u25e6\u25aa\u00b7o]|[a-zA-Z]?[.)])$"_s);
    int unmatched = 0;
    qsizetype i = 0, j = 0;
    constexpr qsizetype window = 60;
    while (i < ours.size() && j < theirs.size()) {
        if (ours[i] == theirs[j]) {
            ++i;
            ++j;
            continue;
        }
        qsizetype bestI = -1, bestJ = -1;
        for (qsizetype d = 1; d <= window && bestI < 0; ++d) {
            for (qsizetype a = 0; a <= d; ++a) {
                const qsizetype ii = i + a, jj = j + (d - a);
                if (ii < ours.size() && jj < theirs.size() && ours[ii] == theirs[jj] &&
                    (ii + 1 >= ours.size() || jj + 1 >= theirs.size() || ours[ii + 1] == theirs[jj + 1])) {
                    bestI = ii;
                    bestJ = jj;
                    break;
                }
            }
        }
        if (bestI < 0) {
            ++unmatched;
            ++i;
            ++j;
            continue;
        }
        for (qsizetype k = i; k < bestI; ++k)
            unmatched += ignorable.match(ours[k]).hasMatch() ? 0 : 1;
        for (qsizetype k = j; k < bestJ; ++k)
            unmatched += ignorable.match(theirs[k]).hasMatch() ? 0 : 1;
        i = bestI;
        j = bestJ;
    }
    unmatched += int(ours.size() - i + theirs.size() - j);
    return unmatched;
}

// One line per paragraph and per table cell, like the text export of word processors.
void appendText(const QTextFrame *frame, QString &out)
{
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (const QTextFrame *child = it.currentFrame())
            appendText(child, out);
        else
            out += it.currentBlock().text() + u'\n';
    }
}

QStringList corpusFiles()
{
    return QDir(corpusDir()).entryList({u"*.rtf"_s}, QDir::Files, QDir::Name);
}

} // namespace

class TestRichText : public QObject
{
    Q_OBJECT

private slots:
    void looksLikeRtf()
    {
        QVERIFY(RichText::looksLikeRtf("{\\rtf1\\ansi x}"));
        QVERIFY(RichText::looksLikeRtf("\xEF\xBB\xBF\r\n {\\rtf0 x}"));
        QVERIFY(!RichText::looksLikeRtf("/{\\rtf1 x}"));
        QVERIFY(!RichText::looksLikeRtf("<html>"));
        QVERIFY(!RichText::looksLikeRtf(""));
    }

    void load_failuresAreFrenchAndLoseNothing()
    {
        QTemporaryDir dir;
        QTextDocument document(u"texte en cours"_s);
        QString error;
        QVERIFY(!RichText::loadRtfFile(dir.filePath(u"absent.rtf"_s), &document, &error));
        QVERIFY(error.contains(u"introuvable"_s));
        const QString notRtf = dir.filePath(u"note.rtf"_s);
        QuilloTest::writeBytes(notRtf, "Ceci est du texte.");
        QVERIFY(!RichText::loadRtfFile(notRtf, &document, &error));
        QCOMPARE(error, u"Ce fichier n'est pas un document RTF."_s);
        QCOMPARE(document.toPlainText(), u"texte en cours"_s);
    }

    void corpus_everyFileReadsAndComesBackTheSame_data()
    {
        QTest::addColumn<QString>("name");
        const QStringList files = corpusFiles();
        for (const QString &name : files)
            QTest::newRow(qPrintable(name)) << name;
        if (files.isEmpty())
            QTest::newRow("sans corpus") << QString();
    }
    // Every file reads; written and read again, it is the same, headers and footers included.
    void corpus_everyFileReadsAndComesBackTheSame()
    {
        QFETCH(QString, name);
        if (name.isEmpty())
            QSKIP("the shared RTF files are not beside the clone");
        QTextDocument document;
        const RichText::ReadResult result =
            RichText::readRtf(QuilloTest::readBytes(corpusDir() + u'/' + name), &document);
        if (name == u"malformed-leading-garbage.rtf"_s) {
            // Bytes before "{\rtf": not an RTF document, and said so in French.
            QVERIFY(!result.ok);
            QCOMPARE(result.error, u"Ce fichier n'est pas un document RTF."_s);
            return;
        }
        QVERIFY2(result.ok, qPrintable(result.error));
        if (!name.startsWith(u"malformed-truncated"_s) && !name.contains(u"ole-object"_s) &&
            !name.contains(u"embedded-ole"_s))
            QVERIFY(!document.toPlainText().trimmed().isEmpty());
        QTextDocument back;
        QVERIFY(RichText::readRtf(RichText::writeRtf(&document), &back).ok);
        QCOMPARE(RoundTrip::compare(document, back), QString());
        QCOMPARE(RoundTrip::compareDecorations(document, back), QString());
    }

    void corpus_textMatchesTheOfficeExport_data() { corpus_everyFileReadsAndComesBackTheSame_data(); }
    void corpus_textMatchesTheOfficeExport()
    {
        QFETCH(QString, name);
        const QString exported = corpusDir() + u"/lo-text/"_s + QString(name).replace(u".rtf"_s, u".txt"_s);
        if (name.isEmpty() || !QFile::exists(exported))
            QSKIP("No text export for this file");
        // Files where the two readings cannot agree, and why.
        static const QHash<QString, const char *> differences = {
            {u"malformed-leading-garbage.rtf"_s, "Not RTF: the office suite shows its bytes as plain text"},
            {u"malformed-textedit-unpaired-surrogates.rtf"_s,
             "The office suite swallows the character after a lone surrogate; we show U+FFFD and keep it"},
            {u"wordpad-richedit3-pictures-lists.rtf"_s, "Hidden text (\\v) is shown by the office suite, left out "
                                                        "here; Symbol-font letters stay in the private-use area there"},
            {u"abiword-corner-cases.rtf"_s,
             "The office suite shows field results it computes (today's date) and chapter numbers it generates"},
        };
        if (differences.contains(name))
            QSKIP(differences.value(name));
        QTextDocument document;
        RichText::readRtf(QuilloTest::readBytes(corpusDir() + u'/' + name), &document);
        QString ours;
        appendText(document.rootFrame(), ours);
        const QStringList mine = words(ours);
        const QStringList theirs = words(QString::fromUtf8(QuilloTest::readBytes(exported)));
        // Known differences: the office suite shows hidden text, footnote numbers and the
        // results it computes for date fields; a few words per file at most.
        const int allowed = qMax(4, int(theirs.size() / 100));
        const int unmatched = unmatchedWords(mine, theirs);
        QVERIFY2(unmatched <= allowed, qPrintable(u"%1 words differ (of %2): %3 / %4"_s.arg(unmatched)
                                                      .arg(theirs.size())
                                                      .arg(mine.mid(0, 8).join(u' '), theirs.mid(0, 8).join(u' '))));
    }
};

QUILLO_TEST_MAIN(TestRichText)
#include "tst_RichText.moc"
