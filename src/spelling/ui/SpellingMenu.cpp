#include "spelling/ui/SpellingMenu.h"

#include "dialogs/Dialogs.h"
#include "spelling/SpellChecker.h"

#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

using namespace Qt::StringLiterals;

namespace SpellingMenu {

Word misspeltWordAt(QTextDocument *document, int position, SpellChecker *checker)
{
    if (!document || !checker || !checker->isActive())
        return Word();
    const QTextBlock block = document->findBlock(position);
    if (!block.isValid())
        return Word();
    const QString text = block.text();
    const FrenchWords::Span span = FrenchWords::wordAt(text, position - block.position());
    if (!span.isValid())
        return Word();
    const QString word = text.mid(span.start, span.length);
    if (checker->isCorrect(word))
        return Word();
    return Word{block.position() + int(span.start), int(span.length), word};
}

void replaceWord(QTextDocument *document, int position, int length, const QString &replacement)
{
    QTextCursor cursor(document);
    cursor.setPosition(position + 1);
    const QTextCharFormat format = cursor.charFormat();
    cursor.beginEditBlock();
    cursor.setPosition(position);
    cursor.setPosition(position + length, QTextCursor::KeepAnchor);
    cursor.insertText(replacement, format);
    cursor.endEditBlock();
}

bool addEntries(QMenu *menu, QTextDocument *document, int position, SpellChecker *checker, QWidget *dialogParent)
{
    const Word word = misspeltWordAt(document, position, checker);
    if (!word.isValid())
        return false;

    QList<QAction *> entries;
    const QPointer<QTextDocument> target(document);
    const QStringList suggestions = checker->suggestions(word.text);
    for (const QString &suggestion : suggestions) {
        auto *action = new QAction(QString(suggestion).replace(u'&', u"&&"_s), menu);
        action->setObjectName(u"spellingSuggestion"_s);
        QObject::connect(action, &QAction::triggered, menu, [target, word, suggestion] {
            // The menu is modal, but the document may still have gone with its window meanwhile.
            if (!target || target->characterCount() < word.position + word.length)
                return;
            QTextCursor check(target);
            check.setPosition(word.position);
            check.setPosition(word.position + word.length, QTextCursor::KeepAnchor);
            if (check.selectedText() == word.text)
                replaceWord(target, word.position, word.length, suggestion);
        });
        entries << action;
    }
    if (suggestions.isEmpty()) {
        auto *none = new QAction(u"(Aucune suggestion)"_s, menu);
        none->setEnabled(false);
        entries << none;
    }
    auto *separator = new QAction(menu);
    separator->setSeparator(true);
    entries << separator;

    const QPointer<SpellChecker> spelling(checker);
    auto *ignore = new QAction(u"Ignorer"_s, menu);
    ignore->setObjectName(u"spellingIgnore"_s);
    QObject::connect(ignore, &QAction::triggered, menu, [spelling, word] {
        if (spelling)
            spelling->ignore(word.text);
    });
    entries << ignore;

    const QPointer<QWidget> parent(dialogParent);
    auto *add = new QAction(u"Ajouter au dictionnaire"_s, menu);
    add->setObjectName(u"spellingAdd"_s);
    QObject::connect(add, &QAction::triggered, menu, [spelling, word, parent] {
        if (!spelling)
            return;
        QString error;
        if (!spelling->addToPersonalDictionary(word.text, &error))
            Dialogs::message(parent, error, QMessageBox::Ok, Dialogs::Icon::Warning);
    });
    entries << add;

    auto *end = new QAction(menu);
    end->setSeparator(true);
    entries << end;

    QAction *first = menu->actions().isEmpty() ? nullptr : menu->actions().constFirst();
    menu->insertActions(first, entries);
    return true;
}

bool addEntries(QMenu *menu, QTextEdit *edit, const QPoint &point, SpellChecker *checker)
{
    if (!edit || edit->isReadOnly())
        return false;
    return addEntries(menu, edit->document(), edit->cursorForPosition(point).position(), checker, edit);
}

bool addEntries(QMenu *menu, QPlainTextEdit *edit, const QPoint &point, SpellChecker *checker)
{
    if (!edit || edit->isReadOnly())
        return false;
    return addEntries(menu, edit->document(), edit->cursorForPosition(point).position(), checker, edit);
}

namespace {

template <typename Edit> void installOn(Edit *edit)
{
    edit->setContextMenuPolicy(Qt::CustomContextMenu);
    // The position comes in the viewport's coordinates, as addEntries takes it.
    QObject::connect(edit, &QWidget::customContextMenuRequested, edit, [edit](const QPoint &point) {
        QMenu *menu = edit->createStandardContextMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        addEntries(menu, edit, point, SpellChecker::shared());
        menu->popup(edit->viewport()->mapToGlobal(point));
    });
}

} // namespace

void install(QTextEdit *edit)
{
    installOn(edit);
}

void install(QPlainTextEdit *edit)
{
    installOn(edit);
}

} // namespace SpellingMenu
