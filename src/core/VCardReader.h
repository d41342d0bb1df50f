#pragma once

#include "core/RecipientTable.h"

#include <QByteArray>

// vCards 2.1, 3.0 and 4.0 as address books export them, several cards to a file. Reads the
// properties a letter needs into a table whose first row is a header row of French column
// names (columnNames()), one row per card, so that the mapping recognises the columns as it
// does a spreadsheet's.
//   N       family; given; additional; honorific prefix (-> "Civilité"); suffix
//   FN      the formatted name; ORG the organisation (names for cards without N)
//   ADR     post office box; extended address; street; locality; region; postal code; country.
//           The preferred one (PREF parameter or TYPE=pref) when there are several, else the first.
//   TITLE   the function, ROLE when there is no TITLE
//   GENDER  (4.0; X-GENDER elsewhere) the sex, for the qualifier when N has no prefix
// Understood: folded lines, the QUOTED-PRINTABLE encoding and CHARSET parameter of 2.1 (soft line
// breaks included), the escapes \, \; \n \\, property groups ("item1.ADR"), parameters quoted or
// not. Values are UTF-8 when they are valid UTF-8 and carry no CHARSET, else Windows-1252.
namespace VCardReader {

// Whether bytes look like vCards: the first thing after a byte-order mark and blank space is
// BEGIN:VCARD (letter case ignored).
bool looksLikeVCard(const QByteArray &bytes);

// The column names of the header row.
QStringList columnNames();

// Reads every card. A card that is not closed (END:VCARD missing, another BEGIN:VCARD inside
// it, the end of the file) is damaged and left out, reported by its BEGIN line; so is a card
// whose used property exceeds ImportLimits::kMaxLineChars once unfolded (an unused one, such
// as a large PHOTO, is passed over). A physical line over the limit, or more cards or damaged
// cards than the limits allow refuse the file. Lines outside cards are ignored.
RecipientTable read(const QByteArray &bytes);

} // namespace VCardReader
