#pragma once
#include <stdexcept>
#include <string>

namespace kestrova::xls {

// Every way reading, writing or filling a workbook can fail. Each value names the rule or
// limit it protects; describe() turns it into the one sentence shown to the user.
enum class ErrorCode {
    // files
    CannotOpenFile,
    CannotWriteFile,
    NotRegularFile,      // a folder, a pipe or a device under the name
    // the compound file container
    BadSignature,
    Truncated,
    BadSectorChain,
    BadDirectory,
    NoWorkbookStream,
    OldExcelVersion,     // Excel 5/95 workbook ("Book" stream, BIFF5)
    Encrypted,           // FILEPASS: a password is needed to open it
    // the records of the Workbook stream
    BadRecord,
    BadStringTable,
    BadSheetOffset,
    // look-ups
    SheetMissing,
    SheetIndexOutOfRange,
    // limits of the format, checked before anything changes
    RowOutOfRange,
    ColumnOutOfRange,
    TextTooLong,
    InvalidText,         // not valid UTF-8
    FontNameInvalid,
    NumberNotFinite,
    SheetNameEmpty,
    SheetNameTooLong,
    SheetNameInvalidChar,
    SheetNameDuplicate,
    NoSheets,
    FormatOutOfRange,
    TooManyFormats,
    FontSizeOutOfRange,
    BadMergeRange,
    MergeOverlap,
    ColumnWidthOutOfRange,
    RowHeightOutOfRange,
    PageSetupOutOfRange,
    WorkbookTooLarge,
};

// The sentence shown to the user for a code, e.g. "不是Excel 97-2003工作簿：文件头标志不对".
const char *describe(ErrorCode code);

// Thrown by every function of the library. what() = describe(code) + "：" + detail
// (the file path, the record offset, the offending value).
class XlsError : public std::runtime_error
{
public:
    XlsError(ErrorCode code, const std::string &detail = {});
    ErrorCode code() const { return m_code; }

private:
    ErrorCode m_code;
};

} // namespace kestrova::xls
