#pragma once
// The 系统设置 and 帮助 commands that look after the installation as a whole.
#include <QUrl>

#include <functional>

class QWidget;

namespace kestrova::ui {

// 系统复位: true when the data was deleted and the program must end now.
bool resetSystemCommand(QWidget *parent);
void backupCommand(QWidget *parent);  // 数据备份
void restoreCommand(QWidget *parent); // 数据恢复
void helpCommand(QWidget *parent);    // Kestrova指标解释

// How the help page is handed to the desktop; tests replace it.
using UrlOpener = std::function<bool(const QUrl &)>;
void setUrlOpener(UrlOpener opener); // an empty one puts QDesktopServices back

} // namespace kestrova::ui
