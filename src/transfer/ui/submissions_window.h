#pragma once
// TFrmSubmissions ("报送情况"): the offices directly below this one, whether and when
// each sent its workbook, from which file, how many of its records the database holds
// now, and a file imported twice. Offices with no records stand out. 保存表格 writes
// the list into a workbook.
#include "transfer/submissions.h"

#include <QDialog>

class QLabel;
class QTableView;

namespace kestrova::ui {

class TextTableModel;

class SubmissionsWindow : public QDialog {
    Q_OBJECT
public:
    // Reads the list; throws DbError when the database cannot be read.
    explicit SubmissionsWindow(QWidget *parent = nullptr);

private:
    void save();

    TextTableModel *m_model;
    QTableView *m_view;
};

} // namespace kestrova::ui
