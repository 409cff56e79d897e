"""The real `kestrova` on a Desktop, with a home of its own made by `kestrova-cli`.

A test module subclasses ProgramTest; each test gets a fresh home and a fresh
program, logged in, its main window shown. Screenshots go to
$KESTROVA_E2E_SHOTS/<module>/ and stay there for a person to look at.
"""
import os
import shutil
import sqlite3
import subprocess
import sys
import tempfile
import time
import unittest

from .desktop import SKIP, Desktop, DesktopUnavailable
from .screen import APP_NAME, NotFound, Screen, wait_for

BIN = os.environ.get('KESTROVA_BIN_DIR', os.path.join(os.path.dirname(__file__), '..', '..', '..', 'build', 'bin'))
SHOTS = os.environ.get('KESTROVA_E2E_SHOTS', os.path.join(tempfile.gettempdir(), 'kestrova-e2e-shots'))
USER, PASSWORD = 'admin', 'secret12'


def cli(home, *args, check=True):
    env = dict(os.environ, LANG='C.UTF-8', LC_ALL='C.UTF-8', QT_QPA_PLATFORM='offscreen')
    r = subprocess.run([os.path.join(BIN, 'kestrova-cli'), '--home', home, *args], env=env,
                       capture_output=True, text=True)
    if check and r.returncode != 0:
        raise RuntimeError(f'kestrova-cli {" ".join(args)} failed: {r.stderr.strip()}')
    return r


def make_home(home, year='2013', level='国家级汇总', records=200, seed=1, place=()):
    """init, task and demo records; `place` is extra task options ('--province', '河南省', ...)."""
    os.makedirs(home, exist_ok=True)
    cli(home, 'init')
    cli(home, 'task', '--year', year, '--level', level, *place)
    if records:
        cli(home, 'demo', str(records), '--seed', str(seed))
    return home


def rows(home, sql, params=()):
    con = sqlite3.connect(os.path.join(home, 'vardo.db'))
    try:
        return con.execute(sql, params).fetchall()
    finally:
        con.close()


class ProgramTest(unittest.TestCase):
    """Base for end-to-end tests. Class attributes a module may set:

    size, scale    the screen and Qt's scale factor
    level, records the task's level and how many demo records the home gets
    place          extra `task` options, e.g. ('--province', '河南省')
    account        False to start without a user account (first-account window)
    """
    size = '1366x768'
    scale = None
    level = '国家级汇总'
    records = 200
    place = ()
    account = True

    @classmethod
    def setUpClass(cls):
        try:
            cls.desktop = Desktop(cls.size, cls.scale).__enter__()
        except DesktopUnavailable as e:
            print(f'SKIPPED: no X desktop can start here: {e}', flush=True)
            sys.exit(SKIP)
        module = sys.modules[cls.__module__].__file__
        cls.shots = os.path.join(SHOTS, os.path.splitext(os.path.basename(module))[0])
        os.makedirs(cls.shots, exist_ok=True)
        # One home is made per class; each test gets a copy of it.
        cls._template = tempfile.mkdtemp(prefix='kestrova-e2e-home-')
        try:
            make_home(cls._template, level=cls.level, records=cls.records, place=cls.place)
            if cls.account:
                cls._create_account(cls._template)
        except BaseException:
            cls.tearDownClass()  # unittest does not call it when set-up fails
            raise

    @classmethod
    def _create_account(cls, home):
        """Goes once through the first-account window, so each test logs in."""
        p = cls.desktop.launch([os.path.join(BIN, 'kestrova'), '--home', home], log='account.log')
        try:
            s = Screen(cls.desktop, p.pid, cls.shots)
            w = s.window('登录信息', timeout=30)
            s.click(s.find(w, 'text', '用 户 名'))
            s.type(USER)
            for field in ('密    码', '密码确认'):
                s.click(s.find(w, 'password text', field))
                s.type(PASSWORD)
            s.click(s.find(w, 'push button', '确定'))
            s.window(APP_NAME, role='frame', timeout=20)
        finally:
            p.terminate()
            p.wait(10)
        if not rows(home, 'select count(*) from userinfo')[0][0]:
            raise RuntimeError('the first-account window did not create the account')

    @classmethod
    def tearDownClass(cls):
        cls.desktop.stop()
        shutil.rmtree(cls._template, ignore_errors=True)

    def setUp(self):
        self.home = tempfile.mkdtemp(prefix='kestrova-e2e-run-')
        shutil.copy(os.path.join(self._template, 'vardo.db'), os.path.join(self.home, 'vardo.db'))
        self.program = None

    def tearDown(self):
        if self.program is not None and self.program.poll() is None:
            self.program.terminate()
            try:
                self.program.wait(5)
            except subprocess.TimeoutExpired:
                self.program.kill()
        if self.program is not None:
            # The program's own output stays beside the screenshots.
            with open(os.path.join(self.shots, self._log_name), 'w', encoding='utf-8') as f:
                f.write(self.desktop.log(self._log_name))
        shutil.rmtree(self.home, ignore_errors=True)

    # ---- starting the program
    def start(self, args=(), login=True, extra_env=None):
        """Starts kestrova on this test's home; with login, passes the account window and
        waits for the main window. Returns the Screen."""
        self._log_name = f'{self.id().split(".")[-1]}.log'
        self.program = self.desktop.launch([os.path.join(BIN, 'kestrova'), '--home', self.home, *args],
                                           log=self._log_name, extra_env=extra_env)
        self.screen = Screen(self.desktop, self.program.pid, self.shots)
        wait_for(self.screen.app, 20, 'the program on the accessibility bus')
        if login:
            self.log_in()
        return self.screen

    def log_in(self):
        s = self.screen
        first = wait_for(lambda: next((w for w in s.windows() if w.name in ('系统登录', '登录信息')), None),
                         20, 'the login or first-account window')
        if first.name == '登录信息':
            raise NotFound('the home has no account: set account = True or log in by hand')
        s.click(s.find(first, 'password text'))
        s.type(PASSWORD)
        s.click(s.find(first, 'push button', '登录'))
        self.main = self.main_window()

    def main_window(self):
        return self.screen.window(APP_NAME, role='frame', timeout=20)

    # ---- the main menu: a click on each caption of the path, as a person does
    def menu(self, *path):
        s = self.screen
        bar = s.find(self.main, 'menu bar')
        item = s.find(bar, 'menu item', path[0])
        s.click(item)
        for caption in path[1:]:
            item = wait_for(lambda: next((m for m in self._open_menu_items() if m.name == caption), None), 5,
                            f'menu item "{caption}"')
            s.click(item)

    def _open_menu_items(self):
        from .screen import find_all
        out = []
        for w in self.screen.windows():
            out += find_all(w, 'menu item')
        return out

    def answer(self, button, expect=None, timeout=15.0):
        """Waits for a message box, checks its text contains `expect`, clicks `button`."""
        w, text = self.screen.alert(timeout)
        if expect is not None:
            self.assertIn(expect, text)
        # Qt's Chinese buttons carry their key: "是(Y)", "否(N)".
        self.screen.click(self.screen.find(w, 'push button', where=lambda b: b.name == button or
                                           b.name.startswith(button + '(')))
        return text


def main():
    """Entry of a test module: unittest with verbose output."""
    import warnings
    warnings.simplefilter('ignore', DeprecationWarning)  # pyatspi's own use of deprecated calls
    unittest.main(verbosity=2, warnings='ignore')


__all__ = ['ProgramTest', 'make_home', 'cli', 'rows', 'main', 'NotFound', 'wait_for', 'USER', 'PASSWORD']
