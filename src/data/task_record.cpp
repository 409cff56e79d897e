#include "data/task_record.h"

#include "data/context.h"
#include "data/database.h"

namespace kestrova {

namespace {
QString withoutSpaces(const QString &s)
{
    QString out = s;
    out.remove(QLatin1Char(' '));
    return out;
}
} // namespace

PlacePickers placePickersFor(const QString &level)
{
    if (level == QStringLiteral("省级汇总"))
        return {true, false, false};
    if (level == QStringLiteral("地级汇总"))
        return {true, true, false};
    if (level == QStringLiteral("县级汇总"))
        return {true, true, true};
    return {};
}

std::optional<TaskProblem> checkTask(const TaskRecord &task, const PlacePickers &enabled)
{
    if (withoutSpaces(task.year).isEmpty())
        return TaskProblem{QStringLiteral("填报年份不能为空！"), TaskField::Year};
    if (withoutSpaces(task.level).isEmpty())
        return TaskProblem{QStringLiteral("汇总级别不能为空！"), TaskField::Level};
    if (enabled.province && withoutSpaces(task.province).isEmpty())
        return TaskProblem{QStringLiteral(" 请选择省！"), TaskField::Province};
    if (enabled.city && withoutSpaces(task.city).isEmpty())
        return TaskProblem{QStringLiteral("请选择地市！"), TaskField::City};
    if (enabled.county && withoutSpaces(task.county).isEmpty())
        return TaskProblem{QStringLiteral("请选择县！"), TaskField::County};
    return std::nullopt;
}

std::optional<TaskRecord> loadTask(Database &db)
{
    Statement st = db.prepare(QStringLiteral("SELECT * FROM 任务信息 ORDER BY rowid LIMIT 1"));
    if (!st.next())
        return std::nullopt;
    TaskRecord t;
    t.year = st.text(QStringLiteral("年份"));
    t.level = st.text(QStringLiteral("汇总级别"));
    t.province = st.text(QStringLiteral("省"));
    t.city = st.text(QStringLiteral("地市"));
    t.county = st.text(QStringLiteral("县"));
    t.regionCode = st.text(QStringLiteral("行政区划码"));
    t.reportingUnit = st.text(QStringLiteral("填报单位"));
    return t;
}

void saveTask(Database &db, const TaskRecord &task)
{
    Transaction tx(db);
    db.exec(QStringLiteral("DELETE FROM 任务信息"));
    db.exec(QStringLiteral("INSERT INTO 任务信息(年份, 省, 地市, 县, 汇总级别, 行政区划码) VALUES (?1, ?2, ?3, ?4, ?5, ?6)"),
            {task.year, task.province, task.city, task.county, task.level, task.regionCode});
    tx.commit();
}

void loadTaskIntoContext(Database &db)
{
    auto &ctx = context();
    const auto task = loadTask(db);
    ctx.hasTask = task.has_value();
    ctx.level = task ? task->level : QString();
    ctx.province = task ? task->province : QString();
    ctx.city = task ? task->city : QString();
    ctx.county = task ? task->county : QString();
}

} // namespace kestrova
