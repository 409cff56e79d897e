#pragma once
// Writes the office's upload workbook: a filled copy of templet/out.xls holding every
// enterprise record (sheet 数据信息) and the whole modification log (second sheet).
#include "transfer/progress.h"

#include <QString>

#include <string_view>

namespace kestrova {
class Database;
}

namespace kestrova::transfer {

// Whatever cells are written into; the template filler in production.
class CellSink {
public:
    virtual ~CellSink() = default;
    // sheet, row and column 0-based.
    virtual void setText(int sheet, int row, int col, std::string_view utf8) = 0;
    virtual void setNumber(int sheet, int row, int col, double value) = 0;
};

// Fills sheet recordSheet with TZ_XIANGMU and sheet logSheet with 修改日志: row 0 the
// column names but the first, then one row per table row. The numbers of numeric
// columns (the indicators) go in as numbers, everything else as text, so codes keep
// their leading zeros. Drives the progress as the
// command's bar expects: maximum records + 5, a step per record and per stage.
void fillUploadSheets(Database &db, CellSink &sink, int recordSheet, int logSheet, Progress &progress);

// Checks nothing about validation (see exportRefusal); fills a copy of templatePath and
// saves it to outPath, replacing a file of that name. The file appears complete or not
// at all. Throws TransferError with the cause on failure.
void writeUploadWorkbook(Database &db, const QString &templatePath, const QString &outPath, Progress &progress);

} // namespace kestrova::transfer
