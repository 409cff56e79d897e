#include "transfer/ui/transfer_commands.h"

#include "app/ui/prompter.h"
#include "data/app_home.h"
#include "data/context.h"
#include "data/record_columns.h"
#include "data/store.h"
#include "data/task_record.h"
#include "transfer/export_gate.h"
#include "transfer/messages.h"
#include "transfer/transfer_error.h"
#include "transfer/ui/progress_bar.h"
#include "transfer/upload_export.h"
#include "transfer/upload_import.h"
#include "transfer/upload_name.h"

#include <QApplication>
#include <QDate>

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
    request.filter = QStringLiteral("Excel 文件 (*.xls)");
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
    request.kind = FileRequest::Kind::Open;
    request.defaultSuffix = QStringLiteral("xls");
    request.filter = QStringLiteral("Excel 文件 (*.xls)");
    const auto chosen = prompter().file(mainWindow, request);
    if (!chosen)
        return;

    QString failure;
    {
        BarProgress bar(progress);
        if (!transfer::hasUploadSuffix(*chosen)) {
            failure = transfer::kWrongFileType;
        } else {
            try {
                BusyCursor busy;
                auto db = openStore(StoreOpen::MustExist);
                transfer::importUploadWorkbook(*db, *chosen, bar);
            } catch (const transfer::TransferError &e) {
                failure = e.fullText();
            } catch (const std::exception &e) {
                failure = transfer::TransferError(transfer::kImportFailed, QString::fromUtf8(e.what())).fullText();
            }
        }
    } // the bar is hidden before the outcome is shown
    if (!failure.isEmpty()) {
        tell(mainWindow, failure);
        return;
    }
    warmRecordColumns(databasePath()); // the reports' copy of the records is stale now
    tell(mainWindow, transfer::kImported);
}

} // namespace kestrova::ui
