#pragma once
// The texts the transfer commands show, used exactly as the users know them.
#include <QString>

namespace kestrova::transfer {

inline const QString kCaption = QStringLiteral("消息");

inline const QString kUnvalidatedRecords = QStringLiteral("数据库中存在未校验记录，不能制作上报文件!");
inline const QString kNoRecords = QStringLiteral("数据库中无企业信息，不能制作上报文件!");
inline const QString kExported = QStringLiteral("文件导出成功!");
// One .xls sheet holds 65,536 rows: the header and 65,535 records or log rows.
inline const QString kTooManyRecords =
    QStringLiteral("数据库中企业信息超过65535条，一个上报文件的工作表容纳不下，不能制作上报文件!");
inline const QString kTooManyLogRows =
    QStringLiteral("修改日志超过65535条，一个上报文件的工作表容纳不下，不能制作上报文件!");
inline const QString kExportFailed = QStringLiteral("上报文件制作失败，未生成文件!");

inline const QString kWrongFileType = QStringLiteral("文件类型错误，导入取消!");
inline const QString kImported = QStringLiteral("文件导入成功!");
inline const QString kImportFailed = QStringLiteral("文件导入出现错误，导入中断，请修改后重新导入!");

inline const QString kRecordSheet = QStringLiteral("数据信息");
inline const QString kNameColumn = QStringLiteral("企业名称");

// Rows of one .xls worksheet, header included.
constexpr int kMaxSheetRows = 65536;

} // namespace kestrova::transfer
