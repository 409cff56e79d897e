// Times the enterprise list over many records: the query alone, the whole fill of a
// new list window, a search, and the first paint. Run by bench/records/run.sh.
#include "data/app_home.h"
#include "data/demo_records.h"
#include "data/store.h"
#include "records/list_query.h"
#include "records/ui/tfrm_list1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <ctime>

using namespace kestrova;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int records = argc > 1 ? std::atoi(argv[1]) : 65535;
    // A second argument keeps the database in that folder for a closer look.
    QTemporaryDir temp;
    const QString home = argc > 2 ? QString::fromLocal8Bit(argv[2]) : temp.path();
    setApplicationDirectory(home, QCoreApplication::applicationDirPath());
    {
        auto db = openStore(StoreOpen::CreateIfMissing);
        QElapsedTimer t;
        t.start();
        addDemoRecords(*db, records, 7);
        std::printf("demo records: %d made in %lld ms\n", records, t.elapsed());
    }
    auto ms = [](QElapsedTimer &t) { return double(t.nsecsElapsed()) / 1e6; };
    // Processor time as well: on a busy machine the wall clock mostly measures waiting.
    auto cpu = [](std::clock_t since) { return 1000.0 * double(std::clock() - since) / CLOCKS_PER_SEC; };

    for (int round = 1; round <= 3; ++round) {
        QElapsedTimer t;
        t.start();
        auto db = openStore(StoreOpen::MustExist);
        const auto rows = listRows(*db);
        const double query = ms(t);

        t.restart();
        const std::clock_t c0 = std::clock();
        ui::TFrmList1 list;
        const double window = ms(t);
        const double windowCpu = cpu(c0);

        t.restart();
        list.resize(1100, 700);
        const QPixmap shot = list.grab();
        const double paint = ms(t);

        ListFilter f;
        f.name = QStringLiteral("粮");
        f.capacityFrom = QStringLiteral("25000");
        t.restart();
        list.ini(listCondition(f).condition);
        const double search = ms(t);

        std::printf("round %d: query %zu rows %.1f ms; new list window (query + model) %.1f ms wall, %.1f ms cpu; first paint %.1f ms; "
                    "search %.1f ms\n",
                    round, rows.size(), query, window, windowCpu, paint, search);
    }
    return 0;
}
