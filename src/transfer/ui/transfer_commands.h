#pragma once
// The main window's 数据传输 commands. Both drive the main window's progress bar.
class QWidget;
class QProgressBar;

namespace kestrova::ui {
void makeUploadFile(QWidget *mainWindow, QProgressBar *progress);    // 制作上报文件
void importUploadFiles(QWidget *mainWindow, QProgressBar *progress); // 上报数据入库
} // namespace kestrova::ui
