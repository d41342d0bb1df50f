// Quillo's command line, run as a whole process without any display: its help, its exit
// statuses and French messages for commands that cannot be carried out, the files and the
// journal it writes, a failure among letters, and resuming.
#include "TestSupport.h"
#include "app/CommandLine.h"
#include "core/ContactCard.h"
#include "core/LetterModel.h"
#include "core/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTemporaryFile>

using namespace Qt::StringLiterals;

namespace {

struct Run
{
    int status = -1;
    QString out;
    QString err;
};

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
}

bool havePdfToText()
{
    return !QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty();
}

QString pdfText(const QString &path)
{
    QProcess process;
    process.start(u"pdftotext"_s, {path, u"-"_s});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput()).simplified();
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private:
    // A portable copy of the program: its folder is its program folder, with the installation
    // content, a model and recipient cards.
    QTemporaryDir root;
    QTemporaryDir work;

    QString program() const { return root.filePath(u"Quillo"_s); }
    QString out() const { return work.filePath(u"sortie"_s); }

    Run quillo(const QStringList &arguments) const
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        // No display at all, and nothing saying to draw off screen: the command line needs none.
        env.remove(u"DISPLAY"_s);
        env.remove(u"WAYLAND_DISPLAY"_s);
        env.remove(u"QT_QPA_PLATFORM"_s);
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(work.path());
        process.start(program(), arguments);
        if (!process.waitForFinished(120000))
            return {};
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
    }

    static void card(const QString &file, const QStringList &fields)
    {
        QVERIFY(ContactCard::write(ContactCard::filePath(ContactCard::Kind::Recipient, file),
                                   ContactCard::Kind::Recipient, fields));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QFile::copy(QStringLiteral(QUILLO_BIN_DIR "/Quillo"), program()));
        ProgramFolder::seed(QuilloTest::installationFolder(), root.path());
        ProgramFolder::setOverride(root.path());
        QVERIFY(QDir().mkpath(ContactCard::folder(ContactCard::Kind::Recipient)));
        QVERIFY(QDir(root.path()).mkpath(u"Modèles"_s));
        LetterModel model;
        model.sender = {u"Jean Martin"_s,    u"12 rue des Lilas"_s, QString(), u"69001 Lyon"_s,
                        QString(),           u"04 78 00 00 00"_s,   QString(), u"Monsieur"_s,
                        u"Chef de service"_s};
        model.recipient = {
            u"Paul Modèle"_s, u"1 place de la Mairie"_s, QString(), u"75001 Paris"_s, QString(), u"Monsieur"_s,
            u"Maire"_s};
        model.references = {u"lundi 3 mars 2025"_s,      u"Lyon"_s,
                            u"Demande de rendez-vous"_s, u"Le Chef de service"_s,
                            u"Je vous prie d'agréer"_s,  u"mes salutations distinguées."_s};
        model.body = u"Premier paragraphe du corps.\r\nSecond paragraphe du corps."_s;
        QVERIFY(model.write(QDir(root.path()).filePath(u"Modèles/Relance.txt"_s), nullptr));
        QuilloTest::writeBytes(QDir(root.path()).filePath(u"Modèles/Abîmé.txt"_s), "Jean Martin\r\n#\r\n");
        card(u"Claire Durand"_s, {u"Claire Durand"_s, u"3 rue Haute"_s, QString(), u"75003 Paris"_s, QString(),
                                  u"Madame"_s, u"Directrice"_s});
        card(u"Claire Durand bis"_s,
             {u"Claire Durand"_s, u"9 rue Basse"_s, QString(), u"69003 Lyon"_s, QString(), u"Madame"_s, QString()});
        card(u"Dupont"_s, {u"Dupont/Fils : SARL"_s, u"1 quai du Port"_s, QString(), u"13001 Marseille"_s, QString(),
                           QString(), QString()});
        card(u"Zoé Petit"_s, {u"Zoé Petit"_s, u"5 allée des Pins"_s, QString(), u"33000 Bordeaux"_s, QString(),
                              u"Madame"_s, QString()});
        ProgramFolder::setOverride(QString());
        QuilloTest::writeBytes(work.filePath(u"un fichier"_s), "pas un dossier");
    }

    void cleanup() { QDir(out()).removeRecursively(); }

    void wizardOrCommandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("commandLine");
        QTest::newRow("rien") << QStringList{} << false;
        QTest::newRow("options de Qt") << QStringList{u"-platform"_s, u"xcb"_s, u"--style=Fusion"_s, u"-reverse"_s}
                                       << false;
        QTest::newRow("session restaurée") << QStringList{u"-session"_s, u"1234_5"_s, u"-name"_s, u"Quillo"_s} << false;
        QTest::newRow("fichier seul") << QStringList{u"lettre.rtf"_s} << false;
        QTest::newRow("aide") << QStringList{u"-h"_s} << true;
        QTest::newRow("modèle") << QStringList{u"-platform"_s, u"xcb"_s, u"--modele"_s, u"x.txt"_s} << true;
        QTest::newRow("option inconnue") << QStringList{u"--modle"_s, u"x.txt"_s} << true;
        QTest::newRow("valeur d'une option de Qt") << QStringList{u"-style"_s, u"--pdf"_s} << false;
    }
    void wizardOrCommandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, commandLine);
        QList<QByteArray> bytes{QByteArrayLiteral("Quillo")};
        for (const QString &argument : arguments)
            bytes.append(argument.toLocal8Bit());
        std::vector<char *> argv;
        for (QByteArray &argument : bytes)
            argv.push_back(argument.data());
        QCOMPARE(CommandLine::isRequested(int(argv.size()), argv.data()), commandLine);
    }

    void helpAndVersionWithoutDisplay()
    {
        const Run help = quillo({u"--help"_s});
        QCOMPARE(help.status, 0);
        QVERIFY(help.out.startsWith(u"Utilisation : Quillo [options]"_s));
        for (const QString &option :
             {u"--modele FICHIER"_s, u"--pdf DOSSIER"_s, u"--rtf DOSSIER"_s, u"--imprimer"_s, u"--fiches NOM"_s,
              u"--toutes-les-fiches"_s, u"--destinataires FICHIER"_s, u"--reprendre"_s, u"Exemples :"_s})
            QVERIFY2(help.out.contains(option), qPrintable(option));
        QVERIFY2(help.err.isEmpty(), qPrintable(help.err));
        const Run version = quillo({u"--version"_s});
        QCOMPARE(version.status, 0);
        QCOMPARE(version.out, u"Quillane 1.0.0\n"_s);
    }

    void commandsThatCannotBeCarriedOut_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        const QString out = u"sortie"_s;
        const QString model = u"Relance.txt"_s;
        QTest::newRow("sans modèle") << QStringList{u"--pdf"_s, out} << u"indiquez le modèle de lettre"_s;
        QTest::newRow("sans sortie") << QStringList{u"--modele"_s, model} << u"--pdf DOSSIER, --rtf DOSSIER ou"_s;
        QTest::newRow("option inconnue") << QStringList{u"--modele"_s, model, u"--pdf"_s, out, u"--couleur"_s}
                                         << u"option inconnue : « --couleur »."_s;
        QTest::newRow("valeur manquante") << QStringList{u"--modele"_s, model, u"--pdf"_s} << u"--pdf"_s;
        QTest::newRow("nom sans --fiches") << QStringList{u"--modele"_s, model, u"--pdf"_s, out, u"Zoé Petit"_s}
                                           << u"argument inattendu : « Zoé Petit »"_s;
        QTest::newRow("fiches et toutes")
            << QStringList{u"--modele"_s,           model, u"--pdf"_s, out, u"--fiches"_s, u"Zoé Petit"_s,
                           u"--toutes-les-fiches"_s}
            << u"--fiches et --toutes-les-fiches ne vont pas ensemble."_s;
        QTest::newRow("reprendre sans fichiers") << QStringList{u"--modele"_s, model, u"--imprimer"_s, u"--reprendre"_s}
                                                 << u"--reprendre ne s'emploie qu'avec --pdf ou --rtf."_s;
        QTest::newRow("modèle absent") << QStringList{u"--modele"_s, u"Absent.txt"_s, u"--pdf"_s, out}
                                       << u"le modèle « Absent.txt » est introuvable."_s;
        QTest::newRow("modèle abîmé") << QStringList{u"--modele"_s, u"Abîmé"_s, u"--pdf"_s, out}
                                      << u"n'est pas un modèle de lettre complet"_s;
        QTest::newRow("dossier impossible")
            << QStringList{u"--modele"_s, model, u"--pdf"_s, u"un fichier/sortie"_s} << u"n'a pas pu être créé."_s;
        QTest::newRow("destinataires absents")
            << QStringList{u"--modele"_s, model, u"--pdf"_s, out, u"--destinataires"_s, u"absent.csv"_s}
            << u"Le fichier « absent.csv » est introuvable."_s;
        QTest::newRow("un fichier pour dossier")
            << QStringList{u"--modele"_s, model, u"--rtf"_s, u"un fichier"_s} << u"n'est pas un dossier."_s;
    }
    void commandsThatCannotBeCarriedOut()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const Run run = quillo(arguments);
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.startsWith(u"Quillo : "_s) && run.err.contains(message), qPrintable(run.err));
        QVERIFY(run.err.endsWith(u"Pour l'aide : Quillo --help\n"_s));
        // Nothing was written.
        QVERIFY(!QFileInfo::exists(out()));
        QCOMPARE(filesIn(work.path()), QStringList{u"un fichier"_s});
    }

    void modelLetterAlone()
    {
        const Run run = quillo({u"--modele"_s, u"Relance"_s, u"--pdf"_s, u"sortie"_s});
        QCOMPARE(run.status, 0);
        QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
        QVERIFY(run.out.startsWith(u"1 fichier écrit dans « "_s));
        QCOMPARE(filesIn(out()), (QStringList{u"journal.csv"_s, u"Paul Modèle.pdf"_s}));
        if (!havePdfToText())
            QSKIP("poppler-utils (pdftotext) is not installed");
        const QString text = pdfText(QDir(out()).filePath(u"Paul Modèle.pdf"_s));
        for (const QString &value : {u"Monsieur Jean Martin"_s, u"Monsieur le Maire"_s, u"Paul Modèle"_s,
                                     u"Objet : Demande de rendez-vous"_s, u"Second paragraphe du corps."_s})
            QVERIFY2(text.contains(value), qPrintable(value));
    }

    void oneLetterPerCardInBothFormats()
    {
        const Run run = quillo({u"--modele"_s, u"Relance.txt"_s, u"--toutes-les-fiches"_s, u"--pdf"_s, u"sortie"_s,
                                u"--rtf"_s, u"sortie/"_s});
        QCOMPARE(run.status, 0);
        QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
        QCOMPARE(filesIn(out()),
                 (QStringList{u"Claire Durand (2).pdf"_s, u"Claire Durand (2).rtf"_s, u"Claire Durand.pdf"_s,
                              u"Claire Durand.rtf"_s, u"Dupont_Fils _ SARL.pdf"_s, u"Dupont_Fils _ SARL.rtf"_s,
                              u"journal.csv"_s, u"Zoé Petit.pdf"_s, u"Zoé Petit.rtf"_s}));
        const QString journal = QString::fromUtf8(QuilloTest::readBytes(QDir(out()).filePath(u"journal.csv"_s)));
        QVERIFY(journal.contains(u"\r\nDupont/Fils : SARL;Dupont_Fils _ SARL.pdf;ok;"_s));
        QCOMPARE(journal.count(u";ok;"_s), 8);
        if (!havePdfToText())
            QSKIP("poppler-utils (pdftotext) is not installed");
        // The second Claire Durand is the one from Lyon, in the order of the card files.
        const QString second = pdfText(QDir(out()).filePath(u"Claire Durand (2).pdf"_s));
        QVERIFY(second.contains(u"9 rue Basse"_s) && second.contains(u"69003 Lyon"_s));
        QVERIFY(!second.contains(u"Paul Modèle"_s));
    }

    void missingCardAndFailedWriteNamedOthersWritten()
    {
        QVERIFY(QDir().mkpath(QDir(out()).filePath(u"Zoé Petit.pdf"_s)));
        const Run run = quillo({u"--modele"_s, u"Relance.txt"_s, u"--pdf"_s, u"sortie"_s, u"--fiches"_s,
                                u"Claire Durand"_s, u"Inconnu"_s, u"Zoé Petit"_s, u"Dupont"_s});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(u"Quillo : Inconnu : La fiche destinataire « Inconnu » est introuvable.\n"_s),
                 qPrintable(run.err));
        QVERIFY2(run.err.contains(u"Quillo : Zoé Petit : Impossible d'enregistrer le fichier « Zoé Petit.pdf »"_s),
                 qPrintable(run.err));
        QVERIFY(run.out.startsWith(u"2 fichiers écrits dans « "_s));
        QCOMPARE(filesIn(out()), (QStringList{u"Claire Durand.pdf"_s, u"Dupont_Fils _ SARL.pdf"_s, u"journal.csv"_s}));
        const QString journal = QString::fromUtf8(QuilloTest::readBytes(QDir(out()).filePath(u"journal.csv"_s)));
        QVERIFY(journal.contains(u"\r\nInconnu;Inconnu.pdf;La fiche destinataire « Inconnu » est introuvable.;"_s));
    }

    // A spreadsheet's or an address book's file as the recipients: letters for its good rows, no
    // card written, the doubtful rows refused and named, as a missing card is.
    void recipientsFromAFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("written");
        QTest::addColumn<QStringList>("refused");
        QTest::newRow("tableur") << QByteArray("Civilit\xE9;Pr\xE9nom;Nom;Adresse;Code postal;Ville\r\n"
                                               "Mme;Anne;Roux;1 place Neuve;01000;Bourg-en-Bresse\r\n"
                                               "M.;Paul;L\xE9ger;8 quai Sud;69002;Lyon\r\n")
                                 << 0 << QStringList{u"Anne Roux.rtf"_s, u"journal.csv"_s, u"Paul Léger.rtf"_s}
                                 << QStringList{};
        QTest::newRow("lignes signalées")
            << QByteArray("Civilit\xE9;Pr\xE9nom;Nom;Adresse;Code postal;Ville\r\n"
                          "Mme;Claire;Durand;3 rue Haute;75003;Paris\r\n"
                          ";Luc;Petit;2 rue Basse;13001;Marseille\r\n"
                          "M.;Paul;Martin;8 quai Sud;1000;Bourg\r\n"
                          "M.;\"Jean;Ferrand;1 rue Longue;75001;Paris\r\n")
            << 1 << QStringList{u"Claire Durand.rtf"_s, u"journal.csv"_s}
            << QStringList{u"Quillo : Luc Petit : Ligne 3 : la civilité (qualificatif) est vide.\n"_s,
                           u"Quillo : Paul Martin : Ligne 4 : le code postal « 1000 » a probablement perdu"_s,
                           u"Quillo : Ligne 5 : Ligne 5 illisible"_s};
    }
    void recipientsFromAFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, status);
        QFETCH(QStringList, written);
        QFETCH(QStringList, refused);
        const QString fileName = u"contacts.csv"_s;
        QuilloTest::writeBytes(work.filePath(fileName), content);
        const QString cards = root.filePath(u"Fichiers/Destinataires"_s);
        const QStringList cardsBefore = filesIn(cards);
        const Run run =
            quillo({u"--modele"_s, u"Relance.txt"_s, u"--destinataires"_s, fileName, u"--rtf"_s, u"sortie"_s});
        QFile::remove(work.filePath(fileName));
        QCOMPARE(run.status, status);
        QCOMPARE(filesIn(out()), written);
        QCOMPARE(run.err.isEmpty(), refused.isEmpty());
        for (const QString &message : refused)
            QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QCOMPARE(filesIn(cards), cardsBefore);
    }

    void resumeWritesOnlyWhatIsMissing()
    {
        QVERIFY(QDir().mkpath(QDir(out()).filePath(u"Zoé Petit.pdf"_s)));
        const QStringList arguments{u"--modele"_s, u"Relance.txt"_s, u"--pdf"_s, u"sortie"_s, u"--toutes-les-fiches"_s};
        QCOMPARE(quillo(arguments).status, 1);
        const QString claire = QDir(out()).filePath(u"Claire Durand.pdf"_s);
        const QByteArray written = QuilloTest::readBytes(claire);
        QVERIFY(QDir(out()).rmdir(u"Zoé Petit.pdf"_s));

        const Run run = quillo(arguments + QStringList{u"--reprendre"_s});
        QCOMPARE(run.status, 0);
        QVERIFY2(run.out.startsWith(u"1 fichier écrit dans « "_s) && run.out.contains(u", 3 gardés ;"_s),
                 qPrintable(run.out));
        QCOMPARE(QuilloTest::readBytes(claire), written);
        QVERIFY(QFileInfo(QDir(out()).filePath(u"Zoé Petit.pdf"_s)).isFile());
        const QString journal = QString::fromUtf8(QuilloTest::readBytes(QDir(out()).filePath(u"journal.csv"_s)));
        QCOMPARE(journal.count(u";ok;"_s), 4);
    }

    void readOnlyFolder()
    {
        QVERIFY(QDir().mkpath(out()));
        QFile::setPermissions(out(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QTemporaryFile probe(QDir(out()).filePath(u"essai-XXXXXX"_s));
        const bool writable = probe.open();
        if (!writable) {
            const Run run = quillo({u"--modele"_s, u"Relance.txt"_s, u"--pdf"_s, u"sortie"_s});
            QCOMPARE(run.status, 2);
            QVERIFY2(run.err.contains(u"Impossible d'écrire dans le dossier"_s), qPrintable(run.err));
        }
        QFile::setPermissions(out(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        if (writable)
            QSKIP("this user writes in read-only folders (root)");
    }
};

QUILLO_TEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
