#include "transfer/ui/import_preview_window.h"

#include "app/ui/prompter.h"
#include "app/ui/workbook_save.h"
#include "app/ui/text_table_model.h"
#include "data/file_error.h"
#include "transfer/table_workbook.h"

#include <QDate>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace kestrova::ui {

namespace {
QTableView *tableView(QWidget *parent, const QString &name, QAbstractItemModel *model)
{
    auto *view = new QTableView(parent);
    view->setObjectName(name);
    view->setAccessibleName(name == QLatin1String("GridNotes") ? QStringLiteral("需要留意的行")
                                                               : QStringLiteral("将要导入的文件"));
    view->setModel(model);
    // The workbooks in the order chosen, the notes by workbook and row, until a heading
    // is clicked.
    view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    view->setSortingEnabled(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setWordWrap(false);
    view->horizontalHeader()->setStretchLastSection(true);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 8);
    return view;
}

// Widths that show the short columns whole; the last one takes what is left.
void fitColumns(QTableView *view, int rowsLooked)
{
    const QAbstractItemModel *m = view->model();
    const QFontMetrics fm = view->fontMetrics();
    for (int c = 0; c + 1 < m->columnCount(); ++c) {
        int w = fm.horizontalAdvance(m->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString()) + 28;
        for (int r = 0; r < m->rowCount() && r < rowsLooked; ++r)
            w = std::max(w, fm.horizontalAdvance(m->index(r, c).data().toString()) + 16);
        view->setColumnWidth(c, std::min(w, 360));
    }
}
} // namespace

ImportPreviewWindow::ImportPreviewWindow(const transfer::ImportPreview &preview, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFrmImportPreview"));
    setWindowTitle(QStringLiteral("导入预览"));

    m_workbooks = new TextTableModel(this);
    m_workbooks->setTable(transfer::workbookTable(preview), {1, 2, 3, 4});
    QSet<int> refused;
    for (int i = 0; i < preview.workbooks.size(); ++i)
        if (!preview.workbooks[i].refusal.isEmpty() || !preview.workbooks[i].importedBefore.isEmpty())
            refused << i;
    m_workbooks->setMarkedRows(refused);
    m_notes = new TextTableModel(this);
    m_notes->setTable(transfer::noteTable(preview), {1});

    auto *intro = new QLabel(
        QStringLiteral("以下 %1 个文件将按所列顺序导入，每个文件单独导入，失败的文件不改变数据。"
                       "导入时先删除本地与工作簿中企业名称相同的全部记录，再写入工作簿的每一行。")
            .arg(preview.workbooks.size()),
        this);
    intro->setWordWrap(true);
    m_workbookView = tableView(this, QStringLiteral("GridWorkbooks"), m_workbooks);
    const int shownFiles = std::min<int>(int(preview.workbooks.size()), 6);
    m_workbookView->setMinimumHeight(m_workbookView->horizontalHeader()->sizeHint().height() +
                                     (shownFiles + 1) * m_workbookView->verticalHeader()->defaultSectionSize());
    auto *notesLabel = new QLabel(
        preview.notes.isEmpty() ? QStringLiteral("没有需要留意的行。")
                                : QStringLiteral("需要留意的行（共 %1 处，点标题可排序）：").arg(preview.notes.size()),
        this);
    notesLabel->setObjectName(QStringLiteral("LabelNotes"));
    m_noteView = tableView(this, QStringLiteral("GridNotes"), m_notes);

    auto *saveButton = new QPushButton(QStringLiteral("保存预览"), this);
    saveButton->setObjectName(QStringLiteral("BtnSave"));
    m_import = new QPushButton(QStringLiteral("继续导入"), this);
    m_import->setObjectName(QStringLiteral("BtnImport"));
    m_import->setEnabled(preview.canImport());
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("BtnCancel"));
    // Enter does not start the import: it replaces records.
    m_import->setAutoDefault(false);
    saveButton->setAutoDefault(false);
    cancel->setDefault(true);
    connect(saveButton, &QPushButton::clicked, this, &ImportPreviewWindow::save);
    connect(m_import, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(saveButton);
    buttons->addStretch();
    buttons->addWidget(m_import);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(m_workbookView);
    layout->addWidget(notesLabel);
    layout->addWidget(m_noteView, 1);
    layout->addLayout(buttons);

    fitColumns(m_workbookView, 50);
    fitColumns(m_noteView, 200);
    resize(1100, 640);
}

void ImportPreviewWindow::save()
{
    saveWorkbookAs(
        this, QStringLiteral("导入预览-") + QDate::currentDate().toString(QStringLiteral("MM-dd")),
        [&](const QString &path) {
            transfer::writeTableWorkbook(path, {{QStringLiteral("导入文件"), m_workbooks->table(), {1, 2, 3, 4}},
                                                {QStringLiteral("需要留意的行"), m_notes->table(), {1}}});
        },
        QStringLiteral("保存预览"));
}

} // namespace kestrova::ui
