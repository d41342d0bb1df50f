#pragma once

#include <QString>

// "paris" and "PARIS" become "Paris": each word gets a capital first letter and small letters
// elsewhere. A word starts at the beginning or after a space or a tab. French place names join
// their parts with hyphens and apostrophes, and those parts take a capital too, except the small
// words that link them: "vaulx-en-velin" becomes "Vaulx-en-Velin", "l'haÿ-les-roses"
// "L'Haÿ-les-Roses", "villeneuve-d'ascq" "Villeneuve-d'Ascq". The small words are à, au, aux,
// de, des, du, en, et, la, le, les, lès, lez, sous, sur, and d' and l' before an apostrophe.
QString properCase(const QString &text);
