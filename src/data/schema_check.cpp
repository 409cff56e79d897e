#include "data/schema_check.h"

#include "data/database.h"
#include "data/schema.h"

#include <algorithm>

namespace kestrova {

namespace {

struct Column {
    QString name;
    QString type;
    QString notNull;
    QString defaultValue;
    QString key;
    QString hidden;
    bool sameDefinition(const Column &o) const
    {
        return notNull == o.notNull && defaultValue == o.defaultValue && key == o.key && hidden == o.hidden;
    }
};

struct Index {
    QString name;
    QString definition; // unique, partial and the columns, in one comparable text
};

struct Table {
    QString name;
    QString storage; // STRICT and WITHOUT ROWID
    QList<Column> columns;
    QList<Index> indexes;
};

struct Schema {
    QList<Table> tables;
    QStringList triggers;
    QStringList views;
    const Table *find(const QString &name) const
    {
        for (const Table &t : tables)
            if (t.name == name)
                return &t;
        return nullptr;
    }
};

QStringList texts(Statement &st)
{
    QStringList out;
    while (st.next())
        out << st.text(0);
    return out;
}

Schema readSchema(Database &db)
{
    Schema s;
    Statement tables = db.prepare(QStringLiteral(
        "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name"));
    for (const QString &name : texts(tables)) {
        Table t;
        t.name = name;
        Statement kind = db.prepare(QStringLiteral("SELECT strict || '/' || wr FROM pragma_table_list(?1) WHERE schema='main'"));
        kind.bindText(1, name);
        t.storage = kind.next() ? kind.text(0) : QString();
        Statement cols = db.prepare(QStringLiteral(
            "SELECT name, upper(type), \"notnull\", ifnull(dflt_value, '<null>'), pk, hidden FROM pragma_table_xinfo(?1) ORDER BY cid"));
        cols.bindText(1, name);
        while (cols.next())
            t.columns << Column{cols.text(0), cols.text(1), cols.text(2), cols.text(3), cols.text(4), cols.text(5)};
        Statement indexes = db.prepare(
            QStringLiteral("SELECT name, \"unique\" || '/' || partial FROM pragma_index_list(?1) ORDER BY name"));
        indexes.bindText(1, name);
        while (indexes.next()) {
            Index ix{indexes.text(0), indexes.text(1)};
            Statement keys = db.prepare(
                QStringLiteral("SELECT ifnull(name, '<expr>') FROM pragma_index_info(?1) ORDER BY seqno"));
            keys.bindText(1, ix.name);
            ix.definition += QLatin1Char('/') + texts(keys).join(QLatin1Char(','));
            t.indexes << ix;
        }
        s.tables << t;
    }
    Statement others = db.prepare(
        QStringLiteral("SELECT type, name FROM sqlite_master WHERE type IN ('trigger', 'view') ORDER BY name"));
    while (others.next())
        (others.text(0) == QLatin1String("view") ? s.views : s.triggers) << others.text(1);
    return s;
}

Schema ownSchema()
{
    Database reference(QStringLiteral(":memory:"), Database::Mode::CreateIfMissing);
    createTables(reference);
    return readSchema(reference);
}

QStringList names(const QList<Column> &columns)
{
    QStringList out;
    for (const Column &c : columns)
        out << c.name;
    return out;
}

void compareColumns(const Table &own, const Table &other, QStringList &out)
{
    const QStringList want = names(own.columns), have = names(other.columns);
    if (want != have) {
        const qsizetype before = out.size();
        for (const QString &c : want)
            if (!have.contains(c))
                out << QStringLiteral("表 %1 缺少列 %2").arg(own.name, c);
        for (const QString &c : have)
            if (!want.contains(c))
                out << QStringLiteral("表 %1 多出列 %2").arg(own.name, c);
        if (out.size() == before) {
            for (qsizetype i = 0; i < want.size(); ++i)
                if (want[i] != have[i]) {
                    out << QStringLiteral("表 %1 第 %2 列应为 %3，却是 %4").arg(own.name).arg(i + 1).arg(want[i], have[i]);
                    break;
                }
        }
        return;
    }
    for (qsizetype i = 0; i < want.size(); ++i) {
        const Column &a = own.columns[i], &b = other.columns[i];
        if (a.type != b.type)
            out << QStringLiteral("表 %1 的列 %2 类型为 %3，应为 %4").arg(own.name, a.name, b.type, a.type);
        else if (!a.sameDefinition(b))
            out << QStringLiteral("表 %1 的列 %2 的定义与本系统不同").arg(own.name, a.name);
    }
    if (own.storage != other.storage)
        out << QStringLiteral("表 %1 的存储方式与本系统不同").arg(own.name);
}

void compareIndexes(const Table &own, const Table &other, QStringList &out)
{
    for (const Index &a : own.indexes) {
        const auto b = std::find_if(other.indexes.begin(), other.indexes.end(),
                                    [&](const Index &x) { return x.name == a.name; });
        if (b == other.indexes.end())
            out << QStringLiteral("表 %1 缺少索引 %2").arg(own.name, a.name);
        else if (b->definition != a.definition)
            out << QStringLiteral("索引 %1 与本系统不同").arg(a.name);
    }
    for (const Index &b : other.indexes)
        if (std::none_of(own.indexes.begin(), own.indexes.end(), [&](const Index &x) { return x.name == b.name; }))
            out << QStringLiteral("表 %1 多出索引 %2").arg(own.name, b.name);
}

} // namespace

QStringList schemaDifferences(Database &db)
{
    const Schema own = ownSchema();
    const Schema other = readSchema(db);
    QStringList out;
    for (const Table &t : own.tables) {
        const Table *o = other.find(t.name);
        if (!o) {
            if (!laterTables().contains(t.name))
                out << QStringLiteral("缺少表 %1").arg(t.name);
            continue;
        }
        compareColumns(t, *o, out);
        compareIndexes(t, *o, out);
    }
    for (const Table &t : other.tables)
        if (!own.find(t.name))
            out << QStringLiteral("多出表 %1").arg(t.name);
    for (const QString &t : other.triggers)
        out << QStringLiteral("含有触发器 %1").arg(t);
    for (const QString &v : other.views)
        out << QStringLiteral("含有视图 %1").arg(v);
    return out;
}

void completeSchema(Database &db)
{
    QStringList missing;
    for (const QString &t : laterTables())
        if (!db.hasTable(t))
            missing << t;
    if (missing.isEmpty())
        return;
    Database reference(QStringLiteral(":memory:"), Database::Mode::CreateIfMissing);
    createTables(reference);
    Transaction tx(db);
    for (const QString &t : missing) {
        // The table first, then its indexes, each in the words createTables used.
        Statement st = reference.prepare(QStringLiteral(
            "SELECT sql FROM sqlite_master WHERE tbl_name=?1 AND sql IS NOT NULL ORDER BY type='index', rowid"));
        st.bindText(1, t);
        for (const QString &sql : texts(st))
            db.exec(sql);
    }
    tx.commit();
}

} // namespace kestrova
