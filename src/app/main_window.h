#pragma once
// TFrmmain: the program's only window at start, holding the main menu.
#include <QKeySequence>
#include <QMainWindow>
#include <QMap>

#include <vector>

class QAction;
class QMenu;
class QProgressBar;

namespace kestrova::ui {

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);

    // Runs the start-up sequence. False when the user gave up and the program must end.
    bool startUp();
    // Shows the menus the task record allows (from the global context).
    void applyMenuRule();
    // The top-level menu with this caption, or nullptr.
    QMenu *topMenu(const QString &caption) const;
    QProgressBar *progressBar() const { return m_progress; }
    // Whether a command (系统复位) has ended the program.
    bool hasEnded() const { return m_ended; }

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    QAction *addCommand(QMenu *menu, const QString &caption, void (MainWindow::*slot)(),
                        const QKeySequence &keys = {});
    void openFirstMenu();
    void showTopMenu(const QString &caption, bool shown);
    void offerOnlyHelpAndQuit();
    void openWindow(const QString &className, bool maximised);
    void openReport(int index);
    void openTaskSettings();
    void openEnterpriseList();
    void openGatherList();
    void checkAllRecords(); // 全部校验
    void writeAllReports(); // 全部报表
    void makeUploadFile();
    void importUploadFiles();
    void showSubmissions();
    void openUserManagement();
    void resetSystem();
    void backup();
    void restore();
    void help();
    void quitCommand();
    void endProgram();

    QMap<QString, QMenu *> m_topMenus;
    std::vector<std::pair<int, QAction *>> m_reportActions; // entry index, action
    QProgressBar *m_progress;
    bool m_ended = false;
    bool m_altAlone = false; // Alt is down and no other key came since
};

} // namespace kestrova::ui
