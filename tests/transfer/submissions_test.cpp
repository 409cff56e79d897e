// 报送情况: the offices below at each level, what arrived from them, what is missing.
#include "data/task_record.h"
#include "support/temp_store.h"
#include "transfer/submissions.h"
#include "transfer/upload_import.h"
#include "transfer_fixtures.h"

#include <gtest/gtest.h>

using namespace kestrova;
using namespace kestrova::transfer;
using test::placedRow;

namespace {

class Submissions : public ::testing::Test {
protected:
    test::TempStore s;
    void task(const QString &level, const QString &province = {}, const QString &city = {})
    {
        TaskRecord t;
        t.year = "2013";
        t.level = level;
        t.province = province;
        t.city = city;
        saveTask(*s.db, t);
    }
    QString workbook(const QString &file, const test::Rows &data)
    {
        const QString path = s.file(file);
        test::writeUploadWorkbook(path, data);
        return path;
    }
    void import(const QString &path)
    {
        NoProgress none;
        importUploadWorkbook(*s.db, path, none, "李四");
    }
    // The table's row for an office, by its name.
    QStringList line(const QString &office)
    {
        for (const QStringList &row : submissionTable(submissionList(*s.db)))
            if (row[0] == office)
                return row;
        ADD_FAILURE() << "no line for " << office.toStdString();
        return {};
    }
    QStringList offices()
    {
        QStringList out;
        for (const SubmissionLine &l : submissionList(*s.db).lines)
            out << l.office;
        return out;
    }
};

// 是否报送, 导入次数, 现有记录数, 提示
QStringList state(const QStringList &row)
{
    return {row.value(1), row.value(4), row.value(5), row.value(7)};
}

} // namespace

TEST_F(Submissions, NationalListsProvincesCorpsAndCentralEnterprisesAndWhatIsMissing)
{
    task("国家级汇总");
    auto corps = placedRow("兵团库", "650102");
    corps[13] = "是";
    auto central = placedRow("央企库");
    central[12] = "中国储备粮管理总公司";
    import(workbook("河南.xls", {placedRow("豫一"), placedRow("豫二", "410202"), central}));
    import(workbook("兵团.xls", {corps}));
    // A record made here by hand counts for its province, though no workbook came.
    s.db->exec("INSERT INTO TZ_XIANGMU(企业名称, 行政区划代码, 新疆兵团, 校验状态) VALUES ('鲁库', '370102', '否', '1')");

    const QStringList names = offices();
    ASSERT_EQ(names.size(), 31 + 1 + 3);
    EXPECT_EQ(names.first(), "北京市");
    EXPECT_EQ(names.mid(31), (QStringList{"新疆兵团", "中国储备粮管理总公司", "中粮集团有限责任公司", "中国中纺集团公司"}));
    EXPECT_EQ(state(line("河南省")), (QStringList{"已报送", "1", "2", ""}));
    EXPECT_EQ(line("河南省")[3], "河南.xls");
    EXPECT_FALSE(line("河南省")[2].isEmpty());
    EXPECT_EQ(state(line("中国储备粮管理总公司")), (QStringList{"已报送", "1", "1", ""}))
        << "a central enterprise's records count for it, not for the province they lie in";
    EXPECT_EQ(state(line("新疆兵团")), (QStringList{"已报送", "1", "1", ""}));
    EXPECT_EQ(state(line("新疆维吾尔自治区")), (QStringList{"未报送", "0", "0", "无记录"}));
    EXPECT_EQ(state(line("山东省")), (QStringList{"未报送", "0", "1", ""}));
    EXPECT_EQ(state(line("中粮集团有限责任公司")), (QStringList{"未报送", "0", "0", "无记录"}));
    EXPECT_EQ(submissionList(*s.db).area, "全国");
}

TEST_F(Submissions, ProvinceListsItsCitiesAndCountsRecordsOfNoneApart)
{
    task("省级汇总", "河南省");
    import(workbook("郑州.xls", {placedRow("郑一"), placedRow("郑二", "410103")}));
    import(workbook("开封.xls", {placedRow("汴一", "410202"), placedRow("鄂一", "420102")}));
    const QStringList names = offices();
    EXPECT_EQ(names.first(), "郑州市");
    EXPECT_TRUE(names.contains("驻马店市"));
    EXPECT_FALSE(names.contains("武汉市"));
    EXPECT_EQ(state(line("郑州市")), (QStringList{"已报送", "1", "2", ""}));
    EXPECT_EQ(state(line("开封市")), (QStringList{"已报送", "1", "1", ""}));
    EXPECT_EQ(state(line("洛阳市")), (QStringList{"未报送", "0", "0", "无记录"}));
    const auto list = submissionList(*s.db);
    EXPECT_EQ(list.otherRecords, 1) << "the 湖北 record belongs to no city of 河南";
    EXPECT_EQ(submissionTable(list).last()[0], "（不属于以上单位）");
    EXPECT_EQ(list.area, "河南省");
}

// The same file twice is told by its hash, whatever it is called the second time.
TEST_F(Submissions, CityListsItsCountiesAndTellsAFileImportedTwice)
{
    task("地级汇总", "河南省", "郑州市");
    const QString once = workbook("中原.xls", {placedRow("中原一")});
    import(once);
    import(workbook("二七.xls", {placedRow("二七一", "410103")}));
    QFile::copy(once, s.file("中原又一次.xls"));
    import(s.file("中原又一次.xls"));
    EXPECT_EQ(offices().size(), 15);
    EXPECT_EQ(line("中原区")[3], "中原又一次.xls") << "the latest file";
    EXPECT_EQ(line("中原区")[6], "“中原.xls”导入了 2 次");
    EXPECT_EQ(state(line("中原区")), (QStringList{"已报送", "2", "1", ""}));
    EXPECT_EQ(line("二七区")[6], "");
    EXPECT_EQ(state(line("金水区")), (QStringList{"未报送", "0", "0", "无记录"}));
}

// A workbook logged while this office worked at a lower level still counts for the
// office above that holds its place.
TEST_F(Submissions, ImportsLoggedAtALowerLevelCountForTheOfficeAboveThem)
{
    task("省级汇总", "河南省");
    import(workbook("郑州.xls", {placedRow("郑一")}));
    task("国家级汇总");
    EXPECT_EQ(state(line("河南省")), (QStringList{"已报送", "1", "1", ""}));
    EXPECT_EQ(state(line("湖北省")), (QStringList{"未报送", "0", "0", "无记录"}));
}

TEST_F(Submissions, CountyOfficeHasNoneBelowAndTheLogRowSaysWhatCameIn)
{
    task("县级汇总", "河南省", "郑州市");
    s.db->exec("UPDATE 任务信息 SET 县='中原区'");
    import(workbook("中原.xls", {placedRow("中原一"), placedRow("中原二")}));
    EXPECT_TRUE(submissionList(*s.db).lines.isEmpty());
    const auto logged = submissionsOfHash(*s.db, fileHash(s.file("中原.xls")));
    ASSERT_EQ(logged.size(), 1);
    EXPECT_EQ(logged[0].file, "中原.xls");
    EXPECT_EQ(logged[0].rows, 2);
    EXPECT_EQ(logged[0].added, 2);
    EXPECT_EQ(logged[0].user, "李四");
    EXPECT_EQ(logged[0].hash.size(), 40);
}
