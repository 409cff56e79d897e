#include "transfer/upload_sheet.h"

#include "transfer/messages.h"
#include "transfer/transfer_error.h"
#include "xls/errors.h"

#include <QFileInfo>
#include <QStringList>

namespace kestrova::transfer {

QString workbookCause(const QString &path, const std::exception &e)
{
    return QStringLiteral("无法读取工作簿“%1”：%2").arg(QFileInfo(path).fileName(), QString::fromUtf8(e.what()));
}

UploadSheet openUploadSheet(const QString &path)
{
    try {
        UploadSheet s{xls::WorkbookReader::open(path.toStdString()), {}, {}};
        QStringList names;
        for (const auto &name : s.book.sheetNames()) {
            names << QString::fromStdString(name);
            if (s.sheet.empty() && QString::fromStdString(name).compare(kRecordSheet, Qt::CaseInsensitive) == 0)
                s.sheet = name;
        }
        if (s.sheet.empty())
            throw TransferError(kImportFailed, QStringLiteral("工作簿“%1”中没有名为“%2”的工作表（它的工作表：%3）")
                                                   .arg(QFileInfo(path).fileName(), kRecordSheet,
                                                        names.join(QStringLiteral("、"))));
        // The header is the sheet's first row; a sheet whose row 1 is empty has none.
        s.header = s.book.readRow(s.sheet, 0);
        if (s.header.empty()) {
            if (s.book.rowsWithCells(s.sheet) == 0)
                throw TransferError(kImportFailed, QStringLiteral("工作表“%1”是空的").arg(kRecordSheet));
            throw TransferError(kImportFailed, QStringLiteral("工作表“%1”第 1 行（标题行）是空的").arg(kRecordSheet));
        }
        return s;
    } catch (const xls::XlsError &e) {
        throw TransferError(kImportFailed, workbookCause(path, e));
    }
}

} // namespace kestrova::transfer
