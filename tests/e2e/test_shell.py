"""Start-up as a person meets it: the login window, the main window, the menu."""
import kestrova_e2e as e2e


class LoginAndMainWindow(e2e.ProgramTest):
    def test_login_opens_the_main_window_maximised(self):
        s = self.start(login=False)
        login = s.window('系统登录')
        s.shot('login')
        s.click(s.find(login, 'password text'))
        s.type(e2e.PASSWORD)
        s.click(s.find(login, 'push button', '登录'))
        x, y, w, h = e2e.extents(self.main_window())
        self.assertGreaterEqual(w, self.desktop.width - 10)
        s.shot('main_window')

    def test_wrong_password_says_so(self):
        s = self.start(login=False)
        login = s.window('系统登录')
        s.click(s.find(login, 'password text'))
        s.type('wrong')
        s.click(s.find(login, 'push button', '登录'))
        self.answer('确定', expect='密码错误')

    def test_menu_opens_the_task_settings(self):
        self.start()
        self.menu('任务管理', '汇总单位')
        w = self.screen.window('任务信息')
        self.screen.shot('task_settings')
        self.assertTrue(e2e.find_all(w, 'push button', '确定'))


if __name__ == '__main__':
    e2e.main()
