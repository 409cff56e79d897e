#include "records/record_store.h"

#include "data/database.h"
#include "data/datetime_text.h"
#include "data/number_format.h"
#include "data/schema.h"

namespace kestrova {

namespace {

QString quotedColumn(const QString &name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

std::optional<LoadedRecord> readFirst(Statement &st)
{
    if (!st.next())
        return std::nullopt;
    LoadedRecord r;
    for (int i = 0; i < st.columnCount(); ++i) {
        r.columns << st.columnName(i);
        r.values << st.text(i);
    }
    r.id = st.value(0).toLongLong();
    return r;
}

// Column → value to store, for every column the form writes (all but ID, 修改时间, 校验状态).
QVariantList storedValues(const WriteRequest &req)
{
    const RecordFields &f = req.fields;
    QVariantList out;
    for (const QString &c : identityColumns())
        out << (c == QStringLiteral("行政区划代码") ? req.regionCode : f.value(c));
    for (int k = 1; k <= kIndicatorCount; ++k) {
        const auto n = parseNumberOrZero(f.indicatorText(k));
        if (!n)
            throw DbError(QStringLiteral("“%1”不是数字").arg(f.indicatorText(k)));
        out << *n;
    }
    for (const QString &c : closingColumns())
        out << (c == QStringLiteral("填报日期") ? storedDate(f.filingDate) : f.value(c));
    out << storedDateTime(req.now) << req.validationState;
    return out;
}

QStringList writtenColumns()
{
    return recordColumns().mid(1);
}

} // namespace

QString LoadedRecord::value(const QString &column) const
{
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].compare(column, Qt::CaseInsensitive) == 0)
            return values.value(i);
    return {};
}

std::optional<LoadedRecord> loadRecordById(Database &db, qint64 id)
{
    Statement st = db.prepare(QStringLiteral("SELECT * FROM TZ_XIANGMU WHERE ID=?1"));
    st.bind(1, id);
    return readFirst(st);
}

std::optional<LoadedRecord> loadRecordByName(Database &db, const QString &name)
{
    Statement st = db.prepare(QStringLiteral("SELECT * FROM TZ_XIANGMU WHERE 企业名称=?1 ORDER BY ID LIMIT 1"));
    st.bindText(1, name);
    return readFirst(st);
}

RecordFields fieldsFromRecord(const LoadedRecord &record)
{
    RecordFields f;
    f.idText = record.value(QStringLiteral("ID"));
    for (const QString &c : identityColumns())
        f.text[c] = record.value(c);
    for (const QString &c : closingColumns())
        if (c != QStringLiteral("填报日期"))
            f.text[c] = record.value(c);
    for (int k = 1; k <= kIndicatorCount; ++k)
        f.indicatorText(k) = record.value(indicatorColumn(k));
    f.filingDate = parseStoredDateTime(record.value(QStringLiteral("填报日期"))).date();
    return f;
}

bool orgCodeTaken(Database &db, const QString &org, const QString &idText)
{
    const QString id = idText.trimmed();
    if (id.isEmpty())
        return !db.scalar(QStringLiteral("SELECT 1 FROM TZ_XIANGMU WHERE 组织机构代码=?1 LIMIT 1"), {org}).isEmpty();
    // The hidden ID is the form's own; compared as the stored integer so "7" and 7 agree.
    return !db.scalar(QStringLiteral("SELECT 1 FROM TZ_XIANGMU WHERE 组织机构代码=?1 AND ID<>?2 LIMIT 1"),
                      {org, id.toLongLong()})
                .isEmpty();
}

std::vector<ChangeLogRow> changeLogRows(const LoadedRecord &opened, const LoadedRecord &saved, const QDateTime &now)
{
    std::vector<ChangeLogRow> rows;
    const qsizetype n = saved.columns.size();
    const QString time = dateTimeText(now);
    for (qsizetype p = 1; p <= n - 3; ++p) {
        const QString old = opened.values.value(p);
        const QString current = saved.values.value(p);
        if (old == current)
            continue;
        rows.push_back({{saved.value(QStringLiteral("组织机构代码")), saved.value(QStringLiteral("企业名称")),
                         saved.value(QStringLiteral("省")), saved.value(QStringLiteral("地市")),
                         saved.value(QStringLiteral("县")), saved.value(QStringLiteral("行政区划代码")),
                         saved.columns[p], old, current, time, QString()}});
    }
    return rows;
}

WriteResult writeRecord(Database &db, const WriteRequest &req)
{
    const QStringList cols = writtenColumns();
    const QVariantList values = storedValues(req);
    WriteResult result;
    Transaction tx(db);

    bool update = false;
    if (req.entryMode == 1 && req.openedId > 0)
        update = !db.scalar(QStringLiteral("SELECT 1 FROM TZ_XIANGMU WHERE ID=?1"), {req.openedId}).isEmpty();

    if (update) {
        QStringList sets;
        for (int i = 0; i < cols.size(); ++i)
            sets << quotedColumn(cols[i]) + QStringLiteral("=?%1").arg(i + 1);
        Statement st = db.prepare(QStringLiteral("UPDATE TZ_XIANGMU SET ") + sets.join(QLatin1Char(',')) +
                                  QStringLiteral(" WHERE ID=?%1").arg(cols.size() + 1));
        for (int i = 0; i < values.size(); ++i)
            st.bind(i + 1, values[i]);
        st.bind(cols.size() + 1, req.openedId);
        st.run();
        result.id = req.openedId;
    } else {
        QStringList quoted, marks;
        for (int i = 0; i < cols.size(); ++i) {
            quoted << quotedColumn(cols[i]);
            marks << QStringLiteral("?%1").arg(i + 1);
        }
        Statement st = db.prepare(QStringLiteral("INSERT INTO TZ_XIANGMU(") + quoted.join(QLatin1Char(',')) +
                                  QStringLiteral(") VALUES (") + marks.join(QLatin1Char(',')) + QLatin1Char(')'));
        for (int i = 0; i < values.size(); ++i)
            st.bind(i + 1, values[i]);
        st.run();
        result.id = db.lastInsertId();
        result.inserted = true;
    }

    // Only an edit of a record that was opened is logged, against what it held then.
    if (req.entryMode == 1 && req.opened) {
        const auto saved = loadRecordById(db, result.id);
        if (saved) {
            Statement ins = db.prepare(QStringLiteral("INSERT INTO 修改日志 VALUES (?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11)"));
            for (const ChangeLogRow &row : changeLogRows(*req.opened, *saved, req.now)) {
                ins.reset();
                for (int i = 0; i < row.values.size(); ++i)
                    ins.bindText(i + 1, row.values[i]);
                ins.run();
                ++result.logRows;
            }
        }
    }
    tx.commit();
    return result;
}

} // namespace kestrova
