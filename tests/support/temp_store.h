#pragma once
// A fresh application directory with a new database, removed when the test ends.
#include "data/app_home.h"
#include "data/context.h"
#include "data/database.h"
#include "data/store.h"

#include <QDir>
#include <QTemporaryDir>

#include <memory>

namespace kestrova::test {

class TempStore {
public:
    TempStore()
    {
        context() = GlobalContext{};
        setApplicationDirectory(m_dir.path(), QStringLiteral(KESTROVA_BIN_DIR));
        db = openStore(StoreOpen::CreateIfMissing);
    }
    QString home() const { return m_dir.path(); }
    QString file(const QString &name) const { return QDir(m_dir.path()).filePath(name); }
    std::unique_ptr<Database> db;

private:
    QTemporaryDir m_dir;
};

} // namespace kestrova::test
