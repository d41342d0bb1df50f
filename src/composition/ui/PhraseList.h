#pragma once

#include <QComboBox>

// One drop-down list of the writing assistant: ready-made fragments plus a text the user may
// type. Enter asks for the typed text to be added as a fragment, Backspace for the chosen
// fragment to be removed (the key then erases in the text as usual).
class PhraseList : public QComboBox
{
    Q_OBJECT

public:
    explicit PhraseList(QWidget *parent = nullptr);

    // The fragment shown as chosen, or -1 once the user has typed over it: Backspace while
    // typing must only erase a character, never take a fragment away with it.
    int chosenIndex() const { return typedOver ? -1 : currentIndex(); }

    QStringList fragments() const;
    // Replaces the fragments, sorted, and chooses the first one.
    void setFragments(QStringList fragments);
    // Adds a fragment at its alphabetical place and chooses it; returns its position.
    int addFragment(const QString &fragment);
    // Removes a fragment without changing the text the user sees or where the cursor stands.
    void removeFragment(int index);
    // Puts a fragment back where it was and chooses it (after a file that could not be written).
    void restoreFragment(int index, const QString &fragment);

signals:
    void addRequested();
    void removeRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool typedOver = false;
};
