#pragma once

#include "batch/LetterBatch.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

class QUrl;
class QWidget;

// "Exporter en PDF" as the wizard and the editor offer it: one letter to a file the user names,
// or a series of letters into a folder, one file each named after its recipient, with the
// journal beside them. Every question goes through the dialog seam.
namespace PdfExport {

// The save dialog (in directory, or else the folder of the last export), proposing the
// recipient's name with ".pdf"; replacing a file is asked there. Then the letter is written and
// the user told where, or why it could not be. Returns the file written; empty when cancelled or
// not written.
QString exportLetter(QWidget *parent, const LetterBatch::Letter &letter, const QString &directory = QString());

// The folder dialog, then, when files of the letters' names are there already, one question
// before any is replaced ("Non" shows the folder dialog again). The letters are written with
// their progress shown for a long series ("Annuler" stops it), then one message gives the count
// written, the folder and each letter that could not be written, and offers to open the folder.
// Returns the batch's report; nothing when the user cancelled before any letter was written.
std::optional<LetterBatch::Report> exportLetters(QWidget *parent, const QList<LetterBatch::Letter> &letters);

} // namespace PdfExport

// How the export hands its folder to the desktop; tests replace it.
namespace PdfExportHooks {
// The folder of a batch shown in the system's file manager; false when nothing could show it.
extern std::function<bool(const QUrl &folder)> openFolder;
} // namespace PdfExportHooks
