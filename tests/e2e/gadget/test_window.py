"""The window under a real window manager: its menu, its title bar, a damaged placement
entry, a start together with the window manager, and a Wayland session with XWayland."""

import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import test_gadget  # noqa: E402
from test_gadget import BINARY, Gadget  # noqa: E402
from x11session import X11Session, wait_for  # noqa: E402


def grey_rows(path, x, y, width, height):
    """The luminance (0-255) of every pixel of a rectangle of a PNG file, row by row."""
    out = subprocess.run(["convert", path, "-crop", f"{width}x{height}+{x}+{y}", "+repage", "-colorspace", "gray",
                          "-depth", "8", "txt:-"], capture_output=True, text=True, check=True).stdout
    rows = [[255] * width for _ in range(height)]
    for line in out.splitlines()[1:]:
        at, value = line.split(":", 1)
        col, row = (int(v) for v in at.split(","))
        rows[row][col] = int(value.split("(")[1].split(")")[0].split(",")[0].split(".")[0])
    return rows


def background(rows):
    """The commonest luminance: the menu's background."""
    values = [v for row in rows for v in row]
    return max(set(values), key=values.count)


def ink_bands(rows, dark):
    """Runs of rows holding pixels darker than `dark`: one (first, last) per menu item."""
    bands, start = [], None
    for i, row in enumerate(rows + [[]]):
        inked = any(v < dark for v in row)
        if inked and start is None:
            start = i
        elif not inked and start is not None:
            bands.append((start, i - 1))
            start = None
    return bands


@unittest.skipUnless(BINARY and shutil.which("Xvfb") and shutil.which("openbox"), "needs the program, Xvfb, openbox")
class WindowTest(test_gadget.GadgetCase):

    def start_gadget(self, extra_env=None):
        run = Gadget(self.session, self.folder, self.home)
        self.runs.append(run)
        env = self.session.env(self.home)
        for name, value in (extra_env or {}).items():
            if value is None:
                env.pop(name, None)
            else:
                env[name] = value
        run.proc = subprocess.Popen([os.path.join(self.folder, "quorvel")], env=env, stdout=subprocess.PIPE,
                                    stderr=subprocess.PIPE, text=True)
        run.window = run.wait_window()
        return run

    def menu_shot(self, run):
        """Opens the menu, and returns a screenshot and the menu's rectangle; leaves it open."""
        menus = run.open_menu()
        self.assertTrue(menus, "no pop-up menu")
        time.sleep(0.5)
        shot = os.path.join(self.tmp, "menu.png")
        self.session.screenshot(shot)
        artifacts = os.environ.get("QUORVEL_E2E_ARTIFACTS")
        if artifacts:
            os.makedirs(artifacts, exist_ok=True)
            subprocess.run(["cp", shot, os.path.join(artifacts, f"menu-{self._testMethodName}.png")], check=False)
        return shot, run.client(menus[0])

    def test_menu_marks_only_the_switches_that_are_on(self):
        run = self.start_gadget()
        # Each case: the menu keys pressed first, then which of the four items carry a mark.
        for keys, marked in ((["t"], [False, True, False, False]),
                             (["s"], [False, True, True, False])):
            for key in keys:
                run.menu_command(key)
            shot, (mx, my, mw, mh) = self.menu_shot(run)
            self.session.xdotool("key", "Escape")
            rows = grey_rows(shot, mx + 2, my + 2, mw - 4, mh - 4)
            # Even the faint outline of an empty box counts as ink.
            dark = background(rows) - 24
            # The separator is a thin line: keep the four tallest bands, one per item.
            bands = sorted(sorted(ink_bands(rows, dark), key=lambda b: b[1] - b[0])[-4:])
            self.assertEqual(len(bands), 4, f"menu rows not found in {shot}: {ink_bands(rows, dark)}")
            lefts = [min(i for r in rows[a:b + 1] for i, v in enumerate(r) if v < dark) for a, b in bands]
            text_left = max(lefts)
            got = [left < text_left - 6 for left in lefts]
            self.assertEqual(got, marked, f"leftmost ink per item {lefts} after {keys}")

    def test_title_bar_keeps_the_outer_rectangle_and_quit_saves_it(self):
        run = self.start_gadget()
        before = run.outer()
        client_before = run.client()
        run.menu_command("s")
        self.assertTrue(wait_for(lambda: run.frame_extents()[2] > 0, timeout=5), "no title bar")
        shown = wait_for(lambda: run.outer() == before and run.client()[3] < client_before[3] and run.outer(),
                         timeout=5)
        self.assertEqual(shown, before, f"outer {run.outer()} client {run.client()} before {before}")
        run.menu_command("s")
        self.assertTrue(wait_for(lambda: run.frame_extents()[2] == 0, timeout=5), "title bar stayed")
        self.assertTrue(wait_for(lambda: run.client() == before, timeout=5), f"client {run.client()}")

        run.menu_command("s")
        self.assertTrue(wait_for(lambda: run.frame_extents()[2] > 0 and run.outer() == before, timeout=5))
        run.menu_command("q")
        self.assertEqual(run.wait_exit(), 0)
        again = self.start_gadget()
        self.assertEqual(again.frame_extents()[2], 0)
        for got, want in zip(again.outer(), before):
            self.assertAlmostEqual(got, want, delta=1)

    def test_placement_entry_that_is_not_a_number_opens_without_an_error(self):
        os.makedirs(os.path.join(self.home, ".config"))
        with open(os.path.join(self.home, ".config", "Kelvane SoftWares.ini"), "w", encoding="utf-8") as f:
            f.write("[Quorvel]\nWindowTop=abc\nWindowLeft=300\nWindowWidth=2500\nWindowHeight=3000\n")
        run = self.start_gadget()
        _, _, width, height = run.outer()
        self.assertEqual((width, height), (167, 200))
        self.assertEqual(run.close(), 0)
        self.assertNotIn("Type mismatch", run.proc.stderr.read())

    def test_session_with_wayland_and_x11_connects_through_x11(self):
        # A compositor socket that accepts and never answers: a Wayland client would wait
        # on it for good, so only an X11 connection shows the window.
        listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.addCleanup(listener.close)
        listener.bind(os.path.join(self.home, "wayland-quorvel"))
        listener.listen(4)
        run = self.start_gadget({"WAYLAND_DISPLAY": "wayland-quorvel", "XDG_SESSION_TYPE": "wayland",
                                 "QT_QPA_PLATFORM": None})
        self.assertEqual(run.outer()[2:], (167, 200))


@unittest.skipUnless(BINARY, "needs the program")
class AutostartTest(unittest.TestCase):
    """The gadget and the window manager started together, as a login session does."""

    def start_display(self):
        session = X11Session()
        read_fd, write_fd = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1024x768x24", "-nolisten",
                                 "tcp", "-dpi", "96"], pass_fds=(write_fd,), stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            session.display = ":" + pipe.readline().strip()
        session.procs.append(xvfb)
        session.home = tempfile.mkdtemp(prefix="quorvel-autostart-")
        self.addCleanup(session.stop)
        self.assertTrue(wait_for(lambda: session.run_code(["xprop", "-root", "-len", "0"]) == 0, timeout=30),
                        "Xvfb did not start")
        return session

    def start_together(self):
        """Starts a display, then the window manager and the gadget at the same moment."""
        session = self.start_display()
        env = session.env(session.home)
        wm = subprocess.Popen(["openbox", "--sm-disable"], env=env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
        session.procs.append(wm)
        gadget = subprocess.Popen([BINARY], env=env, cwd=session.home, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
        session.procs.append(gadget)
        return session, wm, gadget

    def test_window_appears_when_started_with_the_window_manager(self):
        # Each case: how long the window manager stays busy right after it announced itself.
        for busy in (0, 3):
            with self.subTest(busy=busy):
                # On a loaded machine the window manager now and then never comes up; that
                # is no fault of the gadget's, so such a start is made afresh.
                for _ in range(3):
                    session, wm, gadget = self.start_together()
                    if not busy or wait_for(lambda: "_NET_SUPPORTING_WM_CHECK(WINDOW)" in
                                            session.run_text(["xprop", "-root"]), timeout=30, step=0.002):
                        break
                else:
                    self.fail("the window manager did not start")
                if busy:
                    os.kill(wm.pid, signal.SIGSTOP)
                    time.sleep(busy)
                    os.kill(wm.pid, signal.SIGCONT)
                shown = wait_for(lambda: session.xdotool("search", "--onlyvisible", "--pid", gadget.pid), timeout=30)
                self.assertTrue(shown, "the window stayed unmapped")


if __name__ == "__main__":
    unittest.main(verbosity=2)
