// init, task and demo: setting up a database.
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "data/app_home.h"
#include "data/context.h"
#include "data/demo_records.h"
#include "data/regions.h"
#include "data/store.h"
#include "data/task_record.h"

namespace kestrova::cli {

int runInit(const QStringList &args)
{
    parseOptions(args, {});
    if (!makeApplicationDirectory())
        throw CliError(QStringLiteral("无法创建目录：%1").arg(context().appDir));
    bool created = false;
    try {
        openStore(StoreOpen::CreateIfMissing, &created);
    } catch (const DbError &e) {
        throw CliError(e.message());
    }
    printOut(created ? QStringLiteral("已创建数据库：%1").arg(databasePath())
                     : QStringLiteral("数据库已存在，未作改动：%1").arg(databasePath()));
    return 0;
}

int runTask(const QStringList &args)
{
    const Options o = parseOptions(args, {"--year", "--level", "--province", "--city", "--county"});
    TaskRecord t;
    t.year = o.value("--year");
    t.level = o.value("--level");
    t.province = o.value("--province");
    t.city = o.value("--city");
    t.county = o.value("--county");
    const PlacePickers pickers = placePickersFor(t.level);
    if (const auto problem = checkTask(t, pickers))
        throw CliError(problem->message);
    // A level keeps only the places its pickers allow, as the settings window does.
    if (!pickers.province)
        t.province.clear();
    if (!pickers.city)
        t.city.clear();
    if (!pickers.county)
        t.county.clear();

    auto db = openExistingStore();
    if (db->scalar(QStringLiteral("SELECT count(*) FROM 年度 WHERE 年度=?1"), {t.year}) == QLatin1String("0"))
        throw CliError(QStringLiteral("年度表中没有填报年份：%1").arg(t.year));
    if (db->scalar(QStringLiteral("SELECT count(*) FROM 汇总级别 WHERE 汇总级别=?1"), {t.level}) == QLatin1String("0"))
        throw CliError(QStringLiteral("汇总级别表中没有：%1").arg(t.level));
    if (!t.province.isEmpty() && provincePrefix(*db, t.province).isEmpty())
        throw CliError(QStringLiteral("找不到省：%1").arg(t.province));
    if (!t.city.isEmpty() && cityPrefix(*db, t.province, t.city).isEmpty())
        throw CliError(QStringLiteral("找不到地市：%1（%2）").arg(t.city, t.province));
    if (!t.county.isEmpty() && countyCode(*db, t.province, t.city, t.county).isEmpty())
        throw CliError(QStringLiteral("找不到县：%1（%2 %3）").arg(t.county, t.province, t.city));
    t.regionCode = taskRegionCode(*db, t.province, t.city, t.county);
    saveTask(*db, t);
    printOut(QStringLiteral("任务信息已保存：%1 %2 %3%4%5 行政区划码 %6")
                 .arg(t.year, t.level, t.province, t.city, t.county, t.regionCode));
    return 0;
}

int runDemo(const QStringList &args)
{
    const Options o = parseOptions(args, {"--seed"}, 1, 1);
    bool ok = false;
    const int n = o.positional.value(0).toInt(&ok);
    if (!ok || n < 0)
        throw UsageError(QStringLiteral("N 须为非负整数：%1").arg(o.positional.value(0)));
    const qulonglong seed = o.value("--seed", QStringLiteral("1")).toULongLong(&ok);
    if (!ok)
        throw CliError(QStringLiteral("--seed 须为非负整数"));
    auto db = openExistingStore();
    addDemoRecords(*db, n, seed);
    printOut(QStringLiteral("已添加 %1 条示例记录").arg(n));
    return 0;
}

} // namespace kestrova::cli
