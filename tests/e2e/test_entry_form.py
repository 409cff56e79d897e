"""The entry form 统计表输入 as a person fills it in, with the mouse and the keyboard."""
import subprocess

import kestrova_e2e as e2e
from kestrova_e2e.records import FORM, LIST, LOG, Records, db_exec, expanded, field, picker, rows, text
from kestrova_e2e.screen import extents, find_all, focused, showing


def pixel(path, x, y):
    """(r, g, b) of a screenshot's pixel."""
    out = subprocess.run(['convert', path, '-format', '%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]',
                          '-crop', f'1x1+{x}+{y}', 'info:'], capture_output=True, text=True, check=True).stdout
    return tuple(int(v) for v in out.strip().split(','))


def yellow(rgb):
    r, g, b = rgb
    return r > 200 and g > 200 and b < 160


class EntryForm(e2e.ProgramTest, Records):
    records = 30

    # ---- blocked or losing data
    def test_click_into_numeric_field_types_there(self):
        s = self.start()
        _, form = self.open_new_form()
        s.shot('form_new')
        for column in ('占地面积', '平房仓', '烘干设备数量', '油罐罐容4', '露天垛存粮改造'):
            f = field(form, column)
            self.scroll_to(form, f)
            s.click(f)
            s.type('12')
            self.assertEqual(text(f), '12', f'typing after a click on {column} reached nothing')
        self.assertEqual(text(field(form, '仓容合计')), '12')  # the total follows its part

    def test_escape_with_changes_asks_and_no_keeps_the_input(self):
        s = self.start()
        name, rid = self.newest_record()
        before = e2e.rows(self.home, 'select 库区数 from TZ_XIANGMU where ID=?', (rid,))[0][0]
        _, form = self.open_record(name)
        f = field(form, '库区数')
        self.retype(f, '77')
        s.press('Escape')
        w, said = s.alert()
        self.assertIn('放弃未保存的修改？', said)
        s.shot('question_discard')
        s.press('Return')  # the default answer is 否
        e2e.wait_for(lambda: not showing(w), 10, 'the question to close')
        self.assertTrue(showing(form))
        self.assertEqual(text(f), '77')
        s.press('Escape')
        self.answer('是', expect='放弃未保存的修改？')
        s.gone(FORM)
        self.assertEqual(e2e.rows(self.home, 'select 库区数 from TZ_XIANGMU where ID=?', (rid,))[0][0], before)

    def test_close_button_and_back_ask_before_dropping_input(self):
        s = self.start()
        _, form = self.open_record(self.newest_record(1)[0])
        self.retype(field(form, '库区数'), '5')
        s.press('alt+F4')  # the window manager's close, as the title-bar button does
        self.answer('否', expect='放弃未保存的修改？')
        self.assertTrue(showing(form))
        s.click(s.find(form, 'push button', '返回'))
        self.answer('是', expect='放弃未保存的修改？')
        s.gone(FORM)
        self.assertTrue(s.window(LIST))

    def test_escape_on_an_open_list_closes_only_the_list(self):
        s = self.start()
        _, form = self.open_record(self.newest_record(2)[0])
        ownership = picker(form, '企业性质')
        self.open_list_of(ownership)
        s.press('Escape')
        e2e.wait_for(lambda: not expanded(ownership), 5, 'the list to close')
        self.assertTrue(showing(form))
        self.assertFalse([w for w in s.windows() if w.getRoleName() == 'alert'])
        s.press('Escape')  # nothing changed: closes without a question
        s.gone(FORM)

    def test_pickers_take_no_backspace_delete_or_paste(self):
        s = self.start()
        name, rid = self.newest_record(3)
        _, form = self.open_record(name)
        self.set_clipboard('乱写的性质')
        shown = {}
        for caption in ('统计年度', '省', '企业性质', '经营范围'):
            p = picker(form, caption)
            shown[caption] = text(p)
            s.click(p)   # opens its list
            s.press('Escape')  # closes it; the picker keeps the focus
            s.press('BackSpace', 'Delete', 'ctrl+v', 'x')
            self.assertEqual(text(p), shown[caption], f'{caption} was changed by keys')
        self.save(form)
        s.gone(FORM)
        stored = e2e.rows(self.home, 'select 年度, 省, 企业性质, 经营范围 from TZ_XIANGMU where ID=?', (rid,))[0]
        self.assertEqual(list(stored), [shown[c] for c in ('统计年度', '省', '企业性质', '经营范围')])

    def test_click_opens_a_picker_and_a_second_click_chooses(self):
        s = self.start()
        _, form = self.open_new_form()
        self.choose(picker(form, '企业性质'), '民营')
        self.choose(picker(form, '所属公司'), '中国储备粮管理总公司')
        self.choose(picker(form, '统计年度'), '2012')
        self.choose(picker(form, '省'), '河南省')
        self.choose(picker(form, '地市'), '郑州市')
        self.assertEqual(text(picker(form, '省')), '河南省')
        s.shot('form_pickers_chosen')

    def test_wheel_over_an_open_list_scrolls_the_list_not_the_form(self):
        s = self.start()
        _, form = self.open_new_form()
        title = s.find(form, 'label', 'Kestrova年报表')
        province = picker(form, '省')
        self.open_list_of(province)
        first = e2e.wait_for(lambda: next((i for i in find_all(province, 'list item', '北京市') if extents(i)[1] > 0),
                                          None), 5, 'the open province list')
        y0 = extents(first)[1]
        form_y0 = extents(title)[1]
        s.shot('form_province_list')
        s.wheel(first, down=True, times=4)
        self.assertEqual(extents(title)[1], form_y0, 'the form behind the list scrolled')
        self.assertLess(extents(first)[1], y0, 'the list did not scroll')
        s.press('Escape')

    def test_new_record_is_for_the_tasks_year_from_the_year_table(self):
        s = self.start()
        _, form = self.open_new_form()
        year = picker(form, '统计年度')
        self.assertEqual(text(year), '2013')  # the task's 年份, not the year before today's
        s.click(year)
        offered = e2e.wait_for(lambda: [i.name for i in find_all(year, 'list item', visible=False)], 5, 'the year list')
        self.assertEqual(offered, [r[0] for r in e2e.rows(self.home, 'select 年度 from 年度 order by rowid')])
        s.press('Escape')

    def test_form_fits_the_screen_and_scrolls_to_its_closing_lines(self):
        s = self.start()
        _, form = self.open_new_form()
        self.assertTrue(self.within_screen(form), f'the form {extents(form)} is larger than the screen')
        for caption in ('单位负责人', '填表人'):
            f = s.find(form, 'text', caption)
            self.scroll_to(form, f)
            self.assertTrue(self.within_screen(f))
        date = e2e.wait_for(lambda: find_all(form, None, '填报日期', where=lambda a: a.getRoleName() != 'label'),
                            5, '填报日期')[0]
        self.assertTrue(self.within_screen(date))
        s.shot('form_closing_lines')
        x, y, w, h = extents(form)
        s.click_at(x + w // 2, y - 8, repeat=2)  # a double click on the title bar maximises
        e2e.wait_for(lambda: extents(form)[2] >= self.desktop.width - 4, 10, 'the form to be maximised')

    # ---- wrong or confusing
    def test_number_beyond_fifteen_digits_is_refused(self):
        s = self.start()
        name, rid = self.newest_record(4)
        before = e2e.rows(self.home, 'select 平房仓 from TZ_XIANGMU where ID=?', (rid,))[0][0]
        _, form = self.open_record(name)
        f = field(form, '平房仓')
        self.scroll_to(form, f)
        self.retype(f, '99999999999999999999')
        s.click(s.find(form, 'push button', '保存'))
        said = self.answer('确定')
        self.assertIn('“1.平房仓”的内容“99999999999999999999”超过15位有效数字', said)
        self.assertEqual(e2e.rows(self.home, 'select 平房仓 from TZ_XIANGMU where ID=?', (rid,))[0][0], before)
        self.assertTrue(focused(f))

    def test_failed_check_brings_its_field_into_view(self):
        s = self.start()
        _, form = self.open_record(self.newest_record(5)[0])
        postcode = s.find(form, 'text', '邮政编码')
        self.retype(postcode, '12345')
        self.scroll_to(form, s.find(form, 'text', '填表人'))
        self.assertFalse(self.within_screen(postcode) and extents(postcode)[1] > extents(form)[1] + 100)
        seen = self.save(form, until='要求：邮政编码必须为6位')
        self.assertIn('是否对数据进行校验？', seen[-2])
        e2e.wait_for(lambda: focused(postcode), 5, 'the postcode to take the focus')
        x, y, w, h = extents(postcode)
        fx, fy, fw, fh = extents(form)
        self.assertTrue(fy < y and y + h < min(fy + fh, self.desktop.height), f'postcode at {y} is out of view')
        s.shot('form_failed_check')

    def test_tab_follows_the_paper_form_and_enter_moves_on(self):
        s = self.start()
        _, form = self.open_new_form()
        start = field(form, '地坪')
        self.scroll_to(form, start)
        s.click(start)
        # Tab goes through the tank table row by row: four counts, then four capacities.
        for column in ('油罐数量1', '油罐数量2', '油罐数量3', '油罐数量4', '油罐罐容1'):
            s.press('Tab')
            self.assertTrue(focused(field(form, column)), f'Tab did not reach {column}')
        s.press('Return')
        self.assertTrue(focused(field(form, '油罐罐容2')), 'Enter did not move on')
        s.click(field(form, '有效长度'))
        s.press('Tab')
        self.assertTrue(focused(field(form, '泊位数量')))
        s.press('Return', 'Return')  # 总吨位, then past the computed 接收能力 to 接收_铁路
        self.assertTrue(focused(field(form, '接收_铁路')))

    def test_table_heads_stand_over_their_columns(self):
        s = self.start()
        _, form = self.open_new_form()
        for head, column in (('小于1000', '油罐数量1'), ('10000以上', '油罐罐容4'), ('数量（个）', '露天囤数量'),
                             ('存粮（吨）', '露天垛存粮'), ('其中：已防火改造', '露天垛存粮改造')):
            f = field(form, column)
            self.scroll_to(form, f)
            fx, fy, fw, fh = extents(f)
            heads = [extents(l) for l in find_all(form, 'label', head)]
            self.assertTrue(any(abs((x + w // 2) - (fx + fw // 2)) <= 3 and y < fy for x, y, w, h in heads),
                            f'no head "{head}" over {column}')
        s.shot('form_tables')

    def test_no_blank_row_inside_a_group(self):
        self.start()
        _, form = self.open_new_form()
        top = {c: extents(field(form, c))[1] for c in ('烘干设备数量', '烘干能力', '实际烘干数量', '油脂接收能力',
                                                         '油脂发放能力')}
        line = top['实际烘干数量'] - top['烘干能力']
        self.assertLessEqual(abs(top['烘干能力'] - top['烘干设备数量'] - line), 2)
        self.assertLessEqual(abs(top['油脂发放能力'] - top['油脂接收能力'] - line), 2)

    def test_address_pickers_keep_their_width_when_a_record_loads(self):
        s = self.start()
        lst, form = self.open_new_form()
        widths = [extents(picker(form, c))[2] for c in ('省', '地市', '县')]
        s.press('Escape')
        s.gone(FORM)
        s.click(e2e.wait_for(lambda: find_all(lst, 'table cell', rows(lst)[0][4]), 5, 'a row')[0])
        s.click(s.find(lst, 'push button', '修改'))
        form = s.window(FORM)
        self.assertTrue(text(picker(form, '省')))
        self.assertEqual([extents(picker(form, c))[2] for c in ('省', '地市', '县')], widths)

    def test_open_picker_list_keeps_plain_colours(self):
        s = self.start()
        _, form = self.open_new_form()
        business = picker(form, '经营范围')
        self.open_list_of(business)
        item = e2e.wait_for(lambda: next((i for i in find_all(business, 'list item', '加工') if extents(i)[1] > 0),
                                         None), 5, 'the open list')
        shot = s.shot('form_open_list')
        ix, iy, iw, ih = extents(item)
        self.assertFalse(yellow(pixel(shot, ix + iw - 6, iy + ih // 2)), 'the open list took the focus colour')
        s.press('Escape')
        e2e.wait_for(lambda: not expanded(business), 5, 'the list to close')
        bx, by, bw, bh = extents(business)
        self.assertTrue(yellow(pixel(s.shot('form_focused_picker'), bx + 12, by + bh // 2)),
                        'the focused picker is not yellow')

    def test_log_of_the_record_shows_from_the_form_newest_first(self):
        name, rid = self.newest_record(6)
        org = e2e.rows(self.home, 'select 组织机构代码 from TZ_XIANGMU where ID=?', (rid,))[0][0]
        for column, old, new, when in (('库区数', '1', '2', '2014-03-05 9:05:07'),
                                       ('占地面积', '100', '120', '2014-03-05 10:00:00')):
            db_exec(self.home, 'insert into 修改日志 values (?,?,?,?,?,?,?,?,?,?,?)',
                    (org, name, '', '', '', '', column, old, new, when, ''))
        s = self.start()
        _, form = self.open_record(name)
        s.click(s.find(form, 'push button', '修改日志'))
        log = s.window(LOG)
        cells = [text(c) for c in find_all(log, 'table cell')]
        self.assertEqual(cells[:8], ['2014-03-05 10:00:00', '占地面积', '100', '120',
                                     '2014-03-05 9:05:07', '库区数', '1', '2'])
        self.assertTrue(self.within_screen(log))
        s.shot('log_window')
        s.click(s.find(log, 'push button', '返回'))
        s.gone(LOG)


if __name__ == '__main__':
    e2e.main()
