#!/usr/bin/env python3
"""xlrd_typed.py BOOK.xls: the first sheet's cells as python3-xlrd types them, and the
workbook's defined names, one tab-separated line each:
  cell ROW COL number|text|boolean|error VALUE [REPR]   (numbers in the general format,
                                                   then with every digit of the double)
  name NAME SCOPE FIRSTROW LASTROW+1 FIRSTCOL LASTCOL+1   (one line per area it refers to)
Rows and columns count from 0; SCOPE is the sheet's index, -1 for the whole workbook."""
import os
import sys

import xlrd

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from general_format import general  # noqa: E402

KINDS = {xlrd.XL_CELL_NUMBER: 'number', xlrd.XL_CELL_TEXT: 'text', xlrd.XL_CELL_BOOLEAN: 'boolean',
         xlrd.XL_CELL_ERROR: 'error'}

book = xlrd.open_workbook(sys.argv[1])
sheet = book.sheet_by_index(0)
for r in range(sheet.nrows):
    for c in range(sheet.ncols):
        cell = sheet.cell(r, c)
        if cell.ctype in KINDS:
            if cell.ctype == xlrd.XL_CELL_NUMBER:
                value = general(cell.value) + '\t' + repr(cell.value)
            else:
                value = str(cell.value)
            print('cell\t%d\t%d\t%s\t%s' % (r, c, KINDS[cell.ctype], value))
for name in book.name_obj_list:
    if name.result is not None and name.result.kind == xlrd.oREF:
        for ref in name.result.value:
            print('name\t%s\t%d\t%d\t%d\t%d\t%d' % ((name.name, name.scope) + tuple(ref.coords[2:])))
