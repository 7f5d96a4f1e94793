"""The Linux launcher: the real program under Xvfb and openbox (the X session the test run
shares), with the shared scenarios and the cases only Linux has."""

import configparser
import os
import shutil
import signal
import socket
import subprocess
import sys
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [os.path.join(HERE, ".."), os.path.join(HERE, "..", "..", "support")]
from scenarios import BLUE, GREEN, RECEIVED, RED, SENT, GadgetCase, Scenarios, px  # noqa: E402
from xsession import Session, pixels, wait_for  # noqa: E402

BINARY = os.environ.get("QUORVEL_BIN", "")


# 0 to 300 datagrams of 1400 bytes a second, to the discard port.
SENDER = """
import random, socket, time
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
random.seed(1)
while True:
    start = time.monotonic()
    for _ in range(random.randint(0, 300)):
        s.sendto(bytes(1400), ("127.0.0.1", 9))
    time.sleep(max(0.0, 1.0 - (time.monotonic() - start)))
"""


@unittest.skipUnless(BINARY and shutil.which("Xvfb") and shutil.which("openbox"), "needs the program, Xvfb, openbox")
class LinuxGadgetTest(Scenarios, GadgetCase):
    PLATFORM = "linux"
    # The window manager's close, and the end of a session (logout, kill, a service
    # manager's stop): each unloads the window.
    ENDS = {"window manager": lambda case, run: run.close(),
            "SIGTERM": lambda case, run: run.proc.send_signal(signal.SIGTERM) or run.wait_exit(),
            "SIGHUP": lambda case, run: run.proc.send_signal(signal.SIGHUP) or run.wait_exit()}

    @classmethod
    def setUpClass(cls):
        cls.session = Session.shared()

    @classmethod
    def tearDownClass(cls):
        cls.session.stop()

    def install(self):
        shutil.copy(BINARY, os.path.join(self.folder, "quorvel"))

    def launch(self, env, values):
        return [os.path.join(self.folder, "quorvel")], self.session.env(self.home, env)

    def placement(self):
        store = configparser.ConfigParser()
        store.optionxform = str
        store.read(os.path.join(self.home, ".config", "Kelvane SoftWares.ini"), encoding="utf-8")
        return dict(store["Quorvel"]) if store.has_section("Quorvel") else {}

    def test_placement_at_150_and_200_percent_is_centred_and_round_trips(self):
        # A saved placement off every screen (an unplugged monitor) counts as none.
        os.makedirs(os.path.join(self.home, ".config"))
        for scale in ("1.5", "2"):
            with self.subTest(scale=scale):
                with open(os.path.join(self.home, ".config", "Kelvane SoftWares.ini"), "w") as f:
                    f.write("[Quorvel]\nWindowTop=200000\nWindowLeft=200000\nWindowWidth=2500\nWindowHeight=3000\n")
                run = self.start({"QT_SCALE_FACTOR": scale})
                x, y, w, h = run.outer()
                self.near((w, h), (px(2500, float(scale)), px(3000, float(scale))), 1, "is not the default size")
                self.near((2 * x + w, 2 * y + h), self.session.size, 2, "is not centred")
                # Moved off the centre, so that the round trip cannot pass by centring again.
                self.session.xdotool("windowmove", run.window, 101, 77)
                self.assertTrue(wait_for(lambda: run.outer()[:2] != (x, y), 5), "the window did not move")
                placed = run.outer()
                run.menu_command("q")
                self.assertEqual(run.wait_exit(), 0)
                first = self.placement()
                again = self.start({"QT_SCALE_FACTOR": scale})
                self.near(again.outer(), placed, 1, "is not where it was quit")
                again.menu_command("q")
                self.assertEqual(again.wait_exit(), 0)
                self.assertEqual(self.placement(), first, "the stored twips drift")

    def test_session_with_wayland_and_x11_connects_through_x11(self):
        # A compositor socket that accepts and never answers: a Wayland client would wait
        # on it for good, so only an X11 connection shows the window.
        listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.addCleanup(listener.close)
        listener.bind(os.path.join(self.home, "wayland-quorvel"))
        listener.listen(4)
        run = self.start({"WAYLAND_DISPLAY": "wayland-quorvel", "XDG_SESSION_TYPE": "wayland",
                          "QT_QPA_PLATFORM": None})
        self.assertEqual(run.outer()[2:], (167, 200))

    def test_the_graph_has_a_window_of_its_own_and_comes_back_where_the_menu_covered_it(self):
        self.write_ini(b"BarXColor=16711680\r\nTimerValue=0\r\n")  # no ticks: only the expose can bring it back
        run = self.start()
        x, y, w, h = run.client()
        row, column = y + round(h / 9), x + w // 2
        # On X11 the graph is drawn on a window of its own, covering the client area.
        out = self.session.run_text(["xwininfo", "-children", "-id", run.window])
        graph = [line.split()[0] for line in out.splitlines() if line.strip().startswith("0x")]
        self.assertEqual([run.client(window)[2:] for window in graph], [(w, h)], "the graph has no window of its own")

        def bar_shown():
            return BLUE in pixels(self.shot("expose"), column, row - 2, 1, 5)
        self.assertTrue(wait_for(bar_shown), "no blue bar before the menu")
        self.assertTrue(run.open_menu(column - 5, row - 5), "no pop-up menu")  # it opens over the bar
        self.assertTrue(wait_for(lambda: not bar_shown()), "the menu did not cover the bar")
        self.session.xdotool("key", "Escape")
        self.assertTrue(wait_for(bar_shown), "the bar did not come back after the menu closed")

    def test_auto_max_keeps_every_line_inside_the_graph_as_the_traffic_changes(self):
        # UDP over the loopback link at a rate that changes every second; the lines and the
        # grid in colours apart, on black.
        self.write_ini(f"Max=auto\r\nBarXInterval=auto\r\nBunkaino=5\r\nNotShowSum=True\r\nRedLineSource={SENT}\r\n"
                       f"GreenLineSource={RECEIVED}\r\nLineColorRecieved=255\r\nLineColorSent=65280\r\n"
                       "LineColorSum=16776960\r\nBarXColor=16711680\r\nBarYColor=16711680\r\n".encode())
        sender = subprocess.Popen([sys.executable, "-c", SENDER])
        self.addCleanup(sender.wait)
        self.addCleanup(sender.kill)
        run = self.start()
        self.session.xdotool("mousemove", 1, 1)  # no read-out over the graph
        # Every sample on the graph taken under traffic: with a fixed top far below the
        # traffic no line would show at all.
        time.sleep(6.5)
        x, y, w, h = run.client()
        lines = (RED, GREEN, (0, 255, 255))
        for number in range(4):
            found = pixels(self.shot(f"auto-{number}"), x, y, w, h)
            rows = [r for r in range(h) if any(found[r * w + c] in lines for c in range(w))]
            self.assertTrue(rows, f"no line drawn in shot {number}")
            # The drawing area starts inside the border, whose pixels are greys.
            top = next(r for r in range(h) if found[r * w + w // 2] in ((0, 0, 0), BLUE, *lines))
            # A peak a hair below the top may round onto the edge's row; a line clipped at
            # the top runs along it.
            on_edge = sum(1 for c in range(w) if found[top * w + c] in lines)
            self.assertLess(on_edge, 4, f"a line runs along the top edge in shot {number}")
            self.assertLess(rows[0], top + (h - top) * 2 // 3, f"the largest line in the lower third in shot {number}")
            time.sleep(1)


@unittest.skipUnless(BINARY and shutil.which("Xvfb") and shutil.which("openbox"), "needs the program, Xvfb, openbox")
class AutostartTest(unittest.TestCase):
    """The gadget and the window manager started together, as a login session does."""

    def test_window_appears_when_started_with_the_window_manager(self):
        # Each case: how long the window manager stays busy right after it announced itself.
        for busy in (0, 3):
            with self.subTest(busy=busy):
                session = Session.own(wm=False)
                self.addCleanup(session.stop)
                env = session.env(session.folder)
                wm = subprocess.Popen(["openbox", "--sm-disable"], env=env, stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL)
                gadget = subprocess.Popen([BINARY], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                for proc in (wm, gadget):
                    self.addCleanup(proc.wait)
                    self.addCleanup(proc.kill)
                if busy:
                    self.assertTrue(wait_for(lambda: "_NET_SUPPORTING_WM_CHECK(WINDOW)" in
                                             session.run_text(["xprop", "-root"]), 30, 0.002), "no window manager")
                    os.kill(wm.pid, signal.SIGSTOP)
                    time.sleep(busy)
                    os.kill(wm.pid, signal.SIGCONT)
                shown = wait_for(lambda: session.xdotool("search", "--onlyvisible", "--pid", gadget.pid), 30)
                self.assertTrue(shown, "the window stayed unmapped")


if __name__ == "__main__":
    unittest.main(verbosity=2)
