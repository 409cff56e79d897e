"""The enterprise list, the entry form and the windows they open, as a person reaches
them: controls found by the caption beside them, numeric fields by their column (their
accessible description), pickers chosen by clicking, the form scrolled with the wheel.
"""
import os
import sqlite3
import subprocess
import time

import pyatspi

from .screen import NotFound, extents, find_all, showing, text_of, wait_for

LIST, FORM, LOG, DEFINE = 'Kestrova年报表', '统计表输入', '修改日志', '自定义查询器'


def expanded(acc):
    return acc.getState().contains(pyatspi.STATE_EXPANDED)


def by_description(root, role, description):
    found = find_all(root, role, where=lambda a: a.description == description)
    if not found:
        raise NotFound(f'no {role} described "{description}" in "{root.name}"')
    return found[0]


_fields = [None, {}]  # the form last indexed, and its numeric fields by column


def field(form, column):
    """A numeric field of the form, by its column name (占地面积, 露天囤数量 ...). The form's
    fields are gathered in one walk of its tree: a walk per field would take seconds."""
    if _fields[0] is not form:
        def index():
            found = {a.description: a for a in find_all(form, 'text', visible=False) if a.description}
            return found if len(found) >= 72 else None
        _fields[:] = [form, wait_for(index, 10, 'the numeric fields of the form')]
    if column not in _fields[1]:
        raise NotFound(f'no field {column} on the form')
    return _fields[1][column]


def picker(root, caption):
    """A picker by the caption beside it (its name is the choice it shows)."""
    return wait_for(lambda: by_description(root, 'combo box', caption), 10, f'picker {caption}')


def text(acc):
    """What a control shows; a picker with no choice is named by its caption, and shows nothing."""
    if acc.getRoleName() == 'combo box' and acc.name == acc.description:
        return ''
    return text_of(acc)


def rows(window):
    """The list's rows in view, each the six texts a person reads."""
    table = find_all(window, 'table', '企业列表')[0]
    cells = [text_of(c) for c in find_all(table, 'table cell')]
    return [cells[i:i + 6] for i in range(0, len(cells) - len(cells) % 6, 6)]


def cell(window, name):
    table = find_all(window, 'table', '企业列表')[0]
    return wait_for(lambda: (find_all(table, 'table cell', name) or [None])[0], 10, f'row of "{name}"')


def db_exec(home, sql, params=()):
    """Prepares the home's database before the program starts (a test's own data)."""
    con = sqlite3.connect(os.path.join(home, 'vardo.db'))
    try:
        con.execute(sql, params)
        con.commit()
    finally:
        con.close()


class Records:
    """Mixed into a ProgramTest: the record windows' common moves."""

    def open_list(self):
        self.menu('数据维护', 'Kestrova年报表')
        return self.screen.window(LIST)

    def open_new_form(self):
        lst = self.open_list()
        self.screen.click(self.screen.find(lst, 'push button', '添加'))
        return lst, self.screen.window(FORM)

    def open_record(self, name):
        """Opens the list, clicks the record's row and 修改; returns (list, form)."""
        lst = self.open_list()
        self.screen.click(cell(lst, name))
        self.screen.click(self.screen.find(lst, 'push button', '修改'))
        return lst, self.screen.window(FORM)

    def newest_record(self, offset=0):
        """Name and ID of a demo record, in the list's order."""
        from .program import rows as db_rows
        return db_rows(self.home, 'select 企业名称, ID from TZ_XIANGMU order by 修改时间 desc, ID desc '
                                  'limit 1 offset ?', (offset,))[0]

    def open_list_of(self, combo):
        """Clicks the picker and waits for its list to be open."""
        self.screen.click(combo)
        wait_for(lambda: expanded(combo), 5, f'the list of "{combo.description}" to open')

    def choose(self, combo, item):
        """Clicks the picker, then the item in its open list."""
        s = self.screen
        self.open_list_of(combo)
        entry = wait_for(lambda: next((i for i in find_all(combo, 'list item', item) if extents(i)[1] > 0), None),
                         5, f'"{item}" in the open list')
        s.click(entry)
        wait_for(lambda: text_of(combo) == item, 5, f'picker to show "{item}"')

    def retype(self, acc, value):
        """Clicks into a text field, selects what it holds and types over it."""
        s = self.screen
        s.click(acc)
        s.press('ctrl+a')
        s.type(value)

    def paste(self, value):
        """Pastes text with Ctrl+V: xdotool cannot type Chinese (and its attempt garbles
        the keyboard map for what is typed after)."""
        self.set_clipboard(value)
        self.screen.press('ctrl+v')

    def viewport_of(self, acc):
        """The part of the window through which acc is seen: the first ancestor smaller
        than what it holds (the form's scroll area)."""
        child, parent = acc, acc.parent
        while parent is not None and parent.getRoleName() not in ('dialog', 'frame'):
            if extents(parent)[3] < extents(child)[3]:
                return parent
            child, parent = parent, parent.parent
        return parent

    def in_view(self, acc):
        vx, vy, vw, vh = extents(self.viewport_of(acc))
        x, y, w, h = extents(acc)
        return showing(acc) and vx <= x and vy <= y and x + w <= vx + vw and y + h <= vy + vh and \
            self.within_screen(acc)

    def scroll_to(self, form, acc):
        """Turns the wheel over the form until acc is wholly in view."""
        s = self.screen
        view = self.viewport_of(acc)
        for _ in range(80):
            if self.in_view(acc):
                return
            vx, vy, vw, vh = extents(view)
            s.move(vx + vw // 2, vy + min(vh, self.desktop.height - vy) // 2)
            s.xdo('click', 5 if extents(acc)[1] > vy else 4)
            time.sleep(0.05)
        raise NotFound(f'"{acc.name}" cannot be scrolled into view')

    def focused_in(self, root):
        from .screen import focused
        found = find_all(root, where=focused)
        return found[-1] if found else None

    def answer_all(self, until, timeout=15.0):
        """Answers message boxes with 确定 until one containing `until` (answered too);
        returns their texts. A box that is neither a question nor `until` fails the test."""
        s = self.screen
        seen = []
        while True:
            w, said = s.alert(timeout)
            seen.append(said)
            s.click(s.find(w, 'push button', '确定'))
            wait_for(lambda: not showing(w), 10, 'the message box to close')
            if until in said:
                return seen
            if not said.rstrip().endswith('？'):
                raise AssertionError(f'stopped at "{said}" before "{until}" (seen: {seen})')

    def save(self, form, until='数据保存成功！'):
        """Clicks 保存 and answers every question with 确定 up to `until`."""
        self.screen.click(self.screen.find(form, 'push button', '保存'))
        return self.answer_all(until)

    def set_clipboard(self, value):
        subprocess.run(['xclip', '-selection', 'clipboard'], input=value.encode(), env=self.desktop.env, check=True,
                       start_new_session=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(0.1)

    def within_screen(self, acc, slack=0):
        x, y, w, h = extents(acc)
        return x >= -slack and y >= -slack and x + w <= self.desktop.width + slack and \
            y + h <= self.desktop.height + slack
