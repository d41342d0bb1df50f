#pragma once

#include <QColor>
#include <QFont>
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <memory>
#include <utility>

class QPrinter;
class QWidget;

// Every modal interaction with the user goes through here: message boxes, file, folder, font,
// colour and printer dialogs, and the input box. Tests replace the backend with a script of
// answers (Dialogs::setBackend), so no test ever blocks on a dialog.
namespace Dialogs {

enum class Icon { None, Information, Question, Warning, Critical };

// What a dialog was asked to show, as the backend receives it.
struct Request
{
    enum class Kind { Message, OpenFile, SaveFile, Folder, Font, Color, Printer, PageSetup, Input };
    Kind kind = Kind::Message;
    QString title;
    QString text; // message text, or the input box's prompt
    Icon icon = Icon::None;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QString directory;     // file and folder dialogs: where they open
    QString filter;        // file dialogs: "Texte (*.txt);;Tous (*.*)"
    QString initialText;   // input box: the proposed answer; save dialog: the proposed name
    QString defaultSuffix; // save dialog: the extension a name typed without it gets ("rtf")
    QString acceptLabel;   // printer set-up: the caption of the button that confirms the choice
    // Message: a caption of its own for some of the buttons ("Remplacer" rather than "Oui").
    QList<std::pair<QMessageBox::StandardButton, QString>> buttonCaptions;
    QFont font;
    QColor color;
};

// The user's answer. accepted is false when the dialog was cancelled.
struct Answer
{
    bool accepted = false;
    QMessageBox::StandardButton button = QMessageBox::NoButton;
    QString text; // file or folder path, or the typed text
    QString selectedFilter;
    QFont font;
    QColor color;
};

class Backend
{
public:
    virtual ~Backend() = default;
    virtual Answer ask(QWidget *parent, const Request &request, QPrinter *printer) = 0;
};

// Installs a backend; nullptr brings back the real dialogs.
void setBackend(std::shared_ptr<Backend> backend);

// A message box. An empty title shows the product name. Returns the button pressed.
QMessageBox::StandardButton message(QWidget *parent, const QString &text,
                                    QMessageBox::StandardButtons buttons = QMessageBox::Ok, Icon icon = Icon::None,
                                    const QString &title = QString(),
                                    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

// A message box whose buttons say what each does ("Remplacer", "Garder les deux"): each button
// given shows its caption and keeps the role of its standard button (Escape presses the one of
// QMessageBox::Cancel). Returns the button pressed.
QMessageBox::StandardButton choose(QWidget *parent, const QString &text,
                                   const QList<std::pair<QMessageBox::StandardButton, QString>> &buttons,
                                   Icon icon = Icon::Question, const QString &title = QString(),
                                   QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

// File dialogs: the chosen path, or an empty string when cancelled.
QString openFileName(QWidget *parent, const QString &title, const QString &directory, const QString &filter,
                     QString *selectedFilter = nullptr);
// The save dialog. defaultSuffix ("rtf", without the dot) is added to the proposed name and to a
// chosen name that does not end with it, before anything else: when that file exists, the
// question whether to replace it names the file that will really be written. "Non" shows the
// dialog again; so a returned path is either new or one the user agreed to replace.
QString saveFileName(QWidget *parent, const QString &title, const QString &directory, const QString &filter,
                     const QString &proposedName = QString(), const QString &defaultSuffix = QString(),
                     QString *selectedFilter = nullptr);
// name with ".suffix" added unless it already ends with it (letter case ignored).
QString withSuffix(const QString &name, const QString &suffix);
QString existingFolder(QWidget *parent, const QString &title, const QString &directory);

bool chooseFont(QWidget *parent, QFont *font, const QString &title = QString());
bool chooseColor(QWidget *parent, QColor *color, const QString &title = QString());
// The printer set-up dialog: chooses the printer and its settings for the prints to come, and
// prints nothing (its confirming button says "OK", not "Imprimer"). False when cancelled; the
// printer is then as it was.
bool setUpPrinter(QWidget *parent, QPrinter *printer);
bool setUpPage(QWidget *parent, QPrinter *printer);

// The input box: true with the typed text, false when cancelled.
bool inputText(QWidget *parent, const QString &title, const QString &prompt, QString *text);

} // namespace Dialogs
