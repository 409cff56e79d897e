"""Every report window class, opened through the menu at 1366×768 with one of its titles,
kept as a screenshot for a person to look at; each shows its grid with every heading
and value it has on screen whole, and the annual summary with its sums."""
import time

import kestrova_e2e as e2e
from kestrova_e2e import reports as rp

# One title per window class: the -1 and the -2 table of every group.
NUMBERS = ['1-1-1', '1-1-2', '2-1-1', '2-1-2', '2-2-1', '2-2-2', '2-3-1', '2-3-2', '2-4-1', '2-4-2',
           '2-5-1', '2-5-2', '3-1-1', '3-1-2', '3-2-1', '3-2-2', '3-3-1', '3-3-2', '3-4-1', '3-4-2',
           '3-5-1', '3-5-2', '4-1-1', '4-1-2', '4-2-1', '4-2-2', '4-3-1', '4-3-2', '4-4-1', '4-4-2',
           '5-1', '5-2', '6-1', '6-2', '7-1', '7-2', '8-1', '8-2']


class Gallery(e2e.ProgramTest):
    records = 5000

    def test_every_report_window_shows_its_table_whole(self):
        self.assertEqual(len(NUMBERS), 38)
        s = self.start()
        problems = []
        for number in NUMBERS:
            w, table = rp.open_report(self, number)
            grid = rp.Grid(table)
            s.shot(f'report_{number}')
            tx, ty, tw, th = e2e.extents(table)
            self.assertGreater(grid.rows, 3, number)
            for r in range(1, grid.rows):
                for c in range(grid.columns):
                    x, y, width, h = box = grid.box(r, c)
                    text = grid.text(r, c)
                    on_screen = y >= ty and y + h <= ty + th and x + width <= tx + tw
                    if text and on_screen and not rp.fits(text, box):
                        problems.append(f'{number} ({r},{c}) "{text}"')
            rp.close_window(self, w)
        self.assertEqual(problems, [])

    def test_annual_summary(self):
        s = self.start()
        self.menu('统计报表', '统计年报汇总表')
        w = s.window('数据分析--数据汇总', timeout=30)
        s.click(s.find(w, 'push button', '统计'))
        e2e.wait_for(lambda: e2e.text_of(s.find(w, 'text', '企业个数：')) == '5000', 60, '企业个数 5000')
        time.sleep(0.5)
        s.shot('annual_summary')


if __name__ == '__main__':
    e2e.main()
