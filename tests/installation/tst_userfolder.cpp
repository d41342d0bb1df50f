// Which folder the program keeps its data in: beside the executable when it runs from a folder of
// its own (the build, a portable copy), or in the user's data folder, seeded with the installation
// content, when it is installed; and the seeding never takes anything of the user's.

#include "ProgramFolder.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// An installation tree as `cmake --install` lays it: <prefix>/bin and the installation content
// where the configured relative path says.
struct InstalledTree
{
    QTemporaryDir prefix;
    QString bin() const { return prefix.filePath(u"bin"_s); }
    QString content() const { return QDir::cleanPath(QDir(bin()).filePath(QStringLiteral(QUILLO_INSTALLED_CONTENT))); }
};

} // namespace

class TestUserFolder : public QObject
{
    Q_OBJECT

private slots:
    void portableFolder_isTheExecutablesOwn()
    {
        QTemporaryDir portable;
        QuilloTest::writeBytes(portable.filePath(u"defaut.rtf"_s), "{\\rtf1 portable}");
        QTemporaryDir home;
        const QString userFolder = home.filePath(u"Quillane"_s);

        QCOMPARE(ProgramFolder::installedContentFolder(portable.path()), QString());
        QCOMPARE(ProgramFolder::resolveFor(portable.path(), userFolder), portable.path());
        QVERIFY(!QFileInfo::exists(userFolder));
    }

    void installedProgram_usesItsUsersFolderSeededFromShare()
    {
        InstalledTree tree;
        // Writable on purpose: a prefix in the user's home or a test installation can be written,
        // and the program must still keep its data out of it.
        QuilloTest::writeBytes(QDir(tree.bin()).filePath(u"Quillo"_s), "program");
        QuilloTest::writeBytes(QDir(tree.content()).filePath(u"defaut.rtf"_s), "{\\rtf1 installed}");
        QuilloTest::writeBytes(QDir(tree.content()).filePath(u"Fichiers/Références/Communes.ini"_s), "Paris\r\n");
        QuilloTest::writeBytes(QDir(tree.content()).filePath(u"translations/qtbase_fr.qm"_s), "qm");
        QTemporaryDir home;
        const QString userFolder = home.filePath(u".local/share/Quillane"_s);

        QCOMPARE(ProgramFolder::installedContentFolder(tree.bin()), tree.content());
        QCOMPARE(ProgramFolder::resolveFor(tree.bin(), userFolder), userFolder);
        const QDir user(userFolder);
        QCOMPARE(QuilloTest::readBytes(user.filePath(u"defaut.rtf"_s)), QByteArray("{\\rtf1 installed}"));
        QCOMPARE(QuilloTest::readBytes(user.filePath(u"Fichiers/Références/Communes.ini"_s)), QByteArray("Paris\r\n"));
        // Only the content is the user's: neither the program nor the translations.
        QVERIFY(!user.exists(u"Quillo"_s));
        QVERIFY(!user.exists(u"translations"_s));
        // Nothing was written beside the executable.
        QCOMPARE(QDir(tree.bin()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{u"Quillo"_s});

        // The next start takes nothing of the user's and gives back what went missing.
        QuilloTest::writeBytes(user.filePath(u"Fichiers/Références/Communes.ini"_s), "Paris\r\nQuimper\r\n");
        QFile::remove(user.filePath(u"defaut.rtf"_s));
        QCOMPARE(ProgramFolder::resolveFor(tree.bin(), userFolder), userFolder);
        QCOMPARE(QuilloTest::readBytes(user.filePath(u"Fichiers/Références/Communes.ini"_s)),
                 QByteArray("Paris\r\nQuimper\r\n"));
        QCOMPARE(QuilloTest::readBytes(user.filePath(u"defaut.rtf"_s)), QByteArray("{\\rtf1 installed}"));
    }

    void seededCopyOfAReadOnlyFile_isTheUsersToChange()
    {
        // A package's or a read-only medium's files may carry no write permission; the user's
        // copies of the lists are edited in place and must not inherit that.
        QTemporaryDir installed;
        const QString list = installed.filePath(u"Fichiers/Références/Objets.ini"_s);
        QuilloTest::writeBytes(list, "Demande\r\n");
        QVERIFY(QFile::setPermissions(list, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
        QTemporaryDir user;

        ProgramFolder::seed(installed.path(), user.path());
        const QString copy = user.filePath(u"Fichiers/Références/Objets.ini"_s);
        QCOMPARE(QuilloTest::readBytes(copy), QByteArray("Demande\r\n"));
        QVERIFY(QFileInfo(copy).permissions().testFlag(QFileDevice::WriteOwner));
    }
};

#include "tst_userfolder.moc"

QUILLO_TEST_MAIN(TestUserFolder)
