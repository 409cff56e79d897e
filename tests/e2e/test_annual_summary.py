"""The annual summary (数据分析--数据汇总) as a person uses it, with 65,535 records: every
sum readable whole at any window size, no sums left over from another node or ownership
(on screen or in the workbook), the node chosen with the keys summed, and a window that
fits the screen with its tree texts whole."""
import os
import time

import kestrova_e2e as e2e
from kestrova_e2e import reports as rp
from kestrova_e2e.screen import find_all
from kestrova_e2e.summary import SummaryTest, cli_summary


class ManyRecords(SummaryTest):
    records = 65535

    def test_every_sum_shows_whole_at_every_window_size(self):
        s, w = self.open_summary()
        expected = cli_summary(self.home, '国家')
        self.assertGreaterEqual(max(len(v) for k, v in expected.items() if k.startswith('a')), 10)
        self.sum_up(w, '65535')
        self.assert_shown_as(w, expected)
        # read-only: what a person types into a sum changes nothing
        first = self.fields(w)[1]
        s.click(first)
        s.press('End')
        s.type('9')
        s.press('BackSpace', 'BackSpace')
        self.assertEqual(e2e.text_of(first), expected['a1'])
        shot = s.shot('summary_65535_maximised')
        self.assert_sums_whole(w, 'maximised')
        self.assert_no_digit_cut_on_screen(w, shot, 'maximised')
        # a person takes the window out of maximised and drags it to other sizes
        s.double_click(w, dx=e2e.extents(w)[2] // 2, dy=-8)
        time.sleep(1)
        for size in ((1000, 700), (760, 560), (1300, 740)):
            s.xdo('getactivewindow', 'windowsize', *size)
            time.sleep(1.5)
            s.shot(f'summary_65535_{size[0]}x{size[1]}')
            self.assert_sums_whole(w, f'{size[0]}x{size[1]}')

    def test_province_sums_show_whole(self):
        s, w = self.open_summary()
        s.click(self.node(w, '河南省'))
        expected = cli_summary(self.home, '地方企业/河南省')
        self.sum_up(w, expected['企业个数'])
        self.assert_shown_as(w, expected)
        shot = s.shot('summary_65535_henan')
        self.assert_sums_whole(w, '河南省')
        self.assert_no_digit_cut_on_screen(w, shot, '河南省')

    def test_sums_of_another_node_are_cleared_and_never_saved_under_its_labels(self):
        s, w = self.open_summary()
        save = s.find(w, 'push button', '保存表格')
        self.assertFalse(save.getState().contains(e2e.screen.pyatspi.STATE_SENSITIVE))
        s.click(s.find(w, 'radio button', '国有'))
        self.sum_up(w, cli_summary(self.home, '国家', '国有')['企业个数'])
        self.assertTrue(save.getState().contains(e2e.screen.pyatspi.STATE_SENSITIVE))
        s.click(self.node(w, '河南省'))
        time.sleep(0.5)
        s.shot('summary_after_node_change')
        self.assertEqual(e2e.text_of(self.header(w, '企业个数：')), '')
        self.assertTrue(all(e2e.text_of(a) == '' for a in self.fields(w).values()))
        self.assertFalse(save.getState().contains(e2e.screen.pyatspi.STATE_SENSITIVE))
        s.click(save)  # a disabled button does nothing
        time.sleep(1)
        self.assertFalse(any(x.name == '保存表格' and x.getRoleName() == 'dialog' for x in s.windows()))

        expected = cli_summary(self.home, '地方企业/河南省')
        self.sum_up(w, expected['企业个数'])
        s.click(save)
        out = os.path.join(self.home, 'henan.xls')
        rp.save_as(self, out)
        self.answer('确定', expect='保存成功！')
        import xlrd
        sheet = xlrd.open_workbook(out).sheet_by_index(0)
        self.assertEqual(sheet.cell_value(5, 2), '河南省')
        self.assertEqual(sheet.cell_value(6, 0), '企业性质：全部')
        # numbers are number cells
        self.assertEqual(float(sheet.cell_value(6, 9)), float(expected['企业个数']))
        self.assertEqual(float(sheet.cell_value(9, 4)), float(expected['a1']))

    def test_the_node_chosen_with_the_keys_is_summed(self):
        s, w = self.open_summary()
        s.click(self.node(w, '河南省'))
        s.press('End')
        time.sleep(0.5)
        expected = cli_summary(self.home, '中央单位/中国中纺集团公司')
        self.sum_up(w, expected['企业个数'])
        self.assert_shown_as(w, expected)
        s.shot('summary_keys_end')

    def test_window_fits_the_screen_and_tree_texts_show_whole(self):
        s, w = self.open_summary()
        x, y, width, h = e2e.extents(w)
        self.assertGreaterEqual(width, self.desktop.width - 10)
        self.assertLessEqual(y + h, self.desktop.height)
        tree = s.find(w, 'tree', '汇总范围')
        tx, ty, tw, th = e2e.extents(tree)
        cells = [c for c in find_all(tree, 'table cell') if e2e.extents(c)[1] + e2e.extents(c)[3] <= ty + th]
        self.assertGreater(len(cells), 30)
        for c in cells:
            cx = e2e.extents(c)[0]
            self.assertLessEqual(cx + 3 + rp.text_width(c.name), tx + tw - 18, f'"{c.name}" is cut')
        s.shot('summary_1366x768')


if __name__ == '__main__':
    e2e.main()
