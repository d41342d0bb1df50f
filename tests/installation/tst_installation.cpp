// Checks the content that ships with the program (data/): the letter template, the six
// reference lists and the three phrase files of the writing assistant. These files are read
// by the program on every machine, in Windows-1252 with CR LF line ends; an editor that saves
// them in UTF-8, drops a line end or leaves an empty line in a phrase block breaks a fresh
// installation without any message, so the bytes themselves are checked here.

#include "TestSupport.h"
#include "core/Cp1252.h"
#include "core/ProperCase.h"
#include "richtext/HeadersFooters.h"
#include "richtext/RichText.h"
#include "richtext/RtfTokenizer.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QTextDocument>

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

QByteArray readData(const QString &relative)
{
    return QuilloTest::readBytes(QDir(QuilloTest::installationFolder()).filePath(relative));
}

// The file's text; a byte that Windows-1252 leaves without a character reads as a C1 control.
QString textOf(const QString &relative)
{
    return Cp1252::decode(readData(relative));
}

// Lines of a CR LF text, without the empty piece after the last line end.
QStringList linesOf(const QString &text)
{
    QStringList lines = text.split(u"\r\n"_s);
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

// The template as the letter assembly sees it, read with the program's RTF tokenizer: the text of
// every paragraph of the body and the control words in force for it.
struct RtfParagraph
{
    QString text;
    QHash<QByteArray, int> props; // paragraph and character control words since the last \pard
};

struct RtfOutline
{
    QHash<QByteArray, int> lastValue; // every control word of the body, with its last value
    QList<RtfParagraph> paragraphs;
};

RtfOutline outlineOf(const QByteArray &rtf)
{
    using Type = RtfTokenizer::Type;
    static const QSet<QByteArray> skipped = {"fonttbl", "colortbl", "info", "stylesheet", "header", "footer"};
    RtfOutline outline;
    RtfParagraph current;
    RtfTokenizer tokenizer(rtf);
    bool groupStart = false;
    for (auto token = tokenizer.next(); token.type != Type::End; token = tokenizer.next()) {
        const bool first = std::exchange(groupStart, token.type == Type::GroupStart);
        const QByteArray name = token.text().toByteArray();
        if (token.type == Type::ControlSymbol && first && token.symbol == '*') {
            tokenizer.skipGroup();
        } else if (token.type == Type::ControlSymbol && QByteArrayView("\\{}").contains(token.symbol)) {
            current.text += QLatin1Char(token.symbol);
        } else if (token.type == Type::ControlWord && first && skipped.contains(name)) {
            tokenizer.skipGroup();
        } else if (token.type == Type::ControlWord) {
            const int value = token.hasParameter ? token.parameter : 1;
            outline.lastValue.insert(name, value);
            if (name == "par") {
                outline.paragraphs.append(current);
                current.text.clear();
            } else if (name == "pard") {
                current.props.clear();
            } else {
                current.props.insert(name, value);
            }
        } else if (token.type == Type::Text) {
            current.text += Cp1252::decode(name);
        } else if (token.type == Type::HexByte) {
            current.text += Cp1252::decode(QByteArray(1, char(token.byte)));
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
    void everyFile_isWindows1252WithCrLf_data()
    {
        QTest::addColumn<QString>("file");
        for (const QString &file : QStringList{kTemplate} + kListFiles + kPhraseFiles)
            QTest::newRow(qPrintable(file)) << file;
    }

    void everyFile_isWindows1252WithCrLf()
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
        const QString text = Cp1252::decode(bytes);
        QVERIFY2(!text.contains(QRegularExpression(u"[\\x{80}-\\x{9f}]"_s)), "byte without a Windows-1252 character");
        // An accented letter saved in UTF-8 reads as "Ã©" or "Â " in Windows-1252.
        QVERIFY2(!text.contains(u'Ã') && !text.contains(u'Â'), "text saved in UTF-8");
    }

    void template_isWellFormedA4Rtf()
    {
        const QByteArray rtf = readData(kTemplate);
        QVERIFY(rtf.startsWith("{\\rtf1"));
        QVERIFY(rtf.contains("\\ansicpg1252"));
        // Braces balance, never close more than was opened, and the outer group holds everything.
        RtfTokenizer tokenizer(rtf);
        int depth = 0;
        bool closed = false;
        for (auto token = tokenizer.next(); token.type != RtfTokenizer::Type::End; token = tokenizer.next()) {
            QVERIFY2(!closed, "text after the outer group");
            if (token.type == RtfTokenizer::Type::GroupStart)
                ++depth;
            else if (token.type == RtfTokenizer::Type::GroupEnd)
                closed = --depth == 0;
            QVERIFY2(depth >= 0, "closing brace without its opening one");
        }
        QVERIFY(closed);
        const RtfOutline outline = outlineOf(rtf);
        QCOMPARE(outline.lastValue.value("paperw"), 11906);
        QCOMPARE(outline.lastValue.value("paperh"), 16838);
    }

    void template_holdsEachPlaceholderOnceInItsPlace()
    {
        const QByteArray rtf = readData(kTemplate);
        // The letter assembly searches the plain text ignoring case and replaces the first match
        // only: a second occurrence anywhere would stay in every letter as literal text.
        for (const QString &placeholder : kPlaceholders)
            QVERIFY2(QString::fromLatin1(rtf).count(placeholder, Qt::CaseInsensitive) == 1, qPrintable(placeholder));

        // Each one whole, unsplit by control words, alone in its paragraph, in reading order.
        const RtfOutline outline = outlineOf(rtf);
        QStringList texts;
        QHash<QString, QHash<QByteArray, int>> propsOf;
        for (const RtfParagraph &paragraph : outline.paragraphs) {
            if (paragraph.text.trimmed().isEmpty())
                continue;
            texts.append(paragraph.text.trimmed().toLower());
            propsOf.insert(texts.constLast(), paragraph.props);
        }
        QCOMPARE(texts, kPlaceholders);

        // The recipient must show through the window of a DL or C5 envelope, which begins
        // about 11 cm from the left edge of the sheet (1 cm = 567 twips).
        const int leftMargin = outline.lastValue.value("margl", 1800);
        for (const QString &placeholder : {u"#dst1"_s, u"#dst2"_s, u"#dst3"_s}) {
            const int left = leftMargin + propsOf.value(placeholder).value("li");
            QVERIFY2(left >= 10 * 567 && left <= 12 * 567, qPrintable(placeholder));
        }
        // The sender's block stays on the left.
        for (const QString &placeholder : {u"#exp1"_s, u"#exp2"_s, u"#exp3"_s, u"#exp4"_s})
            QVERIFY2(propsOf.value(placeholder).value("li") < 567, qPrintable(placeholder));
        // Body and politeness formula are justified.
        QVERIFY(propsOf.value(u"#ref4"_s).contains("qj"));
        QVERIFY(propsOf.value(u"#ref5"_s).contains("qj"));
        // Lines added inside the address blocks and the body take their placeholder's paragraph
        // format, so these must not push a wide gap under every added line.
        for (const QString &placeholder : {u"#exp3"_s, u"#exp4"_s, u"#dst3"_s})
            QVERIFY2(propsOf.value(placeholder).value("sa") + propsOf.value(placeholder).value("sb") < 120,
                     qPrintable(placeholder));
        QVERIFY(propsOf.value(u"#ref4"_s).value("sa") + propsOf.value(u"#ref4"_s).value("sb") <= 240);

        // Pages after the first carry their number, discreetly; the first page, a letter of one
        // page, carry nothing but the letter.
        QTextDocument letter;
        QVERIFY(RichText::readRtf(rtf, &letter).ok);
        const HeadersFooters *decorations = HeadersFooters::of(&letter);
        QVERIFY(decorations && !decorations->headerOn(1) && !decorations->headerOn(2) && !decorations->footerOn(1));
        QTextDocument *second = decorations->footerOn(2)->clone(&letter);
        RichText::fillPageFields(second, 2, 3, QDateTime());
        QCOMPARE(second->toPlainText(), u"Page 2/3"_s);
    }

    void referenceLists_haveUsefulDistinctEntries_data()
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

    void referenceLists_haveUsefulDistinctEntries()
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

    void towns_includeThePrefecturesWithHyphens()
    {
        // The prefectures whose names the old proper case could not show, and which were missing.
        const QStringList towns = linesOf(textOf(kListFiles.at(1)));
        for (const QString &prefecture :
             {u"Bar-le-Duc"_s, u"Basse-Terre"_s, u"Bourg-en-Bresse"_s, u"Châlons-en-Champagne"_s,
              u"Charleville-Mézières"_s, u"Clermont-Ferrand"_s, u"Digne-les-Bains"_s, u"Évry-Courcouronnes"_s,
              u"Fort-de-France"_s, u"La Roche-sur-Yon"_s, u"Le Puy-en-Velay"_s, u"Lons-le-Saunier"_s,
              u"Mont-de-Marsan"_s, u"Saint-Brieuc"_s, u"Saint-Denis"_s, u"Saint-Étienne"_s, u"Saint-Lô"_s})
            QVERIFY2(towns.contains(prefecture), qPrintable(prefecture));
    }

    void formulaParts_everyCombinationIsCorrect()
    {
        // The letter reads first part + ", " + form of address + ", " + second part. The wizard draws
        // the two parts at random, and the user may pick any two: every pairing must be a formula a
        // careful writer would sign.
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
            QVERIFY2(first.at(0).isUpper() && first.back().isLetter(), qPrintable(first));
            for (const QString &second : secondParts) {
                QVERIFY2(second.at(0).isLower() && !second.endsWith(u".."_s), qPrintable(second));
                const QString formula = first + u", Madame, "_s + second;
                for (const Forbidden &rule : forbidden) {
                    QVERIFY2(!(rule.first.match(first).hasMatch() && rule.second.match(second).hasMatch()),
                             qPrintable(formula + u" ("_s + QString::fromUtf8(rule.why) + u')'));
                }
                QVERIFY2(!formula.contains(u"  "_s) && formula.endsWith(u'.'), qPrintable(formula));
            }
        }
    }

    void phraseFiles_haveSortedNonEmptyBlocks_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("blocks");
        QTest::newRow("introduction") << kPhraseFiles.at(0) << 8;
        QTest::newRow("conclusion simple") << kPhraseFiles.at(1) << 4;
        QTest::newRow("conclusion evoluee") << kPhraseFiles.at(2) << 5;
    }

    void phraseFiles_haveSortedNonEmptyBlocks()
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
};

#include "tst_installation.moc"

QUILLO_TEST_MAIN(TestInstallation)
