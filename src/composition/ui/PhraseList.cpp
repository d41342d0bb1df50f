#include "composition/ui/PhraseList.h"

#include "core/AlphabeticalOrder.h"

#include <QKeyEvent>
#include <QLineEdit>

PhraseList::PhraseList(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // Inline completion would type the rest of a fragment for the user, and Enter would then add
    // that fragment again instead of what was meant.
    setCompleter(nullptr);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(12);
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { typedOver = true; });
    connect(this, &QComboBox::currentIndexChanged, this, [this] { typedOver = false; });
    connect(this, &QComboBox::activated, this, [this] { typedOver = false; });
}

QStringList PhraseList::fragments() const
{
    QStringList items;
    for (int i = 0; i < count(); ++i)
        items.append(itemText(i));
    return items;
}

void PhraseList::setFragments(QStringList items)
{
    AlphabeticalOrder::sort(&items);
    clear();
    addItems(items);
    setCurrentIndex(items.isEmpty() ? -1 : 0);
    typedOver = false;
}

int PhraseList::addFragment(const QString &fragment)
{
    const int index = int(AlphabeticalOrder::insertPosition(fragments(), fragment));
    insertItem(index, fragment);
    setCurrentIndex(index);
    typedOver = false;
    return index;
}

void PhraseList::removeFragment(int index)
{
    QLineEdit *edit = lineEdit();
    const QString text = edit->text();
    const int cursor = edit->cursorPosition();
    const int selectionStart = edit->selectionStart();
    const int selectionLength = int(edit->selectedText().size());
    {
        // Removing the chosen item would otherwise choose a neighbour and show its text.
        const QSignalBlocker quiet(this);
        removeItem(index);
        setCurrentIndex(-1);
    }
    edit->setText(text);
    if (selectionStart >= 0)
        edit->setSelection(selectionStart, selectionLength);
    else
        edit->setCursorPosition(cursor);
    typedOver = true;
}

void PhraseList::restoreFragment(int index, const QString &fragment)
{
    QLineEdit *edit = lineEdit();
    const int cursor = edit->cursorPosition();
    insertItem(index, fragment);
    setCurrentIndex(index);
    edit->setCursorPosition(cursor);
    typedOver = false;
}

void PhraseList::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Kept from the dialog too, which would press its default button.
        event->accept();
        emit addRequested();
        return;
    }
    if (event->key() == Qt::Key_Backspace)
        emit removeRequested();
    QComboBox::keyPressEvent(event);
}
