#include "reports/ui/report_chart_pane.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QHBoxLayout>
#include <QHorizontalBarSeries>
#include <QHorizontalPercentBarSeries>
#include <QHorizontalStackedBarSeries>
#include <QLabel>
#include <QLegend>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>

namespace kestrova::ui {

namespace {
QFont chartFont(int pointSize, bool bold = false)
{
    QFont f = QApplication::font();
    f.setPointSize(pointSize);
    f.setBold(bold);
    return f;
}

QAbstractBarSeries *seriesFor(const reports::ChartModel &m)
{
    if (!m.stacked)
        return new QHorizontalBarSeries;
    if (m.percent)
        return new QHorizontalPercentBarSeries;
    return new QHorizontalStackedBarSeries;
}

// Qt draws the first category at the bottom; the model's first row goes on top.
QChart *drawChart(const reports::ChartModel &m)
{
    auto *chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setTitle(m.title);
    chart->setTitleFont(chartFont(10, true));
    // 35 provinces must each keep a readable label at 1366×768: little room is wasted.
    chart->setMargins(QMargins(4, 2, 12, 2));
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->setBackgroundRoundness(0);
    QAbstractBarSeries *series = seriesFor(m);
    for (const reports::ChartSeries &s : m.series) {
        auto *set = new QBarSet(s.name);
        for (qsizetype i = s.values.size() - 1; i >= 0; --i)
            set->append(s.values[i]);
        set->setLabelFont(chartFont(8));
        set->setLabelColor(m.stacked ? Qt::white : Qt::black);
        series->append(set);
    }
    series->setLabelsVisible(true);
    // Up to 15 significant digits, no trailing zeros: the numbers as the grid shows them.
    series->setLabelsPrecision(15);
    series->setLabelsFormat(m.percent ? QStringLiteral("@value%") : QStringLiteral("@value"));
    series->setLabelsPosition(m.stacked ? QAbstractBarSeries::LabelsCenter : QAbstractBarSeries::LabelsOutsideEnd);
    if (!m.stacked)
        series->setBarWidth(0.7);
    chart->addSeries(series);

    auto *categories = new QBarCategoryAxis;
    QStringList reversed = m.categories;
    std::reverse(reversed.begin(), reversed.end());
    categories->append(reversed);
    categories->setLabelsFont(chartFont(8));
    // Qt would cut a label to "…" when its row is less than the label plus generous
    // padding high; 35 provinces at 1366×768 fit without that padding.
    categories->setTruncateLabels(false);
    auto *values = new QValueAxis;
    values->setTitleText(m.unit);
    values->setTitleFont(chartFont(9));
    values->setLabelsFont(chartFont(8));
    values->setLabelFormat(QStringLiteral("%g"));
    chart->addAxis(categories, Qt::AlignLeft);
    chart->addAxis(values, Qt::AlignBottom);
    series->attachAxis(categories);
    series->attachAxis(values);
    if (!m.percent) {
        // Room beyond the longest bar for its number.
        values->setMin(std::min(values->min(), 0.0));
        values->setMax(values->max() > 0 ? values->max() * (m.stacked ? 1.0 : 1.12) : 1.0);
        values->applyNiceNumbers();
    }
    chart->legend()->setVisible(m.stacked);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->legend()->setFont(chartFont(9));
    return chart;
}
} // namespace

ReportChartPane::ReportChartPane(const reports::ReportDefinition &def, const reports::ReportGrid &grid,
                                 QWidget *parent)
    : QWidget(parent), m_def(def), m_grid(grid)
{
    setObjectName(QStringLiteral("ChartPane"));
    m_picker = new QComboBox(this);
    m_picker->setObjectName(QStringLiteral("ChartColumn"));
    m_picker->setAccessibleName(QStringLiteral("图表栏目"));
    m_picker->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_percent = new QCheckBox(QStringLiteral("按百分比"), this);
    m_percent->setObjectName(QStringLiteral("ChartPercent"));
    auto *pickerLabel = new QLabel(QStringLiteral("栏目："), this);
    pickerLabel->setBuddy(m_picker);
    m_view = new QChartView(this);
    m_view->setObjectName(QStringLiteral("ChartView"));
    m_view->setAccessibleName(QStringLiteral("图表"));
    m_view->setRenderHint(QPainter::Antialiasing);

    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(6, 4, 6, 0);
    bar->addWidget(pickerLabel);
    bar->addWidget(m_picker, 1);
    bar->addWidget(m_percent);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(bar);
    layout->addWidget(m_view, 1);

    m_choices = reports::chartChoices(m_def, m_grid);
    for (const auto &c : m_choices)
        m_picker->addItem(c.caption);
    connect(m_picker, &QComboBox::currentIndexChanged, this, &ReportChartPane::redraw);
    connect(m_percent, &QCheckBox::toggled, this, &ReportChartPane::redraw);
    redraw();
}

void ReportChartPane::redraw()
{
    const int i = m_picker->currentIndex();
    const reports::ChartChoice choice = i >= 0 && i < m_choices.size() ? m_choices[i] : reports::ChartChoice{};
    m_percent->setEnabled(choice.stacked);
    m_model = reports::buildChart(m_def, m_grid, choice, m_percent->isChecked());
    QChart *old = m_view->chart();
    m_view->setChart(drawChart(m_model));
    delete old;
}

QChart *ReportChartPane::chart() const
{
    return m_view->chart();
}

std::optional<QString> ReportChartPane::save(const QString &path) const
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QStringLiteral("png") && suffix != QStringLiteral("svg"))
        return QStringLiteral("图表只能保存为 PNG 或 SVG 文件：%1").arg(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("无法写入文件 %1：%2").arg(path, file.errorString());
    if (suffix == QStringLiteral("svg")) {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(m_view->size());
        svg.setViewBox(QRect(QPoint(0, 0), m_view->size()));
        svg.setTitle(m_model.title);
        QPainter painter(&svg);
        m_view->scene()->render(&painter, QRectF(QPointF(0, 0), QSizeF(m_view->size())), m_view->sceneRect());
    } else if (!m_view->grab().save(&file, "PNG")) {
        file.cancelWriting();
        return QStringLiteral("无法写入文件 %1").arg(path);
    }
    if (!file.commit())
        return QStringLiteral("无法写入文件 %1：%2").arg(path, file.errorString());
    return std::nullopt;
}

} // namespace kestrova::ui
