#include "data/store.h"

#include "data/app_home.h"
#include "data/schema.h"
#include "data/schema_check.h"
#include "xls/temporary_file.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <system_error>

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
    // Temporaries of a backup, restore or export killed in this folder go now.
    xls::removeLeftoverTemporaries(QFile::encodeName(info.absolutePath()).toStdString());
    if (!info.exists()) {
        if (!info.dir().exists())
            throw DbError(QStringLiteral("目录不存在：%1").arg(info.dir().path()), path, DbError::Kind::CannotOpen);
        if (how == StoreOpen::MustExist)
            throw DbError(QStringLiteral("数据库文件不存在：%1").arg(path), {}, DbError::Kind::Missing);
        // Built under a temporary name and renamed, so a failure leaves no half-made file.
        try {
            xls::TemporaryFile temp(QFile::encodeName(path).toStdString());
            {
                Database fresh(QFile::decodeName(temp.path().c_str()), Database::Mode::CreateIfMissing);
                createSchema(fresh, QDate::currentDate().year());
            }
            temp.commit();
        } catch (const DbError &e) {
            throw DbError(QStringLiteral("无法创建数据库。") + e.summary(), path, e.kind());
        } catch (const std::system_error &e) {
            throw DbError(QStringLiteral("无法创建数据库文件。"), path + QStringLiteral("（") +
                                                                     QString::fromStdString(e.code().message()) +
                                                                     QStringLiteral("）"),
                          DbError::Kind::CannotOpen);
        }
        if (created)
            *created = true;
    }
    auto db = std::make_unique<Database>(path, Database::Mode::OpenExisting);
    verifySchema(*db);
    try {
        // A database made before a table was added gets it now, empty.
        completeSchema(*db);
    } catch (const DbError &) {
        // A read-only or busy database is used as it is; what needs the table says so.
    }
    return db;
}

} // namespace kestrova
