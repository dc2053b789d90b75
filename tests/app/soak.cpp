// Soak: 10,000 random events through the whole program (window switches,
// group and mode choices, card clicks, draws, 随机排列), checking the seat
// chart's and the draw state's invariants after every event, and that the
// heap after the run is no larger than after the first 100 events.
// Not in the default ctest run (label "soak"); CI runs it under AddressSanitizer.

#include "testmain.h"
#include "programdriver.h"
#include "testhelpers.h"

#include <QDir>
#include <QFile>
#include <QPixmapCache>
#include <QRadioButton>
#include <QTemporaryDir>

#include <algorithm>
#include <vector>

#include <cstdlib>

// Where the heap in use can be read: AddressSanitizer's allocator (its runtime
// has the function; GCC ships no header for it), else glibc's mallinfo2.
#if defined(__SANITIZE_ADDRESS__)
#define QH_HEAP_FROM_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QH_HEAP_FROM_ASAN 1
#endif
#endif
#if defined(QH_HEAP_FROM_ASAN)
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#elif defined(__GLIBC__)
#include <malloc.h>
#define QH_HEAP_FROM_MALLINFO 1
#endif

using namespace qh;
using test::ProgramDriver;

namespace {

// Bytes of heap in use right now, where the platform tells; 0 elsewhere.
// The pixmap cache is emptied first: the style keeps faces of controls that
// are gone in it until its own limit, which bounds it.
std::size_t heapInUse()
{
    QPixmapCache::clear();
#if defined(QH_HEAP_FROM_ASAN)
    return __sanitizer_get_current_allocated_bytes();
#elif defined(QH_HEAP_FROM_MALLINFO)
    return mallinfo2().uordblks;
#else
    return 0;
#endif
}

bool isPermutation(const std::vector<int> &v)
{
    return qh::test::holdsPermutation(v, static_cast<int>(v.size()));
}

} // namespace

class Soak : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_failure;

    bool fail(const QString &why)
    {
        m_failure = why;
        return false;
    }

    bool seatChartHolds(const Form2 &form)
    {
        const SeatChart &chart = form.chart();
        const SeatView &view = chart.view();
        if (!view.selected)
            return fail(QStringLiteral("no group selected"));
        const int n = chart.lastOf(*view.selected);
        std::vector<int> order;
        for (int s = 0; s <= n; ++s)
            order.push_back(chart.seatOrder()[size_t(s)]);
        if (!isPermutation(order))
            return fail(QStringLiteral("seatOrder is no permutation"));
        int red = 0;
        for (int s = 0; s < 82; ++s) {
            if (s > n && chart.seatOrder()[size_t(s)] != s)
                return fail(QStringLiteral("seat %1 above the group moved").arg(s));
            auto *card = form.controls().at("Command1", s);
            auto *label = static_cast<QLabel *>(form.controls().at("Label1", s));
            if (s > n && (card->isVisible() || !label->text().isEmpty()))
                return fail(QStringLiteral("seat %1 above the group is in use").arg(s));
            if (s <= n) {
                if (static_cast<QAbstractButton *>(card)->text() != QString::number(s + 1))
                    return fail(QStringLiteral("card %1 misnumbered").arg(s));
                if (label->text() != chart.namesOf(*view.selected)[size_t(chart.seatOrder()[size_t(s)])])
                    return fail(QStringLiteral("label %1 shows the wrong name").arg(s));
                if (card->isVisible() == label->isVisible())
                    return fail(QStringLiteral("seat %1 is neither face down nor turned over").arg(s));
                if (label->isVisible() && label->palette().color(QPalette::WindowText) == QColor(255, 0, 0))
                    ++red;
            }
        }
        if (red > 1)
            return fail(QStringLiteral("%1 names in red").arg(red));
        return true;
    }

    bool drawStateHolds(const Form1 &form)
    {
        const DrawState &st = form.state();
        const std::optional<DrawOption> selected = st.view().selected;
        if (!selected)
            return fail(QStringLiteral("no draw mode selected"));
        if (st.lastPick() && (*st.lastPick() < 0 || *st.lastPick() > st.lists().allLast))
            return fail(QStringLiteral("lastPick out of range"));
        if (*selected != DrawOption::Repeating) {
            const int last = st.groupLast(*selected);
            if (st.drawPos() < 0 || st.drawPos() > last + 1)
                return fail(QStringLiteral("drawPos %1 outside the pass").arg(st.drawPos()));
            std::vector<int> order(st.drawOrder().begin(), st.drawOrder().begin() + std::max(0, st.poolLast() + 1));
            if (st.poolLast() != last || !isPermutation(order))
                return fail(QStringLiteral("drawOrder is no permutation of the group"));
        }
        return true;
    }

private slots:
    void randomEvents()
    {
        QFile::copy(test::sourcePath(QStringLiteral("examples/名单.txt")),
                    m_dir.filePath(QStringLiteral("名单.txt")));
        QDir::setCurrent(m_dir.path());

        ProgramDriver d(11);
        RandomSource events(20261207);
        QVERIFY(d.start());
        d.startWith(QStringLiteral("名单.txt"));

        const int total = qEnvironmentVariableIntValue("QH_SOAK_EVENTS") > 0
                              ? qEnvironmentVariableIntValue("QH_SOAK_EVENTS") : 10000;
        std::size_t heapAfter100 = 0, heapHalfway = 0;
        int widgetsAfter100 = 0;
        for (int e = 1; e <= total; ++e) {
            if (QWidget *w = ProgramDriver::window("Form2")) {
                Q_UNUSED(w);
                const int pick = events.nextIndex(0, 99);
                if (pick < 60) { // a card, visible or not: hidden cards must ignore it
                    ProgramDriver::click(ProgramDriver::control("Form2", QStringLiteral("Command1(%1)").arg(events.nextIndex(0, 50))));
                } else if (pick < 80) {
                    ProgramDriver::click(ProgramDriver::control("Form2", QStringLiteral("Option%1").arg(events.nextIndex(1, 3))));
                } else if (pick < 95) {
                    ProgramDriver::click(ProgramDriver::control("Form2", QStringLiteral("Command4")));
                } else {
                    ProgramDriver::click(ProgramDriver::control("Form2", QStringLiteral("Command2")));
                }
            } else if (ProgramDriver::window("Form1")) {
                const int pick = events.nextIndex(0, 99);
                if (pick < 75)
                    ProgramDriver::click(ProgramDriver::control("Form1", QStringLiteral("Command1")));
                else if (pick < 95)
                    ProgramDriver::click(ProgramDriver::control("Form1", QStringLiteral("Option%1").arg(events.nextIndex(1, 4))));
                else
                    ProgramDriver::click(ProgramDriver::control("Form1", QStringLiteral("Command2")));
            }
            QCOMPARE(ProgramDriver::visibleWindows(), 1);
            QCOMPARE(d.platform.endCount, 0);
            if (d.program.form2.isOpen())
                QVERIFY2(seatChartHolds(d.program.form2), qPrintable(QStringLiteral("event %1: %2").arg(e).arg(m_failure)));
            else
                QVERIFY2(drawStateHolds(d.program.form1), qPrintable(QStringLiteral("event %1: %2").arg(e).arg(m_failure)));
            if (qEnvironmentVariableIsSet("QH_SOAK_TRACE") && e % 500 == 0)
                qInfo("event %d: heap %zu, form2 open %d", e, heapInUse(), int(d.program.form2.isOpen()));
            // The baseline: the first time after 100 events that the seat chart
            // is open, so both measurements see the same window.
            if (e >= 100 && widgetsAfter100 == 0 && d.program.form2.isOpen()) {
                heapAfter100 = heapInUse();
                widgetsAfter100 = int(QApplication::allWidgets().size());
            }
            if (e >= total / 2 && heapHalfway == 0 && d.program.form2.isOpen())
                heapHalfway = heapInUse();
        }
        if (d.program.form1.isOpen())
            ProgramDriver::click(ProgramDriver::control("Form1", QStringLiteral("Command2")));
        QVERIFY(d.program.form2.isOpen());
        // The same widgets; no more heap than after 100 events but for the glyph
        // caches that fill as names are first drawn at each size; and over the
        // second half of the run, when those are warm, no growth at all.
        const int widgetsNow = int(QApplication::allWidgets().size());
        QVERIFY2(widgetsNow == widgetsAfter100,
                 qPrintable(QStringLiteral("%1 widgets after 100 events, %2 now").arg(widgetsAfter100).arg(widgetsNow)));
        const std::size_t heapNow = heapInUse();
#if defined(QH_HEAP_FROM_ASAN) || defined(QH_HEAP_FROM_MALLINFO)
        QVERIFY2(heapAfter100 > 0 && heapHalfway > 0, "the heap could not be measured");
#endif
        qInfo("heap in use: %zu bytes after 100 events, %zu halfway, %zu after %d", heapAfter100, heapHalfway,
              heapNow, total);
        QVERIFY2(heapNow <= heapAfter100 + 256 * 1024,
                 qPrintable(QStringLiteral("heap grew from %1 to %2").arg(heapAfter100).arg(heapNow)));
        QVERIFY2(heapNow <= heapHalfway + 16 * 1024,
                 qPrintable(QStringLiteral("heap grew from %1 halfway to %2").arg(heapHalfway).arg(heapNow)));
    }
};

QH_TEST_MAIN(Soak)
#include "soak.moc"
