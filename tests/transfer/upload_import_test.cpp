// Importing real workbook files: damaged and foreign ones, and the round trip between levels.
#include "transfer/messages.h"
#include "transfer/transfer_error.h"
#include "transfer/upload_export.h"
#include "transfer/upload_import.h"
#include "xls/compound_file.h"
#include "data/app_home.h"
#include "support/temp_store.h"
#include "transfer_fixtures.h"

#include <QFile>

#include <algorithm>
#include <cstdlib>

#include <gtest/gtest.h>

using namespace kestrova;
using namespace kestrova::transfer;

TEST(UploadSuffix, OnlyLowerCaseXlsEndingIsTaken)
{
    EXPECT_TRUE(hasUploadSuffix("/tmp/上报.xls"));
    EXPECT_FALSE(hasUploadSuffix("/tmp/上报.XLS"));
    EXPECT_FALSE(hasUploadSuffix("/tmp/上报.xlsx"));
    EXPECT_TRUE(hasUploadSuffix("/tmp/上报xls")) << "the last three characters are all that count";
}

// Every broken workbook must give the import message and leave every stored row as it was.
class ImportOfBadWorkbook : public ::testing::Test {
protected:
    test::TempStore s;
    QList<QStringList> before;
    QString path;
    void SetUp() override
    {
        addDemoRecords(*s.db, 40, 4);
        test::addRecord(*s.db, "甲库", 1);
        before = test::recordRows(*s.db);
        path = s.file("下级.xls");
    }
    QString expectRefused()
    {
        NoProgress none;
        try {
            importUploadWorkbook(*s.db, path, none, "测试员");
        } catch (const TransferError &e) {
            EXPECT_EQ(e.message(), kImportFailed);
            EXPECT_EQ(test::recordRows(*s.db), before);
            return e.cause();
        }
        ADD_FAILURE() << "the import succeeded";
        return {};
    }
    test::Rows goodRows(int n)
    {
        test::Rows rows{test::uploadHeader()};
        rows.push_back(test::uploadRow("甲库", "99"));
        for (int i = 0; i < n; ++i)
            rows.push_back(test::uploadRow("新库" + std::to_string(i)));
        return rows;
    }
};

TEST_F(ImportOfBadWorkbook, TruncatedFile)
{
    test::writeWorkbook(path.toStdString(), {{"数据信息", goodRows(300)}});
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.resize(f.size() / 2));
    f.close();
    EXPECT_FALSE(expectRefused().isEmpty());
}

TEST_F(ImportOfBadWorkbook, MissingFile)
{
    EXPECT_FALSE(expectRefused().isEmpty());
}

TEST_F(ImportOfBadWorkbook, NotAWorkbookAtAll)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("企业名称,企业地址\n甲库,某地\n");
    f.close();
    EXPECT_FALSE(expectRefused().isEmpty());
}

TEST_F(ImportOfBadWorkbook, NoRecordSheet)
{
    test::writeWorkbook(path.toStdString(), {{"Sheet1", goodRows(3)}});
    EXPECT_EQ(expectRefused(), QStringLiteral("工作簿“下级.xls”中没有名为“数据信息”的工作表（它的工作表：Sheet1）"));
}

TEST_F(ImportOfBadWorkbook, NoNameColumn)
{
    auto rows = goodRows(3);
    rows[0][0] = "单位名称";
    test::writeWorkbook(path.toStdString(), {{"数据信息", rows}});
    EXPECT_EQ(expectRefused(), QStringLiteral("工作表“数据信息”第 1 行（标题行）：没有标题为“企业名称”的列"));
}

TEST_F(ImportOfBadWorkbook, TextInNumericColumnAfterManyGoodRows)
{
    auto rows = goodRows(200);
    rows[150][20] = "abc";
    test::writeWorkbook(path.toStdString(), {{"数据信息", rows}});
    EXPECT_EQ(expectRefused(), QStringLiteral("工作表“数据信息”第 151 行第 U 列（粮油保管员）：“abc”不是数字"));
}

// A workbook larger than half the table has the secondary indexes rebuilt at the end;
// a failure must bring them back with the records, whether the sheet was still being
// read (the reading thread is stopped) or already read to its end.
TEST_F(ImportOfBadWorkbook, LargeWorkbookFailingEarlyOrLateKeepsRecordsAndIndexes)
{
    const auto indexes = [this] {
        return s.db->scalar("SELECT group_concat(name, ',') FROM (SELECT name FROM sqlite_master "
                            "WHERE type='index' AND tbl_name='TZ_XIANGMU' ORDER BY name)");
    };
    const QString indexesBefore = indexes();
    const QString secureDelete = s.db->scalar("PRAGMA secure_delete");
    for (const int badRow : {5, 4990}) {
        auto rows = goodRows(5000);
        rows[size_t(badRow)][20] = "abc";
        test::writeWorkbook(path.toStdString(), {{"数据信息", rows}});
        EXPECT_TRUE(expectRefused().contains(QStringLiteral("：“abc”不是数字"))) << badRow;
        EXPECT_EQ(indexes(), indexesBefore) << badRow;
        EXPECT_EQ(s.db->scalar("PRAGMA secure_delete"), secureDelete) << badRow;
    }
    NoProgress none;
    test::writeWorkbook(path.toStdString(), {{"数据信息", goodRows(5000)}});
    importUploadWorkbook(*s.db, path, none, "测试员");
    EXPECT_EQ(indexes(), indexesBefore);
    EXPECT_EQ(s.db->scalar("PRAGMA integrity_check"), "ok");
    EXPECT_EQ(s.db->scalar("SELECT count(*) FROM TZ_XIANGMU"), QString::number(40 + 5001));
    // the one old 甲库 is replaced by the sheet's; records of other names stay
    EXPECT_EQ(s.db->scalar("SELECT group_concat(CAST(占地面积 AS INTEGER)) FROM TZ_XIANGMU WHERE 企业名称='甲库'"), "99");
    EXPECT_EQ(s.db->scalar("SELECT count(*) FROM TZ_XIANGMU WHERE 企业名称 NOT LIKE '新库%' AND 企业名称<>'甲库'"), "40");
    EXPECT_EQ(s.db->scalar("SELECT count(*) FROM sqlite_temp_master"), "0") << "no leftover temporary table";
}

TEST_F(ImportOfBadWorkbook, EmptySheet)
{
    test::writeWorkbook(path.toStdString(), {{"数据信息", {}}, {"修改日志", {{"x"}}}});
    EXPECT_EQ(expectRefused(), QStringLiteral("工作表“数据信息”是空的"));
}

TEST_F(ImportOfBadWorkbook, EmptyHeaderRowAboveData)
{
    auto rows = goodRows(2);
    rows[0] = std::vector<std::string>(94);
    test::writeWorkbook(path.toStdString(), {{"数据信息", rows}});
    EXPECT_EQ(expectRefused(), QStringLiteral("工作表“数据信息”第 1 行（标题行）是空的"));
}

TEST_F(ImportOfBadWorkbook, FailedImportLogsNoSubmission)
{
    auto rows = goodRows(20);
    rows[10][30] = "很多";
    test::writeWorkbook(path.toStdString(), {{"数据信息", rows}});
    EXPECT_TRUE(expectRefused().endsWith(QStringLiteral("：“很多”不是数字")));
    EXPECT_EQ(s.db->scalar("SELECT count(*) FROM 报送记录"), "0");
}

// A workbook saved with a password to open: with Excel's built-in one (a protected
// structure) it imports as usual; with one of its own it is refused saying so.
TEST_F(ImportOfBadWorkbook, PasswordToOpen)
{
    const std::string plain = s.file("plain.xls").toStdString(), stream = s.file("encrypted.stream").toStdString();
    test::writeWorkbook(plain, {{"数据信息", goodRows(3)}});
    const auto encrypt = [&](const std::string &password) {
        const std::string command = "/usr/bin/python3 " + std::string(KESTROVA_TEST_DATA_DIR) + "/xls/encrypt_cryptoapi.py '" +
                                    plain + "' '" + stream + "' " + password + " 128";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        QFile in(QString::fromStdString(stream));
        ASSERT_TRUE(in.open(QIODevice::ReadOnly));
        const QByteArray bytes = in.readAll();
        xls::CompoundFileWriter out(path.toStdString());
        out.write(bytes.constData(), size_t(bytes.size()));
        out.commit();
    };
    encrypt("secret");
    EXPECT_TRUE(expectRefused().contains(QStringLiteral("需要输入密码")));
    encrypt("VelvetSweatshop");
    NoProgress none;
    EXPECT_EQ(importUploadWorkbook(*s.db, path, none, "测试员").appended, 4);
}

TEST(UploadImport, HeaderOnlyWorkbookImportsNothingAndSucceeds)
{
    test::TempStore s;
    addDemoRecords(*s.db, 5, 1);
    const auto before = test::recordRows(*s.db);
    const QString path = s.file("空.xls");
    test::writeWorkbook(path.toStdString(), {{"数据信息", {test::uploadHeader()}}});
    NoProgress none;
    const auto r = importUploadWorkbook(*s.db, path, none, "测试员");
    EXPECT_EQ(r.appended, 0);
    EXPECT_EQ(test::recordRows(*s.db), before);
}

// The names are read ahead and their records deleted before any row is written: all at
// once when the sheet names every local record, by name otherwise. A row without a name
// is read only with the rows, and still replaces the records without a name.
TEST(UploadImport, NamesReadAheadReplaceWholeTableOrJustTheirRecords)
{
    const auto importSheet = [](test::TempStore &s, const test::Rows &data) {
        const QString path = s.file("下级.xls");
        test::writeUploadWorkbook(path, data);
        NoProgress none;
        return importUploadWorkbook(*s.db, path, none, "测试员");
    };
    const auto areas = [](test::TempStore &s) {
        return s.db->scalar("SELECT group_concat(企业名称 || ':' || CAST(占地面积 AS INTEGER), ',') FROM "
                            "(SELECT * FROM TZ_XIANGMU ORDER BY ID)");
    };
    {
        test::TempStore s;
        test::addRecord(*s.db, "甲库", 1);
        test::addRecord(*s.db, "乙库", 2);
        const qint64 last = test::addRecord(*s.db, "乙库", 3);
        s.db->exec("DELETE FROM TZ_XIANGMU WHERE ID=?1", {last}); // IDs are never given twice
        test::addRecord(*s.db, "乙库", 4);
        const auto r = importSheet(s, {test::uploadRow("乙库", "10"), test::uploadRow("甲库", "20"),
                                       test::uploadRow("乙库", "30"), test::uploadRow("丙库", "40")});
        EXPECT_EQ(r.appended, 4);
        EXPECT_EQ(r.names, 3);
        EXPECT_EQ(r.replaced, 3) << "甲库 once, 乙库 twice";
        EXPECT_EQ(r.added, 1) << "丙库 is new";
        EXPECT_EQ(areas(s), "乙库:10,甲库:20,乙库:30,丙库:40");
        EXPECT_GT(s.db->scalar("SELECT min(ID) FROM TZ_XIANGMU").toLongLong(), last + 1);
        EXPECT_EQ(s.db->scalar("SELECT count(*) FROM sqlite_master WHERE type='index' AND tbl_name='TZ_XIANGMU'"), "4");
        EXPECT_EQ(s.db->scalar("PRAGMA integrity_check"), "ok");
    }
    {
        test::TempStore s;
        test::addRecord(*s.db, "", 1);
        test::addRecord(*s.db, "甲库", 2);
        test::addRecord(*s.db, "丁库", 3);
        const auto r = importSheet(s, {test::uploadRow("甲库", "5"), test::uploadRow("", "6"), test::uploadRow("", "7")});
        EXPECT_EQ(r.appended, 3);
        EXPECT_EQ(r.names, 2);
        EXPECT_EQ(r.replaced, 2) << "the nameless record goes with the nameless rows";
        EXPECT_EQ(r.added, 0);
        EXPECT_EQ(areas(s), "丁库:3,甲库:5,:6,:7");
    }
}

// The bar must move while the workbook and its names are read, before any row is
// written, and end full; it never goes back.
TEST(UploadImport, ProgressMovesBeforeTheRowsAndEndsFull)
{
    struct Recorder : Progress {
        int maximum = -1;
        std::vector<int> values;
        void setMaximum(int m) override { maximum = m; }
        void setValue(int v) override { values.push_back(v); }
    } p;
    test::TempStore s;
    const QString path = s.file("下级.xls");
    test::Rows rows{test::uploadHeader()};
    for (int i = 0; i < 3000; ++i)
        rows.push_back(test::uploadRow("库" + std::to_string(i)));
    test::writeWorkbook(path.toStdString(), {{"数据信息", rows}});
    importUploadWorkbook(*s.db, path, p, "测试员");
    ASSERT_GT(p.maximum, 0);
    ASSERT_FALSE(p.values.empty());
    EXPECT_TRUE(std::is_sorted(p.values.begin(), p.values.end()));
    EXPECT_EQ(p.values.back(), p.maximum);
    // Before the first row the stages before it have shown: reading, names, deletion.
    const long early = std::count_if(p.values.begin(), p.values.end(), [&](int v) { return v > 0 && v < p.maximum / 3; });
    EXPECT_GE(early, 3);
    EXPECT_GT(p.values.size(), 50u) << "the rows move it too";
}

// An export at one level imports without loss at the next, and exports again unchanged.
TEST(UploadRoundTrip, ExportImportExportGivesIdenticalWorkbooks)
{
    test::TempStore lower, upper;
    addDemoRecords(*lower.db, 200, 11);
    lower.db->exec("UPDATE TZ_XIANGMU SET 备注='含\"引号\"与''单引号''', 空地面积=NULL, 库区数=1234567.125 WHERE ID=5");
    lower.db->exec("UPDATE TZ_XIANGMU SET 修改时间='2014-03-05 00:00:00', 总吨位=1E+16 WHERE ID=6");
    test::installTemplate(lower.home());
    test::installTemplate(upper.home());
    const QString first = lower.file("第一次.xls");
    NoProgress none;
    writeUploadWorkbook(*lower.db, shippedFile("templet/out.xls"), first, none);

    importUploadWorkbook(*upper.db, first, none, "测试员");
    EXPECT_EQ(test::recordRows(*upper.db, false).size(), 200);
    auto want = test::recordRows(*lower.db, false);
    want[5][92] = "2014-03-05"; // midnight is written as the date alone
    EXPECT_EQ(test::recordRows(*upper.db, false), want);

    const QString second = upper.file("第二次.xls");
    writeUploadWorkbook(*upper.db, shippedFile("templet/out.xls"), second, none);
    const auto a = xls::WorkbookReader::open(first.toStdString());
    const auto b = xls::WorkbookReader::open(second.toStdString());
    EXPECT_EQ(a.readSheet("数据信息"), b.readSheet("数据信息"));
    EXPECT_EQ(a.readSheet("修改日志"), b.readSheet("修改日志"));
}
