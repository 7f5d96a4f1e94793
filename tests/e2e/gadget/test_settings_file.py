"""The settings file beside the program, end to end: line ends, and a file that cannot be read whole."""

import os
import shutil
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from test_gadget import BINARY, GadgetCase  # noqa: E402
from x11session import pixels, wait_for  # noqa: E402

BLUE = (0, 0, 255)
GREEN = (0, 255, 0)
DARK_RED = (128, 0, 0)  # LineColorRecieved's default, the red line


@unittest.skipUnless(BINARY and shutil.which("Xvfb") and shutil.which("openbox"), "needs the program, Xvfb, openbox")
class SettingsFileTest(GadgetCase):
    def setUp(self):
        super().setUp()
        self.ini = os.path.join(self.folder, "quorvel.ini")

    def write_ini(self, data):
        with open(self.ini, "wb") as f:
            f.write(data)

    def read_ini(self):
        with open(self.ini, "rb") as f:
            return f.read()

    def shot(self):
        path = os.path.join(self.tmp, "shot.png")
        self.session.screenshot(path)
        return path

    def test_lf_file_is_in_force_and_written_back_with_lf(self):
        remark = b"; my gadget \x90\xdd\x92\xe8  "  # Shift-JIS bytes and trailing spaces, kept as they are
        self.write_ini(b"[General]\n" + remark + b"\nBunkaino=20\nBarX = False\nBarYColor=65280\n")
        run = self.gadget()
        x, y, w, h = run.client()

        # The first tick draws the red line along the bottom edge (a rate reads 0 at first).
        def ticked():
            path = self.shot()
            return path if DARK_RED in pixels(path, x + w // 2, y + h - 3, 1, 3) else None
        shot = wait_for(ticked, timeout=15, step=0.3)
        self.assertTrue(shot, "no sample was drawn")
        # Bunkaino = 20 with bars every 10 samples puts a vertical bar in the middle; with the
        # default of 10 samples there would be none.
        middle = pixels(shot, x + w // 2 - 3, y + h // 3, 7, 1)
        self.assertIn(GREEN, middle, f"no vertical bar in the middle: {middle}")
        # BarX = False: no horizontal bar anywhere down a column between the vertical bars.
        column = pixels(shot, x + w // 4, y + 2, 1, h - 6)
        self.assertEqual(len(column), h - 6)
        self.assertNotIn(BLUE, column, "a horizontal bar was drawn")

        run.menu_command("q")
        self.assertEqual(run.wait_exit(), 0)
        saved = self.read_ini()
        self.assertNotIn(b"\r", saved)
        lines = saved.split(b"\n")
        self.assertEqual(lines[:5], [b"[General]", remark, b"Bunkaino = 20", b"BarX = False", b"BarYColor = 65280"])
        self.assertEqual(lines.count(b"[General]"), 1)
        self.assertEqual(lines[-1], b"", "the last line ends with LF too")
        names = [line.split(b" = ")[0].decode() for line in lines[5:-1]]
        self.assertEqual(names, ["BarXColor", "BarXInterval", "BarY", "BarYInterval", "Max", "BackColor", "TimerValue",
                                 "RedLineSource", "GreenLineSource", "NotShowSum", "LineColorSent",
                                 "LineColorRecieved"])

    def check_long_line_survives(self, close):
        original = b"; keep me\r\nBunkaino=20\r\nNote=" + b"x" * 40000 + b"\r\nMax=5000\r\n"
        self.write_ini(original)
        run = self.gadget()
        self.assertEqual(close(run), 0)
        self.assertEqual(self.read_ini(), original, "the file changed")
        stderr = run.proc.stderr.read()
        self.assertEqual(stderr.count("stopped reading the settings file"), 1, stderr)
        self.assertIn(f"{self.ini} at line 3 (its value is longer than 32767 characters)", stderr)

    def test_file_with_an_overlong_line_survives_quit_from_the_menu(self):
        def quit_from_menu(run):
            run.menu_command("q")
            return run.wait_exit()
        self.check_long_line_survives(quit_from_menu)

    def test_file_with_an_overlong_line_survives_a_window_manager_close(self):
        self.check_long_line_survives(lambda run: run.close())


if __name__ == "__main__":
    unittest.main(verbosity=2)
