#!/usr/bin/env python3
"""Prints one sheet of each .xls as a line of JSON for the tests: each cell's text keyed
"row,col" (from 1), numbers written in the general format the program uses; the keys of
the cells that hold numbers; the merged blocks and the sheet's print titles and print
area, each as [firstRow, firstCol, lastRow, lastCol] from 1.

usage: read_xls_cells.py SHEET_INDEX FILE..."""
import json
import sys

import xlrd

from general_format import general


def block(ref):
    """An xlrd Ref3D (shtxlo, shtxhi, rowxlo, rowxhi, colxlo, colxhi) as 1-based corners."""
    return [ref.coords[2] + 1, ref.coords[4] + 1, ref.coords[3], ref.coords[5]]


def sheet_json(path, index):
    book = xlrd.open_workbook(path, formatting_info=True)
    sheet = book.sheet_by_index(index)
    cells, numbers = {}, []
    for r in range(sheet.nrows):
        for c in range(sheet.ncols):
            cell = sheet.cell(r, c)
            key = '%d,%d' % (r + 1, c + 1)
            if cell.ctype == xlrd.XL_CELL_NUMBER:
                cells[key] = general(cell.value)
                numbers.append(key)
            else:
                cells[key] = cell.value if isinstance(cell.value, str) else str(cell.value)
    names = {}
    for name in book.name_obj_list:
        if name.builtin and name.scope == index and name.result is not None and name.result.kind == xlrd.oREF:
            names[name.name] = [block(ref) for ref in name.result.value]
    merges = [[rlo + 1, clo + 1, rhi, chi] for (rlo, rhi, clo, chi) in sheet.merged_cells]
    return {'cells': cells, 'numbers': numbers, 'merges': merges,
            'printTitles': names.get('Print_Titles', []), 'printArea': names.get('Print_Area', [])}


for path in sys.argv[2:]:
    print(json.dumps(sheet_json(path, int(sys.argv[1])), ensure_ascii=False))
