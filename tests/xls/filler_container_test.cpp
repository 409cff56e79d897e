// The template filler on templates other programs saved: every stream and storage besides
// the workbook comes through unchanged (python3-olefile compares them), and writing into
// the first cell of a shared or array formula drops that cell's formula while the other
// cells keep theirs, or the values they show (xlrd and LibreOffice read the copies).
#include "xls/reader.h"
#include "xls/record_reader.h"
#include "xls/template_filler.h"
#include "oracles.h"

#include <gtest/gtest.h>

#include <set>

using namespace kestrova::xls;
using xlstest::CfbNode;
using xlstest::Grid;
using xlstest::StreamBuilder;
using xlstest::TempDir;
using S = StreamBuilder;

namespace {

std::vector<std::vector<std::string>> oleListing(const std::string &path)
{
    bool ok = false;
    auto lines = xlstest::parseTsv(xlstest::run(xlstest::python() + " " + xlstest::script("ole_listing.py") + " '" + path + "'", ok));
    EXPECT_TRUE(ok) << "olefile could not read " << path;
    return lines;
}

std::string bytes(size_t n, char seed)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = char(seed + i * 7 + i / 251);
    return s;
}

TEST(XlsFillerContainer, EveryOtherStreamAndStorageIsKept)
{
    if (!xlstest::haveSoffice())
        GTEST_SKIP() << "soffice not installed";
    TempDir dir;
    const std::string plain = dir.file("plain.xls");
    xlstest::runPython(xlstest::script("make_xlwt_rows.py") + " " + plain + " 60");
    const std::string clsVba = bytes(16, 'v'), clsObject = bytes(16, 'o');
    // Macros, document properties and an embedded object, small (mini stream) and large.
    const std::vector<CfbNode> parts = {
        CfbNode::stream(u"Workbook", readWorkbookStream(plain)),
        CfbNode::stream(u"\005SummaryInformation", bytes(300, 's')),
        CfbNode::stream(u"\005DocumentSummaryInformation", bytes(5000, 'd')),
        CfbNode::folder(u"_VBA_PROJECT_CUR",
                        {CfbNode::stream(u"PROJECT", bytes(200, 'p')), CfbNode::stream(u"PROJECTwm", bytes(50, 'w')),
                         CfbNode::folder(u"VBA", {CfbNode::stream(u"dir", bytes(700, 'r')), CfbNode::stream(u"Module1", bytes(6000, 'm')),
                                                  CfbNode::stream(u"_VBA_PROJECT", bytes(10, 'x'))})},
                        clsVba),
        CfbNode::folder(u"MBD00A1B2C3",
                        {CfbNode::stream(u"\001Ole", bytes(20, 'l')), CfbNode::stream(u"\003ObjInfo", bytes(6, 'i')),
                         CfbNode::stream(u"CONTENTS", bytes(4500, 'c')), CfbNode::stream(u"Empty", "")},
                        clsObject),
        CfbNode::stream(u"\001CompObj", bytes(100, 'o')),
    };
    const std::string tpl = dir.file("with-parts.xls");
    xlstest::writeFile(tpl, xlstest::buildCompoundFile(parts));
    // A template LibreOffice saved: it carries its properties, CompObj and Ole streams, all
    // small enough for the mini stream.
    xlstest::soffice(dir, "--convert-to xls --outdir " + dir.file("lo") + " " + plain);
    const std::string loTpl = dir.file("lo/plain.xls");

    for (const std::string &t : {tpl, loTpl}) {
        SCOPED_TRACE(t);
        const auto before = oleListing(t);
        ASSERT_GT(before.size(), 3u);
        TemplateFiller filler(t);
        filler.setText(0, 1, 0, "已填写");
        filler.setText(0, 70, 5, std::string(3000, 'x')); // the workbook stream grows past what it was
        const std::string out = t + ".filled.xls";
        filler.save(out);
        EXPECT_EQ(oleListing(out), before) << "streams, storages, class ids and bytes other than the workbook's";
        bool ok = false;
        Grid expected = xlstest::xlrdGrid(plain, ok);
        expected[1][0] = "已填写";
        expected.resize(71);
        expected[70].assign(5, "");
        expected[70].push_back(std::string(3000, 'x'));
        EXPECT_EQ(xlstest::xlrdGrid(out, ok), expected);
        EXPECT_TRUE(ok);
        EXPECT_EQ(xlstest::trimmed(readSheetCells(out, "数据信息")), expected);
        // Filled again, the copy keeps them once more.
        TemplateFiller(out).save(out + ".again.xls");
        EXPECT_EQ(oleListing(out + ".again.xls"), before);
    }
    const auto shown = xlstest::libreOfficeSheets(dir, {tpl + ".filled.xls"});
    ASSERT_TRUE(shown.count("with-parts.xls.filled")) << "LibreOffice opens the copy";
    EXPECT_EQ(shown.at("with-parts.xls.filled").at(1).at(0), "已填写");
}

size_t count(const std::string &text, const std::string &what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// LibreOffice saves a column of like formulas as one shared formula. Writing its first
// cell, and then the cell that took over, leaves the rest of the column computing.
TEST(XlsFillerContainer, WritingAsharedFormulasFirstCellKeepsTheOthersFormulas)
{
    if (!xlstest::haveSoffice())
        GTEST_SKIP() << "soffice not installed";
    TempDir dir;
    xlstest::runPython("-c \"import xlwt; b = xlwt.Workbook(); s = b.add_sheet('数据信息')\n"
              "for r in range(10): s.write(r, 0, r + 1); s.write(r, 1, xlwt.Formula('A%d*2' % (r + 1)))\n"
              "s.write(0, 3, xlwt.Formula('SUM(B1:B10)'))\n"
              "b.save('" + dir.file("formulas.xls") + "')\"");
    xlstest::soffice(dir, "--convert-to xls --outdir " + dir.file("lo") + " " + dir.file("formulas.xls"));
    const std::string tpl = dir.file("lo/formulas.xls");
    ASSERT_NE(readWorkbookStream(tpl).find(std::string("\xBC\x04", 2)), std::string::npos) << "LibreOffice wrote a SHRFMLA";

    TemplateFiller filler(tpl);
    filler.setText(0, 0, 1, "甲");
    filler.setText(0, 1, 1, "乙"); // the cell that became the shared formula's first
    EXPECT_EQ(filler.text(0, 2, 1), "6");
    const std::string out = dir.file("filled.xls");
    filler.save(out);
    const auto walk = xlstest::walkWorkbook(out);
    EXPECT_TRUE(walk.problems.empty()) << ::testing::PrintToString(walk.problems);

    bool ok = false;
    Grid expected(10);
    for (int r = 0; r < 10; ++r)
        expected[size_t(r)] = {std::to_string(r + 1), std::to_string(2 * (r + 1))};
    expected[0][1] = "甲";
    expected[1][1] = "乙";
    expected[0].push_back("");
    expected[0].push_back("110"); // the sum's cached value
    EXPECT_EQ(xlstest::xlrdGrid(out, ok), expected);
    EXPECT_TRUE(ok);
    // LibreOffice still finds a formula in each of the other cells, computing from column A.
    xlstest::soffice(dir, "--convert-to fods --outdir " + dir.file("fods") + " " + out);
    const std::string content = xlstest::readFile(dir.file("fods/filled.fods"));
    for (int r = 3; r <= 10; ++r)
        EXPECT_EQ(count(content, "of:=[.A" + std::to_string(r) + "]*2\""), 1u) << "row " << r;
    EXPECT_EQ(count(content, "of:=[.A1]*2\"") + count(content, "of:=[.A2]*2\""), 0u);
    const auto shown = xlstest::libreOfficeSheets(dir, {out});
    ASSERT_TRUE(shown.count("filled"));
    Grid computed = expected;
    computed[0][3] = "104"; // computed anew: the two texts count as nothing
    EXPECT_EQ(shown.at("filled"), computed);
}

// An array formula computes its whole range from its first cell: writing that cell leaves
// the other cells of the range with the values they showed (a number and a text).
TEST(XlsFillerContainer, WritingAnArrayFormulasFirstCellKeepsTheOtherValues)
{
    TempDir dir;
    const std::string tail = S::u16(0x0008) + S::u32(0); // flags, chn
    auto exp = [](uint16_t row, uint16_t col) { return S::u16(5) + '\x01' + S::u16(row) + S::u16(col); };
    auto formula = [&](uint16_t row, uint16_t col, const std::string &result, const std::string &tokens) {
        return S::rec(0x0006, S::cell(row, col, 15) + result + tail + tokens);
    };
    const std::string textResult("\0\0\0\0\0\0\xFF\xFF", 8);
    // {=A1:A2*10} in B1:B2 and {="文"&A1:A2} in C1:C2
    // ARRAY: rows 0-1, column 1; flags, chn; the tokens: area A1:A2, the integer 10, multiply.
    const std::string tokens = '\x65' + S::u16(0) + S::u16(1) + S::u16(0xC000) + S::u16(0xC000) + '\x1E' + S::u16(10) + '\x05';
    const std::string arrayRef10 = S::u16(0) + S::u16(1) + '\x01' + '\x01' + S::u16(0) + S::u32(0) +
                                   S::u16(uint16_t(tokens.size())) + tokens;
    std::string cells = S::rec(0x0200, S::u32(0) + S::u32(2) + S::u16(0) + S::u16(3) + S::u16(0));
    cells += S::rec(0x0203, S::cell(0, 0, 15) + S::f64(1));
    cells += formula(0, 1, S::f64(10), exp(0, 1)) + S::rec(0x0221, arrayRef10);
    cells += formula(0, 2, textResult, exp(0, 2)) + S::rec(0x0221, S::u16(0) + S::u16(1) + '\x02' + '\x02' + S::u16(0) + S::u32(0) + S::u16(0)) +
             S::rec(0x0207, S::u16(2) + '\1' + StreamBuilder::wide(u"文1"));
    cells += S::rec(0x0203, S::cell(1, 0, 15) + S::f64(2));
    cells += formula(1, 1, S::f64(20), exp(0, 1));
    cells += formula(1, 2, textResult, exp(0, 2)) + S::rec(0x0207, S::u16(2) + '\1' + StreamBuilder::wide(u"文2"));
    StreamBuilder b;
    b.globals({"数据信息"}, {}, {}, false, "");
    b.sheet(cells);
    const std::string tpl = dir.file("array.xls"), out = dir.file("filled.xls");
    b.save(tpl);

    TemplateFiller filler(tpl);
    filler.setText(0, 0, 1, "x");
    filler.setText(0, 0, 2, "y");
    EXPECT_EQ(filler.text(0, 1, 1), "20");
    EXPECT_EQ(filler.text(0, 1, 2), "文2");
    filler.save(out);
    const Grid expected = {{"1", "x", "y"}, {"2", "20", "文2"}};
    bool ok = false;
    EXPECT_EQ(xlstest::xlrdGrid(out, ok), expected);
    EXPECT_TRUE(ok);
    EXPECT_EQ(readSheetCells(out, "数据信息"), expected);
    // No formula is left to point at the replaced cells.
    const std::string stream = readWorkbookStream(out);
    RecordReader reader(stream, 0);
    Record r;
    std::set<uint16_t> types;
    while (reader.next(r))
        types.insert(r.type);
    for (uint16_t kind : {0x0006, 0x0221, 0x0207})
        EXPECT_FALSE(types.count(kind)) << std::hex << kind;
    if (xlstest::haveSoffice()) {
        EXPECT_EQ(xlstest::libreOfficeSheets(dir, {out})["filled"], expected);
    }
}

} // namespace
