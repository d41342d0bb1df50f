#include "core/RecipientMapping.h"

#include "core/CsvReader.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

using namespace Qt::StringLiterals;

namespace {

// Lower case, no accents, punctuation as spaces, single spaces: "Code Postal - Ville" and
// "code postal/ville" compare alike.
QString normalised(const QString &text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        out.append(c.isLetterOrNumber() ? c.toLower() : QChar(u' '));
    }
    return out.simplified();
}

const QHash<QString, ColumnRole> &headerTable()
{
    static const QHash<QString, ColumnRole> table = [] {
        QHash<QString, ColumnRole> t;
        const auto add = [&t](ColumnRole role, std::initializer_list<const char16_t *> names) {
            for (const char16_t *name : names)
                t.insert(QString::fromUtf16(name), role);
        };
        add(ColumnRole::FullName,
            {u"nom et prenom", u"nom et prenoms", u"nom prenom", u"prenom et nom", u"prenom nom", u"nom complet",
             u"nom affiche", u"nom a afficher", u"nom d affichage", u"destinataire", u"contact", u"name", u"full name",
             u"fullname", u"display name", u"contact name"});
        add(ColumnRole::FirstName,
            {u"prenom", u"prenoms", u"first name", u"firstname", u"given name", u"forename", u"first"});
        add(ColumnRole::LastName, {u"nom", u"nom de famille", u"nom patronymique", u"nom d usage", u"last name",
                                   u"lastname", u"surname", u"family name", u"last"});
        add(ColumnRole::Organisation,
            {u"societe", u"entreprise", u"organisation", u"organisme", u"raison sociale", u"etablissement", u"company",
             u"company name", u"organization", u"organization name", u"organisation name", u"organization 1 name",
             u"employer"});
        add(ColumnRole::Address, {u"adresse",
                                  u"adresse postale",
                                  u"adresse 1",
                                  u"adresse ligne 1",
                                  u"ligne adresse 1",
                                  u"ligne 1",
                                  u"rue",
                                  u"rue 1",
                                  u"voie",
                                  u"n et rue",
                                  u"numero et rue",
                                  u"numero et voie",
                                  u"address",
                                  u"address 1",
                                  u"address line 1",
                                  u"postal address",
                                  u"street",
                                  u"street 1",
                                  u"street address",
                                  u"street address 1"});
        add(ColumnRole::Residence,
            {u"adresse 2", u"adresse ligne 2", u"ligne adresse 2", u"ligne 2", u"complement", u"complement d adresse",
             u"complement adresse", u"residence", u"batiment", u"rue 2", u"address 2", u"address line 2", u"street 2",
             u"street address 2", u"extended address"});
        add(ColumnRole::PostcodeTown,
            {u"code postal ville", u"code postal et ville", u"cp ville", u"cp et ville", u"postcode town",
             u"postcode and town", u"postal code city", u"postal code and city", u"zip city"});
        add(ColumnRole::Postcode,
            {u"code postal", u"cp", u"c p", u"codepostal", u"postal code", u"postalcode", u"postcode", u"post code",
             u"zip", u"zip code", u"zipcode", u"zip postal code", u"postal zip code"});
        add(ColumnRole::Town, {u"ville", u"commune", u"localite", u"city", u"town", u"locality"});
        add(ColumnRole::Country, {u"pays", u"province pays", u"pays region", u"country", u"country region",
                                  u"country or region", u"nation"});
        add(ColumnRole::Qualifier,
            {u"civilite", u"qualificatif", u"titre de civilite", u"titre", u"title", u"prefix", u"name prefix",
             u"prefixe", u"honorific", u"honorific prefix", u"courtesy title", u"salutation"});
        add(ColumnRole::Gender, {u"genre", u"sexe", u"gender", u"sex"});
        add(ColumnRole::Function,
            {u"fonction", u"poste", u"profession", u"metier", u"titre du poste", u"intitule du poste", u"job title",
             u"jobtitle", u"job", u"position", u"role", u"occupation", u"function", u"organization title",
             u"organization 1 title", u"organisation title"});
        return t;
    }();
    return table;
}

// Words address books add to say whose address a column holds: "Business Street", "Rue
// (bureau)", "Adresse privée 2". Dropped when the header is not known as it stands.
const QSet<QString> &placeWords()
{
    static const QSet<QString> words = {
        u"home"_s,        u"work"_s,    u"business"_s, u"other"_s,         u"personal"_s,        u"private"_s,
        u"domicile"_s,    u"bureau"_s,  u"travail"_s,  u"professionnel"_s, u"professionnelle"_s, u"personnel"_s,
        u"personnelle"_s, u"prive"_s,   u"privee"_s,   u"autre"_s,         u"principal"_s,       u"principale"_s,
        u"primary"_s,     u"mailing"_s, u"pro"_s,      u"perso"_s,
    };
    return words;
}

// The role of a header and whether the header said it as it stands (true) or with place words
// or a numbered group around it (false): the former wins over the latter.
std::optional<std::pair<ColumnRole, bool>> recognise(const QString &header)
{
    QString key = normalised(header);
    if (key.isEmpty())
        return std::nullopt;
    if (const auto it = headerTable().constFind(key); it != headerTable().cend())
        return std::pair{it.value(), true};
    // "Address 1 - Street", "Adresse 1 - Ville": a numbered group of address columns.
    static const QRegularExpression group(u"^(?:address|adresse) \\d+ (.+)$"_s);
    if (const QRegularExpressionMatch m = group.match(key); m.hasMatch())
        key = m.captured(1);
    QStringList words = key.split(u' ');
    words.removeIf([](const QString &w) { return placeWords().contains(w); });
    key = words.join(u' ');
    if (const auto it = headerTable().constFind(key); it != headerTable().cend())
        return std::pair{it.value(), false};
    return std::nullopt;
}

QString unwrapSpreadsheetText(const QString &cell)
{
    // '=…, '+…: a field our export kept from being computed; what follows the apostrophe is the
    // field itself, even ="…".
    if (const QString unguarded = CsvReader::unguardFormula(cell); unguarded.size() != cell.size())
        return unguarded;
    // ="01000" is how some programs keep a spreadsheet from reading a postcode as a number.
    if (cell.size() >= 3 && cell.startsWith(u"=\""_s) && cell.endsWith(u'"'))
        return cell.mid(2, cell.size() - 3);
    return cell;
}

QStringList cellLines(const QString &cell)
{
    QStringList lines;
    QString text = unwrapSpreadsheetText(cell.trimmed());
    text.replace(u'\r', u'\n');
    for (const QString &part : text.split(u'\n', Qt::SkipEmptyParts)) {
        const QString line = part.simplified();
        if (!line.isEmpty())
            lines.append(line);
    }
    return lines;
}

QString cleanCell(const QString &cell)
{
    // Fast path: most cells have no line end and no doubled spaces.
    const QString trimmed = cell.trimmed();
    if (!trimmed.contains(u'\r') && !trimmed.contains(u'\n') && !trimmed.contains(u"  "_s) &&
        !trimmed.contains(u'\t') && !trimmed.startsWith(u'=') && !trimmed.startsWith(u'\''))
        return trimmed;
    return cellLines(cell).join(u' ');
}

bool isBlank(const QStringList &cells)
{
    for (const QString &c : cells) {
        if (!c.trimmed().isEmpty())
            return false;
    }
    return true;
}

// The number of ASCII digits text starts with. (QChar::isDigit would take other scripts' digits.)
int leadingDigits(QStringView text)
{
    int n = 0;
    while (n < text.size() && text.at(n) >= u'0' && text.at(n) <= u'9')
        ++n;
    return n;
}

// "75011", "1000" (a lost zero), "75 011", "2A004" (Corsica).
bool looksLikePostcode(QStringView text)
{
    const int digits = leadingDigits(text);
    if ((digits == 4 || digits == 5) && digits == text.size())
        return true;
    if (digits == 2 && text.size() == 6 && text.at(2) == u' ' && leadingDigits(text.sliced(3)) == 3)
        return true;
    return text.size() == 5 && text.at(0) == u'2' && (text.at(1) == u'A' || text.at(1) == u'B') &&
           leadingDigits(text.sliced(2)) == 3;
}

// A postcode then a town: "75011 Paris".
bool startsWithPostcode(QStringView text)
{
    const int digits = leadingDigits(text);
    return (digits == 4 || digits == 5) && digits + 1 < text.size() && text.at(digits).isSpace() &&
           !text.at(digits + 1).isSpace();
}

// Four digits alone or before a space: a French postcode that lost its leading zero.
bool startsWithFourDigitPostcode(QStringView text)
{
    return leadingDigits(text) == 4 && (text.size() == 4 || text.at(4).isSpace());
}

bool isFrance(const QString &country)
{
    const QString key = normalised(country);
    return key.isEmpty() || key == u"france"_s || key == u"fr"_s || key == u"f"_s || key == u"fra"_s ||
           key == u"france metropolitaine"_s;
}

// The most frequent number of cells among the data rows: what a row of a headerless file
// should have.
int usualCellCount(const QList<RecipientTable::Row> &rows, int first)
{
    QHash<int, int> frequency;
    int best = 0;
    int bestCount = -1;
    for (int i = first; i < rows.size(); ++i) {
        const int count = ++frequency[int(rows.at(i).cells.size())];
        if (count > bestCount) {
            bestCount = count;
            best = int(rows.at(i).cells.size());
        }
    }
    return best;
}

// Guesses for a table without a header, from what its cells look like.
void guessFromContents(const RecipientTable &table, RecipientMapping *mapping)
{
    const int columns = Recipients::columnCount(table);
    const int sampleEnd = int(std::min<qsizetype>(table.rows.size(), 500));
    const auto share = [&](int column, auto predicate) {
        int filled = 0;
        int matching = 0;
        for (int r = 0; r < sampleEnd; ++r) {
            const QString cell = cleanCell(table.rows.at(r).cells.value(column));
            if (cell.isEmpty())
                continue;
            ++filled;
            if (predicate(cell))
                ++matching;
        }
        return filled == 0 ? 0.0 : double(matching) / filled;
    };
    const auto isQualifier = [](const QString &c) {
        bool known = false;
        Recipients::qualifierFor(c, &known);
        return known;
    };
    const auto isGender = [](const QString &c) { return !Recipients::qualifierForGender(c).isEmpty(); };
    const auto take = [&](ColumnRole role, auto predicate) {
        if (mapping->column(role) >= 0)
            return;
        for (int c = 0; c < columns; ++c) {
            if (!std::count(mapping->columns.cbegin(), mapping->columns.cend(), c) && share(c, predicate) >= 0.8) {
                mapping->setColumn(role, c);
                return;
            }
        }
    };
    take(ColumnRole::Qualifier, isQualifier);
    take(ColumnRole::PostcodeTown, startsWithPostcode);
    take(ColumnRole::Postcode, looksLikePostcode);
    take(ColumnRole::Gender, isGender);

    const int qualifier = mapping->column(ColumnRole::Qualifier);
    const int postcodeTown = mapping->column(ColumnRole::PostcodeTown);
    if (columns == kCardFieldCount && (qualifier < 0 || qualifier == 5) && (postcodeTown < 0 || postcodeTown == 3) &&
        mapping->column(ColumnRole::Postcode) < 0) {
        // A card's own order, as our export writes it without its header.
        RecipientMapping card;
        card.reading = mapping->reading;
        const ColumnRole order[] = {ColumnRole::FullName,     ColumnRole::Address, ColumnRole::Residence,
                                    ColumnRole::PostcodeTown, ColumnRole::Country, ColumnRole::Qualifier,
                                    ColumnRole::Function};
        for (int c = 0; c < kCardFieldCount; ++c)
            card.setColumn(order[c], c);
        *mapping = card;
        return;
    }
    const auto isFree = [&](int c) {
        return c >= 0 && c < columns && !std::count(mapping->columns.cbegin(), mapping->columns.cend(), c);
    };
    // A town follows its postcode, a street comes before it; the name usually comes first.
    if (const int postcode = mapping->column(ColumnRole::Postcode); postcode >= 0 && isFree(postcode + 1))
        mapping->setColumn(ColumnRole::Town, postcode + 1);
    const int place = postcodeTown >= 0 ? postcodeTown : mapping->column(ColumnRole::Postcode);
    for (int c = 0; c < columns; ++c) {
        if (isFree(c)) {
            mapping->setColumn(ColumnRole::FullName, c);
            break;
        }
    }
    if (place >= 0 && isFree(place - 1))
        mapping->setColumn(ColumnRole::Address, place - 1);
}

} // namespace

bool RecipientRow::has(RowProblem kind) const
{
    for (const Problem &p : problems) {
        if (p.kind == kind)
            return true;
    }
    return false;
}

namespace Recipients {

int Mapped::flaggedCount() const
{
    return int(std::count_if(rows.cbegin(), rows.cend(), [](const RecipientRow &r) { return r.isFlagged(); }));
}

int Mapped::keptCount() const
{
    return int(std::count_if(rows.cbegin(), rows.cend(), [](const RecipientRow &r) { return r.keep; }));
}

std::optional<ColumnRole> roleOfHeader(const QString &header)
{
    if (const auto found = recognise(header))
        return found->first;
    return std::nullopt;
}

int columnCount(const RecipientTable &table)
{
    qsizetype count = 0;
    const qsizetype sample = std::min<qsizetype>(table.rows.size(), 1000);
    for (qsizetype i = 0; i < sample; ++i)
        count = std::max(count, table.rows.at(i).cells.size());
    return int(count);
}

RecipientMapping guessMapping(const RecipientTable &table, const RecipientFile::Options &reading)
{
    RecipientMapping mapping;
    mapping.reading = reading;
    if (table.rows.isEmpty())
        return mapping;

    const QStringList header = table.rows.first().cells;
    QList<std::optional<std::pair<ColumnRole, bool>>> roles;
    int recognised = 0;
    int filled = 0;
    bool dataLike = false;
    for (const QString &cell : header) {
        roles.append(recognise(cell));
        recognised += roles.last().has_value();
        filled += !cell.trimmed().isEmpty();
        dataLike = dataLike || looksLikePostcode(cell.trimmed()) || startsWithPostcode(cell.trimmed());
    }
    mapping.hasHeader = !dataLike && (recognised >= 2 || (recognised == 1 && 2 * recognised >= filled));
    if (!mapping.hasHeader) {
        guessFromContents(table, &mapping);
        return mapping;
    }

    const int sampleEnd = int(std::min<qsizetype>(table.rows.size(), 1001));
    const auto filledCells = [&](int column) {
        int count = 0;
        for (int r = 1; r < sampleEnd; ++r)
            count += !table.rows.at(r).cells.value(column).trimmed().isEmpty();
        return count;
    };
    // "Title" / "Titre" is a civility in most address books and a job title in some: the values
    // decide.
    for (int c = 0; c < roles.size(); ++c) {
        if (!roles.at(c) || roles.at(c)->first != ColumnRole::Qualifier)
            continue;
        const QString key = normalised(header.value(c));
        if (key != u"title"_s && key != u"titre"_s)
            continue;
        int values = 0;
        int known = 0;
        for (int r = 1; r < sampleEnd; ++r) {
            const QString cell = cleanCell(table.rows.at(r).cells.value(c));
            if (cell.isEmpty())
                continue;
            ++values;
            bool ok = false;
            qualifierFor(cell, &ok);
            known += ok;
        }
        if (values > 0 && 2 * known < values)
            roles[c] = std::pair{ColumnRole::Function, false}; // a "Job Title" column still wins
    }
    for (int role = 0; role < kColumnRoleCount; ++role) {
        int best = -1;
        qint64 bestScore = -1;
        for (int c = 0; c < roles.size(); ++c) {
            if (!roles.at(c) || int(roles.at(c)->first) != role)
                continue;
            if (std::count(mapping.columns.cbegin(), mapping.columns.cend(), c))
                continue;
            const qint64 score = (roles.at(c)->second ? 1'000'000 : 0) + filledCells(c);
            if (score > bestScore) {
                best = c;
                bestScore = score;
            }
        }
        mapping.columns[size_t(role)] = best;
    }
    return mapping;
}

QStringList columnNames(const RecipientTable &table, const RecipientMapping &mapping)
{
    QStringList names;
    const QStringList header = mapping.hasHeader && !table.rows.isEmpty() ? table.rows.first().cells : QStringList();
    const int count = columnCount(table);
    for (int c = 0; c < count; ++c) {
        const QString name = header.value(c).simplified();
        names.append(name.isEmpty() ? u"Colonne %1"_s.arg(c + 1) : name);
    }
    return names;
}

QString roleName(ColumnRole role)
{
    switch (role) {
    case ColumnRole::FullName:
        return u"Nom complet"_s;
    case ColumnRole::FirstName:
        return u"Prénom"_s;
    case ColumnRole::LastName:
        return u"Nom"_s;
    case ColumnRole::Organisation:
        return u"Société"_s;
    case ColumnRole::Address:
        return u"Adresse postale"_s;
    case ColumnRole::Residence:
        return u"Résidence"_s;
    case ColumnRole::PostcodeTown:
        return u"Code postal et ville"_s;
    case ColumnRole::Postcode:
        return u"Code postal"_s;
    case ColumnRole::Town:
        return u"Ville"_s;
    case ColumnRole::Country:
        return u"Province / Pays"_s;
    case ColumnRole::Qualifier:
        return u"Civilité"_s;
    case ColumnRole::Gender:
        return u"Sexe"_s;
    case ColumnRole::Function:
        return u"Fonction"_s;
    }
    return QString();
}

QString fieldCaption(CardField field)
{
    static const char16_t *const captions[] = {
        u"Nom et prénom",   u"Adresse postale", u"Résidence", u"Code Postal - Ville",
        u"Province / Pays", u"Qualificatif",    u"Fonction"};
    return QString::fromUtf16(captions[int(field)]);
}

QString qualifierFor(const QString &text, bool *recognised)
{
    static const QHash<QString, QString> forms = [] {
        QHash<QString, QString> t;
        const auto add = [&t](const char16_t *form, std::initializer_list<const char16_t *> keys) {
            for (const char16_t *key : keys)
                t.insert(QString::fromUtf16(key), QString::fromUtf16(form));
        };
        // The wizard's own offers keep their spelling: a card exported then imported is unchanged.
        add(u"Monsieur", {u"monsieur", u"mr", u"mister", u"sir"});
        add(u"Madame", {u"madame", u"mrs", u"ms", u"madam"});
        add(u"Mademoiselle", {u"mademoiselle", u"miss"});
        add(u"M.", {u"m"});
        add(u"Mme", {u"mme"});
        add(u"Mlle", {u"mlle"});
        add(u"Messieurs", {u"messieurs", u"mm"});
        add(u"Mesdames", {u"mesdames", u"mmes"});
        add(u"Docteur", {u"docteur", u"dr", u"doctor"});
        add(u"Maître", {u"maitre", u"me"});
        add(u"Professeur", {u"professeur", u"pr", u"prof", u"professor"});
        return t;
    }();
    const QString key = normalised(text);
    const auto it = forms.constFind(key);
    if (recognised)
        *recognised = it != forms.cend();
    return it != forms.cend() ? it.value() : text.simplified();
}

QString qualifierForGender(const QString &text)
{
    const QString key = normalised(text);
    // 1 and 2 are the sex codes of French administrative files.
    if (key == u"m"_s || key == u"h"_s || key == u"male"_s || key == u"homme"_s || key == u"masculin"_s ||
        key == u"man"_s || key == u"1"_s)
        return u"Monsieur"_s;
    if (key == u"f"_s || key == u"female"_s || key == u"femme"_s || key == u"feminin"_s || key == u"woman"_s ||
        key == u"2"_s)
        return u"Madame"_s;
    return QString();
}

Mapped map(const RecipientTable &table, const RecipientMapping &mapping)
{
    Mapped mapped;
    mapped.damaged = table.damaged;
    const int first = mapping.hasHeader ? 1 : 0;
    const int expectedCells = mapping.hasHeader && !table.rows.isEmpty() ? int(table.rows.first().cells.size())
                                                                         : usualCellCount(table.rows, first);
    mapped.rows.reserve(table.rows.size());
    for (qsizetype r = first; r < table.rows.size(); ++r) {
        const RecipientTable::Row &source = table.rows.at(r);
        if (isBlank(source.cells)) {
            ++mapped.blankRows;
            continue;
        }
        const auto cell = [&](ColumnRole role) {
            const int c = mapping.column(role);
            return c >= 0 ? cleanCell(source.cells.value(c)) : QString();
        };
        RecipientRow row;
        row.line = source.line;
        row.fields.resize(kCardFieldCount);

        const QString firstName = cell(ColumnRole::FirstName);
        const QString lastName = cell(ColumnRole::LastName);
        QString name =
            (mapping.nameOrder == NameOrder::FirstLast ? firstName + u' ' + lastName : lastName + u' ' + firstName)
                .trimmed();
        if (name.isEmpty())
            name = cell(ColumnRole::FullName);
        if (name.isEmpty())
            name = cell(ColumnRole::Organisation);
        row.fields[int(CardField::Name)] = name;

        QString residence = cell(ColumnRole::Residence);
        QStringList addressLines;
        if (const int c = mapping.column(ColumnRole::Address); c >= 0)
            addressLines = cellLines(source.cells.value(c));
        if (addressLines.size() > 1 && residence.isEmpty())
            residence = addressLines.mid(1).join(u", "_s);
        else if (addressLines.size() > 1)
            addressLines = {addressLines.join(u", "_s)};
        row.fields[int(CardField::Address)] = addressLines.value(0);
        row.fields[int(CardField::Residence)] = residence;

        QString postcodeTown = cell(ColumnRole::PostcodeTown);
        if (postcodeTown.isEmpty())
            postcodeTown = (cell(ColumnRole::Postcode) + u' ' + cell(ColumnRole::Town)).trimmed();
        row.fields[int(CardField::PostcodeTown)] = postcodeTown;
        const QString country = cell(ColumnRole::Country);
        row.fields[int(CardField::Country)] = country;

        QString qualifier = cell(ColumnRole::Qualifier);
        qualifier = qualifier.isEmpty() ? qualifierForGender(cell(ColumnRole::Gender)) : qualifierFor(qualifier);
        row.fields[int(CardField::Qualifier)] = qualifier;
        row.fields[int(CardField::Function)] = cell(ColumnRole::Function);

        // The checks, most telling first.
        const int cells = int(source.cells.size());
        bool extraAreEmpty = cells > expectedCells;
        for (int c = expectedCells; c < cells && extraAreEmpty; ++c)
            extraAreEmpty = source.cells.at(c).trimmed().isEmpty();
        if (expectedCells > 0 && cells != expectedCells && !extraAreEmpty) {
            row.problems.append({RowProblem::FieldCount,
                                 u"%1 champs au lieu de %2 (colonnes décalées ?)"_s.arg(cells).arg(expectedCells)});
        }
        if (looksLikePostcode(name) || startsWithPostcode(name)) {
            row.problems.append({RowProblem::NameLooksLikePostcode,
                                 u"le nom « %1 » ressemble à un code postal (colonnes décalées ?)"_s.arg(name)});
        } else if (name.isEmpty()) {
            row.problems.append({RowProblem::NameMissing, u"le nom est vide alors que d'autres champs sont remplis"_s});
        }
        if (qualifier.isEmpty())
            row.problems.append({RowProblem::QualifierMissing, u"la civilité (qualificatif) est vide"_s});
        if (startsWithFourDigitPostcode(postcodeTown) && isFrance(country)) {
            row.restoredPostcodeTown = u'0' + postcodeTown;
            row.problems.append({RowProblem::PostcodeLostZero,
                                 u"le code postal « %1 » a probablement perdu son zéro initial (« 0%1 » ?)"_s.arg(
                                     postcodeTown.left(4))});
        }
        row.keep = row.problems.isEmpty();
        mapped.rows.append(row);
    }
    return mapped;
}

void restoreLeadingZero(RecipientRow *row)
{
    if (!row->has(RowProblem::PostcodeLostZero))
        return;
    row->fields[int(CardField::PostcodeTown)] = row->restoredPostcodeTown;
    row->restoredPostcodeTown.clear();
    row->problems.removeIf([](const RecipientRow::Problem &p) { return p.kind == RowProblem::PostcodeLostZero; });
    if (row->problems.isEmpty())
        row->keep = true;
}

QString describe(const RecipientRow &row)
{
    if (row.problems.isEmpty())
        return QString();
    QStringList texts;
    for (const RecipientRow::Problem &p : row.problems)
        texts.append(p.text);
    return u"Ligne %1 : %2."_s.arg(row.line).arg(texts.join(u" ; "_s));
}

QString describe(const RecipientTable::Damage &damage)
{
    return u"Ligne %1 illisible (%2) : ignorée."_s.arg(damage.line).arg(damage.reason);
}

} // namespace Recipients
