#pragma once

#include "ScriptedDialogs.h"
#include "TestSupport.h"
#include "editor/FrmEditeur.h"
#include "editor/LetterEdit.h"

#include <QAction>
#include <QTextCursor>
#include <QTextDocument>

// What the editor's tests share: a fresh program folder and scripted dialogs per test, and a
// few ways to put text in a letter and select part of it.
namespace EditorTest {

// Triggers an item the way the user does, after checking that it is there and enabled.
inline void trigger(QAction *action)
{
    QVERIFY(action);
    QVERIFY(action->isEnabled());
    action->trigger();
}

inline void select(QTextEdit *edit, int from, int to)
{
    QTextCursor cursor = edit->textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    edit->setTextCursor(cursor);
}

inline void typeText(QTextEdit *edit, const QString &text, const QTextCharFormat &format = QTextCharFormat())
{
    QTextCursor cursor = edit->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text, format);
    edit->setTextCursor(cursor);
}

inline QTextCharFormat boldFormat()
{
    QTextCharFormat format;
    format.setFontWeight(QFont::Bold);
    return format;
}

inline QTextCharFormat charFormatAt(QTextEdit *edit, int position)
{
    QTextCursor cursor(edit->document());
    cursor.setPosition(position + 1); // the format of the character before the cursor
    return cursor.charFormat();
}

} // namespace EditorTest
