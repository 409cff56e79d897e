"""The report windows as a person reads and works them at 1366×768: headings whole and
columns resizable, headings and labels fixed while the values scroll, the unit caption
attached to its column, copying and Ctrl+S, numbers right-aligned and total rows bold."""
import os
import time

import kestrova_e2e as e2e
from kestrova_e2e import reports as rp


class ReportWindows(e2e.ProgramTest):
    records = 3000

    def assert_whole(self, grid, rows, label):
        for r in rows:
            for c in range(grid.columns):
                text = grid.text(r, c)
                if text:
                    self.assertTrue(rp.fits(text, grid.box(r, c)), f'{label}: "{text}" ({r},{c}) is cut')

    def test_headings_show_whole_and_a_narrowed_column_tips_its_cut_cells(self):
        s = self.start()
        for number in ('3-1-2', '4-2-1', '4-2-2', '3-1-1'):
            w, table = rp.open_report(self, number)
            grid = rp.Grid(table)
            s.shot(f'headings_{number}')
            self.assert_whole(grid, range(1, grid.rows), number)
            if number != '3-1-1':
                rp.close_window(self, w)
        # 3-1-1: drag the right edge of 其中：可用空地面积 well to the left, in the headings
        grid = rp.Grid(table)
        heading = grid.box(2, 2)
        self.assertIn('可用空地面积', grid.text(2, 2))
        x, y, width, h = heading
        edge = x + width - 1
        s.move(edge, y + h // 2)
        s.xdo('mousedown', 1)
        s.move(edge - 40, y + h // 2)
        s.move(edge - (width - 40), y + h // 2)
        s.xdo('mouseup', 1)
        time.sleep(0.5)
        s.shot('headings_3-1-1_narrowed')
        narrowed = grid.box(2, 2)
        self.assertLess(narrowed[2], width - 40)
        self.assertGreater(narrowed[3], h)  # the heading wrapped into more lines, still whole
        self.assert_whole(grid, range(1, 3), '3-1-1 narrowed')
        cut = [r for r in range(3, grid.rows) if not rp.fits(grid.text(r, 2), grid.box(r, 2))]
        self.assertTrue(cut, 'no value of the narrowed column is cut')
        bx, by, bw, bh = grid.box(cut[0], 2)
        s.move(bx + bw // 2, by + bh // 2)
        self.assertEqual(rp.tooltip(s), grid.text(cut[0], 2))
        s.shot('headings_3-1-1_tooltip')
        whole = grid.box(cut[0], 1)
        s.move(whole[0] + whole[2] // 2, whole[1] + whole[3] // 2)
        self.assertTrue(rp.no_tooltip(s), 'a whole cell shows a tooltip')

    def test_headings_and_row_labels_stay_while_the_values_scroll(self):
        s = self.start()
        w, table = rp.open_report(self, '2-1-2')
        grid = rp.Grid(table)
        tx, ty, tw, th = e2e.extents(table)
        head = grid.box(4, 0)[1] - ty  # the title and heading rows
        title = grid.box(1, 0)[1] - ty  # the title scrolls sideways with the table; the rest stays
        before = rp.load(s.shot('scroll_2-1-2_top'))
        s.wheel(table, times=8)
        time.sleep(0.5)
        after = rp.load(s.shot('scroll_2-1-2_down'))
        headings = (tx + 2, ty + 2, tw - 24, head - 2)
        body = (tx + 2, ty + head + 2, tw - 24, th - head - 24)
        self.assertTrue(rp.same_pixels(before, after, headings), 'the headings moved')
        self.assertFalse(rp.same_pixels(before, after, body), 'the values did not scroll')
        # sideways: with the chart beside it the grid is narrower than its columns
        s.click(s.find(w, 'check box', '图表'))
        time.sleep(1)
        tx, ty, tw, th = e2e.extents(table)
        left = grid.box(4, 0)[2]
        before = rp.load(s.shot('scroll_2-1-2_chart'))
        s.move(tx + tw // 2, ty + th // 2)
        for _ in range(10):
            s.xdo('click', 7)  # the wheel tilted right
        time.sleep(0.5)
        after = rp.load(s.shot('scroll_2-1-2_right'))
        labels = (tx + 2, ty + title + 2, left - 4, th - title - 24)
        values = (tx + left + 2, ty + head + 2, tw - left - 24, th - head - 24)
        self.assertTrue(rp.same_pixels(before, after, labels), 'the row labels moved')
        self.assertFalse(rp.same_pixels(before, after, values), 'the values did not scroll sideways')

    def test_unit_caption_stays_over_the_last_column(self):
        s = self.start()
        for number, unit in (('6-2', '单位：公斤'), ('8-2', '单位：万吨'), ('2-1-2', '单位：万吨')):
            w, table = rp.open_report(self, number)
            grid = rp.Grid(table)
            caption = s.find(w, 'label', unit)

            def over_last_column():
                cx, cy, cw, ch = e2e.extents(caption)
                lx, _, lw, _ = grid.box(6, grid.columns - 1)  # the last column
                title = grid.box(0, 0)
                headings_top = grid.box(1, 0)[1]
                self.assertGreaterEqual(cx, lx - 1, number)
                self.assertLessEqual(cx + cw, lx + lw + 1, number)
                self.assertGreaterEqual(cy, title[1], number)
                self.assertLessEqual(cy + ch, headings_top + 1, number)  # above the headings
                return cx, cy

            first = over_last_column()
            s.click(grid.cell(6, 1))
            time.sleep(0.3)
            self.assertEqual(over_last_column(), first, f'{number}: the caption jumped on a click')
            s.shot(f'unit_{number}')
            if number == '2-1-2':
                s.click(s.find(w, 'check box', '图表'))
                time.sleep(1)
                tx, ty, tw, th = e2e.extents(table)
                s.move(tx + tw // 2, ty + th // 2)
                for _ in range(30):
                    s.xdo('click', 7)
                time.sleep(0.5)
                moved = over_last_column()
                self.assertNotEqual(moved[0], first[0])
                s.shot('unit_2-1-2_scrolled')
            rp.close_window(self, w)

    def test_cells_copy_with_their_headings_and_ctrl_s_saves(self):
        s = self.start()
        w, table = rp.open_report(self, '2-2-2')
        grid = rp.Grid(table)
        s.click(grid.cell(5, 2))
        x, y, width, h = grid.box(7, 3)
        s.xdo('keydown', 'shift')
        s.click_at(x + width // 2, y + h // 2)
        s.xdo('keyup', 'shift')
        s.press('ctrl+c')
        time.sleep(0.5)
        lines = [l.split('\t') for l in rp.clipboard(self.desktop).rstrip('\n').split('\n')]
        # the headings of the two columns, then the three rows with their labels
        self.assertEqual(len(lines), 2 + 3)
        self.assertEqual(lines[0][0], '地区')
        self.assertEqual(lines[1][1:], [grid.text(2, 2), grid.text(2, 3)])
        for i, r in enumerate((5, 6, 7)):
            self.assertEqual(lines[2 + i], [grid.text(r, 0), grid.text(r, 2), grid.text(r, 3)])
        s.press('ctrl+a', 'ctrl+c')
        time.sleep(0.5)
        everything = rp.clipboard(self.desktop)
        shown = '\n'.join('\t'.join(' '.join(p.strip() for p in t.split('\n') if p.strip()) if '\n' in t else t
                                    for t in row) for row in grid.texts()) + '\n'
        self.assertEqual(everything, shown)
        # Ctrl+S is 保存表格
        s.press('ctrl+s')
        out = os.path.join(self.home, '2-2-2.xls')
        rp.save_as(self, out, caption='保存表格')
        self.answer('确定', expect='保存成功！')
        import xlrd
        sheet = xlrd.open_workbook(out).sheet_by_index(0)
        self.assertEqual(sheet.cell_value(5, 0).strip(), grid.text(3, 0).strip())

    def test_numbers_right_aligned_totals_bold_texts_unchanged(self):
        s = self.start()
        title = '表2-1-2 全国粮油仓储企业总仓容汇总表（分地区）'
        w, table = rp.open_report(self, '2-1-2')
        grid = rp.Grid(table)
        image = rp.load(s.shot('align_2-1-2'))
        for r in range(4, 20):
            for c in range(1, grid.columns):
                box = grid.box(r, c)
                ink = rp.ink_columns(image, box, inset=2)
                self.assertIsNotNone(ink, (r, c))
                self.assertLessEqual(box[0] + box[2] - ink[1], 10, f'({r},{c}) "{grid.text(r, c)}" not at the right')
                self.assertGreater(ink[0] - box[0], 10, f'({r},{c}) not right-aligned')
        zone, province = grid.row_of('一、主产区'), grid.row_of('河北')
        for c in range(0, grid.columns):
            bold = rp.stroke_width(image, grid.box(zone, c))
            plain = rp.stroke_width(image, grid.box(province, c))
            self.assertGreater(bold, plain * 1.2, f'column {c}: the zone row is not set apart')
        # what the cells say is what the report says
        tsv = e2e.cli(self.home, 'report', title).stdout
        expected = [row.split('\t') for row in tsv.rstrip('\n').split('\n')]
        shown = [[t.replace('\n', '\\r') for t in row] for row in grid.texts()]
        self.assertEqual(shown, expected)


if __name__ == '__main__':
    e2e.main()
