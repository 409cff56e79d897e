#!/usr/bin/env python3
"""xlrd_dump.py BOOK.xls [SHEET]: every cell of a sheet (default: the first) as read by
python3-xlrd, one line per cell: row, column, value. Numbers print in Excel's general format
(shortest form with at most 15 significant digits, scientific below 1E-5 and from 1E+15 with
an exponent of two digits at least), booleans as TRUE/FALSE, errors as #DIV/0! and the like,
texts as stored; tab, newline and backslash escaped."""
import os
import sys

import xlrd

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from general_format import general  # noqa: E402


def esc(s):
    return s.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n")


book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
sheet = book.sheet_by_name(sys.argv[2]) if len(sys.argv) > 2 else book.sheet_by_index(0)
for r in range(sheet.nrows):
    for c in range(sheet.ncols):
        cell = sheet.cell(r, c)
        if cell.ctype == xlrd.XL_CELL_TEXT:
            v = cell.value
        elif cell.ctype == xlrd.XL_CELL_NUMBER:
            v = general(cell.value, 2)
        elif cell.ctype in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
            continue
        elif cell.ctype == xlrd.XL_CELL_BOOLEAN:
            v = "TRUE" if cell.value else "FALSE"
        elif cell.ctype == xlrd.XL_CELL_ERROR:
            v = xlrd.error_text_from_code.get(cell.value, "#N/A")
        else:
            v = repr(cell.value)
        print("%d\t%d\t%s" % (r, c, esc(v)))
