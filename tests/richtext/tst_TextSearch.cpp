#include "TestSupport.h"
#include "richtext/TextSearch.h"

#include <QTextCursor>
#include <QTextDocument>

using namespace Qt::StringLiterals;

class TestTextSearch : public QObject
{
    Q_OBJECT

private slots:
    void findNext_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("searched");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("wholeWord");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("expected"); // start of the occurrence, -1 for none
        QTest::addColumn<bool>("wrapped");
        const QString madame = u"Madame, MADAME et madame"_s;
        QTest::newRow("any case") << madame << u"madame"_s << false << false << 0 << 0 << false;
        QTest::newRow("any case, further on") << madame << u"madame"_s << false << false << 1 << 8 << false;
        QTest::newRow("matching case") << madame << u"madame"_s << true << false << 0 << 18 << false;
        QTest::newRow("accented capital, any case") << u"L'École"_s << u"école"_s << false << false << 0 << 2 << false;
        QTest::newRow("accented capital, matching case")
            << u"L'École"_s << u"école"_s << true << false << 0 << -1 << false;
        const QString porte = u"apporte porte-monnaie porte"_s;
        QTest::newRow("part of a word") << porte << u"porte"_s << false << false << 0 << 2 << false;
        QTest::newRow("whole word") << porte << u"porte"_s << false << true << 0 << 8 << false;
        QTest::newRow("whole word, further on") << porte << u"porte"_s << false << true << 9 << 22 << false;
        QTest::newRow("typed apostrophe finds the typographic one")
            << u"de l’homme"_s << u"l'homme"_s << false << true << 0 << 3 << false;
        QTest::newRow("space finds a no-break space")
            << u"Madame\u00A0: oui"_s << u"Madame :"_s << true << false << 0 << 0 << false;
        QTest::newRow("round to the start") << u"abc abc"_s << u"abc"_s << false << false << 5 << 0 << true;
        QTest::newRow("absent") << u"abc"_s << u"abd"_s << false << false << 0 << -1 << false;
        QTest::newRow("empty search") << u"abc"_s << QString() << false << false << 0 << -1 << false;
        QTest::newRow("pattern characters are plain")
            << u"a.c abc (x)"_s << u"(x)"_s << false << false << 0 << 8 << false;
    }

    void findNext()
    {
        QFETCH(QString, text);
        QFETCH(QString, searched);
        QFETCH(bool, matchCase);
        QFETCH(bool, wholeWord);
        QFETCH(int, from);
        QFETCH(int, expected);
        QFETCH(bool, wrapped);
        QTextDocument document(text);
        bool wentRound = false;
        const QTextCursor found = TextSearch::findNext(&document, searched, from, {matchCase, wholeWord}, &wentRound);
        QCOMPARE(found.isNull() ? -1 : found.selectionStart(), expected);
        if (!found.isNull())
            QCOMPARE(found.selectionEnd() - found.selectionStart(), searched.size());
        QCOMPARE(wentRound, wrapped);
    }

    void replaceAll_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("searched");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("wholeWord");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("result");
        QTest::newRow("whole words, any case") << u"le chat, le lecteur et Le lapin\nle"_s << u"le"_s << u"la"_s
                                               << false << true << 4 << u"la chat, la lecteur et la lapin\nla"_s;
        QTest::newRow("matching case") << u"le Le LE"_s << u"Le"_s << u"La"_s << true << false << 1 << u"le La LE"_s;
        QTest::newRow("replacement holds the searched text")
            << u"a a a"_s << u"a"_s << u"aa"_s << false << false << 3 << u"aa aa aa"_s;
        QTest::newRow("replacement is the searched text, other case")
            << u"Paris paris"_s << u"paris"_s << u"PARIS"_s << false << false << 2 << u"PARIS PARIS"_s;
        QTest::newRow("removal") << u"xxabxx"_s << u"x"_s << QString() << false << false << 4 << u"ab"_s;
        QTest::newRow("nothing found") << u"abc"_s << u"z"_s << u"y"_s << false << false << 0 << u"abc"_s;
    }

    void replaceAll()
    {
        QFETCH(QString, text);
        QFETCH(QString, searched);
        QFETCH(QString, replacement);
        QFETCH(bool, matchCase);
        QFETCH(bool, wholeWord);
        QFETCH(int, count);
        QFETCH(QString, result);
        QTextDocument document;
        document.setPlainText(text); // no undo history
        QCOMPARE(TextSearch::replaceAll(&document, searched, replacement, {matchCase, wholeWord}), count);
        QCOMPARE(document.toPlainText(), result);
        // One undo step brings everything back.
        QCOMPARE(document.isUndoAvailable(), count > 0);
        document.undo();
        QCOMPARE(document.toPlainText(), text);
        QVERIFY(!document.isUndoAvailable());
    }

    void replacementKeepsTheFormat()
    {
        QTextDocument document;
        QTextCursor cursor(&document);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        cursor.insertText(u"Cher "_s);
        cursor.insertText(u"Monsieur"_s, bold);
        cursor.insertText(u","_s, QTextCharFormat());
        QCOMPARE(TextSearch::replaceAll(&document, u"monsieur"_s, u"Madame"_s, {}), 1);
        QTextCursor check(&document);
        for (int after = 6; after <= 11; ++after) {
            check.setPosition(after);
            QCOMPARE(check.charFormat().fontWeight(), int(QFont::Bold));
        }
        check.setPosition(12); // after the comma, which stays plain
        QCOMPARE(check.charFormat().fontWeight(), int(QFont::Normal));
    }

    void replaceOne()
    {
        QTextDocument document(u"le chat et le chien"_s);
        // The selection is an occurrence: replaced, and the next one is selected.
        QTextCursor first = TextSearch::findNext(&document, u"le"_s, 0, {});
        TextSearch::ReplaceResult result = TextSearch::replaceOne(first, u"le"_s, u"la"_s, {});
        QVERIFY(result.replaced);
        QCOMPARE(document.toPlainText(), u"la chat et le chien"_s);
        QCOMPARE(result.next.selectionStart(), 11);
        QVERIFY(TextSearch::isOccurrence(result.next, u"le"_s, {}));
        // The selection is not one (here a part of a word with "Mot entier"): nothing is replaced,
        // the next occurrence is found.
        QTextCursor part(&document);
        part.setPosition(3);
        part.setPosition(5, QTextCursor::KeepAnchor);
        QVERIFY(!TextSearch::isOccurrence(part, u"ha"_s, {false, true}));
        result = TextSearch::replaceOne(part, u"le"_s, u"la"_s, {false, true});
        QVERIFY(!result.replaced);
        QCOMPARE(result.next.selectionStart(), 11);
        result = TextSearch::replaceOne(result.next, u"le"_s, u"la"_s, {false, true});
        QVERIFY(result.replaced);
        QVERIFY(result.next.isNull());
        QCOMPARE(document.toPlainText(), u"la chat et la chien"_s);
    }
};

QUILLO_TEST_MAIN(TestTextSearch)
#include "tst_TextSearch.moc"
