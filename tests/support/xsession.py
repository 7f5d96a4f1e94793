"""The X session the display tests share: one Xvfb with openbox on it, started once for a
test run by the CTest fixture XSession and stopped by process id at its end.

  xsession.py start DIR   starts the pair, writes DIR/display (":N") and DIR/pids, returns
  xsession.py stop DIR    ends the processes named in DIR/pids

A test finds the display through the environment variable QUORVEL_XSESSION (= DIR).
"""

import os
import signal
import subprocess
import sys
import time


def wait_for(predicate, timeout=10.0, step=0.05):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        result = predicate()
        if result:
            return result
        time.sleep(step)
    return None


def _quiet(args, display):
    return subprocess.run(args, env={**os.environ, "DISPLAY": display}, capture_output=True, text=True)


def _start_once(folder, width, height):
    read_fd, write_fd = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{width}x{height}x24",
                             "-nolisten", "tcp", "-dpi", "96"],
                            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                            start_new_session=True)
    os.close(write_fd)
    with os.fdopen(read_fd) as pipe:
        number = pipe.readline().strip()
    pids = [xvfb.pid]
    display = f":{number}"
    if not number or not wait_for(lambda: _quiet(["xprop", "-root", "-len", "0"], display).returncode == 0, 30):
        return pids, None, "Xvfb did not start"
    home = os.path.join(folder, "home")
    os.makedirs(home, exist_ok=True)
    env = {k: v for k, v in os.environ.items() if not k.startswith(("QT_", "XDG_", "WAYLAND"))}
    env.update(DISPLAY=display, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"), XDG_RUNTIME_DIR=home)
    with open(os.path.join(folder, "openbox.err"), "wb") as errors:
        wm = subprocess.Popen(["openbox", "--sm-disable"], env=env, stdout=subprocess.DEVNULL, stderr=errors,
                              start_new_session=True)
    pids.append(wm.pid)
    # openbox announces itself on the root window once it manages the screen.
    if not wait_for(lambda: wm.poll() is not None or
                    "_NET_SUPPORTING_WM_CHECK(WINDOW)" in _quiet(["xprop", "-root"], display).stdout, 30) \
            or wm.poll() is not None:
        return pids, None, f"openbox on {display} ended with {wm.poll()}"
    return pids, display, None


def _end(pids):
    for pid in reversed(pids):
        try:
            os.kill(pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
    for pid in pids:
        for _ in range(100):
            try:
                os.kill(pid, 0)
            except ProcessLookupError:
                break
            time.sleep(0.05)


def start(folder, width=1024, height=768):
    os.makedirs(folder, exist_ok=True)
    stop(folder)
    problems = []
    # A loaded machine now and then refuses a new server's first client: start afresh then.
    for attempt in range(3):
        pids, display, problem = _start_once(folder, width, height)
        if display:
            with open(os.path.join(folder, "pids"), "w") as out:
                out.write(" ".join(str(pid) for pid in pids))
            with open(os.path.join(folder, "display"), "w") as out:
                out.write(display)
            return display
        _end(pids)
        problems.append(problem)
        time.sleep(attempt + 1)
    raise RuntimeError("the X session did not start: " + " / ".join(problems))


def stop(folder):
    try:
        with open(os.path.join(folder, "pids")) as source:
            pids = [int(word) for word in source.read().split()]
    except (OSError, ValueError):
        pids = []
    _end(pids)
    for name in ("pids", "display"):
        try:
            os.remove(os.path.join(folder, name))
        except OSError:
            pass


def shared_display():
    """The fixture's display, or None when the test runs outside it."""
    folder = os.environ.get("QUORVEL_XSESSION")
    try:
        with open(os.path.join(folder, "display")) as source:
            return source.read().strip() or None
    except (TypeError, OSError):
        return None


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in ("start", "stop"):
        sys.exit("usage: xsession.py start|stop DIR")
    if sys.argv[1] == "start":
        print(start(sys.argv[2]))
    else:
        stop(sys.argv[2])
