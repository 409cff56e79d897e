#pragma once
// The chart beside a report grid: a picker of the value column (or of the parts of a
// whole, stacked), a 100 % option for a stack, and the chart drawn from the grid's
// own cells. It saves as PNG or SVG.
#include "reports/chart_model.h"

#include <QWidget>

#include <optional>

class QCheckBox;
class QChart;
class QChartView;
class QComboBox;

namespace kestrova::ui {

class ReportChartPane : public QWidget {
    Q_OBJECT
public:
    ReportChartPane(const reports::ReportDefinition &def, const reports::ReportGrid &grid, QWidget *parent = nullptr);

    // Draws the chart again from the grid, for the picked entry.
    void redraw();
    QChart *chart() const;
    QChartView *view() const { return m_view; }
    QComboBox *picker() const { return m_picker; }
    QCheckBox *percent() const { return m_percent; }
    const reports::ChartModel &model() const { return m_model; }

    // Writes the chart as shown, PNG or SVG by the file's suffix. On failure returns
    // the reason in the system's words.
    std::optional<QString> save(const QString &path) const;

private:
    const reports::ReportDefinition &m_def;
    const reports::ReportGrid &m_grid;
    QList<reports::ChartChoice> m_choices;
    reports::ChartModel m_model;
    QComboBox *m_picker = nullptr;
    QCheckBox *m_percent = nullptr;
    QChartView *m_view = nullptr;
};

} // namespace kestrova::ui
