#pragma once

#include <QStringList>

class QTreeWidgetItem;

// The contact cards seen from the wizard: loading a card into the fields of step 1 or 2, saving
// those fields as a card, deleting a card, and filling the batch list with every recipient card.
// Messages go through the dialog seam; every procedure loads the wizard window when needed.

// Fill the sender (step 1) or recipient (step 2) fields from the card of that name. A card that
// is missing or shorter than its kind leaves the fields it lacks empty; nothing is shown.
void Charge_Expediteur(const QString &name);
void Charge_Destinataire(const QString &name);

// Write the sender or recipient fields as the card of that name (replacing a card of the same
// name without a question; while the name box shows the name of the card last loaded, that
// card, whose file may be named otherwise: "Nom (2).ini" for "Nom"), then refill the name list
// and show the saved card again. A name that cannot be a file name, or a file that cannot be
// written, is reported in French, nothing is written, the fields keep what was typed and the
// focus goes back to the name box. Returns true when the card was written.
bool Sauve_Expediteur(const QString &name);
bool Sauve_Destinataire(const QString &name);

// What the "Sauver" buttons do: refuse a card without a name or a qualifier (spaces only count
// as nothing), with a message naming the missing field and the focus on it; else save it under
// the name typed and confirm it in the wizard's status line. kind 1 sender, 2 recipient; other
// kinds do nothing.
void Enregistre_Fiche(int kind);

// After a confirmation, deletes the card named in the name box (kind 1 sender, 2 recipient; the
// card last loaded while the box shows its name), refills the name list and says so. A failure
// (no such card, most often) is reported under the title "Erreur de suppression" and leaves the
// list and the fields as they were.
void Supprime_Fiche(int kind);

// Refills the batch list with one row per recipient card, in the order of the file names, and
// selects the first row.
void Liste_Destinataires();

// The card name of a row of the batch list: its file's name without ".ini". The row shows the
// card's first line, which need not be that name.
QString recipientCardOf(const QTreeWidgetItem *row);
// The card names of the batch list's selected rows, in the list's order.
QStringList selectedRecipientCards();
// Selects the rows of the batch list whose cards bear these names (letter case aside) and only
// those; the first of them becomes the current row.
void selectRecipientCards(const QStringList &names);

// Fills the single-mode recipient fields from a row of the batch list: its card, as the list
// shows it. Saving or deleting afterwards goes to that card while its name stays in the box.
void showRecipientRow(const QTreeWidgetItem *row);
