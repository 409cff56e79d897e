"""A real X desktop for the program: Xvfb, a window manager, a session bus and the
accessibility bus, and the program started on it with a home of its own.

One Desktop per test process: pyatspi keeps its bus connection for the life of the
process, so every test module (one ctest case) makes its own.
"""
import os
import random
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


class Desktop:
    """Starts Xvfb at `size` ("1366x768"), openbox, dbus and the AT-SPI bus.

    `scale` sets QT_SCALE_FACTOR for programs started with `launch`.
    """

    def __init__(self, size='1366x768', scale=None):
        self.size = size
        self.scale = scale
        from . import screen
        screen.SCALE = float(scale or 1)
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

        env['DISPLAY'] = ':' + self._start_x(xvfb)

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

    def _start_x(self, xvfb):
        """Starts Xvfb on a display number of its own and returns the number once a client
        can connect. Xvfb takes the display's lock file or exits, so a number another server
        holds (tests start in parallel) just moves on to the next. A server that cannot
        start at all makes the tests skip."""
        why = ''
        first = random.randrange(100, 900)
        for n in range(first, first + 12):
            # A server whose lock file went away may still hold its socket.
            if os.path.exists(f'/tmp/.X{n}-lock') or os.path.exists(f'/tmp/.X11-unix/X{n}'):
                continue
            with open(os.path.join(self.workdir, 'xvfb.log'), 'wb') as xlog:
                x = subprocess.Popen([xvfb, f':{n}', '-screen', '0', f'{self.size}x24', '-nolisten', 'tcp', '-noreset',
                                      '-dpi', '96'], stdout=xlog, stderr=subprocess.STDOUT, start_new_session=True)
            if self._answers(f':{n}', x):
                self._procs.append(x)
                return str(n)
            if x.poll() is None:
                x.kill()
            x.wait()
            with open(os.path.join(self.workdir, 'xvfb.log'), errors='replace') as f:
                why = f.read()[-400:]
        raise DesktopUnavailable('Xvfb did not start: ' + why)

    def _answers(self, display, server):
        deadline = time.monotonic() + 60
        while time.monotonic() < deadline and server.poll() is None:
            probe = subprocess.run(['xprop', '-display', display, '-root', '-len', '1'], capture_output=True)
            if probe.returncode == 0:
                return True
            time.sleep(0.2)
        return False

    def _wait_for_window_manager(self):
        deadline = time.monotonic() + 60
        while time.monotonic() < deadline:
            probe = subprocess.run(['xprop', '-root', '_NET_SUPPORTING_WM_CHECK'], env=self.env,
                                   capture_output=True, text=True)
            if 'window id' in probe.stdout:
                return
            time.sleep(0.1)
        # The X server runs, so this is a fault to see, not a reason to skip.
        raise RuntimeError('openbox did not start within 60 s: ' + self.log('openbox.log')[-400:])

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
