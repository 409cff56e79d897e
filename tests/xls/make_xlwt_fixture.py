#!/usr/bin/env python3
"""make_xlwt_fixture.py OUT.xls [--1904]: a workbook written by python3-xlwt with typed
numbers, dates in several formats, booleans, errors, a formula and a merge. The test
holds the texts each cell must read back as."""
import datetime
import sys

import xlwt

out = sys.argv[1]
book = xlwt.Workbook(encoding="utf-8")
if "--1904" in sys.argv:
    book.dates_1904 = True
s = book.add_sheet("数据信息")
fmt = lambda code: xlwt.easyxf(num_format_str=code)

s.write(0, 0, "企业名称")
s.write(0, 1, "Ünïcode ß")
s.write(0, 2, "粮油仓储")
numbers = [0, 1, -1, 0.5, 1234567.891, 1e-6, 123456789012345678, 0.1 + 0.2, 2.5e15, -0.00001234]
for i, v in enumerate(numbers):
    s.write(1, i, v)
s.write(2, 0, datetime.date(2013, 5, 1), fmt("yyyy-mm-dd"))
s.write(2, 1, datetime.datetime(2013, 5, 1, 8, 5, 9), fmt("yyyy-mm-dd hh:mm:ss"))
s.write(2, 2, datetime.date(2013, 12, 31), fmt('yyyy"年"m"月"d"日"'))
s.write(2, 3, 45000.75, fmt('"Amount due "0.00'))
s.write(2, 4, -3.5, fmt("0.00_);[Red](0.00)"))
s.write(2, 5, 45000.75, fmt("m/d/yy h:mm"))
s.write(2, 6, 0.25, fmt("[h]:mm"))
for i, serial in enumerate([1, 59, 60, 61]):
    s.write(3, i, serial, fmt("yyyy-mm-dd"))
s.write(4, 0, True)
s.write(4, 1, False)
s.row(4).set_cell_error(2, "#DIV/0!")
s.row(4).set_cell_error(3, 0x2A)
s.write(4, 4, xlwt.Formula("1+2"))
s.write_merge(5, 6, 0, 2, "合并", xlwt.easyxf("borders: left thin, right thin, top thin, bottom thin"))
s.write(8, 3, "")  # an empty text cell
s.write(8, 5, None, xlwt.easyxf("borders: left thin"))  # a formatted blank
s2 = book.add_sheet("修改日志")
s2.write(0, 0, "日志")
book.save(out)
