// 保存表格 of the entry form: dialog, write, message.
#include "data/app_home.h"
#include "records/printed/printed_cell_map.h"
#include "records/printed/printed_templates.h"
#include "records/printed/ui/printed_return_save.h"
#include "support/scripted_prompter.h"
#include "support/xls_cells.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kestrova;

namespace {
class PrintedSave : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        setApplicationDirectory(dir.path(), dir.path());
        writePaperFormTemplates(dir.filePath(QStringLiteral("templet")).toStdString());
        fields.name = QStringLiteral("未保存的企业");
        fields.indicators[4] = QStringLiteral("7");
    }
    QTemporaryDir dir;
    test::ScriptedPrompter prompter;
    PrintedReturnFields fields;
};
} // namespace

TEST_F(PrintedSave, WritesTheFormAsShownAndSaysSo)
{
    const QString out = dir.filePath(QStringLiteral("return.xls"));
    prompter.files.push_back(out);
    EXPECT_TRUE(ui::savePrintedReturn(nullptr, fields));
    ASSERT_EQ(prompter.fileRequests.size(), 1u);
    EXPECT_EQ(prompter.fileRequests[0].suggestedName, printedReturnFileName(QDate::currentDate()));
    EXPECT_EQ(prompter.fileRequests[0].defaultSuffix, QStringLiteral("xls"));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].caption, QStringLiteral("提示"));
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("保存成功！"));
    EXPECT_EQ(prompter.messages[0].icon, ui::Icon::Information);
    const auto x = test::readWithXlrd(out);
    EXPECT_EQ(x.at(returnCells::name), fields.name);
    EXPECT_EQ(x.at(indicatorCell(5)), QStringLiteral("7"));
    EXPECT_EQ(x.at(indicatorCell(6)), QString());
}

TEST_F(PrintedSave, CancelWritesNothing)
{
    EXPECT_FALSE(ui::savePrintedReturn(nullptr, fields));
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_TRUE(prompter.errors.isEmpty());
}

TEST_F(PrintedSave, MissingTemplateShowsTheErrorAndNoSuccess)
{
    ASSERT_TRUE(QFile::remove(dir.filePath(QString::fromUtf8(kPrintedReturnTemplate))));
    // The executable's folder may ship one; point both places at the empty home.
    prompter.files.push_back(dir.filePath(QStringLiteral("return.xls")));
    EXPECT_FALSE(ui::savePrintedReturn(nullptr, fields));
    EXPECT_EQ(prompter.errors.size(), 1);
    EXPECT_TRUE(prompter.messages.empty());
}
