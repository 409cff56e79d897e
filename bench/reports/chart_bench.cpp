// Times the charts of 表1-1-2 and 表2-3-2 at 国家级汇总 over demo records, once their
// grids are built: the chart's data from the grid, the chart pane with its Qt chart, and
// the chart's first painting at the size it has beside the grid at 1366×768. The grid's
// own build is timed in the same run as the reference. Goal: 100 ms per chart.
// Usage: chart_bench [records]
#include "data/app_home.h"
#include "data/context.h"
#include "data/demo_records.h"
#include "data/record_columns.h"
#include "data/store.h"
#include "reports/chart_model.h"
#include "reports/report_catalogue.h"
#include "reports/report_engine.h"
#include "reports/ui/report_chart_pane.h"

#include <QApplication>
#include <QChartView>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace kestrova;

namespace {
constexpr int kRounds = 15;

template <typename F> double medianMs(F step)
{
    std::vector<double> ms;
    for (int i = 0; i < kRounds; ++i) {
        QElapsedTimer t;
        t.start();
        step();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int n = argc > 1 ? std::atoi(argv[1]) : 65535;
    QTemporaryDir home;
    setApplicationDirectory(home.path(), QCoreApplication::applicationDirPath());
    {
        auto db = openStore(StoreOpen::CreateIfMissing);
        addDemoRecords(*db, n, 1);
        recordColumns(*db); // as the program does in the background at start-up
    }
    std::printf("%d demo records, 国家级汇总, median of %d rounds\n", n, kRounds);
    context().level = reports::kLevelNational;
    bool ok = true;
    for (const char *title : {"表1-1-2 全国粮油仓储企业数量汇总表（分地区）",
                              "表2-3-2 按仓型划分全国符合储粮要求仓房容量汇总表（分地区）"}) {
        context().reportTitle = QString::fromUtf8(title);
        const auto *def = reports::definitionForTitle(context().reportTitle);
        reports::ReportGrid grid;
        const double gridMs = medianMs([&] {
            auto db = openStore(StoreOpen::MustExist);
            reports::buildReport(*db, context(), *def, reports::windowClassState(def->className), grid);
        });
        const double modelMs = medianMs([&] {
            const auto choices = reports::chartChoices(*def, grid);
            const auto model = reports::buildChart(*def, grid, choices.front());
            if (model.categories.isEmpty())
                std::abort();
        });
        std::vector<double> panes, paints;
        for (int i = 0; i < kRounds; ++i) {
            QElapsedTimer t;
            t.start();
            ui::ReportChartPane pane(*def, grid);
            pane.resize(616, 690);
            pane.show(); // laid out, bars labelled
            QApplication::processEvents();
            panes.push_back(double(t.nsecsElapsed()) / 1e6);
            t.restart();
            QImage image(pane.view()->size(), QImage::Format_ARGB32_Premultiplied);
            QPainter painter(&image);
            pane.view()->render(&painter);
            paints.push_back(double(t.nsecsElapsed()) / 1e6);
        }
        std::sort(panes.begin(), panes.end());
        std::sort(paints.begin(), paints.end());
        const double paneMs = panes[panes.size() / 2];
        const double paintMs = paints[paints.size() / 2];
        const double chartMs = paneMs + paintMs;
        std::printf("%s\n  grid (reference) %.2f ms; chart data %.3f ms; chart pane %.2f ms; first paint %.2f ms;"
                    " chart in all %.2f ms = %.2f× the grid (goal 100 ms)\n",
                    title, gridMs, modelMs, paneMs, paintMs, chartMs, chartMs / gridMs);
        ok = ok && chartMs <= 100;
    }
    return ok ? 0 : 1;
}
