#include "ChildProcess.h"

#include "core/QuilloError.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <exception>
#include <linux/capability.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace QuilloTest {
namespace {

// Root writes into a read-only folder through these capabilities; without them the folder's
// permissions hold for root (its owner) as for anyone.
void dropPermissionOverride()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (geteuid() != 0 || syscall(SYS_capget, &header, data) != 0)
        return;
    for (const int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
        data[capability / 32].effective &= ~(1u << (capability % 32));
    syscall(SYS_capset, &header, data);
}

bool endedNormally(int status)
{
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
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
        if (limits.fileSizeLimit >= 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{rlim_t(limits.fileSizeLimit), rlim_t(limits.fileSizeLimit)};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (limits.obeyPermissions)
            dropPermissionOverride();
        QString text;
        try {
            text = work();
        } catch (const QuilloError &error) {
            text = u"QuilloError %1 : %2"_s.arg(error.number).arg(error.description);
        } catch (const std::exception &error) {
            text = u"exception : "_s + QString::fromLocal8Bit(error.what());
        }
        const QByteArray bytes = text.toUtf8();
        for (qsizetype done = 0, n = 0; done < bytes.size(); done += n) {
            if ((n = ::write(channel[1], bytes.constData() + done, size_t(bytes.size() - done))) <= 0)
                break;
        }
        // Straight out: the test's objects are the parent's to end.
        _exit(0);
    }
    ::close(channel[1]);
    ChildResult result;
    QByteArray received;
    const QDeadlineTimer deadline(std::chrono::seconds(limits.watchdogSeconds));
    for (pollfd wanted{channel[0], POLLIN, 0}; !deadline.hasExpired();) {
        if (poll(&wanted, 1, 1000) <= 0)
            continue;
        char buffer[65536];
        const ssize_t n = ::read(channel[0], buffer, sizeof buffer);
        if (n <= 0) {
            result.end = ChildResult::End::Finished;
            break;
        }
        received.append(buffer, n);
    }
    ::close(channel[0]);
    if (result.end == ChildResult::End::Hung)
        ::kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    if (result.end == ChildResult::End::Finished && !endedNormally(status)) {
        result.end = ChildResult::End::Crashed;
        result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    }
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
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, WNOHANG) != 0)
        pid = -1;
    return pid > 0;
}

void Child::kill()
{
    if (pid <= 0)
        return;
    ::kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    pid = -1;
}

bool readOnlyFoldersStopChildren()
{
    QTemporaryDir dir;
    setFolderWritable(dir.path(), false);
    ChildLimits limits;
    limits.obeyPermissions = true;
    const ChildResult result = runInChild(
        [&] { return QFile(dir.filePath(u"essai"_s)).open(QIODevice::WriteOnly) ? u"écrit"_s : QString(); }, limits);
    setFolderWritable(dir.path(), true);
    return result.end == ChildResult::End::Finished && result.text.isEmpty();
}

void setFolderWritable(const QString &folder, bool writable)
{
    const auto readable = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                          QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;
    QFile::setPermissions(folder, writable ? readable | QFileDevice::WriteOwner : readable);
}

} // namespace QuilloTest
