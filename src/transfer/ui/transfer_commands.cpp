#include "transfer/ui/transfer_commands.h"

#include "app/ui/prompter.h"

namespace kestrova::ui {
void makeUploadFile(QWidget *mainWindow, QProgressBar *)
{
    prompter().message(mainWindow, QStringLiteral("提示"), QStringLiteral("制作上报文件功能尚未提供。"), Icon::Information);
}

void importUploadFiles(QWidget *mainWindow, QProgressBar *)
{
    prompter().message(mainWindow, QStringLiteral("提示"), QStringLiteral("上报数据入库功能尚未提供。"), Icon::Information);
}
} // namespace kestrova::ui
