// Workbooks as other programs save them, each variant built here and read by our reader,
// python3-xlrd or LibreOffice from the same file: the workbook stream under another name or
// next to an embedded workbook, formulas under their Excel 4 record number, numbers in
// scientific form and elapsed times, and the small defects other readers let pass.
#include "xls/compound_file.h"
#include "xls/errors.h"
#include "xls/reader.h"
#include "xls/template_filler.h"
#include "xls/writer.h"
#include "oracles.h"

#include <gtest/gtest.h>

using namespace kestrova::xls;
using xlstest::CfbNode;
using xlstest::Grid;
using xlstest::StreamBuilder;
using xlstest::TempDir;
using S = StreamBuilder;
namespace fs = std::filesystem;

namespace {

std::string xlwtWorkbook(const TempDir &dir, const std::string &name, int rows)
{
    const std::string path = dir.file(name);
    xlstest::runPython(xlstest::script("make_xlwt_rows.py") + " " + path + " " + std::to_string(rows));
    return path;
}

Grid ours(const std::string &path)
{
    const auto reader = WorkbookReader::open(path);
    return xlstest::trimmed(reader.readSheet(reader.sheetNames().at(0)));
}

// The workbook stream is found by the container's structure and told apart by its first
// record: a BIFF8 stream named "Book" or "BOOK" is read, the root's stream is read and
// not an embedded workbook's that the directory lists first.
TEST(XlsForeignWorkbooks, WorkbookStreamFoundByPlaceAndToldByItsBof)
{
    TempDir dir;
    const std::string plain = xlwtWorkbook(dir, "plain.xls", 30);
    const std::string stream = readWorkbookStream(plain);
    bool ok = false;
    const Grid expected = xlstest::xlrdGrid(plain, ok);
    ASSERT_TRUE(ok);

    Workbook other;
    other.addSheet("嵌入").setText(0, 0, "embedded cell");
    other.save(dir.file("other.xls"));
    const std::string embedded = readWorkbookStream(dir.file("other.xls"));

    std::vector<std::string> files;
    auto save = [&](const std::string &name, const std::vector<CfbNode> &root) {
        xlstest::writeFile(dir.file(name), xlstest::buildCompoundFile(root));
        files.push_back(dir.file(name));
    };
    save("book.xls", {CfbNode::stream(u"Book", stream)});
    save("book-upper.xls", {CfbNode::stream(u"BOOK", stream)});
    const CfbNode object = CfbNode::folder(u"MBD0001A2B3", {CfbNode::stream(u"Workbook", embedded),
                                                           CfbNode::stream(u"\001CompObj", std::string(80, 'c'))});
    save("embedded-first.xls", {object, CfbNode::stream(u"Workbook", stream),
                                CfbNode::stream(u"\005SummaryInformation", std::string(200, 's'))});
    for (const auto &f : files) {
        EXPECT_EQ(ours(f), expected) << f;
        EXPECT_EQ(xlstest::xlrdGrid(f, ok), expected) << f;
        EXPECT_TRUE(ok) << f;
    }
    if (xlstest::haveSoffice()) {
        const auto shown = xlstest::libreOfficeSheets(dir, files);
        for (const auto &f : files)
            EXPECT_EQ(shown.count(fs::path(f).stem().string()) ? shown.at(fs::path(f).stem().string()) : Grid{}, expected) << f;
    }

    // A directory whose root lost its link to the workbook stream: the stream no storage
    // lists is still the file's, and a filled copy links it in again.
    std::string unlinked = xlstest::buildCompoundFile({CfbNode::stream(u"Workbook", stream), CfbNode::stream(u"Other", "x")});
    const size_t directory = (size_t(kestrova::xls::rd32(reinterpret_cast<const uint8_t *>(unlinked.data()) + 0x30)) + 1) * 512;
    kestrova::xls::put32(reinterpret_cast<uint8_t *>(&unlinked[directory + 0x4C]), 0xFFFFFFFF);
    xlstest::writeFile(dir.file("unlinked.xls"), unlinked);
    EXPECT_EQ(ours(dir.file("unlinked.xls")), expected);
    TemplateFiller(dir.file("unlinked.xls")).save(dir.file("relinked.xls"));
    EXPECT_EQ(xlstest::xlrdGrid(dir.file("relinked.xls"), ok), expected);
    EXPECT_TRUE(ok);

    // Excel 5/95 keeps BIFF5 in "Book": its BOF says so, whatever the stream is called.
    std::string biff5 = S::rec(0x0809, S::u16(0x0500) + S::u16(5) + std::string(4, '\0'));
    biff5.resize(5000, '\0');
    for (const char16_t *name : {u"Book", u"Workbook"}) {
        xlstest::writeFile(dir.file("biff5.xls"), xlstest::buildCompoundFile({CfbNode::stream(name, biff5)}));
        try {
            WorkbookReader::open(dir.file("biff5.xls"));
            ADD_FAILURE() << "a BIFF5 workbook was read";
        } catch (const XlsError &e) {
            EXPECT_EQ(e.code(), ErrorCode::OldExcelVersion) << e.what();
        }
    }
    // A workbook only inside an embedded object is no workbook of this file.
    xlstest::writeFile(dir.file("only-embedded.xls"), xlstest::buildCompoundFile({object}));
    try {
        WorkbookReader::open(dir.file("only-embedded.xls"));
        ADD_FAILURE() << "the embedded workbook was read as the file's";
    } catch (const XlsError &e) {
        EXPECT_EQ(e.code(), ErrorCode::NoWorkbookStream) << e.what();
    }
}

// FORMULA records under 0x0406, the number Excel 4 used, with a number, a text and a
// boolean result: read like FORMULA, as xlrd reads them. (LibreOffice takes 0x0406 for
// Excel 4's own layout and computes the formulas anew from misread tokens.)
TEST(XlsForeignWorkbooks, FormulaRecordsOfExcel4NumberAreRead)
{
    TempDir dir;
    const std::string tail = S::u16(0) + S::u32(0);
    auto formula = [&](uint16_t col, const std::string &result, const std::string &tokens) {
        return S::rec(0x0406, S::cell(0, col, 15) + result + tail + S::u16(uint16_t(tokens.size())) + tokens);
    };
    const std::string refA1 = std::string("\x44\x00\x00\x00\xC0", 5); // A1, relative
    std::string cells = S::rec(0x0203, S::cell(0, 0, 15) + S::f64(2));
    cells += formula(1, S::f64(6), refA1 + "\x1E\x03\x00" + "\x05");                           // =A1*3
    cells += formula(2, std::string("\0\0\0\0\0\0\xFF\xFF", 8), std::string("\x17\x02\x01", 3) + StreamBuilder::wide(u"文本")) +
             S::rec(0x0207, S::u16(2) + '\1' + StreamBuilder::wide(u"文本"));                               // ="文本"
    cells += formula(3, std::string("\1\0\1\0\0\0\xFF\xFF", 8), std::string("\x1D\x01", 2));   // =TRUE
    cells += formula(4, S::f64(2.5e-7), refA1 + std::string("\x1F", 1) + S::f64(1.25e-7) + "\x05"); // =A1*1.25E-7
    StreamBuilder b;
    b.globals({"数据信息"}, {}, {}, false, "");
    b.sheet(cells);
    b.save(dir.file("formula4.xls"));
    const Grid expected = {{"2", "6", "文本", "TRUE", "2.5E-07"}};
    EXPECT_EQ(ours(dir.file("formula4.xls")), expected);
    bool ok = false;
    EXPECT_EQ(xlstest::xlrdGrid(dir.file("formula4.xls"), ok), expected);
    EXPECT_TRUE(ok);
}

// Numbers in scientific form show at least two exponent digits, as Excel's General format
// and Python's float (xlrd's values) write them; elapsed times ([h]:mm) read as their
// number, as xlrd gives it, never as a date.
TEST(XlsForeignWorkbooks, ScientificNumbersAndElapsedTimesReadAsOthersShowThem)
{
    TempDir dir;
    const std::string path = dir.file("numbers.xls");
    bool ok = false;
    ASSERT_TRUE(xlstest::runPython("-c \"import xlwt; b = xlwt.Workbook(); s = b.add_sheet('n')\n"
                 "for i, v in enumerate([1e-6, -2.5e-7, 1.5e20, 1e-100, 1.23456789e-10]): s.write(0, i, v)\n"
                 "for i, (v, f) in enumerate([(1.5, '[h]:mm:ss'), (0.25, '[mm]:ss'), (2.75, '[ss]'), (1.5, '[hh]:mm')]):"
                 " s.write(1, i, v, xlwt.easyxf(num_format_str=f))\n"
                 "b.save('" + path + "')\""));
    const Grid got = ours(path);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], (std::vector<std::string>{"1E-06", "-2.5E-07", "1.5E+20", "1E-100", "1.23456789E-10"}));
    std::string floats = xlstest::run(xlstest::python() + " -c \"import xlrd; s = xlrd.open_workbook('" + path +
                                          "').sheet_by_index(0); print(' '.join(repr(v) for v in s.row_values(0)).upper())\"",
                                      ok);
    EXPECT_EQ(floats, "1E-06 -2.5E-07 1.5E+20 1E-100 1.23456789E-10\n");
    EXPECT_EQ(got[1], xlstest::xlrdGrid(path, ok).at(1)) << "elapsed times as xlrd's numbers";
    EXPECT_EQ(got[1], (std::vector<std::string>{"1.5", "0.25", "2.75", "1.5"}));
}

// Defects seen in real files that LibreOffice reads past: each file is read as LibreOffice
// shows it. Beyond these, a damaged file stays refused.
TEST(XlsForeignWorkbooks, SmallDefectsOtherReadersTolerate)
{
    TempDir dir;
    std::vector<std::string> files;
    std::map<std::string, Grid> expected;
    auto keep = [&](const std::string &name, const std::string &bytes, const Grid &grid) {
        xlstest::writeFile(dir.file(name + ".xls"), bytes);
        files.push_back(dir.file(name + ".xls"));
        expected[name] = grid;
    };
    auto streamOf = [](const StreamBuilder &b) { return b.b.bytes; };
    // LibreOffice skips the first cell of a sheet that has no DIMENSIONS record.
    const std::string dimensions = S::rec(0x0200, S::u32(0) + S::u32(2) + S::u16(0) + S::u16(3) + S::u16(0));
    auto inFile = [](const StreamBuilder &b) { return xlstest::buildCompoundFile({CfbNode::stream(u"Workbook", b.b.bytes)}); };
    const std::string oneString = S::rec(0x00FC, S::u32(1) + S::u32(1) + S::u16(1) + '\0' + "a");

    // A LABEL holding an empty string without its flags byte.
    StreamBuilder label;
    label.globals({"数据信息"}, {}, {}, false, "");
    label.sheet(dimensions + S::rec(0x0204, S::cell(0, 0, 15) + S::latin("front")) + S::rec(0x0204, S::cell(0, 1, 15) + S::u16(0)) +
                S::rec(0x0203, S::cell(0, 2, 15) + S::f64(5)));
    keep("label-without-flags", inFile(label), {{"front", "", "5"}});

    // A FORMAT record one byte short: "yyyy-mm-dd;@" stored as "yyyy-mm-dd;".
    StreamBuilder format;
    format.globals({"数据信息"}, {}, {164}, false, "");
    std::string cut = format.b.bytes;
    const std::string formatRecord = S::rec(0x041E, S::u16(164) + S::u16(12) + '\0' + "yyyy-mm-dd;");
    cut.insert(cut.find(std::string("\xE0\x00", 2)), formatRecord); // before the first XF
    format.b.bytes = cut;
    format.b.patch32(format.b.bytes.find('\x85') + 4, uint32_t(format.b.bytes.size()));
    format.b.append(S::rec(0x0809, S::u16(0x0600) + S::u16(0x10) + std::string(12, '\0')) + dimensions +
                    S::rec(0x0203, S::cell(0, 0, 16) + S::f64(41395)) + S::rec(0x000A, ""));
    keep("format-cut", inFile(format), {{"2013-05-01"}});

    // A sheet position 4 bytes past the sheet's BOF.
    StreamBuilder slip;
    slip.globals({"数据信息"}, {}, {}, false, oneString);
    slip.sheet(dimensions + S::rec(0x00FD, S::cell(0, 0, 15) + S::u32(0)) + S::rec(0x0203, S::cell(1, 0, 15) + S::f64(7)));
    const size_t position = slip.b.bytes.find('\x85') + 4;
    slip.b.patch32(position, kestrova::xls::rd32(reinterpret_cast<const uint8_t *>(slip.b.bytes.data()) + position) + 4);
    keep("sheet-offset-slip", inFile(slip), {{"a"}, {"7"}});

    // Empty CONTINUE records in the shared string table: between two strings, and where a
    // string's characters go on (the next CONTINUE repeats the flag byte).
    StreamBuilder empty;
    const std::string sst = S::rec(0x00FC, S::u32(3) + S::u32(3) + S::u16(2) + '\1' + StreamBuilder::wide(u"粮油")) + S::rec(0x003C, "") +
                            S::rec(0x003C, S::u16(5) + '\0' + "abc") + S::rec(0x003C, "") +
                            S::rec(0x003C, std::string(1, '\1') + StreamBuilder::wide(u"仓库") + S::u16(1) + '\0' + "x") + S::rec(0x003C, "");
    empty.globals({"数据信息"}, {}, {}, false, sst);
    empty.sheet(dimensions + S::rec(0x00FD, S::cell(0, 0, 15) + S::u32(0)) + S::rec(0x00FD, S::cell(0, 1, 15) + S::u32(1)) +
                S::rec(0x00FD, S::cell(0, 2, 15) + S::u32(2)));
    keep("sst-empty-continue", inFile(empty), {{"粮油", "abc仓库", "x"}});

    // A mini stream whose header counts more mini FAT sectors than its chain holds.
    StreamBuilder small;
    small.globals({"数据信息"}, {}, {}, false, oneString);
    small.sheet(dimensions + S::rec(0x00FD, S::cell(0, 0, 15) + S::u32(0)));
    std::string miniCount = xlstest::miniStreamFile(streamOf(small));
    kestrova::xls::put32(reinterpret_cast<uint8_t *>(&miniCount[0x40]), 5);
    keep("mini-fat-count", miniCount, {{"a"}});

    for (const auto &f : files) {
        const std::string name = fs::path(f).stem().string();
        try {
            EXPECT_EQ(ours(f), expected[name]) << name;
        } catch (const XlsError &e) {
            ADD_FAILURE() << name << ": " << e.what();
        }
    }
    if (xlstest::haveSoffice()) {
        auto shown = xlstest::libreOfficeSheets(dir, files);
        for (const auto &f : files) {
            const std::string name = fs::path(f).stem().string();
            EXPECT_EQ(shown[name], expected[name]) << name << " as LibreOffice shows it";
        }
    }

    // Further off, a sheet position is refused.
    for (const uint32_t off : {40u, 100000u}) {
        StreamBuilder far;
        far.globals({"数据信息"}, {}, {}, false, oneString);
        far.sheet(std::string(60, '\0') + S::rec(0x00FD, S::cell(0, 0, 15) + S::u32(0)));
        const size_t at = far.b.bytes.find('\x85') + 4;
        far.b.patch32(at, kestrova::xls::rd32(reinterpret_cast<const uint8_t *>(far.b.bytes.data()) + at) + off);
        xlstest::writeFile(dir.file("far.xls"), inFile(far));
        try {
            ours(dir.file("far.xls"));
            ADD_FAILURE() << "a sheet position " << off << " bytes off was taken";
        } catch (const XlsError &e) {
            EXPECT_EQ(e.code(), ErrorCode::BadSheetOffset) << e.what();
            EXPECT_NE(std::string(e.what()).find("工作表的位置有误"), std::string::npos) << e.what();
        }
    }
}

} // namespace
