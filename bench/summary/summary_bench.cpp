// The annual summary over many demo records: opening the window (levels 0 to 2 of the
// tree with their counts) and 统计 for several selections, as the window does them.
// Usage: summary_bench [records]   (goals: opening 150 ms, 统计 50 ms)
#include "data/app_home.h"
#include "data/demo_records.h"
#include "data/store.h"
#include "reports/summary/summary_figures.h"
#include "reports/summary/summary_tree.h"
#include "reports/summary/ui/tfrm_gather_list.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace kestrova;

namespace {
double medianMs(int runs, const std::function<void()> &step)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        step();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

QTreeWidgetItem *child(QTreeWidgetItem *item, const QString &prefix)
{
    for (int i = 0; i < item->childCount(); ++i)
        if (item->child(i)->text(0).startsWith(prefix + QLatin1Char('(')))
            return item->child(i);
    return nullptr;
}
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int records = argc > 1 ? std::atoi(argv[1]) : 65535;
    QTemporaryDir home;
    setApplicationDirectory(home.path(), QCoreApplication::applicationDirPath());
    {
        auto db = openStore(StoreOpen::CreateIfMissing);
        addDemoRecords(*db, records, 20140305);
    }
    std::printf("records: %d\n", records);

    {
        auto db = openStore(StoreOpen::MustExist);
        std::printf("tree counts alone: %.1f ms; national sums alone: %.1f ms\n",
                    medianMs(7, [&] { openingTree(*db); }),
                    medianMs(7, [&] { summaryFigures(*db, SummaryCondition{}); }));
    }
    const double open = medianMs(7, [] { ui::TFrmGatherList w; });
    std::printf("open window (tree levels 0-2 with counts): %.1f ms (goal 150)\n", open);

    ui::TFrmGatherList w;
    QTreeWidgetItem *root = w.tree()->topLevelItem(0);
    QTreeWidgetItem *local = child(root, QStringLiteral("地方企业"));
    QTreeWidgetItem *province = child(local, QStringLiteral("河南省"));
    const double grow = medianMs(1, [&] { w.TreeView1Click(province); });
    std::printf("first click on a province (cities with counts): %.1f ms\n", grow);

    const struct {
        const char *name;
        QTreeWidgetItem *item;
    } selections[] = {{"国家", root}, {"地方企业", local}, {"河南省", province},
                      {"中粮集团有限责任公司", child(child(root, QStringLiteral("中央单位")), QStringLiteral("中粮集团有限责任公司"))}};
    double worst = 0;
    for (const auto &s : selections) {
        w.TreeView1Click(s.item);
        const double ms = medianMs(7, [&] { w.BitBtn1Click(); });
        worst = std::max(worst, ms);
        std::printf("统计 %s: %.1f ms\n", s.name, ms);
    }
    std::printf("统计 worst: %.1f ms (goal 50)\n", worst);
    return open <= 150 && worst <= 50 ? 0 : 1;
}
