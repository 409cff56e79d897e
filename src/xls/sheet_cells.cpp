#include "xls/sheet_cells.h"

#include "xls/biff_records.h"
#include "xls/byte_io.h"
#include "xls/cell_text.h"
#include "xls/errors.h"
#include "xls/general_number.h"
#include "xls/unicode.h"

namespace kestrova::xls {

bool isCellRecord(uint16_t type)
{
    switch (type) {
    case rec::LabelSst: case rec::Label: case rec::RString: case rec::Number: case rec::Rk:
    case rec::MulRk: case rec::Blank: case rec::MulBlank: case rec::BoolErr: case rec::Formula: case rec::Formula4:
        return true;
    default:
        return false;
    }
}

namespace {

void numberText(double v, uint16_t xf, const GlobalsInfo &g, std::string &out)
{
    if (g.isDateXf(xf)) {
        out = dateText(v, g.date1904);
        if (!out.empty())
            return;
    }
    out = formatGeneral(v, 2); // 1E-06, as Excel's General format shows it
}


} // namespace

void validateCellRecord(const Record &r)
{
    size_t min = 6;
    switch (r.type) {
    case rec::LabelSst: case rec::Rk: min = 10; break;
    case rec::Number: min = 14; break;
    case rec::BoolErr: min = 8; break;
    case rec::Formula: min = 20; break;
    case rec::Formula4: min = 14; break; // through the cached result, all that is read
    case rec::Label: case rec::RString: min = 8; break;
    case rec::MulRk: case rec::MulBlank: {
        const size_t width = r.type == rec::MulRk ? 6 : 2;
        if (r.size < 6 + width || (r.size - 6) % width != 0)
            throwBadRecord(r, "长度有误");
        const size_t n = (r.size - 6) / width;
        const uint16_t col = rd16(r.data + 2);
        if (rd16(r.data + r.size - 2) != col + n - 1)
            throwBadRecord(r, "末列与长度不符");
        if (col + n > 256)
            throwBadRecord(r, "超出第256列");
        return;
    }
    default: break;
    }
    requireSize(r, min);
    const uint16_t col = rd16(r.data + 2);
    if (col > 255)
        throwBadRecord(r, "第" + std::to_string(col + 1) + "列超出工作表的256列");
}

bool decodeCellRecord(const Record &r, const RecordReader &after, const GlobalsInfo &g,
                      const SharedStringText &sst, std::string &text, CellSink &sink)
{
    if (!isCellRecord(r.type))
        return false;
    validateCellRecord(r);
    const uint16_t row = rd16(r.data), col = rd16(r.data + 2), xf = rd16(r.data + 4);
    text.clear();
    switch (r.type) {
    case rec::LabelSst: {
        const uint32_t index = rd32(r.data + 6);
        if (index >= sst.count())
            throwBadRecord(r, "共享字符串" + std::to_string(index) + "超出共享字符串表的" + std::to_string(sst.count()) +
                           "个字符串");
        if (const auto kept = sst.lastingUtf8(index)) {
            sink.cell({row, col, *kept, true, index, true});
            return true;
        }
        sst.append(index, text);
        sink.cell({row, col, text, true, index, false});
        return true;
    }
    case rec::Label:
    case rec::RString: {
        size_t at = 6;
        text = readLongString(r, at);
        break;
    }
    case rec::Number:
        numberText(rdDouble(r.data + 6), xf, g, text);
        break;
    case rec::Rk:
        numberText(decodeRk(rd32(r.data + 6)), xf, g, text);
        break;
    case rec::MulRk: {
        // row, first column, (XF, RK) pairs, last column; the pair count comes from the length
        const size_t n = (r.size - 6) / 6;
        for (size_t i = 0; i < n; ++i) {
            const uint8_t *p = r.data + 4 + 6 * i;
            numberText(decodeRk(rd32(p + 2)), rd16(p), g, text);
            sink.cell({row, uint16_t(col + i), text, true});
        }
        return true;
    }
    case rec::Blank:
        break;
    case rec::MulBlank: {
        const size_t n = (r.size - 6) / 2;
        for (size_t i = 0; i < n; ++i) {
            sink.cell({row, uint16_t(col + i), text, false});
        }
        return true;
    }
    case rec::BoolErr:
        text = r.data[7] ? errorText(r.data[6]) : (r.data[6] ? "TRUE" : "FALSE");
        break;
    case rec::Formula:
    case rec::Formula4: {
        const uint8_t *v = r.data + 6;
        if (rd16(v + 6) != 0xFFFF) {
            numberText(rdDouble(v), xf, g, text);
        } else if (v[0] == 1) {
            text = v[2] ? "TRUE" : "FALSE";
        } else if (v[0] == 2) {
            text = errorText(v[2]);
        } else if (v[0] == 0) {
            // The text result is in the STRING record after it (past any shared-formula,
            // array or table record).
            RecordReader look = after;
            Record s;
            while (look.next(s)) {
                if (s.type == rec::ShrFmla || s.type == rec::Array || s.type == rec::Table)
                    continue;
                if (s.type == rec::String) {
                    ContinuedData d(s, look);
                    std::u16string u;
                    d.unicodeString(u);
                    appendUtf8FromUtf16(text, u.data(), u.size());
                }
                break;
            }
        }
        break;
    }
    }
    sink.cell({row, col, text, r.type != rec::Blank});
    return true;
}

} // namespace kestrova::xls
