#pragma once

#include "batch/LetterBatch.h"

#include <QList>
#include <QString>
#include <QStringList>

// Quillo's command line: the letters of a saved model written without any window, as PDF or
// RTF files or on the default printer, one per recipient card:
//
//     Quillo --modele Relance.txt --toutes-les-fiches --pdf ~/Lettres
//
// Without any of its options the program starts the wizard as always.
namespace CommandLine {

// Exit statuses.
enum Status {
    Success = 0,      // every letter written
    LetterFailed = 1, // a letter could not be written (the others were)
    BadArguments = 2, // the command cannot be carried out as given: nothing was written
};

// True when the arguments ask for the command line rather than the wizard: an option of its own,
// or any option that is not one of Qt's own (-platform, -style…), which then gets an error
// message rather than a window.
bool isRequested(int argc, char *argv[]);

// Before the application object: on a system with a display server the command line still
// opens no window and needs no display, so Qt draws off screen unless told otherwise
// (QT_QPA_PLATFORM); and Qt's warnings stay out of the command line's messages.
void preparePlatform();

// Runs the command line (the arguments with the program's name first) and returns its exit
// status. Messages go to the standard error, in French; the help and the version to the
// standard output.
int run(const QStringList &arguments);

// One recipient of the letters: the seven fields of a recipient card (name, postal address,
// residence, postcode and town, province / country, qualifier, function), and where they came
// from: the cards named by --fiches and --toutes-les-fiches, or the rows of the file of
// --destinataires.
struct Recipient
{
    QString source;     // the card's name as the user gave it, or the row's name ("Ligne 12" if none)
    QStringList fields; // 7 fields
    QString problem;    // not empty: the recipient could not be read, this says why
};

// The recipient cards of the program folder with these names (a card that does not exist gives
// a recipient with its problem), or all of them in alphabetical order when names is empty.
QList<Recipient> recipientCards(const QStringList &names);

// The recipients of a spreadsheet's or an address book's file (CSV or vCard), mapped as the
// wizard's import maps them, in the order of the file; no card is written. A row that the checks
// flag (columns shifted, no name, no qualifier, a postcode that lost its zero) or a record that
// could not be read gives a recipient whose problem names its line, and so a letter the batch
// refuses. False, with the reason, when the file cannot be read at all.
bool recipientsFromFile(const QString &path, QList<Recipient> *recipients, QString *error);

// One letter per recipient: the model's values with the recipient's in place of the model's own.
// A recipient with a problem gives a letter that the batch reports as failed.
QList<LetterBatch::Letter> lettersFor(const WizardValues &model, const QList<Recipient> &recipients);

} // namespace CommandLine
