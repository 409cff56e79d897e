"""The annual summary window (数据分析--数据汇总) for end-to-end tests: opening it, its 72
sums by indicator number, the tree's nodes, and what a person can read of the sums."""
import time

import kestrova_e2e as e2e
from . import reports as rp
from .screen import find_all, showing

TITLE = '数据分析--数据汇总'
FIELD_PX = 16  # the sums are 12 pt


def cli_summary(home, node, ownership=None):
    args = ['summary', '--node', node] + (['--ownership', ownership] if ownership else [])
    out = e2e.cli(home, *args).stdout
    values = dict(line.split('\t', 1) for line in out.splitlines() if '\t' in line)
    return values


class SummaryTest(e2e.ProgramTest):
    def open_summary(self):
        s = self.start()
        self.menu('统计报表', '统计年报汇总表')
        w = s.window(TITLE, timeout=30)
        time.sleep(0.5)
        return s, w

    def fields(self, w):
        """The 72 sums by indicator number, from their accessible descriptions."""
        out = {}
        for acc in find_all(w, 'text', visible=False):
            d = acc.description or ''
            if d.startswith('指标'):
                out[int(d[2:])] = acc
        self.assertEqual(len(out), 72)
        return out

    def header(self, w, caption):
        return self.screen.find(w, 'text', caption)

    def node(self, w, name):
        return self.screen.find(w, 'table cell', where=lambda a: a.name.split('(')[0] == name)

    def sum_up(self, w, expect_count):
        s = self.screen
        s.click(s.find(w, 'push button', '统计'))
        e2e.wait_for(lambda: e2e.text_of(self.header(w, '企业个数：')) == expect_count, 60, f'企业个数 {expect_count}')
        time.sleep(0.3)

    def assert_shown_as(self, w, expected):
        for k, acc in self.fields(w).items():
            self.assertEqual(e2e.text_of(acc), expected.get(f'a{k}', ''), f'field {k} ({acc.name})')

    def assert_sums_whole(self, w, label):
        """Every field is wide enough for its sum, wherever it is on the page."""
        for k, acc in self.fields(w).items():
            text = e2e.text_of(acc)
            x, y, width, h = e2e.extents(acc)
            need = rp.text_width(text, FIELD_PX) + 8
            self.assertGreaterEqual(width, need, f'{label}: field {k} "{text}" is {width} px wide, needs {need:.0f}')

    def assert_no_digit_cut_on_screen(self, w, shot, label):
        """On the screenshot, each field's sum starts clear of the field's left edge."""
        image = rp.load(shot)
        looked = 0
        for k, acc in self.fields(w).items():
            box = e2e.extents(acc)
            x, y, width, h = box
            if not e2e.text_of(acc) or x < 0 or y < 0 or x + width > self.desktop.width - 20 \
                    or y + h > self.desktop.height - 20 or not showing(acc):
                continue
            ink = rp.ink_columns(image, box, inset=3)
            self.assertIsNotNone(ink, f'{label}: field {k} shows nothing')
            self.assertGreaterEqual(ink[0], x + 5, f'{label}: field {k} "{e2e.text_of(acc)}" is cut at its left edge')
            looked += 1
        self.assertGreater(looked, 30)


