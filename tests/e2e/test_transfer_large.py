"""数据传输 as the national office uses it with large workbooks: the import through the
window moves its bar from the start and writes every row; the export writes what the
command line writes, in Qt's Chinese file dialog, and asks in Chinese before replacing."""
import os
import shutil
import tempfile

import kestrova_e2e as e2e
from kestrova_e2e import transfer as t


class NationalOfficeMovesLargeWorkbooks(e2e.ProgramTest):
    records = 3000

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.books = tempfile.mkdtemp(prefix='kestrova-e2e-books-')
        cls.henan = t.lower_office_workbook(cls.books, 'henan.xls', 4000, '410102', '河南省', '郑州市', '中原区', seed=9)

    @classmethod
    def tearDownClass(cls):
        super().tearDownClass()
        if hasattr(cls, 'books'):
            shutil.rmtree(cls.books, ignore_errors=True)

    def bottom_strip(self):
        x, y, w, h = e2e.extents(self.main)
        return x, y + h - 70, w, 70

    def test_import_through_the_window_moves_the_bar_from_the_start_and_writes_every_row(self):
        # Each row waits 2 ms, so the bar can be watched on the screen while the rows go in.
        s = self.start(extra_env={'KESTROVA_TEST_IMPORT_ROW_DELAY_MS': '2'})
        self.menu('数据传输', '上报数据入库')
        t.choose_in_file_dialog(s, s.window('上报数据入库'), self.books, ['henan.xls'])
        preview = s.window('导入预览', timeout=60)
        frames = os.path.join(self.books, 'frames-import')
        os.makedirs(frames)
        watch = t.BarWatcher(self.desktop, self.bottom_strip(), frames)
        watch.start()
        s.click(s.find(preview, 'push button', '继续导入'))
        text = t.answer_with_shot(self, '确定', 'henan.xls：文件导入成功!', 'large_import_done', timeout=120)
        watch.stop()
        self.assertIn('替换原有记录 0 条，新增记录 4000 条（共写入 4000 条）', text)
        self.assertEqual(e2e.rows(self.home, 'select count(*) from TZ_XIANGMU')[0][0], 3000 + 4000)
        seen = [(when, f) for when, f in zip(watch.times, watch.fills()) if f is not None]
        shown = [f for _, f in seen]
        self.assertGreaterEqual(len(shown), 5, 'the bar was on the screen while the import worked')
        # It may show empty for an instant when it appears, never for long: reading the
        # workbook and its names move it too.
        moved = next(when for when, f in seen if f > 0.02)
        self.assertLess(moved - seen[0][0], 0.6, f'the bar stayed empty at first: {shown[:20]}')
        self.assertTrue(any(0.35 < f < 0.9 for f in shown), f'the rows move it: {shown}')
        self.assertTrue(all(b >= a - 0.02 for a, b in zip(shown, shown[1:])), f'it never goes back: {shown}')
        self.assertIsNone(t.bar_fill(watch.snap('after')), 'hidden once done')
        # A few of the frames stay beside the screenshots.
        for i in sorted({0, len(watch.shots) // 2, len(watch.shots) - 1}):
            shutil.copy(watch.shots[i], os.path.join(self.shots, f'large_import_bar_{i}.png'))

    def test_export_through_the_window_writes_what_the_command_line_writes_and_asks_in_chinese_to_replace(self):
        s = self.start()
        target = os.path.join(self.books, 'upload.xls')
        reference = os.path.join(self.books, 'reference.xls')
        e2e.cli(self.home, 'export', reference)
        self.menu('数据传输', '制作上报文件')
        dialog = wait_dialog(s)
        s.shot('export_dialog')
        self.assertTrue(e2e.find_all(dialog, 'label', '查找范围：'))
        self.assertEqual(e2e.text_of(s.find(dialog, 'combo box', where=lambda a: 'xls' in a.name)), 'Excel 文件 (*.xls)')
        suggested = e2e.text_of(s.find(dialog, 'text', t.FILE_NAME_FIELD))
        self.assertTrue(suggested.startswith('(仓储)上报文件-国家级汇总-'), suggested)
        t.choose_in_file_dialog(s, dialog, self.books, ['upload.xls'])
        t.answer_with_shot(self, '确定', '文件导出成功!', 'export_done')
        self.assertEqual(t.read_sheet(target), t.read_sheet(reference))
        self.assertEqual(t.read_sheet(target, '修改日志'), t.read_sheet(reference, '修改日志'))

        # The same name again: Qt's own question, in Chinese, before anything is replaced.
        os.utime(target, (1, 1))
        self.menu('数据传输', '制作上报文件')
        t.choose_in_file_dialog(s, wait_dialog(s), self.books, ['upload.xls'])
        w, question = s.alert()
        s.shot('export_replace_question')
        self.assertIn('upload.xls', question)
        self.assertIn('已', question)
        self.assertFalse(any(word in question for word in ('already', 'replace', 'exists')), question)
        buttons = [b.name for b in e2e.find_all(w, 'push button')]
        self.assertTrue(any(b.startswith('是') for b in buttons), buttons)
        s.click(s.find(w, 'push button', where=lambda a: a.name.startswith('是')))
        t.answer_with_shot(self, '确定', '文件导出成功!', 'export_replaced')
        self.assertGreater(os.path.getmtime(target), 1)


def wait_dialog(screen):
    """The file dialog that a command without a caption of its own opens."""
    return e2e.wait_for(lambda: next((w for w in screen.windows() if w.getRoleName() == 'dialog'
                                      and e2e.find_all(w, 'text', t.FILE_NAME_FIELD)), None), 15, 'a file dialog')


if __name__ == '__main__':
    e2e.main()
