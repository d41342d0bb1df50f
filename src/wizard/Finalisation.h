#pragma once

#include "composition/LetterFields.h"

#include <QString>

#include <functional>

class FrmMenu;
class QTreeWidgetItem;
class QUrl;

// The body step's file actions and the final step's actions: letters assembled from the
// wizard's values, letter models, RTF export. The step-5 actions throw QuilloError; their
// buttons report it (runFinalAction).

// The wizard's values as plain data; row: a row of the batch list whose recipient replaces the
// single-mode recipient fields.
WizardValues wizardValues(const FrmMenu *menu, const QTreeWidgetItem *row = nullptr);

// import true: reads a body file into the body; false: writes the body to a file. A cancelled
// dialog does nothing; an import that cannot read its file leaves the body empty.
void Fichier_Contenu(bool import);

// Composes the letter's values (batch: from row `row` of the batch list, 1-based) and builds it
// in the working document; toEditor: also places it in the editor.
void Get_Valeurs(bool batch, int row, bool toEditor);

// Assembles the single letter, or one letter per selected row of the batch list (always into
// the editor then). A batch of more than 20 letters shows its progress and can be cancelled;
// the letters already made stay.
void Genere_Lettres(bool toEditor);

// save true: writes the wizard's values as a letter model; false: opens a model into the wizard
// and assembles its letter. Throws QuilloError (a cancelled dialog included).
void Fichier_Modele(bool save);

// Assembles the single letter from the wizard's fields, then writes it to an RTF file; modify:
// then opens it with the program the system associates with RTF files, and says so when that
// fails. Throws QuilloError (a cancelled dialog included).
void Export_RTF(bool modify);

// Single mode: the letter of the wizard's fields as a PDF file named in the save dialog. Batch
// mode: one PDF file per selected recipient in a chosen folder, with the journal beside them
// (see PdfExport). The outcome is shown; nothing is thrown.
void Export_PDF();

// The step-5 actions by the indexes of their buttons (Outils5_0 to Outils5_6).
enum class FinalAction {
    SaveModel = 0,     // "Enregistrer le modèle"
    OpenModel = 1,     // "Ouvrir un modèle"
    PreviewModel = 2,  // "Aperçu du modèle"
    ToEditor = 3,      // "Editeur de lettre"
    ExportRtf = 4,     // "Exporter au format RTF"
    ExportAndEdit = 5, // "Exporter et Modifier"
    ExportPdf = 6,     // "Exporter en PDF"
};

// Runs a step-5 action (index 0 to 6, see FinalAction) with the hourglass, and shows its failure,
// if any, as "description", a line break and "Erreur n°" + number. A cancelled dialog shows
// nothing.
void runFinalAction(int index);

// The fields as they stand become the letter last saved (or opened) as a model; "Quitter"
// compares with them. The wizard's load step takes them first.
void rememberLetterAsSaved(FrmMenu *menu);
// True when a field of the letter (as a model stores it) changed since then.
bool letterChangedSinceModel(const FrmMenu *menu);
// Before the wizard closes: when the letter changed since the last model, asks whether to save
// it as a model first (Oui / Non / Annuler). False when the wizard must stay open: "Annuler", or
// a save that was cancelled or failed (the failure is shown).
bool confirmQuit(FrmMenu *menu);

// How the finalisation hands a file to the desktop; tests replace it.
namespace FinalisationHooks {
// "Exporter et Modifier": the exported file opened with the system's program for RTF; false when
// no program could open it.
extern std::function<bool(const QUrl &file)> openFile;
} // namespace FinalisationHooks
