#include "transfer/ui/transfer_commands.h"

#include "app/ui/modal.h"
#include "app/ui/prompter.h"
#include "app/ui/window_registry.h"
#include "data/app_home.h"
#include "data/context.h"
#include "data/record_columns.h"
#include "data/store.h"
#include "data/task_record.h"
#include "transfer/export_gate.h"
#include "transfer/import_preview.h"
#include "transfer/messages.h"
#include "transfer/transfer_error.h"
#include "transfer/ui/import_preview_window.h"
#include "transfer/ui/progress_bar.h"
#include "transfer/ui/submissions_window.h"
#include "transfer/upload_export.h"
#include "transfer/upload_import.h"
#include "transfer/upload_name.h"

#include <QApplication>
#include <QDate>
#include <QFileInfo>

namespace kestrova::ui {

namespace {
void tell(QWidget *parent, const QString &text)
{
    prompter().message(parent, transfer::kCaption, text, Icon::Information);
}

// Keeps the wait cursor up while a transfer works; the window does not respond meanwhile.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};
} // namespace

void makeUploadFile(QWidget *mainWindow, QProgressBar *progress)
{
    std::unique_ptr<Database> db;
    try {
        db = openStore(StoreOpen::MustExist);
        if (const auto refusal = transfer::exportRefusal(*db)) {
            tell(mainWindow, *refusal);
            return;
        }
        const auto task = loadTask(*db);
        context().unitLabel = task ? transfer::unitLabel(task->level, task->province, task->city, task->county)
                                   : QString();
    } catch (const DbError &e) {
        prompter().error(mainWindow, QString::fromStdString(e.what()));
        return;
    }

    FileRequest request;
    request.kind = FileRequest::Kind::Save;
    request.defaultSuffix = QStringLiteral("xls");
    request.filter = kWorkbookFilter;
    request.suggestedName = transfer::suggestedUploadName(context().unitLabel, QDate::currentDate());
    const auto chosen = prompter().file(mainWindow, request);
    if (!chosen)
        return;

    try {
        BusyCursor busy;
        BarProgress bar(progress);
        transfer::writeUploadWorkbook(*db, shippedFile(QStringLiteral("templet/out.xls")), *chosen, bar);
    } catch (const transfer::TransferError &e) {
        prompter().error(mainWindow, e.fullText());
        return;
    } catch (const std::exception &e) {
        prompter().error(mainWindow, transfer::TransferError(transfer::kExportFailed, QString::fromUtf8(e.what())).fullText());
        return;
    }
    tell(mainWindow, transfer::kExported);
}

void importUploadFiles(QWidget *mainWindow, QProgressBar *progress)
{
    FileRequest request;
    request.kind = FileRequest::Kind::OpenMany;
    request.caption = QStringLiteral("上报数据入库");
    request.defaultSuffix = QStringLiteral("xls");
    request.filter = kWorkbookFilter;
    const auto chosen = prompter().openFiles(mainWindow, request);
    if (!chosen || chosen->isEmpty())
        return;
    // One file of the wrong kind is refused at once, as it always was.
    if (chosen->size() == 1 && !transfer::hasUploadSuffix(chosen->constFirst())) {
        tell(mainWindow, transfer::kWrongFileType);
        return;
    }

    transfer::ImportPreview preview;
    try {
        BusyCursor busy;
        BarProgress bar(progress);
        auto db = openStore(StoreOpen::MustExist);
        preview = transfer::previewImports(*db, *chosen, bar);
    } catch (const DbError &e) {
        prompter().error(mainWindow, e.message());
        return;
    }
    auto *window = new ImportPreviewWindow(preview, mainWindow);
    noteWindow(QStringLiteral("TFrmImportPreview"), window);
    const int answer = showModal(window);
    window->deleteLater();
    if (answer != QDialog::Accepted)
        return;

    // Each file in its own transaction, in the order chosen; one that fails leaves the
    // database as it was before it, and the next one is still tried.
    QStringList lines;
    bool imported = false;
    for (const QString &path : *chosen) {
        const QString name = QFileInfo(path).fileName() + QStringLiteral("：");
        if (!transfer::hasUploadSuffix(path)) {
            lines << name + transfer::kWrongFileType;
            continue;
        }
        try {
            BusyCursor busy;
            BarProgress bar(progress);
            auto db = openStore(StoreOpen::MustExist);
            const auto result = transfer::importUploadWorkbook(*db, path, bar, context().userName);
            lines << name + transfer::kImported << transfer::importedCounts(result);
            imported = true;
        } catch (const transfer::TransferError &e) {
            lines << name + e.fullText();
        } catch (const DbError &e) {
            lines << name + transfer::kImportFailed << e.message();
        } catch (const std::exception &e) {
            lines << name + transfer::TransferError(transfer::kImportFailed, QString::fromUtf8(e.what())).fullText();
        }
    }
    if (imported)
        warmRecordColumns(databasePath()); // the reports' copy of the records is stale now
    tell(mainWindow, lines.join(QLatin1Char('\n')));
}

void showSubmissions(QWidget *mainWindow)
{
    SubmissionsWindow *window = nullptr;
    try {
        window = new SubmissionsWindow(mainWindow);
    } catch (const DbError &e) {
        prompter().error(mainWindow, e.message());
        return;
    }
    noteWindow(QStringLiteral("TFrmSubmissions"), window);
    showModal(window);
    window->deleteLater();
}

} // namespace kestrova::ui
