"""The real program under Xvfb and openbox, driven with xdotool as a person would."""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from netns_traffic import Traffic  # noqa: E402
from x11session import X11Session, pixels, wait_for  # noqa: E402

BINARY = os.environ.get("QUORVEL_BIN", "")
DPI = 96
TWIPS = 1440


def px(twips):
    return round(twips * DPI / TWIPS)


class Gadget:
    """One run of the program from its own folder, with its own per-user settings."""

    def __init__(self, session, folder, home, wrap=list):
        self.session = session
        self.folder = folder
        self.home = home
        self.wrap = wrap  # e.g. Traffic.wrap: the program runs inside a network namespace
        self.proc = None
        self.window = None

    @property
    def ini(self):
        return os.path.join(self.folder, "quorvel.ini")

    @property
    def profile(self):
        return os.path.join(self.home, ".config", "Kelvane SoftWares.ini")

    def start(self):
        exe = os.path.join(self.folder, "quorvel")
        self.proc = subprocess.Popen(self.wrap([exe]), env=self.session.env(self.home), stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE, text=True)
        self.window = self.wait_window()
        return self

    def wait_window(self):
        found = wait_for(lambda: self.session.xdotool("search", "--onlyvisible", "--pid", self.proc.pid), timeout=15)
        window = found.split()[0] if found else None
        if window is None:
            raise AssertionError("no window appeared; stderr: " + self.stderr_now())
        time.sleep(0.3)
        return window

    def stderr_now(self):
        return "" if self.proc.poll() is None else self.proc.stderr.read()

    def frame_extents(self):
        out = self.session.run_text(["xprop", "-id", self.window, "_NET_FRAME_EXTENTS"])
        if "=" not in out:
            return (0, 0, 0, 0)
        return tuple(int(v) for v in out.split("=")[1].split(","))

    def client(self, window=None):
        """(x, y, width, height) of a window's client area on the screen."""
        info = self.session.run_text(["xwininfo", "-id", window or self.window])
        v = dict(line.strip().split(":", 1) for line in info.splitlines() if ":" in line)
        return tuple(int(v[k]) for k in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))

    def outer(self):
        """(x, y, width, height) of the window with its frame."""
        x, y, w, h = self.client()
        left, right, top, bottom = self.frame_extents()
        return (x - left, y - top, w + left + right, h + top + bottom)

    def center(self):
        x, y, w, h = self.client()
        return x + w // 2, y + h // 2

    def net_state(self):
        return self.session.run_text(["xprop", "-id", self.window, "_NET_WM_STATE"])

    def title(self):
        return self.session.run_text(["xprop", "-id", self.window, "-notype", "_NET_WM_NAME"])

    def windows(self):
        return self.session.xdotool("search", "--onlyvisible", "--pid", self.proc.pid).split()

    def is_tooltip(self, window):
        """A mapped override-redirect window of the tooltip type: the graph's read-out."""
        kind = self.session.run_text(["xprop", "-id", window, "_NET_WM_WINDOW_TYPE"])
        info = self.session.run_text(["xwininfo", "-id", window])
        return ("_NET_WM_WINDOW_TYPE_TOOLTIP" in kind and "Override Redirect State: yes" in info
                and "Map State: IsViewable" in info)

    def menus(self):
        """The program's visible windows other than the main one and the read-out: its
        pop-up menu or a box."""
        return [w for w in self.windows() if w != self.window and not self.is_tooltip(w)]

    def tooltips(self):
        return [w for w in self.windows() if w != self.window and self.is_tooltip(w)]

    def rest_on_graph(self, x=None, y=None, timeout=1.5):
        """Moves the pointer onto the graph and keeps it still; returns the read-out's
        window once it shows, None when it does not within `timeout` seconds."""
        if x is None:
            x, y = self.center()
        # A step before the spot, so that the pointer moves even when it is there already.
        self.session.xdotool("mousemove", x - 3, y - 3)
        self.session.xdotool("mousemove", x, y)
        found = wait_for(self.tooltips, timeout=timeout)
        return found[0] if found else None

    def drag(self, dx, dy):
        """Drags with the left button from the middle of the window by (dx, dy) in ten steps."""
        cx, cy = self.center()
        self.session.xdotool("mousemove", cx, cy)
        self.session.xdotool("mousedown", 1)
        # The move starts from where the pointer is when the program reacts to the press.
        time.sleep(0.3)
        for step in range(1, 11):
            self.session.xdotool("mousemove", cx + dx * step // 10, cy + dy * step // 10)
            time.sleep(0.03)
        self.session.xdotool("mouseup", 1)

    def open_menu(self, x=None, y=None):
        """Right-clicks at (x, y), the middle of the window by default; returns the windows
        of the menu that came up (none when it did not)."""
        if x is None:
            x, y = self.center()
        self.session.xdotool("mousemove", x, y)
        self.session.xdotool("click", 3)
        return wait_for(self.menus) or []

    def menu_command(self, key):
        x, y = self.center()
        self.session.xdotool("mousemove", x, y)
        self.session.xdotool("click", 3)
        time.sleep(0.5)
        self.session.xdotool("key", key)
        time.sleep(0.5)

    def close(self):
        subprocess.run(["wmctrl", "-i", "-c", self.window], env={**os.environ, "DISPLAY": self.session.display})
        return self.wait_exit()

    def wait_exit(self, timeout=10):
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            raise

    def signal(self, number):
        self.proc.send_signal(number)
        return self.wait_exit()

    def kill(self):
        if self.proc and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()


class GadgetCase(unittest.TestCase):
    """One X session for a class of tests; each test gets a folder with its own copy of the
    program and a home of its own."""

    @classmethod
    def setUpClass(cls):
        cls.session = X11Session().start()

    @classmethod
    def tearDownClass(cls):
        cls.session.stop()

    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="quorvel-e2e-")
        self.folder = os.path.join(self.tmp, "bin")
        self.home = os.path.join(self.tmp, "home")
        os.makedirs(self.folder)
        os.makedirs(self.home)
        shutil.copy(BINARY, os.path.join(self.folder, "quorvel"))
        self.runs = []

    def tearDown(self):
        for run in self.runs:
            run.kill()
        shutil.rmtree(self.tmp, ignore_errors=True)

    def gadget(self, wrap=list):
        run = Gadget(self.session, self.folder, self.home, wrap)
        self.runs.append(run)
        return run.start()


@unittest.skipUnless(BINARY and shutil.which("Xvfb") and shutil.which("openbox"), "needs the program, Xvfb, openbox")
class GadgetTest(GadgetCase):
    def write_ini(self, text):
        with open(os.path.join(self.folder, "quorvel.ini"), "wb") as f:
            f.write(text.encode("utf-8"))

    def read_ini(self):
        with open(os.path.join(self.folder, "quorvel.ini"), "rb") as f:
            return f.read().decode("utf-8")

    def test_first_run_uses_default_size_and_creates_no_file(self):
        run = self.gadget()
        _, _, width, height = run.outer()
        self.assertAlmostEqual(width, px(2500), delta=1)
        self.assertAlmostEqual(height, px(3000), delta=1)
        self.assertEqual(run.frame_extents()[2], 0, "starts without a title bar")
        self.assertEqual(run.close(), 0)
        self.assertFalse(os.path.exists(run.ini))
        self.assertFalse(os.path.exists(run.profile), "closing does not save the placement")

    def test_left_drag_moves_the_window(self):
        self.check_drag_moves_the_window(self.gadget())

    def check_drag_moves_the_window(self, run):
        x0, y0, _, _ = run.outer()
        run.drag(120, 70)
        moved = wait_for(lambda: run.outer()[:2] != (x0, y0), timeout=3)
        self.assertTrue(moved, "the window did not follow the mouse")
        x1, y1, _, _ = run.outer()
        self.assertAlmostEqual(x1 - x0, 120, delta=6)
        self.assertAlmostEqual(y1 - y0, 70, delta=6)

    def test_menu_toggles_title_bar_and_keep_in_front(self):
        run = self.gadget()
        run.menu_command("s")
        self.assertTrue(wait_for(lambda: run.frame_extents()[2] > 0, timeout=3), "no title bar")
        self.assertIn('"Quorvel Ver.1.1.0"', run.title())
        run.menu_command("s")
        self.assertTrue(wait_for(lambda: run.frame_extents()[2] == 0, timeout=3), "title bar stayed")

        run.menu_command("t")
        self.assertTrue(wait_for(lambda: "_NET_WM_STATE_ABOVE" in run.net_state(), timeout=3))
        run.menu_command("t")
        self.assertTrue(wait_for(lambda: "_NET_WM_STATE_ABOVE" not in run.net_state(), timeout=3))
        self.assertIsNone(run.proc.poll(), "still running")

    def test_menu_opens_at_the_mouse(self):
        run = self.gadget()
        self.check_menu_opens_at_the_mouse(run)
        # Kept for a person to look at: the captions must show as text, not empty boxes.
        artifacts = os.environ.get("QUORVEL_E2E_ARTIFACTS", self.tmp)
        os.makedirs(artifacts, exist_ok=True)
        self.session.screenshot(os.path.join(artifacts, "menu.png"))
        self.session.xdotool("key", "Escape")

    def check_menu_opens_at_the_mouse(self, run):
        cx, cy = run.center()
        menus = run.open_menu(cx, cy)
        self.assertTrue(menus, "no pop-up menu")
        mx, my, _, _ = run.client(menus[0])
        self.assertAlmostEqual(mx, cx, delta=4)
        self.assertAlmostEqual(my, cy, delta=4)

    def test_quit_saves_settings_and_placement_and_next_start_restores_it(self):
        self.write_ini("; my gadget\r\nMax=5000\r\n")
        run = self.gadget()
        self.session.xdotool("windowmove", run.window, 200, 150)
        time.sleep(1.5)  # at least one tick, so the per-tick items are looked up
        placement = run.outer()
        run.menu_command("q")
        self.assertEqual(run.wait_exit(), 0)
        lines = self.read_ini().split("\r\n")
        self.assertEqual(lines[:3], ["[General]", "; my gadget", "Max = 5000"])
        names = [line.split(" = ")[0] for line in lines[3:] if line]
        self.assertEqual(names[:12], ["Bunkaino", "BarX", "BarXColor", "BarXInterval", "BarY", "BarYColor",
                                      "BarYInterval", "BackColor", "TimerValue", "RedLineSource",
                                      "GreenLineSource", "NotShowSum"])
        self.assertEqual(names[12:], ["LineColorSent", "LineColorRecieved"])
        with open(run.profile, encoding="utf-8") as f:
            profile = f.read()
        for key in ("WindowTop", "WindowLeft", "WindowWidth", "WindowHeight"):
            self.assertIn(key, profile)

        again = self.gadget()
        restored = again.outer()
        for got, want in zip(restored, placement):
            self.assertAlmostEqual(got, want, delta=1)

    def test_other_close_rewrites_settings_but_not_placement(self):
        # The window manager's close, and the end of a session (logout, kill, a service
        # manager's stop): each unloads the window.
        closes = {"window manager": lambda run: run.close(),
                  "SIGTERM": lambda run: run.signal(signal.SIGTERM),
                  "SIGHUP": lambda run: run.signal(signal.SIGHUP)}
        for name, close in closes.items():
            with self.subTest(close=name):
                self.write_ini("Max=5000\r\n")
                run = self.gadget()
                time.sleep(2.5)  # a few ticks: sampling and drawing run before the close
                self.assertEqual(close(run), 0)
                self.assertTrue(self.read_ini().startswith("[General]\r\nMax = 5000\r\nBunkaino = 10\r\n"))
                self.assertFalse(os.path.exists(run.profile))

    def test_placement_off_every_screen_opens_on_screen(self):
        os.makedirs(os.path.join(self.home, ".config"))
        with open(os.path.join(self.home, ".config", "Kelvane SoftWares.ini"), "w", encoding="utf-8") as f:
            f.write("[Quorvel]\nWindowTop=200000\nWindowLeft=200000\nWindowWidth=2500\nWindowHeight=3000\n")
        run = self.gadget()
        x, y, w, h = run.outer()
        self.assertLess(x, self.session.size[0])
        self.assertLess(y, self.session.size[1])
        self.assertGreater(x + w, 0)
        self.assertGreater(y + h, 0)

    def test_bad_setting_shows_one_error_report_and_exits_non_zero(self):
        # An error in the load step, and one in every tick of a fast timer: the report stops
        # the timer before its box, so the box stays the only one until it is closed.
        cases = {"Bunkaino=0\r\n": "Subscript out of range",
                 "LineColorSent=abc\r\nTimerValue=200\r\n": "Type mismatch"}
        for ini, error in cases.items():
            with self.subTest(ini=ini):
                self.write_ini(ini)
                exe = os.path.join(self.folder, "quorvel")
                proc = subprocess.Popen([exe], env=self.session.env(self.home), stderr=subprocess.PIPE, text=True)
                try:
                    self.assertTrue(wait_for(lambda: self.error_boxes(proc), timeout=15), "no error box")
                    time.sleep(4)
                    boxes = self.error_boxes(proc)
                    self.assertEqual(len(boxes), 1)
                    self.session.xdotool("windowactivate", "--sync", boxes[0])
                    self.session.xdotool("key", "Return")
                    status = proc.wait(timeout=10)
                finally:
                    if proc.poll() is None:
                        proc.kill()
                        proc.wait()
                self.assertNotEqual(status, 0)
                self.assertIn(error, proc.stderr.read())

    # The three lines on the loopback link (NotShowSum = True draws the sum), each in a
    # colour of its own.
    READ_OUT_INI = ("NotShowSum=True\r\nRedLineSource=\\Network Interface(lo)\\Bytes Sent/sec\r\n"
                    "GreenLineSource=\\Network Interface(lo)\\Bytes Received/sec\r\n"
                    "LineColorRecieved=255\r\nLineColorSent=65280\r\nLineColorSum=16776960\r\n")
    SWATCHES = {"red": (255, 0, 0), "green": (0, 255, 0), "sum": (0, 255, 255)}

    def test_resting_on_the_graph_opens_the_read_out_with_a_swatch_of_each_line(self):
        self.write_ini(self.READ_OUT_INI)
        run = self.gadget()
        time.sleep(1.5)  # a tick or two, so that there are values
        tip = run.rest_on_graph()
        self.assertIsNotNone(tip, "no tooltip window within 1.5 s of the pointer coming to rest")
        x, y, w, h = run.client(tip)
        cx, cy = run.center()
        self.assertGreater(x, cx, "not right of the pointer")
        self.assertGreater(y, cy, "not below the pointer")
        # Its text cannot be read over X; a few lines of it make it this large at least.
        self.assertGreater(w, 80)
        self.assertGreater(h, 3 * 10)
        shot = os.path.join(self.tmp, "tip.png")
        self.session.screenshot(shot)
        found = pixels(shot, x, y, w, h)
        for name, colour in self.SWATCHES.items():
            self.assertGreaterEqual(found.count(colour), 9, f"no {name} swatch in the read-out")
        # Leaving the graph closes it.
        self.session.xdotool("mousemove", 1, 1)
        self.assertTrue(wait_for(lambda: not run.tooltips(), timeout=3), "the read-out stayed open")

    def test_with_the_read_out_open_a_drag_and_a_right_click_work_as_before(self):
        self.write_ini(self.READ_OUT_INI)
        run = self.gadget()
        self.assertIsNotNone(run.rest_on_graph(), "no read-out")
        self.check_drag_moves_the_window(run)
        self.assertFalse(run.tooltips(), "the read-out stayed open through the drag")
        self.assertIsNotNone(run.rest_on_graph(), "no read-out after the drag")
        self.check_menu_opens_at_the_mouse(run)
        self.assertFalse(run.tooltips(), "the read-out stayed open with the menu")
        self.session.xdotool("key", "Escape")

    @unittest.skipUnless(Traffic.available(), "needs root to make network namespaces")
    def test_auto_max_keeps_every_line_inside_the_graph_as_the_traffic_changes(self):
        # UDP at a rate that changes every second over the loopback link of a namespace of
        # our own; the lines and the grid in colours apart, on black.
        traffic = Traffic(loopback=True)
        self.write_ini("Max=auto\r\nBarXInterval=auto\r\nBunkaino=5\r\n"
                       f"RedLineSource=\\Network Interface({traffic.link})\\Bytes Sent/sec\r\n"
                       f"GreenLineSource=\\Network Interface({traffic.link})\\Bytes Received/sec\r\n"
                       "NotShowSum=True\r\nLineColorRecieved=255\r\nLineColorSent=65280\r\nLineColorSum=16776960\r\n"
                       "BarXColor=16711680\r\nBarYColor=16711680\r\n")
        try:
            traffic.__enter__()
        except RuntimeError as e:
            # `ip netns exec` remounts /sys for the namespace, which a chroot cannot do.
            self.skipTest(f"no network namespace of our own here: {e}")
        self.addCleanup(traffic.__exit__, None, None, None)
        run = self.gadget(wrap=traffic.wrap)
        self.session.xdotool("mousemove", 1, 1)  # no read-out over the graph
        # Every sample on the graph taken under traffic: with a fixed top far below the
        # traffic no line would show at all.
        time.sleep(6.5)
        x, y, w, h = run.client()
        for shot_number in range(4):
            shot = os.path.join(self.tmp, f"auto-{shot_number}.png")
            self.session.screenshot(shot)
            found = pixels(shot, x, y, w, h)
            rows = [r for r in range(h) if any(found[r * w + c] in self.SWATCHES.values() for c in range(w))]
            self.assertTrue(rows, f"no line drawn in shot {shot_number}")
            # The drawing area starts inside the border, whose pixels are greys.
            inside = ((0, 0, 0), (0, 0, 255), *self.SWATCHES.values())
            top = next(r for r in range(h) if found[r * w + w // 2] in inside)
            # A peak a hair below the top may round onto the edge's row; a line clipped at
            # the top runs along it.
            on_edge = sum(1 for c in range(w) if found[top * w + c] in self.SWATCHES.values())
            self.assertLess(on_edge, 4, f"a line runs along the top edge in shot {shot_number}")
            self.assertLess(rows[0], top + (h - top) * 2 // 3,
                            f"the largest line in the lower third in shot {shot_number}")
            time.sleep(1)

    def error_boxes(self, proc):
        """The program's visible windows titled with the product name: its error boxes."""
        windows = self.session.xdotool("search", "--onlyvisible", "--pid", proc.pid).split()
        return [w for w in windows
                if '"Quorvel"' in self.session.run_text(["xprop", "-id", w, "-notype", "_NET_WM_NAME"])]

    def test_screenshot_shows_grid_and_lines_where_the_settings_put_them(self):
        # A counter that reads 0 on a machine without remote-access links puts both lines
        # on the bottom edge; the red line is drawn last and lies on top.
        self.write_ini("RedLineSource=\\RAS Total\\Total Connections\r\n"
                       "GreenLineSource=\\RAS Total\\Total Connections\r\n"
                       "LineColorRecieved=255\r\nBarXColor=16711680\r\nBarYColor=65280\r\n")
        run = self.gadget()
        time.sleep(2.5)
        shot = os.path.join(self.tmp, "gadget.png")
        self.session.screenshot(shot)
        x, y, w, h = run.outer()
        # Horizontal bars every 1000 of 9000: one ninth of the height apart, in blue.
        row = y + round(h * 1000 / 9000)
        rows = [self.session.pixel(shot, x + w // 3, r) for r in range(row - 2, row + 3)]
        self.assertIn((0, 0, 255), rows, f"no blue bar near row {row}: {rows}")
        # Vertical bars at the left edge (sample 0) in green 65280.
        cols = [self.session.pixel(shot, c, y + h // 3) for c in range(x, x + 3)]
        self.assertIn((0, 255, 0), cols, f"no green bar at the left edge: {cols}")
        # Background between the bars stays black.
        self.assertEqual(self.session.pixel(shot, x + w // 3 + 3, y + round(h * 1500 / 9000)), (0, 0, 0))
        # The red line at value 0 runs along the bottom edge.
        bottom = [self.session.pixel(shot, x + w // 2, r) for r in range(y + h - 3, y + h)]
        self.assertIn((255, 0, 0), bottom, f"no red line at the bottom: {bottom}")


if __name__ == "__main__":
    unittest.main(verbosity=2)
