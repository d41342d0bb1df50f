#pragma once

// Recipients from other programs and back, from step 2's batch list ("Edition multiple"): its
// "Selection" menu and the buttons under it. What needs no window (reading the files, the
// mapping and its checks, writing the cards, the CSV) is in the recipient files of core.

// Asks for a spreadsheet's CSV or an address book's vCard file, shows its mapping (frmImport),
// then writes a recipient card for every row the user keeps. When cards of those names exist,
// asks once what to do with all of them: replace them, keep both (the new card takes a numbered
// name) or leave those rows out. A long file shows its progress; "Annuler" stops between two
// cards. The batch list is refilled with the cards written selected; rows that could not
// become cards are reported.
void Importe_Destinataires();

// Writes the cards of the batch list's selected rows as a CSV file for a spreadsheet.
void Exporte_Destinataires();
