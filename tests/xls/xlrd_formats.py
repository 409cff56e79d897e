#!/usr/bin/env python3
"""xlrd_formats.py BOOK.xls: what a spreadsheet shows besides values, as read by
python3-xlrd with formatting_info: per sheet its merges, column widths, row heights and
selection, and per cell its XF with that XF's font and alignment and borders."""
import sys

import xlrd

book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
for s in book.sheets():
    print("sheet\t%s\t%d\t%d\t%d" % (s.name, s.nrows, s.ncols, s.sheet_selected))
    for (r1, r2, c1, c2) in sorted(s.merged_cells):
        print("merge\t%s\t%d\t%d\t%d\t%d" % (s.name, r1, r2, c1, c2))
    for c, info in sorted(s.colinfo_map.items()):
        print("width\t%s\t%d\t%d" % (s.name, c, info.width))
    for r, info in sorted(s.rowinfo_map.items()):
        if info.has_default_height == 0:
            print("height\t%s\t%d\t%d" % (s.name, r, info.height))
    for r in range(s.nrows):
        for c in range(s.ncols):
            xfx = s.cell_xf_index(r, c)
            xf = book.xf_list[xfx]
            font = book.font_list[xf.font_index]
            b = xf.border
            print("xf\t%s\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d" % (
                s.name, r, c, xfx, font.bold, font.height, xf.alignment.hor_align, xf.alignment.vert_align,
                xf.alignment.text_wrapped, b.left_line_style, b.right_line_style, b.top_line_style,
                b.bottom_line_style))
