#pragma once

#include <QTextEdit>

// The rich-text control of one letter tab. The clipboard carries its selections as RTF and as
// plain text, so formatting survives between letters and with word processors while a
// plain-text program still gets the words; pasting takes RTF first, then plain text. The
// Insert key switches between inserting and overwriting, as in the letters' previous editor.
class LetterEdit : public QTextEdit
{
    Q_OBJECT

public:
    explicit LetterEdit(QWidget *parent = nullptr);

    // Laid out at the printed line's width, the control asks for that line whole, with the
    // scroll bar a letter longer than the window shows.
    QSize sizeHint() const override;

signals:
    void insertModeChanged(bool inserting);

protected:
    QMimeData *createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    void keyPressEvent(QKeyEvent *event) override;
};
