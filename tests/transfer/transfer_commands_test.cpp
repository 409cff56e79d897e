// The two menu commands: what they ask, what they tell, and the progress bar.
#include "transfer/ui/transfer_commands.h"

#include "data/task_record.h"
#include "transfer/messages.h"
#include "support/scripted_prompter.h"
#include "support/temp_store.h"
#include "transfer_fixtures.h"
#include "support/gui_app.h"

#include <QApplication>
#include <QFile>
#include <QProgressBar>

#include <gtest/gtest.h>

using namespace kestrova;
using namespace kestrova::transfer;

namespace {
QApplication &app()
{
    return test::guiApp();
}

class TransferCommands : public ::testing::Test {
protected:
    QApplication &application = app(); // before any widget
    test::TempStore s;
    test::ScriptedPrompter prompter;
    QProgressBar bar;
};
} // namespace

TEST_F(TransferCommands, UnvalidatedRecordRefusesBeforeAnyDialog)
{
    addDemoRecords(*s.db, 5, 1);
    s.db->exec("UPDATE TZ_XIANGMU SET 校验状态='0' WHERE ID=3");
    ui::makeUploadFile(nullptr, &bar);
    EXPECT_TRUE(prompter.fileRequests.empty());
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].caption, kCaption);
    EXPECT_EQ(prompter.messages[0].text, kUnvalidatedRecords);
}

TEST_F(TransferCommands, EmptyDatabaseRefusesBeforeAnyDialog)
{
    ui::makeUploadFile(nullptr, &bar);
    EXPECT_TRUE(prompter.fileRequests.empty());
    EXPECT_EQ(prompter.lastText(), kNoRecords);
}

TEST_F(TransferCommands, SuggestedNameHasThePlaceAndTodayAndCancelDoesNothing)
{
    addDemoRecords(*s.db, 2, 1);
    TaskRecord t;
    t.year = "2013";
    t.level = "地级汇总";
    t.province = "河南省";
    t.city = "郑州市";
    saveTask(*s.db, t);
    prompter.files.push_back(std::nullopt);
    ui::makeUploadFile(nullptr, &bar);
    ASSERT_EQ(prompter.fileRequests.size(), 1u);
    EXPECT_EQ(prompter.fileRequests[0].suggestedName,
              "(仓储)上报文件-河南省郑州市-" + QDate::currentDate().toString("MM-dd"));
    EXPECT_EQ(prompter.fileRequests[0].defaultSuffix, "xls");
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(TransferCommands, ExportWritesTheFileAndSaysSo)
{
    addDemoRecords(*s.db, 20, 1);
    test::installTemplate(s.home());
    const QString out = s.file("上报.xls");
    prompter.files.push_back(out);
    ui::makeUploadFile(nullptr, &bar);
    EXPECT_TRUE(prompter.errors.isEmpty()) << prompter.errors.join("\n").toStdString();
    EXPECT_EQ(prompter.lastText(), kExported);
    EXPECT_TRUE(QFile::exists(out));
    EXPECT_FALSE(bar.isVisible());
    EXPECT_EQ(bar.maximum(), 25);
}

TEST_F(TransferCommands, ImportOfUpperCaseSuffixIsRefused)
{
    prompter.files.push_back(s.file("下级.XLS"));
    ui::importUploadFiles(nullptr, &bar);
    EXPECT_EQ(prompter.lastText(), kWrongFileType);
}

TEST_F(TransferCommands, ImportTellsSuccessOrFailureAndHidesTheBar)
{
    const QString good = s.file("好.xls"), bad = s.file("坏.xls");
    test::writeWorkbook(good.toStdString(), {{"数据信息", {test::uploadHeader(), test::uploadRow("甲库")}}});
    test::writeWorkbook(bad.toStdString(), {{"Sheet1", {test::uploadHeader()}}});
    prompter.files = {good, bad};
    ui::importUploadFiles(nullptr, &bar);
    EXPECT_EQ(prompter.lastText(), kImported);
    EXPECT_EQ(test::namesOf(*s.db), QStringList{"甲库"});
    ui::importUploadFiles(nullptr, &bar);
    EXPECT_TRUE(prompter.lastText().startsWith(kImportFailed)) << prompter.lastText().toStdString();
    EXPECT_FALSE(bar.isVisible());
    EXPECT_EQ(test::namesOf(*s.db), QStringList{"甲库"});
}

TEST_F(TransferCommands, CancelledImportDoesNothing)
{
    prompter.files.push_back(std::nullopt);
    ui::importUploadFiles(nullptr, &bar);
    EXPECT_TRUE(prompter.messages.empty());
}
