// The validation rules: each at its boundary, their order, and the demo records.
#include "data/demo_records.h"
#include "records/record_store.h"
#include "records/record_validation.h"
#include "support/temp_store.h"

#include <gtest/gtest.h>

using namespace kestrova;

namespace {
IndicatorTexts with(std::initializer_list<std::pair<int, double>> values)
{
    IndicatorTexts t;
    for (auto [k, v] : values)
        t[size_t(k - 1)] = QString::number(v, 'g', 15);
    return t;
}

std::optional<RuleFailure> check(std::initializer_list<std::pair<int, double>> values,
                                 const QString &postcode = QStringLiteral("100000"))
{
    return validateRecord(postcode, with(values));
}
} // namespace

TEST(Validation, EmptyRecordWithPostcodePasses)
{
    EXPECT_FALSE(check({}));
}

TEST(Validation, PostcodeMustHaveSixCharactersAndIsTestedFirst)
{
    for (const char *code : {"10000", "1000000", ""}) {
        // Rule 2 fails as well, but the postcode comes first.
        const auto f = check({{1, 1}, {2, 5}}, QString::fromLatin1(code));
        ASSERT_TRUE(f) << code;
        EXPECT_EQ(f->rule, 1);
        EXPECT_EQ(f->message, QStringLiteral("要求：邮政编码必须为6位"));
        EXPECT_EQ(f->focus, QStringLiteral("Edit9"));
    }
    EXPECT_FALSE(check({}, QStringLiteral(" 100000 "))); // trimmed
}

struct OrderingCase {
    int rule, left, right, focus;
};

TEST(Validation, OrderingRulesPassOnEqualAndFailWhenGreater)
{
    const std::vector<OrderingCase> cases = {{2, 2, 1, 1},    {4, 8, 7, 7},    {5, 10, 9, 9},   {8, 36, 35, 35},
                                             {9, 47, 46, 46}, {10, 49, 48, 48}, {11, 51, 50, 50}, {12, 53, 52, 52},
                                             {13, 72, 71, 71}};
    for (const auto &c : cases) {
        // Open-air numbers and stocks are given together, so rules 24 and 25 hold.
        auto base = [&](double left, double right) {
            IndicatorTexts t = with({{46, 1000}, {48, 1000}, {50, 1000}, {52, 1000}});
            t[size_t(c.left - 1)] = QString::number(left);
            t[size_t(c.right - 1)] = QString::number(right);
            return validateRecord(QStringLiteral("100000"), t);
        };
        EXPECT_FALSE(base(30, 30)) << "rule " << c.rule;
        const auto f = base(31, 30);
        ASSERT_TRUE(f) << "rule " << c.rule;
        EXPECT_EQ(f->rule, c.rule);
        EXPECT_EQ(f->focus, indicatorFieldName(c.focus));
    }
}

TEST(Validation, StaffAndStorageRules)
{
    EXPECT_FALSE(check({{4, 10}, {5, 6}, {6, 4}}));
    const auto staff = check({{4, 10}, {5, 6}, {6, 5}});
    ASSERT_TRUE(staff);
    EXPECT_EQ(staff->rule, 3);
    EXPECT_EQ(staff->message, QStringLiteral("要求：粮油保管员+粮油质量检验员＜从业人员"));
    EXPECT_EQ(staff->focus, QStringLiteral("MaskEdit005"));

    // Rules 6 and 7 compare with field 23 as shown.
    EXPECT_FALSE(check({{23, 500}, {24, 500}, {25, 500}}));
    EXPECT_EQ(check({{23, 500}, {24, 501}})->rule, 6);
    const auto unusable = check({{23, 500}, {25, 501}});
    EXPECT_EQ(unusable->rule, 7);
    EXPECT_EQ(unusable->focus, QStringLiteral("MaskEdit025"));
}

TEST(Validation, PairRulesWantBothZeroOrBothNonZero)
{
    const std::vector<std::tuple<int, int, int>> pairs = {{14, 11, 12}, {15, 55, 56}, {16, 38, 42}, {17, 39, 43},
                                                          {18, 40, 44}, {19, 41, 45}, {24, 46, 48}, {25, 50, 52}};
    for (auto [rule, a, b] : pairs) {
        const auto onlyA = check({{a, 1}});
        ASSERT_TRUE(onlyA) << rule;
        EXPECT_EQ(onlyA->rule, rule);
        EXPECT_EQ(onlyA->focus, indicatorFieldName(a));
        EXPECT_EQ(check({{b, 1}})->rule, rule);
    }
    EXPECT_FALSE(check({{11, 2}, {12, 3000}}));
    EXPECT_EQ(check({{46, 1}})->message, QStringLiteral("要求：露天囤的数量和存粮，同时为零或者同时不为零"));
}

TEST(Validation, TankCapacityWithinTheClassBounds)
{
    const QString msg = QStringLiteral("要求：罐容＜或＝单罐罐容×油罐个数");
    // Class 1, two tanks: up to 2000.
    EXPECT_FALSE(check({{38, 2}, {42, 2000}}));
    auto f = check({{38, 2}, {42, 2001}});
    ASSERT_TRUE(f);
    EXPECT_EQ(f->rule, 20);
    EXPECT_EQ(f->message, msg);
    EXPECT_EQ(f->focus, QStringLiteral("MaskEdit038"));
    // Class 2, two tanks: 2000 to 10000.
    EXPECT_FALSE(check({{39, 2}, {43, 2000}}));
    EXPECT_FALSE(check({{39, 2}, {43, 10000}}));
    EXPECT_EQ(check({{39, 2}, {43, 1999}})->rule, 21);
    EXPECT_EQ(check({{39, 2}, {43, 10001}})->rule, 21);
    // Class 3, one tank: 5000 to 10000.
    EXPECT_FALSE(check({{40, 1}, {44, 5000}}));
    EXPECT_EQ(check({{40, 1}, {44, 4999}})->rule, 22);
    EXPECT_EQ(check({{40, 1}, {44, 10001}})->rule, 22);
    // Class 4, one tank: 10000 and any more.
    EXPECT_FALSE(check({{41, 1}, {45, 10000}}));
    EXPECT_FALSE(check({{41, 1}, {45, 1e9}}));
    f = check({{41, 1}, {45, 9999}});
    EXPECT_EQ(f->rule, 23);
    EXPECT_EQ(f->focus, QStringLiteral("MaskEdit041"));
}

TEST(Validation, OnlyTheFirstFailingRuleIsReported)
{
    // Rules 4, 13 and 14 fail; 4 comes first.
    const auto f = check({{7, 1}, {8, 2}, {71, 1}, {72, 2}, {11, 1}});
    ASSERT_TRUE(f);
    EXPECT_EQ(f->rule, 4);
    EXPECT_EQ(f->message, QStringLiteral("要求：熏蒸剂＜储粮药剂"));
    EXPECT_EQ(f->focus, QStringLiteral("MaskEdit007"));
}

TEST(Validation, TextThatIsNotANumberStopsWithAClearMessage)
{
    IndicatorTexts t;
    t[4] = QStringLiteral("12a");
    const auto f = validateRecord(QStringLiteral("100000"), t);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->rule, 0);
    EXPECT_EQ(f->focus, QStringLiteral("MaskEdit005"));
    EXPECT_TRUE(f->message.contains(QStringLiteral("12a")));
    EXPECT_TRUE(f->message.contains(QStringLiteral("粮油保管员")));
}

TEST(Validation, DemoRecordsPassEveryRule)
{
    test::TempStore store;
    addDemoRecords(*store.db, 800, 20140305);
    Statement st = store.db->prepare(QStringLiteral("SELECT ID FROM TZ_XIANGMU"));
    int checked = 0;
    while (st.next()) {
        const auto rec = loadRecordById(*store.db, st.value(0).toLongLong());
        ASSERT_TRUE(rec);
        const RecordFields f = fieldsFromRecord(*rec);
        const auto failure = validateRecord(f.value(QStringLiteral("邮政编码")), f.indicators);
        EXPECT_FALSE(failure) << "record " << rec->id << ": rule " << failure->rule << " "
                              << failure->message.toStdString();
        ++checked;
    }
    EXPECT_EQ(checked, 800);
}
