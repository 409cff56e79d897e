#include "reports/report_engine.h"

#include "data/database.h"
#include "data/number_format.h"
#include "data/record_columns.h"
#include "reports/figures.h"
#include "reports/region_layout.h"
#include "reports/report_catalogue.h"
#include "reports/report_error.h"

#include <QHash>

#include <algorithm>

namespace kestrova::reports {

namespace {

const QString kCorps = QStringLiteral("新疆兵团");
const QString kCode = QStringLiteral("行政区划代码");
const QString kBusiness = QStringLiteral("经营范围");
const QString kOwnership = QStringLiteral("企业性质");
const QString kCentral = QStringLiteral("央企名称");
const QString kStateOwned = QStringLiteral("国有");
const QString kYes = QStringLiteral("是");
const QString kNo = QStringLiteral("否");

QList<ColumnTest> variantConditions(Variant v)
{
    switch (v) {
    case Variant::ByRegion: return {};
    case Variant::StateOwned: return {{kOwnership, true, {kStateOwned}}};
    case Variant::NonStateOwned: return {{kOwnership, false, {kStateOwned}}};
    case Variant::Reserve: return {{kBusiness, true, {QStringLiteral("储备")}}};
    case Variant::Processing: return {{kBusiness, true, {QStringLiteral("加工")}}};
    case Variant::Logistics: return {{kBusiness, true, {QStringLiteral("物流")}}};
    }
    return {};
}

// For every text of a column, its position among keys (1 …), or 0.
std::vector<int> positions(const RecordColumns::Texts &column, const QStringList &keys)
{
    std::vector<int> out(size_t(column.values.size()), 0);
    for (int i = 0; i < keys.size(); ++i) {
        const int id = column.idOf(keys[i]);
        if (id >= 0 && out[size_t(id)] == 0)
            out[size_t(id)] = i + 1;
    }
    return out;
}

class Builder {
public:
    Builder(Database &db, const GlobalContext &ctx, const ReportDefinition &def, WindowClassState &state,
            ReportGrid &grid)
        : m_db(db), m_ctx(ctx), m_def(def), m_state(state), m_grid(grid), m_plan(def), m_d(def.firstDataRow())
    {
    }

    void build()
    {
        m_grid = ReportGrid(m_def.columns, m_def.headingRows + 1);
        writeTitleAndHeadings();
        if (m_def.isNational()) {
            m_grid.setText(0, 0, m_ctx.province + m_ctx.city + m_ctx.county + m_def.tableName);
            fillCategories();
            return;
        }
        for (const auto &t : m_def.titles) {
            if (t.title != m_ctx.reportTitle)
                continue;
            m_state.variant = t.variant;
            m_grid.setText(0, 0, m_ctx.province + m_def.tableName + variantText(t.variant));
        }
        m_filter = variantConditions(m_state.variant);
        const QString &level = m_ctx.level;
        bool closing = true;
        if (level == kLevelNational) {
            fillRegions();
            closing = false;
        } else if (level == kLevelProvince) {
            closing = fillSubNational(QStringLiteral("地市"), false);
        } else if (level == kLevelCity) {
            closing = fillSubNational(QStringLiteral("县"), false);
        } else if (level == QStringLiteral("中储粮") || level == QStringLiteral("中纺") || level == QStringLiteral("中粮")) {
            closing = fillSubNational(QStringLiteral("省"), true);
        } else {
            // Other levels compute no rows: the label alone, over empty cells.
            m_grid.setText(0, m_d, QStringLiteral("合计"));
            m_grid.setRowKind(m_d, RowKind::Total);
            closing = false;
        }
        if (closing)
            closingTotal();
    }

    void paintHighlightedRow()
    {
        // A row at or below the paint threshold was never painted by a click; painting
        // it now would colour the title or headings.
        const int row = m_state.highlightedRow;
        if (row > m_def.thresholds.clickPaint && row < m_grid.rowCount())
            m_grid.paintRow(row, kYellow);
    }

private:
    void writeTitleAndHeadings()
    {
        m_grid.merge(0, 0, m_def.columns, 1);
        m_grid.setText(0, 0, m_ctx.reportTitle);
        m_grid.setFill(0, 0, kWhite);
        m_grid.setFontColour(0, 0, kBlack);
        m_grid.setFontSize(0, 0, 14);
        for (const auto &h : m_def.headings) {
            m_grid.merge(h.col, h.row, h.cols, h.rows);
            m_grid.setText(h.col, h.row, h.text);
        }
        setRowHeights();
    }

    void setRowHeights()
    {
        for (int r = 0; r < m_grid.rowCount(); ++r)
            m_grid.setRowHeight(r, r == 0 ? kTitleRowHeight : m_def.headingRowHeights.value(r, kCommonRowHeight));
    }

    void zeroRows(int first, int last)
    {
        for (int r = first; r <= last; ++r)
            for (int c = 1; c < m_def.columns; ++c)
                m_grid.setText(c, r, QStringLiteral("0"));
    }

    double value(int col, int row) const
    {
        const QString text = m_grid.text(col, row);
        const auto v = parseNumber(text);
        if (!v)
            throw ReportError(QStringLiteral("“%1”不是有效的数值（第%2行第%3列）").arg(text).arg(row).arg(col));
        return *v;
    }

    static double fieldValue(const QString &text)
    {
        const auto v = parseNumberOrZero(text);
        if (!v)
            throw ReportError(QStringLiteral("“%1”不是有效的数值").arg(text));
        return *v;
    }

    void setValue(int col, int row, double v)
    {
        m_grid.setText(col, row, sumText(v, QStringLiteral("表中第%1行第%2列").arg(row + 1).arg(col + 1)));
    }

    // Writes one result row into a grid row (linlist). With bands only the band's
    // column receives the aggregate; an empty sum leaves the cell as it is.
    void writeResult(int row, const GroupFigures &g, int band)
    {
        if (m_plan.bands()) {
            const QString text = g.field(QStringLiteral("ct"), band);
            if (text.isEmpty())
                return;
            const int col = band + 1;
            if (m_def.bandDivisor == 1)
                m_grid.setText(col, row, text);
            else
                setValue(col, row, fieldValue(text) / m_def.bandDivisor);
            return;
        }
        for (int i = 0; i < m_def.formulas.size(); ++i) {
            const ColumnFormula &f = m_def.formulas[i];
            const int col = i + 1;
            if (f.kind == ColumnFormula::Kind::Scaled) {
                double sum = 0;
                for (const auto &a : f.aliases)
                    sum += fieldValue(g.field(a));
                setValue(col, row, sum * f.multiplier / f.divisor);
            } else if (f.kind == ColumnFormula::Kind::FieldText) {
                const QString text = g.field(f.aliases.value(0));
                m_grid.setText(col, row, text.isEmpty() ? QStringLiteral("0") : text);
            }
        }
        applySums(row);
    }

    void applySums(int row)
    {
        for (int i = 0; i < m_def.formulas.size(); ++i) {
            const ColumnFormula &f = m_def.formulas[i];
            if (f.kind != ColumnFormula::Kind::SumOfColumns)
                continue;
            double sum = 0;
            for (int c : f.columns)
                sum += value(c, row);
            setValue(i + 1, row, sum);
        }
    }

    // The columns a pass fills: every band column, or all value columns at once.
    QList<int> passes() const
    {
        QList<int> out;
        for (int b = 0; b < m_plan.bandCount(); ++b)
            out << b;
        return out;
    }

    void sumInto(int target, const QList<int> &rows, bool keepTarget)
    {
        for (int c = 1; c < m_def.columns; ++c) {
            double v = keepTarget ? value(c, target) : 0;
            for (int r : rows)
                v += value(c, r);
            setValue(c, target, v);
        }
    }

    void fillCategories()
    {
        const int d = m_d;
        m_grid.setRowCount(d + 10);
        setRowHeights();
        for (int i = 0; i < 10; ++i)
            m_grid.setText(0, d + i, m_def.categoryLabels.value(i));
        zeroRows(d, d + 9);

        const QStringList businessKeys{QStringLiteral("储备"), QStringLiteral("加工"), QStringLiteral("物流")};
        const QStringList ownershipKeys{QStringLiteral("民营"), QStringLiteral("外资"), kStateOwned};
        const RecordColumns &records = loadedRecords();
        const PlanColumns columns(m_plan, records);
        const RecordColumns::Texts &business = records.textColumn(kBusiness);
        const RecordColumns::Texts &ownership = records.textColumn(kOwnership);
        const RecordColumns::Texts &central = records.textColumn(kCentral);
        const std::vector<int> businessAt = positions(business, businessKeys);
        const std::vector<int> ownerAt = positions(ownership, ownershipKeys);
        const int noCentral = central.idOf(QString());
        std::vector<GroupFigures> businessGroups(3, GroupFigures(m_plan));
        std::vector<GroupFigures> ownershipGroups(2, GroupFigures(m_plan));
        GroupFigures stateOwned(m_plan);
        for (size_t row = 0; row < size_t(records.rowCount()); ++row) {
            const int kind = businessAt[size_t(business.ids[row])];
            const int owner = ownerAt[size_t(ownership.ids[row])];
            if (kind > 0)
                businessGroups[size_t(kind - 1)].add(columns, row);
            if (owner == 1 || owner == 2)
                ownershipGroups[size_t(owner - 1)].add(columns, row);
            // Form (b) counts only the state-owned records of no central enterprise.
            if (owner == 3 && (!m_def.stateOwnedFormB || central.ids[row] == noCentral))
                stateOwned.add(columns, row);
        }
        for (int band : passes()) {
            for (int b = 0; b < 3; ++b)
                if (hasResult(businessGroups[size_t(b)], band))
                    writeResult(d + 1 + b, businessGroups[size_t(b)], band);
            // Form (a) has no grouping, so it always yields its row; form (b) only for
            // a group that has records.
            if (!m_def.stateOwnedFormB || hasResult(stateOwned, band))
                writeResult(d + 6, stateOwned, band);
            for (int o = 0; o < 2; ++o)
                if (hasResult(ownershipGroups[size_t(o)], band))
                    writeResult(d + 8 + o, ownershipGroups[size_t(o)], band);
        }
        sumInto(d, {d + 1, d + 2, d + 3}, true);
        sumInto(d + 5, {d + 6}, false);
        sumInto(d + 7, {d + 8, d + 9}, true);
        sumInto(d + 4, {d + 5, d + 7}, true);
        for (int r : {d, d + 4, d + 5, d + 7})
            m_grid.setRowKind(r, RowKind::Subtotal);
        if (m_def.recomputeSumsAfterCategories)
            for (int r = d; r <= d + 9; ++r)
                applySums(r);
    }

    // Whether a grouped query returns a row for this group in this band.
    static bool hasResult(const GroupFigures &g, int band) { return g.band(band).count > 0; }

    void fillRegions()
    {
        const int top = m_d + (m_def.grandTotalLabel.isEmpty() ? 0 : 1);
        m_grid.setRowCount(top + kRegionRowCount);
        setRowHeights();
        if (m_def.nationalFirstDataRowHeight > 0)
            m_grid.setRowHeight(m_d, m_def.nationalFirstDataRowHeight);
        if (top > m_d)
            m_grid.setText(0, m_d, m_def.grandTotalLabel);
        for (int i = 0; i < kRegionRowCount; ++i)
            m_grid.setText(0, top + i, QString::fromUtf8(kRegionRows[size_t(i)].label));
        zeroRows(m_d, top + kRegionRowCount - 1);

        const RecordColumns &records = loadedRecords();
        const PlanColumns columns(m_plan, records);
        const std::vector<char> selected = records.passing(m_filter);
        // Each division code's first two characters name its province row; codes
        // outside the 31 provinces are not shown.
        QHash<QString, int> rowOfProvince;
        for (int i = 0; i < kRegionRowCount; ++i)
            if (kRegionRows[size_t(i)].code[0])
                rowOfProvince.insert(QString::fromUtf8(kRegionRows[size_t(i)].code), i);
        const RecordColumns::Texts &codes = records.textColumn(kCode);
        std::vector<int> rowOfCode(size_t(codes.values.size()), -1);
        for (qsizetype id = 0; id < codes.values.size(); ++id)
            rowOfCode[size_t(id)] = rowOfProvince.value(codes.values[id].left(2), -1);
        const RecordColumns::Texts &corpsColumn = records.textColumn(kCorps);
        const std::vector<int> corpsFlagOf = positions(corpsColumn, {kNo, kYes});
        std::vector<GroupFigures> provinces(kRegionRowCount, GroupFigures(m_plan));
        GroupFigures corps(m_plan);
        for (size_t row = 0; row < size_t(records.rowCount()); ++row) {
            if (!selected[row])
                continue;
            const int corpsFlag = corpsFlagOf[size_t(corpsColumn.ids[row])];
            if (corpsFlag == 2) {
                corps.add(columns, row);
            } else if (corpsFlag == 1) {
                const int r = rowOfCode[size_t(codes.ids[row])];
                if (r >= 0)
                    provinces[size_t(r)].add(columns, row);
            }
        }
        for (int band : passes()) {
            for (int i = 0; i < kRegionRowCount; ++i)
                if (kRegionRows[size_t(i)].code[0] && hasResult(provinces[size_t(i)], band))
                    writeResult(top + i, provinces[size_t(i)], band);
            // The corps query has no grouping: it always answers one row, whose sums
            // are empty when there is no such record.
            const bool present = m_plan.bands() || (m_def.presenceAlias.isEmpty()
                                                        ? !corps.isEmpty()
                                                        : !corps.field(m_def.presenceAlias).isEmpty());
            if (present)
                writeResult(top + kCorpsRowOffset, corps, band);
        }
        for (size_t z = 0; z < kZoneOffsets.size(); ++z) {
            QList<int> members;
            for (int i = kZoneOffsets[z] + 1; i <= kZoneEnds[z]; ++i)
                members << top + i;
            sumInto(top + kZoneOffsets[z], members, true);
            m_grid.setRowKind(top + kZoneOffsets[z], RowKind::Subtotal);
        }
        if (top > m_d) {
            sumInto(m_d, {top + kZoneOffsets[0], top + kZoneOffsets[1], top + kZoneOffsets[2]}, false);
            m_grid.setRowKind(m_d, RowKind::Total);
        }
    }

    // Rows by 地市, 县 or 省, ordered by the smallest division code of each group.
    // Returns false when there is no region at all.
    bool fillSubNational(const QString &keyColumn, bool centralOnly)
    {
        QList<ColumnTest> conditions{{kCorps, true, {kNo}}};
        if (centralOnly)
            conditions << ColumnTest{kCentral, false, {QString()}};
        conditions << m_filter;
        const RecordColumns &records = loadedRecords();
        const PlanColumns columns(m_plan, records);
        const std::vector<char> selected = records.passing(conditions);
        const RecordColumns::Texts &keys = records.textColumn(keyColumn);
        const RecordColumns::Texts &codes = records.textColumn(kCode);
        // Codes compare as texts; their rank among all codes stands in for the text.
        std::vector<int> byCode(size_t(codes.values.size()));
        for (size_t i = 0; i < byCode.size(); ++i)
            byCode[i] = int(i);
        std::sort(byCode.begin(), byCode.end(),
                  [&codes](int a, int b) { return codes.values[a] < codes.values[b]; });
        std::vector<int> codeRank(byCode.size());
        for (size_t r = 0; r < byCode.size(); ++r)
            codeRank[size_t(byCode[r])] = int(r);
        struct Group {
            QString key;
            int firstCode; // rank
            GroupFigures figures;
        };
        std::vector<Group> groups;
        std::vector<int> groupOfKey(size_t(keys.values.size()), -1);
        for (size_t row = 0; row < size_t(records.rowCount()); ++row) {
            if (!selected[row])
                continue;
            const int keyId = keys.ids[row];
            const int rank = codeRank[size_t(codes.ids[row])];
            int &g = groupOfKey[size_t(keyId)];
            if (g < 0) {
                g = int(groups.size());
                groups.push_back({keys.values[keyId], rank, GroupFigures(m_plan)});
            }
            Group &group = groups[size_t(g)];
            group.firstCode = std::min(group.firstCode, rank);
            group.figures.add(columns, row);
        }
        if (groups.empty())
            return false;
        std::stable_sort(groups.begin(), groups.end(), [](const Group &a, const Group &b) {
            return a.firstCode != b.firstCode ? a.firstCode < b.firstCode : a.key < b.key;
        });
        const int n = int(groups.size());
        m_grid.setRowCount(m_d + 1 + n);
        setRowHeights();
        zeroRows(m_d, m_d + n);
        for (int i = 0; i < n; ++i)
            m_grid.setText(0, m_d + 1 + i, groups[size_t(i)].key);
        for (int band : passes())
            for (int i = 0; i < n; ++i)
                if (band == 0 || hasResult(groups[size_t(i)].figures, band))
                    writeResult(m_d + 1 + i, groups[size_t(i)].figures, band);
        return true;
    }

    void closingTotal()
    {
        setRowHeights();
        m_grid.setText(0, m_d, QStringLiteral("合计"));
        m_grid.setRowKind(m_d, RowKind::Total);
        QList<int> rows;
        for (int r = m_d + 1; r < m_grid.rowCount(); ++r)
            rows << r;
        sumInto(m_d, rows, true);
    }

    // The records, read on first need: levels without rows never read them.
    const RecordColumns &loadedRecords()
    {
        if (!m_records)
            m_records = recordColumns(m_db);
        return *m_records;
    }

    Database &m_db;
    std::shared_ptr<const RecordColumns> m_records;
    const GlobalContext &m_ctx;
    const ReportDefinition &m_def;
    WindowClassState &m_state;
    ReportGrid &m_grid;
    AggregatePlan m_plan;
    const int m_d;
    QList<ColumnTest> m_filter;
};

} // namespace

void buildReport(Database &db, const GlobalContext &ctx, const ReportDefinition &def, WindowClassState &state,
                 ReportGrid &grid)
{
    Builder builder(db, ctx, def, state, grid);
    try {
        builder.build();
    } catch (...) {
        builder.paintHighlightedRow();
        throw;
    }
    builder.paintHighlightedRow();
}

QString windowCaption(const GlobalContext &ctx, const ReportDefinition &def)
{
    if (def.isNational())
        return ctx.province + ctx.city + ctx.county + def.tableName;
    return ctx.reportTitle;
}

} // namespace kestrova::reports
