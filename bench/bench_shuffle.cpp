// The two shuffles for a class of 82, with the real clock (each reseeds from
// the time of day before every step, which is what a click pays for), against
// std::shuffle of 82 ints with std::mt19937:
//   bench_shuffle [BATCHES]
// Prints one JSON object per shuffle, times per shuffle in microseconds
// (medians over batches, all kinds interleaved), with the same shuffle on a
// fixed clock beside it to show what reading the time of day costs.

#include "benchstats.h"

#include "core/seatchart.h"
#include "core/drawstate.h"
#include "core/clock.h"
#include "core/random.h"

#include <QElapsedTimer>
#include <QtGlobal>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <random>
#include <vector>

namespace {

constexpr int kStudents = 82;
constexpr int kPerBatch = 200;

template <class F> double usPerCall(F &&f)
{
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < kPerBatch; ++i)
        f();
    return double(t.nsecsElapsed()) / 1e3 / kPerBatch;
}

template <class Seq> bool isPermutation(const Seq &seq)
{
    std::vector<int> seen(kStudents, 0);
    for (int k = 0; k < kStudents; ++k) {
        const int v = int(seq[std::size_t(k)]);
        if (v < 0 || v >= kStudents || seen[std::size_t(v)]++)
            return false;
    }
    return true;
}

void print(const char *figure, const std::vector<double> &ours, const std::vector<double> &base,
           const std::vector<double> &fixedClock)
{
    std::printf("{\"figure\": \"%s\", \"ours_us\": %.4f, \"base_us\": %.4f, \"n\": %zu, \"ours_max_us\": %.4f, "
                "\"fixed_clock_us\": %.4f}\n",
                figure, qh::bench::median(ours), qh::bench::median(base), ours.size(), qh::bench::maxOf(ours),
                qh::bench::median(fixedClock));
}

const char *compilerName()
{
#if defined(__clang__)
    return "clang " __clang_version__;
#elif defined(__GNUC__)
    return "g++ " __VERSION__;
#elif defined(_MSC_VER)
    return "MSVC " QT_STRINGIFY(_MSC_FULL_VER);
#else
    return "unknown";
#endif
}

} // namespace

int main(int argc, char *argv[])
{
    const int batches = argc > 1 ? std::max(1, std::atoi(argv[1])) : 41;

    qh::SystemClock clock;
    qh::RandomSource random(20200101);

    // A class of 82 loaded the way the windows load it; the start and the
    // selection of 不重复 leave poolLast at 81 for every shuffle after.
    const auto loadClass = [](qh::RosterLists &r) {
        for (int k = 0; k < kStudents; ++k)
            r.allNames[std::size_t(k)] = QStringLiteral("学生%1").arg(k + 1);
        r.allLast = kStudents - 1;
        return true;
    };
    qh::SeatChart chart(clock, random);
    chart.start(loadClass);
    qh::DrawState draw(clock, random);
    draw.load(loadClass);
    draw.select(qh::DrawOption::All);

    std::mt19937 engine(20200101);
    std::vector<int> ints(kStudents);
    std::iota(ints.begin(), ints.end(), 0);

    // The same shuffles on a clock that is only a number: what the clock reads cost.
    qh::FixedClock fixedClock(36000.0);
    qh::SeatChart fixedChart(fixedClock, random);
    fixedChart.start(loadClass);
    qh::DrawState fixedDraw(fixedClock, random);
    fixedDraw.load(loadClass);
    fixedDraw.select(qh::DrawOption::All);

    std::vector<double> seats, order, base, seatsFixed, orderFixed;
    for (int b = 0; b < batches; ++b) {
        seats.push_back(usPerCall([&] { chart.shuffleSeats(); }));
        base.push_back(usPerCall([&] { std::shuffle(ints.begin(), ints.end(), engine); }));
        order.push_back(usPerCall([&] { draw.shuffleDrawOrder(); }));
        seatsFixed.push_back(usPerCall([&] { fixedChart.shuffleSeats(); }));
        orderFixed.push_back(usPerCall([&] { fixedDraw.shuffleDrawOrder(); }));
    }
    if (!isPermutation(chart.seatOrder()) || !isPermutation(draw.drawOrder()) || !isPermutation(ints) ||
        !isPermutation(fixedChart.seatOrder()) || !isPermutation(fixedDraw.drawOrder())) {
        std::fprintf(stderr, "bench_shuffle: a shuffle lost a student\n");
        return 1;
    }
    std::printf("{\"qt\": \"%s\", \"compiler\": \"%s\"}\n", qVersion(), compilerName());
    print("ShuffleSeats", seats, base, seatsFixed);
    print("ShuffleDrawOrder", order, base, orderFixed);
    return 0;
}
