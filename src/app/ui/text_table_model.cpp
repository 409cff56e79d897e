#include "app/ui/text_table_model.h"

#include <QBrush>
#include <QColor>
#include <QFont>

#include <algorithm>

namespace kestrova::ui {

TextTableModel::TextTableModel(QObject *parent) : QAbstractTableModel(parent) {}

void TextTableModel::setTable(const QList<QStringList> &rows, const QSet<int> &numeric)
{
    beginResetModel();
    m_headings = rows.value(0);
    m_lines.clear();
    m_lines.reserve(rows.size());
    for (qsizetype i = 1; i < rows.size(); ++i)
        m_lines.append(Line{rows[i], false});
    m_numeric = numeric;
    endResetModel();
}

void TextTableModel::setMarkedRows(const QSet<int> &rows)
{
    for (qsizetype i = 0; i < m_lines.size(); ++i)
        m_lines[i].marked = rows.contains(int(i));
    if (!m_lines.isEmpty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

QList<QStringList> TextTableModel::table() const
{
    QList<QStringList> out{m_headings};
    for (const Line &l : m_lines)
        out << l.cells;
    return out;
}

int TextTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_lines.size());
}

int TextTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_headings.size());
}

QVariant TextTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_lines.size())
        return {};
    const Line &line = m_lines[index.row()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: return line.cells.value(index.column());
    case Qt::TextAlignmentRole:
        return m_numeric.contains(index.column()) ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                                  : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::BackgroundRole: return line.marked ? QVariant(QBrush(QColor(0xff, 0xd9, 0xd2))) : QVariant();
    case Qt::FontRole:
        if (line.marked) {
            QFont f;
            f.setBold(true);
            return f;
        }
        return {};
    default: return {};
    }
}

QVariant TextTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return m_headings.value(section);
    return section + 1;
}

void TextTableModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= m_headings.size())
        return;
    const bool numeric = m_numeric.contains(column);
    const auto less = [column, numeric](const Line &a, const Line &b) {
        const QString &x = a.cells.value(column), &y = b.cells.value(column);
        if (numeric) {
            bool okX = false, okY = false;
            const double dx = x.toDouble(&okX), dy = y.toDouble(&okY);
            if (okX != okY)
                return okX; // numbers before empty cells
            if (okX)
                return dx < dy;
        }
        return x.localeAwareCompare(y) < 0;
    };
    emit layoutAboutToBeChanged();
    if (order == Qt::AscendingOrder)
        std::stable_sort(m_lines.begin(), m_lines.end(), less);
    else
        std::stable_sort(m_lines.begin(), m_lines.end(), [&less](const Line &a, const Line &b) { return less(b, a); });
    emit layoutChanged();
}

} // namespace kestrova::ui
