// The program keeps its data beside its executable when it runs from a folder of its own (the
// build, a portable copy), and the copies it seeds a user's folder with are the user's to change.
// The installed layout is checked on a real installation by tst_installed.

#include "TestSupport.h"
#include "core/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

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

    void seededCopyOfAReadOnlyFile_isTheUsersToChange()
    {
        // A package's or a read-only medium's files may carry no write permission; the user's
        // copies of the lists are edited in place and must not inherit that. (Qt's copy keeps the
        // source's permissions for a normal user; as root it writes a writable copy anyway.)
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
