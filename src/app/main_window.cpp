#include "app/main_window.h"

#include "app/background_widget.h"
#include "app/start_up.h"
#include "app/system/account.h"
#include "app/system/menu_rule.h"
#include "app/system/report_menu.h"
#include "app/system_commands.h"
#include "app/task_settings_window.h"
#include "app/ui/modal.h"
#include "app/ui/prompter.h"
#include "app/ui/window_registry.h"
#include "app/users_window.h"
#include "data/context.h"
#include "data/app_home.h"
#include "data/database.h"
#include "data/record_columns.h"
#include "data/store.h"
#include "data/task_record.h"
#include "transfer/ui/transfer_commands.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QProgressBar>
#include <QVBoxLayout>

namespace kestrova::ui {

namespace {
const QString kTitle = QStringLiteral("Kestrova系统（汇总版）");

// Menu captions are shown as they stand: an '&' must not turn into a mnemonic.
QString plain(const QString &caption)
{
    QString c = caption;
    return c.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

const QStringList kWorkMenus{QStringLiteral("数据维护"), QStringLiteral("统计报表"), QStringLiteral("数据传输"),
                             QStringLiteral("系统设置")};
} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("TFrmmain"));
    setWindowTitle(kTitle);

    auto *background = new BackgroundWidget(kTitle, this);
    auto *layout = new QVBoxLayout(background);
    layout->addStretch();
    m_progress = new QProgressBar(background);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setRange(0, 100);
    m_progress->setVisible(false);
    layout->addWidget(m_progress);
    setCentralWidget(background);

    buildMenus();
    qApp->installEventFilter(this);
}

QAction *MainWindow::addCommand(QMenu *menu, const QString &caption, void (MainWindow::*slot)(), const QKeySequence &keys)
{
    QAction *action = menu->addAction(plain(caption));
    // The captions stay as they are; the keys show in the menu beside them.
    action->setShortcut(keys);
    connect(action, &QAction::triggered, this, slot);
    return action;
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Alt pressed and released alone, or F10, opens the menu as on any desktop.
    if (QApplication::activeWindow() == this) {
        if (event->type() == QEvent::KeyPress) {
            const auto *k = static_cast<QKeyEvent *>(event);
            m_altAlone = k->key() == Qt::Key_Alt && !k->isAutoRepeat();
            if (k->key() == Qt::Key_F10 && k->modifiers() == Qt::NoModifier && !menuBar()->activeAction()) {
                openFirstMenu();
                return true;
            }
        } else if (event->type() == QEvent::KeyRelease) {
            const auto *k = static_cast<QKeyEvent *>(event);
            // The style may already have marked the first menu for Alt; it opens here.
            QAction *active = menuBar()->activeAction();
            const bool menuShown = active && active->menu() && active->menu()->isVisible();
            if (k->key() == Qt::Key_Alt && m_altAlone && !menuShown) {
                m_altAlone = false;
                openFirstMenu();
                return true;
            }
        } else if (event->type() == QEvent::MouseButtonPress) {
            m_altAlone = false;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::openFirstMenu()
{
    for (QAction *a : menuBar()->actions()) {
        if (a->isVisible() && a->isEnabled()) {
            menuBar()->setActiveAction(a);
            return;
        }
    }
}

void MainWindow::buildMenus()
{
    QMenuBar *bar = menuBar();
    auto top = [this, bar](const QString &caption) {
        QMenu *menu = bar->addMenu(plain(caption));
        m_topMenus.insert(caption, menu);
        return menu;
    };

    addCommand(top(QStringLiteral("任务管理")), QStringLiteral("汇总单位"), &MainWindow::openTaskSettings,
               QKeySequence(Qt::CTRL | Qt::Key_T));
    QMenu *records = top(QStringLiteral("数据维护"));
    addCommand(records, QStringLiteral("Kestrova年报表"), &MainWindow::openEnterpriseList,
               QKeySequence(Qt::CTRL | Qt::Key_L));
    addCommand(records, QStringLiteral("全部校验"), &MainWindow::checkAllRecords);

    QMenu *reports = top(QStringLiteral("统计报表"));
    QMap<QString, QMenu *> lists; // group/sub-group -> menu
    const auto &entries = reportMenuEntries();
    for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
        const ReportMenuEntry &e = entries[static_cast<size_t>(i)];
        QMenu *&groupMenu = lists[e.group];
        if (!groupMenu)
            groupMenu = reports->addMenu(plain(e.group));
        QMenu *target = groupMenu;
        if (!e.subGroup.isEmpty()) {
            QMenu *&sub = lists[e.group + QLatin1Char('/') + e.subGroup];
            if (!sub)
                sub = groupMenu->addMenu(plain(e.subGroup));
            target = sub;
        }
        QAction *action = target->addAction(plain(e.caption));
        connect(action, &QAction::triggered, this, [this, i] { openReport(i); });
        m_reportActions.emplace_back(i, action);
    }
    addCommand(reports, kGatherListCaption, &MainWindow::openGatherList, QKeySequence(Qt::CTRL | Qt::Key_G));
    addCommand(reports, QStringLiteral("全部报表"), &MainWindow::writeAllReports);

    QMenu *transfer = top(QStringLiteral("数据传输"));
    addCommand(transfer, QStringLiteral("制作上报文件"), &MainWindow::makeUploadFile, QKeySequence(Qt::CTRL | Qt::Key_E));
    addCommand(transfer, QStringLiteral("上报数据入库"), &MainWindow::importUploadFiles,
               QKeySequence(Qt::CTRL | Qt::Key_I));
    addCommand(transfer, QStringLiteral("报送情况"), &MainWindow::showSubmissions);

    QMenu *settings = top(QStringLiteral("系统设置"));
    addCommand(settings, QStringLiteral("用户管理"), &MainWindow::openUserManagement,
               QKeySequence(Qt::CTRL | Qt::Key_U));
    addCommand(settings, QStringLiteral("系统复位"), &MainWindow::resetSystem); // no key: it empties the database
    addCommand(settings, QStringLiteral("数据备份"), &MainWindow::backup, QKeySequence(Qt::CTRL | Qt::Key_B));
    addCommand(settings, QStringLiteral("数据恢复"), &MainWindow::restore, QKeySequence(Qt::CTRL | Qt::Key_R));

    addCommand(top(QStringLiteral("帮助")), QStringLiteral("Kestrova指标解释"), &MainWindow::help,
               QKeySequence(Qt::Key_F1));
    addCommand(top(QStringLiteral("退出")), QStringLiteral("退出"), &MainWindow::quitCommand,
               QKeySequence(Qt::CTRL | Qt::Key_Q));
}

QMenu *MainWindow::topMenu(const QString &caption) const
{
    return m_topMenus.value(caption);
}

bool MainWindow::startUp()
{
    StartUp startUp;
    switch (startUp.run(this)) {
    case StartUp::Outcome::Quit:
        return false;
    case StartUp::Outcome::DatabaseFailed:
        prompter().error(this, startUp.error());
        offerOnlyHelpAndQuit();
        return true;
    case StartUp::Outcome::Enter:
        applyMenuRule();
        return true;
    }
    return true;
}

void MainWindow::showTopMenu(const QString &caption, bool shown)
{
    QMenu *menu = m_topMenus.value(caption);
    menu->menuAction()->setVisible(shown);
    // A hidden menu's commands must not be reached by their keys either.
    for (QAction *a : menu->actions())
        if (!a->menu())
            a->setEnabled(shown);
}

void MainWindow::offerOnlyHelpAndQuit()
{
    for (auto it = m_topMenus.cbegin(); it != m_topMenus.cend(); ++it)
        showTopMenu(it.key(), it.key() == QStringLiteral("帮助") || it.key() == QStringLiteral("退出"));
}

void MainWindow::applyMenuRule()
{
    const MenuRule rule = menuRuleFor(context().hasTask, context().level);
    for (const QString &caption : kWorkMenus)
        showTopMenu(caption, rule.workMenus);
    showTopMenu(QStringLiteral("任务管理"), true);
    if (!rule.workMenus)
        return;
    const auto &entries = reportMenuEntries();
    for (const auto &[index, action] : m_reportActions)
        if (entries[static_cast<size_t>(index)].isBreakdown())
            action->setVisible(rule.breakdownReports);
}

void MainWindow::openWindow(const QString &className, bool maximised)
{
    if (!hasWindowClass(className)) {
        prompter().message(this, QStringLiteral("提示"), QStringLiteral("该功能暂未提供。"), Icon::Information);
        return;
    }
    QDialog *window = nullptr;
    try {
        window = createWindow(className, this);
    } catch (const DbError &e) {
        prompter().error(this, e.message());
        return;
    } catch (const std::exception &e) {
        prompter().error(this, QString::fromUtf8(e.what()));
        return;
    }
    if (!window)
        return;
    if (maximised)
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
    showModal(window);
}

void MainWindow::openReport(int index)
{
    const ReportMenuEntry &e = reportMenuEntries()[static_cast<size_t>(index)];
    // The window reads the title while it is being made, so it is stored first.
    context().reportTitle = e.title;
    openWindow(e.className, true);
}

void MainWindow::openTaskSettings()
{
    auto *window = new TaskSettingsWindow(this);
    noteWindow(QStringLiteral("TfrmRenwu_hz"), window);
    connect(window, &TaskSettingsWindow::taskSaved, this, &MainWindow::applyMenuRule);
    showModal(window);
}

void MainWindow::openEnterpriseList()
{
    openWindow(QStringLiteral("TFrmList1"), false);
}

void MainWindow::checkAllRecords()
{
    openWindow(QStringLiteral("TFrmCheckAll"), false);
}

void MainWindow::writeAllReports()
{
    openWindow(QStringLiteral("TFrmAllReports"), false);
}

void MainWindow::openGatherList()
{
    openWindow(QStringLiteral("TFrmGatherList"), false);
}

void MainWindow::makeUploadFile()
{
    kestrova::ui::makeUploadFile(this, m_progress);
}

void MainWindow::importUploadFiles()
{
    kestrova::ui::importUploadFiles(this, m_progress);
}

void MainWindow::showSubmissions()
{
    kestrova::ui::showSubmissions(this);
}

void MainWindow::openUserManagement()
{
    auto *window = new UsersWindow(UsersWindow::Mode::Maintenance, this);
    noteWindow(QStringLiteral("TFrmusers"), window);
    showModal(window);
    window->deleteLater(); // made anew each time it is opened
    try {
        auto db = openStore(StoreOpen::MustExist);
        context().userName = accountUserName(*db);
    } catch (const DbError &) {
        // The name stays as it was; the next import logs that one.
    }
}

void MainWindow::resetSystem()
{
    if (resetSystemCommand(this))
        endProgram();
}

void MainWindow::backup()
{
    backupCommand(this);
}

void MainWindow::restore()
{
    if (!restoreCommand(this))
        return;
    // The restored database may be another office's, or another level's: its task
    // record takes effect now, with the menus it allows.
    try {
        auto db = openStore(StoreOpen::MustExist);
        loadTaskIntoContext(*db);
    } catch (const DbError &e) {
        prompter().error(this, e.message());
    }
    applyMenuRule();
    warmRecordColumns(databasePath());
}

void MainWindow::help()
{
    helpCommand(this);
}

void MainWindow::quitCommand()
{
    close();
}

void MainWindow::endProgram()
{
    m_ended = true;
    close();
    QCoreApplication::quit();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Closing the main window ends the program, whatever else is still open.
    event->accept();
    QCoreApplication::quit();
}

} // namespace kestrova::ui
