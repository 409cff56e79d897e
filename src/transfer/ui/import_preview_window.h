#pragma once
// TFrmImportPreview ("导入预览"): what the chosen workbooks would do, before anything is
// written. 继续导入 accepts the dialog, 取消 rejects it; 保存预览 writes both tables into
// a workbook.
#include "transfer/import_preview.h"

#include <QDialog>

class QPushButton;
class QTableView;

namespace kestrova::ui {

class TextTableModel;

class ImportPreviewWindow : public QDialog {
    Q_OBJECT
public:
    ImportPreviewWindow(const transfer::ImportPreview &preview, QWidget *parent = nullptr);

private:
    void save();

    TextTableModel *m_workbooks;
    TextTableModel *m_notes;
    QTableView *m_workbookView;
    QTableView *m_noteView;
    QPushButton *m_import;
};

} // namespace kestrova::ui
