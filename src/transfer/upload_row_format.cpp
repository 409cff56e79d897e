#include "transfer/upload_row_format.h"

#include "data/schema.h"
#include "transfer/cell_text.h"
#include "transfer/messages.h"
#include "transfer/transfer_error.h"
#include "xls/unicode.h"

#include <algorithm>

namespace kestrova::transfer {

UploadRowFormat::UploadRowFormat(Database &db, const QString &sheetName)
    : m_sheet(sheetName), m_columns(tableColumns(db, tables::records).mid(1))
{
}

int UploadRowFormat::columnIndex(const QString &name) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].name == name)
            return i;
    return -1;
}

QString UploadRowFormat::rowPlace(int sheetRow) const
{
    return QStringLiteral("工作表“%1”第 %2 行").arg(m_sheet).arg(sheetRow);
}

void UploadRowFormat::setHeader(const Cells &cells)
{
    for (size_t i = 0; i < cells.size(); ++i) {
        if (QString::fromStdString(cells[i]).trimmed() == kNameColumn) {
            m_nameColumn = int(i);
            break;
        }
    }
    if (m_nameColumn < 0)
        throw TransferError(kImportFailed,
                            QStringLiteral("%1（标题行）：没有标题为“%2”的列").arg(rowPlace(1), kNameColumn));
    if (qsizetype(cells.size()) < m_columns.size())
        throw TransferError(kImportFailed, QStringLiteral("%1（标题行）只有 %2 列，上报文件应有 %3 列")
                                               .arg(rowPlace(1))
                                               .arg(qsizetype(cells.size()))
                                               .arg(m_columns.size()));
}

void UploadRowFormat::failAt(int sheetRow, int column, const QString &value, const QString &what) const
{
    throw TransferError(kImportFailed, QStringLiteral("%1第 %2 列（%3）：“%4”%5")
                                           .arg(rowPlace(sheetRow), columnLetters(column + 1), m_columns[column].name,
                                                value, what));
}

namespace {
using NumberKind = UploadRowFormat::SharedNumbers::Kind;

// Whether a text is longer than a workbook cell holds, so no export could carry it.
bool exceedsCell(std::string_view utf8)
{
    constexpr size_t kCellUnits = 32767;
    if (utf8.size() <= kCellUnits)
        return false; // every UTF-16 unit takes at least one byte
    size_t units = 0;
    bool latin1 = false;
    return !xls::measureUtf8(utf8, units, latin1) || units > kCellUnits;
}

NumberKind numberKind(std::string_view text, double &value)
{
    if (isBlankCell(text))
        return NumberKind::Blank;
    const auto v = cellNumber(text);
    if (!v)
        return NumberKind::NotNumber;
    value = *v;
    return carriesThrough(*v) ? NumberKind::Number : NumberKind::Uncarried;
}

QString fromView(std::string_view v)
{
    return QString::fromUtf8(v.data(), qsizetype(v.size()));
}
} // namespace

NumberKind UploadRowFormat::SharedNumbers::kind(uint32_t i, std::string_view text, double &value)
{
    if (m_kinds[i] == Kind::Unknown)
        m_kinds[i] = numberKind(text, m_values[i]);
    value = m_values[i];
    return m_kinds[i];
}

void UploadRowFormat::prepare(int sheetRow, const CellViews &cells, Row &row, SharedNumbers *shared) const
{
    using xls::kNotShared;
    if (m_nameColumn < 0)
        throw TransferError(kImportFailed, QStringLiteral("工作表“%1”没有标题行").arg(m_sheet));
    row.sheetRow = sheetRow;
    row.blank = std::all_of(cells.begin(), cells.end(),
                            [](const xls::WorkbookReader::CellView &c) { return c.text.empty(); });
    if (row.blank)
        return;

    // Assigning into the row's own strings and vectors reuses what they hold from the
    // row they carried before, so a long import hardly allocates.
    static const xls::WorkbookReader::CellView none;
    const auto cell = [&cells](size_t i) -> const xls::WorkbookReader::CellView & {
        return i < cells.size() ? cells[i] : none;
    };
    const size_t n = size_t(m_columns.size());
    row.name.assign(cell(size_t(m_nameColumn)).text);
    row.nameReplaced = false;
    row.nameExisted = false;
    row.kinds.assign(n, Row::Kind::Text);
    row.numbers.assign(n, 0.0);
    row.owned.resize(n); // before any view into it is taken
    row.texts.assign(n, std::string_view());
    for (size_t i = 0; i < n; ++i) {
        const ColumnInfo &col = m_columns[qsizetype(i)];
        const xls::WorkbookReader::CellView &c = cell(i);
        if (col.numeric) {
            double v = 0;
            const NumberKind k = shared && c.sharedString != kNotShared ? shared->kind(c.sharedString, c.text, v)
                                                                        : numberKind(c.text, v);
            if (k == NumberKind::NotNumber)
                failAt(sheetRow, int(i), fromView(c.text), QStringLiteral("不是数字"));
            if (k == NumberKind::Uncarried)
                failAt(sheetRow, int(i), fromView(c.text),
                       QStringLiteral("超过了工作簿能显示的 15 位有效数字，或数值过大"));
            row.kinds[i] = k == NumberKind::Blank ? Row::Kind::Null : Row::Kind::Number;
            row.numbers[i] = v;
        } else if (exceedsCell(c.text)) {
            // The value's start is enough to find the cell.
            failAt(sheetRow, int(i), QString::fromUtf8(c.text.data(), 120).left(20) + QStringLiteral("…"),
                   QStringLiteral("超过了一个单元格能容纳的 32767 个字符"));
        } else if (col.date && !isBlankCell(c.text)) {
            const QString text = fromView(c.text);
            const auto stored = storedDateOf(text);
            if (!stored)
                failAt(sheetRow, int(i), text, QStringLiteral("不是日期"));
            row.owned[i] = stored->toStdString();
            row.texts[i] = row.owned[i];
        } else if (c.sharedString != kNotShared) {
            row.texts[i] = c.text; // lasts as long as the workbook
        } else {
            row.owned[i].assign(c.text);
            row.texts[i] = row.owned[i];
        }
    }
}

} // namespace kestrova::transfer
