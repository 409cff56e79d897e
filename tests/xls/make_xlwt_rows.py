#!/usr/bin/env python3
"""make_xlwt_rows.py OUT.xls ROWS: a python3-xlwt workbook whose sheet 数据信息 holds a heading
and ROWS rows of texts and numbers (enough rows to span many 1,024-byte blocks), and a
second sheet."""
import sys

import xlwt

out, rows = sys.argv[1], int(sys.argv[2])
book = xlwt.Workbook(encoding="utf-8")
s = book.add_sheet("数据信息")
for c, title in enumerate(["企业名称", "地址", "仓容", "比例"]):
    s.write(0, c, title)
for r in range(1, rows + 1):
    s.write(r, 0, "粮油企业%d" % r)
    s.write(r, 1, "Street %d, 第%d号" % (r, r * 7))
    s.write(r, 2, r * 125)
    s.write(r, 3, r / 8.0)
book.add_sheet("修改日志").write(0, 0, "日志")
book.save(out)
