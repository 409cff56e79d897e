#include "xls/errors.h"

namespace kestrova::xls {

const char *describe(ErrorCode code)
{
    switch (code) {
    case ErrorCode::CannotOpenFile: return "无法打开文件";
    case ErrorCode::CannotWriteFile: return "无法写入文件";
    case ErrorCode::NotRegularFile: return "不是普通文件（是文件夹、管道或设备）";
    case ErrorCode::BadSignature: return "不是Excel 97-2003工作簿：文件头标志不对";
    case ErrorCode::Truncated: return "工作簿已损坏：文件不完整";
    case ErrorCode::BadSectorChain: return "工作簿已损坏：扇区链循环或指向文件之外";
    case ErrorCode::BadDirectory: return "工作簿已损坏：目录有误";
    case ErrorCode::NoWorkbookStream: return "不是Excel 97-2003工作簿：找不到工作簿数据流";
    case ErrorCode::OldExcelVersion: return "这是Excel 5.0/95或更早版本的工作簿，请先用Excel把它另存为“Excel 97-2003 工作簿”";
    case ErrorCode::Encrypted: return "工作簿设有打开密码（已加密），需要输入密码才能打开；请用Excel输入密码打开，去掉打开密码后另存，再使用";
    case ErrorCode::BadRecord: return "工作簿已损坏：有记录超出数据流或格式有误";
    case ErrorCode::BadStringTable: return "工作簿已损坏：共享字符串表有误";
    case ErrorCode::BadSheetOffset: return "工作簿已损坏：工作表的位置有误";
    case ErrorCode::SheetMissing: return "工作簿中没有这个工作表";
    case ErrorCode::SheetIndexOutOfRange: return "工作表序号超出范围";
    case ErrorCode::RowOutOfRange: return "行号超出范围（1至65536）";
    case ErrorCode::ColumnOutOfRange: return "列号超出范围（1至256）";
    case ErrorCode::TextTooLong: return "文字超过32767个字符";
    case ErrorCode::InvalidText: return "文字不是有效的UTF-8编码";
    case ErrorCode::FontNameInvalid: return "字体名应有1至31个字符";
    case ErrorCode::NumberNotFinite: return "单元格不能存放无穷大或非数值（NaN）";
    case ErrorCode::SheetNameEmpty: return "工作表名为空";
    case ErrorCode::SheetNameTooLong: return "工作表名超过31个字符";
    case ErrorCode::SheetNameInvalidChar: return "工作表名含有 [ ] : * ? / \\ 之一";
    case ErrorCode::SheetNameDuplicate: return "工作簿中已有同名工作表";
    case ErrorCode::NoSheets: return "工作簿至少要有一个工作表";
    case ErrorCode::FormatOutOfRange: return "没有这种单元格格式";
    case ErrorCode::TooManyFormats: return "单元格格式太多（至多3900种）";
    case ErrorCode::FontSizeOutOfRange: return "字号超出范围（1至409磅）";
    case ErrorCode::BadMergeRange: return "合并区域有误";
    case ErrorCode::MergeOverlap: return "合并区域与另一个合并区域重叠";
    case ErrorCode::ColumnWidthOutOfRange: return "列宽超出范围（0至255个字符）";
    case ErrorCode::RowHeightOutOfRange: return "行高超出范围（0至409磅）";
    case ErrorCode::PageSetupOutOfRange:
        return "页面设置有误（缩放为0至32767页或10%至400%，页边距0至49英寸，标题行须按顺序）";
    case ErrorCode::WorkbookTooLarge: return "工作簿超出Excel 97-2003格式的大小上限";
    }
    return "未知的工作簿错误";
}

static std::string sentence(ErrorCode code, const std::string &detail)
{
    std::string s = describe(code);
    if (!detail.empty())
        s += "：" + detail;
    return s;
}

XlsError::XlsError(ErrorCode code, const std::string &detail)
    : std::runtime_error(sentence(code, detail)), m_code(code)
{
}

} // namespace kestrova::xls
