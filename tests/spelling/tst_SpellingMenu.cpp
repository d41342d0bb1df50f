#include "ScriptedDialogs.h"
#include "SpellingTestSupport.h"
#include "TestSupport.h"
#include "spelling/PersonalDictionary.h"
#include "spelling/ui/SpellingMenu.h"

#include <QDir>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

namespace {

QAction *entry(QMenu &menu, const QString &objectName, int index = 0)
{
    QList<QAction *> found;
    for (QAction *action : menu.actions()) {
        if (action->objectName() == objectName)
            found << action;
    }
    return index < found.size() ? found[index] : nullptr;
}

QStringList suggestionTexts(QMenu &menu)
{
    QStringList texts;
    for (QAction *action : menu.actions()) {
        if (action->objectName() == u"spellingSuggestion")
            texts << action->text();
    }
    return texts;
}

} // namespace

class TestSpellingMenu : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        ScriptedDialogs::uninstall();
        QVERIFY(QuilloTest::closeAllWindows().isEmpty());
    }

    void suggestionReplacesTheWordAsOneUndoStep()
    {
        SpellChecker checker;
        SpellingTest::useSmallDictionary(checker);
        QTextEdit edit;
        edit.setPlainText(u"Bonjour madamme, merci."_s);
        // The word is bold: its correction stays bold.
        QTextCursor word(edit.document());
        word.setPosition(8);
        word.setPosition(15, QTextCursor::KeepAnchor);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        word.mergeCharFormat(bold);
        edit.document()->clearUndoRedoStacks();

        QMenu menu;
        menu.addAction(u"Copier"_s);
        QVERIFY(SpellingMenu::addEntries(&menu, edit.document(), 11, &checker, &edit));
        QCOMPARE(suggestionTexts(menu).first(), u"madame"_s);
        QVERIFY(suggestionTexts(menu).size() <= 7);
        // The spelling entries come first, the control's own after them.
        QCOMPARE(menu.actions().first()->objectName(), u"spellingSuggestion"_s);
        QCOMPARE(menu.actions().last()->text(), u"Copier"_s);

        entry(menu, u"spellingSuggestion"_s)->trigger();
        QCOMPARE(edit.toPlainText(), u"Bonjour madame, merci."_s);
        QTextCursor replaced(edit.document());
        replaced.setPosition(10);
        QCOMPARE(replaced.charFormat().fontWeight(), int(QFont::Bold));
        edit.document()->undo();
        QCOMPARE(edit.toPlainText(), u"Bonjour madamme, merci."_s);
        QVERIFY(!edit.document()->isUndoAvailable());
    }

    void ignoreAndAddToDictionary()
    {
        QuilloTest::TempProgramFolder folder;
        // The personal word list cannot be written: a folder stands where the file goes.
        QVERIFY(QDir(folder.path()).mkdir(PersonalDictionary::fileName()));
        auto dialogs = ScriptedDialogs::install();
        dialogs->answerButton(QMessageBox::Ok);
        SpellChecker checker;
        SpellingTest::useSmallDictionary(checker);
        checker.setPersonalDictionary(folder.filePath(PersonalDictionary::fileName()));
        QTextDocument document(u"Bonjour Quillane et Kerouël 12"_s);
        QMenu none;
        for (int position : {3, 28}) // a right word, a number
            QVERIFY(!SpellingMenu::addEntries(&none, &document, position, &checker, nullptr));
        QVERIFY(none.actions().isEmpty());

        QMenu ignoreMenu;
        QVERIFY(SpellingMenu::addEntries(&ignoreMenu, &document, 10, &checker, nullptr));
        entry(ignoreMenu, u"spellingIgnore"_s)->trigger();
        QVERIFY(checker.isIgnored(u"Quillane"_s));
        QVERIFY(!SpellingMenu::addEntries(&none, &document, 10, &checker, nullptr));

        QMenu addMenu;
        QVERIFY(SpellingMenu::addEntries(&addMenu, &document, 27, &checker, nullptr));
        entry(addMenu, u"spellingAdd"_s)->trigger();
        QCOMPARE(dialogs->requests.size(), 1);
        QCOMPARE(dialogs->requests.first().icon, Dialogs::Icon::Warning);
        QVERIFY(dialogs->requests.first().text.contains(u"Kerouël"_s));
        QVERIFY(checker.isCorrect(u"Kerouël"_s));
    }

    void wordUnderTheMouseOfEitherControl()
    {
        SpellChecker checker;
        SpellingTest::useSmallDictionary(checker);
        QTextEdit rich;
        rich.setPlainText(u"Bonjour madamme"_s);
        QPlainTextEdit plain;
        plain.setPlainText(u"Bonjour madamme"_s);
        for (QWidget *control : {static_cast<QWidget *>(&rich), static_cast<QWidget *>(&plain)}) {
            control->resize(400, 200);
            control->show();
            QVERIFY(QTest::qWaitForWindowExposed(control));
        }
        QTextCursor inRich(rich.document());
        inRich.setPosition(11);
        QTextCursor inPlain(plain.document());
        inPlain.setPosition(11);
        QMenu richMenu, plainMenu;
        QVERIFY(SpellingMenu::addEntries(&richMenu, &rich, rich.cursorRect(inRich).center(), &checker));
        QVERIFY(SpellingMenu::addEntries(&plainMenu, &plain, plain.cursorRect(inPlain).center(), &checker));
        entry(plainMenu, u"spellingSuggestion"_s)->trigger();
        QCOMPARE(plain.toPlainText(), u"Bonjour madame"_s);
        // A read-only control offers no correction.
        rich.setReadOnly(true);
        QMenu readOnly;
        QVERIFY(!SpellingMenu::addEntries(&readOnly, &rich, rich.cursorRect(inRich).center(), &checker));
    }
};

QUILLO_TEST_MAIN(TestSpellingMenu)
#include "tst_SpellingMenu.moc"
