"""The Linux launcher: the real program under Xvfb and openbox (the X session the test run
shares), with the shared scenarios and the cases only Linux has."""

import os
import pathlib
import re
import shutil
import signal
import socket
import subprocess
import sys
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [os.path.join(HERE, ".."), os.path.join(HERE, "..", "..", "support")]
from scenarios import Gadget, GadgetCase, Scenarios  # noqa: E402
from xsession import Session, wait_for  # noqa: E402

BINARY = os.environ.get("QUORVEL_BIN", "")


@unittest.skipUnless(BINARY and shutil.which("Xvfb") and shutil.which("openbox"), "needs the program, Xvfb, openbox")
class LinuxGadgetTest(Scenarios, GadgetCase):
    BINARY = BINARY
    # The end of a session (logout, kill, a service manager's stop): each unloads the window.
    ENDS = {"SIGTERM": lambda case, run: run.proc.send_signal(signal.SIGTERM) or run.wait_exit(),
            "SIGHUP": lambda case, run: run.proc.send_signal(signal.SIGHUP) or run.wait_exit()}

    def launch(self, env, values):
        return [self.exe], self.session.env(self.home, env)

    def scaled(self, factor):
        return {"QT_SCALE_FACTOR": str(factor)}

    def placement(self):  # the one section of the per-user file
        path = pathlib.Path(self.home, ".config", "Kelvane SoftWares.ini")
        return dict(re.findall(r"^(\w+)=(.*)$", path.read_text(), re.M)) if path.exists() else {}

    def test_session_with_wayland_and_x11_connects_through_x11_and_draws_the_graph_on_an_x_window(self):
        # A compositor socket that accepts and never answers: a Wayland client would wait
        # on it for good, so only an X11 connection shows the window.
        listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.addCleanup(listener.close)
        listener.bind(os.path.join(self.home, "wayland-quorvel"))
        listener.listen(4)
        run = self.start({"WAYLAND_DISPLAY": "wayland-quorvel", "XDG_SESSION_TYPE": "wayland",
                          "QT_QPA_PLATFORM": None})
        # The graph has a window of its own, covering the client area.
        out = self.session.run_text(["xwininfo", "-children", "-id", run.window])
        graph = [line.split()[0] for line in out.splitlines() if line.strip().startswith("0x")]
        self.assertEqual([run.client(w)[2:] for w in graph], [run.client()[2:]], "no window of the graph's own")

    def test_window_appears_when_started_with_the_window_manager(self):
        # As a login session starts them; each case: how long the window manager stays busy
        # right after it announced itself.
        for busy in (0, 3):
            with self.subTest(busy=busy):
                session = Session.own(wm=False)
                self.addCleanup(session.stop)
                wm = subprocess.Popen(["openbox", "--sm-disable"], env=session.env(self.home),
                                      stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                self.addCleanup(lambda: wm.kill() or wm.wait())
                run = Gadget(session, [self.exe], session.env(self.home), wait=False)
                self.addCleanup(run.kill)
                if busy:
                    self.assertTrue(wait_for(lambda: "_NET_SUPPORTING_WM_CHECK(WINDOW)" in
                                             session.run_text(["xprop", "-root"]), 30, 0.002), "no window manager")
                    os.kill(wm.pid, signal.SIGSTOP)
                    time.sleep(busy)
                    os.kill(wm.pid, signal.SIGCONT)
                self.assertTrue(wait_for(run.windows, 30), "the window stayed unmapped")


if __name__ == "__main__":
    unittest.main(verbosity=2)
