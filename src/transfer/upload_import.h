#pragma once
// Loads one upload workbook of the level below into TZ_XIANGMU.
#include "transfer/progress.h"

#include <QString>

namespace kestrova {
class Database;
}

namespace kestrova::transfer {

// Only files whose path ends in exactly "xls" are taken ("XLS" is not).
bool hasUploadSuffix(const QString &path);

struct ImportResult {
    int appended = 0; // records added
    int names = 0;    // distinct 企业名称 replaced
};

// Reads the sheet 数据信息 and replaces the records of every name it holds, all in one
// transaction. Throws TransferError (the import message and the cause) and leaves the
// database as it was when the file cannot be read or any value does not fit its column.
ImportResult importUploadWorkbook(Database &db, const QString &path, Progress &progress);

} // namespace kestrova::transfer
