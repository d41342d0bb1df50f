#include "editor/LetterEdit.h"

#include "editor/RichEditing.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>

LetterEdit::LetterEdit(QWidget *parent) : QTextEdit(parent)
{
    setAcceptRichText(true);
    setTabChangesFocus(false);
}

QSize LetterEdit::sizeHint() const
{
    QSize hint = QTextEdit::sizeHint();
    if (lineWrapMode() == FixedPixelWidth)
        hint.setWidth(lineWrapColumnOrWidth() + 2 * frameWidth() + verticalScrollBar()->sizeHint().width());
    return hint;
}

QMimeData *LetterEdit::createMimeDataFromSelection() const
{
    return RichEditing::mimeDataFor(textCursor());
}

bool LetterEdit::canInsertFromMimeData(const QMimeData *source) const
{
    return RichEditing::canInsert(source);
}

void LetterEdit::insertFromMimeData(const QMimeData *source)
{
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    RichEditing::insertMimeData(cursor, source);
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}

void LetterEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
        setOverwriteMode(!overwriteMode());
        emit insertModeChanged(!overwriteMode());
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
}
