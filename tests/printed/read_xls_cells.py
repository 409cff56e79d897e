#!/usr/bin/env python3
"""Prints sheet 1 of an .xls as JSON for the tests: cells keyed "row,col" (from 1)
with their text, and the merged blocks as [firstRow, firstCol, lastRow, lastCol]."""
import json
import sys

import xlrd

book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
sheet = book.sheet_by_index(0)
cells = {}
for r in range(sheet.nrows):
    for c in range(sheet.ncols):
        v = sheet.cell_value(r, c)
        if isinstance(v, float):
            v = repr(v)
        cells["%d,%d" % (r + 1, c + 1)] = v
merges = [[rlo + 1, clo + 1, rhi, chi] for (rlo, rhi, clo, chi) in sheet.merged_cells]
json.dump({"cells": cells, "merges": merges}, sys.stdout, ensure_ascii=False)
