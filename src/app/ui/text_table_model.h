#pragma once
// A read-only table of texts for a QTableView: headings, rows, columns that sort as
// numbers, and rows that stand out. Long lists (an import preview of 65,535 rows)
// stay quick, since nothing is made per cell until the view asks for it.
#include <QAbstractTableModel>
#include <QSet>
#include <QStringList>

namespace kestrova::ui {

class TextTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TextTableModel(QObject *parent = nullptr);

    // rows: headings first. numeric: columns compared as numbers and right-aligned.
    void setTable(const QList<QStringList> &rows, const QSet<int> &numeric = {});
    // Rows (0-based, among the data rows as set) shown bold on a warning colour.
    void setMarkedRows(const QSet<int> &rows);
    // The data rows in the order shown, headings first: what a save writes.
    QList<QStringList> table() const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    struct Line {
        QStringList cells;
        bool marked = false;
    };
    QStringList m_headings;
    QList<Line> m_lines;
    QSet<int> m_numeric;
};

} // namespace kestrova::ui
