#pragma once
// An upload workbook opened for its record sheet 数据信息: what the import and its
// preview both read first, and refuse in the same words.
#include "xls/reader.h"

#include <QString>

#include <string>
#include <vector>

namespace kestrova::transfer {

struct UploadSheet {
    xls::WorkbookReader book;
    std::string sheet;               // the record sheet's name as the workbook spells it
    std::vector<std::string> header; // its first row
};

// Throws TransferError (the import message, and the cause naming the file, the sheet or
// the row) when the file cannot be read, has no sheet 数据信息, or that sheet has no
// header row.
UploadSheet openUploadSheet(const QString &path);

// The cause of a workbook library failure, for the user: the file and what is wrong.
QString workbookCause(const QString &path, const std::exception &e);

} // namespace kestrova::transfer
