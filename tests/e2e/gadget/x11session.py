"""A private X display (Xvfb) with a real window manager (openbox) for end-to-end tests."""

import os
import shutil
import subprocess
import tempfile
import time


def wait_for(predicate, timeout=10.0, step=0.05):
    """Polls until predicate() returns something true; returns it, or None on time-out."""
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        result = predicate()
        if result:
            return result
        time.sleep(step)
    return None


def pixels(path, x, y, width, height):
    """The (r, g, b) of every pixel of a rectangle of a PNG file, row by row, in one call."""
    out = subprocess.run(["convert", path, "-crop", f"{width}x{height}+{x}+{y}", "+repage", "-depth", "8", "txt:-"],
                         capture_output=True, text=True, check=True).stdout
    # "x,y: (r,g,b)  #RRGGBB  srgb(...)" after a comment line
    hexes = [line.split("#")[1][:6] for line in out.splitlines() if not line.startswith("#")]
    return [tuple(int(h[i:i + 2], 16) for i in (0, 2, 4)) for h in hexes]


class X11Session:
    def __init__(self, width=1024, height=768, server_prefix=()):
        self.size = (width, height)
        self.server_prefix = list(server_prefix)  # e.g. a profiler that runs the server
        self.procs = []
        self.display = None

    def start(self):
        # On a loaded machine a new server now and then refuses its first client, or the
        # window manager gives up on it; start the pair afresh then, a few times at most.
        problems = []
        for attempt in range(3):
            try:
                return self._start_once()
            except RuntimeError as problem:
                problems.append(str(problem))
                self.stop()
                self.procs = []
                # Whatever crowded the machine out may take a moment to pass.
                time.sleep(attempt + 1)
        raise RuntimeError("openbox did not start: " + " / ".join(problems))

    def _start_once(self):
        read_fd, write_fd = os.pipe()
        xvfb = subprocess.Popen(
            [*self.server_prefix, "Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{self.size[0]}x{self.size[1]}x24",
             "-nolisten", "tcp", "-dpi", "96"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            number = pipe.readline().strip()
        self.procs.append(xvfb)
        self.display = f":{number}"
        self.home = tempfile.mkdtemp(prefix="quorvel-wm-")
        if not number or not wait_for(lambda: self.run_code(["xprop", "-root", "-len", "0"]) == 0, timeout=30):
            raise RuntimeError("Xvfb did not start")
        wm_errors = os.path.join(self.home, "openbox.err")
        with open(wm_errors, "wb") as errors:
            wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.env(self.home),
                                  stdout=subprocess.DEVNULL, stderr=errors)
        self.procs.append(wm)
        # openbox announces itself on the root window once it manages the screen.
        announced = wait_for(lambda: wm.poll() is not None or
                             "_NET_SUPPORTING_WM_CHECK(WINDOW)" in self.run_text(["xprop", "-root"]), timeout=30)
        if not announced or wm.poll() is not None:
            with open(wm_errors, "rb") as errors:
                said = errors.read().decode("utf-8", "replace").strip()
            raise RuntimeError(f"openbox on {self.display} ended with {wm.poll()}: {said[-300:]}")
        return self

    def stop(self):
        for proc in reversed(self.procs):
            proc.terminate()
            try:
                proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                proc.kill()
        shutil.rmtree(self.home, ignore_errors=True)

    def env(self, home):
        env = {k: v for k, v in os.environ.items() if not k.startswith(("QT_", "XDG_", "WAYLAND"))}
        env.update(DISPLAY=self.display, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                   QT_QPA_PLATFORM="xcb", LC_ALL="C.UTF-8", XDG_RUNTIME_DIR=home)
        return env

    def run_code(self, args):
        return subprocess.run(args, env={**os.environ, "DISPLAY": self.display}, capture_output=True).returncode

    def run_text(self, args):
        result = subprocess.run(args, env={**os.environ, "DISPLAY": self.display}, capture_output=True, text=True)
        return result.stdout

    def xdotool(self, *args):
        return self.run_text(["xdotool", *[str(a) for a in args]]).strip()

    def screenshot(self, path):
        subprocess.run(["import", "-display", self.display, "-window", "root", path], check=True)

    @staticmethod
    def pixel(path, x, y):
        """The (r, g, b) of one pixel of a PNG file."""
        out = subprocess.run(["convert", path, "-crop", f"1x1+{x}+{y}", "-depth", "8", "txt:-"],
                             capture_output=True, text=True, check=True).stdout
        # "0,0: (r,g,b)  #RRGGBB  srgb(...)" after a comment line
        hexpart = out.strip().splitlines()[-1].split("#")[1][:6]
        return tuple(int(hexpart[i:i + 2], 16) for i in (0, 2, 4))
