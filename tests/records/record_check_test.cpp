// 全部校验 over stored records: every rule is found, the verdict is the entry form's,
// and the records are left as they were.
#include "data/demo_records.h"
#include "records/record_check.h"
#include "records/record_store.h"
#include "record_test_support.h"
#include "support/temp_store.h"

#include <gtest/gtest.h>

#include <random>

using namespace kestrova;

namespace {

using Values = std::vector<std::pair<int, QVariant>>;

qint64 addRecord(Database &db, const QString &name, const Values &values, const QString &postcode = QStringLiteral("100000"))
{
    QMap<QString, QVariant> v;
    v[QStringLiteral("企业名称")] = name;
    v[QStringLiteral("省")] = QStringLiteral("河南省");
    v[QStringLiteral("地市")] = QStringLiteral("郑州市");
    v[QStringLiteral("县")] = QStringLiteral("中原区");
    v[QStringLiteral("邮政编码")] = postcode;
    v[QStringLiteral("校验状态")] = QStringLiteral("1");
    for (const auto &[k, value] : values)
        v[indicatorColumn(k)] = value;
    return test::insertRecord(db, v);
}

// What the entry form says when it saves the record as it loads it.
std::optional<RuleFailure> formVerdict(Database &db, qint64 id)
{
    const auto rec = loadRecordById(db, id);
    const RecordFields f = fieldsFromRecord(*rec);
    return validateRecord(f.value(QStringLiteral("邮政编码")), f.indicators);
}

std::vector<const CheckFailure *> failuresOf(const CheckResult &r, qint64 id)
{
    std::vector<const CheckFailure *> out;
    for (const CheckFailure &f : r.failures)
        if (f.id == id)
            out.push_back(&f);
    return out;
}

// The entry form's verdict for every record must be the check's first failure of it.
void expectAgreement(Database &db, const CheckResult &result)
{
    Statement st = db.prepare(QStringLiteral("SELECT ID FROM TZ_XIANGMU ORDER BY ID"));
    while (st.next()) {
        const qint64 id = st.value(0).toLongLong();
        const auto form = formVerdict(db, id);
        const auto listed = failuresOf(result, id);
        ASSERT_EQ(bool(form), !listed.empty()) << "record " << id;
        if (form) {
            EXPECT_EQ(listed.front()->failure.rule, form->rule) << "record " << id;
            EXPECT_EQ(listed.front()->failure.message, form->message) << "record " << id;
            EXPECT_EQ(listed.front()->failure.focus, form->focus) << "record " << id;
        }
    }
}

} // namespace

TEST(RecordCheck, RecordFailingEachRuleIsListedWithThatRuleAndItsValues)
{
    test::TempStore store;
    Database &db = *store.db;
    // One record per rule, made to fail it (some fail a later rule as well).
    const std::vector<std::pair<int, Values>> cases = {
        {2, {{1, 10}, {2, 11}}},   {3, {{4, 3}, {5, 2}, {6, 2}}},         {4, {{7, 1}, {8, 2}}},
        {5, {{9, 1}, {10, 2}}},    {6, {{23, 1}, {24, 2}}},               {7, {{23, 1}, {25, 2}}},
        {8, {{35, 1}, {36, 2}}},   {9, {{46, 1}, {47, 2}, {48, 1}}},      {10, {{46, 1}, {48, 1}, {49, 2}}},
        {11, {{50, 1}, {51, 2}, {52, 1}}}, {12, {{50, 1}, {52, 1}, {53, 2}}}, {13, {{71, 1}, {72, 2}}},
        {14, {{11, 1}}},           {15, {{55, 1}}},                       {16, {{38, 1}}},
        {17, {{39, 1}}},           {18, {{40, 1}}},                       {19, {{41, 1}}},
        {20, {{38, 1}, {42, 1001}}}, {21, {{39, 1}, {43, 5001}}},         {22, {{40, 1}, {44, 4999}}},
        {23, {{41, 1}, {45, 9999}}}, {24, {{46, 1}}},                      {25, {{50, 1}}},
    };
    std::map<int, qint64> ids;
    ids[1] = addRecord(db, QStringLiteral("规则1"), {}, QStringLiteral("12345"));
    for (const auto &[rule, values] : cases)
        ids[rule] = addRecord(db, QStringLiteral("规则%1").arg(rule), values);
    const qint64 good = addRecord(db, QStringLiteral("合格"), {{1, 10}, {2, 10}, {38, 2}, {42, 2000}});

    const CheckResult r = checkAllRecords(db);
    EXPECT_EQ(r.records, 26);
    EXPECT_EQ(r.failingRecords, 25);
    EXPECT_TRUE(failuresOf(r, good).empty());
    for (const auto &[rule, id] : ids) {
        bool found = false;
        for (const CheckFailure *f : failuresOf(r, id)) {
            EXPECT_EQ(f->name, QStringLiteral("规则%1").arg(rule));
            EXPECT_EQ(f->region, QStringLiteral("河南省郑州市中原区"));
            if (f->failure.rule == rule) {
                found = true;
                EXPECT_EQ(f->failure.message, ruleMessage(rule));
            }
        }
        EXPECT_TRUE(found) << "rule " << rule << " not listed";
        EXPECT_GE(r.recordsPerRule.at(rule), 1) << "rule " << rule;
    }
    // The values the person has to look at, with the column names of the form.
    EXPECT_EQ(failuresOf(r, ids[2]).front()->values, QStringLiteral("占地面积=10；空地面积=11"));
    EXPECT_EQ(failuresOf(r, ids[1]).front()->values, QStringLiteral("邮政编码=12345"));
    EXPECT_EQ(r.recordsPerRule.at(2), 1);
    expectAgreement(db, r);
    EXPECT_TRUE(checkSummary(r).startsWith(QStringLiteral("共校验 26 个记录，25 个未通过")));

    // Checking is reading: every record keeps its 校验状态.
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM TZ_XIANGMU WHERE 校验状态='1'")), QStringLiteral("26"));
}

TEST(RecordCheck, AgreesWithTheEntryFormOnDemoRecordsAndOnRecordsMadeToFail)
{
    test::TempStore store;
    Database &db = *store.db;
    addDemoRecords(db, 600, 20140305);
    const CheckResult clean = checkAllRecords(db);
    EXPECT_EQ(clean.records, 600);
    EXPECT_TRUE(clean.failures.empty()) << clean.failures.front().failure.message.toStdString();

    // Break a third of them: values at and around the rules' bounds, stored numbers the
    // form shows rounded, a missing value, odd postcodes.
    std::mt19937 rng(23);
    const std::vector<QVariant> odd = {0,    1,    999,  1000, 1001, 4999.5, 5000, 10000, 10001,
                                       0.30000000000000004, 0.3, 1e20, 123456789012345.67, QVariant()};
    Statement ids = db.prepare(QStringLiteral("SELECT ID FROM TZ_XIANGMU WHERE ID % 3 = 0"));
    std::vector<qint64> broken;
    while (ids.next())
        broken.push_back(ids.value(0).toLongLong());
    Transaction tx(db);
    for (qint64 id : broken) {
        for (int i = 0; i < 3; ++i) {
            const int k = 1 + int(rng() % kIndicatorCount);
            db.exec(QStringLiteral("UPDATE TZ_XIANGMU SET \"%1\"=?1 WHERE ID=?2").arg(indicatorColumn(k)),
                    {odd[rng() % odd.size()], id});
        }
        if (rng() % 10 == 0)
            db.exec(QStringLiteral("UPDATE TZ_XIANGMU SET 邮政编码=?1 WHERE ID=?2"),
                    {rng() % 2 ? QStringLiteral(" 10000 ") : QStringLiteral("1000000"), id});
    }
    tx.commit();
    const CheckResult r = checkAllRecords(db);
    EXPECT_GT(r.failingRecords, 100);
    expectAgreement(db, r);
    int total = 0;
    for (const auto &[rule, n] : r.recordsPerRule)
        total += n;
    EXPECT_EQ(total, int(r.failures.size())); // one entry per record and rule
}
