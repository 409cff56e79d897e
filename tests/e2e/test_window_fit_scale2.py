"""The record windows on a 1920x1080 screen at Qt scale 2: each fits and can be maximised."""
import kestrova_e2e as e2e
from kestrova_e2e.window_fit import WindowFit


class FitAtScaleTwo(e2e.ProgramTest, WindowFit):
    size = '1920x1080'
    scale = 2


if __name__ == '__main__':
    e2e.main()
