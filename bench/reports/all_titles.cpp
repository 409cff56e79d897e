// Times every report title of the catalogue (all 94 menu entries) at 国家级汇总 over the
// database of an existing home, each build opening its own connection as a report
// window does. Per title the median of RUNS builds counts.
// Usage: report_all_titles_bench HOME [RUNS]    (--list HOME: print the titles only)
#include "data/app_home.h"
#include "data/context.h"
#include "data/record_columns.h"
#include "data/store.h"
#include "reports/report_catalogue.h"
#include "reports/report_engine.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <cstring>
#include <vector>

using namespace kestrova;

namespace {
// The CPU time of this thread, which a busy machine does not inflate as it does the
// elapsed time.
double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bool listOnly = argc > 1 && std::strcmp(argv[1], "--list") == 0;
    const int first = listOnly ? 2 : 1;
    if (argc <= first) {
        std::fprintf(stderr, "usage: %s [--list] HOME [RUNS]\n", argv[0]);
        return 2;
    }
    setApplicationDirectory(QString::fromLocal8Bit(argv[first]), QCoreApplication::applicationDirPath());
    const int runs = argc > first + 1 ? std::max(1, std::atoi(argv[first + 1])) : 3;

    QStringList titles;
    for (const auto &def : reports::reportCatalogue())
        for (const auto &t : def.titles)
            titles << t.title;
    if (listOnly) {
        for (const QString &t : titles)
            std::printf("%s\n", t.toUtf8().constData());
        return 0;
    }

    {
        // The program reads the records into memory in the background at start-up and
        // after an import; a report window opened before that finishes waits for it.
        dropRecordColumns();
        QElapsedTimer t;
        t.start();
        auto db = openStore(StoreOpen::MustExist);
        const auto records = recordColumns(*db);
        std::printf("%d records read into memory in %.0f ms (once per change, before the titles)\n",
                    records->rowCount(), double(t.nsecsElapsed()) / 1e6);
    }

    context().level = reports::kLevelNational;
    struct Timing {
        QString title;
        double ms;
        double cpu;
    };
    std::vector<Timing> timings;
    double total = 0, totalCpu = 0;
    for (const QString &title : titles) {
        const auto *def = reports::definitionForTitle(title);
        context().reportTitle = title;
        std::vector<double> samples, cpuSamples;
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer t;
            const double cpu0 = cpuMs();
            t.start();
            auto db = openStore(StoreOpen::MustExist);
            reports::ReportGrid grid;
            reports::buildReport(*db, context(), *def, reports::windowClassState(def->className), grid);
            samples.push_back(double(t.nsecsElapsed()) / 1e6);
            cpuSamples.push_back(cpuMs() - cpu0);
        }
        std::sort(samples.begin(), samples.end());
        std::sort(cpuSamples.begin(), cpuSamples.end());
        const double median = samples[samples.size() / 2];
        const double medianCpu = cpuSamples[cpuSamples.size() / 2];
        timings.push_back({title, median, medianCpu});
        total += median;
        totalCpu += medianCpu;
    }
    std::sort(timings.begin(), timings.end(), [](const Timing &a, const Timing &b) { return a.ms > b.ms; });
    std::printf("国家级汇总: %lld titles in %.0f ms elapsed, %.0f ms CPU (goal 2000), median of %d runs each\n",
                static_cast<long long>(timings.size()), total, totalCpu, runs);
    std::printf("slowest (elapsed, CPU):\n");
    for (size_t i = 0; i < std::min<size_t>(5, timings.size()); ++i)
        std::printf("  %6.1f ms  %6.1f ms  %s\n", timings[i].ms, timings[i].cpu, timings[i].title.toUtf8().constData());
    const bool ok = total <= 2000 && timings.front().ms <= 50;
    std::printf("%s (each <= 50 ms, all <= 2000 ms)\n", ok ? "goals met" : "goals missed");
    return ok ? 0 : 1;
}
