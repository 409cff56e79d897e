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
    int appended = 0; // rows written
    int names = 0;    // distinct 企业名称 among them
    int replaced = 0; // local records deleted because the workbook names them
    int added = 0;    // rows whose name no local record had
};

// Reads the sheet 数据信息 and replaces the records of every name it holds, and logs the
// import in 报送记录 as made by user, all in one transaction. Throws TransferError (the
// import message and the cause, in the user's words, with sheet, row and column) and
// leaves the database as it was when the file cannot be read or any value does not fit
// its column. The progress moves from the start: reading the workbook and its names
// count as well as the rows.
ImportResult importUploadWorkbook(Database &db, const QString &path, Progress &progress, const QString &user);

// What the closing message says of a file that went in: the records replaced and added.
QString importedCounts(const ImportResult &r);

} // namespace kestrova::transfer
