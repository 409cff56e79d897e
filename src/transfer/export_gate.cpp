#include "transfer/export_gate.h"

#include "data/database.h"
#include "transfer/messages.h"

namespace kestrova::transfer {

std::optional<QString> exportRefusal(Database &db)
{
    if (db.scalar(QStringLiteral("SELECT EXISTS(SELECT 1 FROM TZ_XIANGMU WHERE 校验状态 IS NOT '1')")) != QLatin1String("0"))
        return kUnvalidatedRecords;
    const qint64 records = db.scalar(QStringLiteral("SELECT count(*) FROM TZ_XIANGMU")).toLongLong();
    if (records == 0)
        return kNoRecords;
    if (records > kMaxSheetRows - 1)
        return kTooManyRecords;
    if (db.scalar(QStringLiteral("SELECT count(*) FROM 修改日志")).toLongLong() > kMaxSheetRows - 1)
        return kTooManyLogRows;
    return std::nullopt;
}

} // namespace kestrova::transfer
