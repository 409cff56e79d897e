#!/usr/bin/env python3
"""upload_data.py write OUT.xls | read FILE.xls: the xls_bench workload with python3-xlwt
(writing the same 65,536 x 94 texts) and python3-xlrd (reading every cell)."""
import sys

ROWS, COLS = 65536, 94
KINDS = ["企业", "地址", "法人", "电话"]


def cell_text(r, c):
    if r == 0:
        return "列%d" % (c + 1)
    if c < 16:
        return "%s%d-%d" % (KINDS[c % 4], r, c)
    if c < 88:
        v = (r * 31 + c * 17) % 100000
        return "%d.%d" % (v // 10, v % 10) if c % 3 == 0 else "%d" % (v % 1000)
    if c < 91:
        return "备注%d" % (r % 50)
    if c == 91:
        return "2013-%02d-%02d" % (r % 12 + 1, r % 28 + 1)
    if c == 92:
        return "2013-%02d-%02d %d:%02d:%02d" % (r % 12 + 1, r % 28 + 1, r % 24, r % 60, (r * 7) % 60)
    return "1"


if sys.argv[1] == "write":
    import xlwt
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("数据信息")
    book.add_sheet("修改日志").write(0, 0, "企业名称")
    for r in range(ROWS):
        row = sheet.row(r)
        for c in range(COLS):
            row.write(c, cell_text(r, c))
        if r % 1000 == 0:
            sheet.flush_row_data()
    book.save(sys.argv[2])
else:
    import xlrd
    book = xlrd.open_workbook(sys.argv[2], on_demand=True)
    sheet = book.sheet_by_name("数据信息")
    cells = sum(len(sheet.row_values(r)) for r in range(sheet.nrows))
    print("rows", sheet.nrows, "cells", cells)
