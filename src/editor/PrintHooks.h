#pragma once

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
// "Imprimer...", and each letter of "Imprimer tout": one print job, margins in twips. False when
// the letter could not be printed (the user has been told why): "Imprimer tout" stops there.
inline std::function<bool(QTextEdit *letter, int left, int top, int right, int bottom)> print;

} // namespace PrintHooks
