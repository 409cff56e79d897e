#include "reports/ui/all_reports_command.h"

#include "app/system/report_menu.h"
#include "app/ui/prompter.h"
#include "data/context.h"
#include "data/file_error.h"
#include "data/store.h"
#include "data/task_record.h"
#include "reports/all_reports.h"
#include "reports/report_error.h"
#include "transfer/upload_name.h"

#include <QApplication>
#include <QDir>
#include <QProgressDialog>

namespace kestrova::ui {

namespace {
const QString kCaption = QStringLiteral("全部报表");
}

void allReportsCommand(QWidget *parent)
{
    reports::AllReportsRequest request;
    std::unique_ptr<Database> db;
    try {
        db = openStore(StoreOpen::MustExist);
        const auto task = loadTask(*db);
        if (!task) {
            prompter().message(parent, QStringLiteral("提示"), QStringLiteral("请先设置汇总单位。"), Icon::Information);
            return;
        }
        request.titles = offeredReportTitles(task->level);
        request.year = task->year;
        request.office = transfer::unitLabel(task->level, task->province, task->city, task->county);
    } catch (const DbError &e) {
        prompter().error(parent, e.message());
        return;
    }

    FileRequest ask;
    ask.kind = FileRequest::Kind::Folder;
    ask.caption = QStringLiteral("全部报表：选择保存报表的文件夹");
    ask.directory = QDir::homePath();
    const auto folder = prompter().file(parent, ask);
    if (!folder)
        return;
    request.folder = *folder;

    QProgressDialog progress(QStringLiteral("正在生成报表……"), QStringLiteral("取消"), 0,
                             int(request.titles.size()) + 2, parent);
    progress.setObjectName(QStringLiteral("ProgressAllReports"));
    progress.setWindowTitle(kCaption);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    progress.setMinimumWidth(480);
    auto step = [&](int done, int total, const QString &what) {
        progress.setMaximum(total);
        progress.setValue(done);
        if (!what.isEmpty())
            progress.setLabelText(QStringLiteral("正在生成（%1/%2）：%3").arg(done + 1).arg(total).arg(what));
        QApplication::processEvents();
        return !progress.wasCanceled();
    };

    try {
        const auto result = reports::writeAllReports(*db, context(), request, step);
        progress.close();
        if (result.cancelled) {
            prompter().message(parent, QStringLiteral("提示"), QStringLiteral("已取消，没有保存任何报表。"),
                               Icon::Information);
            return;
        }
        prompter().message(parent, QStringLiteral("提示"),
                           QStringLiteral("保存成功！共 %1 个工作簿，在文件夹“%2”中。")
                               .arg(result.files.size())
                               .arg(QDir::toNativeSeparators(request.folder)),
                           Icon::Information);
    } catch (const reports::ReportError &e) {
        progress.close();
        prompter().error(parent, e.message());
    } catch (const FileError &e) {
        progress.close();
        prompter().error(parent, e.message());
    } catch (const DbError &e) {
        progress.close();
        prompter().error(parent, e.message());
    }
}

} // namespace kestrova::ui
