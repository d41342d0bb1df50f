#pragma once

#include <QString>

#include <functional>

#include <sys/types.h>

// Work run in a child process of the test (a fork: it starts with the test's whole state, its
// windows and its scripted dialogs), so that a crash, a hang, a full disk, a read-only folder or
// a kill falls on the child and the test looks at what is left on the disk.
namespace QuilloTest {

struct ChildLimits
{
    // The largest file the child may write, in bytes (RLIMIT_FSIZE); negative for no limit. A
    // write past it fails with EFBIG, as on a full disk (SIGXFSZ, which would kill, is ignored).
    qint64 fileSizeLimit = -1;
    // A child of a test run as root drops the rights by which root writes into any folder, so
    // that a read-only folder stops it as it stops a user.
    bool obeyPermissions = false;
    // A child still running then is hung: it is killed.
    int watchdogSeconds = 180;
};

struct ChildResult
{
    enum class End { Finished, Crashed, Hung };
    End end = End::Hung;
    int signal = 0; // what ended a crashed child
    QString text;   // what the work returned (a finished child)

    // "fini", "planté (signal 11)", "bloqué": for failure messages.
    QString describe() const;
};

// Runs work in a child and returns what it returned. An exception thrown by the work is text too.
ChildResult runInChild(const std::function<QString()> &work, const ChildLimits &limits = {});

// A child left to run while the test watches it, then killed.
class Child
{
public:
    explicit Child(const std::function<void()> &work);
    ~Child(); // kills a child still running
    Child(const Child &) = delete;
    Child &operator=(const Child &) = delete;

    bool running();
    // SIGKILL, wherever the child stands; then reaped.
    void kill();

private:
    pid_t pid = -1;
};

// Whether a child with obeyPermissions is stopped by a read-only folder. False where the account
// writes into any folder whatever (root without the means to give that up): the read-only cases
// skip themselves then.
bool readOnlyFoldersStopChildren();

// Makes a folder read-only (or writable again).
void setFolderWritable(const QString &folder, bool writable);

} // namespace QuilloTest
