// Every save dialog of the desktop answered with the database's own file: the report, the
// annual summary, the printed return, the upload workbook and the backup each refuse it
// with a message, and the database keeps every record.
#include "app/system_commands.h"
#include "app/ui/window_registry.h"
#include "data/demo_records.h"
#include "data/task_record.h"
#include "records/printed/ui/printed_return_save.h"
#include "reports/report_catalogue.h"
#include "reports/summary/ui/summary_windows.h"
#include "reports/summary/ui/tfrm_gather_list.h"
#include "reports/ui/report_window.h"
#include "reports/ui/report_windows.h"
#include "support/database_state.h"
#include "support/gui_app.h"
#include "support/scripted_prompter.h"
#include "support/temp_store.h"
#include "transfer/ui/transfer_commands.h"

#include <QFile>
#include <QFileInfo>
#include <QProgressBar>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace kestrova;
using namespace kestrova::test;

namespace {

class SaveOntoTheDatabase : public ::testing::Test {
protected:
    void SetUp() override
    {
        guiApp();
        static bool registered = false;
        if (!registered) {
            ui::registerReportWindows();
            ui::registerSummaryWindows();
            registered = true;
        }
        addDemoRecords(*store.db, 20, 5);
        saveTask(*store.db, TaskRecord{"2013", "国家级汇总", "", "", "", "000000", ""});
        loadTaskIntoContext(*store.db);
        store.db.reset(); // every window opens the store for each step itself
        before = databaseState(databasePath());
        ASSERT_EQ(before.integrity, "ok");
    }

    TempStore store;
    DatabaseState before;
};

struct SavePath {
    const char *name;
    std::function<void()> save; // runs the command; its save dialog gets the target
    QString success;            // the message it shows when it wrote the file
};

TEST_F(SaveOntoTheDatabase, EverySaveDialogAnsweredWithTheDatabaseIsRefusedWithAMessageAndTheRecordsStay)
{
    QProgressBar bar;
    const QString title = QStringLiteral("表2-1-2 全国粮油仓储企业总仓容汇总表（分地区）");
    const SavePath paths[] = {
        {"report",
         [&] {
             context().reportTitle = title;
             std::unique_ptr<QDialog> w(ui::createWindow(reports::definitionForTitle(title)->className, nullptr));
             qobject_cast<ui::ReportWindow *>(w.get())->saveTable();
         },
         QStringLiteral("保存成功！")},
        {"summary",
         [&] {
             std::unique_ptr<ui::TFrmGatherList> w(
                 static_cast<ui::TFrmGatherList *>(ui::createWindow(QStringLiteral("TFrmGatherList"), nullptr)));
             w->BitBtn1Click();
             w->BitBtn6Click();
         },
         QStringLiteral("保存成功！")},
        {"printed return",
         [&] {
             PrintedReturnFields fields;
             fields.name = QStringLiteral("未保存的企业");
             ui::savePrintedReturn(nullptr, fields);
         },
         QStringLiteral("保存成功！")},
        {"upload workbook", [&] { ui::makeUploadFile(nullptr, &bar); }, QStringLiteral("文件导出成功!")},
        {"backup", [&] { ui::backupCommand(nullptr); }, QStringLiteral("数据备份成功！")},
    };
    const QString db = databasePath();
    const QString home = QFileInfo(db).absolutePath();
    const QStringList targets{db, home + QStringLiteral("/./../") + QFileInfo(home).fileName() + QStringLiteral("//vardo.db"),
                              db + QStringLiteral("-journal")};
    const QStringList entries = folderEntries(home);
    for (const SavePath &p : paths) {
        for (const QString &target : targets) {
            const std::string what = std::string(p.name) + " onto " + target.toStdString();
            ScriptedPrompter prompter;
            prompter.files.push_back(target);
            p.save();
            EXPECT_EQ(prompter.fileRequests.size(), 1u) << what;
            ASSERT_EQ(prompter.errors.size(), 1) << what;
            EXPECT_TRUE(prompter.errors[0].contains(QStringLiteral("本系统的数据库"))) << what << ": "
                                                                                  << prompter.errors[0].toStdString();
            for (const auto &m : prompter.messages)
                EXPECT_NE(m.text, p.success) << what;
            const DatabaseState now = databaseState(db);
            EXPECT_EQ(now.integrity, "ok") << what;
            EXPECT_TRUE(now.rows == before.rows) << what << ": the records changed";
            EXPECT_EQ(folderEntries(home), entries) << what;
        }
        // Another name is written as ever.
        ScriptedPrompter prompter;
        const QString other = home + QStringLiteral("/other.") + (QString::fromUtf8(p.name) == "backup" ? "bak" : "xls");
        prompter.files.push_back(other);
        p.save();
        EXPECT_TRUE(prompter.errors.isEmpty()) << p.name << ": " << prompter.errors.join(' ').toStdString();
        EXPECT_TRUE(QFile::exists(other)) << p.name;
        QFile::remove(other);
    }
}

} // namespace
