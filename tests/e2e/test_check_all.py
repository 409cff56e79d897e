"""全部校验 as a person uses it: the list of failing records, its rule picker, and a double
click that opens the entry form on the record with the failing field in focus."""
import kestrova_e2e as e2e
from kestrova_e2e.records import FORM, Records, db_exec, field, text
from kestrova_e2e.screen import find_all, text_of, wait_for

CHECK = '全部校验'


class CheckAll(e2e.ProgramTest, Records):
    records = 30

    def setUp(self):
        super().setUp()
        # One record made to fail: its free ground larger than the whole site.
        self.name, self.rid = self.newest_record(3)
        db_exec(self.home, 'update TZ_XIANGMU set 占地面积=10, 空地面积=11 where ID=?', (self.rid,))

    def grid_rows(self, window):
        table = find_all(window, 'table', '未通过校验的记录')[0]
        cells = [text_of(c) for c in find_all(table, 'table cell')]
        return [cells[i:i + 6] for i in range(0, len(cells) - len(cells) % 6, 6)]

    def open_check(self):
        self.menu('数据维护', CHECK)
        return self.screen.window(CHECK)

    def test_double_click_opens_the_record_with_the_failing_field_focused(self):
        s = self.start()
        w = self.open_check()
        s.shot('check_all')
        # The summary line counts the records failing each rule.
        s.find(w, 'label', where=lambda l: '规则2' in l.name)
        rule = find_all(w, 'combo box')[0]
        self.open_list_of(rule)
        item = wait_for(lambda: next((i for i in find_all(rule, 'list item') if i.name.startswith('规则2（')), None),
                        5, 'rule 2 in the rule picker')
        s.click(item)
        wait_for(lambda: text_of(rule).startswith('规则2（'), 5, 'the picker to show rule 2')
        listed = wait_for(lambda: [r for r in self.grid_rows(w) if r[1] == self.name] or None, 5,
                          'the record made to fail in the list')
        self.assertEqual(listed[0][3], '规则2')
        self.assertEqual(listed[0][5], '占地面积=10；空地面积=11')
        s.shot('check_all_rule2')
        table = find_all(w, 'table', '未通过校验的记录')[0]
        s.double_click(find_all(table, 'table cell', self.name)[0])
        form = s.window(FORM)
        s.shot('form_from_check')
        self.assertEqual(text(s.find(form, 'text', '企业名称')), self.name)
        area = field(form, '占地面积')
        wait_for(lambda: self.focused_in(form) is not None and self.focused_in(form).description == '占地面积',
                 5, 'the failing field to take the focus')
        self.assertTrue(self.in_view(area), 'the failing field is out of view')
        s.type('12')  # typing goes straight into the field that failed
        self.assertEqual(text(area), '12')
        # The check only reads: the record's stored values and 校验状态 stay.
        self.assertEqual(e2e.rows(self.home, 'select 占地面积 from TZ_XIANGMU where ID=?', (self.rid,))[0][0], 10)


if __name__ == '__main__':
    e2e.main()
