#pragma once

#include <QString>

class QListWidget;

// Adds a word to a list kept in alphabetical order, unless the list holds it already (whole
// entry, letter case ignored) or the word is empty. When it is there and showMessage is true,
// says so: "Le mot ''PARIS'' est déjà présent dans la liste.". Returns the row of the entry that
// was already there, or -1 when the word was absent.
int Ajoute_Mot(QListWidget *list, const QString &word, bool showMessage);

// The duplicate message, also given when a modified entry would equal another one.
void showDuplicateMessage(QListWidget *list, const QString &word);
