"""Which surface the real program draws on under X11, and that the X server's copy
comes back after something covered it."""

import os
import shutil
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from test_gadget import BINARY, GadgetCase  # noqa: E402
from x11session import wait_for  # noqa: E402


def children(session, window):
    """Ids of a window's child windows."""
    out = session.run_text(["xwininfo", "-children", "-id", window])
    return [line.split()[0] for line in out.splitlines() if line.strip().startswith("0x")]


@unittest.skipUnless(BINARY and shutil.which("Xvfb") and shutil.which("openbox"), "needs the program, Xvfb, openbox")
class XSurfaceTest(GadgetCase):
    def setUp(self):
        super().setUp()
        self.saved = os.environ.get("QUORVEL_SURFACE")

    def tearDown(self):
        if self.saved is None:
            os.environ.pop("QUORVEL_SURFACE", None)
        else:
            os.environ["QUORVEL_SURFACE"] = self.saved
        super().tearDown()

    def gadget(self, surface=None):
        if surface is None:
            os.environ.pop("QUORVEL_SURFACE", None)
        else:
            os.environ["QUORVEL_SURFACE"] = surface
        return super().gadget()

    def test_graph_is_a_window_of_its_own_on_x11_and_not_with_the_image_surface(self):
        run = self.gadget()
        graph = children(self.session, run.window)
        self.assertEqual(len(graph), 1, "the graph has no window of its own")
        self.assertEqual(run.client(graph[0])[2:], run.client()[2:], "the graph's window covers the client area")
        self.assertEqual(run.close(), 0)
        image = self.gadget("image")
        self.assertEqual(children(self.session, image.window), [], "the image surface needs no window")
        self.assertEqual(image.close(), 0)

    def test_grid_comes_back_where_the_menu_covered_it(self):
        with open(os.path.join(self.folder, "quorvel.ini"), "wb") as f:
            # No ticks: only the expose can bring the picture back.
            f.write(b"BarXColor=16711680\r\nTimerValue=0\r\n")
        run = self.gadget()
        x, y, w, h = run.client()
        row = y + round(h * 1000 / 9000)
        column = x + w // 2

        def blue_bar_shown():
            shot = os.path.join(self.tmp, "shot.png")
            self.session.screenshot(shot)
            return (0, 0, 255) in [self.session.pixel(shot, column, r) for r in range(row - 2, row + 3)]

        self.assertTrue(wait_for(blue_bar_shown, timeout=10), "no blue bar before the menu")
        # The menu opens at the mouse, over the bar.
        self.assertTrue(run.open_menu(column - 5, row - 5), "no pop-up menu")
        self.assertTrue(wait_for(lambda: not blue_bar_shown(), timeout=10), "the menu did not cover the bar")
        self.session.xdotool("key", "Escape")
        self.assertTrue(wait_for(blue_bar_shown, timeout=10), "the bar did not come back after the menu closed")


if __name__ == "__main__":
    unittest.main(verbosity=2)
