// Number cells and how sheets print: what the template filler and the writer put in,
// read back by python3-xlrd (types, exact values, defined names) and record by record.
#include "xls/compound_file.h"
#include "xls/errors.h"
#include "xls/general_number.h"
#include "xls/record_reader.h"
#include "xls/template_filler.h"
#include "xls/writer.h"
#include "xls_test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <random>

using namespace kestrova::xls;
using xlstest::StreamBuilder;
using xlstest::TempDir;

namespace {

struct TypedCell {
    std::string type, text, exact;
};
struct NameRef {
    std::string name;
    int scope, firstRow, endRow, firstCol, endCol;
    bool operator==(const NameRef &) const = default;
};
struct Typed {
    std::map<std::pair<int, int>, TypedCell> cells;
    std::vector<NameRef> names;
    TypedCell at(int r, int c) const
    {
        auto it = cells.find({r, c});
        return it == cells.end() ? TypedCell{} : it->second;
    }
};

std::ostream &operator<<(std::ostream &o, const NameRef &n)
{
    return o << n.name << "@" << n.scope << " rows " << n.firstRow << "-" << n.endRow << " cols " << n.firstCol << "-"
             << n.endCol;
}

Typed readTyped(const std::string &path)
{
    bool ok = false;
    const auto lines = xlstest::parseTsv(xlstest::run(xlstest::python() + " " + xlstest::script("xlrd_typed.py") + " '" + path + "'", ok));
    EXPECT_TRUE(ok) << "xlrd could not read " << path;
    Typed t;
    for (const auto &l : lines) {
        if (l.size() >= 5 && l[0] == "cell")
            t.cells[{std::stoi(l[1]), std::stoi(l[2])}] = {l[3], l[4], l.size() > 5 ? l[5] : std::string()};
        else if (l.size() == 7 && l[0] == "name")
            t.names.push_back({l[1], std::stoi(l[2]), std::stoi(l[3]), std::stoi(l[4]), std::stoi(l[5]), std::stoi(l[6])});
    }
    return t;
}

// The last record of each type in the first worksheet, for the page setup block.
std::map<uint16_t, std::string> sheetRecords(const std::string &path, int sheetIndex = 0)
{
    const std::string stream = readWorkbookStream(path);
    Record r;
    std::map<uint16_t, std::string> out;
    RecordReader sheet(stream, xlstest::sheetOffsets(stream).at(size_t(sheetIndex)));
    while (sheet.next(r) && r.type != 0x000A)
        out[r.type] = std::string(reinterpret_cast<const char *>(r.data), r.size);
    return out;
}

uint16_t u16At(const std::string &s, size_t at)
{
    return rd16(reinterpret_cast<const uint8_t *>(s.data()) + at);
}

// A template as the report templates are made: a bordered heading row, a bordered data
// row 17 points high, a merged block, and a second sheet.
void writeTableTemplate(const std::string &path, bool withPageSetup)
{
    Workbook book;
    CellFormat boxed;
    boxed.border = true;
    CellFormat right = boxed;
    right.hAlign = CellFormat::HAlign::Right;
    const int box = book.addFormat(boxed), value = book.addFormat(right);
    Sheet &s = book.addSheet("表");
    for (int c = 0; c < 4; ++c) {
        s.setText(1, c, "列" + std::to_string(c), box);
        s.setBlank(3, c, c == 0 ? box : value);
    }
    s.setText(4, 0, "合并", box);
    s.merge(4, 0, 4, 2);
    s.setRowHeight(3, 17);
    if (withPageSetup) {
        PageSetup p;
        p.titleFirstRow = 1;
        p.titleLastRow = 2;
        s.setPageSetup(p);
    }
    book.addSheet("其它").setText(0, 0, "不变");
    book.save(path);
}

} // namespace

TEST(XlsNumbers, GeneralNumberValueTakesOnlyTheTextsItWouldWrite)
{
    for (const char *text : {"0", "12.5", "-3", "0.3", "123456789012345", "1E+15", "1.5E-6", "0.00001", "2.5"}) {
        const auto v = generalNumberValue(text);
        ASSERT_TRUE(v) << text;
        EXPECT_EQ(formatGeneral(*v), text);
    }
    // Each of these a number reads differently, or not at all: kept as typed, only text does.
    for (const char *text : {"007", "12.50", "1e5", "1E15", " 2", "2 ", "+2", "-0", "0.30000000000000004",
                             "1234567890123456", "1,000", "", ".5", "5.", "inf", "nan", "0x10", "13937100000x"})
        EXPECT_FALSE(generalNumberValue(text)) << text;
}

// The shortcuts of the general format against plain 15-digit rounding: the same number
// in no more than 15 digits, without trailing zeros, over values of every magnitude and
// the decimal fractions records hold.
TEST(XlsNumbers, GeneralFormatIsTheFifteenDigitRoundingWithoutTrailingZeros)
{
    std::mt19937_64 random(20);
    std::vector<double> values{0.1 + 0.2, 1e15, 999999999999999.0, 1e15 - 0.5, 0.00001, 0.0000099999999999999,
                               123456789012345678.0, 1.0 / 3, 2.0 / 3, -1e-300, 5e-324, 1.7976931348623157e308};
    for (int i = 0; i < 100000; ++i) {
        values.push_back(double(int64_t(random() % 20000000000) - 10000000000) / 10000);
        uint64_t bits = random();
        double d;
        std::memcpy(&d, &bits, 8);
        if (std::isfinite(d))
            values.push_back(d);
        values.push_back(std::ldexp(double(random() % 1000000), int(random() % 120) - 60));
    }
    for (double v : values) {
        const std::string text = formatGeneral(v);
        char rounded[64];
        std::snprintf(rounded, sizeof rounded, "%.14e", v);
        ASSERT_EQ(std::strtod(text.c_str(), nullptr), std::strtod(rounded, nullptr)) << text << " for " << rounded;
        const std::string mantissa = text.substr(0, text.find('E'));
        if (mantissa.find('.') != std::string::npos) {
            ASSERT_NE(mantissa.back(), '0') << text;
        }
        std::string digits;
        for (char c : mantissa)
            if (c >= '0' && c <= '9')
                digits += c;
        digits.erase(0, digits.find_first_not_of('0'));
        digits.erase(digits.find_last_not_of('0') + 1);
        EXPECT_LE(digits.size(), 15u) << text;
    }
}

TEST(XlsTemplateFillerNumbers, NumbersKeepTheCellsFormatAndReadBackExactly)
{
    TempDir dir;
    const std::string tpl = dir.file("t.xls"), out = dir.file("o.xls");
    writeTableTemplate(tpl, false);
    TemplateFiller f(tpl);
    f.setNumber(0, 3, 0, 0.1 + 0.2); // needs NUMBER
    f.setNumber(0, 3, 1, 12345);     // an integer RK
    f.setNumber(0, 3, 2, 1.23);      // an RK of hundredths
    f.setNumber(0, 3, 3, -1e15);
    f.setNumber(0, 4, 2, 7);         // inside the merged block: lands in its first cell
    f.setNumberOrText(0, 6, 0, "007");
    f.setNumberOrText(0, 6, 1, "1E+15");
    f.setNumberOrText(0, 6, 2, "");
    EXPECT_EQ(f.text(0, 3, 0), "0.3");
    EXPECT_EQ(f.text(0, 4, 0), "7");
    try {
        f.setNumber(0, 3, 1, std::nan(""));
        ADD_FAILURE() << "NaN was written";
    } catch (const XlsError &e) {
        EXPECT_EQ(e.code(), ErrorCode::NumberNotFinite);
    }
    EXPECT_EQ(f.text(0, 3, 1), "12345") << "a refused number leaves the cell as it was";
    f.save(out);

    const Typed t = readTyped(out);
    EXPECT_EQ(t.at(3, 0).type, "number");
    EXPECT_EQ(t.at(3, 0).exact, "0.30000000000000004");
    EXPECT_EQ(t.at(3, 1).exact, "12345.0");
    EXPECT_EQ(t.at(3, 2).exact, "1.23");
    EXPECT_EQ(t.at(3, 3).text, "-1E+15");
    EXPECT_EQ(t.at(4, 0).text, "7");
    EXPECT_EQ(t.at(4, 2).type, "") << "the block's hidden cell stays blank";
    EXPECT_EQ(t.at(6, 0).type, "text");
    EXPECT_EQ(t.at(6, 0).text, "007");
    EXPECT_EQ(t.at(6, 1).type, "number");
    EXPECT_EQ(t.at(6, 2).type, "text");
    // Every number took the format its cell had.
    const auto before = xlstest::walkWorkbook(tpl), after = xlstest::walkWorkbook(out);
    EXPECT_TRUE(after.problems.empty()) << after.problems.front();
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(after.xfs[0].at({3, c}), before.xfs[0].at({3, c})) << "column " << c;
    EXPECT_EQ(after.xfs[0].at({4, 0}), before.xfs[0].at({4, 0}));
}

TEST(XlsTemplateFillerNumbers, RowsBelowTheFormatRowTakeItsFormatsAndHeight)
{
    TempDir dir;
    const std::string tpl = dir.file("t.xls"), out = dir.file("o.xls");
    writeTableTemplate(tpl, false);
    TemplateFiller f(tpl);
    f.extendRowFormats(0, 3);
    f.setText(0, 10, 0, "新行");
    f.setNumber(0, 10, 1, 5);
    f.setText(0, 10, 6, "表外"); // no cell of the format row above it
    f.setText(0, 2, 1, "上方");  // above the format row: the default
    f.save(out);
    const auto before = xlstest::walkWorkbook(tpl), after = xlstest::walkWorkbook(out);
    EXPECT_EQ(after.xfs[0].at({10, 0}), before.xfs[0].at({3, 0}));
    EXPECT_EQ(after.xfs[0].at({10, 1}), before.xfs[0].at({3, 1}));
    EXPECT_EQ(after.xfs[0].at({10, 6}), 15);
    EXPECT_EQ(after.xfs[0].at({2, 1}), 15);
    bool ok = false;
    const auto formats = xlstest::parseTsv(xlstest::run(xlstest::python() + " " + xlstest::script("xlrd_formats.py") + " " + out, ok));
    std::map<int, std::string> heights;
    for (const auto &l : formats)
        if (l.size() == 4 && l[0] == "height" && l[1] == "表")
            heights[std::stoi(l[2])] = l[3];
    EXPECT_EQ(heights[10], heights[3]);
    EXPECT_EQ(heights[3], "340");
}

// Print_Area through the filler: made with its links where the template has none, put
// beside the template's own names, replaced when set again, scoped to its sheet.
TEST(XlsPrintNames, FillerSetsThePrintAreaBesideTheTemplatesNames)
{
    TempDir dir;
    const std::string titled = dir.file("titled.xls"), plain = dir.file("plain.xls"), out = dir.file("o.xls");
    writeTableTemplate(titled, true);
    writeTableTemplate(plain, false);
    {
        TemplateFiller f(titled);
        f.setPrintArea(0, 1, 9, 0, 3);
        f.setPrintArea(0, 1, 20, 0, 3); // the later one stands
        f.setPrintArea(1, 0, 0, 0, 0);
        f.save(out);
        const Typed t = readTyped(out);
        EXPECT_EQ(t.names, (std::vector<NameRef>{{"Print_Titles", 0, 1, 3, 0, 256},
                                                 {"Print_Area", 0, 1, 21, 0, 4},
                                                 {"Print_Area", 1, 0, 1, 0, 1}}));
    }
    {
        TemplateFiller f(plain);
        f.setPrintArea(0, 0, 4, 0, 3);
        f.save(out);
        EXPECT_EQ(readTyped(out).names, (std::vector<NameRef>{{"Print_Area", 0, 0, 5, 0, 4}}));
        EXPECT_TRUE(xlstest::walkWorkbook(out).problems.empty());
    }
    TemplateFiller f(plain);
    for (auto bad : {std::array{5, 2, 0, 1}, std::array{0, 1, 3, 2}, std::array{0, 70000, 0, 1}})
        EXPECT_THROW(f.setPrintArea(0, bad[0], bad[1], bad[2], bad[3]), XlsError);
    EXPECT_THROW(f.setPrintArea(7, 0, 1, 0, 1), XlsError);
}

// A template saved elsewhere with a name of its own that refers to the second sheet
// through the first EXTERNSHEET entry: that name, the entry and the sheet's data stay.
TEST(XlsPrintNames, TemplatesOwnNameKeepsItsReference)
{
    TempDir dir;
    const std::string tpl = dir.file("t.xls"), out = dir.file("o.xls");
    StreamBuilder b;
    const auto u16 = StreamBuilder::u16;
    const std::string links = StreamBuilder::rec(0x01AE, u16(2) + u16(0x0401)) +
                              StreamBuilder::rec(0x0017, u16(1) + u16(0) + u16(1) + u16(1));
    // A workbook-wide name "Data" = the second sheet's A1:B3.
    const std::string formula = std::string(1, '\x3B') + u16(0) + u16(0) + u16(2) + u16(0) + u16(1);
    const std::string name = StreamBuilder::rec(0x0018, u16(0) + std::string(1, '\0') + char(4) + u16(uint16_t(formula.size())) +
                                                            u16(0) + u16(0) + std::string(4, '\0') + std::string(1, '\0') + "Data" + formula);
    b.globals({"一", "二"}, {}, {}, false, links + name);
    b.sheet(StreamBuilder::rec(0x027E, StreamBuilder::cell(0, 0, 15) + StreamBuilder::u32(2 << 2 | 2)));
    b.sheet("");
    b.save(tpl);
    ASSERT_EQ(readTyped(tpl).names, (std::vector<NameRef>{{"Data", -1, 0, 3, 0, 2}}));
    TemplateFiller f(tpl);
    f.setNumber(0, 1, 1, 2.5);
    f.setPrintArea(0, 0, 1, 0, 1);
    f.save(out);
    const Typed t = readTyped(out);
    EXPECT_EQ(t.names, (std::vector<NameRef>{{"Data", -1, 0, 3, 0, 2}, {"Print_Area", 0, 0, 2, 0, 2}}));
    EXPECT_EQ(t.at(0, 0).text, "2");
    EXPECT_EQ(t.at(1, 1).text, "2.5");
}

TEST(XlsWriterPageSetup, PageSetupAndPrintTitlesReachTheSheet)
{
    TempDir dir;
    const std::string path = dir.file("p.xls");
    Workbook book;
    Sheet &a = book.addSheet("横");
    a.setText(0, 0, "x");
    PageSetup p;
    p.landscape = true;
    p.fitWidth = 1;
    p.fitHeight = 0;
    p.centerHorizontally = true;
    p.leftMargin = 0.5;
    p.titleFirstRow = 2;
    p.titleLastRow = 3;
    a.setPageSetup(p);
    book.addSheet("竖").setText(0, 0, "y");
    book.save(path);

    const auto fitted = sheetRecords(path, 0), plain = sheetRecords(path, 1);
    EXPECT_TRUE(u16At(fitted.at(0x0081), 0) & 0x0100) << "fit to pages";
    EXPECT_EQ(u16At(fitted.at(0x00A1), 6), 1) << "one page wide";
    EXPECT_EQ(u16At(fitted.at(0x00A1), 8), 0) << "as many pages down as it takes";
    EXPECT_EQ(u16At(fitted.at(0x00A1), 10) & 0x0002, 0) << "landscape";
    EXPECT_EQ(u16At(fitted.at(0x0083), 0), 1) << "centred across";
    double left = 0;
    std::memcpy(&left, fitted.at(0x0026).data(), 8);
    EXPECT_EQ(left, 0.5);
    EXPECT_FALSE(u16At(plain.at(0x0081), 0) & 0x0100);
    EXPECT_EQ(u16At(plain.at(0x00A1), 10) & 0x0002, 2) << "portrait";
    EXPECT_EQ(u16At(plain.at(0x00A1), 2), 100) << "at 100 %";
    EXPECT_EQ(readTyped(path).names, (std::vector<NameRef>{{"Print_Titles", 0, 2, 4, 0, 256}}));

    Sheet &c = book.addSheet("错");
    const auto bad = [&](auto change) {
        PageSetup q;
        change(q);
        try {
            c.setPageSetup(q);
            return false;
        } catch (const XlsError &e) {
            return e.code() == ErrorCode::PageSetupOutOfRange;
        }
    };
    EXPECT_TRUE(bad([](PageSetup &q) { q.fitWidth = -1; }));
    EXPECT_TRUE(bad([](PageSetup &q) { q.fitHeight = 32768; }));
    EXPECT_TRUE(bad([](PageSetup &q) { q.scale = 9; }));
    EXPECT_TRUE(bad([](PageSetup &q) { q.topMargin = -0.1; }));
    EXPECT_TRUE(bad([](PageSetup &q) { q.titleFirstRow = 5, q.titleLastRow = 3; }));
    EXPECT_TRUE(bad([](PageSetup &q) { q.titleFirstRow = -1, q.titleLastRow = 3; }));
    EXPECT_FALSE(bad([](PageSetup &q) { q.titleFirstRow = q.titleLastRow = 65535; }));
}
