#pragma once

#include <QList>

#include <functional>

class QTextEdit;
class QWidget;

// Where the editor hands a letter to printing. The printing layer sets these when it starts;
// until then the editor's print and preview commands do nothing.
namespace PrintHooks {

// "Aperçu avant impression": the letter with its margin (twips), shown from the editor.
inline std::function<void(QTextEdit *letter, int margin)> preview;
// "Configurer l'impression": the printer set-up dialog, over the editor window.
inline std::function<void(QWidget *parent)> setUpPrinter;
// "Imprimer..." (one letter) and "Imprimer tout" (every letter that is not blank, in tab order),
// margins in twips. Printing decides how many jobs that makes; a failure is shown to the user and
// ends the round.
inline std::function<void(const QList<QTextEdit *> &letters, int left, int top, int right, int bottom)> print;

} // namespace PrintHooks
