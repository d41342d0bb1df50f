#include "SpellingTestSupport.h"
#include "TestSupport.h"
#include "spelling/SpellHighlighter.h"

#include <QAbstractTextDocumentLayout>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

namespace {

// Counts the paragraphs the highlighter is asked to look at.
class CountingHighlighter : public SpellHighlighter
{
public:
    using SpellHighlighter::SpellHighlighter;
    int paragraphsSeen = 0;

protected:
    void highlightBlock(const QString &text) override
    {
        ++paragraphsSeen;
        SpellHighlighter::highlightBlock(text);
    }
};

// The underlined words of each paragraph, paragraphs joined by " | ".
QString underlined(const QTextDocument &document)
{
    QStringList paragraphs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QStringList words;
        for (const QTextLayout::FormatRange &range : block.layout()->formats()) {
            if (range.format.underlineStyle() == QTextCharFormat::SpellCheckUnderline &&
                range.format.underlineColor() == QColor(Qt::red))
                words << block.text().mid(range.start, range.length);
        }
        paragraphs << words.join(u' ');
    }
    return paragraphs.join(u" | "_s);
}

// A document as a text control holds it: with its layout, which reports the changes.
void prepare(QTextDocument &document, const QString &text)
{
    document.documentLayout();
    document.setPlainText(text);
}

} // namespace

class TestSpellHighlighter : public QObject
{
    Q_OBJECT

private slots:
    void underlinesExactlyTheUnknownWords()
    {
        SpellChecker checker;
        SpellingTest::useSmallDictionary(checker);
        QTextDocument document;
        prepare(document, u"Bonjour madame, nous avons reçu votre dosier le 12 mars.\n"
                          u"Je vous prie d'agréer mes salutations distingées, Mosieur.\n"
                          u"L'homme a dit : écrire à contact@quillane.fr, porte-monnaie."_s);
        const int undoSteps = document.availableUndoSteps();
        SpellHighlighter highlighter(&document, &checker);
        QSignalSpy finished(&highlighter, &SpellHighlighter::checkingFinished);
        QVERIFY(highlighter.isChecking());
        QTRY_VERIFY(!highlighter.isChecking());
        QCOMPARE(finished.count(), 1);
        QCOMPARE(underlined(document), u"dosier mars | distingées Mosieur | écrire"_s);
        // A decoration of the layout only: the text, its formats and its history are untouched.
        QCOMPARE(document.availableUndoSteps(), undoSteps);
        QVERIFY(!document.toHtml().contains(u"underline"_s));
    }

    void typingRechecksOnlyTheParagraph()
    {
        SpellChecker checker;
        SpellingTest::useSmallDictionary(checker);
        QTextDocument document;
        prepare(document, u"Bonjour madame.\nvotre dosier\nnous avons reçu votre lettre."_s);
        CountingHighlighter highlighter(&document, &checker);
        highlighter.finishChecking();
        QCOMPARE(underlined(document), u" | dosier | "_s);
        highlighter.paragraphsSeen = 0;
        QTextCursor cursor(document.findBlockByNumber(1));
        cursor.movePosition(QTextCursor::EndOfBlock);
        cursor.movePosition(QTextCursor::Left, QTextCursor::MoveAnchor, 3);
        cursor.insertText(u"s"_s);
        QCOMPARE(document.findBlockByNumber(1).text(), u"votre dossier"_s);
        QCOMPARE(highlighter.paragraphsSeen, 1);
        QCOMPARE(underlined(document), u" |  | "_s);
        QVERIFY(!highlighter.isChecking());
    }

    void largeChangesAreCheckedInSlices()
    {
        SpellChecker checker;
        SpellingTest::useSmallDictionary(checker);
        QTextDocument document;
        prepare(document, u"Bonjour"_s);
        SpellHighlighter highlighter(&document, &checker);
        highlighter.finishChecking();
        // A letter read into the document at one go: nothing is checked before the event loop
        // runs, then every paragraph is.
        QStringList paragraphs(400, u"Je vous prie d'agréer, madame, mes salutations distinguées."_s);
        paragraphs.last() = u"Un dosier."_s; // "Un": a capital on a known word is right
        QTextCursor cursor(&document);
        cursor.select(QTextCursor::Document);
        cursor.insertText(paragraphs.join(u'\n'));
        QVERIFY(highlighter.isChecking());
        QVERIFY(!underlined(document).contains(u"dosier"_s));
        QTRY_VERIFY(!highlighter.isChecking());
        QVERIFY(underlined(document).endsWith(u" | dosier"_s));

        // Opening a highlighter on a long document checks nothing at once either.
        QTextDocument opened;
        prepare(opened, paragraphs.join(u'\n'));
        SpellHighlighter later(&opened, &checker);
        QVERIFY(!underlined(opened).contains(u"dosier"_s));
        later.finishChecking();
        QVERIFY(underlined(opened).endsWith(u" | dosier"_s));
    }

    void switchesAndWordListsRedraw()
    {
        SpellChecker checker;
        SpellingTest::useSmallDictionary(checker);
        QTextDocument document;
        prepare(document, u"votre dosier\nMosieur"_s);
        SpellHighlighter highlighter(&document, &checker);
        highlighter.finishChecking();
        QCOMPARE(underlined(document), u"dosier | Mosieur"_s);

        checker.setEnabled(false);
        highlighter.finishChecking();
        QCOMPARE(underlined(document), u" | "_s);
        checker.setEnabled(true);
        highlighter.finishChecking();
        QCOMPARE(underlined(document), u"dosier | Mosieur"_s);

        highlighter.setEnabled(false);
        highlighter.finishChecking();
        QCOMPARE(underlined(document), u" | "_s);
        highlighter.setEnabled(true);

        checker.ignore(u"Mosieur"_s);
        highlighter.finishChecking();
        QCOMPARE(underlined(document), u"dosier | "_s);
        checker.addToPersonalDictionary(u"dosier"_s);
        highlighter.finishChecking();
        QCOMPARE(underlined(document), u" | "_s);
    }

    void withoutDictionaryNothingIsUnderlined()
    {
        SpellChecker checker;
        QTextDocument document;
        prepare(document, u"votre dosier"_s);
        SpellHighlighter highlighter(&document, &checker);
        QVERIFY(!highlighter.isActive());
        highlighter.finishChecking();
        QCOMPARE(underlined(document), QString());
        // The dictionary arrives later (it loads in the background): the text is checked then.
        SpellingTest::useSmallDictionary(checker);
        QTRY_COMPARE(underlined(document), u"dosier"_s);
    }
};

QUILLO_TEST_MAIN(TestSpellHighlighter)
#include "tst_SpellHighlighter.moc"
