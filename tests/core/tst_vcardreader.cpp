#include "TestSupport.h"
#include "core/RecipientFile.h"
#include "core/VCardReader.h"

#include <QStringEncoder>

using namespace Qt::StringLiterals;

namespace {

// Columns of the reader's table, by name, for readable comparisons.
QHash<QString, QString> card(const RecipientTable &table, int index)
{
    QHash<QString, QString> values;
    const QStringList names = VCardReader::columnNames();
    const QStringList cells = table.rows.value(index + 1).cells;
    for (int i = 0; i < names.size(); ++i) {
        if (!cells.value(i).isEmpty())
            values.insert(names.at(i), cells.value(i));
    }
    return values;
}

QByteArray crlf(QByteArray text)
{
    return text.replace("\n", "\r\n");
}

} // namespace

class TestVCardReader : public QObject
{
    Q_OBJECT

private slots:
    void version21QuotedPrintableAndCharsets()
    {
        // As an old phone or address book writes it: bare parameters, Latin-1 and UTF-8 values in
        // quoted-printable, a soft line break inside the street.
        const QByteArray bytes =
            crlf("BEGIN:VCARD\n"
                 "VERSION:2.1\n"
                 "N;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:Dupr=E9;Ren=E9;;M.;\n"
                 "FN;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:Ren=E9 Dupr=E9\n"
                 "ADR;HOME:;;1 rue Basse;Nantes;;44000;France\n"
                 "ADR;WORK;PREF;QUOTED-PRINTABLE;CHARSET=UTF-8:;B=C3=A2t. A;12 rue de l'=C3=89glise =\n"
                 "prolong=C3=A9e;Lyon;;69001;France\n"
                 "TITLE;CHARSET=ISO-8859-15;ENCODING=QUOTED-PRINTABLE:Tr=E9sori=E8re =A4\n"
                 "PHOTO;ENCODING=BASE64;TYPE=JPEG:\n"
                 "    /9j/4AAQSkZJRgABAQ\n"
                 "\n"
                 "END:VCARD\n");
        QVERIFY(VCardReader::looksLikeVCard(bytes));
        const RecipientTable table = RecipientFile::read(bytes);
        QVERIFY(table.ok());
        QCOMPARE(table.format, SourceFormat::VCard);
        QCOMPARE(table.rows.size(), 2);
        QCOMPARE(table.rows.at(1).line, 1);
        QCOMPARE(card(table, 0), (QHash<QString, QString>{
                                     {u"Civilité"_s, u"M."_s},
                                     {u"Prénom"_s, u"René"_s},
                                     {u"Nom"_s, u"Dupré"_s},
                                     {u"Nom complet"_s, u"René Dupré"_s},
                                     {u"Adresse"_s, u"12 rue de l'Église prolongée"_s},
                                     {u"Adresse 2"_s, u"Bât. A"_s},
                                     {u"Code postal"_s, u"69001"_s},
                                     {u"Ville"_s, u"Lyon"_s},
                                     {u"Pays"_s, u"France"_s},
                                     {u"Fonction"_s, u"Trésorière €"_s},
                                 }));
    }

    void version30FoldingEscapesAndSeveralCards()
    {
        const QByteArray bytes =
            crlf("BEGIN:VCARD\n"
                 "VERSION:3.0\n"
                 "N:Martin;Anne;;Mme;\n"
                 "FN:Anne Martin\n"
                 "item1.ADR;TYPE=home:;;1 chemin Vert;Ailleurs;;99999;\n"
                 "item2.ADR;TYPE=work,pref:;Résidence des Lilas\\, bât. C;3 place Bellecour\\; 2e\n"
                 "  étage;Lyon;Rhône;69002;France\n"
                 "X-GENDER:Female\n"
                 "ROLE:Présidente\n"
                 "ORG:Association\\; les amis;Bureau\n"
                 "END:VCARD\n"
                 "BEGIN:VCARD\n"
                 "VERSION:3.0\n"
                 "FN:Mairie de Bourg\n"
                 "ORG:Mairie de Bourg-en-Bresse\n"
                 "ADR;TYPE=work:BP 12;;1 place de l'Hôtel de Ville;Bourg-en-Bresse;;01000;\n"
                 "NOTE:Ouvert\\nle matin\n"
                 "END:VCARD\n");
        const RecipientTable table = VCardReader::read(bytes);
        QVERIFY(table.ok());
        QCOMPARE(table.rows.size(), 3);
        QCOMPARE(table.rows.at(2).line, 12);
        const QHash<QString, QString> anne = card(table, 0);
        QCOMPARE(anne.value(u"Adresse"_s), u"3 place Bellecour; 2e étage"_s); // the preferred address
        QCOMPARE(anne.value(u"Adresse 2"_s), u"Résidence des Lilas, bât. C"_s);
        QCOMPARE(anne.value(u"Code postal"_s), u"69002"_s);
        QCOMPARE(anne.value(u"Genre"_s), u"Female"_s);
        QCOMPARE(anne.value(u"Fonction"_s), u"Présidente"_s); // ROLE when there is no TITLE
        QCOMPARE(anne.value(u"Société"_s), u"Association; les amis"_s);
        const QHash<QString, QString> mairie = card(table, 1);
        QCOMPARE(mairie.value(u"Adresse 2"_s), u"BP 12"_s);
        QCOMPARE(mairie.value(u"Code postal"_s), u"01000"_s);
        QVERIFY(!mairie.contains(u"Nom"_s));
    }

    void version40GenderPreferenceAndQuotedParameters()
    {
        const QByteArray bytes = crlf("BEGIN:VCARD\n"
                                      "VERSION:4.0\n"
                                      "N:Durand;Paul;;;\n"
                                      "FN:Paul Durand\n"
                                      "GENDER:M;homme\n"
                                      "ADR;TYPE=home;LABEL=\"Maison: 5 rue Y\":;;5 rue Y;Nice;;06000;France\n"
                                      "ADR;PREF=1;LABEL=\"12 rue X\\n75011 Paris\":;;12 rue X;Paris;;75011;France\n"
                                      "TITLE:Maire\n"
                                      "END:VCARD\n");
        const RecipientTable table = VCardReader::read(bytes);
        QVERIFY(table.ok());
        const QHash<QString, QString> paul = card(table, 0);
        QCOMPARE(paul.value(u"Genre"_s), u"M"_s);
        QCOMPARE(paul.value(u"Adresse"_s), u"12 rue X"_s);
        QCOMPARE(paul.value(u"Ville"_s), u"Paris"_s);
        QCOMPARE(paul.value(u"Fonction"_s), u"Maire"_s);
    }

    void unicodeFileIsRead()
    {
        const QString text = u"BEGIN:VCARD\r\nVERSION:3.0\r\nN:Žák;Łucja;;;\r\nEND:VCARD\r\n"_s;
        QStringEncoder le(QStringEncoder::Utf16LE);
        const RecipientTable table = RecipientFile::read(QByteArray("\xFF\xFE") + QByteArray(le.encode(text)));
        QCOMPARE(table.format, SourceFormat::VCard);
        QCOMPARE(card(table, 0).value(u"Nom"_s), u"Žák"_s);
        QCOMPARE(card(table, 0).value(u"Prénom"_s), u"Łucja"_s);
    }

    void damagedCardsAreLeftOutAndTheOthersRead()
    {
        const QByteArray hugeNote = "NOTE:" + QByteArray(600 * 1024, 'n');
        const QByteArray bytes = crlf("BEGIN:VCARD\n"
                                      "N:Un;Premier;;;\n"
                                      "BEGIN:VCARD\n" // the first card never ended
                                      "N:Deux;Second;;;\n"
                                      "\n"
                                      "a stray line without a colon\n"
                                      "END:VCARD\n"
                                      "BEGIN:VCARD\n"
                                      "N:Trois;Troisième;;;\n") +
                                 hugeNote + "\r\n " + hugeNote +
                                 "\r\n" // unused and over 1 MB once unfolded: passed over
                                 + crlf("END:VCARD\n"
                                        "BEGIN:VCARD\n"
                                        "N:Quatre;Quatrième;;;\n"); // the file ends inside a card
        const RecipientTable table = VCardReader::read(bytes);
        QVERIFY(table.ok());
        QCOMPARE(table.damaged.size(), 2);
        QCOMPARE(table.damaged.at(0).line, 1);
        QCOMPARE(table.damaged.at(1).line, 13);
        QCOMPARE(table.rows.size(), 3);
        QCOMPARE(card(table, 0).value(u"Nom"_s), u"Deux"_s);
        QCOMPARE(card(table, 1).value(u"Nom"_s), u"Trois"_s);

        // A physical line over 1 MB refuses the file.
        const RecipientTable refused = VCardReader::read(
            "BEGIN:VCARD\r\nNOTE:" + QByteArray(ImportLimits::kMaxLineChars, 'x') + "\r\nEND:VCARD\r\n");
        QVERIFY(!refused.ok());
        QVERIFY(refused.error.contains(u"1 Mo"_s));
    }
};

QUILLO_TEST_MAIN(TestVCardReader)
#include "tst_vcardreader.moc"
