#pragma once

#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

// The progress of a series of letters in a dialog of its own, with "Annuler", over the window
// that started it. A short series ends before the dialog could be read: only a series of more
// than kThreshold letters shows one.
class BatchProgress
{
public:
    static constexpr int kThreshold = 20;

    BatchProgress(QWidget *parent, const QString &text, int total);
    ~BatchProgress();
    BatchProgress(const BatchProgress &) = delete;
    BatchProgress &operator=(const BatchProgress &) = delete;

    // Letters done so far; the dialog lets the windows repaint and hears "Annuler".
    void setValue(int done);
    // True once "Annuler" was pressed.
    bool cancelled() const;

private:
    std::unique_ptr<QProgressDialog> dialog;
};
