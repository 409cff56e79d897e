// Times the report engine over demo records: every title of parts one and two at the
// national and the provincial level, each build opening its own connection as a
// report window does. Usage: report_bench [records]
#include "data/app_home.h"
#include "data/context.h"
#include "data/demo_records.h"
#include "data/record_columns.h"
#include "data/store.h"
#include "reports/report_catalogue.h"
#include "reports/report_engine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>

using namespace kestrova;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? std::atoi(argv[1]) : 65535;
    QTemporaryDir home;
    setApplicationDirectory(home.path(), QCoreApplication::applicationDirPath());
    {
        auto db = openStore(StoreOpen::CreateIfMissing);
        QElapsedTimer t;
        t.start();
        addDemoRecords(*db, n, 1);
        std::printf("%d demo records added in %.1f s\n", n, double(t.elapsed()) / 1000);
    }
    QStringList titles;
    for (const auto &def : reports::reportCatalogue())
        if (def.className.startsWith(QLatin1String("TFrmb1_")) || def.className.startsWith(QLatin1String("TFrmb2_")))
            for (const auto &t : def.titles)
                titles << t.title;

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

    bool ok = true;
    for (const QString &level : {reports::kLevelNational, reports::kLevelProvince}) {
        context().level = level;
        context().province = level == reports::kLevelNational ? QString() : QStringLiteral("河北省");
        double total = 0, slowest = 0, cpuTotal = 0, cpuSlowest = 0;
        QString slowestTitle;
        for (const QString &title : titles) {
            const auto *def = reports::definitionForTitle(title);
            context().reportTitle = title;
            QElapsedTimer t;
            t.start();
            const std::clock_t cpu = std::clock();
            auto db = openStore(StoreOpen::MustExist);
            reports::ReportGrid grid;
            reports::buildReport(*db, context(), *def, reports::windowClassState(def->className), grid);
            const double ms = double(t.nsecsElapsed()) / 1e6;
            const double cpuMs = double(std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC;
            cpuTotal += cpuMs;
            cpuSlowest = std::max(cpuSlowest, cpuMs);
            total += ms;
            if (ms > slowest) {
                slowest = ms;
                slowestTitle = title;
            }
        }
        std::printf("%s: %lld titles in %.0f ms (goal 1000); slowest %.1f ms (goal 50): %s\n",
                    level.toUtf8().constData(), static_cast<long long>(titles.size()), total, slowest,
                    slowestTitle.toUtf8().constData());
        // On a shared machine the processor time tells what the engine costs.
        std::printf("%s: processor time %.0f ms for all, %.1f ms for the slowest\n", level.toUtf8().constData(),
                    cpuTotal, cpuSlowest);
        ok = ok && total <= 1000 && slowest <= 50;
    }
    std::printf("%s\n", ok ? "goals met" : "goals missed");
    return 0;
}
