#pragma once
// The rows of the enterprise list: six centred columns, the selected row in yellow.
#include "records/list_query.h"

#include <QAbstractTableModel>

namespace kestrova::ui {

class RecordListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecordListModel(QObject *parent = nullptr);

    void setRows(std::vector<ListRow> rows);
    const std::vector<ListRow> &rows() const { return m_rows; }
    // Grid row numbering: 0 is the header row, data rows start at 1.
    void setSelectedRow(int gridRow);
    // The 企业名称 cell of a grid row ("企业名称" on the header row, empty past the end).
    QString nameAt(int gridRow) const;
    qint64 idAt(int gridRow) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    static const QStringList &headers();
    static const QList<int> &columnWidths();

private:
    std::vector<ListRow> m_rows;
    int m_selected = 0;
};

} // namespace kestrova::ui
