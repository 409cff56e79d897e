#include "app/system_commands.h"

#include "app/system/database_copy.h"
#include "app/system/help_document.h"
#include "app/system/system_reset.h"
#include "app/help_window.h"
#include "app/ui/modal.h"
#include "app/ui/prompter.h"
#include "app/ui/window_registry.h"
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

// What went wrong, and that the data is as it was: a restore never half-replaces it.
void restoreFailed(QWidget *parent, const QString &source, const CopyError &e)
{
    QString text;
    if (e.kind() == CopyError::Kind::NotOurs) {
        // The cause's first line says the same; its detail says what differs.
        text = QStringLiteral("“%1”不是本系统的备份文件，文件恢复失败！当前数据没有改变。").arg(QFileInfo(source).fileName());
        const QString detail = e.cause().section(QLatin1Char('\n'), 1);
        if (!detail.isEmpty())
            text += QLatin1Char('\n') + detail;
    } else {
        text = QStringLiteral("文件恢复失败！当前数据没有改变。\n") + e.cause();
    }
    prompter().message(parent, QStringLiteral("消息！"), text, Icon::Information);
}

const QString kBackupFirst = QStringLiteral("是否先备份当前数据？");

// Before the data goes: offers a backup. False when the user cancelled, or asked for a
// backup that was not made; then nothing may be deleted.
bool backupFirst(QWidget *parent, const QString &caption)
{
    switch (prompter().message(parent, caption, kBackupFirst, Icon::Question, Buttons::YesNoCancel)) {
    case Answer::Yes: return backupCommand(parent);
    case Answer::No: return true;
    default: return false;
    }
}
} // namespace

void setUrlOpener(UrlOpener opener)
{
    urlOpener() = std::move(opener);
}

bool resetSystemCommand(QWidget *parent)
{
    if (prompter().message(parent, QStringLiteral("提示"), QStringLiteral("系统复位将清除系统中的全部纪录，确定要操作吗？"),
                           Icon::Information, Buttons::OkCancelDefaultCancel) != Answer::Ok)
        return false;
    if (!backupFirst(parent, QStringLiteral("提示")))
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

bool backupCommand(QWidget *parent)
{
    try {
        auto db = openStore(StoreOpen::MustExist);
        const auto task = loadTask(*db);
        context().unitLabel = task ? task->reportingUnit : QString();
        FileRequest request;
        request.kind = FileRequest::Kind::Save;
        request.caption = QStringLiteral("数据备份");
        request.defaultSuffix = QStringLiteral("bak");
        request.filter = kBackupFilter;
        request.suggestedName = backupBaseName(*db);
        request.directory = context().appDir; // backups sit beside the database unless the user goes elsewhere
        db.reset();
        const auto path = prompter().file(parent, request);
        if (!path) {
            prompter().message(parent, QStringLiteral("消息！"), QStringLiteral("数据备份取消！"), Icon::Information);
            return false;
        }
        db = openStore(StoreOpen::MustExist);
        backupDatabase(*db, *path);
    } catch (const DbError &e) {
        prompter().error(parent, e.message());
        return false;
    } catch (const CopyError &e) {
        prompter().error(parent, QStringLiteral("数据备份失败：") + e.cause());
        return false;
    }
    prompter().message(parent, QStringLiteral("消息！"), QStringLiteral("数据备份成功！"), Icon::Information);
    return true;
}

bool restoreCommand(QWidget *parent)
{
    if (prompter().message(parent, QStringLiteral("消息"),
                           QStringLiteral("数据恢复将清除系统中的全部记录，请先将数据备份后再执行本操作。确定要操作吗？"),
                           Icon::Question, Buttons::YesNoDefaultNo) != Answer::Yes)
        return false;
    if (!backupFirst(parent, QStringLiteral("消息")))
        return false;
    FileRequest request;
    request.kind = FileRequest::Kind::Open;
    request.caption = QStringLiteral("数据恢复");
    request.defaultSuffix = QStringLiteral("bak");
    request.filter = kBackupFilter;
    request.directory = context().appDir;
    const auto path = prompter().file(parent, request);
    if (!path) {
        prompter().message(parent, QStringLiteral("消息！"), QStringLiteral("文件恢复取消！"), Icon::Information);
        return false;
    }
    if (!hasBackupSuffix(*path)) {
        prompter().message(parent, QStringLiteral("消息！"), QStringLiteral("文件类型错误，文件恢复失败！"),
                           Icon::Information);
        return false;
    }
    try {
        restoreDatabase(*path, databasePath());
    } catch (const CopyError &e) {
        restoreFailed(parent, *path, e);
        return false;
    }
    prompter().message(parent, QStringLiteral("消息！"), QStringLiteral("文件恢复成功！"), Icon::Information);
    return true;
}

bool openInBrowser(const QUrl &url)
{
    return urlOpener() ? urlOpener()(url) : QDesktopServices::openUrl(url);
}

void helpCommand(QWidget *parent)
{
    const QString file = shippedFile(kHelpFileName);
    if (!QFileInfo::exists(file)) {
        prompter().message(parent, QStringLiteral("提示"), QStringLiteral("找不到帮助文件：") + file, Icon::Warning);
        return;
    }
    auto *window = new HelpWindow(QFileInfo(file).absoluteFilePath(), parent);
    noteWindow(QStringLiteral("TFrmHelp"), window);
    showModal(window);
    window->deleteLater();
}

} // namespace kestrova::ui
