#pragma once

#include <QApplication>
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

class QComboBox;
class QListWidget;

// What every test of the program shares: a headless French application, a program folder of
// its own, and the check that a GUI test leaves no window behind.
namespace QuilloTest {

// Run before QApplication: offscreen platform unless told otherwise, test-mode standard paths.
void prepareEnvironment();
// Run after QApplication: French locale and translations.
void prepareApplication(QApplication &app);

// A fresh, empty program folder that the program uses until this object goes.
class TempProgramFolder
{
public:
    // withInstallation: seeded with the installation content of data/ (template, lists, phrases).
    explicit TempProgramFolder(bool withInstallation = false);
    ~TempProgramFolder();
    TempProgramFolder(const TempProgramFolder &) = delete;
    TempProgramFolder &operator=(const TempProgramFolder &) = delete;

    QString path() const { return dir.path(); }
    QString filePath(const QString &relative) const { return dir.filePath(relative); }

private:
    QTemporaryDir dir;
};

// The installation content of the repository (data/).
QString installationFolder();

QByteArray readBytes(const QString &path);
void writeBytes(const QString &path, const QByteArray &bytes); // creates the folders on the way
// A file whose name is given byte for byte ("Caf\xE9.ini", not UTF-8, as an old Windows disk
// holds it), which no QString path can create; false when this file system refuses the name.
bool writeRawNamed(const QString &folder, const QByteArray &rawName, const QByteArray &bytes);
void removeRawNamed(const QString &folder, const QByteArray &rawName);

// The items of a box or a list, in their order.
QStringList itemsOf(const QComboBox *box);
QStringList itemsOf(const QListWidget *list);

// Every file under a folder, hidden ones included, as sorted paths relative to it.
QStringList filesUnder(const QString &root);

// What a program writes on its standard output, run to its end (a minute at most).
QString run(const QString &program, const QStringList &arguments);

// LibreOffice's program, empty where it is not installed (the test then skips itself).
QString soffice();
// LibreOffice's conversion of an RTF document (filter as --convert-to takes it, the extension of
// the file it writes); empty when it could not run.
QByteArray convertWithOffice(const QByteArray &rtf, const QString &filter, const QString &extension);

// Unloads every registered window; returns the names of the top-level widgets still alive
// afterwards (a leak or a window created outside the registry). Menus and tooltips are ignored.
QStringList closeAllWindows();

} // namespace QuilloTest

// Instead of QTEST_MAIN: the same, on a French offscreen application.
#define QUILLO_TEST_MAIN(TestObject)                                                                                   \
    int main(int argc, char *argv[])                                                                                   \
    {                                                                                                                  \
        QuilloTest::prepareEnvironment();                                                                              \
        QApplication app(argc, argv);                                                                                  \
        QuilloTest::prepareApplication(app);                                                                           \
        TestObject testObject;                                                                                         \
        return QTest::qExec(&testObject, argc, argv);                                                                  \
    }
