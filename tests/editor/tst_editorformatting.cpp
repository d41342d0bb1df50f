#include "EditorTestSupport.h"
#include "editor/RichEditing.h"
#include "richtext/RichText.h"
#include "richtext/RichTextProperties.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextList>
#include <QToolBar>
#include <QToolButton>

using namespace Qt::StringLiterals;
using EditorTest::trigger;

class TestEditorFormatting : public QObject
{
    Q_OBJECT

    std::unique_ptr<QuilloTest::TempProgramFolder> folder;
    std::shared_ptr<ScriptedDialogs> dialogs;
    FrmEditeur *editor = nullptr;
    LetterEdit *edit = nullptr;

    bool pressed(int button) const { return editor->toolButtons[size_t(button)]->isChecked(); }

private slots:
    void init()
    {
        folder = std::make_unique<QuilloTest::TempProgramFolder>();
        dialogs = ScriptedDialogs::install();
        editor = FrmEditeur::instance();
        edit = editor->letterEdit(1);
    }

    void cleanup()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(QuilloTest::closeAllWindows().isEmpty());
        QCOMPARE(dialogs->unexpected, 0);
        ScriptedDialogs::uninstall();
        folder.reset();
    }

    void toolBarButtons_showTheirPicture()
    {
        const QList<QToolButton *> buttons = editor->findChildren<QToolButton *>(QRegularExpression(u"^Toolbar1_"_s));
        QCOMPARE(buttons.size(), 23);
        for (const QToolButton *button : buttons)
            QVERIFY2(!button->icon().isNull(), qPrintable(button->objectName()));
    }

    void boldButton_followsTheSelection_andMakesAMixedSelectionBold()
    {
        EditorTest::typeText(edit, u"Bonjour "_s);
        EditorTest::typeText(edit, u"Madame"_s, EditorTest::boldFormat());
        EditorTest::select(edit, 8, 14);
        QVERIFY(pressed(8));
        EditorTest::select(edit, 3, 14);
        QVERIFY(!pressed(8)); // mixed: released
        trigger(editor->toolButtons[8]);
        QVERIFY(pressed(8));
        for (int position = 3; position < 14; ++position)
            QCOMPARE(EditorTest::charFormatAt(edit, position).fontWeight(), int(QFont::Bold));
        QCOMPARE(EditorTest::charFormatAt(edit, 1).fontWeight(), int(QFont::Normal));

        trigger(editor->toolButtons[9]);
        trigger(editor->toolButtons[10]);
        trigger(editor->toolButtons[11]);
        QVERIFY(EditorTest::charFormatAt(edit, 5).fontItalic());
        QVERIFY(EditorTest::charFormatAt(edit, 5).fontUnderline());
        QVERIFY(EditorTest::charFormatAt(edit, 5).fontStrikeOut());
        trigger(editor->toolButtons[9]); // released again
        QVERIFY(!EditorTest::charFormatAt(edit, 5).fontItalic());
        QVERIFY(!pressed(9));
    }

    void alignmentButtons_followTheCaret_andAMixedSelectionReleasesThemAll()
    {
        EditorTest::typeText(edit, u"Gauche\nCentre\nDroite"_s);
        EditorTest::select(edit, 9, 9);
        trigger(editor->toolButtons[14]);
        EditorTest::select(edit, 16, 16);
        trigger(editor->toolButtons[15]);
        EditorTest::select(edit, 2, 2);
        QVERIFY(pressed(13) && !pressed(14) && !pressed(15)); // left, as at start
        EditorTest::select(edit, 9, 9);
        QVERIFY(!pressed(13) && pressed(14) && !pressed(15));
        QCOMPARE(edit->document()->findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignHCenter);
        EditorTest::select(edit, 2, 16);
        QVERIFY(!pressed(13) && !pressed(14) && !pressed(15));
    }

    void bulletButton_onAndOff_takesTheHangingIndentAway()
    {
        EditorTest::typeText(edit, u"Un\nDeux"_s);
        EditorTest::select(edit, 0, 5);
        trigger(editor->toolButtons[17]);
        QVERIFY(pressed(17));
        QVERIFY(edit->document()->firstBlock().textList());
        QCOMPARE(edit->document()->firstBlock().textList(), edit->document()->lastBlock().textList());
        QCOMPARE(edit->document()->firstBlock().textList()->format().style(), QTextListFormat::ListDisc);
        // A hanging indent given by the letter's file goes with the bullet.
        QTextCursor cursor(edit->document());
        QTextBlockFormat hanging;
        hanging.setTextIndent(-20);
        cursor.mergeBlockFormat(hanging);
        trigger(editor->toolButtons[17]);
        QVERIFY(!pressed(17));
        for (QTextBlock block = edit->document()->begin(); block.isValid(); block = block.next()) {
            QVERIFY(!block.textList());
            QCOMPARE(block.blockFormat().textIndent(), 0.0);
            QCOMPARE(block.blockFormat().indent(), 0);
        }
    }

    void indentButtons_moveByFiveMillimetres_andBack()
    {
        EditorTest::typeText(edit, u"Paragraphe"_s);
        trigger(editor->toolButtons[19]);
        trigger(editor->toolButtons[19]);
        const double twips = RichText::pixelsToTwips(edit->document()->firstBlock().blockFormat().leftMargin());
        QVERIFY2(qAbs(twips - 567) <= 2, qPrintable(QString::number(twips))); // about 10 mm
        trigger(editor->toolButtons[18]);
        trigger(editor->toolButtons[18]);
        QCOMPARE(edit->document()->firstBlock().blockFormat().leftMargin(), 0.0);
        trigger(editor->toolButtons[18]); // no further left than the margin
        QCOMPARE(edit->document()->firstBlock().blockFormat().leftMargin(), 0.0);

        // Paragraphs of different indents are left as they are.
        EditorTest::typeText(edit, u"\nSecond"_s);
        trigger(editor->toolButtons[19]);
        EditorTest::select(edit, 0, 15);
        trigger(editor->toolButtons[19]);
        QCOMPARE(edit->document()->firstBlock().blockFormat().leftMargin(), 0.0);
    }

    void fontDialog_startsFromTheSelection_andAppliesFaceSizeAndStyle()
    {
        EditorTest::typeText(edit, u"Objet : relance"_s);
        EditorTest::select(edit, 0, 5);
        Dialogs::Answer answer;
        answer.accepted = true;
        answer.font = QFont(u"DejaVu Serif"_s, 14);
        answer.font.setItalic(true);
        dialogs->answer(answer);
        trigger(editor->toolButtons[21]);
        QCOMPARE(dialogs->requests.size(), 1);
        QCOMPARE(dialogs->requests.at(0).kind, Dialogs::Request::Kind::Font);
        QCOMPARE(dialogs->requests.at(0).font.pointSizeF(), 10.0);
        const QTextCharFormat format = EditorTest::charFormatAt(edit, 2);
        QCOMPARE(format.fontPointSize(), 14.0);
        QVERIFY(format.fontItalic());
        QCOMPARE(format.font().family(), u"DejaVu Serif"_s);
        QCOMPARE(EditorTest::charFormatAt(edit, 8).fontPointSize(), 0.0); // outside: untouched

        // A selection of two sizes has no font to start from: no dialog.
        EditorTest::select(edit, 0, 10);
        trigger(editor->toolButtons[21]);
        QCOMPARE(dialogs->requests.size(), 1);
        // A cancelled dialog changes nothing.
        EditorTest::select(edit, 8, 10);
        dialogs->answerCancel();
        trigger(editor->toolButtons[21]);
        QCOMPARE(EditorTest::charFormatAt(edit, 9).fontPointSize(), 0.0);
    }

    // The dialog's effects apply; the colour, which the dialog does not offer, stays, even mixed.
    void fontDialog_appliesUnderlineAndStrikeOut_andKeepsTheColours()
    {
        EditorTest::typeText(edit, u"Rouge et bleu"_s);
        QTextCharFormat red;
        red.setForeground(QColor(200, 0, 0));
        EditorTest::select(edit, 0, 5);
        edit->mergeCurrentCharFormat(red);
        QTextCharFormat blue;
        blue.setForeground(QColor(0, 0, 200));
        EditorTest::select(edit, 9, 13);
        edit->mergeCurrentCharFormat(blue);

        edit->selectAll();
        Dialogs::Answer answer;
        answer.accepted = true;
        answer.font = QFont(u"DejaVu Sans"_s, 12);
        answer.font.setUnderline(true);
        answer.font.setStrikeOut(true);
        dialogs->answer(answer);
        trigger(editor->toolButtons[21]);
        QCOMPARE(dialogs->requests.size(), 1);
        QVERIFY(!dialogs->requests.at(0).font.underline());
        for (const int at : {2, 7, 11}) {
            const QTextCharFormat format = EditorTest::charFormatAt(edit, at);
            QVERIFY(format.fontUnderline());
            QVERIFY(format.fontStrikeOut());
            QCOMPARE(format.fontPointSize(), 12.0);
        }
        QCOMPARE(EditorTest::charFormatAt(edit, 2).foreground().color(), QColor(200, 0, 0));
        QCOMPARE(EditorTest::charFormatAt(edit, 11).foreground().color(), QColor(0, 0, 200));
        QVERIFY(editor->toolButtons[10]->isChecked() && editor->toolButtons[11]->isChecked());

        // The dialog starts from the effects the selection has; unticking them takes them away.
        answer.font.setUnderline(false);
        answer.font.setStrikeOut(false);
        dialogs->answer(answer);
        trigger(editor->toolButtons[21]);
        QVERIFY(dialogs->requests.at(1).font.underline() && dialogs->requests.at(1).font.strikeOut());
        QVERIFY(!EditorTest::charFormatAt(edit, 7).fontUnderline());
        QVERIFY(!EditorTest::charFormatAt(edit, 7).fontStrikeOut());
    }

    void colourDialog_colours_theSelection()
    {
        EditorTest::typeText(edit, u"Rouge"_s);
        edit->selectAll();
        Dialogs::Answer answer;
        answer.accepted = true;
        answer.color = QColor(200, 0, 0);
        dialogs->answer(answer);
        trigger(editor->toolButtons[22]);
        QCOMPARE(dialogs->requests.at(0).color, QColor(Qt::black)); // automatic colour shown as black
        QCOMPARE(EditorTest::charFormatAt(edit, 2).foreground().color(), QColor(200, 0, 0));
    }

    void insertingAPicture_putsItAtTheCaret_andLeavesTheClipboardAlone()
    {
        QImage picture(40, 20, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        const QString png = folder->filePath(u"logo.png"_s);
        QVERIFY(picture.save(png));
        QGuiApplication::clipboard()->setText(u"gardé"_s);
        EditorTest::typeText(edit, u"AvantXAprès"_s);
        EditorTest::select(edit, 5, 6);
        dialogs->answerText(png);
        trigger(editor->toolButtons[24]);
        QCOMPARE(dialogs->requests.at(0).title, u"Insérer une image"_s);
        QCOMPARE(edit->toPlainText(), u"Avant"_s + QChar::ObjectReplacementCharacter + u"Après"_s);
        const QTextCharFormat format = EditorTest::charFormatAt(edit, 5);
        QVERIFY(format.isImageFormat());
        QCOMPARE(format.toImageFormat().width(), 40.0);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"gardé"_s);
        // The picture survives the letter's RTF.
        QTextDocument reread;
        QVERIFY(RichText::readRtf(RichText::writeRtf(edit->document()), &reread).ok);
        QCOMPARE(reread.toPlainText(), edit->toPlainText());

        // A file that is no picture is refused with a message.
        QuilloTest::writeBytes(folder->filePath(u"faux.png"_s), "pas une image");
        dialogs->answerText(folder->filePath(u"faux.png"_s));
        dialogs->answerButton(QMessageBox::Ok);
        trigger(editor->toolButtons[24]);
        QCOMPARE(dialogs->requests.constLast().kind, Dialogs::Request::Kind::Message);
        QVERIFY(dialogs->requests.constLast().text.contains(u"faux.png"_s));
        QCOMPARE(edit->toPlainText().size(), 11);
    }
};

QUILLO_TEST_MAIN(TestEditorFormatting)
#include "tst_editorformatting.moc"
