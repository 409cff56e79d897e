"""The record windows on a 1600x1000 screen: each fits and can be maximised."""
import kestrova_e2e as e2e
from kestrova_e2e.window_fit import WindowFit


class FitAt1600(e2e.ProgramTest, WindowFit):
    size = '1600x1000'


if __name__ == '__main__':
    e2e.main()
