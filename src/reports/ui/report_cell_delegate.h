#pragma once
// Draws report cells as the item view does (wrapped, elided where cut) and shows the
// whole text of a cut cell as its tooltip. The grid sizes its columns and heading rows
// with the same measure, so what it makes whole is whole on screen.
#include <QStyledItemDelegate>

namespace kestrova::ui {

class ReportCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // Pixels a cell's text needs around it, each side.
    static constexpr int kHorizontalMargin = 5;
    static constexpr int kVerticalMargin = 3;

    // The size the text needs in a cell of the given width, wrapped at word and
    // ideograph boundaries; the width is the widest line (an unbreakable word may
    // exceed the given width).
    static QSize textSize(const QFont &font, const QString &text, int width);
    // Whether the text shows whole in a cell of this size.
    static bool fits(const QFont &font, const QString &text, QSize cell);

    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;
};

} // namespace kestrova::ui
