"""汇总单位, the login and first-account windows and the main menu, by mouse and keyboard."""
import time

import kestrova_e2e as e2e
from kestrova_e2e.records import LIST, Records, db_exec, picker, text
from kestrova_e2e.screen import extents, find_all, focused, showing

SETTINGS = '任务信息'


class SettingsAndKeys(e2e.ProgramTest, Records):
    level = '地级汇总'
    place = ('--province', '河北省', '--city', '石家庄市')
    records = 5

    def task(self):
        return e2e.rows(self.home, 'select 年份, 汇总级别, 省, 地市, 县 from 任务信息')[0]

    def open_settings(self):
        self.menu('任务管理', '汇总单位')
        return self.screen.window(SETTINGS)

    def centred(self, window):
        x, y, w, h = extents(window)
        return abs(x + w // 2 - self.desktop.width // 2) <= 20 and abs(y + h // 2 - self.desktop.height // 2) <= 30

    # ---- 汇总单位
    def test_settings_picker_opens_on_a_click_and_a_second_click_chooses(self):
        s = self.start()
        w = self.open_settings()
        s.shot('task_settings')
        self.choose(picker(w, '填报年份'), '2014')
        self.choose(picker(w, '汇总级别'), '省级汇总')
        self.assertEqual(text(picker(w, '省')), '')  # a new level: the places go
        self.choose(picker(w, '省'), '河南省')
        s.shot('task_settings_chosen')
        s.click(s.find(w, 'push button', '确定'))
        s.gone(SETTINGS)
        self.assertEqual(self.task()[:4], ('2014', '省级汇总', '河南省', ''))

    def test_wheel_over_an_unfocused_picker_changes_nothing(self):
        s = self.start()
        w = self.open_settings()
        for caption in ('汇总级别', '地市'):
            p = picker(w, caption)
            self.assertFalse(focused(p))
            shown = text(p)
            s.wheel(p, down=True, times=2)
            s.wheel(p, down=False, times=1)
            self.assertEqual(text(p), shown, f'the wheel changed {caption}')
        s.click(s.find(w, 'push button', '确定'))
        s.gone(SETTINGS)
        self.assertEqual(self.task()[1:4], ('地级汇总', '河北省', '石家庄市'))

    def test_choosing_the_same_level_keeps_the_places(self):
        s = self.start()
        w = self.open_settings()
        self.choose(picker(w, '汇总级别'), '地级汇总')
        self.assertEqual(text(picker(w, '省')), '河北省')
        self.assertEqual(text(picker(w, '地市')), '石家庄市')
        s.click(s.find(w, 'push button', '确定'))
        s.gone(SETTINGS)  # no " 请选择省！"
        self.assertEqual(self.task()[1:4], ('地级汇总', '河北省', '石家庄市'))

    def test_tabbing_through_keeps_the_places(self):
        s = self.start()
        w = self.open_settings()
        s.press(*['Tab'] * 5)
        self.assertEqual(text(picker(w, '省')), '河北省')
        s.click(s.find(w, 'push button', '确定'))
        s.gone(SETTINGS)
        self.assertEqual(self.task()[1:4], ('地级汇总', '河北省', '石家庄市'))

    # ---- the main menu from the keyboard
    def test_f10_and_alt_open_the_menu(self):
        s = self.start()
        s.press('alt')
        e2e.wait_for(lambda: any(m.name == '汇总单位' for m in self._open_menu_items()), 5, 'Alt to open the menu')
        s.press('Escape', 'Escape')
        s.press('F10')
        e2e.wait_for(lambda: any(m.name == '汇总单位' for m in self._open_menu_items()), 5, 'F10 to open the menu')
        s.press('Escape', 'Escape')
        e2e.wait_for(lambda: not any(m.name == '汇总单位' for m in self._open_menu_items()), 5, 'the menu to close')
        s.press('alt')
        e2e.wait_for(lambda: any(m.name == '汇总单位' for m in self._open_menu_items()), 5, 'Alt to open the menu')
        s.shot('menu_by_keyboard')
        s.press('Down', 'Return')
        self.assertTrue(s.window(SETTINGS))

    def test_menu_keys_open_their_commands(self):
        s = self.start()
        s.press('ctrl+l')
        lst = s.window(LIST)
        s.press('Escape')
        s.gone(LIST)
        s.press('ctrl+t')
        self.assertTrue(s.window(SETTINGS))

    # ---- login and first account
    def test_login_window_opens_centred_and_enter_logs_in(self):
        s = self.start(login=False)
        login = s.window('系统登录')
        self.assertTrue(self.centred(login), f'the login window is at {extents(login)}')
        s.shot('login')
        s.click(s.find(login, 'password text'))
        s.type(e2e.PASSWORD)
        s.press('Return')
        self.main_window()

    def test_wrong_password_is_selected_for_retyping(self):
        s = self.start(login=False)
        login = s.window('系统登录')
        s.click(s.find(login, 'password text'))
        s.type('wrong-one')
        s.press('Return')
        w, said = s.alert()
        self.assertEqual(w.name, '密码错误')
        # Wide enough for the title bar to show the caption whole beside its buttons (it read "密…").
        self.assertGreaterEqual(extents(w)[2], 200)
        self.assertIn('密码错误！', said)
        s.shot('wrong_password')
        s.press('Return')
        e2e.wait_for(lambda: not showing(w), 5, 'the message to close')
        s.type(e2e.PASSWORD)  # replaces the wrong password, which is selected
        s.press('Return')
        self.main_window()

    def test_first_account_window_opens_centred_and_enter_saves(self):
        db_exec(self.home, 'delete from userinfo')
        s = self.start(login=False)
        w = s.window('登录信息')
        self.assertTrue(self.centred(w), f'the first-account window is at {extents(w)}')
        s.shot('first_account')
        s.click(s.find(w, 'text', '用 户 名'))
        s.type('clerk')
        for caption in ('密    码', '密码确认'):
            s.click(s.find(w, 'password text', caption))
            s.type('pass-1234')
        s.press('Return')
        self.main_window()
        self.assertEqual(e2e.rows(self.home, 'select f2 from userinfo'), [('clerk',)])


if __name__ == '__main__':
    e2e.main()
