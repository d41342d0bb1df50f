#include "ScriptedDialogs.h"

std::shared_ptr<ScriptedDialogs> ScriptedDialogs::install()
{
    auto backend = std::make_shared<ScriptedDialogs>();
    Dialogs::setBackend(backend);
    return backend;
}

void ScriptedDialogs::uninstall()
{
    Dialogs::setBackend(nullptr);
}

void ScriptedDialogs::answerButton(QMessageBox::StandardButton button)
{
    Dialogs::Answer a;
    a.accepted = true;
    a.button = button;
    script.append(a);
}

void ScriptedDialogs::answerText(const QString &text)
{
    Dialogs::Answer a;
    a.accepted = true;
    a.button = QMessageBox::Ok;
    a.text = text;
    script.append(a);
}

void ScriptedDialogs::answerCancel()
{
    Dialogs::Answer a;
    a.accepted = false;
    a.button = QMessageBox::Cancel;
    script.append(a);
}

void ScriptedDialogs::answer(const Dialogs::Answer &a)
{
    script.append(a);
}

Dialogs::Answer ScriptedDialogs::ask(QWidget *, const Dialogs::Request &request, QPrinter *printer)
{
    requests.append(request);
    if (script.isEmpty()) {
        ++unexpected;
        Dialogs::Answer cancelled;
        cancelled.button = request.kind == Dialogs::Request::Kind::Message ? QMessageBox::Ok : QMessageBox::Cancel;
        return cancelled;
    }
    const Dialogs::Answer answer = script.takeFirst();
    if (answer.accepted && request.kind == Dialogs::Request::Kind::Printer && printer && choosePrinter)
        choosePrinter(printer);
    return answer;
}
