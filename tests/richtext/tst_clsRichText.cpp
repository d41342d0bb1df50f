#include "TestSupport.h"

#include "richtext/clsRichText.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace Qt::StringLiterals;

class TestClsRichText : public QObject
{
    Q_OBJECT

private:
    static QList<double> tabsOf(const QTextBlock &block)
    {
        QList<double> positions;
        for (const QTextOption::Tab &tab : block.blockFormat().tabPositions())
            positions << tab.position;
        return positions;
    }

private slots:
    void justify_keepsJustifiedParagraphsJustifiedAndClearsTheSelection()
    {
        QTextDocument document;
        QTextCursor cursor(&document);
        QTextBlockFormat justified;
        justified.setAlignment(Qt::AlignJustify | Qt::AlignAbsolute);
        cursor.setBlockFormat(justified);
        cursor.insertText(u"Madame, Monsieur, nous avons l'honneur de vous écrire."_s);
        cursor.insertBlock();
        QTextBlockFormat centred;
        centred.setAlignment(Qt::AlignHCenter);
        cursor.setBlockFormat(centred);
        cursor.insertText(u"Titre"_s);
        QTextCursor selection(&document);
        selection.setPosition(3);
        selection.setPosition(10, QTextCursor::KeepAnchor);

        clsRichText().Justify(&document, 0, qint16(document.characterCount() - 1), &selection);

        QCOMPARE(document.begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
        QCOMPARE(document.lastBlock().blockFormat().alignment(), Qt::AlignHCenter); // others untouched
        QCOMPARE(selection.position(), 0);
        QVERIFY(!selection.hasSelection());
    }

    void justify_outOfRangePositionsAreHarmless()
    {
        QTextDocument document(u"abc"_s);
        clsRichText().Justify(&document, -5, 32767);
        clsRichText().Justify(nullptr, 0, 1);
        QCOMPARE(document.toPlainText(), u"abc"_s);
    }

    void settabs_data()
    {
        QTest::addColumn<QList<qint32>>("tabs"); // in twips, from element 1 on
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QList<double>>("positions"); // of the first paragraph, in pixels
        QTest::newRow("beyond the width: skipped")
            << QList<qint32>{0, 1440, 2880, 200000} << true << QList<double>{96, 192};
        QTest::newRow("no gap for a skipped one")
            << QList<qint32>{0, 1440, 200000, 2880} << true << QList<double>{96, 192};
        QList<qint32> tabs{0};
        QList<double> positions;
        for (int i = 1; i <= 32; ++i) {
            tabs << i * 1440;
            positions << i * 96;
        }
        QTest::newRow("thirty-two stops") << tabs << true << positions;
        QTest::newRow("thirty-three change nothing") << (tabs << 33 * 1440) << false << QList<double>{};
    }

    void settabs()
    {
        QFETCH(QList<qint32>, tabs);
        QFETCH(bool, accepted);
        QFETCH(QList<double>, positions);
        QTextDocument document(u"un\ndeux\ntrois"_s);
        QCOMPARE(clsRichText().Settabs(&document, tabs, 100000, 1, 4), accepted); // "un" and "deux" only
        QCOMPARE(tabsOf(document.begin()), positions);
        QCOMPARE(tabsOf(document.begin().next()), positions);
        QVERIFY(tabsOf(document.lastBlock()).isEmpty());
    }
};

QUILLO_TEST_MAIN(TestClsRichText)
#include "tst_clsRichText.moc"
