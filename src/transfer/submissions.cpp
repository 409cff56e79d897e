#include "transfer/submissions.h"

#include "data/database.h"
#include "data/datetime_text.h"
#include "data/record_columns.h"
#include "data/schema.h"
#include "data/task_record.h"
#include "transfer/offices.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <unordered_map>

namespace kestrova::transfer {

namespace {
const QChar kKeySeparator = QLatin1Char(';');

QString sql(const QString &text)
{
    using namespace submission;
    QString s = text;
    return s.replace(QStringLiteral("{table}"), tables::submissions)
        .replace(QStringLiteral("{file}"), file)
        .replace(QStringLiteral("{hash}"), hash)
        .replace(QStringLiteral("{time}"), time)
        .replace(QStringLiteral("{offices}"), offices)
        .replace(QStringLiteral("{rows}"), rows)
        .replace(QStringLiteral("{replaced}"), replaced)
        .replace(QStringLiteral("{added}"), added)
        .replace(QStringLiteral("{user}"), user);
}

QList<Submission> readSubmissions(Statement &st)
{
    QList<Submission> out;
    while (st.next()) {
        Submission s;
        s.file = st.text(0);
        s.hash = st.text(1);
        s.time = st.text(2);
        s.offices = st.text(3).split(kKeySeparator, Qt::SkipEmptyParts);
        s.rows = int(st.number(4));
        s.replaced = int(st.number(5));
        s.added = int(st.number(6));
        s.user = st.text(7);
        out << s;
    }
    return out;
}

const QString kSelect = QStringLiteral(
    "SELECT \"{file}\", \"{hash}\", \"{time}\", \"{offices}\", \"{rows}\", \"{replaced}\", \"{added}\", \"{user}\" "
    "FROM \"{table}\"");
} // namespace

QString fileHash(const QString &path)
{
    // A pipe or a device would never end; the import refuses them anyway.
    if (!QFileInfo(path).isFile())
        return QString();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    QCryptographicHash h(QCryptographicHash::Sha1);
    if (!h.addData(&f))
        return QString();
    return QString::fromLatin1(h.result().toHex());
}

void logSubmission(Database &db, const Submission &s)
{
    db.exec(sql(QStringLiteral("INSERT INTO \"{table}\"(\"{file}\", \"{hash}\", \"{time}\", \"{offices}\", \"{rows}\", "
                               "\"{replaced}\", \"{added}\", \"{user}\") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)")),
            {s.file, s.hash, s.time, s.offices.join(kKeySeparator), s.rows, s.replaced, s.added, s.user});
}

QList<Submission> submissionsOfHash(Database &db, const QString &hash)
{
    if (hash.isEmpty() || !db.hasTable(tables::submissions))
        return {};
    Statement st = db.prepare(sql(kSelect + QStringLiteral(" WHERE \"{hash}\"=?1 ORDER BY ID")));
    st.bindText(1, hash);
    return readSubmissions(st);
}

SubmissionList submissionList(Database &db)
{
    const OfficeMap map(db, loadTask(db));
    SubmissionList list;
    list.area = map.areaName();
    for (const Office &o : map.offices())
        list.lines << SubmissionLine{o.name, 0, {}, {}, 0, {}};

    // The records held in memory for the reports serve here too: one office per
    // distinct origin, looked up once.
    const auto records = recordColumns(db);
    const RecordColumns::Texts &codes = records->textColumn(QStringLiteral("行政区划代码"));
    const RecordColumns::Texts &central = records->textColumn(QStringLiteral("央企名称"));
    const RecordColumns::Texts &corps = records->textColumn(QStringLiteral("新疆兵团"));
    std::unordered_map<quint64, int> officeOfOrigin;
    for (int row = 0; row < records->rowCount(); ++row) {
        const int a = codes.ids[size_t(row)], b = central.ids[size_t(row)], c = corps.ids[size_t(row)];
        const quint64 origin = (quint64(quint32(a)) << 40) ^ (quint64(quint32(b)) << 20) ^ quint64(quint32(c));
        auto it = officeOfOrigin.find(origin);
        if (it == officeOfOrigin.end()) {
            const std::string code = codes.values[a].toStdString(), name = central.values[b].toStdString(),
                              flag = corps.values[c].toStdString();
            it = officeOfOrigin.emplace(origin, map.officeOf({code, name, flag})).first;
        }
        if (it->second >= 0)
            ++list.lines[it->second].records;
        else
            ++list.otherRecords;
    }

    if (!db.hasTable(tables::submissions))
        return list;
    Statement st = db.prepare(sql(kSelect + QStringLiteral(" ORDER BY ID")));
    const QList<Submission> log = readSubmissions(st);
    QHash<QString, int> timesOfHash;
    for (const Submission &s : log)
        if (!s.hash.isEmpty())
            ++timesOfHash[s.hash];
    for (const Submission &s : log) {
        QList<int> seen;
        for (const QString &key : s.offices) {
            const int office = map.officeOfKey(key);
            if (office < 0 || seen.contains(office))
                continue;
            seen << office;
            SubmissionLine &line = list.lines[office];
            ++line.imports;
            line.lastTime = displayDateTime(s.time);
            line.lastFile = s.file;
            const int times = timesOfHash.value(s.hash);
            if (times > 1 && line.repeated.isEmpty())
                line.repeated = QStringLiteral("“%1”导入了 %2 次").arg(s.file).arg(times);
        }
    }
    return list;
}

QStringList submissionHeadings()
{
    return {QStringLiteral("下级单位"),     QStringLiteral("是否报送"),   QStringLiteral("最近导入时间"),
            QStringLiteral("最近导入文件"), QStringLiteral("导入次数"),   QStringLiteral("现有记录数"),
            QStringLiteral("重复导入"),     QStringLiteral("提示")};
}

QList<QStringList> submissionTable(const SubmissionList &list)
{
    QList<QStringList> out;
    for (const SubmissionLine &l : list.lines)
        out << QStringList{l.office,
                           l.imports > 0 ? QStringLiteral("已报送") : QStringLiteral("未报送"),
                           l.lastTime,
                           l.lastFile,
                           QString::number(l.imports),
                           QString::number(l.records),
                           l.repeated,
                           l.records == 0 ? QStringLiteral("无记录") : QString()};
    if (list.otherRecords > 0)
        out << QStringList{QStringLiteral("（不属于以上单位）"), QString(), QString(), QString(), QString(),
                           QString::number(list.otherRecords), QString(), QString()};
    return out;
}

} // namespace kestrova::transfer
