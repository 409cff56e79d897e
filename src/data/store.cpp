#include "data/store.h"

#include "data/app_home.h"
#include "data/schema.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kestrova {

std::unique_ptr<Database> openStore(StoreOpen how, bool *created)
{
    return openStoreAt(databasePath(), how, created);
}

std::unique_ptr<Database> openStoreAt(const QString &path, StoreOpen how, bool *created)
{
    if (created)
        *created = false;
    const QFileInfo info(path);
    if (!info.exists()) {
        if (!info.dir().exists())
            throw DbError(QStringLiteral("目录不存在：%1").arg(info.dir().path()), path);
        if (how == StoreOpen::MustExist)
            throw DbError(QStringLiteral("数据库文件不存在：%1").arg(path));
        // Built under a temporary name and renamed, so a failure leaves no half-made file.
        const QString temp = path + QStringLiteral(".new");
        QFile::remove(temp);
        try {
            Database fresh(temp, Database::Mode::CreateIfMissing);
            createSchema(fresh, QDate::currentDate().year());
        } catch (const DbError &e) {
            QFile::remove(temp);
            throw DbError(QStringLiteral("无法创建数据库 %1：%2").arg(path, e.message()));
        }
        if (!QFile::rename(temp, path)) {
            QFile::remove(temp);
            throw DbError(QStringLiteral("无法创建数据库文件：%1").arg(path));
        }
        if (created)
            *created = true;
    }
    auto db = std::make_unique<Database>(path, Database::Mode::OpenExisting);
    try {
        verifySchema(*db);
    } catch (const DbError &e) {
        throw DbError(e.message() + QStringLiteral("：") + path);
    }
    return db;
}

} // namespace kestrova
