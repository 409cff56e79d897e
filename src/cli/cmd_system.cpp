// backup, restore and reset: the installation as a whole.
#include "app/system/database_copy.h"
#include "app/system/system_reset.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "data/app_home.h"

namespace kestrova::cli {

namespace {
QString onePath(const QStringList &args)
{
    return parseOptions(args, {}, 1, 1).positional.constFirst();
}
} // namespace

int runBackup(const QStringList &args)
{
    const QString target = onePath(args);
    // Only a name ending in bak can be restored later, so nothing else is written.
    if (!hasBackupSuffix(target))
        throw CliError(QStringLiteral("备份文件名须以 bak 结尾：%1").arg(target));
    auto db = openExistingStore();
    try {
        backupDatabase(*db, target);
    } catch (const CopyError &e) {
        throw CliError(QStringLiteral("数据备份失败：") + e.cause());
    }
    printOut(QStringLiteral("数据备份成功！%1").arg(target));
    return 0;
}

int runRestore(const QStringList &args)
{
    const QString source = onePath(args);
    try {
        restoreDatabase(source, databasePath());
    } catch (const CopyError &e) {
        if (e.kind() == CopyError::Kind::WrongType)
            throw CliError(QStringLiteral("文件类型错误，文件恢复失败！"));
        throw CliError(QStringLiteral("文件恢复出现错误，导入中断，请修改后重新导入！\n") + e.cause());
    }
    printOut(QStringLiteral("文件恢复成功！"));
    return 0;
}

int runReset(const QStringList &args)
{
    parseOptions(args, {});
    auto db = openExistingStore();
    const auto deleted = resetSystem(*db);
    QStringList parts;
    for (const auto &[table, rows] : deleted)
        parts << QStringLiteral("%1 %2 行").arg(table).arg(rows);
    printOut(QStringLiteral("系统复位完成，已删除：") + parts.join(QStringLiteral("，")));
    return 0;
}

} // namespace kestrova::cli
