#include "reports/chart_model.h"

#include "data/number_format.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace kestrova::reports {

namespace {
const QString kStackSuffix = QStringLiteral("（堆积）");

// A heading of several lines (CR-separated, some empty) read as one line.
QString oneLine(const QString &text)
{
    QStringList lines = QString(text).replace(QLatin1Char('\n'), QLatin1Char('\r')).split(QLatin1Char('\r'));
    for (QString &l : lines)
        l = l.trimmed();
    return lines.join(QString());
}

// Headings read top down; a unit in brackets ("（千米）") follows its heading directly.
QString joinHeadings(const QStringList &headings)
{
    QString out;
    for (const QString &h : headings) {
        if (!out.isEmpty() && !h.startsWith(QStringLiteral("（")))
            out += QStringLiteral("／");
        out += h;
    }
    return out;
}

bool isComputed(const ReportDefinition &def, int column)
{
    const int i = column - 1;
    return def.scheme == Scheme::ScaleBands || i >= def.formulas.size() ||
           def.formulas[i].kind != ColumnFormula::Kind::NotComputed;
}

double cellValue(const ReportGrid &grid, int col, int row)
{
    return parseNumber(grid.text(col, row)).value_or(0.0);
}
} // namespace

QStringList columnHeadings(const ReportDefinition &def, const ReportGrid &grid, int column)
{
    QStringList out;
    for (int r = 1; r < def.headingRows; ++r) {
        const Merge *m = grid.mergeAt(column, r);
        if (m && m->row != r)
            continue; // a block is read once, at its top row
        const QString text = oneLine(m ? grid.text(m->col, m->row) : grid.text(column, r));
        if (!text.isEmpty())
            out << text;
    }
    return out;
}

QList<ChartChoice> chartChoices(const ReportDefinition &def, const ReportGrid &grid)
{
    QList<ChartChoice> out;
    for (const QList<int> &parts : def.chartParts) {
        if (parts.isEmpty())
            continue;
        QStringList common = columnHeadings(def, grid, parts.front());
        for (int c : parts) {
            const QStringList h = columnHeadings(def, grid, c);
            common.erase(std::remove_if(common.begin(), common.end(), [&h](const QString &t) { return !h.contains(t); }),
                         common.end());
        }
        out << ChartChoice{joinHeadings(common) + kStackSuffix, parts, true};
    }
    for (int c = 1; c < def.columns; ++c) {
        if (!isComputed(def, c))
            continue;
        QString caption = joinHeadings(columnHeadings(def, grid, c));
        if (caption.isEmpty())
            caption = QStringLiteral("第%1栏").arg(c);
        out << ChartChoice{caption, {c}, false};
    }
    return out;
}

ChartModel buildChart(const ReportDefinition &def, const ReportGrid &grid, const ChartChoice &choice, bool percent)
{
    ChartModel model;
    model.title = grid.text(0, 0);
    model.stacked = choice.stacked;
    model.percent = percent && choice.stacked;
    if (choice.columns.isEmpty())
        return model;

    QList<int> rows;
    for (int r = def.headingRows; r < grid.rowCount(); ++r)
        if (grid.rowKind(r) == RowKind::Detail)
            rows << r;
    if (!def.isNational()) {
        std::vector<double> size(size_t(grid.rowCount()), 0.0);
        for (int r : rows)
            for (int c : choice.columns)
                size[size_t(r)] += cellValue(grid, c, r);
        std::stable_sort(rows.begin(), rows.end(), [&size](int a, int b) { return size[size_t(a)] > size[size_t(b)]; });
    }
    // Bars are told apart by their labels, so a repeated label gets a number.
    for (int r : rows) {
        // The blanks that line labels up in the grid ("  河  北") say nothing in a chart.
        const QString label = QString(grid.text(0, r)).remove(QRegularExpression(QStringLiteral("\\s")));
        QString unique = label;
        for (int n = 2; model.categories.contains(unique); ++n)
            unique = QStringLiteral("%1（%2）").arg(label).arg(n);
        model.categories << unique;
    }

    for (int c : choice.columns) {
        ChartSeries s;
        if (choice.stacked) {
            // A part is named by the headings it does not share with the other parts.
            QStringList own = columnHeadings(def, grid, c);
            for (int other : choice.columns) {
                if (other == c)
                    continue;
                const QStringList h = columnHeadings(def, grid, other);
                own.erase(std::remove_if(own.begin(), own.end(), [&h](const QString &t) { return h.contains(t); }),
                          own.end());
            }
            s.name = own.isEmpty() ? QStringLiteral("第%1栏").arg(c) : joinHeadings(own);
        } else {
            s.name = choice.caption;
        }
        for (int r : rows) {
            s.values << cellValue(grid, c, r);
            s.texts << grid.text(c, r);
        }
        model.series << s;
    }
    if (model.percent) {
        // A stack as shares: each part's percentage of its bar, to a tenth.
        for (int i = 0; i < model.categories.size(); ++i) {
            double whole = 0;
            for (const ChartSeries &s : model.series)
                whole += s.values[i];
            for (ChartSeries &s : model.series)
                s.texts[i] = whole > 0 ? formatGeneral(std::round(s.values[i] / whole * 1000) / 10) + QLatin1Char('%')
                                       : QStringLiteral("0%");
        }
    }

    if (model.percent)
        model.unit = QStringLiteral("百分比（%）");
    else
        model.unit = def.columnUnits.value(choice.columns.front(), def.unit.text);
    if (model.unit.isEmpty())
        model.unit = choice.stacked ? QString(choice.caption).remove(kStackSuffix) : choice.caption;
    return model;
}

} // namespace kestrova::reports
