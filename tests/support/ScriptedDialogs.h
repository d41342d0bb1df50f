#pragma once

#include "dialogs/Dialogs.h"

#include <QList>

#include <functional>

// A dialog backend that answers from a script and records every request, so a test states the
// user's answers in advance and then checks what was asked.
class ScriptedDialogs : public Dialogs::Backend
{
public:
    // Installs a fresh scripted backend and returns it; uninstall() brings the real dialogs back.
    static std::shared_ptr<ScriptedDialogs> install();
    static void uninstall();

    // The next dialog gets this answer.
    void answerButton(QMessageBox::StandardButton button);
    void answerText(const QString &text); // a file, folder or typed text; the dialog is accepted
    void answerCancel();
    void answer(const Dialogs::Answer &answer);

    // What the user chooses in an accepted printer set-up dialog, done to the printer it was given.
    std::function<void(QPrinter *printer)> choosePrinter;

    QList<Dialogs::Request> requests;
    // Dialogs that came without a scripted answer (they were cancelled): a test expects none.
    int unexpected = 0;

    Dialogs::Answer ask(QWidget *parent, const Dialogs::Request &request, QPrinter *printer) override;

private:
    QList<Dialogs::Answer> script;
};
