"""A real X desktop for the program: Xvfb, a window manager, a session bus and the
accessibility bus, and the program started on it with a home of its own.

One Desktop per test process: pyatspi keeps its bus connection for the life of the
process, so every test module (one ctest case) makes its own.
"""
import os
import random
import re
import shutil
import signal
import subprocess
import tempfile
import time

SKIP = 77  # ctest's SKIP_RETURN_CODE for "no X server can start here"


class DesktopUnavailable(Exception):
    pass


def _need(program):
    path = shutil.which(program)
    if not path:
        raise DesktopUnavailable(f'{program} is not installed (scripts/install-deps.sh installs it)')
    return path


def _displays_in_use():
    """Display numbers some X server holds: lock files, socket files, listening sockets."""
    used = set()
    for folder, pattern in (('/tmp', r'\.X(\d+)-lock'), ('/tmp/.X11-unix', r'X(\d+)')):
        try:
            used.update(int(m.group(1)) for m in map(lambda n: re.fullmatch(pattern, n), os.listdir(folder)) if m)
        except OSError:
            pass
    try:
        with open('/proc/net/unix') as f:
            used.update(int(m.group(1)) for m in re.finditer(r'/tmp/\.X11-unix/X(\d+)\s*$', f.read(), re.M))
    except OSError:
        pass
    return used


class Desktop:
    """Starts Xvfb at `size` ("1366x768"), openbox, dbus and the AT-SPI bus.

    `scale` sets QT_SCALE_FACTOR for programs started with `launch`.
    """

    def __init__(self, size='1366x768', scale=None):
        self.size = size
        self.scale = scale
        self.width, self.height = (int(v) for v in size.split('x'))
        self._procs = []
        self.env = None
        self.workdir = tempfile.mkdtemp(prefix='kestrova-e2e-')

    def __enter__(self):
        try:
            self.start()
        except Exception:
            self.stop()
            raise
        return self

    def __exit__(self, *exc):
        self.stop()

    def _spawn(self, argv, env, log):
        with open(os.path.join(self.workdir, log), 'wb') as out:
            p = subprocess.Popen(argv, env=env, stdout=out, stderr=subprocess.STDOUT, start_new_session=True)
        self._procs.append(p)
        return p

    def start(self):
        xvfb = _need('Xvfb')
        for tool in ('openbox', 'xdotool', 'xprop', 'import', 'dbus-launch'):
            _need(tool)
        launcher = '/usr/libexec/at-spi-bus-launcher'
        if not os.path.exists(launcher):
            raise DesktopUnavailable('at-spi2-core is not installed (scripts/install-deps.sh installs it)')

        env = {k: v for k, v in os.environ.items() if not k.startswith(('DBUS_', 'AT_SPI'))}
        env.pop('QT_QPA_PLATFORM', None)
        # The program and the tools run in a fixed locale whatever the caller's is.
        env.update(LANG='C.UTF-8', LC_ALL='C.UTF-8', XDG_RUNTIME_DIR=self.workdir)
        env.pop('WAYLAND_DISPLAY', None)

        env['DISPLAY'] = self._start_xvfb(xvfb, env)

        out = subprocess.run(['dbus-launch', '--sh-syntax'], env=env, capture_output=True, text=True, check=True).stdout
        for line in out.splitlines():
            if '=' in line and line.startswith('DBUS_'):
                key, value = line.split('=', 1)
                env[key] = value.rstrip(';').strip("'")
        pid = env.get('DBUS_SESSION_BUS_PID')
        if pid:
            self._dbus_pid = int(pid)

        self._spawn(['openbox', '--sm-disable'], env, 'openbox.log')
        self._spawn([launcher, '--launch-immediately'], env, 'atspi.log')
        env['QT_ACCESSIBILITY'] = '1'
        env['QT_LINUX_ACCESSIBILITY_ALWAYS_ON'] = '1'
        env['NO_AT_BRIDGE'] = '0'
        self.env = env
        # pyatspi reads these when it first connects, so set them before it is imported.
        os.environ.update({k: v for k, v in env.items() if k in ('DISPLAY', 'DBUS_SESSION_BUS_ADDRESS',
                                                                   'XDG_RUNTIME_DIR', 'LANG', 'LC_ALL')})
        self._wait_for_window_manager()

    def _start_xvfb(self, xvfb, env):
        """Starts Xvfb on a display number no other server uses and returns ":N".

        Xvfb's own choice (-displayfd) goes by the lock files in /tmp only; with other
        test runs on the machine, one whose lock file went away still holds its socket,
        and a second server then reports that number without owning it. So the number
        is chosen here, away from every lock file and socket, and Xvfb must be alive
        and answering on it.
        """
        log_path = os.path.join(self.workdir, 'xvfb.log')
        for _ in range(20):
            used = _displays_in_use()
            number = next(n for n in iter(lambda: random.randint(100, 9999), None) if n not in used)
            display = f':{number}'
            with open(log_path, 'wb') as xlog:
                # -noreset: an X server resets when its last client leaves, and a client
                # connecting meanwhile (openbox after dbus-launch) fails to open the display.
                x = subprocess.Popen([xvfb, display, '-screen', '0', f'{self.size}x24', '-nolisten', 'tcp',
                                      '-dpi', '96', '-noreset'], stdout=xlog, stderr=subprocess.STDOUT,
                                     start_new_session=True)
            deadline = time.monotonic() + 20
            while x.poll() is None and time.monotonic() < deadline:
                probe = subprocess.run(['xprop', '-root', '-display', display, '_NET_SUPPORTING_WM_CHECK'],
                                       env=env, capture_output=True, text=True)
                if probe.returncode == 0:
                    break
                time.sleep(0.1)
            with open(log_path, errors='replace') as f:
                taken = 'already running' in f.read()
            if x.poll() is None and not taken and time.monotonic() < deadline:
                self._procs.append(x)
                return display
            if x.poll() is None:
                os.killpg(x.pid, signal.SIGTERM)
                x.wait(5)
        with open(log_path, errors='replace') as f:
            raise DesktopUnavailable('Xvfb did not start: ' + f.read()[-400:])

    def _wait_for_window_manager(self):
        # openbox takes long to come up when other builds and tests load the machine.
        deadline = time.monotonic() + 60
        while time.monotonic() < deadline:
            probe = subprocess.run(['xprop', '-root', '_NET_SUPPORTING_WM_CHECK'], env=self.env,
                                   capture_output=True, text=True)
            if 'window id' in probe.stdout:
                return
            time.sleep(0.1)
        raise DesktopUnavailable('openbox did not start')

    def launch(self, argv, log='program.log', extra_env=None):
        env = dict(self.env)
        if self.scale:
            env['QT_SCALE_FACTOR'] = str(self.scale)
        if extra_env:
            env.update(extra_env)
        return self._spawn(argv, env, log)

    def log(self, name='program.log'):
        try:
            with open(os.path.join(self.workdir, name), encoding='utf-8', errors='replace') as f:
                return f.read()
        except OSError:
            return ''

    def run(self, argv, **kw):
        """Runs a tool (xdotool, import) on this display."""
        return subprocess.run(argv, env=self.env, check=True, **kw)

    def stop(self):
        for p in reversed(self._procs):
            if p.poll() is None:
                try:
                    os.killpg(p.pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
        for p in reversed(self._procs):
            try:
                p.wait(timeout=5)
            except subprocess.TimeoutExpired:
                try:
                    os.killpg(p.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
        if getattr(self, '_dbus_pid', None):
            try:
                os.kill(self._dbus_pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
        self._procs = []
        shutil.rmtree(self.workdir, ignore_errors=True)
