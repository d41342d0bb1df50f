#include "ChildProcess.h"

#include "core/QuilloError.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <exception>

#include <csignal>
#include <linux/capability.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace QuilloTest {
namespace {

// Root writes into a read-only folder through these capabilities: without them, the folder's
// owner (root) is held to the folder's permissions like anyone.
bool dropPermissionOverride()
{
    if (geteuid() != 0)
        return true;
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (syscall(SYS_capget, &header, data) != 0)
        return false;
    for (const int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
        data[capability / 32].effective &= ~(1u << (capability % 32));
    return syscall(SYS_capset, &header, data) == 0;
}

void prepareChild(const ChildLimits &limits)
{
    if (limits.fileSizeLimit >= 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{rlim_t(limits.fileSizeLimit), rlim_t(limits.fileSizeLimit)};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (limits.obeyPermissions)
        dropPermissionOverride();
}

void writeAll(int descriptor, const QByteArray &bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(descriptor, bytes.constData() + done, size_t(bytes.size() - done));
        if (n <= 0)
            return;
        done += n;
    }
}

// The end of a child, reaped: Finished or Crashed.
ChildResult endOf(int status)
{
    ChildResult result;
    if (WIFSIGNALED(status)) {
        result.end = ChildResult::End::Crashed;
        result.signal = WTERMSIG(status);
    } else {
        result.end = WEXITSTATUS(status) == 0 ? ChildResult::End::Finished : ChildResult::End::Crashed;
    }
    return result;
}

} // namespace

QString ChildResult::describe() const
{
    switch (end) {
    case End::Finished:
        return u"fini"_s;
    case End::Crashed:
        return u"planté (signal %1)"_s.arg(signal);
    case End::Hung:
        break;
    }
    return u"bloqué"_s;
}

ChildResult runInChild(const std::function<QString()> &work, const ChildLimits &limits)
{
    int channel[2];
    if (pipe(channel) != 0)
        return {ChildResult::End::Crashed, 0, u"pipe"_s};
    const pid_t pid = fork();
    if (pid == 0) {
        ::close(channel[0]);
        prepareChild(limits);
        QString text;
        try {
            text = work();
        } catch (const QuilloError &error) {
            text = u"QuilloError %1 : %2"_s.arg(error.number).arg(error.description);
        } catch (const std::exception &error) {
            text = u"exception : "_s + QString::fromLocal8Bit(error.what());
        }
        writeAll(channel[1], text.toUtf8());
        // Straight out: the test's own objects are the parent's to end.
        _exit(0);
    }
    ::close(channel[1]);
    QByteArray received;
    const QDeadlineTimer deadline(std::chrono::seconds(limits.watchdogSeconds));
    bool hung = true;
    while (!deadline.hasExpired()) {
        pollfd wanted{channel[0], POLLIN, 0};
        if (poll(&wanted, 1, int(std::min<qint64>(deadline.remainingTime(), 1000))) <= 0)
            continue;
        char buffer[65536];
        const ssize_t n = ::read(channel[0], buffer, sizeof buffer);
        if (n <= 0) {
            hung = false;
            break;
        }
        received.append(buffer, n);
    }
    ::close(channel[0]);
    if (hung)
        ::kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    if (hung)
        return {};
    ChildResult result = endOf(status);
    result.text = QString::fromUtf8(received);
    return result;
}

Child::Child(const std::function<void()> &work)
{
    pid = fork();
    if (pid == 0) {
        work();
        _exit(0);
    }
}

Child::~Child()
{
    kill();
}

bool Child::running()
{
    if (pid <= 0)
        return false;
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == 0)
        return true;
    pid = -1;
    return false;
}

void Child::kill()
{
    if (pid <= 0)
        return;
    ::kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    pid = -1;
}

bool Child::wait(int seconds)
{
    const QDeadlineTimer deadline(std::chrono::seconds{seconds});
    while (pid > 0 && !deadline.hasExpired()) {
        int status = 0;
        const pid_t ended = waitpid(pid, &status, WNOHANG);
        if (ended == pid) {
            pid = -1;
            return endOf(status).end == ChildResult::End::Finished;
        }
        QThread::msleep(10);
    }
    kill();
    return false;
}

bool readOnlyFoldersStopChildren()
{
    QTemporaryDir dir;
    setFolderWritable(dir.path(), false);
    ChildLimits limits;
    limits.obeyPermissions = true;
    const ChildResult result = runInChild(
        [&] {
            QFile file(dir.filePath(u"essai"_s));
            return file.open(QIODevice::WriteOnly) ? u"écrit"_s : QString();
        },
        limits);
    setFolderWritable(dir.path(), true);
    return result.end == ChildResult::End::Finished && result.text.isEmpty();
}

void setFolderWritable(const QString &folder, bool writable)
{
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                      QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther |
                                      (writable ? QFileDevice::WriteOwner : QFileDevice::Permissions()));
}

} // namespace QuilloTest
