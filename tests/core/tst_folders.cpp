#include "TestSupport.h"
#include "core/DataPaths.h"
#include "core/Folders.h"
#include "core/LegacyFileNames.h"
#include "core/ProgramFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {
QStringList treeOf(const QString &root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        entries.append(QDir(root).relativeFilePath(path) + u'@' +
                       QString::number(QFileInfo(path).lastModified().toMSecsSinceEpoch()));
    }
    entries.sort();
    return entries;
}
} // namespace

class TestFolders : public QObject
{
    Q_OBJECT

private slots:
    void firstStartCreatesTheEightFoldersAndASecondChangesNothing()
    {
        QuilloTest::TempProgramFolder folder;
        Init_Dossiers();
        const QStringList expected = {u"Assistant"_s,
                                      u"Fichiers"_s,
                                      u"Fichiers/Contenus"_s,
                                      u"Fichiers/Destinataires"_s,
                                      u"Fichiers/Expéditeurs"_s,
                                      u"Fichiers/Formules"_s,
                                      u"Fichiers/Références"_s,
                                      u"Modèles"_s};
        QStringList made;
        QDirIterator it(folder.path(), QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QVERIFY2(QFileInfo(path).isDir(), qPrintable(path)); // no file is created
            made.append(QDir(folder.path()).relativeFilePath(path));
        }
        made.sort();
        QCOMPARE(made, expected);

        QuilloTest::writeBytes(folder.filePath(u"Fichiers/Références/Objets.ini"_s), "Réclamation\r\n");
        const QStringList before = treeOf(folder.path());
        Init_Dossiers();
        QCOMPARE(treeOf(folder.path()), before);
    }

    void aFileInTheWayDoesNotStopTheOtherFolders()
    {
        QuilloTest::TempProgramFolder folder;
        QuilloTest::writeBytes(folder.filePath(u"Modèles"_s), "not a folder");
        Init_Dossiers();
        QVERIFY(QFileInfo(DataPaths::contentsFolder()).isDir());
        QVERIFY(QFileInfo(DataPaths::assistantFolder()).isDir());
        QVERIFY(QFileInfo(folder.filePath(u"Modèles"_s)).isFile());
    }

    void cardNamesAreIniFilesInAlphabeticalOrder()
    {
        QuilloTest::TempProgramFolder folder;
        Init_Dossiers();
        const QDir senders(DataPaths::sendersFolder());
        for (const QString &name : {u"Martin Jean.ini"_s, u"Durand Paul.ini"_s, u"notes.txt"_s, u"x.ini"_s,
                                    u"Émile Zola.ini"_s, u"Ancien.INI"_s, u"ebauche.ini.bak"_s})
            QuilloTest::writeBytes(senders.filePath(name), "x\r\n");
        QDir().mkdir(senders.filePath(u"dossier.ini"_s)); // a folder is no card
        QCOMPARE(cardNamesIn(senders.path()),
                 (QStringList{u"Ancien"_s, u"Durand Paul"_s, u"Émile Zola"_s, u"Martin Jean"_s, u"x"_s}));
        QVERIFY(cardNamesIn(DataPaths::recipientsFolder()).isEmpty());
    }

    void seedingCopiesWhatIsMissingAndNeverOverwrites()
    {
        QuilloTest::TempProgramFolder installed;
        QuilloTest::writeBytes(installed.filePath(u"defaut.rtf"_s), "{\\rtf1 installed}");
        QuilloTest::writeBytes(installed.filePath(u"Fichiers/Références/Communes.ini"_s), "Paris\r\n");
        QuilloTest::writeBytes(installed.filePath(u"Assistant/Introduction.ini"_s), "a\r\n\r\n");
        QuilloTest::writeBytes(installed.filePath(u"Quillo"_s), "program"); // not content
        QTemporaryDir user;
        QuilloTest::writeBytes(user.filePath(u"defaut.rtf"_s), "{\\rtf1 mine}");
        ProgramFolder::seed(installed.path(), user.path());
        QCOMPARE(QuilloTest::readBytes(user.filePath(u"defaut.rtf"_s)), QByteArray("{\\rtf1 mine}"));
        QCOMPARE(QuilloTest::readBytes(user.filePath(u"Fichiers/Références/Communes.ini"_s)), QByteArray("Paris\r\n"));
        QCOMPARE(QuilloTest::readBytes(user.filePath(u"Assistant/Introduction.ini"_s)), QByteArray("a\r\n\r\n"));
        QVERIFY(!QFileInfo::exists(user.filePath(u"Quillo"_s)));
    }

    void cardsNamedInTheOldEncodingAreFoundThenRenamed()
    {
        QuilloTest::TempProgramFolder folder;
        Init_Dossiers();
        const QString cards = DataPaths::sendersFolder();
        if (!QuilloTest::writeRawNamed(cards, "Caf\xE9 Dupont.ini", "Caf\xE9 Dupont\r\n") ||
            !QuilloTest::writeRawNamed(cards, "\xC9mile.ini", "\xC9mile\r\n"))
            QSKIP("This file system refuses names that are not UTF-8.");
        QuilloTest::writeBytes(QDir(cards).filePath(u"Émile.ini"_s), "déjà là\r\n");
        QuilloTest::writeBytes(QDir(cards).filePath(u"Martin.ini"_s), "Martin\r\n");
        // Unseen by Qt's listing: the reason they must be found byte for byte.
        QCOMPARE(cardNamesIn(cards), (QStringList{u"Émile"_s, u"Martin"_s}));
        const QList<LegacyFileNames::Entry> found = LegacyFileNames::find(cards, {u".INI"_s});
        QCOMPARE(LegacyFileNames::describe(cards, found),
                 (QStringList{QDir(cards).filePath(u"Café Dupont.ini"_s), QDir(cards).filePath(u"Émile.ini"_s)}));

        QStringList failures;
        QVERIFY(!LegacyFileNames::renameAll(cards, found, &failures));
        // Never over a file of the user's: the second stays as it was, and the message says why.
        QCOMPARE(failures.size(), 1);
        QVERIFY2(failures.first().contains(u"Émile.ini"_s) && failures.first().contains(u"existe déjà"_s),
                 qPrintable(failures.first()));
        QCOMPARE(QuilloTest::readBytes(QDir(cards).filePath(u"Émile.ini"_s)), QByteArray("déjà là\r\n"));
        QCOMPARE(cardNamesIn(cards), (QStringList{u"Café Dupont"_s, u"Émile"_s, u"Martin"_s}));
        QCOMPARE(QuilloTest::readBytes(QDir(cards).filePath(u"Café Dupont.ini"_s)), QByteArray("Caf\xE9 Dupont\r\n"));
        // Once the user's own file is gone, a second run renames the last one.
        QFile::remove(QDir(cards).filePath(u"Émile.ini"_s));
        QVERIFY(LegacyFileNames::renameAll(cards, LegacyFileNames::find(cards, {u".ini"_s}), &failures));
        QCOMPARE(QuilloTest::readBytes(QDir(cards).filePath(u"Émile.ini"_s)), QByteArray("\xC9mile\r\n"));
        QVERIFY(LegacyFileNames::find(cards, {u".ini"_s}).isEmpty());
    }
};

QUILLO_TEST_MAIN(TestFolders)
#include "tst_folders.moc"
