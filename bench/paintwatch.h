#pragma once
// Quits the application right after the first paint of one top-level window:
// the end point of the start-up benchmarks.

#include <QCoreApplication>
#include <QDateTime>
#include <QEvent>
#include <QFile>
#include <QObject>
#include <QTimer>

namespace qh::bench {

class QuitAfterFirstPaint final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // Let this paint finish (and reach the screen) before leaving. exit(),
            // not quit(): quit() would first close the window, which the
            // program takes for the teacher closing it.
            QTimer::singleShot(0, QCoreApplication::instance(), [] {
                savePaintTime();
                saveMemoryMap();
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // With QH_BENCH_PAINT_TIME set, the wall-clock time (ms since the epoch)
    // at which the first paint was done is written there, so that a driver
    // can time start-up to the first drawn window apart from the exit.
    static void savePaintTime()
    {
        const QString target = qEnvironmentVariable("QH_BENCH_PAINT_TIME");
        QFile out(target);
        if (!target.isEmpty() && out.open(QIODevice::WriteOnly))
            out.write(QByteArray::number(QDateTime::currentMSecsSinceEpoch()));
    }

    // With QH_BENCH_SMAPS set, the memory map at the end of start-up is copied
    // there, so the driver can say what the resident memory is made of. Only
    // where /proc exists; elsewhere the open fails and nothing is written.
    static void saveMemoryMap()
    {
        const QString target = qEnvironmentVariable("QH_BENCH_SMAPS");
        if (target.isEmpty())
            return;
        QFile in(QStringLiteral("/proc/self/smaps"));
        QFile out(target);
        if (in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly))
            out.write(in.readAll());
    }

    bool m_seen = false;
};

} // namespace qh::bench
