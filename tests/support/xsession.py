"""X sessions for the display tests: an Xvfb with openbox on it, stopped by process id.
"xsession.py start|stop DIR" (the CTest fixture XSession) keeps DIR/display and DIR/pids for
the run, which Session.shared() finds through QUORVEL_XSESSION (= DIR); Session.own() starts one."""

import contextlib
import os
import pathlib
import shutil
import signal
import subprocess
import sys
import tempfile
import time


def wait_for(predicate, timeout=10.0, step=0.05):
    """Polls until predicate() returns something true; returns it, or None on time-out."""
    end = time.monotonic() + timeout
    while not (result := predicate()) and time.monotonic() < end:
        time.sleep(step)
    return result or None


def pixels(path, x, y, width, height):
    """The (r, g, b) of every pixel of a rectangle of a picture (PNG, or "xwd:FILE"), row by row."""
    out = subprocess.run(["convert", path, "-crop", f"{width}x{height}+{x}+{y}", "+repage", "-depth", "8", "txt:-"],
                         capture_output=True, text=True, check=True).stdout
    # "x,y: (r,g,b)  #RRGGBB  srgb(...)" after a comment line
    hexes = [line.split("#")[1][:6] for line in out.splitlines() if not line.startswith("#")]
    return [tuple(int(h[i:i + 2], 16) for i in (0, 2, 4)) for h in hexes]


def _quiet(args, display):
    return subprocess.run(args, env={**os.environ, "DISPLAY": display}, capture_output=True, text=True)


def _start_once(folder, server_prefix, wm):
    read_fd, write_fd = os.pipe()
    xvfb = subprocess.Popen([*server_prefix, "Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1024x768x24",
                             "-nolisten", "tcp", "-dpi", "96"], pass_fds=(write_fd,), stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, start_new_session=True)
    os.close(write_fd)
    with os.fdopen(read_fd) as pipe:
        number = pipe.readline().strip()
    pids, display = [xvfb.pid], f":{number}"
    if not number or not wait_for(lambda: _quiet(["xprop", "-root", "-len", "0"], display).returncode == 0, 30):
        return pids, None, "Xvfb did not start"
    if not wm:
        return pids, display, None
    errors = os.path.join(folder, "openbox.err")
    with open(errors, "wb") as out:
        openbox = subprocess.Popen(["openbox", "--sm-disable"], env=_env(display, folder), stdout=subprocess.DEVNULL,
                                   stderr=out, start_new_session=True)
    pids.append(openbox.pid)
    # openbox announces itself on the root window once it manages the screen.
    if not wait_for(lambda: openbox.poll() is not None or
                    "_NET_SUPPORTING_WM_CHECK(WINDOW)" in _quiet(["xprop", "-root"], display).stdout, 30) \
            or openbox.poll() is not None:
        said = pathlib.Path(errors).read_bytes()[-300:]
        return pids, None, f"openbox on {display} ended with {openbox.poll()}: {said!r}"
    return pids, display, None


def _env(display, home):
    env = {k: v for k, v in os.environ.items() if not k.startswith(("QT_", "XDG_", "WAYLAND"))}
    env.update(DISPLAY=display, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"), XDG_RUNTIME_DIR=home,
               QT_QPA_PLATFORM="xcb", LC_ALL="C.UTF-8")
    return env


def _end(pids):
    for pid in reversed(pids):
        with contextlib.suppress(ProcessLookupError):
            os.kill(pid, signal.SIGTERM)
    for pid in pids:
        wait_for(lambda: _gone(pid), 5)


def _gone(pid):
    with contextlib.suppress(ChildProcessError):
        if os.waitpid(pid, os.WNOHANG)[0]:
            return True  # a child of this process, reaped
    return not os.path.exists(f"/proc/{pid}")


def start(folder, server_prefix=(), wm=True):
    os.makedirs(folder, exist_ok=True)
    stop(folder)
    problems = []
    # A loaded machine now and then refuses a new server's first client: start afresh then.
    for attempt in range(3):
        pids, display, problem = _start_once(folder, server_prefix, wm)
        if display:
            pathlib.Path(folder, "pids").write_text(" ".join(map(str, pids)))
            pathlib.Path(folder, "display").write_text(display)
            return display
        _end(pids)
        problems.append(problem)
        time.sleep(attempt + 1)
    raise RuntimeError("the X session did not start: " + " / ".join(problems))


def stop(folder):
    _end([int(pid) for pid in _read(folder, "pids").split()])
    for name in ("pids", "display"):
        pathlib.Path(folder, name).unlink(missing_ok=True)


def _read(folder, name):
    return pathlib.Path(folder, name).read_text() if folder and os.path.exists(os.path.join(folder, name)) else ""


class Session:
    """A display with openbox, and what a test does on it with the X tools."""

    size = (1024, 768)

    def __init__(self, display, folder=None):
        self.display, self.folder = display, folder

    @classmethod
    def own(cls, server_prefix=(), wm=True):
        folder = tempfile.mkdtemp(prefix="quorvel-x-")  # kept, with openbox.err, when the session does not start
        return cls(start(folder, server_prefix, wm), folder)

    @classmethod
    def shared(cls):
        """The fixture's session; one of its own when the test runs outside ctest."""
        display = _read(os.environ.get("QUORVEL_XSESSION"), "display").strip()
        return cls(display) if display else cls.own()

    @property
    def server_pid(self):
        return int(_read(self.folder, "pids").split()[0])

    def stop(self):
        if self.folder:
            stop(self.folder)
            shutil.rmtree(self.folder, ignore_errors=True)

    def env(self, home, extra=None):
        """An environment for a program on this display with its own home; None in extra unsets."""
        env = {**_env(self.display, home), **(extra or {})}
        return {name: value for name, value in env.items() if value is not None}

    def run_text(self, args):
        return _quiet(args, self.display).stdout

    def xdotool(self, *args):
        return self.run_text(["xdotool", *[str(a) for a in args]]).strip()

    def screenshot(self, path, window="root"):
        subprocess.run(["import", "-display", self.display, "-window", window, path], check=True)
        return path


if __name__ == "__main__":
    {"start": lambda folder: print(start(folder)), "stop": stop}[sys.argv[1]](sys.argv[2])
