#include "data/file_error.h"

#include "data/database_files.h"
#include "xls/errors.h"

#include <QFileInfo>

namespace kestrova {

FileError::FileError(const QString &summary, const QString &detail)
    : std::runtime_error((summary + QLatin1Char('\n') + detail).toStdString()),
      m_message(summary + QLatin1Char('\n') + detail)
{
}

namespace {
QString summaryFor(xls::ErrorCode code, const QString &path)
{
    using xls::ErrorCode;
    switch (code) {
    case ErrorCode::NotRegularFile:
        return QStringLiteral("文件夹、管道或设备不能当作工作簿读写，没有保存。请另选一个文件名。");
    case ErrorCode::CannotWriteFile:
        return QStringLiteral("无法保存工作簿“%1”。请检查磁盘空间、文件是否只读和所在目录的权限。")
            .arg(QFileInfo(path).fileName());
    case ErrorCode::RowOutOfRange:
    case ErrorCode::ColumnOutOfRange:
    case ErrorCode::TextTooLong:
    case ErrorCode::InvalidText:
    case ErrorCode::NumberNotFinite:
    case ErrorCode::WorkbookTooLarge:
        return QStringLiteral("工作簿容纳不下要写入的内容，没有保存。");
    default:
        return QStringLiteral("无法读取工作簿模板，没有保存。请检查程序目录下的 templet 文件夹。");
    }
}
} // namespace

void writeWorkbookFile(const QString &path, const std::function<void()> &write)
{
    refuseDatabaseTarget(path);
    try {
        write();
    } catch (const xls::XlsError &e) {
        throw FileError(summaryFor(e.code(), path), QString::fromUtf8(e.what()));
    }
}

} // namespace kestrova
