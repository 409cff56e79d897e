// What the upload workbook holds, and when it is refused.
#include "transfer/export_gate.h"
#include "transfer/messages.h"
#include "transfer/transfer_error.h"
#include "transfer/upload_export.h"
#include "transfer/upload_import.h"
#include "data/app_home.h"
#include "xls/general_number.h"
#include "support/temp_store.h"
#include "support/xls_cells.h"
#include "transfer_fixtures.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <tuple>

using namespace kestrova;
using namespace kestrova::transfer;

namespace {
// Every cell as the reader would show it, and which ones went in as numbers.
struct RecordingSink : CellSink {
    std::map<int, test::Rows> sheets;
    std::set<std::tuple<int, int, int>> numbers;
    void setText(int sheet, int row, int col, std::string_view text) override
    {
        auto &rows = sheets[sheet];
        if (rows.size() <= size_t(row))
            rows.resize(size_t(row) + 1);
        if (rows[size_t(row)].size() <= size_t(col))
            rows[size_t(row)].resize(size_t(col) + 1);
        rows[size_t(row)][size_t(col)] = std::string(text);
    }
    void setNumber(int sheet, int row, int col, double value) override
    {
        setText(sheet, row, col, xls::formatGeneral(value));
        numbers.insert({sheet, row, col});
    }
    bool isNumber(int sheet, int row, int col) const { return numbers.count({sheet, row, col}) > 0; }
};

struct RecordingProgress : Progress {
    int maximum = -1;
    std::vector<int> values;
    void setMaximum(int m) override { maximum = m; }
    void setValue(int v) override { values.push_back(v); }
};

std::string cell(const test::Rows &rows, size_t r, size_t c)
{
    return r < rows.size() && c < rows[r].size() ? rows[r][c] : std::string();
}

// Adds n records directly, all validated, much faster than the demo generator.
void addBareRecords(Database &db, int n)
{
    db.exec(QStringLiteral("WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM k WHERE i<?1) "
                           "INSERT INTO TZ_XIANGMU(企业名称, 校验状态) SELECT 'r'||i, '1' FROM k"),
            {n});
}
} // namespace

TEST(ExportGate, OneUnvalidatedRecordRefuses)
{
    test::TempStore s;
    addDemoRecords(*s.db, 20, 1);
    EXPECT_EQ(exportRefusal(*s.db), std::nullopt);
    s.db->exec("UPDATE TZ_XIANGMU SET 校验状态='0' WHERE ID=7");
    EXPECT_EQ(exportRefusal(*s.db), kUnvalidatedRecords);
}

TEST(ExportGate, EmptyOrOddValidationStateCountsAsUnvalidated)
{
    test::TempStore s;
    test::addRecord(*s.db, "甲库", 1, "");
    EXPECT_EQ(exportRefusal(*s.db), kUnvalidatedRecords);
    s.db->exec("UPDATE TZ_XIANGMU SET 校验状态=' 1'");
    EXPECT_EQ(exportRefusal(*s.db), kUnvalidatedRecords);
}

TEST(ExportGate, NoRecordsRefuses)
{
    test::TempStore s;
    EXPECT_EQ(exportRefusal(*s.db), kNoRecords);
}

TEST(ExportGate, MoreRecordsThanOneSheetHoldsRefusesInsteadOfWritingABrokenFile)
{
    test::TempStore s;
    addBareRecords(*s.db, 65535);
    EXPECT_EQ(exportRefusal(*s.db), std::nullopt);
    addBareRecords(*s.db, 1);
    EXPECT_EQ(exportRefusal(*s.db), kTooManyRecords);
}

TEST(ExportGate, LogLongerThanOneSheetRefuses)
{
    test::TempStore s;
    test::addRecord(*s.db, "甲库");
    s.db->exec("WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM k WHERE i<65536) "
               "INSERT INTO 修改日志(企业名称) SELECT 'r'||i FROM k");
    EXPECT_EQ(exportRefusal(*s.db), kTooManyLogRows);
}

TEST(UploadSheets, RecordSheetHasColumnsTwoToLastAndOneRowPerRecordIndicatorsAsNumbers)
{
    test::TempStore s;
    addDemoRecords(*s.db, 3, 5);
    s.db->exec("UPDATE TZ_XIANGMU SET 空地面积=NULL, 库区数=0.25, 填报日期='2014-03-05', "
               "修改时间='2014-03-05 09:05:07' WHERE ID=2");
    RecordingSink sink;
    NoProgress none;
    fillUploadSheets(*s.db, sink, 0, 1, none);
    const auto &rec = sink.sheets[0];
    ASSERT_EQ(rec.size(), 4u);
    ASSERT_EQ(rec[0].size(), 94u);
    EXPECT_EQ(rec[0][0], "企业名称");
    EXPECT_EQ(rec[0][93], "校验状态");
    for (const auto &h : rec[0])
        EXPECT_NE(h, "ID");
    EXPECT_EQ(cell(rec, 2, 0), s.db->scalar("SELECT 企业名称 FROM TZ_XIANGMU WHERE ID=2").toStdString());
    EXPECT_EQ(cell(rec, 2, 17), "") << "no value gives an empty cell";
    EXPECT_EQ(cell(rec, 2, 18), "0.25");
    EXPECT_EQ(cell(rec, 2, 91), "2014-03-05");
    EXPECT_EQ(cell(rec, 2, 92), "2014-03-05 9:05:07");
    EXPECT_EQ(cell(rec, 1, 16), s.db->scalar("SELECT 占地面积 FROM TZ_XIANGMU WHERE ID=1").toStdString());
    // The 72 indicators are numbers; identity, year, dates and 校验状态 keep their form as text.
    for (int c = 0; c < 94; ++c)
        EXPECT_EQ(sink.isNumber(0, 1, c), c >= 16 && c < 88) << "column " << c << " " << rec[0][size_t(c)];
    EXPECT_FALSE(sink.isNumber(0, 2, 17)) << "an absent value is no cell at all";
}

TEST(UploadSheets, HeaderFollowsTheTableNotAFixedList)
{
    test::TempStore s;
    test::addRecord(*s.db, "甲库");
    test::addLogRow(*s.db, "甲库", "占地面积");
    s.db->exec("ALTER TABLE 修改日志 ADD COLUMN 新列 TEXT NOT NULL DEFAULT 'x'");
    RecordingSink sink;
    NoProgress none;
    fillUploadSheets(*s.db, sink, 0, 1, none);
    EXPECT_EQ(sink.sheets[1][0].back(), "新列");
    EXPECT_EQ(cell(sink.sheets[1], 1, 10), "x");
}

TEST(UploadSheets, LogSheetSkipsItsFirstColumnAndKeepsItsHeaderWhenEmpty)
{
    test::TempStore s;
    test::addRecord(*s.db, "甲库");
    RecordingSink empty;
    NoProgress none;
    fillUploadSheets(*s.db, empty, 0, 1, none);
    ASSERT_EQ(empty.sheets[1].size(), 1u);
    EXPECT_EQ(empty.sheets[1][0].front(), "企业名称");
    EXPECT_EQ(empty.sheets[1][0].size(), 10u);
    for (const auto &h : empty.sheets[1][0])
        EXPECT_NE(h, "组织机构代码");

    test::addLogRow(*s.db, "甲库", "占地面积");
    RecordingSink one;
    fillUploadSheets(*s.db, one, 0, 1, none);
    EXPECT_EQ(one.sheets[1][1],
              (std::vector<std::string>{"甲库", "河南省", "郑州市", "中原区", "410102", "占地面积", "1", "2",
                                        "2014-03-05 9:05:07"}))
        << "the log's time stays as written, the empty 附注 adds no cell";
}

TEST(UploadSheets, ProgressRunsToRecordsPlusFiveAndStaysFull)
{
    test::TempStore s;
    addDemoRecords(*s.db, 10, 2);
    for (int i = 0; i < 4; ++i)
        test::addLogRow(*s.db, "x", "y");
    RecordingSink sink;
    RecordingProgress p;
    fillUploadSheets(*s.db, sink, 0, 1, p);
    EXPECT_EQ(p.maximum, 15);
    ASSERT_FALSE(p.values.empty());
    EXPECT_EQ(p.values.front(), 0);
    EXPECT_EQ(p.values.back(), 15);
    EXPECT_TRUE(std::is_sorted(p.values.begin(), p.values.end()));
}

class UploadWorkbook : public ::testing::Test {
protected:
    test::TempStore s;
    QString templ = test::installTemplate(s.home());
    void SetUp() override
    {
        addDemoRecords(*s.db, 30, 9);
        test::addLogRow(*s.db, "甲库", "占地面积");
    }
};

TEST_F(UploadWorkbook, FileReadsBackAsTheSheetsWereFilled)
{
    RecordingSink expected;
    NoProgress none;
    fillUploadSheets(*s.db, expected, 0, 1, none);
    const QString out = s.file("上报.xls");
    writeUploadWorkbook(*s.db, templ, out, none);
    const auto book = xls::WorkbookReader::open(out.toStdString());
    const auto names = book.sheetNames();
    ASSERT_GE(names.size(), 2u);
    EXPECT_EQ(names[0], "数据信息");
    EXPECT_EQ(book.readSheet("说明"), (test::Rows{{"本工作簿由系统生成"}})) << "the rest of the template is kept";
    for (int sheet = 0; sheet < 2; ++sheet) {
        const auto got = book.readSheet(names[size_t(sheet)]);
        const auto &want = expected.sheets[sheet];
        ASSERT_EQ(got.size(), want.size());
        for (size_t r = 0; r < want.size(); ++r)
            for (size_t c = 0; c < 94; ++c)
                EXPECT_EQ(cell(got, r, c), cell(want, r, c)) << "sheet " << sheet << " row " << r << " col " << c;
    }
}

// In the file itself, read by python3-xlrd: the 72 indicators are number cells a spreadsheet
// adds up, every identity column, 年度, the dates and 校验状态 stay text with their zeros;
// the import reads the numbers back into the same records.
TEST_F(UploadWorkbook, IndicatorsAreNumberCellsCodesKeepTheirZerosAndImportReadsThemBack)
{
    s.db->exec("UPDATE TZ_XIANGMU SET 邮政编码='010010', 组织机构代码='00123456-7', 联系电话='13937100000', "
               "行政区划代码='010101', 占地面积=0.1+0.2, 空地面积=123456789012345, 库区数=NULL WHERE ID=1");
    NoProgress none;
    const QString out = s.file("上报.xls");
    writeUploadWorkbook(*s.db, templ, out, none);
    const test::XlsCells x = test::readWithXlrd(out);
    ASSERT_TRUE(x.ok);
    const QStringList header = s.db->columns("TZ_XIANGMU").mid(1);
    const auto column = [&](const char *name) { return int(header.indexOf(QString::fromUtf8(name))) + 1; };
    for (int c = 1; c <= 94; ++c)
        EXPECT_EQ(x.isNumber(2, c), c >= 17 && c <= 88 && c != column("库区数")) << header[c - 1].toStdString();
    EXPECT_EQ(x.at(2, column("邮政编码")), "010010");
    EXPECT_EQ(x.at(2, column("组织机构代码")), "00123456-7");
    EXPECT_EQ(x.at(2, column("联系电话")), "13937100000");
    EXPECT_EQ(x.at(2, column("行政区划代码")), "010101");
    EXPECT_EQ(x.at(2, column("占地面积")), "0.3");
    EXPECT_EQ(x.at(2, column("空地面积")), "123456789012345");
    EXPECT_EQ(x.at(2, column("库区数")), "");

    const QList<QStringList> before = test::recordRows(*s.db, false);
    test::TempStore other;
    importUploadWorkbook(*other.db, out, none, "测试员");
    EXPECT_EQ(test::recordRows(*other.db, false), before);
}

TEST_F(UploadWorkbook, ShippedTemplateHasTheSheetsTheImportNeeds)
{
    const QString shipped = QStringLiteral(KESTROVA_BIN_DIR "/templet/out.xls");
    if (!QFile::exists(shipped))
        GTEST_SKIP() << "kestrova-make-templates has not been built";
    NoProgress none;
    const QString out = s.file("上报.xls");
    writeUploadWorkbook(*s.db, shipped, out, none);
    const auto names = xls::WorkbookReader::open(out.toStdString()).sheetNames();
    ASSERT_GE(names.size(), 2u);
    EXPECT_EQ(names[0], "数据信息");
}

TEST_F(UploadWorkbook, MissingTemplateWritesNothing)
{
    NoProgress none;
    const QString out = s.file("上报.xls");
    EXPECT_THROW(writeUploadWorkbook(*s.db, s.file("templet/none.xls"), out, none), TransferError);
    EXPECT_FALSE(QFile::exists(out));
}

TEST_F(UploadWorkbook, UnwritablePathFailsWithoutLeavingAFile)
{
    NoProgress none;
    QFile blocker(s.file("占位"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    try {
        writeUploadWorkbook(*s.db, templ, s.file("占位/上报.xls"), none);
        FAIL() << "a path under a plain file was written";
    } catch (const TransferError &e) {
        EXPECT_EQ(e.message(), kExportFailed);
        EXPECT_FALSE(e.cause().isEmpty());
    }
    EXPECT_EQ(QDir(s.home()).entryList(QDir::Files).filter(".xls").size(), 0);
}
