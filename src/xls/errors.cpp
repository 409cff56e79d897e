#include "xls/errors.h"

namespace kestrova::xls {

const char *describe(ErrorCode code)
{
    switch (code) {
    case ErrorCode::CannotOpenFile: return "cannot open the file";
    case ErrorCode::CannotWriteFile: return "cannot write the file";
    case ErrorCode::NotRegularFile: return "not a regular file (a folder, a pipe or a device)";
    case ErrorCode::BadSignature: return "not an Excel 97-2003 workbook: bad signature";
    case ErrorCode::Truncated: return "damaged workbook: the file is truncated";
    case ErrorCode::BadSectorChain: return "damaged workbook: a sector chain loops or points outside the file";
    case ErrorCode::BadDirectory: return "damaged workbook: bad directory";
    case ErrorCode::NoWorkbookStream: return "not an Excel 97-2003 workbook: no Workbook stream";
    case ErrorCode::OldExcelVersion: return "an Excel 5.0/95 or older workbook; save it as Excel 97-2003 first";
    case ErrorCode::Encrypted: return "the workbook is password-protected (encrypted)";
    case ErrorCode::BadRecord: return "damaged workbook: a record runs past its stream or is malformed";
    case ErrorCode::BadStringTable: return "damaged workbook: bad shared string table";
    case ErrorCode::BadSheetOffset: return "damaged workbook: a sheet's position is wrong";
    case ErrorCode::SheetMissing: return "the workbook has no such sheet";
    case ErrorCode::SheetIndexOutOfRange: return "sheet number out of range";
    case ErrorCode::RowOutOfRange: return "row out of range (1 to 65,536)";
    case ErrorCode::ColumnOutOfRange: return "column out of range (1 to 256)";
    case ErrorCode::TextTooLong: return "text longer than 32,767 characters";
    case ErrorCode::InvalidText: return "text is not valid UTF-8";
    case ErrorCode::FontNameInvalid: return "font name must have 1 to 31 characters";
    case ErrorCode::NumberNotFinite: return "a cell cannot hold an infinite number or NaN";
    case ErrorCode::SheetNameEmpty: return "sheet name is empty";
    case ErrorCode::SheetNameTooLong: return "sheet name longer than 31 characters";
    case ErrorCode::SheetNameInvalidChar: return "sheet name contains one of [ ] : * ? / \\";
    case ErrorCode::SheetNameDuplicate: return "the workbook already has a sheet of that name";
    case ErrorCode::NoSheets: return "a workbook needs at least one sheet";
    case ErrorCode::FormatOutOfRange: return "no such cell format";
    case ErrorCode::TooManyFormats: return "too many cell formats (at most 3,900)";
    case ErrorCode::FontSizeOutOfRange: return "font size out of range (1 to 409 points)";
    case ErrorCode::BadMergeRange: return "bad merged range";
    case ErrorCode::MergeOverlap: return "merged range overlaps another";
    case ErrorCode::ColumnWidthOutOfRange: return "column width out of range (0 to 255 characters)";
    case ErrorCode::RowHeightOutOfRange: return "row height out of range (0 to 409 points)";
    case ErrorCode::PageSetupOutOfRange:
        return "bad page setup (fit to 0 to 32,767 pages, scale 10 to 400 %, margins 0 to 49 inches, title rows in order)";
    case ErrorCode::WorkbookTooLarge: return "workbook too large for the Excel 97-2003 format";
    case ErrorCode::SharedFormulaCell: return "the cell holds a formula shared with other cells";
    }
    return "unknown workbook error";
}

static std::string sentence(ErrorCode code, const std::string &detail)
{
    std::string s = describe(code);
    if (!detail.empty())
        s += ": " + detail;
    return s;
}

XlsError::XlsError(ErrorCode code, const std::string &detail)
    : std::runtime_error(sentence(code, detail)), m_code(code)
{
}

} // namespace kestrova::xls
