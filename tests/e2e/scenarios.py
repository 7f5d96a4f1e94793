"""The end-to-end scenarios, run by gadget/test_gadget.py (Linux) and windows/test_wine_gadget.py
(Wine). The program is driven over X with xdotool, as a person would."""

import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from xsession import Session, pixels, wait_for  # noqa: E402

RED = (255, 0, 0)
# "my gadget" in Shift-JIS, the code page the program's users write their files in, and trailing spaces.
REMARK = b"; \x8e\x84\x82\xcc\x83\x4b\x83\x57\x83\x46\x83\x62\x83\x67  "


class Gadget:
    """One run of the program, seen through X: its windows, their rectangles, the pointer."""

    WAIT = 15  # seconds for a window to come up
    SLACK = 1  # pixels a window manager's frame may add to a rectangle the program kept

    def __init__(self, session, command, env, wait=True):
        self.session = session
        self.errors = tempfile.TemporaryFile()
        self.proc = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=self.errors)
        self.window = self.wait_window() if wait else None

    def windows(self):
        return self.session.xdotool("search", "--onlyvisible", "--pid", self.proc.pid).split()

    def others(self):  # a menu, a box or the read-out
        return [w for w in self.windows() if w != self.window]

    def wait_window(self, but=()):
        found = wait_for(lambda: [w for w in self.windows() if w not in but], self.WAIT)
        if not found:
            raise AssertionError("no window appeared; stderr: " + self.stderr())
        # Mapped and placed: the window manager has reported the frame it gave it, and the
        # rectangle holds still.
        wait_for(lambda: "=" in self.prop(found[0], "_NET_FRAME_EXTENTS"), 5)
        seen = [None]
        wait_for(lambda: seen.append(self.client(found[0])) or seen[-1] == seen[-2], 5, 0.2)
        return found[0]

    def stderr(self):
        return os.pread(self.errors.fileno(), 1 << 20, 0).decode("utf-8", "replace")

    def prop(self, window, name):
        return self.session.run_text(["xprop", "-id", window, "-notype", name])

    def extents(self):
        """(left, right, top, bottom) of the frame the window manager put round the window."""
        extents = self.prop(self.window, "_NET_FRAME_EXTENTS")
        return tuple(int(v) for v in extents.split("=")[1].split(",")) if "=" in extents else (0,) * 4

    def client(self, window=None):
        """(x, y, width, height) of a window's client area on the screen."""
        info = self.session.run_text(["xwininfo", "-id", window or self.window])
        v = dict(line.strip().split(":", 1) for line in info.splitlines() if ":" in line)
        return tuple(int(v[k]) for k in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))

    def outer(self):
        """(x, y, width, height) of the window with its frame."""
        (x, y, w, h), (left, right, top, bottom) = self.client(), self.extents()
        return (x - left, y - top, w + left + right, h + top + bottom)

    def center(self):
        x, y, w, h = self.client()
        return x + w // 2, y + h // 2

    def rest(self, x, y):
        """Leaves the pointer at (x, y); the window that comes up meanwhile (the read-out), or None."""
        self.session.xdotool("mousemove", x - 3, y - 3)
        self.session.xdotool("mousemove", x, y)
        found = wait_for(self.others, self.WAIT / 3, 0.1)
        return found[0] if found else None

    def open_menu(self):
        """Right-clicks in the middle; the window of the menu, or None."""
        before = self.others()
        self.session.xdotool("mousemove", *self.center())
        self.session.xdotool("click", 3)
        found = wait_for(lambda: [w for w in self.others() if w not in before], self.WAIT)
        return found[0] if found else None

    def menu_command(self, key):
        menu = self.open_menu()
        assert menu, "no pop-up menu"
        self.session.xdotool("key", key)
        wait_for(lambda: menu not in self.windows(), 10)

    def boxes(self):  # its windows titled with the product name
        return [w for w in self.windows() if '"Quorvel"' in self.prop(w, "WM_NAME")]

    def answer(self, box):
        """Presses Return in a box until it closes: a loaded machine now and then loses the key."""
        for _ in range(3):
            self.session.xdotool("windowactivate", "--sync", box, "key", "Return")
            if wait_for(lambda: "IsViewable" not in self.session.run_text(["xwininfo", "-id", box]), 5):
                return

    def close(self):  # the window manager's
        self.session.run_text(["wmctrl", "-i", "-c", self.window])
        return self.wait_exit()

    def wait_exit(self):
        return self.proc.wait(timeout=30)

    def kill(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()


class GadgetCase(unittest.TestCase):
    """A copy of the program (BINARY) in a folder of its own per test. A launcher defines launch(env, values)
    -> (command, env), placement() -> {entry: text}, scaled(factor) -> env for factor x 96 pixels per inch,
    and ENDS, the ends other than the window manager's close and the menu's quit."""

    Gadget = Gadget
    OWN_SESSION = False  # an X session of the class's own instead of the run's shared one
    BOX_ON_STOPPED_LOAD = False  # a file not read whole is named in a box, not on stderr

    @classmethod
    def setUpClass(cls):
        cls.session = Session.own() if cls.OWN_SESSION else Session.shared()
        cls.addClassCleanup(cls.session.stop)

    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="quorvel-e2e-")
        self.addCleanup(shutil.rmtree, self.tmp, True)
        self.folder, self.home = os.path.join(self.tmp, "bin"), os.path.join(self.tmp, "home")
        for folder in (self.folder, self.home):
            os.makedirs(folder)
        self.ini = os.path.join(self.folder, "quorvel.ini")
        self.exe = shutil.copy(self.BINARY, self.folder)

    def write_ini(self, data):
        pathlib.Path(self.ini).write_bytes(data)

    def read_ini(self):
        return pathlib.Path(self.ini).read_bytes()

    def start(self, env=None, values=None, wait=True):
        """Starts the program; `values` are what its counters read where the launcher can set them."""
        run = self.Gadget(self.session, *self.launch(env or {}, values or {}), wait=False)
        self.addCleanup(run.kill)
        if wait:
            run.window = run.wait_window()
        return run

    def shot(self, name, window="root"):
        return self.session.screenshot(os.path.join(self.tmp, name + ".png"), window)

    def near(self, got, want, slack, message=""):
        self.assertTrue(all(abs(a - b) <= slack for a, b in zip(got, want)), f"{got} != {want} {message}")


class Scenarios:
    """The scenarios every launcher runs: mixed into its GadgetCase."""

    def test_first_run_is_centred_at_the_default_size_a_drag_moves_it_and_a_close_saves_nothing(self):
        # On a screen of 192 pixels per inch, 2500 x 3000 twips (1440 an inch) in pixels.
        run = self.start(self.scaled(2))
        (x0, y0, w, h), (cx, cy) = run.outer(), run.center()
        self.near((w, h), (2500 * 192 / 1440, 3000 * 192 / 1440), 1, "is not the default size")
        self.near((2 * x0 + w, 2 * y0 + h), self.session.size, 2, "is not centred")
        # A drag with the left button from the middle in ten steps, once the program has reacted.
        steps = [a for i in range(1, 11) for a in ("mousemove", cx + 12 * i, cy + 7 * i, "sleep", 0.03)]
        self.session.xdotool("mousemove", cx, cy, "mousedown", 1, "sleep", 0.5, *steps, "mouseup", 1)
        self.assertTrue(wait_for(lambda: run.outer()[:2] != (x0, y0), 10), "the window did not follow the mouse")
        self.near(run.outer()[:2], (x0 + 120, y0 + 70), 8)
        self.assertEqual(run.close(), 0)
        self.assertEqual(self.placement(), {}, "closing does not save the placement")

    def test_read_out_at_rest_the_menu_at_the_mouse_quit_with_the_title_bar_and_the_next_start_restores(self):
        self.write_ini(b"[General]\n" + REMARK + b"\nBunkaino=20\nLineColorRecieved=255\n")
        # The gadget comes up under a pointer that then stays still: its ticks bring no read-out.
        self.session.xdotool("mousemove", self.session.size[0] // 2, self.session.size[1] // 2)
        run = self.start()
        x, y, w, h = run.client()
        # Both lines read 0 on the bottom edge at the first tick; the red one, drawn last, lies on top.
        self.assertTrue(wait_for(lambda: RED in pixels(self.shot("gadget"), x + w // 2, y + h - 3, 1, 3), 15, 0.3),
                        "no red line along the bottom")
        self.assertIsNone(wait_for(run.others, 2), "a read-out with the pointer not moved since the gadget came up")
        # Resting on the graph opens the read-out; a right click there brings the menu alone, at the mouse.
        at = (x + w // 3, y + h // 3)
        tip = run.rest(*at)
        self.assertTrue(tip, "no read-out while the pointer rests on the graph")
        self.session.xdotool("click", 3)
        menu = wait_for(lambda: [m for m in run.others() if m != tip], 10)
        self.assertTrue(menu, "no pop-up menu")
        self.near(run.client(menu[0])[:2], at, 4, "the menu is not at the mouse")
        self.assertTrue(wait_for(lambda: tip not in run.others(), 3), "the read-out stayed open over the menu")
        self.session.xdotool("key", "t")
        wait_for(lambda: not run.others(), 10)
        self.session.xdotool("windowmove", run.window, 200, 150)
        self.assertTrue(wait_for(lambda: run.outer()[:2] == (200, 150), 10), "the window did not move")
        before = run.outer()
        run.menu_command("s")
        # The title bar first comes outside the window; the rectangle counts once it is inside.
        self.assertTrue(wait_for(lambda: "_NET_WM_STATE_ABOVE" in run.prop(run.window, "_NET_WM_STATE")
                                 and run.extents()[2] > 0 and run.client()[3] < h, 10), "not in front with a title bar inside")
        placement = run.outer()
        self.near(placement, before, run.SLACK, "the title bar changed the outer rectangle")
        run.menu_command("q")
        self.assertEqual(run.wait_exit(), 0)
        saved = self.read_ini()
        self.assertTrue(saved.startswith(b"[General]\n" + REMARK + b"\nBunkaino = 20\n"), saved[:200])
        self.near(self.start().outer(), placement, run.SLACK, "is not where it was quit")

    def test_the_other_ends_write_the_file_back_but_not_the_placement(self):
        for name, end in self.ENDS.items():
            with self.subTest(end=name):
                self.write_ini(b"Max=5000\r\nTimerValue=250\r\n")
                run = self.start()
                time.sleep(1)  # a few ticks: sampling and drawing run before the end
                self.assertEqual(end(self, run), 0)
                self.assertTrue(self.read_ini().startswith(b"[General]\r\nMax = 5000\r\nTimerValue = 250\r\n"
                                                           b"Bunkaino = 10\r\n"))
                self.assertEqual(self.placement(), {})

    def test_a_file_not_read_whole_is_reported_the_gadget_runs_and_the_file_is_kept(self):
        data = b"; keep me\r\nBunkaino=20\r\nNote=" + b"x" * 40000 + b"\r\nMax=5000\r\n"
        self.write_ini(data)
        run = self.start(wait=not self.BOX_ON_STOPPED_LOAD)
        if self.BOX_ON_STOPPED_LOAD:
            box = wait_for(run.boxes, run.WAIT)
            self.assertTrue(box, "no box names the file")
            run.answer(box[0])
            run.window = run.wait_window(but=box)
        self.assertEqual(run.close(), 0)
        self.assertEqual(self.read_ini(), data, "the file changed")
        if not self.BOX_ON_STOPPED_LOAD:
            self.assertIn(f"stopped reading the settings file {self.ini} at line 3", run.stderr())

    def test_an_error_in_a_tick_shows_one_box_and_the_program_exits_with_status_1(self):
        # The report stops the fast timer before its box, so the box stays the only one until it is closed.
        self.write_ini(b"LineColorSent=abc\r\nTimerValue=200\r\n")
        run = self.start(wait=False)
        self.assertTrue(wait_for(run.boxes, run.WAIT), "no error box")
        self.assertIsNone(wait_for(lambda: len(run.boxes()) > 1, 2), "a second box")  # ten ticks of the timer
        run.answer(run.boxes()[0])
        self.assertEqual(run.wait_exit(), 1)
        self.assertIn("Type mismatch", run.stderr())
