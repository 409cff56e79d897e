#include "data/schema.h"

#include "data/database.h"
#include "data/indicators.h"
#include "data/reference_data.h"

namespace kestrova {

namespace {
QString quoted(const QString &name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

QString textColumns(const QStringList &names)
{
    QStringList parts;
    for (const auto &n : names)
        parts << quoted(n) + QStringLiteral(" TEXT NOT NULL DEFAULT ''");
    return parts.join(QStringLiteral(", "));
}

QStringList textColumnsOf(std::initializer_list<const char *> names)
{
    QStringList out;
    for (const char *n : names)
        out << QString::fromUtf8(n);
    return out;
}
} // namespace

const QStringList &identityColumns()
{
    static const QStringList cols = textColumnsOf({"企业名称", "企业地址", "行政区划代码", "省", "地市", "县", "邮政编码",
                                                   "联系电话", "组织机构代码", "企业性质", "法人代表", "隶属关系",
                                                   "央企名称", "新疆兵团", "经营范围", "年度"});
    return cols;
}

const QStringList &closingColumns()
{
    static const QStringList cols = textColumnsOf({"备注", "单位负责人", "填表人", "填报日期"});
    return cols;
}

const QStringList &recordColumns()
{
    static const QStringList cols = [] {
        QStringList c{QStringLiteral("ID")};
        c << identityColumns();
        for (const auto &ind : kIndicators)
            c << QString::fromUtf8(ind.column.data(), qsizetype(ind.column.size()));
        c << closingColumns() << QStringLiteral("修改时间") << QStringLiteral("校验状态");
        return c;
    }();
    return cols;
}

const QStringList &changeLogColumns()
{
    static const QStringList cols = textColumnsOf(
        {"组织机构代码", "企业名称", "省", "地市", "县", "行政区划代码", "修改项目", "原值", "新值", "修改时间", "附注"});
    return cols;
}

const QStringList &taskColumns()
{
    static const QStringList cols =
        textColumnsOf({"年份", "省", "地市", "县", "行政区划码", "汇总级别", "隶属关系", "所属公司", "分公司", "企业代码",
                       "填报单位", "地址", "邮政编码", "填表人", "联系电话", "审核人", "归属"});
    return cols;
}

const QStringList &requiredTables()
{
    static const QStringList t = textColumnsOf(
        {"TZ_XIANGMU", "修改日志", "任务信息", "userinfo", "province", "city", "county", "分公司", "年度", "汇总级别", "查询指标"});
    return t;
}

const QList<RecordIndex> &recordIndexes()
{
    static const QList<RecordIndex> indexes{
        {QStringLiteral("ix_企业名称"), QStringLiteral("企业名称")},
        {QStringLiteral("ix_组织机构代码"), QStringLiteral("组织机构代码")},
        {QStringLiteral("ix_修改时间"), QStringLiteral("修改时间")},
        {QStringLiteral("ix_行政区划代码"), QStringLiteral("行政区划代码")},
    };
    return indexes;
}

QString createIndexSql(const RecordIndex &index)
{
    return QStringLiteral("CREATE INDEX IF NOT EXISTS \"%1\" ON \"TZ_XIANGMU\"(\"%2\")").arg(index.name, index.column);
}

const QStringList &laterTables()
{
    static const QStringList t{tables::submissions};
    return t;
}

void createTables(Database &db)
{
    // Indicators are REAL in a STRICT table, so a value that is not a number (an "abc"
    // in an imported workbook) is refused by the database instead of stored as text.
    QStringList recordDefs{QStringLiteral("\"ID\" INTEGER PRIMARY KEY AUTOINCREMENT")};
    for (const auto &c : identityColumns())
        recordDefs << quoted(c) + QStringLiteral(" TEXT NOT NULL DEFAULT ''");
    for (const auto &ind : kIndicators)
        recordDefs << quoted(QString::fromUtf8(ind.column.data(), qsizetype(ind.column.size()))) + QStringLiteral(" REAL");
    for (const auto &c : closingColumns())
        recordDefs << quoted(c) + QStringLiteral(" TEXT NOT NULL DEFAULT ''");
    recordDefs << QStringLiteral("\"修改时间\" TEXT NOT NULL DEFAULT ''")
               << QStringLiteral("\"校验状态\" TEXT NOT NULL DEFAULT ''");
    db.exec(QStringLiteral("CREATE TABLE \"TZ_XIANGMU\" (") + recordDefs.join(QStringLiteral(", ")) +
            QStringLiteral(") STRICT"));
    for (const RecordIndex &index : recordIndexes())
        db.exec(createIndexSql(index));
    db.exec(QStringLiteral("CREATE TABLE \"修改日志\" (") + textColumns(changeLogColumns()) + QStringLiteral(")"));
    db.exec(QStringLiteral("CREATE TABLE \"任务信息\" (") + textColumns(taskColumns()) + QStringLiteral(")"));
    db.exec(QStringLiteral("CREATE TABLE userinfo (f2 TEXT NOT NULL DEFAULT '', passwd TEXT NOT NULL DEFAULT '')"));
    db.exec(QStringLiteral("CREATE TABLE province (") + textColumns(textColumnsOf({"代码", "名称"})) + QStringLiteral(")"));
    db.exec(QStringLiteral("CREATE TABLE city (") + textColumns(textColumnsOf({"代码", "名称", "省"})) + QStringLiteral(")"));
    db.exec(QStringLiteral("CREATE TABLE county (") + textColumns(textColumnsOf({"代码", "名称", "省", "市"})) +
            QStringLiteral(")"));
    db.exec(QStringLiteral("CREATE TABLE \"分公司\" (") + textColumns(textColumnsOf({"公司", "分公司"})) + QStringLiteral(")"));
    db.exec(QStringLiteral("CREATE TABLE \"年度\" (") + textColumns(textColumnsOf({"年度"})) + QStringLiteral(")"));
    db.exec(QStringLiteral("CREATE TABLE \"汇总级别\" (") + textColumns(textColumnsOf({"汇总级别", "序号"})) +
            QStringLiteral(")"));
    db.exec(QStringLiteral("CREATE TABLE \"查询指标\" (") + textColumns(textColumnsOf({"指标", "类型"})) + QStringLiteral(")"));
    {
        using namespace submission;
        db.exec(QStringLiteral("CREATE TABLE \"%1\" (\"ID\" INTEGER PRIMARY KEY AUTOINCREMENT, \"%2\" TEXT NOT NULL DEFAULT '', "
                               "\"%3\" TEXT NOT NULL DEFAULT '', \"%4\" TEXT NOT NULL DEFAULT '', "
                               "\"%5\" TEXT NOT NULL DEFAULT '', \"%6\" INTEGER NOT NULL DEFAULT 0, "
                               "\"%7\" INTEGER NOT NULL DEFAULT 0, \"%8\" INTEGER NOT NULL DEFAULT 0, "
                               "\"%9\" TEXT NOT NULL DEFAULT '') STRICT")
                    .arg(tables::submissions, file, hash, time, offices, rows, replaced, added, user));
    }
    db.exec(QStringLiteral("CREATE INDEX ix_city_code ON city(\"代码\");"
                           "CREATE INDEX ix_county_code ON county(\"代码\");"));
}

void createSchema(Database &db, int currentYear)
{
    Transaction tx(db);
    createTables(db);
    fillReferenceData(db, currentYear);
    tx.commit();
}

void verifySchema(Database &db)
{
    for (const auto &t : requiredTables())
        if (!db.hasTable(t))
            throw DbError(QStringLiteral("数据库文件不是本系统的数据库：缺少表 %1。请换用本系统的数据库，或恢复一份备份。").arg(t),
                          db.path(), DbError::Kind::NotOurs);
    if (db.columns(tables::records).size() != recordColumns().size())
        throw DbError(QStringLiteral("数据库文件不是本系统的数据库：表 TZ_XIANGMU 的列与本系统不符。请换用本系统的数据库，或恢复一份备份。"),
                      db.path(), DbError::Kind::NotOurs);
}

} // namespace kestrova
