#include "reports/ui/report_cell_delegate.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QToolTip>

namespace kestrova::ui {

namespace {
// The item view leaves this much beside a cell's text (the style's focus margin + 1).
constexpr int kDrawnTextMargin = 3;
} // namespace

QSize ReportCellDelegate::textSize(const QFont &font, const QString &text, int width)
{
    const QFontMetrics fm(font);
    const QRect r = fm.boundingRect(QRect(0, 0, std::max(width, 1), 100000), Qt::TextWordWrap | Qt::AlignLeft, text);
    return r.size();
}

bool ReportCellDelegate::fits(const QFont &font, const QString &text, QSize cell)
{
    if (text.isEmpty())
        return true;
    const int width = cell.width() - 2 * kDrawnTextMargin;
    const QSize need = textSize(font, text, width);
    return need.width() <= width && need.height() <= cell.height();
}

bool ReportCellDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                                   const QModelIndex &index)
{
    if (!event || event->type() != QEvent::ToolTip || !view)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString text = index.data(Qt::DisplayRole).toString();
    QFont font = option.font;
    const QVariant own = index.data(Qt::FontRole);
    if (own.isValid())
        font = qvariant_cast<QFont>(own);
    if (!fits(font, text, option.rect.size()))
        QToolTip::showText(event->globalPos(), text, view->viewport(), option.rect);
    else
        QToolTip::hideText();
    return true;
}

} // namespace kestrova::ui
