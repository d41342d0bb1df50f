#pragma once

#include "core/RecipientFile.h"

#include <array>
#include <optional>

// From a table of recipients (RecipientFile) to the seven fields of recipient cards, with the
// checks that keep letters from going to the wrong person or out with holes in them.
//
//   RecipientMapping mapping = Recipients::guessMapping(table);   // a window shows and changes it
//   Recipients::Mapped mapped = Recipients::map(table, mapping);   // rows, flagged or not
//   ... the user keeps flagged rows (row.keep = true) or accepts a fix (restoreLeadingZero)
//   RecipientCards::importRows(mapped.rows, ...);                   // RecipientCards.h
//
// When the user changes mapping.reading (separator, encoding), the bytes are read again with it
// (RecipientFile::read). Another encoding keeps the columns as chosen; another separator makes
// other columns, so guessMapping(table, mapping.reading) starts the columns afresh (keep the
// name order). A window offers CsvReader::kSeparators and the TextEncoding values, named by
// RecipientFile::separatorName and encodingName, and the roles 0 to kColumnRoleCount - 1 named
// by Recipients::roleName.

// The seven lines of a recipient card, in the order of the card file.
enum class CardField { Name, Address, Residence, PostcodeTown, Country, Qualifier, Function };
inline constexpr int kCardFieldCount = 7;

// What a column can hold. Several roles feed one card field: the name comes from the first and
// last names, or else a full name, or else an organisation; the "Code Postal - Ville" field from
// one column or from a postcode and a town; the qualifier from a civility, or else a sex.
enum class ColumnRole {
    FullName,
    FirstName,
    LastName,
    Organisation,
    Address,
    Residence,
    PostcodeTown,
    Postcode,
    Town,
    Country,
    Qualifier,
    Gender,
    Function,
};
inline constexpr int kColumnRoleCount = 13;

enum class NameOrder {
    FirstLast, // "Prénom Nom", the usual order of an address
    LastFirst, // "Nom Prénom", as some offices file their correspondents
};

// Everything a user can change about an import, as a plain value: the way the bytes are read,
// whether the first row names the columns, the column of each role, the order of the name.
struct RecipientMapping
{
    RecipientFile::Options reading;
    bool hasHeader = false;
    std::array<int, kColumnRoleCount> columns; // 0-based column of each role, -1 for none
    NameOrder nameOrder = NameOrder::FirstLast;

    RecipientMapping() { columns.fill(-1); }
    int column(ColumnRole role) const { return columns[size_t(role)]; }
    void setColumn(ColumnRole role, int column) { columns[size_t(role)] = column; }
    bool operator==(const RecipientMapping &) const = default;
};

// A fault of a row that could send a letter to the wrong person or with a hole in it.
enum class RowProblem {
    FieldCount,            // more (non-empty) or fewer fields than the header: columns shifted
    NameLooksLikePostcode, // a postcode in the name column: columns shifted
    NameMissing,           // no name while other fields are filled
    QualifierMissing,      // the qualifier, which the salutation needs, is empty
    PostcodeLostZero,      // a four-digit French postcode: its leading zero was probably lost
};

struct RecipientRow
{
    struct Problem
    {
        RowProblem kind;
        QString text; // French, without the line number
    };

    int line = 0;       // line of the file where the row starts
    QStringList fields; // kCardFieldCount fields in card order, each on one line
    QList<Problem> problems;
    // With PostcodeLostZero: the "Code Postal - Ville" field with its zero back ("01000 Bourg").
    QString restoredPostcodeTown;
    // Whether the row becomes a card. Flagged rows start left out: the caller keeps them only
    // when the user says so.
    bool keep = true;

    QString field(CardField f) const { return fields.value(int(f)); }
    bool isFlagged() const { return !problems.isEmpty(); }
    bool has(RowProblem kind) const;
};

namespace Recipients {

struct Mapped
{
    QList<RecipientRow> rows;              // every non-blank data row, in file order
    int blankRows = 0;                     // rows with nothing in them, skipped
    QList<RecipientTable::Damage> damaged; // the reader's damaged records, left out
    int flaggedCount() const;
    int keptCount() const;
};

// The mapping a table most probably wants: whether its first row is a header (it names known
// columns), and the column of each role, recognised by its header in French or English as
// spreadsheets and address books write them ("Civilité", "Prénom", "Code postal", "Title",
// "First Name", "Business Postal Code", "Address 1 - City"…). When several columns fit a role
// the most filled wins (an address book's home and work addresses). A table without a header
// is guessed from its contents; seven columns in a card's order are taken as such.
RecipientMapping guessMapping(const RecipientTable &table, const RecipientFile::Options &reading = {});

// The role a column header names, if any.
std::optional<ColumnRole> roleOfHeader(const QString &header);

// What a window shows for the columns: the header cells, or "Colonne 1", "Colonne 2"…
QStringList columnNames(const RecipientTable &table, const RecipientMapping &mapping);
int columnCount(const RecipientTable &table);

QString roleName(ColumnRole role);     // "Prénom", "Code postal", "Civilité"…
QString fieldCaption(CardField field); // the card's own captions: "Nom et prénom"…

// A civility as the wizard offers it: "M.", "Mme", "Mlle", "Monsieur", "Madame", "Mademoiselle"
// keep their spelling (letter case and stops mended); English and other forms become French
// words, which the salutation line can use: "Mr" -> "Monsieur", "Mrs"/"Ms" -> "Madame",
// "Miss" -> "Mademoiselle", "Dr" -> "Docteur", "Me" -> "Maître", "Pr" -> "Professeur".
// Anything else stays as written (recognised false).
QString qualifierFor(const QString &text, bool *recognised = nullptr);
// A sex as a qualifier: M, H, male, homme, 1 -> "Monsieur"; F, female, femme, 2 -> "Madame";
// anything else (vCard's O, N, U) -> empty.
QString qualifierForGender(const QString &text);

// Every data row of the table as card fields, checked. Blank rows are counted and skipped.
// Postcodes are text throughout: "01000" stays "01000". A spreadsheet's ="01000" is read as
// 01000. An address over several lines gives its first line to "Adresse postale" and the rest
// to "Résidence" when that is empty; other line ends become spaces.
Mapped map(const RecipientTable &table, const RecipientMapping &mapping);

// Accepts the fix of PostcodeLostZero: the field takes restoredPostcodeTown, the problem goes,
// and the row is kept when no other problem remains.
void restoreLeadingZero(RecipientRow *row);

// "Ligne 12 : le nom est vide alors que d'autres champs sont remplis ; la civilité est vide."
// Empty for a row without problems. What the command line prints for each row it refuses.
QString describe(const RecipientRow &row);
QString describe(const RecipientTable::Damage &damage); // "Ligne 12 illisible (guillemet non refermé) : ignorée."

} // namespace Recipients
