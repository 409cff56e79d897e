#include "reports/ui/report_table.h"

#include "reports/ui/report_cell_delegate.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>

namespace kestrova::ui {

// A view over the table's cells that stays at the offsets it is given, whatever its
// own scroll bars would do.
class FixedPane : public QTableView {
public:
    explicit FixedPane(QWidget *parent) : QTableView(parent)
    {
        connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { keepOffsets(); });
        connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { keepOffsets(); });
    }
    void setOffsets(int x, int y)
    {
        m_x = x;
        m_y = y;
        keepOffsets();
    }

protected:
    void updateGeometries() override
    {
        QTableView::updateGeometries();
        keepOffsets();
    }

private:
    void keepOffsets()
    {
        if (m_keeping)
            return;
        m_keeping = true;
        horizontalScrollBar()->setValue(m_x);
        verticalScrollBar()->setValue(m_y);
        m_keeping = false;
    }
    int m_x = 0;
    int m_y = 0;
    bool m_keeping = false;
};

namespace {
constexpr int kEdgeGrip = 3; // pixels either side of a column edge that start a drag

QFont fontOf(const QTableWidgetItem *item, const QFont &base)
{
    const QVariant f = item->data(Qt::FontRole);
    return f.isValid() ? qvariant_cast<QFont>(f) : base;
}

int widthOfLongestLine(const QFont &font, const QString &text)
{
    return ReportCellDelegate::textSize(font, text, 1000000).width();
}
} // namespace

ReportTable::ReportTable(QWidget *parent) : QTableWidget(parent)
{
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerPixel);
    setWordWrap(true);
    setItemDelegate(new ReportCellDelegate(this));
    m_top = makePane(QStringLiteral("表头"));
    m_left = makePane(QStringLiteral("行标签"));
    m_corner = makePane(QStringLiteral("表头左角"));
    viewport()->installEventFilter(this);

    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int c, int, int w) {
        for (FixedPane *p : {m_top, m_left, m_corner})
            p->setColumnWidth(c, w);
        if (!m_fitting)
            fitHeadingRows();
        placePanes();
    });
    connect(verticalHeader(), &QHeaderView::sectionResized, this, [this](int r, int, int h) {
        for (FixedPane *p : {m_top, m_left, m_corner})
            p->setRowHeight(r, h);
        placePanes();
    });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &ReportTable::placePanes);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &ReportTable::placePanes);
}

FixedPane *ReportTable::makePane(const QString &name)
{
    auto *p = new FixedPane(this);
    p->setAccessibleName(name);
    p->setModel(model());
    p->setSelectionModel(selectionModel());
    p->setItemDelegate(new ReportCellDelegate(p));
    p->horizontalHeader()->hide();
    p->verticalHeader()->hide();
    p->setFrameShape(QFrame::NoFrame);
    p->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    p->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    p->setHorizontalScrollMode(ScrollPerPixel);
    p->setVerticalScrollMode(ScrollPerPixel);
    // The keys stay with the table; a pane never scrolls itself to a cell.
    p->setFocusPolicy(Qt::NoFocus);
    p->setAutoScroll(false);
    p->setEditTriggers(NoEditTriggers);
    p->setWordWrap(true);
    p->viewport()->installEventFilter(this);
    p->viewport()->setMouseTracking(true);
    connect(p, &QTableView::pressed, this, [this] { setFocus(Qt::MouseFocusReason); });
    connect(p, &QTableView::clicked, this, [this](const QModelIndex &i) { emit cellClicked(i.row(), i.column()); });
    p->hide();
    return p;
}

void ReportTable::setFixedRows(int rows)
{
    m_fixedRows = std::max(rows, 0);
    syncPanes();
}

void ReportTable::syncPanes()
{
    for (FixedPane *p : {m_top, m_left, m_corner}) {
        p->setSelectionMode(selectionMode());
        p->setSelectionBehavior(selectionBehavior());
        p->setShowGrid(showGrid());
        p->setPalette(palette());
        p->setFont(font());
        p->clearSpans();
        for (int r = 0; r < rowCount(); ++r)
            p->setRowHeight(r, rowHeight(r));
        for (int c = 0; c < columnCount(); ++c)
            p->setColumnWidth(c, columnWidth(c));
    }
    for (const QRect &b : m_blocks)
        for (FixedPane *p : {m_top, m_left, m_corner})
            p->setSpan(b.y(), b.x(), b.height(), b.width());
    // The labels pane starts at the first data row and the corner below the title, so
    // each scrolls from 0 however short the table is.
    for (int r = 0; r < rowCount(); ++r) {
        m_left->setRowHidden(r, r < m_fixedRows);
        m_corner->setRowHidden(r, r == 0);
    }
    placePanes();
}

void ReportTable::setBlock(int row, int col, int rows, int cols)
{
    setSpan(row, col, rows, cols);
    m_blocks << QRect(col, row, cols, rows);
    for (FixedPane *p : {m_top, m_left, m_corner})
        p->setSpan(row, col, rows, cols);
}

void ReportTable::clearBlocks()
{
    clearSpans();
    m_blocks.clear();
    for (FixedPane *p : {m_top, m_left, m_corner})
        p->clearSpans();
}

bool ReportTable::isCovered(int row, int col) const
{
    for (const QRect &b : m_blocks)
        if (b.contains(col, row) && (b.x() != col || b.y() != row))
            return true;
    return false;
}

int ReportTable::fixedHeight() const
{
    int h = 0;
    for (int r = 0; r < std::min(m_fixedRows, rowCount()); ++r)
        h += rowHeight(r);
    return h;
}

void ReportTable::placePanes()
{
    const bool on = m_fixedRows > 0 && columnCount() > 0 && rowCount() > 0;
    for (FixedPane *p : {m_top, m_left, m_corner})
        p->setVisible(on);
    if (!on) {
        placeCaption();
        return;
    }
    const QRect vp = viewport()->geometry();
    const int head = std::min(fixedHeight(), vp.height());
    const int title = std::min(rowHeight(0), head);
    const int labels = std::min(columnWidth(0), vp.width());
    m_top->setGeometry(vp.x(), vp.y(), vp.width(), head);
    m_top->setOffsets(horizontalScrollBar()->value(), 0);
    m_corner->setGeometry(vp.x(), vp.y() + title, labels, head - title);
    m_corner->setOffsets(0, 0);
    m_left->setGeometry(vp.x(), vp.y() + head, labels, std::max(vp.height() - head, 0));
    m_left->setOffsets(0, verticalScrollBar()->value());
    m_top->raise();
    m_left->raise();
    m_corner->raise();
    placeCaption();
}

void ReportTable::attachCaption(QLabel *label)
{
    m_caption = label;
    placeCaption();
}

void ReportTable::placeCaption()
{
    if (!m_caption || !m_caption->parentWidget() || columnCount() == 0 || rowCount() == 0)
        return;
    const int last = columnCount() - 1;
    const QSize s = m_caption->sizeHint();
    const QRect vp = viewport()->geometry();
    // Right-aligned in the last column; kept inside the visible part of that column.
    const int left = columnViewportPosition(last);
    const int right = std::min(left + columnWidth(last), vp.width()) - ReportCellDelegate::kHorizontalMargin;
    const int x = std::max(right - s.width(), std::max(left, 0));
    const int y = std::max(rowHeight(0) - s.height() - 4, 0);
    const bool inView = left < vp.width() && left + columnWidth(last) > 0 && y + s.height() <= vp.height();
    const QPoint at = mapTo(m_caption->parentWidget(), vp.topLeft() + QPoint(x, y));
    m_caption->setGeometry(QRect(at, QSize(std::min(s.width(), std::max(right - x, 0)), s.height())));
    m_caption->setVisible(inView && !m_caption->text().isEmpty());
    m_caption->raise();
}

void ReportTable::fitToContents(int labelWidth, int valueWidth)
{
    m_fitting = true;
    const int margins = 2 * ReportCellDelegate::kHorizontalMargin;
    const QFont base = font();
    QList<int> widths;
    for (int c = 0; c < columnCount(); ++c)
        widths << (c == 0 ? labelWidth : valueWidth);
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c) {
            const QTableWidgetItem *item = this->item(r, c);
            if (!item || item->text().isEmpty() || isCovered(r, c) || columnSpan(r, c) != 1)
                continue;
            const QFont f = fontOf(item, base);
            int need = widthOfLongestLine(f, item->text());
            if (r < m_fixedRows) {
                // A heading may wrap, into three lines at most, never inside a word.
                const int narrowest = ReportCellDelegate::textSize(f, item->text(), 1).width();
                need = std::max(narrowest, (need + 2) / 3);
            }
            widths[c] = std::max(widths[c], need + margins);
        }
    // The title on one line, with room for the caption on either side of it.
    if (const QTableWidgetItem *title = rowCount() > 0 && columnCount() > 0 ? item(0, 0) : nullptr) {
        const int caption = m_caption && !m_caption->text().isEmpty() ? m_caption->sizeHint().width() + margins : 0;
        const int need = widthOfLongestLine(fontOf(title, base), title->text()) + 2 * caption + margins;
        int total = 0;
        for (int w : widths)
            total += w;
        const int first = columnCount() > 1 ? 1 : 0;
        const int share = columnCount() - first;
        if (total < need && share > 0)
            for (int c = first; c < columnCount(); ++c)
                widths[c] += (need - total + share - 1) / share;
    }
    for (int c = 0; c < columnCount(); ++c)
        setColumnWidth(c, widths[c]);
    m_baseHeights.clear();
    for (int r = 0; r < std::min(m_fixedRows, rowCount()); ++r)
        m_baseHeights << rowHeight(r);
    m_fitting = false;
    fitHeadingRows();
    syncPanes();
}

void ReportTable::fitHeadingRows()
{
    const int rows = std::min<int>(m_baseHeights.size(), rowCount());
    if (rows == 0)
        return;
    QList<int> heights = m_baseHeights.mid(0, rows);
    const QFont base = font();
    // Blocks of one row first, so a block over several rows only adds what they lack.
    for (int span = 1; span <= rows; ++span)
        for (int r = 0; r + span <= rows; ++r)
            for (int c = 0; c < columnCount(); ++c) {
                const QTableWidgetItem *item = this->item(r, c);
                if (!item || item->text().isEmpty() || isCovered(r, c) || rowSpan(r, c) != span)
                    continue;
                int width = 0;
                for (int k = c; k < c + columnSpan(r, c) && k < columnCount(); ++k)
                    width += columnWidth(k);
                width -= 2 * ReportCellDelegate::kHorizontalMargin;
                int need = ReportCellDelegate::textSize(fontOf(item, base), item->text(), width).height() +
                           2 * ReportCellDelegate::kVerticalMargin;
                int have = 0;
                for (int k = r; k < r + span; ++k)
                    have += heights[k];
                if (need > have)
                    heights[r + span - 1] += need - have;
            }
    for (int r = 0; r < rows; ++r)
        if (rowHeight(r) != heights[r])
            setRowHeight(r, heights[r]);
}

void ReportTable::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    // Headings and labels are always in sight: only the other direction scrolls.
    const int keepV = verticalScrollBar()->value();
    const int keepH = horizontalScrollBar()->value();
    QTableWidget::scrollTo(index, hint);
    if (!index.isValid() || m_fixedRows == 0)
        return;
    if (index.row() < m_fixedRows)
        verticalScrollBar()->setValue(keepV);
    if (index.column() == 0)
        horizontalScrollBar()->setValue(keepH);
    const QRect r = visualRect(index);
    const int head = fixedHeight();
    if (index.row() >= m_fixedRows && r.top() < head)
        verticalScrollBar()->setValue(verticalScrollBar()->value() - (head - r.top()));
    if (index.column() > 0 && r.left() < columnWidth(0))
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - (columnWidth(0) - r.left()));
}

void ReportTable::resizeEvent(QResizeEvent *event)
{
    QTableWidget::resizeEvent(event);
    placePanes();
}

void ReportTable::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        emit copyRequested();
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void ReportTable::changeEvent(QEvent *event)
{
    QTableWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        for (FixedPane *p : {m_top, m_left, m_corner})
            p->setPalette(palette());
}

int ReportTable::edgeAt(const FixedPane *pane, int x) const
{
    for (int c = 0; c < columnCount(); ++c) {
        const int right = pane->columnViewportPosition(c) + pane->columnWidth(c);
        if (std::abs(x - right) <= kEdgeGrip)
            return c;
    }
    return -1;
}

bool ReportTable::dragEdge(FixedPane *pane, QEvent *event)
{
    QWidget *vp = pane->viewport();
    if (event->type() == QEvent::Leave) {
        if (m_dragColumn < 0)
            vp->unsetCursor();
        return false;
    }
    // Every other event the panes see (polish, paint, hover ...) is none of ours.
    const auto *e = dynamic_cast<const QMouseEvent *>(event);
    if (!e)
        return false;
    // Edges are taken in the heading rows, below the title.
    const auto edgeUnder = [&] {
        const QPoint p = e->position().toPoint();
        return pane == m_top && p.y() < rowHeight(0) ? -1 : edgeAt(pane, p.x());
    };
    switch (event->type()) {
    case QEvent::MouseMove:
        if (m_dragColumn >= 0) {
            const int dx = int(e->globalPosition().x()) - m_dragStartX;
            setColumnWidth(m_dragColumn, std::max(kMinColumnWidth, m_dragStartWidth + dx));
            return true;
        }
        if (e->buttons() == Qt::NoButton) {
            if (edgeUnder() >= 0)
                vp->setCursor(Qt::SplitHCursor);
            else
                vp->unsetCursor();
        }
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        if (e->button() != Qt::LeftButton)
            return false;
        const int c = edgeUnder();
        if (c < 0)
            return false;
        m_dragColumn = c;
        m_dragStartX = int(e->globalPosition().x());
        m_dragStartWidth = columnWidth(c);
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (m_dragColumn < 0)
            return false;
        m_dragColumn = -1;
        return true;
    default:
        return false;
    }
}

bool ReportTable::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == viewport() && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        placePanes();
    for (FixedPane *p : {m_top, m_left, m_corner}) {
        if (!p || watched != p->viewport())
            continue;
        // The panes scroll only with the table.
        if (event->type() == QEvent::Wheel) {
            QCoreApplication::sendEvent(viewport(), event);
            return true;
        }
        if (p != m_left && dragEdge(p, event))
            return true;
    }
    return QTableWidget::eventFilter(watched, event);
}

} // namespace kestrova::ui
