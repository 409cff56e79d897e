"""Workbooks from offices below, Qt's file dialog, tables and the progress bar, as a
person meets them in the transfer and system commands.

Workbooks are made the way an office below makes them: kestrova-cli in a home of its
own, its records placed in one county, exported.
"""
import os
import shutil
import sqlite3
import subprocess
import time

from .program import cli, make_home
from .screen import find_all, text_of, wait_for

FILE_NAME_FIELD = '文件名称(N)：'


def place_records(home, code, province, city, county, names=None, central='', corps='否'):
    """Puts every record of `home` in one county; `names` maps record IDs to new names."""
    con = sqlite3.connect(os.path.join(home, 'vardo.db'))
    try:
        con.execute('UPDATE TZ_XIANGMU SET 行政区划代码=?, 省=?, 地市=?, 县=?, 央企名称=?, 新疆兵团=?',
                    (code, province, city, county, central, corps))
        for rid, name in (names or {}).items():
            con.execute('UPDATE TZ_XIANGMU SET 企业名称=? WHERE ID=?', (name, rid))
        con.commit()
    finally:
        con.close()


def lower_office_workbook(folder, file, records, code, province, city, county, names=None, seed=2, extra=None):
    """The upload workbook of an office below: `records` demo records placed in one
    county (`names` renames some by ID; `extra(con)` may change more), exported to
    folder/file. Returns the workbook's path."""
    home = os.path.join(folder, 'home-' + os.path.splitext(file)[0])
    make_home(home, level='县级汇总', records=records, seed=seed,
              place=('--province', province, '--city', city, '--county', county))
    place_records(home, code, province, city, county, names)
    if extra:
        con = sqlite3.connect(os.path.join(home, 'vardo.db'))
        try:
            extra(con)
            con.commit()
        finally:
            con.close()
    path = os.path.join(folder, file)
    cli(home, 'export', path)
    shutil.rmtree(home, ignore_errors=True)
    return path


def choose_in_file_dialog(screen, dialog, folder, names):
    """Types the folder into the dialog's file name field (Enter goes there), then the
    names, quoted when there are several, and presses Enter."""
    field = screen.find(dialog, 'text', FILE_NAME_FIELD)
    screen.click(field)
    screen.press('ctrl+a')
    screen.type(folder)
    screen.press('Return')
    wait_for(lambda: any(text_of(c) == folder for c in find_all(dialog, 'combo box')), 10,
             f'the file dialog in {folder}')
    screen.click(field)
    screen.press('ctrl+a')
    screen.type(names[0] if len(names) == 1 else ' '.join(f'"{n}"' for n in names))
    screen.press('Return')


def table_rows(table):
    """The cells of a table view, row by row, as shown."""
    t = table.queryTable()
    rows = []
    for r in range(t.nRows):
        rows.append([text_of(t.getAccessibleAt(r, c)) for c in range(t.nColumns)])
    return rows


def table_headings(table):
    t = table.queryTable()
    return [text_of(t.getColumnHeader(c)) for c in range(t.nColumns)]


def record_rows(home):
    """Every record without its ID, in ID order: what "nothing changed" compares."""
    con = sqlite3.connect(os.path.join(home, 'vardo.db'))
    try:
        return con.execute('SELECT * FROM TZ_XIANGMU ORDER BY ID').fetchall()
    finally:
        con.close()


def read_sheet(path, sheet='数据信息'):
    """A workbook's sheet as texts, read by xlrd (independent of our reader)."""
    out = subprocess.run(['/usr/bin/python3', '-c', '''
import sys, xlrd, json
s = xlrd.open_workbook(sys.argv[1]).sheet_by_name(sys.argv[2])
print(json.dumps([[str(v) for v in s.row_values(r)] for r in range(s.nrows)], ensure_ascii=False))
''', path, sheet], capture_output=True, text=True, check=True).stdout
    import json
    return json.loads(out)


class BarWatcher:
    """Screenshots of the main window's bottom strip, taken as fast as `import` allows
    while a long command runs; afterwards tells how full the progress bar was in each.

    The bar's groove is light and its filled part the style's highlight colour: a column
    of the strip counts as filled when its middle pixel is clearly blue."""

    def __init__(self, desktop, region, folder):
        self.desktop = desktop
        self.x, self.y, self.w, self.h = region
        self.folder = folder
        self.shots = []
        self.times = []
        self._proc = None

    def start(self):
        script = (f'i=0; while [ ! -e {self.folder}/stop ]; do '
                  f'import -window root -crop {self.w}x{self.h}+{self.x}+{self.y} {self.folder}/bar-$i.png; '
                  f'i=$((i+1)); done')
        self._proc = subprocess.Popen(['sh', '-c', script], env=self.desktop.env)

    def snap(self, name):
        """One strip screenshot now, kept beside the others."""
        path = os.path.join(self.folder, name + '.png')
        self.desktop.run(['import', '-window', 'root', '-crop', f'{self.w}x{self.h}+{self.x}+{self.y}', path],
                         capture_output=True)
        return path

    def stop(self):
        open(os.path.join(self.folder, 'stop'), 'w').close()
        self._proc.wait(30)
        names = sorted((f for f in os.listdir(self.folder) if f.startswith('bar-')),
                       key=lambda f: int(f[4:-4]))
        self.shots = [os.path.join(self.folder, f) for f in names]
        self.times = [os.path.getmtime(p) for p in self.shots]  # when each was written
        return self.shots

    def fills(self):
        """Per shot: the filled share of the bar (0..1), or None when no bar shows."""
        return [bar_fill(path) for path in self.shots]


def answer_with_shot(test, button, expect, shot, timeout=60.0):
    """Waits for a message box, keeps a screenshot of it, checks its text, clicks."""
    s = test.screen
    w, text = s.alert(timeout)
    s.shot(shot)
    test.assertIn(expect, text)
    s.click(s.find(w, 'push button', button))
    return text


def bar_fill(path):
    """How much of the progress bar in a strip screenshot is filled (0..1), or None when
    the strip shows no bar. The bar is the row with the longest run of groove and chunk
    pixels: the chunk the style's blue highlight, the groove light."""
    ppm = subprocess.run(['convert', path, 'ppm:-'], capture_output=True, check=True).stdout
    # P6 header: magic, width, height, maximum, each after white space.
    fields, pos = [], 0
    while len(fields) < 4:
        while ppm[pos:pos + 1].isspace():
            pos += 1
        end = pos
        while not ppm[end:end + 1].isspace():
            end += 1
        fields.append(ppm[pos:end])
        pos = end
    pos += 1
    width, height = int(fields[1]), int(fields[2])
    best = None
    for y in range(height):
        row = ppm[pos + y * width * 3:pos + (y + 1) * width * 3]
        blue = light = 0
        for i in range(0, len(row), 3):
            r, g, b = row[i], row[i + 1], row[i + 2]
            if b > 150 and b - r > 60:
                blue += 1
            elif r > 225 and g > 225 and b > 225:
                light += 1
        if blue + light >= 200 and (best is None or blue + light > sum(best)):
            best = (blue, light)
    if best is None:
        return None
    return best[0] / (best[0] + best[1])
