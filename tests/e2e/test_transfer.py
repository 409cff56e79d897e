"""数据传输 as a provincial office uses it: workbooks of two cities chosen at once, the
preview of what they would do, cancel and go on, 报送情况, and the messages of a workbook
that cannot go in. (The national office's large workbooks: test_transfer_large.py; one
desktop, and so one accessibility bus, per module.)"""
import os
import shutil
import tempfile
import time

import pyatspi

import kestrova_e2e as e2e
from kestrova_e2e import transfer as t


class ProvinceImportsItsCities(e2e.ProgramTest):
    level = '省级汇总'
    place = ('--province', '河南省')
    records = 0

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.books = tempfile.mkdtemp(prefix='kestrova-e2e-books-')
        # 郑州: 12 records in 中原区; one of them, 同名粮库, is also in 开封's workbook.
        cls.zhengzhou = t.lower_office_workbook(cls.books, 'zhengzhou.xls', 12, '410102', '河南省', '郑州市', '中原区',
                                                names={1: '同名粮库', 2: '本地粮库'}, seed=3)
        # 开封: 8 records in 龙亭区, one of them placed in 湖北 by mistake.
        cls.kaifeng = t.lower_office_workbook(
            cls.books, 'kaifeng.xls', 8, '410202', '河南省', '开封市', '龙亭区', names={1: '同名粮库'}, seed=4,
            extra=lambda con: con.execute(
                "UPDATE TZ_XIANGMU SET 行政区划代码='420102', 省='湖北省', 地市='武汉市', 县='江岸区' WHERE ID=8"))
        # This office already holds 本地粮库, in 洛阳: the 郑州 workbook would delete it.
        local = t.lower_office_workbook(cls.books, 'local.xls', 3, '410302', '河南省', '洛阳市', '老城区',
                                        names={1: '本地粮库'}, seed=5)
        e2e.cli(cls._template, 'import', local)

    @classmethod
    def tearDownClass(cls):
        super().tearDownClass()
        if hasattr(cls, 'books'):
            shutil.rmtree(cls.books, ignore_errors=True)

    def choose_both(self):
        s = self.screen
        self.menu('数据传输', '上报数据入库')
        dialog = s.window('上报数据入库')
        t.choose_in_file_dialog(s, dialog, self.books, ['zhengzhou.xls', 'kaifeng.xls'])
        return s.window('导入预览', timeout=30)

    def test_preview_shows_the_flags_cancel_changes_nothing_go_on_imports_both(self):
        s = self.start()
        before = t.record_rows(self.home)
        log = 'select 文件名, 行数, 替换数, 新增数, 操作人 from 报送记录 order by ID'
        logged = e2e.rows(self.home, log)
        preview = self.choose_both()
        s.shot('import_preview')
        files = t.table_rows(s.find(preview, 'table', '将要导入的文件'))
        self.assertEqual([r[0] for r in files], ['zhengzhou.xls', 'kaifeng.xls'], 'in the order chosen')
        self.assertEqual(files[0][1:5], ['12', '12', '1', '11'], '本地粮库 replaced, the rest added')
        self.assertEqual(files[1][1:5], ['8', '8', '1', '7'], '同名粮库 as 郑州 left it is replaced')
        self.assertIn('郑州市 12 行', files[0][5])
        self.assertIn('其他 1 行', files[1][5])
        notes = t.table_rows(s.find(preview, 'table', '需要留意的行'))
        kinds = {(n[0], n[2], n[3]) for n in notes}
        self.assertIn(('zhengzhou.xls', '同名粮库', '多个工作簿中重名'), kinds)
        self.assertIn(('kaifeng.xls', '同名粮库', '多个工作簿中重名'), kinds)
        self.assertIn(('zhengzhou.xls', '本地粮库', '将删除其他县的同名企业'), kinds)
        outside = [n for n in notes if n[3] == '不在本单位范围内']
        self.assertEqual(len(outside), 1)
        self.assertIn('湖北省武汉市江岸区', outside[0][4])

        s.click(s.find(preview, 'push button', '取消'))
        s.gone('导入预览')
        time.sleep(0.5)
        self.assertFalse([w for w in s.windows() if w.getRoleName() == 'alert'], 'cancel asks nothing more')
        self.assertEqual(t.record_rows(self.home), before, 'cancel changed nothing')
        self.assertEqual(e2e.rows(self.home, log), logged)

        preview = self.choose_both()
        s.click(s.find(preview, 'push button', '继续导入'))
        text = t.answer_with_shot(self, '确定', 'zhengzhou.xls：文件导入成功!', 'import_done')
        self.assertIn('替换原有记录 1 条，新增记录 11 条（共写入 12 条）。', text)
        self.assertIn('kaifeng.xls：文件导入成功!', text)
        self.assertIn('替换原有记录 1 条，新增记录 7 条（共写入 8 条）。', text)
        self.assertEqual(e2e.rows(self.home, "select count(*) from TZ_XIANGMU where 行政区划代码 like '4101%'")[0][0], 11)
        self.assertEqual(e2e.rows(self.home, "select 行政区划代码 from TZ_XIANGMU where 企业名称='同名粮库'"),
                         [('410202',)], 'the later workbook wins')
        self.assertEqual(e2e.rows(self.home, "select count(*) from TZ_XIANGMU where 企业名称='本地粮库'")[0][0], 1)
        self.assertEqual(e2e.rows(self.home, log),
                         logged + [('zhengzhou.xls', 12, 1, 11, e2e.USER), ('kaifeng.xls', 8, 1, 7, e2e.USER)])

        # 报送情况: the cities of 河南; 洛阳 sent before, and one of its records went now.
        self.menu('数据传输', '报送情况')
        window = s.window('报送情况')
        s.shot('submissions')
        shown = t.table_rows(s.find(window, 'table', '报送情况'))
        self.assertEqual([r[0] for r in shown[:3]], ['郑州市', '开封市', '洛阳市'], "the offices' own order")
        lines = {r[0]: r for r in shown}
        self.assertEqual(lines['郑州市'][1], '已报送')
        self.assertEqual(lines['郑州市'][3:6], ['zhengzhou.xls', '1', '11'])
        self.assertEqual(lines['开封市'][1:2] + lines['开封市'][3:6], ['已报送', 'kaifeng.xls', '1', '7'])
        self.assertEqual(lines['洛阳市'][1:2] + lines['洛阳市'][3:6], ['已报送', 'local.xls', '1', '2'],
                         '洛阳 keeps two of its three records')
        self.assertEqual(lines['安阳市'][1:2] + lines['安阳市'][5:], ['未报送', '0', '', '无记录'])
        self.assertEqual(lines['（不属于以上单位）'][5], '1')
        summary = s.find(window, 'label', where=lambda a: a.name.startswith('本单位：河南省'))
        self.assertIn('已报送 3 个', summary.name)
        s.click(s.find(window, 'push button', '关闭'))
        s.gone('报送情况')

    def test_a_workbook_that_cannot_go_in_says_where_in_chinese_and_changes_nothing(self):
        bad = os.path.join(self.books, 'bad.xls')
        rows = [list(r) for r in t.read_sheet(self.zhengzhou)]
        rows[5][16] = '很多'
        write_sheet(bad, rows)
        s = self.start()
        before = t.record_rows(self.home)
        self.menu('数据传输', '上报数据入库')
        t.choose_in_file_dialog(s, s.window('上报数据入库'), self.books, ['bad.xls'])
        preview = s.window('导入预览', timeout=30)
        files = t.table_rows(s.find(preview, 'table', '将要导入的文件'))
        self.assertEqual('不能导入：工作表“数据信息”第 6 行第 Q 列（占地面积）：“很多”不是数字', files[0][6])
        go = s.find(preview, 'push button', '继续导入')
        self.assertFalse(go.getState().contains(pyatspi.STATE_ENABLED), 'nothing to import')
        s.shot('preview_refused')
        s.click(s.find(preview, 'push button', '取消'))
        self.assertEqual(t.record_rows(self.home), before)


def write_sheet(path, rows):
    """An upload workbook with these texts, written by xlwt (not by this program)."""
    import json
    import subprocess
    subprocess.run(['/usr/bin/python3', '-c', '''
import sys, json, xlwt
rows = json.loads(sys.stdin.read())
book = xlwt.Workbook(encoding="utf-8")
sheet = book.add_sheet("数据信息")
for r, row in enumerate(rows):
    for c, v in enumerate(row):
        if v != "":
            sheet.write(r, c, v)
book.add_sheet("修改日志")
book.save(sys.argv[1])
''', path], input=json.dumps(rows, ensure_ascii=False), text=True, check=True)


if __name__ == '__main__':
    e2e.main()
