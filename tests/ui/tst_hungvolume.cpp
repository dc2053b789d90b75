// The drive list asks no mounted volume while the start window is built. A
// dead network share answers statvfs only when it times out (or never); here
// every statvfs the process makes stands in for one, taking two seconds.

#include "ui/filecontrols.h"

#include <QElapsedTimer>
#include <QTest>

#include <atomic>
#include <chrono>
#include <thread>

#ifdef Q_OS_LINUX
#  include <dlfcn.h>
#  include <sys/statvfs.h>

namespace {
std::atomic<int> g_statCalls{0};
std::atomic<bool> g_hung{false};

// Counts the call, then hangs like a dead share before asking the real one.
template <typename Buf> int slowStat(const char *name, const char *path, Buf *buf)
{
    ++g_statCalls;
    if (g_hung)
        std::this_thread::sleep_for(std::chrono::seconds(2));
    using Real = int (*)(const char *, Buf *);
    static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, name));
    return real ? real(path, buf) : -1;
}
} // namespace

extern "C" int statvfs(const char *path, struct statvfs *buf)
{
    return slowStat("statvfs", path, buf);
}
extern "C" int statvfs64(const char *path, struct statvfs64 *buf)
{
    return slowStat("statvfs64", path, buf);
}
#endif

class TestHungVolume : public QObject {
    Q_OBJECT
private slots:
    void startWindowsDriveListAsksNoVolume()
    {
#ifndef Q_OS_LINUX
        QSKIP("statvfs stands in for a dead share on Linux only");
#else
        g_statCalls = 0;
        g_hung = true;
        QElapsedTimer timer;
        timer.start();
        qh::DriveList list;
        g_hung = false;
        QCOMPARE(g_statCalls.load(), 0);
        QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(list.count() >= 1);
        QCOMPARE(list.itemData(0).toString(), QStringLiteral("/"));
#endif
    }
};

QTEST_MAIN(TestHungVolume)
#include "tst_hungvolume.moc"
