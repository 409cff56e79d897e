// Custom query conditions: the text shown, the SQL run, and typing numbers.
#include "records/custom_query.h"
#include "records/list_query.h"
#include "records/numeric_typing.h"

#include "record_test_support.h"
#include "support/temp_store.h"

#include <gtest/gtest.h>

using namespace kestrova;
using kestrova::test::insertRecord;

namespace {
class CustomQueryTest : public ::testing::Test {
protected:
    test::TempStore store;
    Database &db = *store.db;
    QStringList columns = db.columns(QStringLiteral("TZ_XIANGMU"));

    void SetUp() override
    {
        insertRecord(db, {{QStringLiteral("企业名称"), QStringLiteral("甲库")},
                          {QStringLiteral("经营范围"), QStringLiteral("储备")},
                          {QStringLiteral("仓容合计"), 20000.0}});
        insertRecord(db, {{QStringLiteral("企业名称"), QStringLiteral("乙库")},
                          {QStringLiteral("经营范围"), QStringLiteral("加工")},
                          {QStringLiteral("仓容合计"), 5000.0}});
        insertRecord(db, {{QStringLiteral("企业名称"), QStringLiteral("丙\"库%")},
                          {QStringLiteral("经营范围"), QStringLiteral("物流储备")},
                          {QStringLiteral("仓容合计"), 10000.0}});
    }

    QStringList run(const CustomQuery &q)
    {
        const auto sql = q.toSql(columns);
        EXPECT_TRUE(sql.error.isEmpty()) << sql.error.toStdString();
        QStringList names;
        for (const ListRow &r : listRows(db, sql.condition))
            names << r.name;
        names.sort();
        return names;
    }

    static QueryTerm text(const QString &indicator, const QString &value) { return {indicator, true, {}, value}; }
    static QueryTerm number(const QString &indicator, const QString &op, const QString &value)
    {
        return {indicator, false, op, value};
    }
};
} // namespace

TEST_F(CustomQueryTest, IndicatorsComeFromTheTableWithTheirKinds)
{
    const auto list = queryIndicators(db);
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list.front().name, QStringLiteral("企业名称"));
    EXPECT_TRUE(list.front().isText);
    EXPECT_FALSE(list.back().isText);
}

TEST_F(CustomQueryTest, TextTermMatchesPartsOfValues)
{
    CustomQuery q;
    q.add(text(QStringLiteral("经营范围"), QStringLiteral("储备")));
    EXPECT_EQ(q.displayText(), QStringLiteral("经营范围 like \"%储备%\""));
    EXPECT_EQ(run(q), (QStringList{QStringLiteral("丙\"库%"), QStringLiteral("甲库")}));
}

TEST_F(CustomQueryTest, OrSelectsEitherAndSelectsBoth)
{
    CustomQuery either;
    either.add(number(QStringLiteral("仓容合计"), QStringLiteral(">="), QStringLiteral("20000")));
    either.join(TermJoin::Or);
    EXPECT_EQ(either.displayText(), QStringLiteral("仓容合计>=20000 or "));
    either.add(text(QStringLiteral("经营范围"), QStringLiteral("加工")));
    EXPECT_EQ(either.displayText(), QStringLiteral("仓容合计>=20000 or 经营范围 like \"%加工%\""));
    EXPECT_EQ(run(either), (QStringList{QStringLiteral("乙库"), QStringLiteral("甲库")}));

    CustomQuery both;
    both.add(text(QStringLiteral("经营范围"), QStringLiteral("储备")));
    both.join(TermJoin::And);
    both.add(number(QStringLiteral("仓容合计"), QStringLiteral("<"), QStringLiteral("15000")));
    EXPECT_EQ(both.displayText(), QStringLiteral("经营范围 like \"%储备%\" and 仓容合计<15000"));
    // The window shows the same in words, no SQL in sight.
    EXPECT_EQ(both.wordsText(), QStringLiteral("经营范围 包含 “储备” 并且 仓容合计 小于 15000"));
    EXPECT_EQ(either.wordsText(), QStringLiteral("仓容合计 大于或等于 20000 或者 经营范围 包含 “加工”"));
    EXPECT_EQ(run(both), QStringList{QStringLiteral("丙\"库%")});
}

TEST_F(CustomQueryTest, QuoteAndPercentAreFoundLiterally)
{
    CustomQuery q;
    q.add(text(QStringLiteral("企业名称"), QStringLiteral("\"库%")));
    EXPECT_EQ(run(q), QStringList{QStringLiteral("丙\"库%")});
    CustomQuery pct;
    pct.add(text(QStringLiteral("企业名称"), QStringLiteral("%")));
    EXPECT_EQ(run(pct), QStringList{QStringLiteral("丙\"库%")});
}

TEST_F(CustomQueryTest, UnusableTermsAreRefusedBeforeTheDatabase)
{
    CustomQuery unknown;
    unknown.add(number(QStringLiteral("仓容合计 or 1=1"), QStringLiteral("="), QStringLiteral("1")));
    EXPECT_FALSE(unknown.toSql(columns).error.isEmpty());
    EXPECT_TRUE(unknown.toSql(columns).condition.isEmpty());

    for (const char *incomplete : {"-", "+", "1e", "1e-", ""}) {
        CustomQuery q;
        q.add(number(QStringLiteral("仓容合计"), QStringLiteral(">"), QString::fromLatin1(incomplete)));
        EXPECT_FALSE(q.toSql(columns).error.isEmpty()) << incomplete;
    }
    EXPECT_EQ(termProblem(text(QStringLiteral("企业名称"), QStringLiteral("  ")), columns),
              QStringLiteral("请填入条件！"));
    EXPECT_TRUE(termProblem(number(QStringLiteral("仓容合计"), QStringLiteral("<="), QStringLiteral("1.5")), columns)
                    .isEmpty());
    // Names are matched without regard to letter case.
    EXPECT_TRUE(termProblem(number(QStringLiteral("id"), QStringLiteral(">"), QStringLiteral("0")), columns).isEmpty());
}

TEST(NumericTyping, StrayCharactersGoIncompleteNumbersStay)
{
    EXPECT_EQ(numericTyped(QStringLiteral("12a")), QStringLiteral("12"));
    EXPECT_EQ(numericTyped(QStringLiteral("1a2")), QStringLiteral("12"));
    EXPECT_EQ(numericTyped(QStringLiteral("abc")), QString());
    EXPECT_EQ(numericTyped(QStringLiteral("1.2.3")), QStringLiteral("1.23"));
    EXPECT_EQ(numericTyped(QStringLiteral("1e5e")), QStringLiteral("1e5"));
    EXPECT_EQ(numericTyped(QStringLiteral("--1")), QStringLiteral("-1"));
    for (const char *kept : {"-", "12.", "1e", "1E-", "-0.5", "1e+15", ".5"})
        EXPECT_EQ(numericTyped(QString::fromLatin1(kept)), QString::fromLatin1(kept)) << kept;
}

TEST(CustomQueryKind, LastsAcrossWindows)
{
    setCustomQueryTextKind(true);
    EXPECT_TRUE(customQueryTextKind());
    setCustomQueryTextKind(false);
    EXPECT_FALSE(customQueryTextKind());
}
