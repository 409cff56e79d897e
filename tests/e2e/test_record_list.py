"""The enterprise list Kestrova年报表 and the windows it opens, as a person works them."""
import time

import kestrova_e2e as e2e
from kestrova_e2e.records import DEFINE, FORM, LIST, LOG, Records, cell, field, rows, text
from kestrova_e2e.screen import extents, find_all, showing


class RecordList(e2e.ProgramTest, Records):
    records = 30

    def count(self, sql='select count(*) from TZ_XIANGMU', params=()):
        return e2e.rows(self.home, sql, params)[0][0]

    def shown_count(self, lst):
        label = e2e.wait_for(lambda: [l for l in find_all(lst, 'label') if l.name.startswith('共 ')], 5,
                             'the record count')[0]
        return label.name

    def lists_open(self):
        return [w for w in self.screen.windows() if w.name == LIST]

    # ---- searching
    def test_list_shows_how_many_records_it_holds(self):
        self.start()
        lst = self.open_list()
        self.screen.shot('list')
        self.assertEqual(self.shown_count(lst), f'共 {self.count()} 条纪录')

    def test_enter_in_a_filter_field_searches(self):
        s = self.start()
        lst = self.open_list()
        s.click(s.find(lst, 'text', '企业名称'))
        self.paste('储备库')
        s.press('Return')
        wanted = self.count("select count(*) from TZ_XIANGMU where 企业名称 like '%储备库%'")
        e2e.wait_for(lambda: self.shown_count(lst) == f'共 {wanted} 条纪录', 5, 'the search to run')
        self.assertTrue(all('储备库' in r[4] for r in rows(lst)))

    def test_decimal_capacity_bound_stays_decimal(self):
        s = self.start()
        lst = self.open_list()
        low = s.find(lst, 'text', '仓容合计：从')
        s.click(low)
        s.type('12.5')
        self.assertEqual(text(low), '12.5')
        s.press('Return')
        wanted = self.count('select count(*) from TZ_XIANGMU where 仓容合计 >= 12.5')
        e2e.wait_for(lambda: self.shown_count(lst) == f'共 {wanted} 条纪录', 5, 'the search to run')

    def test_reversed_capacity_range_says_so(self):
        s = self.start()
        lst = self.open_list()
        s.click(s.find(lst, 'text', '仓容合计：从'))
        s.type('5000')
        s.click(s.find(lst, 'text', '到'))
        s.type('100')
        s.press('Return')
        self.answer('确定', expect='起点5000大于终点100')
        self.assertEqual(self.shown_count(lst), f'共 {self.count()} 条纪录')

    # ---- opening, deleting
    def test_enter_or_double_click_on_a_row_opens_it(self):
        s = self.start()
        lst = self.open_list()
        first, second = rows(lst)[0][4], rows(lst)[1][4]
        s.click(cell(lst, first))
        s.press('Return')
        form = s.window(FORM)
        self.assertEqual(text(s.find(form, 'text', '企业名称')), first)
        s.press('Escape')
        s.gone(FORM)
        s.double_click(cell(lst, second))
        form = s.window(FORM)
        self.assertEqual(text(s.find(form, 'text', '企业名称')), second)

    def test_modify_without_a_chosen_row_says_so(self):
        s = self.start()
        lst = self.open_list()
        s.click(s.find(lst, 'push button', '修改'))
        self.answer('确定', expect='请先选择一条记录！')
        self.assertFalse([w for w in s.windows() if w.name == FORM])

    def test_delete_names_the_record_and_leaves_no_other_selected(self):
        s = self.start()
        lst = self.open_list()
        name = rows(lst)[2][4]
        s.click(cell(lst, name))
        s.click(s.find(lst, 'push button', '删除'))
        s.shot('question_delete')
        self.answer('确定', expect=f'“{name}”')
        self.answer('确定', expect='删除成功！')
        total = self.count()
        self.assertEqual(self.count('select count(*) from TZ_XIANGMU where 企业名称=?', (name,)), 0)
        s.click(s.find(lst, 'push button', '删除'))  # a second 删除 finds nothing chosen
        self.answer('确定', expect='请在列表中选择要删除的纪录！')
        self.assertEqual(self.count(), total)

    def test_saving_returns_to_the_one_list_with_the_record_on_top(self):
        s = self.start()
        name, rid = self.newest_record(4)
        before = self.count('select 库区数 from TZ_XIANGMU where ID=?', (rid,))
        lst, form = self.open_record(name)
        self.retype(field(form, '库区数'), '9')
        self.save(form)
        s.gone(FORM)
        time.sleep(0.3)
        self.assertEqual(len(self.lists_open()), 1, 'another list was stacked on the first')
        self.assertEqual(rows(lst)[0][4], name)  # newest save first, refreshed
        # The saved record stays chosen: its log is one click away.
        s.click(s.find(lst, 'push button', '修改日志'))
        log = s.window(LOG)
        self.assertEqual([text(c) for c in find_all(log, 'table cell')][1:4], ['库区数', str(int(before)), '9'])

    def test_back_returns_to_the_same_list(self):
        s = self.start()
        lst, form = self.open_record(self.newest_record(1)[0])
        s.click(s.find(form, 'push button', '返回'))
        s.gone(FORM)
        time.sleep(0.3)
        self.assertEqual(len(self.lists_open()), 1)
        self.assertTrue(showing(lst))

    def test_long_name_shows_whole_on_hovering(self):
        s = self.start()
        lst = self.open_list()
        longest = max((r[4] for r in rows(lst)), key=len)
        x, y, w, h = extents(cell(lst, longest))
        s.move(x + w // 2, y + h // 2)
        tip = e2e.wait_for(lambda: [t for win in s.windows() for t in [win] + find_all(win, 'tool tip')
                                    if t.getRoleName() == 'tool tip' and longest in (t.name or text(t))], 8,
                           'a tooltip with the whole name')
        self.assertTrue(tip)
        s.shot('list_tooltip')

    def test_log_window_from_the_list_newest_first(self):
        name, rid = self.newest_record(5)
        from kestrova_e2e.records import db_exec
        org = self.count('select 组织机构代码 from TZ_XIANGMU where ID=?', (rid,))
        for column, when in (('地坪', '2014-03-05 9:00:00'), ('库区数', '2014-03-05 11:30:00'),
                             ('占地面积', '2014-03-04 23:59:59')):
            db_exec(self.home, 'insert into 修改日志 values (?,?,?,?,?,?,?,?,?,?,?)',
                    (org, name, '', '', '', '', column, '1', '2', when, ''))
        s = self.start()
        lst = self.open_list()
        s.click(cell(lst, name))
        s.click(s.find(lst, 'push button', '修改日志'))
        log = s.window(LOG)
        self.assertEqual([text(c) for c in find_all(log, 'table cell')][1::4], ['库区数', '地坪', '占地面积'])
        self.assertTrue(self.within_screen(log))

    # ---- custom query
    def open_define(self):
        s = self.screen
        lst = self.open_list()
        s.click(s.find(lst, 'push button', '自定义查询'))
        return lst, s.window(DEFINE)

    def test_custom_query_needs_a_chosen_indicator(self):
        s = self.start()
        lst, define = self.open_define()
        s.shot('custom_query')
        s.click(s.find(define, 'text', '值'))
        s.type('5')
        s.click(s.find(define, 'push button', '添加条件'))
        self.answer('确定', expect='请先在左边的列表中选择查询指标！')
        self.assertEqual(text(s.find(define, None, '查询条件')), '')

    def test_enter_in_the_value_adds_the_condition_in_words(self):
        s = self.start()
        lst, define = self.open_define()
        indicators = s.find(define, 'list', '查询指标')
        # Further down the list than it shows: the wheel brings it into view.
        item = find_all(indicators, 'list item', '仓容合计', visible=False)[0]
        for _ in range(40):
            if showing(item):
                break
            s.wheel(indicators, down=True)
        s.click(item)
        s.click(s.find(define, 'radio button', '>='))
        s.click(s.find(define, 'text', '值'))
        s.type('30000')
        s.press('Return')
        self.assertEqual(text(s.find(define, None, '查询条件')), '仓容合计 大于或等于 30000')
        s.shot('custom_query_condition')
        s.click(s.find(define, 'push button', '确    定'))
        s.gone(DEFINE)
        wanted = self.count('select count(*) from TZ_XIANGMU where 仓容合计 >= 30000')
        self.assertEqual(self.shown_count(lst), f'共 {wanted} 条纪录')


if __name__ == '__main__':
    e2e.main()
