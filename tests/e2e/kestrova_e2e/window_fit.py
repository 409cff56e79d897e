"""The record windows' fit on a screen: each fits the screen and can be maximised. A test
module per screen size sets `size` (and `scale`): one desktop per process."""
from .records import DEFINE, LOG, Records, cell, rows
from .screen import extents, wait_for


class WindowFit(Records):
    records = 10

    def maximise(self, window):
        x, y, w, h = extents(window)
        self.screen.click_at(x + w // 2, y - 8, repeat=2)  # a double click on the title bar
        wait_for(lambda: extents(window)[2] >= self.desktop.width - 4, 10, f'"{window.name}" to be maximised')

    def test_list_fits_and_can_be_maximised(self):
        self.start()
        lst = self.open_list()
        self.assertTrue(self.within_screen(lst), f'the list {extents(lst)} does not fit')
        self.screen.shot('list')
        self.maximise(lst)

    def test_form_fits_and_scrolls_to_its_closing_lines(self):
        s = self.start()
        _, form = self.open_new_form()
        self.assertTrue(self.within_screen(form), f'the form {extents(form)} does not fit')
        filler = s.find(form, 'text', '填表人')
        self.scroll_to(form, filler)
        self.assertTrue(self.within_screen(filler))
        s.shot('form_closing_lines')
        self.maximise(form)

    def test_custom_query_and_log_open_on_screen(self):
        s = self.start()
        lst = self.open_list()
        s.click(s.find(lst, 'push button', '自定义查询'))
        define = s.window(DEFINE)
        self.assertTrue(self.within_screen(define), f'自定义查询器 {extents(define)} is off the screen')
        s.shot('custom_query')
        s.click(s.find(define, 'push button', '返    回'))
        s.gone(DEFINE)
        s.click(cell(lst, rows(lst)[0][4]))
        s.click(s.find(lst, 'push button', '修改日志'))
        log = s.window(LOG)
        self.assertTrue(self.within_screen(log), f'修改日志 {extents(log)} is off the screen')
        s.shot('log')

