#pragma once

#include "conversion/OldVersionFiles.h"

#include <QList>
#include <QString>
#include <QStringList>

// Writing the imported data in the layout of the letter assistant: one card file per card, the
// six reference lists, the three phrase files of the writing assistant and the saved bodies.
// Every file is replaced whole and atomically; nothing is written outside the program folder's
// data folders, whatever a card is named.
namespace ConvertFiles {

// A card left unwritten because its name cannot be a file name.
struct RefusedCard
{
    ContactCard::Kind kind = ContactCard::Kind::Sender;
    QString name;
    QString sourceFile;
    QString problem; // in French, from the card rules
};

struct Report
{
    int cardsWritten = 0;
    int listsWritten = 0;
    int phraseFilesWritten = 0;
    int contentsWritten = 0;
    QList<RefusedCard> refusedCards;
    // The lists left as installed because no imported folder held their old file: "Ville.lst
    // (Communes.ini)".
    QStringList listsNotFound;
    // French sentences naming the files that could not be written or read.
    QStringList failures;
};

// The new name of an old phrase file ("Introduction.lst" gives "Introduction.ini"), or an empty
// string when the file is not one of the three.
QString phraseFileTarget(const QString &oldName);

// Writes the cards, then the six lists (except a list whose old file was not found and which is
// empty: the installed one stays), then copies the phrase files and the "*.txt" bodies of
// the source folder. The program folder's folders are made first when they are missing.
Report convert(const OldVersion::Data &data, const QString &sourceFolder);

// "Conversion des fichiers terminés.", followed by the cards left unwritten, the files that
// failed and the lists not found, if any.
QString conversionMessage(const Report &report);

} // namespace ConvertFiles
