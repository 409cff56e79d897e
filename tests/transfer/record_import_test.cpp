// The replacement rule and the value checks, fed row by row without any workbook.
#include "transfer/messages.h"
#include "transfer/record_import.h"
#include "transfer/transfer_error.h"
#include "support/temp_store.h"
#include "transfer_fixtures.h"

#include <gtest/gtest.h>

using namespace kestrova;
using namespace kestrova::transfer;

namespace {
QStringList header()
{
    return recordColumns().mid(1);
}

QStringList row(const QString &name, const QString &area = "12")
{
    QStringList r;
    for (const auto &c : test::uploadRow(name.toStdString(), area.toStdString()))
        r << QString::fromStdString(c);
    return r;
}

RecordImporter::Cells utf8(const QStringList &cells)
{
    RecordImporter::Cells out;
    for (const auto &c : cells)
        out.push_back(c.toStdString());
    return out;
}

void importRows(Database &db, const QList<QStringList> &rows, const QStringList &head = header())
{
    RecordImporter imp(db, kRecordSheet);
    imp.setHeader(utf8(head));
    for (int i = 0; i < rows.size(); ++i)
        imp.addRow(i + 2, utf8(rows[i]));
    imp.commit();
}
} // namespace

TEST(RecordImport, SheetNamesReplaceEveryLocalRecordOfThatNameOthersStay)
{
    test::TempStore s;
    const qint64 a = test::addRecord(*s.db, "甲库", 1);
    test::addRecord(*s.db, "乙库", 2);
    test::addRecord(*s.db, "甲库", 3);
    importRows(*s.db, {row("甲库", "100"), row("甲库", "200"), row("丙库", "300")});
    EXPECT_EQ(test::namesOf(*s.db), (QStringList{"乙库", "甲库", "甲库", "丙库"}));
    EXPECT_EQ(s.db->scalar("SELECT group_concat(CAST(占地面积 AS INTEGER)) FROM TZ_XIANGMU WHERE 企业名称='甲库'").toStdString(), "100,200");
    EXPECT_EQ(s.db->scalar("SELECT count(*) FROM TZ_XIANGMU WHERE ID=?1", {a}), "0") << "old IDs are gone";
    EXPECT_GT(s.db->scalar("SELECT min(ID) FROM TZ_XIANGMU WHERE 企业名称='丙库'").toLongLong(), 3);
}

TEST(RecordImport, ImportingTwiceLeavesTheSameRecordsAsOnce)
{
    test::TempStore s;
    test::addRecord(*s.db, "乙库");
    const QList<QStringList> rows{row("甲库", "1"), row("甲库", "2"), row("丙库", "3")};
    importRows(*s.db, rows);
    const auto once = test::recordRows(*s.db, false);
    importRows(*s.db, rows);
    EXPECT_EQ(test::recordRows(*s.db, false), once);
}

TEST(RecordImport, NamesWithQuotesAndSqlImportAsTheyAre)
{
    test::TempStore s;
    const QString nasty = QStringLiteral("甲\"库' OR 1=1;--");
    test::addRecord(*s.db, nasty, 1);
    test::addRecord(*s.db, "乙库", 2);
    importRows(*s.db, {row(nasty, "9")});
    EXPECT_EQ(test::namesOf(*s.db), (QStringList{"乙库", nasty}));
    EXPECT_EQ(s.db->scalar("SELECT 占地面积 FROM TZ_XIANGMU WHERE 企业名称=?1", {nasty}), "9");
}

TEST(RecordImport, EmptyNameRowReplacesRecordsWithoutName)
{
    test::TempStore s;
    test::addRecord(*s.db, "");
    test::addRecord(*s.db, "乙库");
    importRows(*s.db, {row("", "5")});
    EXPECT_EQ(s.db->scalar("SELECT count(*) FROM TZ_XIANGMU WHERE 企业名称=''"), "1");
    EXPECT_EQ(s.db->scalar("SELECT 占地面积 FROM TZ_XIANGMU WHERE 企业名称=''"), "5");
}

TEST(RecordImport, ValuesGoByPositionEvenWhenTheNameColumnMoved)
{
    test::TempStore s;
    test::addRecord(*s.db, "甲库");
    QStringList head = header();
    head.swapItemsAt(0, 1); // 企业名称 now heads sheet column 2
    QStringList r = row("x");
    r[0] = "某地址";
    r[1] = "甲库";
    importRows(*s.db, {r}, head);
    EXPECT_EQ(s.db->scalar("SELECT count(*) FROM TZ_XIANGMU WHERE 企业名称='甲库'"), "0") << "the key came from 企业名称";
    EXPECT_EQ(s.db->scalar("SELECT 企业地址 FROM TZ_XIANGMU WHERE 企业名称='某地址'"), "甲库");
}

TEST(RecordImport, CellTextsBecomeTypedValues)
{
    test::TempStore s;
    QStringList r = row("甲库", "");
    r[17] = "1.5E-06";
    r[18] = " 12 ";
    r[91] = "2014-3-5";
    r[92] = "2014-03-05 9:05:07";
    importRows(*s.db, {r});
    Statement st = s.db->prepare("SELECT 占地面积, 空地面积, 库区数, 填报日期, 修改时间, 从业人员 FROM TZ_XIANGMU");
    ASSERT_TRUE(st.next());
    EXPECT_TRUE(st.isNull(0)) << "an empty numeric cell is no value, not 0";
    EXPECT_DOUBLE_EQ(st.number(1), 1.5e-6);
    EXPECT_EQ(st.text(2), "12");
    EXPECT_EQ(st.text(3), "2014-03-05") << "dates are stored in ISO form";
    EXPECT_EQ(st.text(4), "2014-03-05 09:05:07");
}

TEST(RecordImport, HeaderOnlyAppendsNothing)
{
    test::TempStore s;
    test::addRecord(*s.db, "甲库");
    const auto before = test::recordRows(*s.db);
    importRows(*s.db, {});
    EXPECT_EQ(test::recordRows(*s.db), before);
}

TEST(RecordImport, RowsWithoutAnyValueAreNotRecords)
{
    test::TempStore s;
    test::addRecord(*s.db, "");
    importRows(*s.db, {QStringList(94), QStringList{}, row("甲库")});
    EXPECT_EQ(test::namesOf(*s.db), (QStringList{"", "甲库"}));
}

// Each of these must leave every stored row as it was, and name where it went wrong.
class RecordImportFailure : public ::testing::Test {
protected:
    test::TempStore s;
    QList<QStringList> before;
    void SetUp() override
    {
        addDemoRecords(*s.db, 5, 3);
        test::addRecord(*s.db, "甲库");
        before = test::recordRows(*s.db);
    }
    QString failure(const QList<QStringList> &rows, const QStringList &head = header())
    {
        try {
            importRows(*s.db, rows, head);
        } catch (const TransferError &e) {
            EXPECT_EQ(e.message(), kImportFailed);
            EXPECT_EQ(test::recordRows(*s.db), before);
            return e.cause();
        }
        ADD_FAILURE() << "the import did not fail";
        return {};
    }
};

TEST_F(RecordImportFailure, TextInNumericColumnRollsBackEarlierRows)
{
    QStringList bad = row("乙库");
    bad[16] = "abc";
    const QString cause = failure({row("甲库"), bad});
    EXPECT_EQ(cause, QStringLiteral("工作表“数据信息”第 3 行第 Q 列（占地面积）：“abc”不是数字"));
}

TEST_F(RecordImportFailure, NonDateInDateColumnRollsBack)
{
    QStringList bad = row("甲库");
    bad[91] = "昨天";
    EXPECT_TRUE(failure({bad}).endsWith(QStringLiteral("（填报日期）：“昨天”不是日期")));
}

TEST_F(RecordImportFailure, MissingNameColumnRollsBack)
{
    QStringList head = header();
    head[0] = "名称";
    EXPECT_TRUE(failure({row("甲库")}, head).contains(QStringLiteral("没有标题为“企业名称”的列")));
}

TEST_F(RecordImportFailure, TooFewColumnsRollsBack)
{
    EXPECT_TRUE(failure({row("甲库")}, header().mid(0, 20)).contains(QStringLiteral("只有 20 列，上报文件应有 94 列")));
}

TEST_F(RecordImportFailure, FailureAfterManyRowsLeavesNoneOfThem)
{
    QList<QStringList> rows;
    for (int i = 0; i < 500; ++i)
        rows << row(QStringLiteral("新库%1").arg(i));
    rows << row("甲库", "12,5");
    failure(rows);
}

TEST(RecordImport, UncommittedImportIsRolledBack)
{
    test::TempStore s;
    test::addRecord(*s.db, "甲库");
    const auto before = test::recordRows(*s.db);
    {
        RecordImporter imp(*s.db, kRecordSheet);
        imp.setHeader(utf8(header()));
        imp.addRow(2, utf8(row("甲库", "7")));
    }
    EXPECT_EQ(test::recordRows(*s.db), before);
}
