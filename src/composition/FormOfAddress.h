#pragma once

#include <QString>

// How a letter names its recipient: "Monsieur le Directeur", "Madame l'Inspectrice", "Maître".
//
// The article agrees with the qualifier ("le" after Monsieur, "la" after Madame and
// Mademoiselle, "les" after Messieurs and Mesdames) and is elided before a vowel or a mute h
// ("l'Huissier"), not before an aspirated h ("le Haut-Commissaire"). Any other qualifier (Maître,
// Docteur, a title the user typed) takes the function without an article. Qualifier and function
// keep the letters the user typed; a value of spaces only counts as empty.
namespace FormOfAddress {

enum class Use {
    // The first line of the address block: an abbreviated qualifier ("M.", "Mme") may stand;
    // without a qualifier the function alone.
    AddressBlock,
    // The salutation and the politeness formula: the qualifier written in full ("M." gives
    // "Monsieur"); without a qualifier the conventional "Madame, Monsieur".
    Salutation,
};

QString compose(const QString &qualifier, const QString &function, Use use);

// The qualifier written in full when it is a usual abbreviation ("Mme" gives "Madame"),
// otherwise as typed, without its surrounding spaces.
QString fullQualifier(const QString &qualifier);

} // namespace FormOfAddress
