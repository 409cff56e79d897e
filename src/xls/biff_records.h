#pragma once
// BIFF8 record types used by the writer, the reader and the template filler.
#include <cstdint>

namespace kestrova::xls::rec {

constexpr uint16_t Formula = 0x0006, Eof = 0x000A, CalcCount = 0x000C, CalcMode = 0x000D, Precision = 0x000E,
                   RefMode = 0x000F, Delta = 0x0010, Iteration = 0x0011, Protect = 0x0012, Password = 0x0013,
                   Header = 0x0014, Footer = 0x0015, WindowProtect = 0x0019, DateMode = 0x0022,
                   PrintHeaders = 0x002A, PrintGridlines = 0x002B, FilePass = 0x002F, Font = 0x0031,
                   Continue = 0x003C, Window1 = 0x003D, Backup = 0x0040, CodePage = 0x0042, DefColWidth = 0x0055,
                   WriteAccess = 0x005C, SaveRecalc = 0x005F, ColInfo = 0x007D, Guts = 0x0080, WsBool = 0x0081,
                   GridSet = 0x0082, HCenter = 0x0083, VCenter = 0x0084, BoundSheet = 0x0085, Country = 0x008C,
                   HideObj = 0x008D, FnGroupCount = 0x009C, Setup = 0x00A1, MulRk = 0x00BD, MulBlank = 0x00BE,
                   Mms = 0x00C1, RString = 0x00D6, DbCell = 0x00D7, BookBool = 0x00DA, Xf = 0x00E0,
                   InterfaceHdr = 0x00E1, InterfaceEnd = 0x00E2, MergedCells = 0x00E5, Sst = 0x00FC,
                   LabelSst = 0x00FD, ExtSst = 0x00FF, TabId = 0x013D, UsesElfs = 0x0160, Dsf = 0x0161,
                   Prot4Rev = 0x01AF, RefreshAll = 0x01B7, Prot4RevPass = 0x01BC, Dimensions = 0x0200,
                   Blank = 0x0201, Number = 0x0203, Label = 0x0204, BoolErr = 0x0205, String = 0x0207,
                   Row = 0x0208, Bof5 = 0x0209 /* never BIFF8 */, Index = 0x020B, Array = 0x0221,
                   DefaultRowHeight = 0x0225, Table = 0x0236, Window2 = 0x023E, Rk = 0x027E, Style = 0x0293,
                   Format = 0x041E, ShrFmla = 0x04BC, Bof = 0x0809;
// FORMULA under its Excel 4 number, which some exporters still write into BIFF8 sheets.
constexpr uint16_t Formula4 = 0x0406;
inline constexpr bool isFormula(uint16_t type) { return type == Formula || type == Formula4; }

constexpr uint16_t MaxData = 8224; // longest record data; more goes on in CONTINUE records

} // namespace kestrova::xls::rec
