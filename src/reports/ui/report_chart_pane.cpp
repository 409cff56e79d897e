#include "reports/ui/report_chart_pane.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGraphicsSimpleTextItem>
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

// The numbers on the bars: each bar's own text from the grid (or its share), at the end
// of a plain bar, inside a part of a stack where it fits. Placed again whenever the plot
// area changes, in the chart's own scene, so they are in what is saved too.
class BarLabels : public QObject {
public:
    BarLabels(QChart *chart, QAbstractBarSeries *series, const reports::ChartModel &model)
        : QObject(chart), m_chart(chart), m_series(series), m_model(model)
    {
        connect(chart, &QChart::plotAreaChanged, this, &BarLabels::place);
    }

private:
    void place()
    {
        qDeleteAll(m_items);
        m_items.clear();
        const QFont font = chartFont(8);
        const QFontMetricsF fm(font);
        const QRectF plot = m_chart->plotArea();
        const QList<QBarSet *> sets = m_series->barSets();
        const qsizetype n = m_model.categories.size();
        for (qsizetype i = 0; i < n; ++i) {
            const qreal at = qreal(n - 1 - i); // drawn bottom up
            double whole = 0;
            for (const auto &s : m_model.series)
                whole += s.values[i];
            double start = 0;
            for (qsizetype k = 0; k < m_model.series.size() && k < sets.size(); ++k) {
                const double v = m_model.series[k].values[i];
                double from = start, to = start + v;
                start = to;
                if (m_model.percent) {
                    from = whole > 0 ? from / whole * 100 : 0;
                    to = whole > 0 ? to / whole * 100 : 0;
                }
                const QString text = m_model.series[k].texts.value(i);
                const qreal width = fm.horizontalAdvance(text);
                const qreal left = m_chart->mapToPosition(QPointF(from, at), m_series).x();
                const QPointF end = m_chart->mapToPosition(QPointF(to, at), m_series);
                QColor ink = Qt::black;
                qreal x = end.x() + 3;
                if (m_model.stacked) {
                    if (end.x() - left < width + 4)
                        continue; // too narrow a part to carry its number
                    x = (left + end.x() - width) / 2;
                    if (qGray(sets[k]->color().rgb()) < 140)
                        ink = Qt::white;
                } else if (x + width > plot.right()) {
                    x = end.x() - width - 3;
                    ink = Qt::white;
                }
                auto *item = new QGraphicsSimpleTextItem(text, m_chart);
                item->setFont(font);
                item->setBrush(ink);
                item->setPos(x, end.y() - fm.height() / 2);
                item->setZValue(10);
                m_items << item;
            }
        }
    }

    QChart *m_chart;
    QAbstractBarSeries *m_series;
    reports::ChartModel m_model;
    QList<QGraphicsSimpleTextItem *> m_items;
};

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
        series->append(set);
    }
    series->setBarWidth(m.stacked ? 0.65 : 0.7);
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
    values->setLabelFormat(QStringLiteral("%.10g")); // 1000000, not 1e+06
    chart->addAxis(categories, Qt::AlignLeft);
    chart->addAxis(values, Qt::AlignBottom);
    series->attachAxis(categories);
    series->attachAxis(values);
    if (!m.percent) {
        // Room beyond the longest bar for its number.
        values->setMin(std::min(values->min(), 0.0));
        values->setMax(values->max() > 0 ? values->max() * (m.stacked ? 1.0 : 1.15) : 1.0);
        values->applyNiceNumbers();
    }
    // A stack's key at the side, so the rows keep all the height they can have.
    chart->legend()->setVisible(m.stacked);
    chart->legend()->setAlignment(Qt::AlignRight);
    chart->legend()->setFont(chartFont(8));
    new BarLabels(chart, series, m);
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
