#include "records/ui/indicator_block_widget.h"

#include "data/number_format.h"
#include "records/indicator_layout.h"
#include "records/ui/input_guards.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>

#include <algorithm>
#include <map>

namespace kestrova::ui {

namespace {
constexpr int kColumnsPerBlock = 5; // group, sub-group, caption, unit, value
constexpr int kRowHeight = 26;

QString str(std::string_view v)
{
    return QString::fromUtf8(v.data(), qsizetype(v.size()));
}

QStringList groupPath(int k)
{
    const QString g = str(indicator(k).group);
    return g.isEmpty() ? QStringList() : g.split(QLatin1Char('/'));
}

const char *kBlockNames[] = {"基本情况", "库容情况", "机械设备情况"};

// Where the indicators sit on screen. The printed sheet leaves blank rows inside the
// blocks (under 烘干设备, before the tank table, between 油脂's two lines); on screen
// each block's rows follow one another, and each table gets its head row above it.
struct ScreenRows {
    std::array<int, kIndicatorCount> row{}; // grid row of each indicator (row 0 holds the heads)
    std::map<int, int> tableHead;            // first grid row of a table -> its head row
    int last = 0;
};

const ScreenRows &screenRows()
{
    static const ScreenRows rows = [] {
        ScreenRows out;
        for (int b = 1; b <= 3; ++b) {
            std::map<int, std::vector<int>> printed; // printed row -> indicators
            for (int k = 1; k <= kIndicatorCount; ++k)
                if (indicatorPlacement(k).block == b)
                    printed[indicatorPlacement(k).row].push_back(k);
            int next = 1;
            int previous = -10;
            bool previousInTable = false;
            for (const auto &[printedRow, ks] : printed) {
                const bool inTable = indicatorPlacement(ks.front()).inTable();
                int head = 0;
                if (inTable && !(previousInTable && printedRow == previous + 1))
                    head = next++;
                for (int k : ks)
                    out.row[size_t(k - 1)] = next;
                if (head)
                    out.tableHead[next] = head;
                ++next;
                previous = printedRow;
                previousInTable = inTable;
            }
            out.last = std::max(out.last, next - 1);
        }
        return out;
    }();
    return rows;
}

int screenRow(int k)
{
    return screenRows().row[size_t(k - 1)];
}
} // namespace

QString IndicatorBlockWidget::fieldTitle(int k)
{
    // The caption a person reads beside the field; where two fields share a caption,
    // what tells them apart on the form: the group label, then the line it belongs to.
    const QString caption = str(indicator(k).caption);
    auto sameCaption = [&](int j) { return str(indicator(j).caption) == caption; };
    auto innermost = [](int j) {
        const QStringList path = groupPath(j);
        return path.isEmpty() ? QString() : path.back();
    };
    std::vector<int> twins;
    for (int j = 1; j <= kIndicatorCount; ++j)
        if (sameCaption(j))
            twins.push_back(j);
    if (twins.size() == 1)
        return caption;
    const QString withGroup = (innermost(k) + QLatin1Char(' ') + caption).trimmed();
    int sameGroup = 0;
    for (int j : twins)
        sameGroup += innermost(j) == innermost(k);
    if (sameGroup == 1)
        return withGroup;
    // A part of a total belongs to the total; any other line to the one above it.
    int parent = k - 1;
    for (int total : {13, 17, 23}) {
        int count = 0;
        const auto parts = totalParts(total, count);
        for (int i = 0; i < count; ++i)
            if (parts[size_t(i)] == k)
                parent = total;
    }
    return (innermost(k) + QLatin1Char(' ') + str(indicator(parent).caption) + QLatin1Char(' ') + caption).trimmed();
}

IndicatorBlockWidget::IndicatorBlockWidget(Options options, QWidget *parent) : QWidget(parent), m_options(options)
{
    setObjectName(QStringLiteral("IndicatorBlock"));
    build();
    m_autoTotals = m_options.changeHandlers;
}

QColor IndicatorBlockWidget::totalBackground()
{
    return QColor(0xc8, 0xc8, 0xc8);
}

QLabel *IndicatorBlockWidget::cellLabel(const QString &text, bool bold, QWidget *parent)
{
    auto *l = new QLabel(text, parent ? parent : this);
    l->setProperty("cell", true);
    l->setAlignment(Qt::AlignCenter);
    l->setContentsMargins(4, 0, 4, 0);
    l->setWordWrap(false);
    if (bold) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    return l;
}

QLineEdit *IndicatorBlockWidget::makeField(int k, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(indicatorFieldName(k));
    // The field has no text of its own to be found by: it is named for its caption, and
    // described by its column.
    e->setAccessibleName(fieldTitle(k));
    e->setAccessibleDescription(str(indicator(k).column));
    e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont f = e->font();
    f.setPointSize(12);
    e->setFont(f);
    e->setFixedHeight(kRowHeight - 2);
    e->setMinimumWidth(72);
    const QString hint = str(indicator(k).hint);
    if (!hint.isEmpty())
        e->setToolTip(hint);
    if (isComputedTotal(k)) {
        e->setEnabled(false);
        QPalette p = e->palette();
        p.setColor(QPalette::Base, totalBackground());
        p.setColor(QPalette::Disabled, QPalette::Base, totalBackground());
        p.setColor(QPalette::Disabled, QPalette::Text, Qt::black);
        e->setPalette(p);
        e->setAutoFillBackground(true);
    } else if (m_options.keyFilters) {
        acceptDigitsOnly(e);
    }
    m_fields[size_t(k - 1)] = e;
    return e;
}

QWidget *IndicatorBlockWidget::fieldCell(int k, QWidget *parent, int minimumWidth)
{
    // The field alone fills its cell: nothing may lie over it and take its clicks.
    auto *cell = new QWidget(parent);
    cell->setProperty("cell", true);
    auto *h = new QHBoxLayout(cell);
    h->setContentsMargins(2, 1, 2, 1);
    QLineEdit *f = makeField(k, cell);
    if (minimumWidth > 0)
        f->setMinimumWidth(minimumWidth);
    h->addWidget(f);
    return cell;
}

void IndicatorBlockWidget::build()
{
    m_grid = new QGridLayout(this);
    m_grid->setContentsMargins(0, 0, 0, 0);
    m_grid->setHorizontalSpacing(0);
    m_grid->setVerticalSpacing(0);
    const ScreenRows &rows = screenRows();

    // Column heads of each block.
    for (int b = 0; b < 3; ++b) {
        const int c0 = b * kColumnsPerBlock;
        m_grid->addWidget(cellLabel(QString::fromUtf8(kBlockNames[b]), true), 0, c0, 1, 3);
        m_grid->addWidget(cellLabel(QStringLiteral("计量单位"), true), 0, c0 + 3);
        m_grid->addWidget(cellLabel(QStringLiteral("本年度数量"), true), 0, c0 + 4);
    }
    for (int r = 0; r <= rows.last; ++r)
        m_grid->setRowMinimumHeight(r, kRowHeight);

    // Group labels: consecutive indicators that share a label get one cell spanning
    // their rows; a group column left unused is taken by the caption.
    struct Span {
        int block, level, first, last, column;
        QString text;
    };
    std::vector<Span> spans;

    for (int k = 1; k <= kIndicatorCount; ++k) {
        const IndicatorPlacement &p = indicatorPlacement(k);
        const int c0 = (p.block - 1) * kColumnsPerBlock;
        const int row = screenRow(k);
        const QStringList path = groupPath(k);
        const int levels = p.inTable() ? 1 : int(path.size());
        for (int level = 0; level < levels; ++level) {
            const QString key = path.mid(0, level + 1).join(QLatin1Char('/'));
            auto it = std::find_if(spans.rbegin(), spans.rend(), [&](const Span &s) {
                return s.block == p.block && s.level == level && s.text == key;
            });
            if (it != spans.rend() && it->last >= row - 1) {
                it->last = std::max(it->last, row);
                continue;
            }
            spans.push_back({p.block, level, row, row, c0 + level, key});
        }
        if (p.inTable())
            continue;
        const int captionCol = c0 + levels;
        QLabel *captionLabel = cellLabel(str(indicator(k).caption));
        captionLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        captionLabel->setToolTip(str(indicator(k).hint));
        m_grid->addWidget(captionLabel, row, captionCol, 1, 3 - levels);
        m_grid->addWidget(cellLabel(str(indicator(k).unit)), row, c0 + 3);
        m_grid->addWidget(fieldCell(k, this), row, c0 + 4);
    }
    // The tables of block 2 (tanks, open-air storage): one grid each, its head row of
    // captions above one line of four fields per group, so heads and fields share columns.
    std::map<int, std::vector<int>> tableLines; // grid row -> indicators
    for (int k = 1; k <= kIndicatorCount; ++k)
        if (indicatorPlacement(k).inTable())
            tableLines[screenRow(k)].push_back(k);
    const int c0 = kColumnsPerBlock; // block 2
    for (const auto &[first, head] : rows.tableHead) {
        std::vector<std::vector<int>> lines;
        for (int r = first; tableLines.count(r); ++r)
            lines.push_back(tableLines[r]);
        auto *table = new QWidget(this);
        auto *tg = new QGridLayout(table);
        tg->setContentsMargins(0, 0, 0, 0);
        tg->setSpacing(0);
        m_tableGrids << tg;
        const std::vector<int> &ks = lines.front();
        tg->addWidget(cellLabel(QString(), false, table), 0, 0);
        for (int i = 0; i < int(ks.size()); ++i)
            tg->addWidget(cellLabel(str(indicator(ks[size_t(i)]).caption), false, table), 0, i + 1);
        for (int l = 0; l < int(lines.size()); ++l) {
            tg->addWidget(cellLabel(groupPath(lines[size_t(l)].front()).back(), false, table), l + 1, 0);
            for (int i = 0; i < int(lines[size_t(l)].size()); ++i)
                tg->addWidget(fieldCell(lines[size_t(l)][size_t(i)], table, 56), l + 1, i + 1);
        }
        for (int r = 0; r <= int(lines.size()); ++r)
            tg->setRowMinimumHeight(r, kRowHeight);
        for (int i = 0; i <= int(ks.size()); ++i)
            tg->setColumnStretch(i, 1);
        m_grid->addWidget(table, head, c0 + 1, int(lines.size()) + 1, 4);
        spans.push_back({2, 0, head, head, c0, groupPath(ks.front()).front()});
    }
    // Merge the table heads into the span of their group label.
    std::vector<Span> merged;
    for (const Span &s : spans) {
        auto it = std::find_if(merged.begin(), merged.end(), [&](const Span &m) {
            return m.block == s.block && m.level == s.level && m.text == s.text && s.first <= m.last + 1 &&
                   s.last >= m.first - 1;
        });
        if (it != merged.end()) {
            it->first = std::min(it->first, s.first);
            it->last = std::max(it->last, s.last);
        } else {
            merged.push_back(s);
        }
    }
    for (const Span &s : merged) {
        QLabel *l = cellLabel(s.text.section(QLatin1Char('/'), -1));
        l->setWordWrap(true);
        l->setMaximumWidth(70);
        m_grid->addWidget(l, s.first, s.column, s.last - s.first + 1, 1);
    }
    // Cells the form leaves blank still get their rules.
    for (int b = 0; b < 3; ++b)
        for (int r = 1; r <= rows.last; ++r)
            for (int c = b * kColumnsPerBlock; c < (b + 1) * kColumnsPerBlock; ++c)
                if (!m_grid->itemAtPosition(r, c))
                    m_grid->addWidget(cellLabel(QString()), r, c);
    for (int b = 0; b < 3; ++b) {
        m_grid->setColumnMinimumWidth(b * kColumnsPerBlock, 44);
        m_grid->setColumnMinimumWidth(b * kColumnsPerBlock + 3, 56);
        m_grid->setColumnMinimumWidth(b * kColumnsPerBlock + 4, 96);
        m_grid->setColumnStretch(b * kColumnsPerBlock + 2, 1);
    }

    if (m_options.changeHandlers) {
        for (int total : {13, 17, 23}) {
            int count = 0;
            const auto parts = totalParts(total, count);
            for (int i = 0; i < count; ++i)
                connect(field(parts[size_t(i)]), &QLineEdit::textChanged, this, &IndicatorBlockWidget::onPartChanged);
        }
    }
}

void IndicatorBlockWidget::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    QPainter p(this);
    p.setPen(QColor(0x8a, 0x8a, 0x8a));
    // The rules of the paper form: every cell's right and bottom edge, and the frame.
    auto rule = [&](QGridLayout *grid, QPoint offset) {
        for (int i = 0; i < grid->count(); ++i) {
            const QRect r = grid->itemAt(i)->geometry().translated(offset);
            p.drawLine(r.topRight(), r.bottomRight());
            p.drawLine(r.bottomLeft(), r.bottomRight());
        }
    };
    rule(m_grid, {});
    for (QGridLayout *table : m_tableGrids)
        rule(table, table->parentWidget()->mapTo(this, QPoint(0, 0)));
    p.drawLine(0, 0, width() - 1, 0);
    p.drawLine(0, 0, 0, height() - 1);
}

QLineEdit *IndicatorBlockWidget::field(int k) const
{
    return m_fields.at(size_t(k - 1));
}

QString IndicatorBlockWidget::text(int k) const
{
    return field(k)->text();
}

void IndicatorBlockWidget::setText(int k, const QString &text)
{
    field(k)->setText(text);
}

IndicatorTexts IndicatorBlockWidget::texts() const
{
    IndicatorTexts t;
    for (int k = 1; k <= kIndicatorCount; ++k)
        t[size_t(k - 1)] = text(k);
    return t;
}

void IndicatorBlockWidget::setTexts(const IndicatorTexts &texts)
{
    for (int k = 1; k <= kIndicatorCount; ++k)
        setText(k, texts[size_t(k - 1)]);
}

void IndicatorBlockWidget::onPartChanged()
{
    if (m_autoTotals)
        recomputeTotals();
}

void IndicatorBlockWidget::recomputeTotals()
{
    const bool was = m_autoTotals;
    m_autoTotals = false;
    for (int total : {13, 17, 23}) {
        int count = 0;
        const auto parts = totalParts(total, count);
        double sum = 0;
        for (int i = 0; i < count; ++i)
            sum += parseNumber(text(parts[size_t(i)])).value_or(0.0);
        setText(total, formatGeneral(sum));
    }
    m_autoTotals = was;
}

void IndicatorBlockWidget::emptyZeros()
{
    for (QLineEdit *e : m_fields)
        if (e->text() == QStringLiteral("0"))
            e->clear();
}

void IndicatorBlockWidget::zeroEmpties()
{
    for (QLineEdit *e : m_fields)
        if (e->text().isEmpty())
            e->setText(QStringLiteral("0"));
}

} // namespace kestrova::ui
