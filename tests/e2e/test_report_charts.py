"""The chart beside a report grid, as a person uses it at 1366×768: 图表 shows it for one
table of every part (kept as screenshots), the picker changes the column, the stacks
show as shares, and 图表另存为 writes PNG and SVG whose bars say what the grid says."""
import os
import re
import time
import xml.etree.ElementTree as ET

import kestrova_e2e as e2e
from kestrova_e2e import reports as rp

ONE_PER_PART = ['1-1-2', '2-3-2', '3-3-2', '4-1-2', '5-2', '6-1', '7-2', '8-2']
STACKED = {'1-1-2', '2-3-2'}


def svg_texts(path):
    texts = []
    for el in ET.parse(path).iter():
        if el.tag.endswith('text') and el.text and el.text.strip():
            texts.append(el.text.strip())
    return texts


class Charts(e2e.ProgramTest):
    records = 5000

    def show_chart(self, w):
        s = self.screen
        s.click(s.find(w, 'check box', '图表'))
        # on Linux a combo box is named by the entry it shows; the window has only this one
        picker = s.find(w, 'combo box', timeout=20)
        time.sleep(1)
        return picker

    def save_chart(self, w, path):
        s = self.screen
        s.click(s.find(w, 'push button', '图表另存为'))
        rp.save_as(self, path, caption='图表另存为')
        self.answer('确定', expect='保存成功！')
        rp.wait_file(path)

    def detail_rows(self, grid, first):
        zones = {'一、主产区', '二、主销区', '三、产销平衡区', '全国总计', '全国合计', '合计'}
        return [r for r in range(first, grid.rows) if grid.text(r, 0).strip() not in zones]

    def test_one_chart_of_every_part(self):
        s = self.start()
        for number in ONE_PER_PART:
            w, table = rp.open_report(self, number)
            picker = self.show_chart(w)
            self.assertTrue(e2e.text_of(picker) or picker.name)
            s.shot(f'chart_{number}')
            if number in STACKED:
                s.click(s.find(w, 'check box', '按百分比'))
                time.sleep(1)
                s.shot(f'chart_{number}_percent')
            # the grid keeps working beside the chart
            grid = rp.Grid(table)
            s.click(grid.cell(5, 0))
            rp.close_window(self, w)

    def test_saved_chart_shows_the_grid_cells_and_follows_the_picker(self):
        s = self.start()
        w, table = rp.open_report(self, '2-1-2')
        grid = rp.Grid(table)
        picker = self.show_chart(w)
        svg = os.path.join(self.home, 'chart.svg')
        self.save_chart(w, svg)
        texts = svg_texts(svg)
        rows = self.detail_rows(grid, 4)
        self.assertEqual(len(rows), 32)
        for r in rows:
            self.assertIn(grid.text(r, 0).replace(' ', ''), texts)
            self.assertIn(grid.text(r, 1), texts, f'bar of {grid.text(r, 0)}')
        # another column through the picker: the bars become that column's cells
        s.click(picker)
        # the entries are named by the column's headings, top down: 总仓容／简易仓容
        s.click(s.find(s.app(), 'list item', where=lambda a: a.name.endswith('简易仓容'), timeout=10))
        time.sleep(1)
        s.shot('chart_2-1-2_picked')
        svg2 = os.path.join(self.home, 'chart2.svg')
        self.save_chart(w, svg2)
        texts = svg_texts(svg2)
        column = next(c for c in range(grid.columns) if grid.text(2, c) == '简易仓容')
        for r in rows:
            self.assertIn(grid.text(r, column), texts, f'简易仓容 bar of {grid.text(r, 0)}')
        self.assertIn('单位：万吨', texts)
        png = os.path.join(self.home, 'chart.png')
        self.save_chart(w, png)
        with open(png, 'rb') as f:
            head = f.read(8)
        self.assertEqual(head, b'\x89PNG\r\n\x1a\n')
        self.assertGreater(os.path.getsize(png), 10000)


if __name__ == '__main__':
    e2e.main()
