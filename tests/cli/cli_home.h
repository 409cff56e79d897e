#pragma once
// A home with a database of 20 records, a task record, a log row and an account, for the
// tests that run kestrova-cli against it and then check that nothing was lost.
#include "cli/cli_run.h"
#include "data/demo_records.h"
#include "data/task_record.h"
#include "support/database_state.h"
#include "support/temp_store.h"

#include <gtest/gtest.h>

namespace kestrova::test {

class CliHome : public ::testing::Test {
protected:
    void SetUp() override
    {
        addDemoRecords(*store.db, 20, 3);
        saveTask(*store.db, TaskRecord{"2013", "国家级汇总", "", "", "", "000000", ""});
        store.db->exec(QStringLiteral("INSERT INTO 修改日志(企业名称, 修改项目) VALUES ('甲', '占地面积')"));
        store.db->exec(QStringLiteral("INSERT INTO userinfo(f2, passwd) VALUES ('admin', 'x')"));
        store.db.reset(); // the commands run with no connection of ours open
        before = databaseState(db());
        ASSERT_EQ(before.integrity, "ok");
    }

    QString db() const { return store.file(QStringLiteral("vardo.db")); }
    CliResult cli(const QStringList &args) const { return runCli(store.home(), args); }

    // The database holds exactly what it held, and nothing else was left in the home.
    void expectIntact(const QStringList &entries, const std::string &what) const
    {
        const DatabaseState now = databaseState(db());
        EXPECT_EQ(now.integrity, "ok") << what;
        EXPECT_TRUE(now.rows == before.rows) << what << ": the records changed";
        EXPECT_EQ(folderEntries(store.home()), entries) << what;
    }

    TempStore store;
    DatabaseState before;
};

} // namespace kestrova::test
