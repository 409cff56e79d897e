// The two menu commands: what they ask, what they tell, and the progress bar.
#include "transfer/ui/transfer_commands.h"

#include "data/task_record.h"
#include "transfer/messages.h"
#include "support/scripted_prompter.h"
#include "support/temp_store.h"
#include "transfer_fixtures.h"
#include "support/gui_app.h"
#include "app/shell_test_support.h"
#include "transfer/import_preview.h"

#include <QApplication>
#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>

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

TEST_F(TransferCommands, ImportOfOneFileWithUpperCaseSuffixIsRefusedBeforeAnyPreview)
{
    test::ModalScript modal;
    prompter.fileLists.push_back(QStringList{s.file("下级.XLS")});
    ui::importUploadFiles(nullptr, &bar);
    EXPECT_EQ(prompter.lastText(), kWrongFileType);
    EXPECT_TRUE(modal.shown.isEmpty());
    ASSERT_EQ(prompter.fileRequests.size(), 1u);
    EXPECT_EQ(prompter.fileRequests[0].kind, ui::FileRequest::Kind::OpenMany);
    EXPECT_EQ(prompter.fileRequests[0].filter, ui::kWorkbookFilter);
}

namespace {
// The preview's rows as shown: the workbooks' and the notes' tables.
QList<QStringList> shownTable(QDialog *d, const char *view)
{
    auto *v = test::child<QTableView>(d, view);
    QList<QStringList> rows;
    for (int r = 0; r < v->model()->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < v->model()->columnCount(); ++c)
            cells << v->model()->index(r, c).data().toString();
        rows << cells;
    }
    return rows;
}
} // namespace

TEST_F(TransferCommands, PreviewComesFirstAndItsCancelChangesNothing)
{
    test::addRecord(*s.db, "甲库", 5);
    const auto before = test::recordRows(*s.db);
    const QString a = s.file("甲.xls"), b = s.file("乙.xls");
    test::writeWorkbook(a.toStdString(), {{"数据信息", {test::uploadHeader(), test::uploadRow("甲库"), test::uploadRow("乙库")}}});
    test::writeWorkbook(b.toStdString(), {{"数据信息", {test::uploadHeader(), test::uploadRow("乙库", "7")}}});
    prompter.fileLists.push_back(QStringList{a, b});
    test::ModalScript modal;
    QList<QStringList> files, notes;
    modal.steps.push_back([&](QDialog *d) {
        files = shownTable(d, "GridWorkbooks");
        notes = shownTable(d, "GridNotes");
        test::child<QPushButton>(d, "BtnCancel")->click();
    });
    ui::importUploadFiles(nullptr, &bar);
    EXPECT_EQ(modal.shown, QStringList{"TFrmImportPreview"});
    ASSERT_EQ(files.size(), 2);
    EXPECT_EQ(files[0].mid(0, 5), (QStringList{"甲.xls", "2", "2", "1", "1"}));
    EXPECT_EQ(files[1].mid(0, 5), (QStringList{"乙.xls", "1", "1", "1", "0"})) << "乙库 as 甲.xls leaves it";
    bool laterWins = false;
    for (const QStringList &n : notes)
        laterWins = laterWins || (n[0] == "甲.xls" && n[2] == "乙库" && n[3] == previewFlagText(PreviewFlag::InOtherWorkbook));
    EXPECT_TRUE(laterWins);
    EXPECT_TRUE(prompter.messages.empty()) << prompter.lastText().toStdString();
    EXPECT_EQ(test::recordRows(*s.db), before);
    EXPECT_EQ(s.db->scalar("SELECT count(*) FROM 报送记录"), "0");
    EXPECT_FALSE(bar.isVisible());
}

// Each file in its own transaction, in the order chosen: a bad one in the middle
// changes nothing and the next still goes in; the message has a line for each file,
// and the counts of what the good ones replaced and added.
TEST_F(TransferCommands, SeveralFilesGoInOrderEachOnItsOwnWithALinePerFile)
{
    test::addRecord(*s.db, "甲库", 5);
    context().userName = "张三";
    const QString first = s.file("一.xls"), bad = s.file("二.xls"), last = s.file("三.xls"), wrong = s.file("四.txt");
    test::writeWorkbook(first.toStdString(), {{"数据信息", {test::uploadHeader(), test::uploadRow("甲库", "1"), test::uploadRow("乙库", "2")}}});
    test::writeWorkbook(bad.toStdString(), {{"Sheet1", {test::uploadHeader()}}});
    test::writeWorkbook(last.toStdString(), {{"数据信息", {test::uploadHeader(), test::uploadRow("乙库", "3")}}});
    prompter.fileLists.push_back(QStringList{first, bad, last, wrong});
    test::ModalScript modal;
    modal.steps.push_back([](QDialog *d) {
        auto *go = test::child<QPushButton>(d, "BtnImport");
        ASSERT_TRUE(go->isEnabled());
        go->click();
    });
    ui::importUploadFiles(nullptr, &bar);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].caption, kCaption);
    const QStringList lines = prompter.messages[0].text.split('\n');
    ASSERT_EQ(lines.size(), 7) << prompter.messages[0].text.toStdString();
    EXPECT_EQ(lines[0], "一.xls：" + kImported);
    EXPECT_EQ(lines[1], "替换原有记录 1 条，新增记录 1 条（共写入 2 条）。");
    EXPECT_EQ(lines[2], "二.xls：" + kImportFailed);
    EXPECT_TRUE(lines[3].contains("没有名为“数据信息”的工作表")) << lines[3].toStdString();
    EXPECT_EQ(lines[4], "三.xls：" + kImported);
    EXPECT_EQ(lines[5], "替换原有记录 1 条，新增记录 0 条（共写入 1 条）。");
    EXPECT_EQ(lines[6], "四.txt：" + kWrongFileType);
    EXPECT_EQ(test::namesOf(*s.db), (QStringList{"甲库", "乙库"}));
    EXPECT_EQ(s.db->scalar("SELECT group_concat(CAST(占地面积 AS INTEGER)) FROM TZ_XIANGMU ORDER BY ID"), "1,3");
    EXPECT_EQ(s.db->scalar("SELECT group_concat(文件名 || '/' || 行数 || '/' || 替换数 || '/' || 新增数 || '/' || 操作人, ' ') "
                           "FROM (SELECT * FROM 报送记录 ORDER BY ID)"),
              "一.xls/2/1/1/张三 三.xls/1/1/0/张三");
    EXPECT_FALSE(bar.isVisible());
}

TEST_F(TransferCommands, CancelledImportDoesNothing)
{
    test::ModalScript modal;
    prompter.fileLists.push_back(std::nullopt);
    ui::importUploadFiles(nullptr, &bar);
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_TRUE(modal.shown.isEmpty());
}
