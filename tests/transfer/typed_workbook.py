#!/usr/bin/python3
"""Writes a CSV (UTF-8, first row the header) as the sheet 数据信息 of an .xls workbook
with cells typed the way a spreadsheet application types what is keyed in: numbers as
numbers, dates and times as dates with a date format, everything else as text.

usage: typed_workbook.py IN.csv OUT.xls
"""
import csv
import datetime
import re
import sys

import xlwt

NUMBER = re.compile(r'^-?\d+(\.\d+)?([eE][-+]?\d+)?$')
DATE = re.compile(r'^(\d{4})-(\d{1,2})-(\d{1,2})$')
DATETIME = re.compile(r'^(\d{4})-(\d{1,2})-(\d{1,2}) (\d{1,2}):(\d{2}):(\d{2})$')


def main(src, out):
    book = xlwt.Workbook(encoding='utf-8')
    sheet = book.add_sheet('数据信息')
    book.add_sheet('修改日志')
    date_style = xlwt.easyxf(num_format_str='yyyy-mm-dd')
    time_style = xlwt.easyxf(num_format_str='yyyy-mm-dd h:mm:ss')
    with open(src, newline='', encoding='utf-8') as f:
        for r, row in enumerate(csv.reader(f)):
            for c, text in enumerate(row):
                if text == '':
                    continue
                if r == 0:
                    sheet.write(r, c, text)
                elif NUMBER.match(text) and not (len(text) > 1 and text.startswith('0') and text[1] != '.'):
                    sheet.write(r, c, float(text))
                elif DATETIME.match(text):
                    sheet.write(r, c, datetime.datetime(*map(int, DATETIME.match(text).groups())), time_style)
                elif DATE.match(text):
                    sheet.write(r, c, datetime.datetime(*map(int, DATE.match(text).groups())), date_style)
                else:
                    sheet.write(r, c, text)
    book.save(out)


if __name__ == '__main__':
    main(sys.argv[1], sys.argv[2])
