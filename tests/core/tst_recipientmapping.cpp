#include "TestSupport.h"
#include "core/CsvReader.h"
#include "core/RecipientMapping.h"

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(ColumnRole)

namespace {

RecipientTable csv(const QString &text)
{
    return CsvReader::read(text, CsvReader::detectSeparator(text));
}

Recipients::Mapped mapText(const QString &text, RecipientMapping *mapping = nullptr)
{
    const RecipientTable table = csv(text);
    const RecipientMapping guessed = Recipients::guessMapping(table);
    if (mapping)
        *mapping = guessed;
    return Recipients::map(table, guessed);
}

QList<RowProblem> kinds(const RecipientRow &row)
{
    QList<RowProblem> list;
    for (const RecipientRow::Problem &p : row.problems)
        list.append(p.kind);
    return list;
}

} // namespace

class TestRecipientMapping : public QObject
{
    Q_OBJECT

private slots:
    void headersAreRecognised_data()
    {
        QTest::addColumn<QString>("header");
        QTest::addColumn<ColumnRole>("role");
        // Letter case, accents and punctuation aside; place words and numbered groups around a
        // known name, as address books write them.
        const QList<std::pair<const char16_t *, ColumnRole>> cases = {
            {u"CIVILITE", ColumnRole::Qualifier},
            {u"Nom", ColumnRole::LastName},
            {u"Given Name", ColumnRole::FirstName},
            {u"Nom et prénom", ColumnRole::FullName},
            {u"Business Street", ColumnRole::Address},
            {u"Rue (bureau)", ColumnRole::Address},
            {u"Address 1 - Street", ColumnRole::Address},
            {u"Home Street 2", ColumnRole::Residence},
            {u"Adresse privée 2", ColumnRole::Residence},
            {u"C.P.", ColumnRole::Postcode},
            {u"Code Postal - Ville", ColumnRole::PostcodeTown},
            {u"CP + Ville", ColumnRole::PostcodeTown},
            {u"Business Country/Region", ColumnRole::Country},
            {u"Organization 1 - Title", ColumnRole::Function},
        };
        for (const auto &[header, role] : cases)
            QTest::newRow(QString::fromUtf16(header).toUtf8().constData()) << QString::fromUtf16(header) << role;
    }
    void headersAreRecognised()
    {
        QFETCH(QString, header);
        QFETCH(ColumnRole, role);
        QCOMPARE(Recipients::roleOfHeader(header), std::optional<ColumnRole>(role));
    }

    void unknownHeadersAreNotGuessed()
    {
        for (const QString &header : {u"E-mail"_s, u"Téléphone"_s, u"Notes"_s, u"Address 1 - Label"_s, QString()})
            QVERIFY2(!Recipients::roleOfHeader(header), qPrintable(header));
    }

    void qualifiers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("qualifier");
        QTest::addColumn<bool>("known");
        QTest::newRow("M.") << u"M."_s << u"M."_s << true;
        QTest::newRow("M without stop") << u"M"_s << u"M."_s << true;
        QTest::newRow("MME") << u"MME"_s << u"Mme"_s << true;
        QTest::newRow("Mlle.") << u"Mlle."_s << u"Mlle"_s << true;
        QTest::newRow("Madame") << u"Madame"_s << u"Madame"_s << true;
        QTest::newRow("Mr.") << u"Mr."_s << u"Monsieur"_s << true;
        QTest::newRow("Mrs") << u"Mrs"_s << u"Madame"_s << true;
        QTest::newRow("Ms.") << u"Ms."_s << u"Madame"_s << true;
        QTest::newRow("Miss") << u"Miss"_s << u"Mademoiselle"_s << true;
        QTest::newRow("Dr") << u"Dr"_s << u"Docteur"_s << true;
        QTest::newRow("Maître") << u"Me"_s << u"Maître"_s << true;
        QTest::newRow("other text stays") << u" Son  Excellence "_s << u"Son Excellence"_s << false;
    }
    void qualifiers()
    {
        QFETCH(QString, text);
        QFETCH(QString, qualifier);
        QFETCH(bool, known);
        bool recognised = !known;
        QCOMPARE(Recipients::qualifierFor(text, &recognised), qualifier);
        QCOMPARE(recognised, known);
    }

    void gendersGiveQualifiers()
    {
        QCOMPARE(Recipients::qualifierForGender(u"M"_s), u"Monsieur"_s);
        QCOMPARE(Recipients::qualifierForGender(u"Female"_s), u"Madame"_s);
        QCOMPARE(Recipients::qualifierForGender(u"2"_s), u"Madame"_s);
        QCOMPARE(Recipients::qualifierForGender(u"U"_s), QString());
    }

    void addressBookShapeMapsToCardFields()
    {
        // An address book's English export: home and work columns, only the work ones filled;
        // "Title" holding civilities.
        const QString text =
            u"Title,First Name,Last Name,Job Title,Home Street,Home City,Home Postal Code,Business Street,"
            u"Business Street 2,Business City,Business Postal Code,Business Country/Region\r\n"
            u"Mr.,John,Smith,Manager,,,,\"1 Main St\",Suite 2,Lyon,69001,France\r\n"
            u"Mrs.,Jane,Doe,Director,,,,\"2 rue B\nBât. C\",,Paris,75001,\r\n"_s;
        RecipientMapping mapping;
        const Recipients::Mapped mapped = mapText(text, &mapping);
        QVERIFY(mapping.hasHeader);
        QCOMPARE(mapping.column(ColumnRole::Address), 7);
        QCOMPARE(mapping.column(ColumnRole::Town), 9);
        QCOMPARE(mapped.rows.size(), 2);
        QCOMPARE(mapped.rows.at(0).fields, (QStringList{u"John Smith"_s, u"1 Main St"_s, u"Suite 2"_s, u"69001 Lyon"_s,
                                                        u"France"_s, u"Monsieur"_s, u"Manager"_s}));
        // An address on two lines fills the empty "Résidence".
        QCOMPARE(mapped.rows.at(1).fields, (QStringList{u"Jane Doe"_s, u"2 rue B"_s, u"Bât. C"_s, u"75001 Paris"_s,
                                                        QString(), u"Madame"_s, u"Director"_s}));
        QCOMPARE(mapped.flaggedCount(), 0);
    }

    void titleHoldingJobTitlesIsTheFunction()
    {
        RecipientMapping mapping;
        const Recipients::Mapped mapped = mapText(
            u"Salutation;First Name;Last Name;Title\nMs;Ann;Lee;Chief Executive\nMr;Bob;Ray;Accountant\n"_s, &mapping);
        QCOMPARE(mapping.column(ColumnRole::Qualifier), 0);
        QCOMPARE(mapping.column(ColumnRole::Function), 3);
        QCOMPARE(mapped.rows.at(0).field(CardField::Function), u"Chief Executive"_s);
    }

    void nameOrderAndFallbacks()
    {
        const QString text = u"Civilité;Prénom;Nom;Nom complet;Société\n"
                             u"Mme;Anne;Martin;;\n"
                             u"M.;;;Paul Durand;\n"
                             u"M.;;;;Mairie de Nice\n"_s;
        const RecipientTable table = csv(text);
        RecipientMapping mapping = Recipients::guessMapping(table);
        QCOMPARE(Recipients::map(table, mapping).rows.at(0).field(CardField::Name), u"Anne Martin"_s);
        mapping.nameOrder = NameOrder::LastFirst;
        const Recipients::Mapped mapped = Recipients::map(table, mapping);
        QCOMPARE(mapped.rows.at(0).field(CardField::Name), u"Martin Anne"_s);
        QCOMPARE(mapped.rows.at(1).field(CardField::Name), u"Paul Durand"_s);
        QCOMPARE(mapped.rows.at(2).field(CardField::Name), u"Mairie de Nice"_s);
    }

    void postcodesStayTextAndLostZerosAreOffered()
    {
        const QString text = u"Civilité;Nom;Code postal;Ville;Pays\n"
                             u"M.;Dupont;01000;Bourg-en-Bresse;France\n"
                             u"Mme;Martin;=\"06000\";Nice;\n"
                             u"M.;Durand;1000;Bourg-en-Bresse;\n"
                             u"Mme;Peeters;1000;Bruxelles;Belgique\n"_s;
        Recipients::Mapped mapped = mapText(text);
        QCOMPARE(mapped.rows.at(0).field(CardField::PostcodeTown), u"01000 Bourg-en-Bresse"_s);
        QCOMPARE(mapped.rows.at(1).field(CardField::PostcodeTown), u"06000 Nice"_s);
        RecipientRow &durand = mapped.rows[2];
        QCOMPARE(kinds(durand), QList<RowProblem>{RowProblem::PostcodeLostZero});
        QVERIFY(!durand.keep);
        QCOMPARE(durand.restoredPostcodeTown, u"01000 Bourg-en-Bresse"_s);
        Recipients::restoreLeadingZero(&durand);
        QVERIFY(durand.keep && !durand.isFlagged());
        QCOMPARE(durand.field(CardField::PostcodeTown), u"01000 Bourg-en-Bresse"_s);
        QVERIFY(!mapped.rows.at(3).isFlagged()); // a Belgian postcode has four digits
    }

    void shiftedAndIncompleteRowsAreFlagged()
    {
        const QString text = u"Civilité;Nom;Adresse;Code postal;Ville\n"
                             u"M.;Dupont;1 rue A;75011;Paris\n"     // line 2: right
                             u";;;;\n"                              // line 3: blank, skipped
                             u"M.;75012;Paris;;\n"                  // line 4: a postcode as the name
                             u"Mme;;2 rue B;69001;Lyon\n"           // line 5: no name
                             u";Martin;3 rue C;13001;Marseille\n"   // line 6: no qualifier
                             u"M.;Durand;4 rue;D;33000;Bordeaux\n"  // line 7: one field too many
                             u"Mme;Petit;5 rue E\n"                 // line 8: fields missing
                             u"M.;Leroy;6 rue F;59000;Lille;;\n"_s; // line 9: empty extra fields, harmless
        const Recipients::Mapped mapped = mapText(text);
        QCOMPARE(mapped.blankRows, 1);
        QList<int> lines;
        for (const RecipientRow &row : mapped.rows)
            lines.append(row.line);
        QCOMPARE(lines, (QList<int>{2, 4, 5, 6, 7, 8, 9}));
        QCOMPARE(kinds(mapped.rows.at(0)), QList<RowProblem>{});
        QCOMPARE(kinds(mapped.rows.at(1)), QList<RowProblem>{RowProblem::NameLooksLikePostcode});
        QCOMPARE(kinds(mapped.rows.at(2)), QList<RowProblem>{RowProblem::NameMissing});
        QCOMPARE(kinds(mapped.rows.at(3)), QList<RowProblem>{RowProblem::QualifierMissing});
        QCOMPARE(kinds(mapped.rows.at(4)), QList<RowProblem>{RowProblem::FieldCount});
        QCOMPARE(kinds(mapped.rows.at(5)), QList<RowProblem>{RowProblem::FieldCount});
        QCOMPARE(kinds(mapped.rows.at(6)), QList<RowProblem>{});
        QCOMPARE(mapped.keptCount(), 2);
        QCOMPARE(Recipients::describe(mapped.rows.at(2)),
                 u"Ligne 5 : le nom est vide alors que d'autres champs sont remplis."_s);
    }

    void headerlessCardOrderIsRecognised()
    {
        RecipientMapping mapping;
        const Recipients::Mapped mapped = mapText(u"Jean Dupont;12 rue A;Bât. B;75011 Paris;France;Monsieur;Directeur\n"
                                                  u"Anne Martin;3 rue C;;69002 Lyon;;Mme;Présidente\n"_s,
                                                  &mapping);
        QVERIFY(!mapping.hasHeader);
        QCOMPARE(Recipients::columnNames(csv(u"a;b\n"_s), mapping), (QStringList{u"Colonne 1"_s, u"Colonne 2"_s}));
        QCOMPARE(mapped.rows.size(), 2);
        QCOMPARE(mapped.rows.at(1).fields, (QStringList{u"Anne Martin"_s, u"3 rue C"_s, QString(), u"69002 Lyon"_s,
                                                        QString(), u"Mme"_s, u"Présidente"_s}));
    }
};

QUILLO_TEST_MAIN(TestRecipientMapping)
#include "tst_recipientmapping.moc"
