"""What a person does at the screen: finds controls through the accessibility tree,
acts with real X input at their screen positions, and reads back what is shown.

Nothing here calls into the program; every action is a click, a key or the wheel.
"""
import os
import subprocess
import time

import pyatspi

APP_NAME = 'Kestrova系统（汇总版）'


class NotFound(AssertionError):
    pass


# Qt reports positions in its own scaled pixels; under QT_SCALE_FACTOR they are turned
# back into the screen's pixels, where xdotool clicks and screenshots are taken.
SCALE = 1.0


def extents(acc):
    e = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return (round(e.x * SCALE), round(e.y * SCALE), round(e.width * SCALE), round(e.height * SCALE))


def centre(acc):
    x, y, w, h = extents(acc)
    return x + w // 2, y + h // 2


def states(acc):
    return acc.getState()


def showing(acc):
    try:
        st = acc.getState()
        return st.contains(pyatspi.STATE_SHOWING) and st.contains(pyatspi.STATE_VISIBLE)
    except Exception:
        return False


def focused(acc):
    try:
        return acc.getState().contains(pyatspi.STATE_FOCUSED)
    except Exception:
        return False


def text_of(acc):
    """The text a control shows: its text for edits, its name otherwise."""
    try:
        t = acc.queryText()
        return t.getText(0, -1)
    except NotImplementedError:
        return acc.name
    except Exception:
        return acc.name


def walk(root, max_depth=40):
    stack = [(root, 0)]
    while stack:
        acc, depth = stack.pop()
        yield acc
        if depth >= max_depth:
            continue
        try:
            children = [c for c in acc if c is not None]
        except Exception:
            continue
        for c in reversed(children):
            stack.append((c, depth + 1))


def find_all(root, role=None, name=None, visible=True, where=None):
    out = []
    for acc in walk(root):
        try:
            if role is not None and acc.getRoleName() != role:
                continue
            if name is not None and acc.name != name:
                continue
            if visible and not showing(acc):
                continue
            if where is not None and not where(acc):
                continue
        except Exception:
            continue
        out.append(acc)
    return out


def wait_for(fn, timeout=15.0, what='condition', interval=0.1):
    """Polls fn until it returns something true; raises NotFound with `what` after timeout."""
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            value = fn()
            if value:
                return value
        except Exception as e:  # the tree changes under us while windows open and close
            last_error = e
        if time.monotonic() >= deadline:
            raise NotFound(f'timed out waiting for {what}' + (f' ({last_error})' if last_error else ''))
        time.sleep(interval)


class Screen:
    """The program's windows as a person sees them on `desktop`."""

    def __init__(self, desktop, pid, shots_dir):
        self.desktop = desktop
        self.pid = pid
        self.shots_dir = shots_dir
        os.makedirs(shots_dir, exist_ok=True)

    # ---- the program's accessibility tree
    def app(self):
        for a in pyatspi.Registry.getDesktop(0):
            try:
                if a is not None and a.get_process_id() == self.pid:
                    return a
            except Exception:
                continue
        return None

    def windows(self):
        a = self.app()
        return [w for w in a if w is not None and showing(w)] if a else []

    def window(self, title, role=None, timeout=15.0):
        """Waits for a shown top-level window (dialog, frame or alert) with this title."""
        def look():
            for w in self.windows():
                if w.name == title and (role is None or w.getRoleName() == role):
                    return w
        return wait_for(look, timeout, f'window "{title}"')

    def alert(self, timeout=15.0):
        """Waits for a message box and returns (window, its text)."""
        def look():
            for w in self.windows():
                if w.getRoleName() == 'alert':
                    return w
        w = wait_for(look, timeout, 'a message box')
        labels = [text_of(l) for l in find_all(w, 'label') if text_of(l)]
        return w, '\n'.join(labels)

    def gone(self, title, timeout=15.0):
        wait_for(lambda: all(w.name != title for w in self.windows()), timeout, f'window "{title}" to close')

    def find(self, root, role=None, name=None, timeout=10.0, where=None):
        return wait_for(lambda: (find_all(root, role, name, where=where) or [None])[0], timeout,
                        f'{role or "control"} "{name}" in "{getattr(root, "name", root)}"')

    # ---- real input
    def xdo(self, *args):
        self.desktop.run(['xdotool', *map(str, args)])

    def move(self, x, y):
        self.xdo('mousemove', x, y)

    def click_at(self, x, y, button=1, repeat=1):
        self.xdo('mousemove', x, y, 'click', '--repeat', repeat, '--delay', 80, button)
        time.sleep(0.15)

    def click(self, acc, dx=None, dy=None, button=1, repeat=1):
        """Clicks the control's centre, or (dx, dy) from its top-left corner."""
        x, y, w, h = extents(acc)
        if w <= 0 or h <= 0:
            raise NotFound(f'"{acc.name}" has no place on the screen')
        px = x + (w // 2 if dx is None else dx)
        py = y + (h // 2 if dy is None else dy)
        self.click_at(px, py, button, repeat)

    def double_click(self, acc, **kw):
        self.click(acc, repeat=2, **kw)

    def press(self, *keys):
        """Key chords in xdotool's names: 'Return', 'Escape', 'Tab', 'ctrl+c', 'alt+F4'."""
        for k in keys:
            self.xdo('key', '--clearmodifiers', k)
            time.sleep(0.08)

    def type(self, text):
        self.xdo('type', '--delay', 30, text)
        time.sleep(0.1)

    def wheel(self, acc, down=True, times=1):
        x, y = centre(acc)
        self.move(x, y)
        for _ in range(times):
            self.xdo('click', 5 if down else 4)
            time.sleep(0.05)

    # ---- what is left behind for a person to look at
    def shot(self, name):
        path = os.path.join(self.shots_dir, name + '.png')
        time.sleep(0.2)  # let the last repaint reach the X server
        self.desktop.run(['import', '-window', 'root', path], capture_output=True)
        return path
