#include "OldFolder.h"
#include "ScriptedDialogs.h"
#include "TestSupport.h"
#include "conversion/FrmConvert.h"
#include "core/DataPaths.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

using QuilloTest::filesUnder;
using QuilloTest::itemsOf;

namespace {

QStringList rowOf(const QTreeWidget *view, int row)
{
    QStringList texts;
    for (int column = 0; column < view->columnCount(); ++column)
        texts.append(view->topLevelItem(row)->text(column));
    return texts;
}

} // namespace

class TestFrmConvert : public QObject
{
    Q_OBJECT

    std::unique_ptr<QuilloTest::TempProgramFolder> folder;
    std::shared_ptr<ScriptedDialogs> dialogs;
    QStringList started;

    QByteArray bytesOf(const QString &relative) const { return QuilloTest::readBytes(folder->filePath(relative)); }

    // "Dossier" with the folder chosen, the import's message acknowledged.
    FrmConvert *importFrom(const QString &path)
    {
        FrmConvert *window = FrmConvert::instance();
        dialogs->answerText(path);
        dialogs->answerButton(QMessageBox::Ok);
        window->folderButton->click();
        return window;
    }

private slots:
    void init()
    {
        folder = std::make_unique<QuilloTest::TempProgramFolder>();
        dialogs = ScriptedDialogs::install();
        started.clear();
        FrmConvert::setStarter([this](const QString &program) {
            started.append(program);
            return true;
        });
    }

    void cleanup()
    {
        QVERIFY(QuilloTest::closeAllWindows().isEmpty());
        QCOMPARE(dialogs->unexpected, 0);
        FrmConvert::setStarter({});
        ScriptedDialogs::uninstall();
        folder.reset();
    }

    void opensWaitingCentredWithTheFoldersMade()
    {
        FrmConvert *window = FrmConvert::instance();
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(window->x(), area.left() + (area.width() - window->frameGeometry().width()) / 2);
        for (const QString &made : {DataPaths::assistantFolder(), DataPaths::modelsFolder(), DataPaths::sendersFolder(),
                                    DataPaths::recipientsFolder(), DataPaths::referencesFolder(),
                                    DataPaths::formulasFolder(), DataPaths::contentsFolder()})
            QVERIFY2(QFileInfo(made).isDir(), qPrintable(made));
        QVERIFY(filesUnder(folder->path()).isEmpty());
        QVERIFY(!window->convertButton->isEnabled());

        // A cancelled folder dialog changes nothing.
        dialogs->answerCancel();
        window->folderButton->click();
        QCOMPARE(dialogs->requests.size(), 1);
        QCOMPARE(dialogs->requests.first().kind, Dialogs::Request::Kind::Folder);
        QVERIFY(window->sourceFolder().isEmpty());
        QCOMPARE(window->statusText->text(), u" En attente de conversion..."_s);
        QVERIFY(!window->convertButton->isEnabled());
    }

    void importShowsTheRows()
    {
        OldFolder old;
        old.add(u"dupont.exp"_s, OldFolder::sender("\"Dupont Jean\""));
        old.add(u"lenoir.dst"_s, OldFolder::recipient("Lenoir Anne"));
        old.add(u"VILLE.LST"_s, "\"Paris\"\r\n   \r\nLyon\r\n");
        old.add(u"FormuleF.lst"_s, "mes salutations.\r\n");
        QString chosen = old.path();
        chosen.chop(1); // the dialog answers without a final separator
        FrmConvert *window = importFrom(chosen);

        QCOMPARE(window->sourceFolder(), old.path());
        QCOMPARE(window->statusText->text(), u" "_s + old.path());
        QVERIFY(window->convertButton->isEnabled());
        QCOMPARE(dialogs->requests.last().text, u"Importation des fichiers terminés."_s);
        QCOMPARE(rowOf(window->senderList, 0),
                 (QStringList{u"Dupont Jean"_s, u"12 rue de l'Église"_s, u"Bât. A"_s, u"75001 Paris"_s, u"France"_s,
                              u"01 02 03 04 05"_s, u"06 07 08 09 10"_s, u"Monsieur"_s, u"Directeur général"_s}));
        QCOMPARE(rowOf(window->recipientList, 0), (QStringList{u"Lenoir Anne"_s,
                                                               u"3 allée Verte"_s,
                                                               u"Résidence des Pins"_s,
                                                               u"69001 Lyon"_s,
                                                               {},
                                                               u"Madame"_s,
                                                               u"Maire"_s}));
        QCOMPARE(itemsOf(window->lists[0]), (QStringList{u"Paris"_s, u"Lyon"_s}));
        QCOMPARE(itemsOf(window->lists[5]), QStringList{u"mes salutations."_s});
    }

    void conversionWritesEveryFileByteForByte()
    {
        OldFolder old;
        old.add(u"dupont.exp"_s, OldFolder::sender("Dupont Jean"));
        old.add(u"dupont2.exp"_s, "Dupont Jean\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\nMonsieur\r\nG\xE9rant\r\n");
        old.add(u"LENOIR.DST"_s, OldFolder::recipient("\"Lenoir Anne\""));
        old.add(u"court.dst"_s, "Court\r\nR1\r\nA1\r\n");
        old.add(u"Ville.lst"_s, "Paris\r\nOrl\xE9"
                                "ans\r\n");
        old.add(u"Objets.lst"_s, "Demande\r\n");
        old.add(u"Fonction.lst"_s, "Maire\r\n");
        old.add(u"Signature.lst"_s, "J. Dupont\r\n");
        old.add(u"FormuleD.lst"_s, "Je vous prie d'agr\xE9"
                                   "er, Madame,\r\n");
        old.add(u"FormuleF.lst"_s, "mes salutations.\r\n");
        old.add(u"Introduction.lst"_s, "Suite \xE0\r\nEn r\xE9ponse \xE0\r\n\r\nvotre lettre\r\n\r\n");
        old.add(u"Conclusion simple.lst"_s, "Dans l'attente\r\n\r\nje demeure");
        old.add(u"CONCLUSION E\u0301VOLUE\u0301E.LST"_s, "\xC0 la disposition\r\n\r\n");
        old.add(u"Lettre type.txt"_s, "Madame,\r\n\r\nSuite \xE0 votre appel.\r\n");
        FrmConvert *window = importFrom(old.path());
        QVERIFY(dialogs->requests.last().text.contains(u"1 fichier de fiche était incomplet"_s));
        importFrom(old.path());

        dialogs->answerButton(QMessageBox::Ok);
        window->convertButton->click();
        const Dialogs::Request &done = dialogs->requests.last();
        QCOMPARE(done.text, u"Conversion des fichiers terminés."_s);
        QCOMPARE(done.icon, Dialogs::Icon::Information);
        QVERIFY(!window->convertButton->isEnabled());
        QVERIFY(started.isEmpty());

        QCOMPARE(filesUnder(folder->path()),
                 (QStringList{u"Assistant/Conclusion1.ini"_s, u"Assistant/Conclusion2.ini"_s,
                              u"Assistant/Introduction.ini"_s, u"Fichiers/Contenus/Lettre type.txt"_s,
                              u"Fichiers/Destinataires/Court.ini"_s, u"Fichiers/Destinataires/Lenoir Anne.ini"_s,
                              u"Fichiers/Expéditeurs/Dupont Jean.ini"_s, u"Fichiers/Formules/Formules1.ini"_s,
                              u"Fichiers/Formules/Formules2.ini"_s, u"Fichiers/Références/Communes.ini"_s,
                              u"Fichiers/Références/Fonctions.ini"_s, u"Fichiers/Références/Objets.ini"_s,
                              u"Fichiers/Références/Signatures.ini"_s}));
        // Two rows of the same name: the later row's card is the one written.
        QCOMPARE(bytesOf(u"Fichiers/Expéditeurs/Dupont Jean.ini"_s),
                 QByteArray("Dupont Jean\r\n\r\n\r\n\r\n\r\n\r\n\r\nMonsieur\r\nG\xE9rant\r\n"));
        QCOMPARE(bytesOf(u"Fichiers/Destinataires/Lenoir Anne.ini"_s), OldFolder::convertedRecipient("Lenoir Anne"));
        QCOMPARE(bytesOf(u"Fichiers/Destinataires/Court.ini"_s), QByteArray("Court\r\nA1\r\nR1\r\n\r\n\r\n\r\n\r\n"));
        // Imported twice: each list holds its entries twice.
        QCOMPARE(bytesOf(u"Fichiers/Références/Communes.ini"_s), QByteArray("Paris\r\nOrl\xE9"
                                                                            "ans\r\nParis\r\nOrl\xE9"
                                                                            "ans\r\n"));
        QCOMPARE(bytesOf(u"Fichiers/Formules/Formules1.ini"_s), QByteArray("Je vous prie d'agr\xE9"
                                                                           "er, Madame,\r\nJe vous prie d'agr\xE9"
                                                                           "er, Madame,\r\n"));
        QCOMPARE(bytesOf(u"Fichiers/Références/Signatures.ini"_s), QByteArray("J. Dupont\r\nJ. Dupont\r\n"));
        QCOMPARE(bytesOf(u"Assistant/Introduction.ini"_s),
                 QByteArray("Suite \xE0\r\nEn r\xE9ponse \xE0\r\n\r\nvotre lettre\r\n\r\n"));
        // The last block gets the empty line that closes it.
        QCOMPARE(bytesOf(u"Assistant/Conclusion1.ini"_s), QByteArray("Dans l'attente\r\n\r\nje demeure\r\n\r\n"));
        // A name in capitals with decomposed accents is matched all the same.
        QCOMPARE(bytesOf(u"Assistant/Conclusion2.ini"_s), QByteArray("\xC0 la disposition\r\n\r\n"));
        QCOMPARE(bytesOf(u"Fichiers/Contenus/Lettre type.txt"_s),
                 QByteArray("Madame,\r\n\r\nSuite \xE0 votre appel.\r\n"));
    }

    // A list whose old file the folder lacks keeps the installed one; the message names it. A
    // list file that is there, even empty, is converted as it is.
    void listsNotFoundKeepTheInstalledOnes()
    {
        QuilloTest::writeBytes(folder->filePath(u"Fichiers/Références/Communes.ini"_s), "Lyon\r\n");
        QuilloTest::writeBytes(folder->filePath(u"Fichiers/Références/Objets.ini"_s), "Relance\r\n");
        QuilloTest::writeBytes(folder->filePath(u"Fichiers/Formules/Formules2.ini"_s), "mes salutations.\r\n");
        OldFolder old;
        old.add(u"objets.lst"_s, "");
        old.add(u"FormuleF.lst"_s, "mon respect.\r\n");
        FrmConvert *window = importFrom(old.path());
        dialogs->answerButton(QMessageBox::Ok);
        window->convertButton->click();
        const Dialogs::Request &done = dialogs->requests.last();
        QCOMPARE(done.icon, Dialogs::Icon::Information);
        QCOMPARE(done.text, u"Conversion des fichiers terminés.\n\n"
                            u"Ces listes n'ont pas été trouvées dans l'ancien dossier ; les listes installées sont "
                            u"gardées :\n- Ville.lst (Communes.ini)\n- Fonction.lst (Fonctions.ini)\n"
                            u"- Signature.lst (Signatures.ini)\n- FormuleD.lst (Formules1.ini)"_s);
        QCOMPARE(bytesOf(u"Fichiers/Références/Communes.ini"_s), QByteArray("Lyon\r\n"));
        QCOMPARE(bytesOf(u"Fichiers/Références/Objets.ini"_s), QByteArray());
        QCOMPARE(bytesOf(u"Fichiers/Formules/Formules2.ini"_s), QByteArray("mon respect.\r\n"));
        QVERIFY(!QFile::exists(folder->filePath(u"Fichiers/Formules/Formules1.ini"_s)));
    }

    void cardsThatCannotBeFileNamesAreNamedAndNotWritten()
    {
        OldFolder old;
        old.add(u"a.dst"_s, OldFolder::recipient("Durand/Martin"));
        old.add(u"b.dst"_s, OldFolder::recipient("  "));
        old.add(u"c.dst"_s, OldFolder::recipient("Martin"));
        old.add(u"d.dst"_s, OldFolder::recipient("Durand S.A."));
        old.add(u"e.dst"_s, OldFolder::recipient(".cache"));
        old.add(u"x.exp"_s, OldFolder::sender("..\\..\\Quillo"));
        FrmConvert *window = importFrom(old.path());
        dialogs->answerButton(QMessageBox::Ok);
        window->convertButton->click();

        const Dialogs::Request &done = dialogs->requests.last();
        QCOMPARE(done.icon, Dialogs::Icon::Warning);
        QVERIFY2(
            done.text.startsWith(
                u"Conversion des fichiers terminés.\n\n"
                u"Ces fiches n'ont pas été converties, car leur nom ne peut pas servir de nom de fichier :\n"
                u"- Expéditeur « ..\\..\\Quillo » (fichier « x.exp ») : Le nom de la fiche ne peut pas contenir le "
                u"caractère « \\ ».\n"
                u"- Destinataire « Durand/Martin » (fichier « a.dst ») : Le nom de la fiche ne peut pas contenir le "
                u"caractère « / ».\n"
                u"- Destinataire sans nom (fichier « b.dst ») : Le nom de la fiche est vide.\n"
                u"- Destinataire « .cache » (fichier « e.dst ») : Le nom de la fiche ne peut pas commencer par un "
                u"point.\n\n"_s),
            qPrintable(done.text));
        const QStringList written = filesUnder(folder->path());
        QCOMPARE(written.filter(u"Destinataires"_s),
                 (QStringList{u"Fichiers/Destinataires/Durand S.A..ini"_s, u"Fichiers/Destinataires/Martin.ini"_s}));
        QCOMPARE(written.filter(u"Expéditeurs"_s), QStringList());
        QCOMPARE(bytesOf(u"Fichiers/Destinataires/Durand S.A..ini"_s), OldFolder::convertedRecipient("Durand S.A."));
    }

    void tickedBoxStartsQuilloBesideAndCloses_data()
    {
        QTest::addColumn<bool>("starts");
        QTest::newRow("démarré") << true;
        QTest::newRow("pas démarré") << false;
    }
    void tickedBoxStartsQuilloBesideAndCloses()
    {
        QFETCH(bool, starts);
        FrmConvert::setStarter([&](const QString &program) {
            started.append(program);
            return starts;
        });
        OldFolder old;
        FrmConvert *window = importFrom(old.path());
        window->show();
        window->startQuillo->setChecked(true);
        dialogs->answerButton(QMessageBox::Ok);
        if (!starts)
            dialogs->answerButton(QMessageBox::Ok);
        window->convertButton->click();
        QCOMPARE(started, QStringList{FrmConvert::quilloExecutable()});
        QCOMPARE(QFileInfo(FrmConvert::quilloExecutable()).path(), QCoreApplication::applicationDirPath());
        QVERIFY(window->isHidden());
        if (!starts) {
            QCOMPARE(dialogs->requests.last().icon, Dialogs::Icon::Warning);
            QVERIFY(dialogs->requests.last().text.startsWith(u"Quillane n'a pas pu être démarré"_s));
        }
    }

    void quitCloses()
    {
        FrmConvert *window = FrmConvert::instance();
        window->show();
        window->quitButton->click();
        QVERIFY(window->isHidden());
        QVERIFY(dialogs->requests.isEmpty());
    }
};

QUILLO_TEST_MAIN(TestFrmConvert)
#include "tst_frmconvert.moc"
