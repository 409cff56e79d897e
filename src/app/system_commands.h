#pragma once
// The 系统设置 and 帮助 commands that look after the installation as a whole.
#include <QUrl>

#include <functional>

class QWidget;

namespace kestrova::ui {

// 系统复位: true when the data was deleted and the program must end now. Cancel is the
// default answer, and a backup is offered before anything goes.
bool resetSystemCommand(QWidget *parent);
// 数据备份: true when the backup was written.
bool backupCommand(QWidget *parent);
// 数据恢复: true when the database was replaced; the caller loads its task record. No is
// the default answer, and a backup of the current data is offered first.
bool restoreCommand(QWidget *parent);
// Kestrova指标解释: the help page in a window of the program, which can also hand it to
// the desktop's browser.
void helpCommand(QWidget *parent);

// How the help page is handed to the desktop; tests replace it.
using UrlOpener = std::function<bool(const QUrl &)>;
void setUrlOpener(UrlOpener opener); // an empty one puts QDesktopServices back
// Hands url to the browser; false when none took it.
bool openInBrowser(const QUrl &url);

} // namespace kestrova::ui
