// The template filler: the given cells get texts and everything else stays as the template
// has it, for templates from our writer and hand-built ones with MULRK, MULBLANK, formulas
// and INDEX records (templates saved by LibreOffice are in interop_test.cpp).
#include "xls/errors.h"
#include "xls/reader.h"
#include "xls/template_filler.h"
#include "xls/writer.h"
#include "xls_test_support.h"

#include <gtest/gtest.h>

using namespace kestrova::xls;
using xlstest::StreamBuilder;
using xlstest::TempDir;
using Grid = std::vector<std::vector<std::string>>;

namespace {

std::vector<std::vector<std::string>> xlrdFormats(const std::string &path)
{
    bool ok = false;
    auto lines = xlstest::parseTsv(xlstest::run(xlstest::python() + " " + xlstest::script("xlrd_formats.py") + " " + path, ok));
    EXPECT_TRUE(ok) << "xlrd could not read " << path;
    return lines;
}

// A report-like template: a merged bordered title, a bordered header, numbers, sizes, and a
// second sheet.
void writeReportTemplate(const std::string &path)
{
    Workbook book;
    CellFormat title;
    title.bold = true;
    title.fontHeightPt = 16;
    title.hAlign = CellFormat::HAlign::Center;
    title.border = true;
    CellFormat boxed;
    boxed.border = true;
    const int t = book.addFormat(title), box = book.addFormat(boxed);
    Sheet &s = book.addSheet("表1");
    s.setText(0, 0, "表1-1 汇总表", t);
    s.merge(0, 0, 0, 4);
    for (int c = 0; c < 5; ++c)
        s.setText(1, c, "列" + std::to_string(c), box);
    s.setNumber(2, 0, 12.5, box);
    s.setBlank(2, 1, box);
    s.setText(3, 0, "地区");
    s.setColumnWidth(0, 24);
    s.setRowHeight(1, 28);
    Sheet &log = book.addSheet("说明");
    log.setText(0, 0, "不变");
    log.setNumber(1, 1, 3);
    book.save(path);
}

TEST(XlsTemplateFiller, WriterTemplateKeepsEverythingElse)
{
    TempDir dir;
    const std::string tpl = dir.file("template.xls"), out = dir.file("filled.xls");
    writeReportTemplate(tpl);
    const auto before = xlrdFormats(tpl);

    TemplateFiller filler(tpl);
    ASSERT_EQ(filler.sheetCount(), 2);
    EXPECT_EQ(filler.sheetName(0), "表1");
    EXPECT_EQ(filler.sheetIndex("说明"), 1);
    EXPECT_EQ(filler.text(0, 0, 0), "表1-1 汇总表");
    EXPECT_EQ(filler.text(0, 2, 0), "12.5");
    // One export reads the title back and appends to it.
    filler.setText(0, 0, 0, filler.text(0, 0, 0) + "（国有企业）");
    filler.setText(0, 2, 0, "99");          // a number cell becomes text, same format
    filler.setText(0, 2, 1, "甲");          // a formatted blank
    filler.setText(0, 0, 3, "hidden");      // inside the merged title: goes to its top-left cell
    EXPECT_EQ(filler.text(0, 0, 0), "hidden");
    filler.setText(0, 0, 0, "表1-1 汇总表（国有企业）");
    filler.setText(0, 20, 7, "new row and column"); // beyond the used range
    filler.setText(0, 21, 7, "列0");                 // a text the template already holds
    filler.save(out);

    const Grid got = readSheetCells(out, "表1");
    ASSERT_EQ(got.size(), 22u);
    EXPECT_EQ(got[0], std::vector<std::string>{"表1-1 汇总表（国有企业）"});
    EXPECT_EQ(got[1], (std::vector<std::string>{"列0", "列1", "列2", "列3", "列4"}));
    EXPECT_EQ(got[2], (std::vector<std::string>{"99", "甲"}));
    EXPECT_EQ(got[3], std::vector<std::string>{"地区"});
    EXPECT_EQ(got[20].at(7), "new row and column");
    EXPECT_EQ(got[21].at(7), "列0");
    EXPECT_EQ(readSheetCells(out, "说明"), (Grid{{"不变"}, {"", "3"}}));

    // xlrd: every formatting line of the template is unchanged, except that the filled
    // sheet grew (its size line) and gained the two new cells' XF lines.
    const auto after = xlrdFormats(out);
    std::set<std::vector<std::string>> afterSet(after.begin(), after.end());
    for (const auto &line : before) {
        if (line[0] == "sheet" && line[1] == "表1")
            continue;
        EXPECT_TRUE(afterSet.count(line)) << "lost: " << ::testing::PrintToString(line);
    }
    const auto walk = xlstest::walkWorkbook(out);
    EXPECT_TRUE(walk.problems.empty()) << ::testing::PrintToString(walk.problems);
    EXPECT_EQ(walk.xfs[0].at({20, 7}), 15) << "a new cell gets the default cell format";
    EXPECT_EQ(walk.xfs[0].at({2, 1}), walk.xfs[0].at({2, 0})) << "existing cells keep their format";
}

// A hand-built template: MULRK and MULBLANK covering targets, a formula with its STRING, a
// shared formula, a column format, and an INDEX in the untouched second sheet.
TEST(XlsTemplateFiller, SplitsMultipleCellRecordsAndReplacesFormulas)
{
    TempDir dir;
    using S = StreamBuilder;
    StreamBuilder b;
    b.globals({"数据信息", "其他"}, {}, {0, 0}, false, S::rec(0x00FC, S::u32(1) + S::u32(1) + S::u16(3) + '\0' + "old"));
    const std::string tail = S::u16(0) + S::u32(0) + S::u16(0) + S::u16(0);
    std::string cells = S::rec(0x007D, S::u16(5) + S::u16(6) + S::u16(2000) + S::u16(17) + S::u16(0) + S::u16(0)) +
                        S::rec(0x0200, S::u32(0) + S::u32(4) + S::u16(0) + S::u16(3) + S::u16(0)) +
                        S::rec(0x0208, S::u16(0) + S::u16(0) + S::u16(3) + S::u16(400) + S::u32(0) + S::u32(0x000F0140)) +
                        S::rec(0x00BD, S::u16(0) + S::u16(0) + S::u16(16) + S::u32((1u << 2) | 2) + S::u16(16) +
                                           S::u32((2u << 2) | 2) + S::u16(16) + S::u32((3u << 2) | 2) + S::u16(2)) +
                        S::rec(0x00BE, S::u16(1) + S::u16(0) + S::u16(16) + S::u16(17) + S::u16(16) + S::u16(2)) +
                        S::rec(0x0006, S::cell(2, 0, 16) + std::string("\0\0\0\0\0\0\xFF\xFF", 8) + tail) +
                        S::rec(0x0207, S::u16(6) + '\0' + "cached") +
                        S::rec(0x0006, S::cell(3, 0, 16) + S::f64(7) + tail) + S::rec(0x04BC, std::string(10, '\0')) +
                        S::rec(0x00FD, S::cell(3, 1, 16) + S::u32(0));
    b.sheet(cells);
    // INDEX: reserved, first row, last row + 1, DEFCOLWIDTH offset, one DBCELL offset (absolute)
    b.sheet(S::rec(0x020B, S::u32(0) + S::u32(0) + S::u32(1) + S::u32(0) + S::u32(1234)) +
            S::rec(0x00FD, S::cell(0, 0, 16) + S::u32(0)));
    const std::string tpl = dir.file("hand.xls"), out = dir.file("out.xls");
    b.save(tpl);

    TemplateFiller filler(tpl);
    EXPECT_EQ(filler.text(0, 0, 1), "2");
    EXPECT_EQ(filler.text(0, 2, 0), "cached");
    filler.setText(0, 0, 1, "mid");   // the middle of a MULRK
    filler.setText(0, 1, 1, "blank"); // the middle of a MULBLANK
    filler.setText(0, 2, 0, "was a formula");
    filler.setText(0, 4, 5, "column format");
    filler.setText(0, 4, 0, "default format");
    filler.setText(0, 3, 0, "x"); // the first cell of a shared formula no other cell uses
    filler.save(out);

    EXPECT_EQ(readSheetCells(out, "数据信息"),
              (Grid{{"1", "mid", "3"}, {"", "blank"}, {"was a formula"}, {"x", "old"}, {"default format", "", "", "", "", "column format"}}));
    EXPECT_EQ(readSheetCells(out, "其他"), Grid{{"old"}});
    const auto walk = xlstest::walkWorkbook(out);
    EXPECT_TRUE(walk.problems.empty()) << ::testing::PrintToString(walk.problems);
    EXPECT_EQ(walk.xfs[0].at({0, 1}), 16);
    EXPECT_EQ(walk.xfs[0].at({1, 1}), 17) << "the MULBLANK's own XF for that cell";
    EXPECT_EQ(walk.xfs[0].at({1, 2}), 16);
    EXPECT_EQ(walk.xfs[0].at({4, 5}), 17) << "a new cell takes its column's format";
    EXPECT_EQ(walk.xfs[0].at({4, 0}), 15);
    // The untouched sheet moved; its INDEX moved with it.
    const std::string stream = readWorkbookStream(out);
    const size_t index = stream.find(std::string("\x0B\x02\x14\x00", 4));
    ASSERT_NE(index, std::string::npos);
    const uint32_t dbcell = kestrova::xls::rd32(reinterpret_cast<const uint8_t *>(stream.data()) + index + 4 + 16);
    const size_t newSheet2 = index - 20; // the sheet's BOF record comes just before
    const size_t templateSheet2 = b.b.bytes.find(std::string("\x0B\x02\x14\x00", 4)) - 20;
    EXPECT_EQ(int64_t(dbcell) - 1234, int64_t(newSheet2) - int64_t(templateSheet2));
}

TEST(XlsTemplateFiller, ArgumentsCheckedBeforeAnythingChanges)
{
    TempDir dir;
    const std::string tpl = dir.file("template.xls");
    writeReportTemplate(tpl);
    TemplateFiller filler(tpl);
    auto expectError = [&](auto &&call, ErrorCode code) {
        try {
            call();
            ADD_FAILURE() << "accepted";
        } catch (const XlsError &e) {
            EXPECT_EQ(e.code(), code) << e.what();
        }
    };
    expectError([&] { filler.setText(2, 0, 0, "x"); }, ErrorCode::SheetIndexOutOfRange);
    expectError([&] { filler.setText(-1, 0, 0, "x"); }, ErrorCode::SheetIndexOutOfRange);
    expectError([&] { filler.setText(0, 65536, 0, "x"); }, ErrorCode::RowOutOfRange);
    expectError([&] { filler.setText(0, 0, 256, "x"); }, ErrorCode::ColumnOutOfRange);
    expectError([&] { filler.setText(0, 3, 0, std::string(32768, 'x')); }, ErrorCode::TextTooLong);
    expectError([&] { filler.setText(0, 3, 0, "\xFF"); }, ErrorCode::InvalidText);
    expectError([&] { (void)filler.sheetName(2); }, ErrorCode::SheetIndexOutOfRange);
    filler.setText(0, 65535, 255, std::string(32767, 'y')); // the last valid cell and length
    EXPECT_EQ(filler.text(0, 3, 0), "地区");
    filler.save(dir.file("out.xls"));
    const Grid got = readSheetCells(dir.file("out.xls"), "表1");
    ASSERT_EQ(got.size(), 65536u);
    EXPECT_EQ(got[3], std::vector<std::string>{"地区"});
    EXPECT_EQ(got[65535][255].size(), 32767u);
    size_t files = 0;
    for (const auto &e : std::filesystem::directory_iterator(dir.path()))
        files += e.is_regular_file();
    EXPECT_EQ(files, 2u) << "template and copy only: the temporary file was renamed into place";
}

// The upload workbook's shape through the filler: rows of 94 texts, many repeated.
TEST(XlsTemplateFiller, UploadShapedSheetRoundTrips)
{
    TempDir dir;
    Workbook book;
    book.addSheet("数据信息");
    book.addSheet("修改日志");
    book.save(dir.file("out-template.xls"));
    TemplateFiller filler(dir.file("out-template.xls"));
    Grid expected(3001);
    for (int r = 0; r <= 3000; ++r)
        for (int c = 0; c < 94; ++c) {
            const std::string v = r == 0 ? "列" + std::to_string(c) : c < 16 ? "企业" + std::to_string(r) + "-" + std::to_string(c)
                                                                      : std::to_string((r * c) % 97);
            filler.setText(0, r, c, v);
            expected[size_t(r)].push_back(v);
        }
    filler.setText(1, 0, 0, "企业名称");
    filler.save(dir.file("upload.xls"));
    EXPECT_EQ(readSheetCells(dir.file("upload.xls"), "数据信息"), expected);
    EXPECT_EQ(readSheetCells(dir.file("upload.xls"), "修改日志"), Grid{{"企业名称"}});
    bool ok = false;
    const std::string last = xlstest::run(xlstest::python() + " -c \"import xlrd; s = xlrd.open_workbook('" + dir.file("upload.xls") +
                                              "').sheet_by_name('数据信息'); print(s.nrows, s.ncols, s.cell_value(3000, 93))\"",
                                          ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(last, "3001 94 " + expected[3000][93] + "\n");
}

} // namespace
