"""系统复位, 数据恢复 and 帮助 as a person meets them: Enter on a question that would empty the
database keeps it, a backup is offered first, a file that is no backup is named as such,
a restored task applies at once, and the help document opens inside the program."""
import os
import time

import kestrova_e2e as e2e
from kestrova_e2e.records import Records
from kestrova_e2e.screen import find_all, showing, text_of, wait_for
from kestrova_e2e.transfer import choose_in_file_dialog


class SystemCommands(e2e.ProgramTest, Records):
    records = 20

    def count(self):
        return e2e.rows(self.home, 'select count(*) from TZ_XIANGMU')[0][0]

    def no_box_for(self, seconds):
        """No message box opens within `seconds`."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if any(w.getRoleName() == 'alert' for w in self.screen.windows()):
                return False
            time.sleep(0.1)
        return True

    def visible_menus(self):
        bar = self.screen.find(self.main, 'menu bar')
        return [m.name for m in find_all(bar, 'menu item') if showing(m)]

    def restore(self, path):
        """数据恢复 of `path`: 是 to the question, 否 to the backup offer, the file chosen."""
        s = self.screen
        self.menu('系统设置', '数据恢复')
        self.answer('是', expect='数据恢复将清除系统中的全部记录')
        self.answer('否', expect='是否先备份当前数据？')
        dialog = s.window('数据恢复')
        choose_in_file_dialog(s, dialog, os.path.dirname(path), [os.path.basename(path)])

    def test_enter_on_the_reset_and_restore_questions_keeps_every_record(self):
        s = self.start()
        before = self.count()
        for command, question in (('系统复位', '系统复位将清除系统中的全部纪录'), ('数据恢复', '数据恢复将清除系统中的全部记录')):
            self.menu('系统设置', command)
            box, said = s.alert()
            self.assertIn(question, said)
            s.shot(f'question_{command}')
            s.press('Return')  # the default is the safe answer
            wait_for(lambda: not showing(box), 5, 'the question to close')
            self.assertTrue(self.no_box_for(1.0), f'{command} went on after Enter')
            self.assertEqual(self.count(), before)

    def test_reset_offers_a_backup_first_and_its_cancel_deletes_nothing(self):
        self.start()
        before = self.count()
        self.menu('系统设置', '系统复位')
        self.answer('确定', expect='系统复位将清除系统中的全部纪录')
        self.screen.shot('backup_first')
        self.answer('取消', expect='是否先备份当前数据？')
        self.assertTrue(self.no_box_for(1.0))
        self.assertEqual(self.count(), before)

    def test_restore_of_a_file_that_is_no_backup_says_so(self):
        self.start()
        before = self.count()
        junk = os.path.join(self.home, 'notes.bak')
        with open(junk, 'w') as f:
            f.write('这不是数据库\n' * 50)
        self.restore(junk)
        said = self.answer('确定', expect='“notes.bak”不是本系统的备份文件')
        self.assertIn('当前数据没有改变', said)
        self.assertNotIn('导入中断', said)
        self.assertEqual(self.count(), before)

    def test_restored_task_applies_at_once(self):
        # A backup of an installation with no task: its work menus must go without a restart.
        other = os.path.join(self.home, 'other')
        os.makedirs(other)
        e2e.cli(other, 'init')
        backup = os.path.join(self.home, 'notask.bak')
        e2e.cli(other, 'backup', backup)
        self.start()
        self.assertIn('统计报表', self.visible_menus())
        self.restore(backup)
        self.answer('确定', expect='文件恢复成功！')
        wait_for(lambda: '统计报表' not in self.visible_menus(), 5, 'the work menus to go')
        self.screen.shot('after_restore')
        self.assertIn('任务管理', self.visible_menus())
        self.assertEqual(self.count(), 0)

    def test_help_opens_in_a_window_of_the_program(self):
        s = self.start()
        self.menu('帮助', 'Kestrova指标解释')
        w = s.window('Kestrova指标解释')
        s.shot('help')
        self.assertTrue(find_all(w, 'push button', where=lambda b: '浏览器' in b.name), 'no way to the browser')
        page = wait_for(lambda: (find_all(w, where=lambda a: a.name == '指标解释') or [None])[0], 5, 'the page')
        self.assertIn('占地面积', text_of(page), 'the help window shows no document')

if __name__ == '__main__':
    e2e.main()
