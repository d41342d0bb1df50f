// Checks the content that ships with the program (data/): the letter template, the six
// reference lists and the three phrase files of the writing assistant. These files are read
// by the program on every machine, in Windows-1252 with CR LF line ends; an editor that saves
// them in UTF-8, drops a line end or leaves an empty line in a phrase block breaks a fresh
// installation without any message, so the bytes themselves are checked here.

#include "TestSupport.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QList>
#include <QObject>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QStringList kListFiles = {
    u"Fichiers/Références/Fonctions.ini"_s, u"Fichiers/Références/Communes.ini"_s,
    u"Fichiers/Références/Objets.ini"_s,    u"Fichiers/Références/Signatures.ini"_s,
    u"Fichiers/Formules/Formules1.ini"_s,   u"Fichiers/Formules/Formules2.ini"_s,
};
const QStringList kPhraseFiles = {
    u"Assistant/Introduction.ini"_s,
    u"Assistant/Conclusion1.ini"_s,
    u"Assistant/Conclusion2.ini"_s,
};
const QString kTemplate = u"defaut.rtf"_s;

// The letter's placeholders in the order a letter reads them.
const QStringList kPlaceholders = {
    u"#exp1"_s, u"#exp2"_s, u"#exp3"_s, u"#exp4"_s, u"#dst1"_s, u"#dst2"_s, u"#dst3"_s,
    u"#ref1"_s, u"#ref2"_s, u"#ref3"_s, u"#ref4"_s, u"#ref5"_s, u"#ref6"_s,
};

QString dataPath(const QString &relative)
{
    return QDir(QString::fromUtf8(QUILLO_DATA_DIR)).filePath(relative);
}

QByteArray readData(const QString &relative)
{
    QFile file(dataPath(relative));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// Decodes Windows-1252 independently of the program's own codec, so that a fault there cannot
// hide a fault here. Returns false on the five bytes that have no character.
bool decodeWindows1252(const QByteArray &bytes, QString *text)
{
    static const char16_t high[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
    };
    text->clear();
    text->reserve(bytes.size());
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        if (code >= 0x80 && code < 0xA0) {
            if (high[code - 0x80] == 0)
                return false;
            text->append(QChar(high[code - 0x80]));
        } else {
            text->append(QChar(char16_t(code)));
        }
    }
    return true;
}

// The file's text, decoded; empty when the file is missing or not Windows-1252.
QString textOf(const QString &relative)
{
    const QByteArray bytes = readData(relative);
    QString text;
    if (bytes.isEmpty() || !decodeWindows1252(bytes, &text))
        return {};
    return text;
}

// Lines of a CR LF text, without the empty piece after the last line end.
QStringList linesOf(const QString &text)
{
    QStringList lines = text.split(u"\r\n"_s);
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

// How the wizard shows towns and signatures: a capital at the start of every word (a word
// starts after a space or a tab) and of every part of a name after a hyphen or an apostrophe,
// except the small words linking the parts of a place name; the rest in small letters.
QString properCase(const QString &entry)
{
    static const QSet<QString> linking = {u"à"_s,   u"au"_s,   u"aux"_s, u"de"_s, u"des"_s, u"du"_s,
                                          u"en"_s,  u"et"_s,   u"la"_s,  u"le"_s, u"les"_s, u"lès"_s,
                                          u"lez"_s, u"sous"_s, u"sur"_s, u"d'"_s, u"l'"_s};
    QString shown;
    // Split into parts, each with the separator that ends it, and rebuild.
    QString part;
    QChar before = u' ';
    const auto flush = [&](QChar separator) {
        QString word = part.toLower();
        const QString withApostrophe = separator == u'\'' ? word + u'\'' : word;
        const bool small = before == u'-' && linking.contains(separator == u'\'' ? withApostrophe : word);
        if (!word.isEmpty() && !small)
            word[0] = word.at(0).toUpper();
        shown += word;
        if (!separator.isNull())
            shown += separator;
        before = separator;
        part.clear();
    };
    for (const QChar c : entry) {
        if (c == u' ' || c == u'\t' || c == u'-' || c == u'\'')
            flush(c);
        else
            part += c;
    }
    flush(QChar());
    return shown;
}

// A minimal RTF reading, enough to see the template the way the letter assembly sees it: the
// text of every paragraph and the control words in force for it.
struct RtfParagraph
{
    QString text;
    QHash<QString, int> props; // paragraph and character control words since the last \pard
};

struct RtfOutline
{
    QHash<QString, int> lastValue; // every control word of the body, with its last value
    QList<RtfParagraph> paragraphs;
};

RtfOutline outlineOf(const QString &rtf)
{
    static const QSet<QString> skipped = {u"fonttbl"_s,    u"colortbl"_s, u"info"_s,
                                          u"stylesheet"_s, u"header"_s,   u"footer"_s};
    RtfOutline outline;
    RtfParagraph current;
    int depth = 0;
    int skipDepth = -1; // depth of the destination group being skipped, -1 when none
    bool groupStart = false;
    const qsizetype size = rtf.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = rtf.at(i);
        if (c == u'{') {
            ++depth;
            groupStart = true;
            continue;
        }
        if (c == u'}') {
            if (depth == skipDepth)
                skipDepth = -1;
            --depth;
            groupStart = false;
            continue;
        }
        if (c == u'\r' || c == u'\n')
            continue;
        if (c != u'\\') {
            groupStart = false;
            if (skipDepth < 0)
                current.text.append(c);
            continue;
        }
        if (i + 1 >= size)
            break;
        const QChar next = rtf.at(i + 1);
        const bool asciiLetter = (next >= u'a' && next <= u'z') || (next >= u'A' && next <= u'Z');
        if (!asciiLetter) {
            ++i;
            if (next == u'*' && groupStart && skipDepth < 0)
                skipDepth = depth;
            else if (skipDepth < 0 && (next == u'\\' || next == u'{' || next == u'}'))
                current.text.append(next);
            else if (skipDepth < 0 && next == u'\'' && i + 2 < size) {
                bool ok = false;
                const int code = rtf.mid(i + 1, 2).toInt(&ok, 16);
                QString decoded;
                if (ok && decodeWindows1252(QByteArray(1, char(code)), &decoded))
                    current.text.append(decoded);
                i += 2;
            }
            groupStart = false;
            continue;
        }
        qsizetype j = i + 1;
        while (j < size && ((rtf.at(j) >= u'a' && rtf.at(j) <= u'z') || (rtf.at(j) >= u'A' && rtf.at(j) <= u'Z')))
            ++j;
        const QString name = rtf.mid(i + 1, j - i - 1);
        const qsizetype paramStart = j;
        if (j < size && rtf.at(j) == u'-')
            ++j;
        while (j < size && rtf.at(j).isDigit())
            ++j;
        const int value = j > paramStart ? rtf.mid(paramStart, j - paramStart).toInt() : 1;
        if (j < size && rtf.at(j) == u' ')
            ++j; // the delimiting space belongs to the control word
        i = j - 1;
        if (groupStart && skipDepth < 0 && skipped.contains(name))
            skipDepth = depth;
        groupStart = false;
        if (skipDepth >= 0)
            continue;
        outline.lastValue.insert(name, value);
        if (name == u"par"_s) {
            outline.paragraphs.append(current);
            current.text.clear();
        } else if (name == u"pard"_s) {
            current.props.clear();
        } else {
            current.props.insert(name, value);
        }
    }
    if (!current.text.trimmed().isEmpty())
        outline.paragraphs.append(current);
    return outline;
}

} // namespace

class TestInstallation : public QObject
{
    Q_OBJECT

private slots:
    void everyFile_isWindows1252WithCrLf_data();
    void everyFile_isWindows1252WithCrLf();
    void template_isWellFormedA4Rtf();
    void template_holdsEachPlaceholderOnceInItsOwnParagraph();
    void template_placesTheBlocksOfALetter();
    void referenceLists_haveUsefulDistinctEntries_data();
    void referenceLists_haveUsefulDistinctEntries();
    void towns_includeThePrefecturesWithHyphens();
    void formulaParts_joinAroundTheFormOfAddress();
    void formulaParts_everyCombinationIsCorrect();
    void phraseFiles_haveSortedNonEmptyBlocks_data();
    void phraseFiles_haveSortedNonEmptyBlocks();
};

void TestInstallation::everyFile_isWindows1252WithCrLf_data()
{
    QTest::addColumn<QString>("file");
    for (const QString &file : QStringList{kTemplate} + kListFiles + kPhraseFiles)
        QTest::newRow(qPrintable(file)) << file;
}

void TestInstallation::everyFile_isWindows1252WithCrLf()
{
    QFETCH(QString, file);
    const QByteArray bytes = readData(file);
    QVERIFY2(!bytes.isEmpty(), "missing or empty file");
    QVERIFY2(!bytes.startsWith("\xEF\xBB\xBF"), "UTF-8 byte-order mark");
    QVERIFY2(bytes.endsWith("\r\n"), "last line not ended by CR LF");
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto code = static_cast<unsigned char>(bytes.at(i));
        const QByteArray where = "at byte " + QByteArray::number(i);
        if (code == '\r')
            QVERIFY2(i + 1 < bytes.size() && bytes.at(i + 1) == '\n', "lone CR " + where);
        else if (code == '\n')
            QVERIFY2(i > 0 && bytes.at(i - 1) == '\r', "lone LF " + where);
        else
            QVERIFY2(code >= 0x20 && code != 0x7F, "control byte " + where);
    }
    QString text;
    QVERIFY2(decodeWindows1252(bytes, &text), "byte without a Windows-1252 character");
    // An accented letter saved in UTF-8 reads as "Ã©" or "Â " in Windows-1252.
    QVERIFY2(!text.contains(u'Ã') && !text.contains(u'Â'), "text saved in UTF-8");
}

void TestInstallation::template_isWellFormedA4Rtf()
{
    const QString rtf = textOf(kTemplate);
    QVERIFY(rtf.startsWith(u"{\\rtf1"_s));
    QVERIFY(rtf.contains(u"\\ansicpg1252"_s));

    // Braces balance, never close more than was opened, and the outer group holds everything.
    int depth = 0;
    qsizetype closedAt = -1;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        const QChar c = rtf.at(i);
        if (c == u'\\') {
            ++i; // an escaped brace or backslash is text
        } else if (c == u'{') {
            QVERIFY2(closedAt < 0, "text after the outer group");
            ++depth;
        } else if (c == u'}') {
            --depth;
            QVERIFY2(depth >= 0, "closing brace without its opening one");
            if (depth == 0)
                closedAt = i;
        }
    }
    QCOMPARE(depth, 0);
    QVERIFY(rtf.mid(closedAt + 1).trimmed().isEmpty());

    const RtfOutline outline = outlineOf(rtf);
    QCOMPARE(outline.lastValue.value(u"paperw"_s), 11906);
    QCOMPARE(outline.lastValue.value(u"paperh"_s), 16838);
}

void TestInstallation::template_holdsEachPlaceholderOnceInItsOwnParagraph()
{
    const QString rtf = textOf(kTemplate);
    QVERIFY(!rtf.isEmpty());
    // The letter assembly searches the plain text ignoring case and replaces the first match
    // only: a second occurrence anywhere would stay in every letter as literal text.
    for (const QString &placeholder : kPlaceholders)
        QVERIFY2(rtf.count(placeholder, Qt::CaseInsensitive) == 1, qPrintable(placeholder));

    // Each one whole, unsplit by control words, alone in its paragraph, in reading order.
    QStringList texts;
    for (const RtfParagraph &paragraph : outlineOf(rtf).paragraphs) {
        if (!paragraph.text.trimmed().isEmpty())
            texts.append(paragraph.text.trimmed().toLower());
    }
    QCOMPARE(texts, kPlaceholders);
}

void TestInstallation::template_placesTheBlocksOfALetter()
{
    const RtfOutline outline = outlineOf(textOf(kTemplate));
    QHash<QString, QHash<QString, int>> propsOf;
    for (const RtfParagraph &paragraph : outline.paragraphs)
        propsOf.insert(paragraph.text.trimmed().toLower(), paragraph.props);
    for (const QString &placeholder : kPlaceholders)
        QVERIFY2(propsOf.contains(placeholder), qPrintable(placeholder));

    // The recipient must show through the window of a DL or C5 envelope, which begins
    // about 11 cm from the left edge of the sheet (1 cm = 567 twips).
    const int leftMargin = outline.lastValue.value(u"margl"_s, 1800);
    for (const QString &placeholder : {u"#dst1"_s, u"#dst2"_s, u"#dst3"_s}) {
        const int left = leftMargin + propsOf.value(placeholder).value(u"li"_s);
        QVERIFY2(left >= 10 * 567 && left <= 12 * 567, qPrintable(placeholder));
    }
    // The sender's block stays on the left.
    for (const QString &placeholder : {u"#exp1"_s, u"#exp2"_s, u"#exp3"_s, u"#exp4"_s})
        QVERIFY2(propsOf.value(placeholder).value(u"li"_s) < 567, qPrintable(placeholder));
    // Body and politeness formula are justified.
    QVERIFY(propsOf.value(u"#ref4"_s).contains(u"qj"_s));
    QVERIFY(propsOf.value(u"#ref5"_s).contains(u"qj"_s));
    // Lines added inside the address blocks and the body take their placeholder's paragraph
    // format, so these must not push a wide gap under every added line.
    for (const QString &placeholder : {u"#exp3"_s, u"#exp4"_s, u"#dst3"_s})
        QVERIFY2(propsOf.value(placeholder).value(u"sa"_s) + propsOf.value(placeholder).value(u"sb"_s) < 120,
                 qPrintable(placeholder));
    QVERIFY(propsOf.value(u"#ref4"_s).value(u"sa"_s) + propsOf.value(u"#ref4"_s).value(u"sb"_s) <= 240);
}

void TestInstallation::referenceLists_haveUsefulDistinctEntries_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<bool>("shownInProperCase");
    QTest::newRow("fonctions") << kListFiles.at(0) << 20 << false;
    QTest::newRow("communes") << kListFiles.at(1) << 40 << true;
    QTest::newRow("objets") << kListFiles.at(2) << 20 << false;
    QTest::newRow("signatures") << kListFiles.at(3) << 4 << true;
    QTest::newRow("formules1") << kListFiles.at(4) << 12 << false;
    QTest::newRow("formules2") << kListFiles.at(5) << 12 << false;
}

void TestInstallation::referenceLists_haveUsefulDistinctEntries()
{
    QFETCH(QString, file);
    QFETCH(int, minimum);
    QFETCH(bool, shownInProperCase);
    const QStringList entries = linesOf(textOf(file));
    QVERIFY2(entries.size() >= minimum, qPrintable(u"%1 entries"_s.arg(entries.size())));
    QSet<QString> seen;
    for (const QString &entry : entries) {
        QVERIFY2(!entry.isEmpty(), "empty line");
        QVERIFY2(entry == entry.trimmed(), qPrintable(entry));
        QVERIFY2(!seen.contains(entry.toCaseFolded()), qPrintable(u"duplicate: "_s + entry));
        seen.insert(entry.toCaseFolded());
        // The wizard shows these in proper case: stored that way, what the file holds is what
        // the box shows ("Saint-Étienne", "Bourg-en-Bresse").
        if (shownInProperCase)
            QCOMPARE(properCase(entry), entry);
    }
}

void TestInstallation::towns_includeThePrefecturesWithHyphens()
{
    // The prefectures whose names the old proper case could not show, and which were missing.
    const QStringList towns = linesOf(textOf(kListFiles.at(1)));
    for (const QString &prefecture :
         {u"Bar-le-Duc"_s, u"Basse-Terre"_s, u"Bourg-en-Bresse"_s, u"Châlons-en-Champagne"_s, u"Charleville-Mézières"_s,
          u"Clermont-Ferrand"_s, u"Digne-les-Bains"_s, u"Évry-Courcouronnes"_s, u"Fort-de-France"_s,
          u"La Roche-sur-Yon"_s, u"Le Puy-en-Velay"_s, u"Lons-le-Saunier"_s, u"Mont-de-Marsan"_s, u"Saint-Brieuc"_s,
          u"Saint-Denis"_s, u"Saint-Étienne"_s, u"Saint-Lô"_s})
        QVERIFY2(towns.contains(prefecture), qPrintable(prefecture));
}

void TestInstallation::formulaParts_joinAroundTheFormOfAddress()
{
    // The letter reads first part + ", " + form of address + ", " + second part.
    const QStringList firstParts = linesOf(textOf(kListFiles.at(4)));
    const QStringList secondParts = linesOf(textOf(kListFiles.at(5)));
    QVERIFY(!firstParts.isEmpty() && !secondParts.isEmpty());
    for (const QString &first : firstParts) {
        QVERIFY2(first.at(0).isUpper(), qPrintable(first));
        QVERIFY2(first.back().isLetter(), qPrintable(first));
    }
    for (const QString &second : secondParts) {
        QVERIFY2(second.at(0).isLower(), qPrintable(second));
        QVERIFY2(second.endsWith(u'.') && !second.endsWith(u".."_s), qPrintable(second));
    }
}

void TestInstallation::formulaParts_everyCombinationIsCorrect()
{
    // The wizard draws a first part and a second part at random, and the user may pick any two:
    // every pairing must be a formula a careful writer would sign.
    struct Forbidden
    {
        QRegularExpression first;
        QRegularExpression second;
        const char *why;
    };
    const QList<Forbidden> forbidden = {
        // One accepts or receives salutations themselves: "l'expression de mes salutations" is a
        // pleonasm.
        {QRegularExpression(u"."_s), QRegularExpression(u"^l'(expression|assurance) de .*salutations"_s),
         "l'expression de mes salutations"},
        // "croire" takes "à" ("je vous prie de croire à l'expression…"); no other verb does.
        {QRegularExpression(u"croire"_s), QRegularExpression(u"^(?!à )"_s), "croire sans « à »"},
        {QRegularExpression(u"^(?!.*croire)"_s), QRegularExpression(u"^à "_s), "« à » sans « croire »"},
        // One finds the expression or the assurance of something, not the salutations.
        {QRegularExpression(u"trouver"_s), QRegularExpression(u"^(?!l'(expression|assurance) )"_s),
         "trouver sans « l'expression » ni « l'assurance »"},
    };
    const QStringList firstParts = linesOf(textOf(kListFiles.at(4)));
    const QStringList secondParts = linesOf(textOf(kListFiles.at(5)));
    QVERIFY(!firstParts.isEmpty() && !secondParts.isEmpty());
    for (const QString &first : firstParts) {
        for (const QString &second : secondParts) {
            const QString formula = first + u", Madame, "_s + second;
            for (const Forbidden &rule : forbidden) {
                QVERIFY2(!(rule.first.match(first).hasMatch() && rule.second.match(second).hasMatch()),
                         qPrintable(formula + u" ("_s + QString::fromUtf8(rule.why) + u')'));
            }
            QVERIFY2(!formula.contains(u"  "_s) && formula.endsWith(u'.'), qPrintable(formula));
        }
    }
}

void TestInstallation::phraseFiles_haveSortedNonEmptyBlocks_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("blocks");
    QTest::newRow("introduction") << kPhraseFiles.at(0) << 8;
    QTest::newRow("conclusion simple") << kPhraseFiles.at(1) << 4;
    QTest::newRow("conclusion evoluee") << kPhraseFiles.at(2) << 5;
}

void TestInstallation::phraseFiles_haveSortedNonEmptyBlocks()
{
    QFETCH(QString, file);
    QFETCH(int, blocks);
    const QString text = textOf(file);
    // Every block, the last one included, ends with one empty line.
    QVERIFY(text.endsWith(u"\r\n\r\n"_s));

    QList<QStringList> parsed{QStringList{}};
    for (const QString &line : linesOf(text)) {
        if (line.isEmpty())
            parsed.append(QStringList{});
        else
            parsed.last().append(line);
    }
    parsed.removeLast(); // the piece after the final empty line
    QCOMPARE(parsed.size(), blocks);

    for (qsizetype b = 0; b < parsed.size(); ++b) {
        const QStringList &fragments = parsed.at(b);
        const QByteArray block = "block " + QByteArray::number(b + 1);
        // An empty block would mean two empty lines in a row: every later list would be shifted.
        QVERIFY2(fragments.size() >= 4, block);
        for (qsizetype f = 0; f < fragments.size(); ++f) {
            const QString &fragment = fragments.at(f);
            const QByteArray where = block + ": " + fragment.toUtf8();
            QVERIFY2(fragment == fragment.trimmed(), where);
            if (f > 0)
                QVERIFY2(QString::compare(fragments.at(f - 1), fragment, Qt::CaseInsensitive) < 0,
                         "not sorted or repeated, " + where);
            // The composition adds the commas and the final full stop itself.
            QVERIFY2(!fragment.endsWith(u',') && !fragment.endsWith(u'.'), where);
            // Only the first list opens the sentence; the others continue it.
            if (b == 0)
                QVERIFY2(fragment.at(0).isUpper(), where);
            else
                QVERIFY2(fragment.at(0).isLower(), where);
        }
    }
}

#include "tst_installation.moc"

QUILLO_TEST_MAIN(TestInstallation)
