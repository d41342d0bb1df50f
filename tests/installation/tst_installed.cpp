// Installs the build the way a package does (`cmake --install` into a temporary DESTDIR, prefix
// /usr) and checks what a desktop and a user meet: each file where the desktops look for it,
// menu entries that start the installed programs, and, started offscreen with a home of their
// own, programs that keep their data in the user's folder, seeded with the installation content,
// without ever taking back what the user saved there.

#include "TestSupport.h"
#include "app/ApplicationIcon.h"
#include "core/ContactCard.h"
#include "core/Product.h"
#include "core/ProgramFolder.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

using QuilloTest::filesUnder;

namespace {

const QString kAppId = u"fr.quillane.Quillo"_s;
// Generous: a guard against a program that hangs, never a measure of speed.
constexpr int kStartUpLimitMs = 60000;

// The keys of a desktop entry's main group.
QHash<QString, QString> desktopEntryKeys(const QString &path)
{
    QHash<QString, QString> keys;
    bool inMainGroup = false;
    for (const QString &line : QString::fromUtf8(QuilloTest::readBytes(path)).split(u'\n')) {
        if (line.startsWith(u'['))
            inMainGroup = line == u"[Desktop Entry]"_s;
        else if (inMainGroup && line.contains(u'='))
            keys.insert(line.section(u'=', 0, 0).trimmed(), line.section(u'=', 1).trimmed());
    }
    return keys;
}

enum class Activity { Busy, WaitingForEvents, Unknown };

// Whether the process sleeps waiting for events, its start-up over. Where the kernel does not tell,
// the files the start-up made are the only sign.
Activity activityOf(qint64 pid)
{
    QFile wchan(u"/proc/%1/wchan"_s.arg(pid));
    if (!wchan.open(QIODevice::ReadOnly))
        return Activity::Unknown;
    const QByteArray where = wchan.readAll();
    if (where.isEmpty() || where == "0")
        return Activity::Unknown;
    return where.contains("poll") ? Activity::WaitingForEvents : Activity::Busy;
}

bool allExist(const QDir &folder, const QStringList &paths)
{
    for (const QString &path : paths) {
        if (!folder.exists(path))
            return false;
    }
    return true;
}

} // namespace

class TestInstalled : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void layout_putsEachPartWhereDesktopsLook();
    void themeIcons_haveTheirSizeAndMatchTheWindowIcon();
    void entriesAndMetadata_nameInstalledFiles();
    void firstStart_seedsTheUsersFolder_data();
    void firstStart_seedsTheUsersFolder();
    void savedCard_survivesTheNextStart();
    void cleanup();

private:
    QString prefixPath(const QString &relative) const { return QDir(prefix).filePath(relative); }
    QString userFolderIn(const QTemporaryDir &home) const
    {
        return home.filePath(u".local/share/"_s + Product::name());
    }
    // Starts an installed program offscreen with the given home and waits until its start-up has
    // made each of the paths (relative to the user's folder) and it waits for the user; then
    // stops it. Fails the test when the program ends on its own or never gets there.
    void runUntilStartedUp(const QString &program, const QTemporaryDir &home, const QStringList &made);

    QTemporaryDir destdir;
    QString prefix; // <DESTDIR>/usr
};

void TestInstalled::initTestCase()
{
    QVERIFY(destdir.isValid());
    QProcess install;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"DESTDIR"_s, destdir.path());
    install.setProcessEnvironment(env);
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral(QUILLO_CMAKE_COMMAND),
                  {u"--install"_s, QStringLiteral(QUILLO_BUILD_DIR), u"--prefix"_s, u"/usr"_s});
    QVERIFY(install.waitForFinished(kStartUpLimitMs));
    QVERIFY2(install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0, install.readAll().constData());
    prefix = destdir.filePath(u"usr"_s);
}

void TestInstalled::cleanup()
{
    ProgramFolder::setOverride(QString());
}

void TestInstalled::layout_putsEachPartWhereDesktopsLook()
{
    for (const QString &program : {u"bin/Quillo"_s, u"bin/Conversion"_s}) {
        const QFileInfo info(prefixPath(program));
        QVERIFY2(info.isFile() && info.isExecutable(), qPrintable(program));
    }
    // Nothing but the two programs in bin: no build tool, no data beside the executables.
    QCOMPARE(filesUnder(prefixPath(u"bin"_s)), (QStringList{u"Conversion"_s, u"Quillo"_s}));

    // The installation content is the repository's data/, byte for byte.
    const QString content = prefixPath(u"share/quillo"_s);
    const QStringList shipped = filesUnder(QuilloTest::installationFolder());
    QVERIFY(!shipped.isEmpty());
    for (const QString &file : shipped)
        QVERIFY2(QuilloTest::readBytes(QDir(content).filePath(file)) ==
                     QuilloTest::readBytes(QDir(QuilloTest::installationFolder()).filePath(file)),
                 qPrintable(file));
    // The French standard buttons whatever Qt the host has.
    QVERIFY(QFileInfo(QDir(content).filePath(u"translations/qtbase_fr.qm"_s)).size() > 0);
    // The programs find that content from their own folder, as the configured relative path says.
    QCOMPARE(ProgramFolder::installedContentFolder(prefixPath(u"bin"_s)), QDir::cleanPath(content));
    // The menu entries and the metadata are read by the next tests.
    QVERIFY(QFileInfo(prefixPath(u"share/icons/hicolor/scalable/apps/fr.quillane.Quillo.svg"_s)).isFile());
}

void TestInstalled::themeIcons_haveTheirSizeAndMatchTheWindowIcon()
{
    const QDir theme(prefixPath(u"share/icons/hicolor"_s));
    QList<int> installedSizes;
    for (const QString &folder : theme.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (folder == u"scalable"_s)
            continue;
        const QImage image(theme.filePath(folder + u"/apps/"_s + kAppId + u".png"_s));
        QVERIFY2(!image.isNull(), qPrintable(folder));
        // A desktop takes the folder's name for the size: a mismatch shows a blurred icon.
        QCOMPARE(u"%1x%2"_s.arg(image.width()).arg(image.height()), folder);
        installedSizes.append(image.width());
    }
    std::sort(installedSizes.begin(), installedSizes.end());
    // From the menus' smallest to the software centres' largest.
    QVERIFY(installedSizes.contains(16) && installedSizes.contains(256));

    // The windows carry the same drawing in the same sizes.
    const QIcon icon = applicationIcon();
    QList<int> bundledSizes;
    for (const QSize &size : icon.availableSizes())
        bundledSizes.append(size.width());
    std::sort(bundledSizes.begin(), bundledSizes.end());
    QCOMPARE(bundledSizes, installedSizes);
    for (const int size : bundledSizes) {
        const auto format = QImage::Format_ARGB32_Premultiplied; // the icon's own
        const QImage bundled = icon.pixmap(QSize(size, size)).toImage().convertToFormat(format);
        const QImage installed =
            QImage(theme.filePath(u"%1x%1/apps/"_s.arg(size) + kAppId + u".png"_s)).convertToFormat(format);
        QVERIFY2(bundled == installed, qPrintable(QString::number(size)));
    }
}

void TestInstalled::entriesAndMetadata_nameInstalledFiles()
{
    for (const QString &program : {u"Quillo"_s, u"Conversion"_s}) {
        const QHash<QString, QString> keys =
            desktopEntryKeys(prefixPath(u"share/applications/fr.quillane.%1.desktop"_s.arg(program)));
        QCOMPARE(keys.value(u"Exec"_s), program);
        QCOMPARE(keys.value(u"Icon"_s), kAppId);
        // Qt names a program's windows (the instance of WM_CLASS) after its executable: the
        // desktop finds the entry of a running window by this key.
        QCOMPARE(keys.value(u"StartupWMClass"_s), program);
    }

    QFile file(prefixPath(u"share/metainfo/"_s + kAppId + u".metainfo.xml"_s));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QStringList named; // the installed files the metadata points at
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"launchable"_s)
            named.append(u"share/applications/"_s + xml.readElementText());
        else if (xml.name() == u"binary"_s)
            named.append(u"bin/"_s + xml.readElementText());
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(named.size(), 3);
    for (const QString &path : named)
        QVERIFY2(QFileInfo(prefixPath(path)).isFile(), qPrintable(path));
}

void TestInstalled::runUntilStartedUp(const QString &program, const QTemporaryDir &home, const QStringList &made)
{
    QTemporaryDir runtime; // private to the user, as the session's runtime folder is
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Nothing of the session that runs the tests: no display, no bus, no data folders of its own.
    for (const QString &name : env.keys()) {
        if (name.startsWith(u"XDG_"_s) || name == u"DISPLAY"_s || name == u"WAYLAND_DISPLAY"_s ||
            name == u"DBUS_SESSION_BUS_ADDRESS"_s)
            env.remove(name);
    }
    env.insert(u"HOME"_s, home.path());
    env.insert(u"XDG_RUNTIME_DIR"_s, runtime.path());
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    QProcess process;
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(prefixPath(u"bin/"_s + program), QStringList{});
    QVERIFY2(process.waitForStarted(kStartUpLimitMs), qPrintable(process.errorString()));

    // Started up: the files are made and the program waits for the user. A program that keeps
    // waiting for the user without having made them never will.
    const QDir userFolder(userFolderIn(home));
    QDeadlineTimer limit(kStartUpLimitMs);
    bool startedUp = false;
    int idleWithoutFiles = 0;
    while (!startedUp && process.state() == QProcess::Running && !limit.hasExpired() && idleWithoutFiles < 40) {
        const Activity activity = activityOf(process.processId());
        const bool filesMade = allExist(userFolder, made);
        startedUp = filesMade && activity != Activity::Busy;
        idleWithoutFiles = !filesMade && activity == Activity::WaitingForEvents ? idleWithoutFiles + 1 : 0;
        if (!startedUp)
            QTest::qWait(25);
    }
    const bool running = process.state() == QProcess::Running;
    process.terminate();
    if (!process.waitForFinished(kStartUpLimitMs))
        process.kill();
    process.waitForFinished();
    QVERIFY2(running, (u"ended on its own: "_s + QString::fromLocal8Bit(process.readAll())).toLocal8Bit().constData());
    QVERIFY2(startedUp, qPrintable(u"never made "_s + made.join(u", "_s) + u" in "_s + userFolder.path()));
}

void TestInstalled::firstStart_seedsTheUsersFolder_data()
{
    QTest::addColumn<QString>("program");
    QTest::newRow("Quillo") << u"Quillo"_s;
    QTest::newRow("Conversion") << u"Conversion"_s;
}

void TestInstalled::firstStart_seedsTheUsersFolder()
{
    QFETCH(QString, program);
    QTemporaryDir home;
    const QStringList before = filesUnder(prefix);
    // The last folder each program's start-up makes.
    runUntilStartedUp(program, home, {u"Fichiers/Contenus"_s});
    if (QTest::currentTestFailed())
        return;

    // The user's folder holds the installation content, as installed, and nothing else: the
    // translations stay with the program.
    const QString content = prefixPath(u"share/quillo"_s);
    QStringList expected = filesUnder(content);
    expected.removeIf([](const QString &file) { return file.startsWith(u"translations/"_s); });
    const QString userFolder = userFolderIn(home);
    QCOMPARE(filesUnder(userFolder), expected);
    for (const QString &file : expected)
        QVERIFY2(QuilloTest::readBytes(QDir(userFolder).filePath(file)) ==
                     QuilloTest::readBytes(QDir(content).filePath(file)),
                 qPrintable(file));
    for (const QString &folder : {u"Modèles"_s, u"Fichiers/Expéditeurs"_s, u"Fichiers/Destinataires"_s})
        QVERIFY2(QFileInfo(QDir(userFolder).filePath(folder)).isDir(), qPrintable(folder));
    // The installation itself is left as it was, although this one could be written.
    QCOMPARE(filesUnder(prefix), before);
}

void TestInstalled::savedCard_survivesTheNextStart()
{
    QTemporaryDir home;
    runUntilStartedUp(u"Quillo"_s, home, {u"Fichiers/Contenus"_s});
    if (QTest::currentTestFailed())
        return;
    const QDir userFolder(userFolderIn(home));

    // What a user does between two starts: saves a card, adds a town, loses a phrase file.
    ProgramFolder::setOverride(userFolder.path());
    const QStringList card = {u"Durand Paul"_s,   u"12 rue des Lilas"_s, u"Bâtiment B"_s,
                              u"29000 Quimper"_s, u"France"_s,           u"02 98 00 00 00"_s,
                              QString(),          u"Monsieur"_s,         u"Directeur"_s};
    const QString cardFile = ContactCard::filePath(ContactCard::Kind::Sender, card.first());
    QString error;
    QVERIFY2(ContactCard::write(cardFile, ContactCard::Kind::Sender, card, &error), qPrintable(error));
    const QString towns = userFolder.filePath(u"Fichiers/Références/Communes.ini"_s);
    const QByteArray changedTowns = QuilloTest::readBytes(towns) + "Plougastel-Daoulas\r\n";
    QuilloTest::writeBytes(towns, changedTowns);
    QVERIFY(QFile::remove(userFolder.filePath(u"Assistant/Conclusion2.ini"_s)));
    // Made again by the next start-up: the sign that it has run.
    QVERIFY(QDir(userFolder.filePath(u"Fichiers/Contenus"_s)).removeRecursively());

    runUntilStartedUp(u"Quillo"_s, home, {u"Fichiers/Contenus"_s});
    if (QTest::currentTestFailed())
        return;
    QStringList read;
    QVERIFY(ContactCard::read(cardFile, ContactCard::Kind::Sender, &read));
    QCOMPARE(read, card);
    QCOMPARE(QuilloTest::readBytes(towns), changedTowns);
    // What went missing comes back from the installation, as installed.
    QCOMPARE(QuilloTest::readBytes(userFolder.filePath(u"Assistant/Conclusion2.ini"_s)),
             QuilloTest::readBytes(prefixPath(u"share/quillo/Assistant/Conclusion2.ini"_s)));
}

#include "tst_installed.moc"

QUILLO_TEST_MAIN(TestInstalled)
