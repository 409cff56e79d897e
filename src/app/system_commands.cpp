#include "app/system_commands.h"

#include "app/system/database_copy.h"
#include "app/system/help_document.h"
#include "app/system/system_reset.h"
#include "app/ui/prompter.h"
#include "data/app_home.h"
#include "data/context.h"
#include "data/store.h"
#include "data/task_record.h"

#include <QDesktopServices>
#include <QFileInfo>

namespace kestrova::ui {

namespace {
UrlOpener &urlOpener()
{
    static UrlOpener opener;
    return opener;
}

// The message the users know, and on the next lines what went wrong.
void restoreFailed(QWidget *parent, const QString &cause)
{
    prompter().message(parent, QStringLiteral("消息！"),
                       QStringLiteral("文件恢复出现错误，导入中断，请修改后重新导入！\n") + cause, Icon::Information);
}
} // namespace

void setUrlOpener(UrlOpener opener)
{
    urlOpener() = std::move(opener);
}

bool resetSystemCommand(QWidget *parent)
{
    if (prompter().message(parent, QStringLiteral("提示"), QStringLiteral("系统复位将清除系统中的全部纪录，确定要操作吗？"),
                           Icon::Information, Buttons::OkCancel) != Answer::Ok)
        return false;
    try {
        auto db = openStore(StoreOpen::MustExist);
        resetSystem(*db);
    } catch (const DbError &e) {
        prompter().error(parent, e.message());
        return false;
    }
    prompter().message(parent, QStringLiteral("操作提示"), QStringLiteral("系统复位完成。请选择确定，退出系统！"),
                       Icon::Information);
    return true;
}

void backupCommand(QWidget *parent)
{
    try {
        auto db = openStore(StoreOpen::MustExist);
        const auto task = loadTask(*db);
        context().unitLabel = task ? task->reportingUnit : QString();
        FileRequest request;
        request.kind = FileRequest::Kind::Save;
        request.caption = QStringLiteral("数据备份");
        request.defaultSuffix = QStringLiteral("bak");
        request.filter = QStringLiteral("备份文件 (*.bak)");
        request.suggestedName = backupBaseName(*db);
        request.directory = context().appDir; // backups sit beside the database unless the user goes elsewhere
        db.reset();
        const auto path = prompter().file(parent, request);
        if (!path) {
            prompter().message(parent, QStringLiteral("消息！"), QStringLiteral("数据备份取消！"), Icon::Information);
            return;
        }
        db = openStore(StoreOpen::MustExist);
        backupDatabase(*db, *path);
    } catch (const DbError &e) {
        prompter().error(parent, e.message());
        return;
    } catch (const CopyError &e) {
        prompter().error(parent, QStringLiteral("数据备份失败：") + e.cause());
        return;
    }
    prompter().message(parent, QStringLiteral("消息！"), QStringLiteral("数据备份成功！"), Icon::Information);
}

void restoreCommand(QWidget *parent)
{
    if (prompter().message(parent, QStringLiteral("消息"),
                           QStringLiteral("数据恢复将清除系统中的全部记录，请先将数据备份后再执行本操作。确定要操作吗？"),
                           Icon::Question, Buttons::YesNo) != Answer::Yes)
        return;
    FileRequest request;
    request.kind = FileRequest::Kind::Open;
    request.caption = QStringLiteral("数据恢复");
    request.defaultSuffix = QStringLiteral("bak");
    request.filter = QStringLiteral("备份文件 (*.bak)");
    request.directory = context().appDir;
    const auto path = prompter().file(parent, request);
    if (!path) {
        prompter().message(parent, QStringLiteral("消息！"), QStringLiteral("文件恢复取消！"), Icon::Information);
        return;
    }
    if (!hasBackupSuffix(*path)) {
        prompter().message(parent, QStringLiteral("消息！"), QStringLiteral("文件类型错误，文件恢复失败！"),
                           Icon::Information);
        return;
    }
    try {
        restoreDatabase(*path, databasePath());
    } catch (const CopyError &e) {
        restoreFailed(parent, e.cause());
        return;
    }
    prompter().message(parent, QStringLiteral("消息！"), QStringLiteral("文件恢复成功！"), Icon::Information);
}

void helpCommand(QWidget *parent)
{
    const QString file = shippedFile(kHelpFileName);
    if (!QFileInfo::exists(file)) {
        prompter().message(parent, QStringLiteral("提示"), QStringLiteral("找不到帮助文件：") + file, Icon::Warning);
        return;
    }
    const QUrl url = QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath());
    const bool opened = urlOpener() ? urlOpener()(url) : QDesktopServices::openUrl(url);
    if (!opened)
        prompter().message(parent, QStringLiteral("提示"),
                           QStringLiteral("没有可以打开帮助文件的浏览器，请用浏览器打开：") + file, Icon::Warning);
}

} // namespace kestrova::ui
