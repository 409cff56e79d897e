#pragma once
// The main window's 数据传输 commands. The two transfers drive the main window's
// progress bar.
class QWidget;
class QProgressBar;

namespace kestrova::ui {
void makeUploadFile(QWidget *mainWindow, QProgressBar *progress);    // 制作上报文件
void importUploadFiles(QWidget *mainWindow, QProgressBar *progress); // 上报数据入库
void showSubmissions(QWidget *mainWindow);                           // 报送情况
} // namespace kestrova::ui
