"""End-to-end tests of the desktop program: real X server, window manager and input."""
from .program import PASSWORD, USER, NotFound, ProgramTest, cli, main, make_home, rows, wait_for  # noqa: F401
from .screen import extents, find_all, text_of  # noqa: F401
