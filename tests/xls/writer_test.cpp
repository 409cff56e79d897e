// The writer: each limit exactly (the last valid value passes, the next fails with its own
// error and changes nothing), and workbooks read back cell for cell by our reader and by
// python3-xlrd, formats and merges included, up to files that need DIFAT sectors.
#include "xls/errors.h"
#include "xls/general_number.h"
#include "xls/reader.h"
#include "xls/writer.h"
#include "xls_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

using namespace kestrova::xls;
using xlstest::TempDir;

namespace {

#define EXPECT_XLS_ERROR(statement, expected)                                                                  \
    do {                                                                                                       \
        try {                                                                                                  \
            statement;                                                                                         \
            ADD_FAILURE() << #statement " did not throw";                                                      \
        } catch (const XlsError &e) {                                                                          \
            EXPECT_EQ(e.code(), expected) << e.what();                                                         \
        }                                                                                                      \
    } while (0)

std::string repeat(const std::string &unit, size_t n)
{
    std::string s;
    for (size_t i = 0; i < n; ++i)
        s += unit;
    return s;
}

// Compares our reader's grid with xlrd's cells; reports the first difference.
void expectSameInXlrd(const std::string &path, const std::string &sheet,
                      const std::vector<std::vector<std::string>> &grid)
{
    bool ok = false;
    const auto lines = xlstest::parseTsv(
        xlstest::run(xlstest::python() + " " + xlstest::script("xlrd_dump.py") + " '" + path + "' '" + sheet + "'", ok));
    ASSERT_TRUE(ok) << "xlrd could not read " << path;
    std::map<std::pair<int, int>, std::string> xlrd;
    for (const auto &l : lines)
        if (!l.at(2).empty())
            xlrd[{std::stoi(l.at(0)), std::stoi(l.at(1))}] = l.at(2);
    size_t nonEmpty = 0;
    for (size_t r = 0; r < grid.size(); ++r)
        for (size_t c = 0; c < grid[r].size(); ++c) {
            if (grid[r][c].empty())
                continue;
            ++nonEmpty;
            const auto it = xlrd.find({int(r), int(c)});
            ASSERT_NE(it, xlrd.end()) << "xlrd misses row " << r << " column " << c;
            ASSERT_EQ(it->second, grid[r][c]) << "row " << r << " column " << c;
        }
    EXPECT_EQ(nonEmpty, xlrd.size());
}

TEST(XlsWriterLimits, LastValidPassesNextFails)
{
    Workbook book;
    Sheet &s = book.addSheet("数据信息");
    s.setText(65535, 255, "last cell");
    EXPECT_XLS_ERROR(s.setText(65536, 0, "x"), ErrorCode::RowOutOfRange);
    EXPECT_XLS_ERROR(s.setText(-1, 0, "x"), ErrorCode::RowOutOfRange);
    EXPECT_XLS_ERROR(s.setNumber(0, 256, 1), ErrorCode::ColumnOutOfRange);
    EXPECT_XLS_ERROR(s.setBlank(0, -1, 0), ErrorCode::ColumnOutOfRange);

    s.setText(1, 0, std::string(32767, 'a'));
    EXPECT_XLS_ERROR(s.setText(1, 1, std::string(32768, 'a')), ErrorCode::TextTooLong);
    s.setText(2, 0, repeat("粮", 32767));
    EXPECT_XLS_ERROR(s.setText(2, 1, repeat("粮", 32768)), ErrorCode::TextTooLong);
    // A character outside the BMP takes two of the 32,767 UTF-16 units.
    s.setText(3, 0, repeat("😀", 16383) + "a");
    EXPECT_XLS_ERROR(s.setText(3, 1, repeat("😀", 16384)), ErrorCode::TextTooLong);
    EXPECT_XLS_ERROR(s.setText(3, 2, std::string("\xE7\xB2", 2)), ErrorCode::InvalidText);

    EXPECT_XLS_ERROR(s.setNumber(4, 0, NAN), ErrorCode::NumberNotFinite);
    EXPECT_XLS_ERROR(s.setNumber(4, 0, INFINITY), ErrorCode::NumberNotFinite);
    EXPECT_XLS_ERROR(s.setText(4, 0, "x", 1), ErrorCode::FormatOutOfRange);
    EXPECT_XLS_ERROR(s.setText(4, 0, "x", -1), ErrorCode::FormatOutOfRange);

    s.setColumnWidth(0, 255);
    EXPECT_XLS_ERROR(s.setColumnWidth(0, 255.01), ErrorCode::ColumnWidthOutOfRange);
    EXPECT_XLS_ERROR(s.setColumnWidth(0, -0.5), ErrorCode::ColumnWidthOutOfRange);
    s.setRowHeight(0, 409);
    EXPECT_XLS_ERROR(s.setRowHeight(0, 409.05), ErrorCode::RowHeightOutOfRange);

    CellFormat f;
    f.fontHeightPt = 409;
    EXPECT_EQ(book.addFormat(f), 1);
    EXPECT_EQ(book.addFormat(f), 1) << "an identical format is shared";
    f.fontHeightPt = 410;
    EXPECT_XLS_ERROR(book.addFormat(f), ErrorCode::FontSizeOutOfRange);
    f.fontHeightPt = 11;
    f.fontName = std::string(32, 'A');
    EXPECT_XLS_ERROR(book.addFormat(f), ErrorCode::FontNameInvalid);

    s.merge(10, 0, 11, 3);
    EXPECT_XLS_ERROR(s.merge(11, 3, 12, 4), ErrorCode::MergeOverlap);
    EXPECT_XLS_ERROR(s.merge(12, 3, 11, 4), ErrorCode::BadMergeRange);
    EXPECT_XLS_ERROR(s.merge(0, 0, 65536, 1), ErrorCode::RowOutOfRange);

    // Nothing above changed the cells that were set.
    TempDir dir;
    book.save(dir.file("limits.xls"));
    const auto rows = readSheetCells(dir.file("limits.xls"), "数据信息");
    ASSERT_EQ(rows.size(), 65536u);
    EXPECT_EQ(rows[65535].size(), 256u);
    EXPECT_EQ(rows[65535][255], "last cell");
    ASSERT_EQ(rows[1].size(), 1u);
    EXPECT_EQ(rows[1][0].size(), 32767u);
    EXPECT_EQ(rows[2][0], repeat("粮", 32767));
    EXPECT_EQ(rows[3][0], repeat("😀", 16383) + "a");
    EXPECT_TRUE(rows[4].empty());
}

TEST(XlsWriterLimits, SheetNames)
{
    Workbook book;
    EXPECT_XLS_ERROR(book.save("/tmp/never-written.xls"), ErrorCode::NoSheets);
    book.addSheet(std::string(31, 'n'));
    book.addSheet(repeat("数", 31));
    EXPECT_XLS_ERROR(book.addSheet(std::string(32, 'm')), ErrorCode::SheetNameTooLong);
    EXPECT_XLS_ERROR(book.addSheet(repeat("数", 32)), ErrorCode::SheetNameTooLong);
    EXPECT_XLS_ERROR(book.addSheet(""), ErrorCode::SheetNameEmpty);
    for (char c : std::string("[]:*?/\\"))
        EXPECT_XLS_ERROR(book.addSheet(std::string("a") + c), ErrorCode::SheetNameInvalidChar);
    book.addSheet("Log");
    EXPECT_XLS_ERROR(book.addSheet("LOG"), ErrorCode::SheetNameDuplicate);
    EXPECT_EQ(book.sheetCount(), 3);
    EXPECT_XLS_ERROR(book.sheet(3), ErrorCode::SheetIndexOutOfRange);
    EXPECT_NE(std::string(describe(ErrorCode::SheetNameInvalidChar)).find("[ ] : * ? / \\"), std::string::npos);
}

TEST(XlsWriterSave, FailureLeavesNoFileBehindAndReplacesExistingFile)
{
    TempDir dir;
    Workbook book;
    book.addSheet("a").setText(0, 0, "new");
    EXPECT_XLS_ERROR(book.save(dir.file("missing-folder/out.xls")), ErrorCode::CannotWriteFile);
    xlstest::writeFile(dir.file("out.xls"), "old contents");
    book.save(dir.file("out.xls"));
    EXPECT_EQ(readSheetCells(dir.file("out.xls"), "a").at(0).at(0), "new");
    size_t files = 0;
    for (const auto &e : std::filesystem::directory_iterator(dir.path())) {
        (void)e;
        ++files;
    }
    EXPECT_EQ(files, 1u) << "no temporary file left beside the workbook";
}

// Texts (Chinese, long, many: the shared strings split over CONTINUE records), numbers of
// every RK form and beyond, and blanks, on two sheets: our reader and xlrd agree cell for cell.
TEST(XlsWriterRoundTrip, CellsReadBackInOurReaderAndXlrd)
{
    TempDir dir;
    Workbook book;
    Sheet &a = book.addSheet("数据信息");
    Sheet &b = book.addSheet("修改日志");
    std::vector<std::vector<std::string>> expectA, expectB;
    auto put = [](std::vector<std::vector<std::string>> &g, int r, int c, const std::string &v) {
        if (g.size() <= size_t(r))
            g.resize(size_t(r) + 1);
        if (g[size_t(r)].size() <= size_t(c))
            g[size_t(r)].resize(size_t(c) + 1);
        g[size_t(r)][size_t(c)] = v;
    };
    for (int i = 0; i < 3000; ++i) {
        const std::string t = (i % 3 == 0 ? "企业" : i % 3 == 1 ? "Firm é " : "混合 mixed ") + std::to_string(i);
        a.setText(i / 10, i % 10, t);
        put(expectA, i / 10, i % 10, t);
    }
    const std::string longLatin = repeat("abcdefghij", 3276) + "abcdefg";
    const std::string longChinese = repeat("粮油仓储", 8191) + "粮油仓";
    a.setText(300, 0, longLatin);
    a.setText(300, 1, longChinese);
    a.setText(300, 2, "粮油仓储"); // repeated text shares its string
    a.setText(300, 3, "");
    put(expectA, 300, 0, longLatin);
    put(expectA, 300, 1, longChinese);
    put(expectA, 300, 2, "粮油仓储");
    const double numbers[] = {0, 1, -1, 536870911, -536870912, 536870912, 1.23, -0.01, 0.1, 1e-6, 1e15,
                              123456789.123, 3.14159265358979, 2.5e-300, 1e300, 45000.75};
    const char *texts[] = {"0", "1", "-1", "536870911", "-536870912", "536870912", "1.23", "-0.01", "0.1",
                           "1E-06", "1E+15", "123456789.123", "3.14159265358979", "2.5E-300", "1E+300", "45000.75"};
    for (int i = 0; i < 16; ++i) {
        b.setNumber(1, i, numbers[i]);
        put(expectB, 1, i, texts[i]);
    }
    b.setText(0, 0, "企业名称");
    b.setText(0, 0, "替换后"); // setting a cell again replaces it
    put(expectB, 0, 0, "替换后");
    b.setBlank(2, 3, 0);
    b.setText(5, 200, "far right");
    b.setText(5, 2, "out of order");
    put(expectB, 5, 200, "far right");
    put(expectB, 5, 2, "out of order");
    book.save(dir.file("round.xls"));

    const auto reader = WorkbookReader::open(dir.file("round.xls"));
    EXPECT_EQ(reader.sheetNames(), (std::vector<std::string>{"数据信息", "修改日志"}));
    auto gotA = reader.readSheet("数据信息");
    auto gotB = reader.readSheet("修改日志");
    put(expectA, 300, 3, ""); // an empty text is a value: the row reaches it
    EXPECT_EQ(gotA, expectA);
    EXPECT_EQ(gotB, expectB);
    expectSameInXlrd(dir.file("round.xls"), "数据信息", gotA);
    expectSameInXlrd(dir.file("round.xls"), "修改日志", gotB);
}

// Fonts, alignment, wrap, borders, merges (with bordered hidden cells), column widths, row
// heights and the one selected sheet, as xlrd sees them.
TEST(XlsWriterRoundTrip, FormatsMergesAndSizesInXlrd)
{
    TempDir dir;
    Workbook book;
    CellFormat title;
    title.fontHeightPt = 16;
    title.bold = true;
    title.hAlign = CellFormat::HAlign::Center;
    title.vAlign = CellFormat::VAlign::Center;
    title.border = true;
    CellFormat wrapped;
    wrapped.wrap = true;
    wrapped.hAlign = CellFormat::HAlign::Right;
    wrapped.vAlign = CellFormat::VAlign::Top;
    const int t = book.addFormat(title), w = book.addFormat(wrapped);
    Sheet &s = book.addSheet("表");
    book.addSheet("第二");
    s.setText(0, 0, "标题", t);
    s.merge(0, 0, 1, 3);
    s.setText(2, 1, "wrapped text", w);
    s.setNumber(2, 2, 12.5);
    s.setColumnWidth(1, 20);
    s.setColumnWidth(2, 8.5);
    s.setRowHeight(2, 30);
    book.save(dir.file("formats.xls"));

    bool ok = false;
    const auto lines = xlstest::parseTsv(
        xlstest::run(xlstest::python() + " " + xlstest::script("xlrd_formats.py") + " " + dir.file("formats.xls"), ok));
    ASSERT_TRUE(ok);
    std::map<std::string, std::vector<std::string>> byKey;
    std::vector<std::string> merges, selected;
    for (const auto &l : lines) {
        if (l[0] == "merge")
            merges.push_back(l[2] + "," + l[3] + "," + l[4] + "," + l[5]);
        else if (l[0] == "sheet")
            selected.push_back(l[4]);
        else
            byKey[l[0] + ":" + l[1] + ":" + l[2] + (l[0] == "xf" ? ":" + l[3] : "")] = l;
    }
    EXPECT_EQ(merges, std::vector<std::string>{"0,2,0,4"});
    EXPECT_EQ(selected, (std::vector<std::string>{"1", "0"}));
    EXPECT_EQ(byKey.at("width:表:1").at(3), "5120");
    EXPECT_EQ(byKey.at("width:表:2").at(3), "2176");
    EXPECT_EQ(byKey.at("height:表:2").at(3), "600");
    // xf line: name row col xfx bold height hAlign vAlign wrap left right top bottom
    const auto &head = byKey.at("xf:表:0:0");
    EXPECT_EQ(head[5], "1");
    EXPECT_EQ(head[6], "320");
    EXPECT_EQ(head[7], "2");
    EXPECT_EQ(head[8], "1");
    EXPECT_EQ(std::vector<std::string>(head.begin() + 10, head.end()), (std::vector<std::string>{"1", "1", "1", "1"}));
    const auto &hidden = byKey.at("xf:表:1:3");
    EXPECT_EQ(hidden[4], head[4]) << "the hidden cells of a merge carry the block's format";
    const auto &wrap = byKey.at("xf:表:2:1");
    EXPECT_EQ(wrap[5], "0");
    EXPECT_EQ(wrap[6], "220");
    EXPECT_EQ(wrap[7], "3");
    EXPECT_EQ(wrap[8], "0");
    EXPECT_EQ(wrap[9], "1");
    EXPECT_EQ(byKey.at("xf:表:2:2").at(4), "15") << "format 0 is the default cell XF";
}

// Beyond about 7 MB the FAT needs DIFAT sectors: the header says so, and both readers get
// every cell, the last one included.
TEST(XlsWriterRoundTrip, LargeWorkbookWithDifatSectors)
{
    TempDir dir;
    Workbook book;
    Sheet &s = book.addSheet("big");
    for (int r = 0; r < 4300; ++r)
        for (int c = 0; c < 94; ++c)
            s.setNumber(r, c, r + c / 7.0); // not RK: a NUMBER record each
    s.setText(65535, 255, "最后");
    book.save(dir.file("big.xls"));
    const std::string bytes = xlstest::readFile(dir.file("big.xls"));
    ASSERT_GT(bytes.size(), 7150000u);
    EXPECT_GT(kestrova::xls::rd32(reinterpret_cast<const uint8_t *>(bytes.data()) + 0x48), 0u) << "DIFAT sectors";

    size_t rows = 0;
    std::string last;
    WorkbookReader::open(dir.file("big.xls")).forEachRow("big", [&](int row, const std::vector<std::string> &cells) {
        ++rows;
        if (row == 4299) {
            EXPECT_EQ(cells.at(0), "4299");
            EXPECT_EQ(cells.at(93), kestrova::xls::formatGeneral(4299 + 93 / 7.0));
        }
        if (row == 65535)
            last = cells.at(255);
    });
    EXPECT_EQ(rows, 4301u);
    EXPECT_EQ(last, "最后");
    bool ok = false;
    const std::string out = xlstest::run(xlstest::python() + " -c \"import xlrd; s = xlrd.open_workbook('" +
                                             dir.file("big.xls") + "').sheet_by_index(0); print(s.nrows, s.cell_value(65535, 255), s.cell_value(4299, 93))\"",
                                         ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(out, "65536 最后 4312.285714285715\n");
}

} // namespace
