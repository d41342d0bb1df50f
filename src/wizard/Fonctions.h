#pragma once

#include <QString>

// The program-wide procedures of the letter assistant: start-up, card name lists, reference
// lists and step changes. They work on the wizard window, which holds the letter in preparation.

// Step shown by the wizard, 1 to 5; 0 until the user first moves (which counts as step 1).
extern int EtapeCourante;
// File title of the letter model last saved or opened; empty until then.
extern QString CurrentModelName;

// Start-up: folders, card name lists, reference lists, then the wizard shown; returns at once.
void Main();

// Refills a card name list: kind 1 the senders, kind 2 the recipients; other kinds do nothing.
// Empties the card editor of that kind too.
void Liste_Fiches(int kind);

// Reloads the six reference lists into the wizard's boxes, keeping what each box shows. Each
// list loads on its own: a missing or unreadable file leaves its box(es) empty and the other
// lists still load.
void Charge_Listes();

// direction 1 goes back one step, any other value forward one step.
void Change_Etape(int direction);
