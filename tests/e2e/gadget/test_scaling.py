"""Placement at 100 %, 150 % and 200 % (Qt's scale factor) on a 1200 x 900 screen."""

import configparser
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from test_gadget import BINARY, TWIPS, Gadget  # noqa: E402
from x11session import X11Session, wait_for  # noqa: E402

SCREEN = (1200, 900)
SCALES = ("1", "1.5", "2")


def device_pixels(twips, scale):
    return twips * 96 / TWIPS * float(scale)


@unittest.skipUnless(BINARY and shutil.which("Xvfb") and shutil.which("openbox"), "needs the program, Xvfb, openbox")
class ScalingTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.session = X11Session(*SCREEN).start()

    @classmethod
    def tearDownClass(cls):
        cls.session.stop()

    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="quorvel-scale-")
        self.runs = []

    def tearDown(self):
        for run in self.runs:
            run.kill()
        shutil.rmtree(self.tmp, ignore_errors=True)

    def gadget(self, home, scale):
        run = Gadget(self.session, os.path.dirname(BINARY), home)
        self.runs.append(run)
        env = self.session.env(home)
        env["QT_SCALE_FACTOR"] = scale
        run.proc = subprocess.Popen([BINARY], env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        run.window = run.wait_window()
        return run

    def quit(self, run):
        run.menu_command("q")
        self.assertEqual(run.wait_exit(), 0)
        store = configparser.ConfigParser()
        store.optionxform = str
        store.read(run.profile, encoding="utf-8")
        return {k: float(store["Quorvel"][k]) for k in ("WindowTop", "WindowLeft", "WindowWidth", "WindowHeight")}

    def test_first_run_is_centred_on_screen_and_the_placement_round_trips(self):
        for scale in SCALES:
            with self.subTest(scale=scale):
                home = os.path.join(self.tmp, "home-" + scale)
                os.makedirs(home)
                run = self.gadget(home, scale)
                x, y, w, h = run.outer()
                self.assertLessEqual(abs(w - device_pixels(2500, scale)), 1, (w, h))
                self.assertLessEqual(abs(h - device_pixels(3000, scale)), 1, (w, h))
                self.assertTrue(x >= 0 and y >= 0 and x + w <= SCREEN[0] and y + h <= SCREEN[1], (x, y, w, h))
                self.assertLessEqual(abs(2 * x + w - SCREEN[0]), 2, f"not centred across: {(x, y, w, h)}")
                self.assertLessEqual(abs(2 * y + h - SCREEN[1]), 2, f"not centred down: {(x, y, w, h)}")

                # Moved off the centre, so the round trip cannot pass by centring again.
                self.session.xdotool("windowmove", run.window, 101, 77)
                self.assertTrue(wait_for(lambda: run.outer()[:2] != (x, y), timeout=5), "the window did not move")
                placed = run.outer()
                first = self.quit(run)
                again = self.gadget(home, scale)
                for got, want in zip(again.outer(), placed):
                    self.assertLessEqual(abs(got - want), 1, f"{again.outer()} after {placed}")
                self.assertEqual(self.quit(again), first, "the stored twips drift")


if __name__ == "__main__":
    unittest.main(verbosity=2)
