#include "records/printed/printed_templates.h"

#include "data/indicators.h"
#include "records/indicator_layout.h"
#include "records/printed/printed_cell_map.h"
#include "xls/writer.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <vector>

namespace kestrova {

namespace {

constexpr int kLastColumn = 15;
constexpr int kHeadRow = kFirstIndicatorRow - 1;

// The tank and open-air tables put several indicators on one printed row.
bool sharesRow(const IndicatorPlacement &p)
{
    int n = 0;
    for (const IndicatorPlacement &q : indicatorPlacements())
        n += q.block == p.block && q.row == p.row;
    return n > 1;
}

std::vector<std::string_view> groupParts(std::string_view group)
{
    std::vector<std::string_view> parts;
    while (!group.empty()) {
        const size_t slash = group.find('/');
        parts.push_back(group.substr(0, slash));
        group = slash == std::string_view::npos ? std::string_view() : group.substr(slash + 1);
    }
    return parts;
}

// The paper form on sheet 1, addressed from 1 as the cell map is.
class PaperForm {
public:
    PaperForm()
        : m_sheet(m_book.addSheet("Sheet1"))
    {
        using F = xls::CellFormat;
        m_title = m_book.addFormat(F{18, true, "宋体", F::HAlign::Center, F::VAlign::Center, false, false});
        m_plain = m_book.addFormat(F{10.5, false, "宋体", F::HAlign::Left, F::VAlign::Center, false, false});
        m_small = m_book.addFormat(F{9, false, "宋体", F::HAlign::Left, F::VAlign::Center, false, false});
        m_label = m_book.addFormat(F{10.5, false, "宋体", F::HAlign::Left, F::VAlign::Center, true, true});
        m_group = m_book.addFormat(F{10.5, false, "宋体", F::HAlign::Center, F::VAlign::Center, true, true});
        m_head = m_book.addFormat(F{10.5, true, "宋体", F::HAlign::Center, F::VAlign::Center, true, true});
        m_value = m_book.addFormat(F{10.5, false, "宋体", F::HAlign::Right, F::VAlign::Center, false, true});
    }

    void text(int row, int col, std::string_view t, int format) { m_sheet.setText(row - 1, col - 1, t, format); }
    void merged(int row, int col, int lastRow, int lastCol, std::string_view t, int format)
    {
        for (int r = row; r <= lastRow; ++r)
            for (int c = col; c <= lastCol; ++c)
                m_sheet.setBlank(r - 1, c - 1, format);
        text(row, col, t, format);
        if (lastRow > row || lastCol > col)
            m_sheet.merge(row - 1, col - 1, lastRow - 1, lastCol - 1);
    }
    // A caption with its value cell after it, on an identity line.
    void line(SheetCell value, int captionCol, std::string_view caption, int lastValueCol)
    {
        if (!caption.empty())
            merged(value.row, captionCol, value.row, value.column - 1, caption, m_plain);
        merged(value.row, value.column, value.row, lastValueCol, "", m_plain);
    }

    void frame(std::string_view title)
    {
        merged(1, 1, 1, kLastColumn, title, m_title);
        m_sheet.setRowHeight(0, 30);
        static constexpr std::string_view corner[] = {"表    号:GL20表", "制表机关:Tarnhold", "批准机关:国家统计局",
                                                      "批准文号：国统制[2012]192号", "有效期至:2014年12月"};
        for (int i = 0; i < 5; ++i)
            merged(2 + i, 12, 2 + i, kLastColumn, corner[i], m_small);
        // Column 10 takes the second of the two "其中：已防火改造" heads on one line.
        static constexpr double widths[] = {9, 7, 24, 8, 11, 12, 11, 14, 11, 14, 7, 7, 22, 8, 11};
        for (int c = 0; c < kLastColumn; ++c)
            m_sheet.setColumnWidth(c, widths[c]);
        indicatorBlocks();
        // The whole form on one A4 page, across.
        xls::PageSetup setup;
        setup.landscape = true;
        setup.fitWidth = 1;
        setup.fitHeight = 1;
        setup.centerHorizontally = true;
        setup.leftMargin = setup.rightMargin = 0.4;
        setup.topMargin = setup.bottomMargin = 0.5;
        m_sheet.setPageSetup(setup);
    }

    void save(const std::string &path)
    {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        m_book.save(path);
    }

    int plain() const { return m_plain; }
    int label() const { return m_label; }

private:
    struct Columns {
        int group, sub, caption, unit, value;
    };
    static Columns blockColumns(int block)
    {
        const int first = 1 + 5 * (block - 1);
        return {first, first + 1, first + 2, first + 3, first + 4};
    }

    void indicatorBlocks()
    {
        static constexpr std::string_view blockNames[] = {"基本情况", "库容情况", "机械设备情况"};
        // Every cell of the three blocks is framed, blank lines included.
        for (int r = kHeadRow; r <= kLastIndicatorRow; ++r)
            for (int c = 1; c <= kLastColumn; ++c)
                m_sheet.setBlank(r - 1, c - 1, m_label);
        for (int b = 1; b <= 3; ++b) {
            const Columns c = blockColumns(b);
            merged(kHeadRow, c.group, kHeadRow, c.caption, blockNames[b - 1], m_head);
            text(kHeadRow, c.unit, "计量单位", m_head);
            text(kHeadRow, c.value, "本年度数量", m_head);
            tables(b);
            listRows(b);
        }
    }

    // The four-to-a-row tables (tanks, open-air storage): the title in the corner cell
    // of the heading row, the captions as column heads, the second group as row label.
    void tables(int block)
    {
        const Columns c = blockColumns(block);
        for (const IndicatorPlacement &p : indicatorPlacements()) {
            if (p.block != block || !sharesRow(p))
                continue;
            const Indicator &ind = indicator(p.k);
            const auto parts = groupParts(ind.group);
            const std::string_view title = parts.empty() ? std::string_view() : parts[0];
            const std::string_view rowLabel = parts.size() > 1 ? parts[1] : std::string_view();
            int &headRow = m_tableHeadRow[std::string(title)];
            if (headRow == 0) {
                headRow = p.row - 1;
                m_tableTitles.emplace(title);
                text(headRow, c.group, title, m_head);
            }
            text(headRow, p.column, ind.caption, m_head);
            text(p.row, c.group, rowLabel, m_group);
            m_sheet.setBlank(p.row - 1, p.column - 1, m_value);
        }
    }

    void listRows(int block)
    {
        const Columns c = blockColumns(block);
        std::vector<const IndicatorPlacement *> rows;
        for (const IndicatorPlacement &p : indicatorPlacements())
            if (p.block == block && !sharesRow(p))
                rows.push_back(&p);

        // Runs of consecutive indicators under the same label, merged down their rows.
        auto mergeRuns = [&](size_t depth, int col) {
            size_t i = 0;
            while (i < rows.size()) {
                const auto parts = labelParts(rows[i]->k);
                if (parts.size() <= depth) {
                    ++i;
                    continue;
                }
                size_t j = i + 1;
                while (j < rows.size()) {
                    const auto next = labelParts(rows[j]->k);
                    if (next.size() <= depth || !std::equal(parts.begin(), parts.begin() + long(depth) + 1, next.begin()))
                        break;
                    ++j;
                }
                merged(rows[i]->row, col, rows[j - 1]->row, col, parts[depth], m_group);
                i = j;
            }
        };
        mergeRuns(0, c.group);
        mergeRuns(1, c.sub);

        for (const IndicatorPlacement *p : rows) {
            const Indicator &ind = indicator(p->k);
            const size_t depth = labelParts(p->k).size();
            const int from = depth == 0 ? c.group : (depth == 1 ? c.sub : c.caption);
            merged(p->row, from, p->row, c.caption, ind.caption, m_label);
            text(p->row, c.unit, ind.unit, m_group);
            m_sheet.setBlank(p->row - 1, p->column - 1, m_value);
        }
    }

    // The labels shown beside a listed indicator: its group path, less a title that a
    // table of the block above it already shows.
    std::vector<std::string_view> labelParts(int k) const
    {
        auto parts = groupParts(indicator(k).group);
        if (!parts.empty() && m_tableTitles.count(std::string(parts[0])) && parts.size() == 1)
            parts.clear();
        return parts;
    }

    xls::Workbook m_book;
    xls::Sheet &m_sheet;
    int m_title = 0, m_plain = 0, m_small = 0, m_label = 0, m_group = 0, m_head = 0, m_value = 0;
    std::map<std::string, int> m_tableHeadRow;
    std::set<std::string> m_tableTitles;
};

} // namespace

void writePrintedReturnTemplate(const std::string &path)
{
    PaperForm form;
    form.frame("Kestrova年报表");
    namespace c = returnCells;
    form.line(c::name, 1, "企业名称：", 10);
    form.line(c::address, 1, "企业地址：", 10);
    form.line(c::postcode, 1, "邮政编码：", 4);
    form.line(c::phone, 5, "联系电话：", 8);
    form.line(c::orgCode, 9, "组织机构代码：", 11);
    form.line(c::ownership, 1, "企业性质：", 4);
    form.line(c::legalRep, 5, "法人代表：", 8);
    form.line(c::affiliation, 1, "隶属关系：", 4);
    form.line(c::business, 5, "经营范围：", 8);
    form.line(c::year, 0, {}, 10);
    form.text(c::remarks.row, c::remarks.column - 1, "备注", form.label());
    form.merged(c::remarks.row, c::remarks.column, c::remarks.row, kLastColumn, "", form.label());
    form.line(c::head, 1, "单位负责人：", 5);
    form.line(c::filler, 6, "填表人：", 10);
    form.line(c::filingDate, 12, "填报日期：", kLastColumn);
    form.save(path);
}

void writeAnnualSummaryTemplate(const std::string &path)
{
    PaperForm form;
    form.frame("Kestrova年报汇总表");
    namespace c = summaryCells;
    form.line(c::unit, 1, "制表单位：", 8);
    form.line(c::date, 1, "制表日期：", 8);
    form.line(c::year, 1, "汇总年度：", 8);
    form.line(c::place, 1, "汇总单位：", 8);
    form.merged(c::ownership.row, c::ownership.column, c::ownership.row, 6, "企业性质：", form.plain());
    form.line(c::count, 9, "企业个数：", 11);
    form.save(path);
}

void writePaperFormTemplates(const std::string &templetDir)
{
    // The shipped names are relative to the application directory, templet/ included.
    const std::filesystem::path home = std::filesystem::path(templetDir).parent_path();
    writePrintedReturnTemplate((home / kPrintedReturnTemplate).string());
    writeAnnualSummaryTemplate((home / kAnnualSummaryTemplate).string());
}

} // namespace kestrova
