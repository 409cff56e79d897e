#pragma once
// Where the printed return and the annual summary workbook put their values on
// sheet 1, counted from 1 as on the paper form. Both workbooks share the indicator
// cells, which come from the form's one indicator layout.
#include "data/indicators.h"

#include <QString>

#include <array>

namespace kestrova::xls {
class TemplateFiller;
}

namespace kestrova {

struct SheetCell {
    int row = 0;
    int column = 0;
    bool operator==(const SheetCell &) const = default;
};

// Indicator k (1..72) on both workbooks.
SheetCell indicatorCell(int k);

// Writes text into the cell of sheet 1 of a template being filled.
void putCellText(xls::TemplateFiller &book, SheetCell at, const QString &text);
// The same, as a number cell when the text is a number in the general format, so the
// spreadsheet can compute with it.
void putCellValue(xls::TemplateFiller &book, SheetCell at, const QString &text);

// The printed return of one enterprise.
namespace returnCells {
inline constexpr SheetCell name{3, 3};
inline constexpr SheetCell address{4, 3}; // province, city, county and street, joined
inline constexpr SheetCell postcode{5, 3};
inline constexpr SheetCell phone{5, 7};
inline constexpr SheetCell orgCode{5, 10};
inline constexpr SheetCell ownership{6, 3};
inline constexpr SheetCell legalRep{6, 7};
inline constexpr SheetCell affiliation{7, 3};
inline constexpr SheetCell business{7, 7};
inline constexpr SheetCell year{7, 9}; // "年度：" + year
inline constexpr SheetCell remarks{32, 12};
inline constexpr SheetCell head{33, 3};
inline constexpr SheetCell filler{33, 8};
inline constexpr SheetCell filingDate{33, 14};
} // namespace returnCells

// The annual summary: each header value with its caption cell.
namespace summaryCells {
inline constexpr SheetCell unitCaption{3, 1};
inline constexpr SheetCell unit{3, 3};
inline constexpr SheetCell dateCaption{4, 1};
inline constexpr SheetCell date{4, 3};
inline constexpr SheetCell yearCaption{5, 1};
inline constexpr SheetCell year{5, 3};
inline constexpr SheetCell placeCaption{6, 1};
inline constexpr SheetCell place{6, 3};
inline constexpr SheetCell ownership{7, 1}; // caption, then the chosen ownership appended
inline constexpr SheetCell countCaption{7, 9};
inline constexpr SheetCell count{7, 10};
} // namespace summaryCells

} // namespace kestrova
