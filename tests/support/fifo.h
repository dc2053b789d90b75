#pragma once
// A named pipe where a roster file is expected, with a watchdog: should the
// code under test block opening it, a writer opens the other end after a
// while so the test ends (and fails) instead of hanging.

#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#ifdef Q_OS_UNIX
#  include <fcntl.h>
#  include <sys/stat.h>
#  include <unistd.h>
#endif

namespace qh::test {

class Fifo {
public:
    // Makes the pipe at `path`; ok() tells whether this system could.
    explicit Fifo(const QString &path, std::chrono::milliseconds patience = std::chrono::seconds(3))
        : m_path(path.toLocal8Bit())
    {
#ifdef Q_OS_UNIX
        m_ok = ::mkfifo(m_path.constData(), 0644) == 0;
        if (m_ok)
            m_watchdog = std::thread([this, patience] { watch(patience); });
#else
        Q_UNUSED(patience);
#endif
    }
    ~Fifo()
    {
        {
            std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_wake.notify_all();
        if (m_watchdog.joinable())
            m_watchdog.join();
    }
    Fifo(const Fifo &) = delete;
    Fifo &operator=(const Fifo &) = delete;

    bool ok() const { return m_ok; }
    // True if something was still stuck opening the pipe when patience ran out.
    bool hadToUnblock() const { return m_unblocked; }

private:
    void watch(std::chrono::milliseconds patience)
    {
        std::unique_lock lock(m_mutex);
        if (m_wake.wait_for(lock, patience, [this] { return m_done; }))
            return;
#ifdef Q_OS_UNIX
        // Without a reader this open fails at once; with one blocked in open, it frees it.
        const int fd = ::open(m_path.constData(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) {
            m_unblocked = true;
            ::close(fd);
        }
#endif
    }

    QByteArray m_path;
    bool m_ok = false;
    std::atomic<bool> m_unblocked{false};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_done = false;
    std::thread m_watchdog;
};

} // namespace qh::test
