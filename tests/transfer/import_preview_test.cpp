// What the preview says an import would do, and that it writes nothing.
#include "data/task_record.h"
#include "records/record_validation.h"
#include "support/database_state.h"
#include "support/temp_store.h"
#include "transfer/import_preview.h"
#include "transfer/messages.h"
#include "transfer/upload_import.h"
#include "transfer_fixtures.h"

#include <gtest/gtest.h>

using namespace kestrova;
using namespace kestrova::transfer;

namespace {

// Sheet columns of the upload layout (0-based).
enum Col { kPostcode = 6, kCentral = 12, kCorps = 13, kArea = 16, kState = 93 };

using test::placedRow;

class Preview : public ::testing::Test {
protected:
    test::TempStore s;
    void SetUp() override
    {
        TaskRecord t;
        t.year = "2013";
        t.level = "省级汇总";
        t.province = "河南省";
        saveTask(*s.db, t);
    }
    void addLocal(const QString &name, const QString &code)
    {
        s.db->exec("INSERT INTO TZ_XIANGMU(企业名称, 行政区划代码, 校验状态) VALUES (?1, ?2, '1')", {name, code});
    }
    QString workbook(const QString &file, const test::Rows &data)
    {
        const QString path = s.file(file);
        test::writeUploadWorkbook(path, data);
        return path;
    }
    ImportPreview preview(const QStringList &paths)
    {
        NoProgress none;
        return previewImports(*s.db, paths, none);
    }
    // "row:flag" for every note of one workbook.
    static QStringList notesOf(const ImportPreview &p, int workbook)
    {
        QStringList out;
        for (const PreviewNote &n : p.notes)
            if (n.workbook == workbook)
                out << QStringLiteral("%1:%2").arg(n.sheetRow).arg(previewFlagText(n.flag));
        return out;
    }
    static QString detailOf(const ImportPreview &p, PreviewFlag flag)
    {
        for (const PreviewNote &n : p.notes)
            if (n.flag == flag)
                return n.detail;
        return {};
    }
};

QString note(int row, PreviewFlag flag)
{
    return QStringLiteral("%1:%2").arg(row).arg(previewFlagText(flag));
}

} // namespace

// A clean row draws no note at all: every flag below is about the row made for it.
TEST_F(Preview, CleanRowsDrawNoNote)
{
    addLocal("甲库", "410102");
    const auto p = preview({workbook("净.xls", {placedRow("甲库"), placedRow("乙库", "410202")})});
    ASSERT_EQ(p.workbooks.size(), 1);
    EXPECT_TRUE(p.workbooks[0].refusal.isEmpty()) << p.workbooks[0].refusal.toStdString();
    EXPECT_TRUE(p.notes.isEmpty()) << notesOf(p, 0).join(' ').toStdString();
    EXPECT_EQ(p.workbooks[0].rows, 2);
    EXPECT_EQ(p.workbooks[0].names, 2);
    EXPECT_EQ(p.workbooks[0].replaced, 1);
    EXPECT_EQ(p.workbooks[0].added, 1);
    EXPECT_EQ(p.workbooks[0].offices, "郑州市 1 行、开封市 1 行");
}

TEST_F(Preview, NameOfALocalRecordInAnotherCountyWouldDeleteIt)
{
    addLocal("甲库", "410202"); // 开封市龙亭区
    addLocal("乙库", "410102");
    const auto p = preview({workbook("下级.xls", {placedRow("甲库", "410102"), placedRow("乙库", "410102")})});
    EXPECT_EQ(notesOf(p, 0), QStringList{note(2, PreviewFlag::OtherCounty)});
    EXPECT_EQ(detailOf(p, PreviewFlag::OtherCounty),
              "本地同名企业在 410202（河南省开封市龙亭区），与本行的 410102 不同，导入将删除它");
}

TEST_F(Preview, NameTwiceInOneWorkbookFlagsBothRows)
{
    const auto p = preview({workbook("下级.xls", {placedRow("丙库"), placedRow("丁库"), placedRow("丙库", "410103")})});
    EXPECT_EQ(notesOf(p, 0), (QStringList{note(2, PreviewFlag::TwiceInWorkbook), note(4, PreviewFlag::TwiceInWorkbook)}));
    EXPECT_EQ(detailOf(p, PreviewFlag::TwiceInWorkbook), "本工作簿中有 2 行是此企业（第 2、4 行），导入后将有 2 条同名记录");
}

TEST_F(Preview, RowsOutsideTheOfficesAreaAreFlagged)
{
    const auto p = preview({workbook("下级.xls", {placedRow("甲库"), placedRow("鄂库", "420102"), placedRow("无码库", "")})});
    EXPECT_EQ(notesOf(p, 0), (QStringList{note(3, PreviewFlag::OutsideArea), note(4, PreviewFlag::OutsideArea)}));
    EXPECT_EQ(detailOf(p, PreviewFlag::OutsideArea), "行政区划代码 420102（湖北省武汉市江岸区）不在本单位（河南省）的范围内");
    EXPECT_EQ(p.workbooks[0].offices, "郑州市 1 行、其他 2 行");
}

TEST_F(Preview, RowsNotValidatedAreFlaggedWithTheirState)
{
    auto zero = placedRow("零库"), empty = placedRow("空库");
    zero[kState] = "0";
    empty[kState] = "";
    const auto p = preview({workbook("下级.xls", {placedRow("甲库"), zero, empty})});
    EXPECT_EQ(notesOf(p, 0), (QStringList{note(3, PreviewFlag::NotValidated), note(4, PreviewFlag::NotValidated)}));
    EXPECT_EQ(detailOf(p, PreviewFlag::NotValidated), "校验状态为“0”，不是“1”");
}

// The preview reads rows with the entry form's own rules: for each row made to fail one
// of them, its message is the one the entry form shows for the same values.
TEST_F(Preview, RowsFailingAPlausibilityRuleShowTheEntryFormsMessage)
{
    struct Case {
        int k;              // indicator set
        std::string value;
        std::string postcode = "450000";
    };
    const std::vector<Case> cases{
        {2, "13"},                 // 空地面积 over 占地面积 (12)
        {36, "5"},                 // 储粮罩棚 without 罩棚合计
        {38, "2"},                 // tanks without capacity
        {56, "100"},               // 烘干能力 without 烘干设备数量
        {1, "12", "4500"},         // a postcode of 4 digits
    };
    test::Rows rows;
    for (size_t i = 0; i < cases.size(); ++i) {
        auto row = placedRow("规则库" + std::to_string(i));
        row[size_t(15 + cases[i].k)] = cases[i].value;
        row[kPostcode] = cases[i].postcode;
        rows.push_back(row);
    }
    const auto p = preview({workbook("下级.xls", rows)});
    ASSERT_EQ(p.notes.size(), qsizetype(cases.size())) << notesOf(p, 0).join(' ').toStdString();
    for (size_t i = 0; i < cases.size(); ++i) {
        IndicatorTexts texts;
        for (int k = 1; k <= kIndicatorCount; ++k)
            texts[size_t(k - 1)] = QString::fromStdString(rows[i][size_t(15 + k)]);
        const auto expected = validateRecord(QString::fromStdString(cases[i].postcode), texts);
        ASSERT_TRUE(expected.has_value()) << i;
        EXPECT_EQ(p.notes[qsizetype(i)].flag, PreviewFlag::FailsRule) << i;
        EXPECT_EQ(p.notes[qsizetype(i)].sheetRow, int(i) + 2);
        EXPECT_EQ(p.notes[qsizetype(i)].detail, expected->message) << i;
    }
}

// Several workbooks naming one enterprise: each says the later one wins, and the counts
// follow the order: the second replaces what the first added.
TEST_F(Preview, SeveralWorkbooksNamingOneEnterpriseSayTheLaterWins)
{
    addLocal("甲库", "410102");
    const QString a = workbook("郑州.xls", {placedRow("甲库"), placedRow("共库", "410103")});
    const QString b = workbook("开封.xls", {placedRow("共库", "410202"), placedRow("乙库", "410202")});
    const auto p = preview({a, b});
    ASSERT_EQ(p.workbooks.size(), 2);
    EXPECT_EQ(notesOf(p, 0), QStringList{note(3, PreviewFlag::InOtherWorkbook)});
    EXPECT_EQ(notesOf(p, 1), QStringList{note(2, PreviewFlag::InOtherWorkbook)});
    EXPECT_EQ(p.notes[0].detail, "后面的“开封.xls”第 2 行也是此企业，导入时将替换本行，以“开封.xls”为准");
    EXPECT_EQ(p.notes[1].detail, "“郑州.xls”第 3 行也是此企业；本文件在后，导入时将替换它，以本文件为准");
    EXPECT_EQ(p.workbooks[0].replaced, 1);
    EXPECT_EQ(p.workbooks[0].added, 1);
    EXPECT_EQ(p.workbooks[1].replaced, 1) << "共库 as the first leaves it";
    EXPECT_EQ(p.workbooks[1].added, 1);

    // And the import does what the preview said: the later row is the one kept.
    NoProgress none;
    const auto first = importUploadWorkbook(*s.db, a, none, "测试员");
    const auto second = importUploadWorkbook(*s.db, b, none, "测试员");
    EXPECT_EQ(std::pair(first.replaced, first.added), std::pair(p.workbooks[0].replaced, p.workbooks[0].added));
    EXPECT_EQ(std::pair(second.replaced, second.added), std::pair(p.workbooks[1].replaced, p.workbooks[1].added));
    EXPECT_EQ(s.db->scalar("SELECT group_concat(行政区划代码) FROM TZ_XIANGMU WHERE 企业名称='共库'"), "410202");
}

// A workbook the import would refuse says why in the import's words; the others are
// still looked at, and a file imported before says when.
TEST_F(Preview, RefusedWorkbookSaysWhyAndAnImportedOneSaysWhen)
{
    auto bad = placedRow("坏库");
    bad[kArea] = "很多";
    const QString refused = workbook("坏.xls", {placedRow("甲库"), bad});
    const QString good = workbook("好.xls", {placedRow("乙库")});
    NoProgress none;
    importUploadWorkbook(*s.db, good, none, "测试员");
    const auto p = preview({refused, good, s.file("名单.txt")});
    ASSERT_EQ(p.workbooks.size(), 3);
    EXPECT_EQ(p.workbooks[0].refusal, kImportFailed + "\n工作表“数据信息”第 3 行第 Q 列（占地面积）：“很多”不是数字");
    EXPECT_TRUE(p.workbooks[1].refusal.isEmpty());
    EXPECT_TRUE(p.workbooks[1].importedBefore.startsWith("此文件已于 ")) << p.workbooks[1].importedBefore.toStdString();
    EXPECT_EQ(p.workbooks[2].refusal, kWrongFileType);
    EXPECT_TRUE(p.canImport());
    const auto table = workbookTable(p);
    ASSERT_EQ(table.size(), 4);
    EXPECT_EQ(table[1][6], "不能导入：工作表“数据信息”第 3 行第 Q 列（占地面积）：“很多”不是数字") << "the cause, on one line";
    EXPECT_EQ(table[3][6], "不能导入：" + kWrongFileType);
    EXPECT_EQ(table[1][1], "") << "no counts for a workbook that will not go in";
}

// Every row of every table, before and after: the preview of workbooks that would
// replace, delete and add records writes nothing, not even the submissions log.
TEST_F(Preview, WritesNothing)
{
    addDemoRecords(*s.db, 300, 3);
    s.db->exec("INSERT INTO 报送记录(文件名, 文件哈希) VALUES ('旧.xls', 'abc')");
    Statement names = s.db->prepare("SELECT 企业名称 FROM TZ_XIANGMU ORDER BY ID LIMIT 40");
    test::Rows rows;
    while (names.next())
        rows.push_back(placedRow(names.text(0).toStdString()));
    rows.push_back(placedRow("新库"));
    const QString a = workbook("一.xls", rows), b = workbook("二.xls", {placedRow("新库"), placedRow("又一库", "420102")});
    s.db.reset();
    const auto before = test::databaseState(databasePath());
    const QByteArray bytes = test::fileDigest(databasePath());
    {
        auto db = openStore(StoreOpen::MustExist);
        NoProgress none;
        const auto p = previewImports(*db, {a, b}, none);
        EXPECT_EQ(p.workbooks[0].replaced, 40);
        EXPECT_FALSE(p.notes.isEmpty());
    }
    EXPECT_EQ(test::databaseState(databasePath()).rows, before.rows);
    EXPECT_EQ(test::fileDigest(databasePath()), bytes);
}

// At the national level the offices are the provinces, 新疆兵团 and the central
// enterprises, told apart as the annual summary tells them.
TEST_F(Preview, NationalOfficeSortsRowsIntoProvincesCorpsAndCentralEnterprises)
{
    TaskRecord t;
    t.year = "2013";
    t.level = "国家级汇总";
    saveTask(*s.db, t);
    auto corps = placedRow("兵团库", "650102"), central = placedRow("央企库", "410102");
    corps[kCorps] = "是";
    central[kCentral] = "中国储备粮管理总公司";
    const auto p = preview({workbook("全国.xls", {placedRow("豫库"), placedRow("鄂库", "420102"), corps, central})});
    EXPECT_EQ(p.workbooks[0].offices, "河南省 1 行、湖北省 1 行、新疆兵团 1 行、中国储备粮管理总公司 1 行");
    EXPECT_TRUE(p.notes.isEmpty()) << "nothing is outside the national office's area";
}
