"""The report windows and the annual summary as a person meets them: opening a table
through 统计报表, reading the grid back cell by cell, measuring whether a text fits where
it is drawn, looking at pixels of a screenshot, and the clipboard.
"""
import os
import re
import subprocess
import time

from .screen import extents, find_all, showing, text_of, wait_for

PART_NUMERALS = '一二三四五六七八'
REPORT_GRID = '报表'  # the accessible name of the report grid


# ---- opening and closing

def open_menu_items(screen):
    out = []
    for w in screen.windows():
        out += find_all(w, 'menu item')
    return out


def choose_menu(test, *prefixes, timeout=10):
    """Clicks 统计报表 in the main window, then the menu items whose captions start with
    each prefix in turn (captions carry double or trailing blanks; prefixes need not)."""
    s = test.screen
    bar = s.find(test.main, 'menu bar')
    s.click(s.find(bar, 'menu item', '统计报表'))
    for p in prefixes:
        item = wait_for(lambda: next((m for m in open_menu_items(s) if m.name.startswith(p)), None), timeout,
                        f'menu item starting "{p}"')
        s.click(item)


def menu_prefixes(number):
    """'2-1-2' -> ('第二部分', '表2-1 ', '表2-1-2 '); '6-2' -> ('第六部分', '表6-2 ')."""
    parts = number.split('-')
    out = [f'第{PART_NUMERALS[int(parts[0]) - 1]}部分']
    if len(parts) == 3:
        out.append(f'表{parts[0]}-{parts[1]} ')
    out.append(f'表{number} ')
    return out


def report_window(screen, timeout=60):
    """The shown report window: a dialog holding the report grid."""
    def look():
        for w in screen.windows():
            if w.getRoleName() == 'dialog' and find_all(w, 'table', REPORT_GRID):
                return w
    return wait_for(look, timeout, 'a report window')


def open_report(test, number, timeout=60):
    """Opens 表<number> through the menu and returns (window, grid)."""
    choose_menu(test, *menu_prefixes(number))
    w = report_window(test.screen, timeout)
    time.sleep(0.5)  # the first paint
    return w, test.screen.find(w, 'table', REPORT_GRID)


def close_window(test, window, button='返  回'):
    title = window.name
    test.screen.click(test.screen.find(window, 'push button', button))
    test.screen.gone(title, timeout=20)


# ---- the grid as read back

class Grid:
    """The report grid through its accessibility table: texts and screen places."""

    def __init__(self, table):
        self.table = table
        self.t = table.queryTable()

    @property
    def rows(self):
        return self.t.nRows

    @property
    def columns(self):
        return self.t.nColumns

    def cell(self, r, c):
        return self.t.getAccessibleAt(r, c)

    def text(self, r, c):
        return self.cell(r, c).name

    def texts(self):
        return [[self.text(r, c) for c in range(self.columns)] for r in range(self.rows)]

    def box(self, r, c):
        return extents(self.cell(r, c))

    def row_of(self, label):
        for r in range(self.rows):
            if self.text(r, 0).replace(' ', '') == label:
                return r
        raise AssertionError(f'no row "{label}"')


def heading_rows(grid):
    """The title and heading rows: those above the first row with a number in column 1."""
    for r in range(1, grid.rows):
        if re.fullmatch(r'-?[0-9.E+-]+', grid.text(r, 1) or ''):
            return r
    return grid.rows


# ---- what fits where it is drawn

def _font_file(pattern):
    out = subprocess.run(['fc-match', '-f', '%{file}:%{index}', pattern], capture_output=True, text=True).stdout
    path, _, index = out.rpartition(':')
    return path, int(index or 0)


_FONTS = {}


def _font(kind, px):
    from PIL import ImageFont
    key = (kind, px)
    if key not in _FONTS:
        path, index = _font_file('sans-serif:lang=zh-cn' if kind == 'cjk' else 'Sans Serif')
        _FONTS[key] = ImageFont.truetype(path, px, index=index)
    return _FONTS[key]


def text_width(text, px=12):
    """Pixels the text takes in the program's font (Qt's Sans Serif, Chinese glyphs from
    the CJK face fontconfig gives), at px pixels: 9 pt is 12 px at 96 dpi."""
    width = 0.0
    for ch in text:
        kind = 'cjk' if ord(ch) > 0x2e7f else 'latin'
        width += _font(kind, px).getlength(ch)
    return width


def line_height(px=12):
    f = _font('cjk', px)
    ascent, descent = f.getmetrics()
    return ascent + descent


def fits(text, box, px=12, margin=3):
    """Whether the text shows whole in a cell of this (x, y, w, h), wrapping where it
    must: every line, of the cell's inner width, within its height."""
    _, _, w, h = box
    inner = w - 2 * margin
    lines = [l for l in text.split('\n')]
    needed = 0
    for line in lines:
        lw = text_width(line, px)
        if not line:
            needed += 1
            continue
        if lw <= inner:
            needed += 1
            continue
        # Chinese breaks between any two characters; a run of digits or latin never.
        for run in re.findall(r'[0-9A-Za-z.+%-]+', line):
            if text_width(run, px) > inner:
                return False
        needed += -(-int(lw + 0.5) // max(inner - px, 1))  # wrapping loses up to a glyph a line
    return needed * line_height(px) <= h + 2


# ---- pixels

def load(png):
    from PIL import Image
    return Image.open(png).convert('L')


def crop(image, box, inset=0):
    x, y, w, h = box
    return image.crop((x + inset, y + inset, x + w - inset, y + h - inset))


def ink_columns(image, box, inset=2, dark=110):
    """The x (screen) of the leftmost and rightmost column of dark pixels in the box, or None."""
    part = crop(image, box, inset)
    px = part.load()
    cols = [x for x in range(part.width) if any(px[x, y] < dark for y in range(part.height))]
    if not cols:
        return None
    return box[0] + inset + cols[0], box[0] + inset + cols[-1]


def stroke_width(image, box, inset=2, dark=110):
    """Mean length of the horizontal runs of dark pixels: bold text has thicker strokes."""
    part = crop(image, box, inset)
    px = part.load()
    runs = []
    for y in range(part.height):
        run = 0
        for x in range(part.width):
            if px[x, y] < dark:
                run += 1
            elif run:
                runs.append(run)
                run = 0
        if run:
            runs.append(run)
    return sum(runs) / len(runs) if runs else 0.0


def same_pixels(a, b, box):
    from PIL import ImageChops
    return ImageChops.difference(crop(a, box), crop(b, box)).getbbox() is None


# ---- the clipboard and tooltips

def clipboard(desktop):
    r = subprocess.run(['xclip', '-o', '-selection', 'clipboard'], env=desktop.env, capture_output=True,
                       text=True, timeout=10)
    return r.stdout


def tooltip(screen, timeout=5.0):
    """The text of the tooltip shown now, waiting for it to appear."""
    def look():
        for w in screen.windows():
            if w.getRoleName() == 'tool tip':
                return text_of(w) or next((text_of(l) for l in find_all(w, 'label')), '') or w.name
    return wait_for(look, timeout, 'a tooltip')


def no_tooltip(screen, wait=2.0):
    time.sleep(wait)
    return all(w.getRoleName() != 'tool tip' for w in screen.windows())


# ---- the save dialog

def save_as(test, path, caption=None, timeout=20):
    """Answers the save dialog (titled caption, or Qt's own 另存为 when the program gives
    none) by typing the full path into its file name and pressing Enter."""
    s = test.screen
    names = (caption,) if caption else ('另存为', 'Save As')
    dialog = wait_for(lambda: next((w for w in s.windows() if w.name in names and w.getRoleName() == 'dialog'),
                                   None), timeout, f'a save dialog {names}')
    time.sleep(0.5)
    s.press('ctrl+a')
    s.type(path)
    s.press('Return')
    wait_for(lambda: all(w.name not in names for w in s.windows()), timeout, f'the dialog {names} to close')
    return dialog


def wait_file(path, timeout=20):
    return wait_for(lambda: os.path.exists(path) and os.path.getsize(path) > 0, timeout, f'file {path}')
