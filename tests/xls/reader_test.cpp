// The reader on workbooks other programs write: python3-xlwt fixtures made at test time, and
// streams built record by record for what no program here writes on demand (strings split
// over CONTINUE records, rich and phonetic strings, cached formula results, CJK date formats,
// the 1904 date system, rows stored out of order, the mini stream).
#include "xls/errors.h"
#include "xls/reader.h"
#include "xls_test_support.h"

#include <gtest/gtest.h>

using namespace kestrova::xls;
using xlstest::StreamBuilder;
using xlstest::TempDir;
using Grid = std::vector<std::vector<std::string>>;

namespace {

Grid xlwtFixture(const TempDir &dir, bool date1904)
{
    const std::string path = dir.file(date1904 ? "xlwt1904.xls" : "xlwt.xls");
    bool ok = false;
    xlstest::run(xlstest::python() + " " + xlstest::script("make_xlwt_fixture.py") + " " + path + (date1904 ? " --1904" : ""), ok);
    EXPECT_TRUE(ok) << "python3-xlwt could not write the fixture";
    return readSheetCells(path, "数据信息");
}

TEST(XlsReaderForeign, XlwtTypedCellsReadAsShown)
{
    TempDir dir;
    const Grid expected = {
        {"企业名称", "Ünïcode ß", "粮油仓储"},
        {"0", "1", "-1", "0.5", "1234567.891", "1E-06", "1.23456789012346E+17", "0.3", "2.5E+15", "-0.00001234"},
        {"2013-05-01", "2013-05-01 8:05:09", "2013-12-31", "45000.75", "-3.5", "2023-03-15 18:00:00", "0.25"},
        {"1900-01-01", "1900-02-28", "1900-02-29", "1900-03-01"},
        {"TRUE", "FALSE", "#DIV/0!", "#N/A", ""}, // the formula's cached result is an empty text
        {"合并"},
    };
    EXPECT_EQ(xlwtFixture(dir, false), expected);

    Grid in1904 = expected;
    in1904[2][5] = "2027-03-16 18:00:00";
    in1904[3] = {"1904-01-02", "1904-02-29", "1904-03-01", "1904-03-02"};
    EXPECT_EQ(xlwtFixture(dir, true), in1904);
}

// A workbook exercising every cell record and string layout the reader handles.
StreamBuilder handBuilt(bool date1904)
{
    using S = StreamBuilder;
    // SST: "Hello"; "abc" then, after a CONTINUE with flag byte 1, "粮油仓" in UTF-16;
    // "rich" with two runs cut by the next CONTINUE (no flag byte there); "ab" with a
    // phonetic block; "仓储" in UTF-16 from the start.
    std::string sst = S::u32(9) + S::u32(5) + S::u16(5) + '\0' + "Hello" + S::u16(6) + '\0' + "abc";
    std::string cont1 = std::string(1, '\1') + StreamBuilder::wide(u"粮油仓") + S::u16(4) + '\x08' + S::u16(2) + "rich" +
                        S::u32(0x00050000) + S::u16(2);
    std::string cont2 = S::u16(6) + S::u16(2) + '\x04' + S::u32(6) + "ab" + std::string(6, '\x11') + S::u16(2) + '\1' +
                        StreamBuilder::wide(u"仓储");
    const std::string sstRecords = S::rec(0x00FC, sst) + S::rec(0x003C, cont1) + S::rec(0x003C, cont2);
    StreamBuilder b;
    // XF 16.. : format ids 14, 22, 31, 57, 58, 164 (a Chinese date), 165 (not a date)
    b.globals({"数据信息", "图表"}, {{164, "yyyy\"年\"m\"月\"d\"日\""}, {165, "[Red]0.00;\"day \"0"}},
              {14, 22, 31, 57, 58, 164, 165}, date1904, sstRecords);
    std::string cells;
    for (uint16_t i = 0; i < 5; ++i)
        cells += S::rec(0x00FD, S::cell(0, i, 15) + S::u32(i));
    cells += S::rec(0x0204, S::cell(1, 0, 15) + S::latin("label \xE9"));
    cells += S::rec(0x027E, S::cell(1, 1, 15) + S::u32((42u << 2) | 2));
    cells += S::rec(0x027E, S::cell(1, 2, 15) + S::u32((123u << 2) | 3));
    cells += S::rec(0x027E, S::cell(1, 3, 15) + S::u32(0x3FE00000));
    cells += S::rec(0x00BD, S::u16(1) + S::u16(4) + S::u16(15) + S::u32((7u << 2) | 2) + S::u16(15) +
                                S::u32(uint32_t(-7) << 2 | 2) + S::u16(16) + S::u32((41395u << 2) | 2) + S::u16(6));
    for (uint16_t i = 0; i < 7; ++i)
        cells += S::rec(0x0203, S::cell(2, i, uint16_t(16 + i)) + S::f64(i == 2 || i == 3 || i == 4 ? 41395 : 45000.75));
    const double serials[] = {1, 59, 60, 61, 0};
    for (uint16_t i = 0; i < 5; ++i)
        cells += S::rec(0x0203, S::cell(3, i, 16) + S::f64(serials[i]));
    const std::string tail = S::u16(0) + S::u32(0) + std::string(2, '\0') + S::u16(0);
    cells += S::rec(0x0006, S::cell(4, 0, 15) + S::f64(3) + tail);
    cells += S::rec(0x0006, S::cell(4, 1, 15) + std::string("\0\0\0\0\0\0\xFF\xFF", 8) + tail) +
             S::rec(0x04BC, std::string(10, '\0')) + S::rec(0x0207, S::u16(4) + '\1' + StreamBuilder::wide(u"公式结果"));
    cells += S::rec(0x0006, S::cell(4, 2, 15) + std::string("\1\0\1\0\0\0\xFF\xFF", 8) + tail);
    cells += S::rec(0x0006, S::cell(4, 3, 15) + std::string("\2\0\7\0\0\0\xFF\xFF", 8) + tail);
    cells += S::rec(0x0006, S::cell(4, 4, 15) + std::string("\3\0\0\0\0\0\xFF\xFF", 8) + tail);
    cells += S::rec(0x0201, S::cell(4, 9, 15)); // a blank after the last value does not widen the row
    cells += S::rec(0x00BE, S::u16(6) + S::u16(0) + S::u16(15) + S::u16(15) + S::u16(15) + S::u16(2)); // blanks only
    cells += S::rec(0x00FD, S::cell(8, 1, 15) + S::u32(4)); // stored before row 7: out of order
    cells += S::rec(0x00D6, S::cell(7, 0, 15) + S::latin("rstring") + S::u16(0));
    // An embedded chart's substream: its records are not cells of the sheet.
    cells += S::rec(0x0809, S::u16(0x0600) + S::u16(0x20) + std::string(12, '\0')) +
             S::rec(0x00FD, S::cell(9, 0, 15) + S::u32(0)) + S::rec(0x000A, "");
    b.sheet(cells);
    b.sheet("");
    // The second BOUNDSHEET is a chart sheet (type 2).
    return b;
}

const Grid handBuiltExpected = {
    {"Hello", "abc粮油仓", "rich", "ab", "仓储"},
    {"label é", "42", "1.23", "0.5", "7", "-7", "2013-05-01"},
    {"2023-03-15 18:00:00", "2023-03-15 18:00:00", "2013-05-01", "2013-05-01", "2013-05-01", "2023-03-15 18:00:00", "45000.75"},
    {"1900-01-01", "1900-02-28", "1900-02-29", "1900-03-01", "1899-12-31"},
    {"3", "公式结果", "TRUE", "#DIV/0!", ""},
    {},
    {},
    {"rstring"},
    {"", "仓储"},
};

TEST(XlsReaderRecords, EveryCellRecordAndStringLayout)
{
    TempDir dir;
    StreamBuilder b = handBuilt(false);
    // Mark the second sheet a chart sheet: it is not listed among the worksheets.
    const size_t at = b.b.bytes.find(StreamBuilder::wide(u"图表")) - 3; // BOUNDSHEET: offset, visibility, type, length, flags, name
    b.b.bytes[at] = 2;
    b.save(dir.file("hand.xls"));
    const auto reader = WorkbookReader::open(dir.file("hand.xls"));
    EXPECT_EQ(reader.sheetNames(), std::vector<std::string>{"数据信息"});
    EXPECT_EQ(reader.readSheet("数据信息"), handBuiltExpected);
    std::vector<int> rows;
    reader.forEachRow("数据信息", [&rows](int row, const std::vector<std::string> &) { rows.push_back(row); });
    EXPECT_EQ(rows, (std::vector<int>{0, 1, 2, 3, 4, 7, 8})) << "rows in order, rows of blanks skipped";
}

// The quick ways through a sheet an import takes must show what forEachRow shows. The
// sheet stores a row out of order, so its cells are gathered first: a shared string's
// text must still outlive the walk, as an import keeps it until the row is written.
TEST(XlsReaderRecords, RowViewsRowAndColumnSurveyAgreeWithTheRows)
{
    TempDir dir;
    handBuilt(false).save(dir.file("hand.xls"));
    const auto reader = WorkbookReader::open(dir.file("hand.xls"));
    Grid viewed;
    std::vector<std::string_view> kept;
    reader.forEachRowView("数据信息", [&](int row, const std::vector<WorkbookReader::CellView> &cells) {
        viewed.resize(size_t(row) + 1);
        for (const auto &c : cells) {
            viewed[size_t(row)].emplace_back(c.text);
            if (c.sharedString != kNotShared) {
                EXPECT_LT(c.sharedString, reader.sharedStringCount());
                kept.push_back(c.text);
            }
        }
    });
    EXPECT_EQ(viewed, handBuiltExpected);
    EXPECT_EQ(std::vector<std::string>(kept.begin(), kept.end()),
              (std::vector<std::string>{"Hello", "abc粮油仓", "rich", "ab", "仓储", "仓储"}));

    for (int row : {0, 1, 4, 5, 8})
        EXPECT_EQ(reader.readRow("数据信息", row), handBuiltExpected[size_t(row)]) << row;
    EXPECT_TRUE(reader.readRow("数据信息", 300).empty());

    const auto survey = reader.surveyColumn("数据信息", 1);
    EXPECT_EQ(survey.rowsWithCells, 8u) << "rows 0-4, the row of blanks, 7 and 8";
    std::vector<std::string> column;
    for (const auto &row : handBuiltExpected)
        column.push_back(row.size() > 1 ? row[1] : "");
    EXPECT_EQ(survey.texts, column);
    EXPECT_EQ(reader.rowsWithCells("数据信息"), 8u);
}

TEST(XlsReaderRecords, DateSystem1904AndMiniStream)
{
    TempDir dir;
    StreamBuilder b = handBuilt(true);
    ASSERT_LT(b.b.bytes.size(), 4096u);
    xlstest::writeFile(dir.file("mini.xls"), xlstest::miniStreamFile(b.b.bytes));
    const Grid got = readSheetCells(dir.file("mini.xls"), "数据信息");
    ASSERT_EQ(got.size(), handBuiltExpected.size());
    EXPECT_EQ(got[0], handBuiltExpected[0]);
    EXPECT_EQ(got[2][2], "2017-05-02"); // 41395 days after 1904-01-01
    EXPECT_EQ(got[3], (std::vector<std::string>{"1904-01-02", "1904-02-29", "1904-03-01", "1904-03-02", "1904-01-01"}));
}

} // namespace
