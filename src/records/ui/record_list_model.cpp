#include "records/ui/record_list_model.h"

#include <QColor>

namespace kestrova::ui {

RecordListModel::RecordListModel(QObject *parent) : QAbstractTableModel(parent) {}

const QStringList &RecordListModel::headers()
{
    static const QStringList h{QStringLiteral("序号"),     QStringLiteral("企业性质"), QStringLiteral("省份"),
                               QStringLiteral("经营范围"), QStringLiteral("企业名称"), QStringLiteral("校验")};
    return h;
}

const QList<int> &RecordListModel::columnWidths()
{
    static const QList<int> w{82, 182, 192, 186, 192, 185};
    return w;
}

void RecordListModel::setRows(std::vector<ListRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void RecordListModel::setSelectedRow(int gridRow)
{
    const int old = m_selected;
    m_selected = gridRow;
    for (int r : {old, gridRow})
        if (r >= 1 && r <= rowCount())
            emit dataChanged(index(r - 1, 0), index(r - 1, columnCount() - 1), {Qt::BackgroundRole});
}

QString RecordListModel::nameAt(int gridRow) const
{
    if (gridRow == 0)
        return headers().at(4);
    if (gridRow < 1 || gridRow > int(m_rows.size()))
        return {};
    return m_rows[size_t(gridRow - 1)].name;
}

qint64 RecordListModel::idAt(int gridRow) const
{
    if (gridRow < 1 || gridRow > int(m_rows.size()))
        return 0;
    return m_rows[size_t(gridRow - 1)].id;
}

int RecordListModel::rowCount(const QModelIndex &parent) const
{
    // An empty list still shows one empty row under the header.
    return parent.isValid() ? 0 : std::max<int>(1, int(m_rows.size()));
}

int RecordListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 6;
}

QVariant RecordListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    case Qt::BackgroundRole:
        return index.row() + 1 == m_selected ? QColor(Qt::yellow) : QColor(Qt::white);
    case Qt::ToolTipRole:
        // A long name is cut to the column's width; the whole of it shows on hovering.
        if (index.column() == 4 && size_t(index.row()) < m_rows.size() && !m_rows[size_t(index.row())].name.isEmpty())
            return m_rows[size_t(index.row())].name;
        return {};
    case Qt::DisplayRole: {
        if (size_t(index.row()) >= m_rows.size())
            return QString();
        const ListRow &r = m_rows[size_t(index.row())];
        switch (index.column()) {
        case 0: return QString::number(index.row() + 1);
        case 1: return r.ownership;
        case 2: return r.province;
        case 3: return r.business;
        case 4: return r.name;
        case 5: return r.validated ? QStringLiteral("通过") : QStringLiteral("否");
        }
        return {};
    }
    default:
        return {};
    }
}

QVariant RecordListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::DisplayRole)
        return headers().value(section);
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return {};
}

} // namespace kestrova::ui
