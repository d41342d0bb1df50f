#include "TestSupport.h"
#include "core/ContactCard.h"
#include "core/Folders.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;
using ContactCard::Kind;

class TestContactCard : public QObject
{
    Q_OBJECT

private slots:
    void senderCardIsNineLinesByteForByte()
    {
        QuilloTest::TempProgramFolder folder;
        Init_Dossiers();
        const QString path = ContactCard::filePath(Kind::Sender, u"Jean Martin"_s);
        QCOMPARE(QFileInfo(path).fileName(), u"Jean Martin.ini"_s);
        QVERIFY(ContactCard::write(path, Kind::Sender,
                                   {u"Jean Martin"_s, {}, {}, {}, {}, {}, {}, u"Monsieur"_s, u"Directeur"_s}));
        QCOMPARE(QuilloTest::readBytes(path),
                 QByteArray("Jean Martin\r\n\r\n\r\n\r\n\r\n\r\n\r\nMonsieur\r\nDirecteur\r\n"));
        QStringList fields;
        QVERIFY(ContactCard::read(path, Kind::Sender, &fields));
        QCOMPARE(fields.size(), 9);
        QCOMPARE(fields.at(7), u"Monsieur"_s);
    }

    void recipientCardRoundTripsAccentsAndForeignLetters()
    {
        QuilloTest::TempProgramFolder folder;
        Init_Dossiers();
        const QStringList card = {u"Łukasz Żak"_s, u"3 rue de l'Église"_s, u"Bât. B"_s,   u"69001 Lyon"_s,
                                  u"France"_s,     u"Monsieur"_s,          u"Président"_s};
        const QString path = ContactCard::filePath(Kind::Recipient, card.first());
        QVERIFY(ContactCard::write(path, Kind::Recipient, card));
        QStringList fields;
        QVERIFY(ContactCard::read(path, Kind::Recipient, &fields));
        QCOMPARE(fields, card);
    }

    void lineEndsNeverEnterAField()
    {
        QuilloTest::TempProgramFolder folder;
        Init_Dossiers();
        const QString path = ContactCard::filePath(Kind::Recipient, u"Durand"_s);
        QVERIFY(
            ContactCard::write(path, Kind::Recipient,
                               {u"Durand"_s, u"12 rue\r\ndes Lilas"_s, u"a\nb\rc"_s, {}, {}, u"Madame"_s, u"Maire"_s}));
        QStringList fields;
        QVERIFY(ContactCard::read(path, Kind::Recipient, &fields));
        QCOMPARE(fields.at(1), u"12 rue des Lilas"_s);
        QCOMPARE(fields.at(2), u"a b c"_s);
        QCOMPARE(fields.at(6), u"Maire"_s);
    }

    void damagedOrVanishedCardsReadAsEmptyFields()
    {
        QuilloTest::TempProgramFolder folder;
        Init_Dossiers();
        const QString path = QDir(ContactCard::folder(Kind::Sender)).filePath(u"Court.ini"_s);
        QuilloTest::writeBytes(path, "Court\r\n1 rue Haute\r\nBat A\r\n");
        QStringList fields;
        QVERIFY(ContactCard::read(path, Kind::Sender, &fields));
        QCOMPARE(fields, (QStringList{u"Court"_s, u"1 rue Haute"_s, u"Bat A"_s, {}, {}, {}, {}, {}, {}}));
        // Lines after the last field are ignored.
        QuilloTest::writeBytes(path, "a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\nh\r\ni\r\nj\r\n");
        QVERIFY(ContactCard::read(path, Kind::Sender, &fields));
        QCOMPARE(fields.size(), 9);
        QCOMPARE(fields.last(), u"i"_s);
        QVERIFY(!ContactCard::read(QDir(ContactCard::folder(Kind::Sender)).filePath(u"Parti.ini"_s), Kind::Sender,
                                   &fields));
        QCOMPARE(fields, QStringList(9));
    }

    void namesThatCannotBeFileNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("hint");
        QTest::newRow("slash") << u"../../evil"_s << u"« / »"_s;
        QTest::newRow("backslash") << u"a\\b"_s << u"« \\ »"_s;
        QTest::newRow("colon") << u"C:x"_s << u"« : »"_s;
        QTest::newRow("question") << u"Qui ?"_s << u"« ? »"_s;
        QTest::newRow("star") << u"*"_s << u"« * »"_s;
        QTest::newRow("quote") << u"Le \"Chef\""_s << u"« \" »"_s;
        QTest::newRow("pipe") << u"a|b"_s << u"« | »"_s;
        QTest::newRow("angle") << u"<a>"_s << u"« < »"_s;
        QTest::newRow("control") << u"a\tb"_s << u"contrôle"_s;
        QTest::newRow("dots") << u".."_s << u"points"_s;
        QTest::newRow("spaces") << u"   "_s << u"espaces"_s;
        QTest::newRow("leading dot") << u".Martin"_s << u"commencer par un point"_s;
        QTest::newRow("device") << u"con"_s << u"réservé"_s;
        QTest::newRow("device with extension") << u"NUL.txt"_s << u"réservé"_s;
        QTest::newRow("numbered device") << u"Com1"_s << u"réservé"_s;
        QTest::newRow("too long") << QString(201, u'a') << u"200"_s;
        QTest::newRow("empty") << QString() << u"vide"_s;
    }

    void namesThatCannotBeFileNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, hint);
        const QString problem = ContactCard::nameProblem(name);
        QVERIFY2(problem.contains(hint), qPrintable(problem));
        QVERIFY(ContactCard::filePath(Kind::Sender, name).isEmpty());
    }

    void ordinaryNamesAreAccepted()
    {
        for (const QString &name : {u"Jean Martin"_s, u"Élodie d'Arc-Dupont"_s, u"M. & Mme Roux (bis)"_s, u"COM10"_s,
                                    u"Console"_s, QString(200, u'z'), u"Durand S.A."_s, u"Martin "_s})
            QVERIFY2(ContactCard::nameProblem(name).isEmpty(), qPrintable(name));
    }
};

QUILLO_TEST_MAIN(TestContactCard)
#include "tst_contactcard.moc"
