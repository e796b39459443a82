#pragma once
// Files that fight back: a FIFO, a file nobody may read, a full device, a
// disk that fills, a file that vanishes after it was chosen. Each helper
// undoes what it did when it goes out of scope, so a failing test leaves no
// limit set and no privilege dropped.

#include "support/fake_window.h"
#include "support/temp_workspace.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <stop_token>
#include <string>
#include <thread>

#include <fcntl.h>
#include <pthread.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace hattsheet::testing {

// The user that owns nothing; file modes bind it even when the tests run as root.
constexpr uid_t kNobody = 65534;

inline bool makeFifo(const QString& path) { return ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0; }

// Writes bytes (at most PIPE_BUF, so in one piece) into a FIFO as soon as a
// reader has it open. A plain open for writing would wait for that reader
// for ever; this one gives up after `patience` or when `stop` is requested.
// False when nothing was written.
inline bool writeWhenFifoOpened(const QString& path, const QByteArray& bytes, std::chrono::milliseconds patience,
                                std::stop_token stop = {})
{
    // A reader that is gone again raises SIGPIPE, here in this thread only.
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            const bool whole = ::write(fd, bytes.constData(), std::size_t(bytes.size())) == bytes.size();
            ::close(fd);
            return whole;
        }
        // ENXIO: no reader yet.
        if (errno != ENXIO || stop.stop_requested() || std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// While alive, this process's file accesses are checked as the user nobody's
// (only the effective ids change, so they come back). Needed to make a mode
// of 000 mean anything when the tests run as root.
class AsNobody {
public:
    AsNobody()
    {
        if (::geteuid() != 0) return;
        m_dropped = ::setegid(kNobody) == 0 && ::seteuid(kNobody) == 0;
    }
    ~AsNobody()
    {
        if (m_dropped) {
            [[maybe_unused]] const int a = ::seteuid(0);
            [[maybe_unused]] const int b = ::setegid(0);
        }
    }
    // True when file modes now bind this process.
    bool modesBind() const { return m_dropped || ::geteuid() != 0; }

private:
    bool m_dropped = false;
};

// A full device in the test's own folder: a node of the kernel's full
// device (char 1,7) made there, so that code under test that wrongly
// replaces what it writes to replaces only that node, never the system's
// /dev/full. A user who may not make nodes gets a link to /dev/full, which
// that user cannot replace either. Empty when neither can be had.
inline QString fullDeviceIn(const QString& folder)
{
    const QString path = folder + "/full";
    const QByteArray name = QFile::encodeName(path);
    if (::mknod(name.constData(), S_IFCHR | 0666, makedev(1, 7)) == 0 && ::chmod(name.constData(), 0666) == 0)
        return path;
    return ::geteuid() != 0 && QFile::link("/dev/full", path) ? path : QString();
}

// While alive, no file of this process may grow beyond `bytes`: a write past
// it fails with EFBIG (SIGXFSZ is ignored meanwhile). A full disk for
// whoever is not root.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = ::signal(SIGXFSZ, SIG_IGN);
        rlimit r = m_old;
        r.rlim_cur = bytes;
        m_set = ::setrlimit(RLIMIT_FSIZE, &r) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        ::signal(SIGXFSZ, m_oldHandler);
    }
    bool active() const { return m_set; }

private:
    rlimit m_old{};
    sighandler_t m_oldHandler = SIG_DFL;
    bool m_set = false;
};

// File dialogs whose open answer is deleted the moment it has been given:
// the file vanishes between choosing it and reading it.
class VanishingDialogs : public FakeDialogs {
public:
    std::optional<std::string> chooseOpenFile(const std::string& title,
                                              const std::vector<operations::FileFilter>& filters) override
    {
        auto chosen = FakeDialogs::chooseOpenFile(title, filters);
        if (chosen) ::unlink(chosen->c_str());
        return chosen;
    }
};

} // namespace hattsheet::testing
