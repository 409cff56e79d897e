// 统计报表 → 全部报表 offscreen: folder choice, the end message, and cancel from the
// progress dialog leaving no file.
#include "report_test_support.h"

#include "data/demo_records.h"
#include "data/task_record.h"
#include "reports/ui/all_reports_command.h"
#include "support/gui_app.h"
#include "support/scripted_prompter.h"

#include <QApplication>
#include <QDir>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

using namespace kestrova;
using namespace kestrova::test;

namespace {
class AllReportsCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        guiApp();
        addDemoRecords(*store.db, 50, 2);
        saveTask(*store.db, TaskRecord{"2026", "县级汇总", "河北省", "石家庄市", "长安区", "130102", ""});
        loadTaskIntoContext(*store.db);
    }
    int filesIn(const QString &folder) const
    {
        return int(QDir(folder).entryList(QDir::Files | QDir::Hidden).size());
    }
    TempStore store;
    ScriptedPrompter prompter;
};
} // namespace

TEST_F(AllReportsCommand, WritesTheCountyOfficesTablesIntoTheChosenFolderAndSaysSo)
{
    QTemporaryDir out;
    prompter.files.push_back(out.path());
    ui::allReportsCommand(nullptr);
    ASSERT_EQ(prompter.fileRequests.size(), 1u);
    EXPECT_EQ(prompter.fileRequests[0].kind, ui::FileRequest::Kind::Folder);
    EXPECT_TRUE(prompter.errors.isEmpty()) << prompter.errors.join('\n').toStdString();
    // The 19 national summary tables a county office is offered, and the one of them all.
    EXPECT_EQ(filesIn(out.path()), 20);
    EXPECT_TRUE(QFile::exists(QDir(out.path()).filePath(QStringLiteral("2026年河北省石家庄市长安区全部报表.xls"))));
    EXPECT_TRUE(prompter.lastText().startsWith(QStringLiteral("保存成功！共 20 个工作簿")))
        << prompter.lastText().toStdString();

    // Cancelling the folder dialog does nothing at all.
    const size_t said = prompter.messages.size();
    prompter.files.push_back(std::nullopt);
    ui::allReportsCommand(nullptr);
    EXPECT_EQ(prompter.messages.size(), said);
}

TEST_F(AllReportsCommand, CancelInTheProgressDialogLeavesNoFile)
{
    QTemporaryDir out;
    prompter.files.push_back(out.path());
    int seen = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *p = qobject_cast<QProgressDialog *>(w); p && p->value() >= 5 && !p->wasCanceled()) {
                ++seen;
                p->cancel();
            }
    });
    poll.start(0);
    ui::allReportsCommand(nullptr);
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(filesIn(out.path()), 0);
    EXPECT_EQ(prompter.lastText(), QStringLiteral("已取消，没有保存任何报表。"));
}
