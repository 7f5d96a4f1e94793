"""The end-to-end scenarios, written once against the Gadget driver below and run by each
launcher: gadget/test_gadget.py (the real program under Xvfb and openbox) and
windows/test_wine_gadget.py (quorvel.exe under Wine). The program is driven over X with
xdotool, as a person would; each launcher says how it starts and where it keeps the
placement."""

import itertools
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from xsession import pixels, wait_for  # noqa: E402

RED, GREEN, BLUE = (255, 0, 0), (0, 255, 0), (0, 0, 255)
SENT = r"\Network Interface(lo)\Bytes Sent/sec"
RECEIVED = r"\Network Interface(lo)\Bytes Received/sec"
# "my gadget" in Shift-JIS, the code page the program's users write their files in, and trailing spaces.
REMARK = b"; \x8e\x84\x82\xcc\x83\x4b\x83\x57\x83\x46\x83\x62\x83\x67  "


def px(twips, scale=1.0):
    return twips * 96 / 1440 * scale


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

    def others(self):
        """Its visible windows but the main one: a menu, a box or the read-out."""
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
        self.errors.seek(0)
        return self.errors.read().decode("utf-8", "replace")

    def prop(self, window, name):
        return self.session.run_text(["xprop", "-id", window, "-notype", name])

    def extents(self):
        """(left, right, top, bottom) of the frame the window manager put round the window."""
        extents = self.prop(self.window, "_NET_FRAME_EXTENTS")
        return tuple(int(v) for v in extents.split("=")[1].split(",")) if "=" in extents else (0,) * 4

    def titled(self):
        return self.extents()[2] > 0

    def above(self):
        return "_NET_WM_STATE_ABOVE" in self.prop(self.window, "_NET_WM_STATE")

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

    def drag(self, dx, dy):
        """Drags with the left button from the middle of the window by (dx, dy) in ten steps."""
        cx, cy = self.center()
        self.session.xdotool("mousemove", cx, cy)
        self.session.xdotool("mousedown", 1)
        time.sleep(0.5)  # the move starts from where the pointer is when the program reacts
        for step in range(1, 11):
            self.session.xdotool("mousemove", cx + dx * step // 10, cy + dy * step // 10)
            time.sleep(0.03)
        self.session.xdotool("mouseup", 1)

    def rest(self, x, y, timeout=1.5):
        """Leaves the pointer at (x, y); the window that comes up meanwhile (the read-out), or None."""
        self.session.xdotool("mousemove", x - 3, y - 3)
        self.session.xdotool("mousemove", x, y)
        found = wait_for(self.others, timeout, 0.1)
        return found[0] if found else None

    def open_menu(self, x=None, y=None):
        """Right-clicks at (x, y), the middle by default; the window of the menu, or None."""
        if x is None:
            x, y = self.center()
        before = self.others()
        self.session.xdotool("mousemove", x, y)
        self.session.xdotool("click", 3)
        found = wait_for(lambda: [w for w in self.others() if w not in before], self.WAIT)
        return found[0] if found else None

    def menu_command(self, key):
        menu = self.open_menu()
        if menu is None:
            raise AssertionError("no pop-up menu")
        self.session.xdotool("key", key)
        wait_for(lambda: menu not in self.windows(), 10)

    def boxes(self):
        """Its windows titled with the product name: its message boxes."""
        return [w for w in self.windows() if '"Quorvel"' in self.prop(w, "WM_NAME")]

    def answer(self, box):
        """Presses Return in a box until it closes: a loaded machine now and then loses the key."""
        for _ in range(3):
            self.session.xdotool("windowactivate", "--sync", box)
            self.session.xdotool("key", "Return")
            if wait_for(lambda: "IsViewable" not in self.session.run_text(["xwininfo", "-id", box]), 5):
                return

    def close(self):
        """The window manager's close."""
        self.session.run_text(["wmctrl", "-i", "-c", self.window])
        return self.wait_exit()

    def wait_exit(self, timeout=30):
        return self.proc.wait(timeout=timeout)

    def kill(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        self.errors.close()


class GadgetCase(unittest.TestCase):
    """A folder of its own per test holding a copy of the program. A launcher sets `session`
    and defines launch(extra_env, values) -> (command, env), placement() -> {entry: text}
    and ENDS, the ways other than the menu's quit that end the program."""

    session = None
    Gadget = Gadget
    BOX_ON_STOPPED_LOAD = False  # a file not read whole is named in a box, not on stderr

    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="quorvel-e2e-")
        self.addCleanup(shutil.rmtree, self.tmp, True)
        self.folder, self.home = os.path.join(self.tmp, "bin"), os.path.join(self.tmp, "home")
        for folder in (self.folder, self.home):
            os.makedirs(folder)
        self.ini = os.path.join(self.folder, "quorvel.ini")
        self.install()
        self.runs = []

    def tearDown(self):
        for run in self.runs:
            run.kill()

    def write_ini(self, data):
        pathlib.Path(self.ini).write_bytes(data)

    def read_ini(self):
        return pathlib.Path(self.ini).read_bytes()

    def start(self, env=None, values=None, wait=True):
        """Starts the program; `values` are what its counters read where the launcher can set them."""
        run = self.Gadget(self.session, *self.launch(env or {}, values or {}), wait=False)
        self.runs.append(run)
        if wait:
            run.window = run.wait_window()
        return run

    def shot(self, name, window="root"):
        """A screenshot, kept in QUORVEL_E2E_ARTIFACTS too for a person to look at."""
        path = self.session.screenshot(os.path.join(self.tmp, name + ".png"), window)
        artifacts = os.environ.get("QUORVEL_E2E_ARTIFACTS")
        if artifacts:
            os.makedirs(artifacts, exist_ok=True)
            shutil.copy(path, os.path.join(artifacts, f"{self.PLATFORM}-{name}.png"))
        return path

    def near(self, got, want, slack, message=""):
        self.assertTrue(all(abs(a - b) <= slack for a, b in zip(got, want)), f"{got} != {want} {message}")

    def drag_moves(self, run, dx, dy):
        x0, y0, _, _ = run.outer()
        run.drag(dx, dy)
        self.assertTrue(wait_for(lambda: run.outer()[:2] != (x0, y0), 10), "the window did not follow the mouse")
        self.near(run.outer()[:2], (x0 + dx, y0 + dy), 8)

    def menu_marks(self, run):
        """Which of the menu's four items carry a mark, read from a screenshot of it."""
        menu = run.open_menu()
        self.assertTrue(menu, "no pop-up menu")
        time.sleep(0.5)
        mx, my, mw, mh = run.client(menu)
        found = pixels(self.shot("menu"), mx + 2, my + 2, mw - 4, mh - 4)
        self.session.xdotool("key", "Escape")
        wait_for(lambda: menu not in run.windows(), 10)
        rows = [[(r * 299 + g * 587 + b * 114) // 1000 for r, g, b in found[i:i + mw - 4]]
                for i in range(0, len(found), mw - 4)]
        # Even the faint outline of an empty box counts as ink.
        grey = [v for row in rows for v in row]
        dark = max(set(grey), key=grey.count) - 24
        # Runs of rows with ink: one per item, and the separator.
        runs = itertools.groupby(range(len(rows)), lambda i: any(v < dark for v in rows[i]))
        bands = [(group[0], group[-1]) for inked, group in ((k, list(g)) for k, g in runs) if inked]
        bands = sorted(sorted(bands, key=lambda b: b[1] - b[0])[-4:])  # the separator is the thinnest
        self.assertEqual(len(bands), 4, f"menu rows not found: {bands}")
        lefts = [min(i for row in rows[a:b + 1] for i, v in enumerate(row) if v < dark) for a, b in bands]
        return [left < max(lefts) - 6 for left in lefts]


class Scenarios:
    """The scenarios every launcher runs: mixed into its GadgetCase."""

    def test_first_run_is_centred_at_the_default_size_a_drag_moves_it_and_a_close_saves_nothing(self):
        run = self.start()
        x, y, w, h = run.outer()
        self.near((w, h), (px(2500), px(3000)), 1, "is not the default size")
        self.near((2 * x + w, 2 * y + h), self.session.size, 2, "is not centred")
        self.assertFalse(run.titled(), "starts without a title bar")
        self.drag_moves(run, 120, 70)
        self.assertEqual(run.close(), 0)
        self.assertEqual(len(os.listdir(self.folder)), 1, "the program created a file beside itself")
        self.assertEqual(self.placement(), {}, "closing does not save the placement")

    def test_menu_opens_at_the_mouse_and_switches_keep_in_front_and_title_bar_and_help(self):
        run = self.start()
        cx, cy = run.center()
        menu = run.open_menu(cx, cy)
        self.assertTrue(menu, "no pop-up menu")
        self.near(run.client(menu)[:2], (cx, cy), 4, "the menu is not at the mouse")
        self.session.xdotool("key", "Escape")
        self.assertTrue(wait_for(lambda: not run.others(), 10), "Escape left the menu open")
        before, client = run.outer(), run.client()

        run.menu_command("t")
        self.assertTrue(wait_for(run.above, 10), "not kept in front")
        run.menu_command("s")
        self.assertTrue(wait_for(run.titled, 10), "no title bar")
        self.assertIn('"Quorvel Ver.1.1.0"', run.prop(run.window, "_NET_WM_NAME"))
        # The title bar comes inside the outer rectangle.
        self.assertTrue(wait_for(lambda: run.client()[3] < client[3], 10), "the client area kept its height")
        self.near(run.outer(), before, run.SLACK, "the outer rectangle changed with the title bar")
        self.assertEqual(self.menu_marks(run), [False, True, True, False])
        run.menu_command("s")
        self.assertTrue(wait_for(lambda: not run.titled() and run.outer() == before, 10), f"{run.outer()}")
        run.menu_command("t")
        self.assertTrue(wait_for(lambda: not run.above(), 10), "still kept in front")
        self.assertEqual(self.menu_marks(run), [False] * 4)

        run.menu_command("h")
        boxes = wait_for(run.boxes, 10)
        self.assertTrue(boxes, "no help box")
        run.answer(boxes[0])
        self.assertTrue(wait_for(lambda: not run.others(), 10), "the help box stayed")
        self.assertIsNone(run.proc.poll(), "still running")

    def test_quit_writes_the_file_back_in_its_own_line_ends_and_the_next_start_restores_the_placement(self):
        self.write_ini(b"[General]\n" + REMARK + b"\nBunkaino=20\nBarX = False\nBarYColor=65280\n"
                       b"LineColorRecieved=255\n")
        run = self.start()
        x, y, w, h = run.client()
        # Both lines read 0 on the bottom edge at the first tick; the red one, drawn last, lies on top.
        shot = wait_for(lambda: (lambda p: RED in pixels(p, x + w // 2, y + h - 3, 1, 3) and p)(self.shot("gadget")),
                        15, 0.3)
        self.assertTrue(shot, "no red line along the bottom")
        # Bunkaino = 20 with bars every 10 samples puts a vertical bar in the middle.
        self.assertIn(GREEN, pixels(shot, x + w // 2 - 3, y + h // 3, 7, 1), "no vertical bar in the middle")
        self.assertNotIn(BLUE, pixels(shot, x + w // 4, y + 2, 1, h - 6), "BarX = False, yet a horizontal bar")

        self.session.xdotool("windowmove", run.window, 200, 150)
        self.assertTrue(wait_for(lambda: run.outer()[:2] == (200, 150), 10), "the window did not move")
        run.menu_command("s")  # quit with the title bar shown saves the same outer rectangle
        self.assertTrue(wait_for(run.titled, 10), "no title bar")
        placement = run.outer()
        run.menu_command("q")
        self.assertEqual(run.wait_exit(), 0)
        saved = self.read_ini()
        self.assertNotIn(b"\r", saved)
        lines = saved.split(b"\n")
        self.assertEqual(lines[:6], [b"[General]", REMARK, b"Bunkaino = 20", b"BarX = False", b"BarYColor = 65280",
                                     b"LineColorRecieved = 255"])
        self.assertIn(b"TimerValue = 1000", lines, "the items each tick looks up are written back")
        self.assertEqual(lines[-1], b"", "the last line ends with LF too")
        self.assertEqual(sorted(self.placement()), ["WindowHeight", "WindowLeft", "WindowTop", "WindowWidth"])

        again = self.start()
        self.assertFalse(again.titled())
        self.near(again.outer(), placement, run.SLACK, "is not where it was quit")

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
            self.assertEqual(run.stderr().count("stopped reading the settings file"), 1, run.stderr())
            self.assertIn(f"{self.ini} at line 3 (its value is longer than 32767 characters)", run.stderr())

    def test_a_bad_setting_shows_one_error_box_and_the_program_exits_with_status_1(self):
        # An error in the load step, and one in every tick of a fast timer: the report stops
        # the timer before its box, so the box stays the only one until it is closed.
        for ini, error in {b"Bunkaino=0\r\n": "Subscript out of range",
                           b"LineColorSent=abc\r\nTimerValue=200\r\n": "Type mismatch"}.items():
            with self.subTest(ini=ini):
                self.write_ini(ini)
                run = self.start(wait=False)
                self.assertTrue(wait_for(run.boxes, run.WAIT), "no error box")
                time.sleep(2)  # ten ticks of the fast timer
                boxes = run.boxes()
                self.assertEqual(len(boxes), 1)
                run.answer(boxes[0])
                self.assertEqual(run.wait_exit(), 1)
                self.assertIn(error, run.stderr())

    def test_resting_on_the_graph_opens_the_read_out_and_a_drag_and_the_menu_work_with_it_open(self):
        # Three lines on the loopback link (NotShowSum = True draws the sum), each in a colour of its own.
        self.write_ini(f"NotShowSum=True\r\nRedLineSource={SENT}\r\nGreenLineSource={RECEIVED}\r\n"
                       "LineColorRecieved=255\r\nLineColorSent=65280\r\nLineColorSum=16776960\r\n".encode())
        # The gadget comes up under a pointer that then stays still: a few ticks bring no read-out.
        self.session.xdotool("mousemove", self.session.size[0] // 2, self.session.size[1] // 2)
        run = self.start(values={SENT: "1500,3000,4500,3000", RECEIVED: "6000,5500,6500,7000"})
        time.sleep(2.5)
        self.assertEqual(run.others(), [], "a read-out with the pointer not moved since the gadget came up")
        x, y, w, h = run.client()
        tip = run.rest(x + w // 2, y + h // 2)
        self.assertTrue(tip, "no read-out within 1.5 s of rest")
        self.assertTrue(wait_for(lambda: run.client(tip)[0] > x + w // 2 and run.client(tip)[1] > y + h // 2, 5),
                        f"the read-out {run.client(tip)} is not below and right of the pointer")
        tx, ty, tw, th = run.client(tip)
        self.assertTrue(tw > 80 and th > 30, "too small for its lines")
        found = pixels(self.shot("read-out"), tx, ty, tw, th)
        for colour in (RED, GREEN, (0, 255, 255)):
            self.assertGreaterEqual(found.count(colour), 9, f"no swatch of {colour} in the read-out")
        self.session.xdotool("mousemove", 1, 1)
        self.assertTrue(wait_for(lambda: not run.others(), 3), "the read-out stayed open off the graph")

        # With it open, a left drag moves the gadget as before and closes it.
        self.assertTrue(run.rest(x + w // 2, y + h // 2), "no read-out")
        self.drag_moves(run, 60, 40)
        self.assertTrue(wait_for(lambda: not run.others(), 3), "the read-out stayed open through the drag")
        # A right click brings the menu, and only the menu.
        x, y, w, h = run.client()
        tip = run.rest(x + w // 3, y + h // 3)
        self.assertTrue(tip, "no read-out at the next rest")
        self.session.xdotool("click", 3)
        self.assertTrue(wait_for(lambda: [m for m in run.others() if m != tip], 10), "no pop-up menu")
        self.assertTrue(wait_for(lambda: tip not in run.others(), 3), "the read-out stayed open over the menu")
        self.session.xdotool("key", "Escape")
        self.assertTrue(wait_for(lambda: not run.others(), 10), "the menu stayed")
