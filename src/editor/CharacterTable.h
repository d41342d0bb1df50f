#pragma once

#include <QDialog>

class QTableWidget;

// "Table des caractères": a grid of the characters a French letter needs and a keyboard rarely
// offers, first the accented capitals and the typographic signs, then the Latin-1 and Latin
// Extended-A blocks. A double click (or Entrée) on a character hands it to the editor, which
// inserts it at the caret of the current letter. Built in, so no outside program is needed.
class CharacterTable : public QDialog
{
    Q_OBJECT

public:
    explicit CharacterTable(QWidget *parent = nullptr);

    // The characters in grid order.
    static QStringList characters();

    QTableWidget *grid = nullptr;

signals:
    void characterChosen(const QString &character);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void chooseCurrent();
};
