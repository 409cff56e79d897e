#!/usr/bin/env python3
"""Appends formula cells to the first row of the first sheet of a flat OpenDocument
spreadsheet (.fods), after the cells it has, for LibreOffice to compute when it opens it.

usage: add_ods_formulas.py IN.fods OUT.fods FORMULA...   (e.g. "of:=SUM([.B8:.B40])")"""
import sys
import xml.etree.ElementTree as ET

TABLE = '{urn:oasis:names:tc:opendocument:xmlns:table:1.0}'
FORMULA_NS = 'urn:oasis:names:tc:opendocument:xmlns:of:1.2'


def main(src, dst, formulas):
    for _, (prefix, uri) in ET.iterparse(src, events=['start-ns']):
        ET.register_namespace(prefix, uri)
    tree = ET.parse(src)
    row = tree.getroot().find('.//' + TABLE + 'table').find(TABLE + 'table-row')
    for f in formulas:
        ET.SubElement(row, TABLE + 'table-cell', {TABLE + 'formula': f})
    tree.write(dst, xml_declaration=True, encoding='UTF-8')
    # The formulas' "of:" prefix is used in no element name, so the writer dropped it.
    text = open(dst, encoding='utf-8').read()
    if 'xmlns:of=' not in text:
        at = text.index(' ', text.index('<office:document'))
        text = text[:at] + ' xmlns:of="%s"' % FORMULA_NS + text[at:]
        open(dst, 'w', encoding='utf-8').write(text)


main(sys.argv[1], sys.argv[2], sys.argv[3:])
