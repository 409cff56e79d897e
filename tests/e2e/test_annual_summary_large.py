"""The annual summary on a large screen: the whole form shows without scrolling."""
import kestrova_e2e as e2e
from kestrova_e2e.summary import SummaryTest


class LargeScreen(SummaryTest):
    size = '1600x1000'
    records = 5000

    def test_the_whole_form_shows_at_1600x1000(self):
        s, w = self.open_summary()
        self.sum_up(w, '5000')
        x, y, width, h = e2e.extents(w)
        self.assertGreaterEqual(width, self.desktop.width - 10)
        for k, acc in self.fields(w).items():
            fx, fy, fw, fh = e2e.extents(acc)
            self.assertLessEqual(fx + fw, x + width - 4, f'field {k} lies beyond the right edge')
            self.assertLessEqual(fy + fh, y + h - 4, f'field {k} lies below the window')
        shot = s.shot('summary_1600x1000')
        self.assert_no_digit_cut_on_screen(w, shot, '1600x1000')


if __name__ == '__main__':
    e2e.main()
