#!/usr/bin/env python3
"""Installs the Debian package into a fresh Debian 12 root and uses it there as a new user would.

Usage (as root): test_installed.py dist/quorvel_VERSION_ARCH.deb

The minbase root comes from the archive this machine uses (its apt sources); it is made
once with mmdebstrap and kept as a tarball in $QUORVEL_TEST_ROOT_CACHE (default
/var/cache/quorvel-test-root), together with the packages apt downloads, so later runs
unpack it instead of bootstrapping again. Each run unpacks a new copy, binds /proc, /sys
and /dev into it, and removes it all again at the end.

In the root: apt-get installs the package with its dependencies only (no recommended
packages); a new user copies the example settings file to
~/.config/quorvel/ and changes it; the gadget, on the machine's Xvfb with openbox, must
paint the chosen background colour, and write the file back when it is quit from its
menu; apt-get remove must leave none of the package's files behind.
"""

import os
import signal
import subprocess
import sys
import tempfile
import time

sys.path[:0] = [os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", d) for d in ("e2e", "support")]
from scenarios import Gadget  # noqa: E402
from xsession import Session, pixels, wait_for  # noqa: E402

CACHE = os.environ.get("QUORVEL_TEST_ROOT_CACHE", "/var/cache/quorvel-test-root")
SOURCES = next((p for p in ("/etc/apt/sources.list.d/debian.sources", "/etc/apt/sources.list") if os.path.exists(p)),
               None)
USER = "tester"
HOME = f"/home/{USER}"
# 0x00BBGGRR 16744448 is 0xFF8000: blue 255, green 128, red 0; no default colour comes near it.
BACK_COLOUR = 16744448
BACK_RGB = (0, 128, 255)
T0 = time.monotonic()


def log(message):
    print(f"[{time.monotonic() - T0:7.1f}s] {message}", flush=True)


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def base_tarball():
    """The cached minbase root, made first when there is none."""
    tarball = os.path.join(CACHE, "bookworm-minbase.tar")
    if os.path.exists(tarball):
        log(f"reusing {tarball}")
        return tarball
    check(SOURCES is not None, "this machine has no apt sources to bootstrap from")
    os.makedirs(CACHE, exist_ok=True)
    log(f"bootstrapping a minbase Debian 12 root from {SOURCES} (once)")
    # mmdebstrap picks its output format by the name's ending: a tarball needs ".tar".
    part = os.path.join(CACHE, "bookworm-minbase.part.tar")
    subprocess.run(["rm", "-rf", part], check=True)
    subprocess.run(["mmdebstrap", "--variant=minbase", "--quiet", "bookworm", part, SOURCES], check=True)
    os.replace(part, tarball)
    log("bootstrapped")
    return tarball


class Root:
    """An unpacked copy of the base root with /proc, /sys, /dev and apt's package cache bound in."""

    def __init__(self, tarball):
        self.path = tempfile.mkdtemp(prefix="root.", dir=CACHE)
        self.mounts = []
        try:
            self.populate(tarball)
        except BaseException:
            self.close()
            raise

    def populate(self, tarball):
        subprocess.run(["tar", "-C", self.path, "-xf", tarball], check=True)
        with open("/etc/resolv.conf", "rb") as src, open(self.at("/etc/resolv.conf"), "wb") as dst:
            dst.write(src.read())
        # The root is thrown away after the test: dpkg need not wait for every file to reach the disk.
        with open(self.at("/etc/dpkg/dpkg.cfg.d/unsafe-io"), "w") as cfg:
            cfg.write("force-unsafe-io\n")
        archives = os.path.join(CACHE, "archives")
        os.makedirs(os.path.join(archives, "partial"), exist_ok=True)
        for source, target in (("/proc", "/proc"), ("/sys", "/sys"), ("/dev", "/dev"), ("/dev/pts", "/dev/pts"),
                               (archives, "/var/cache/apt/archives")):
            subprocess.run(["mount", "--bind", source, self.at(target)], check=True)
            self.mounts.append(self.at(target))

    def at(self, path):
        return os.path.join(self.path, path.lstrip("/"))

    def command(self, script, user=None, env=None):
        """argv that runs a shell script in the root, as root or as `user`, with a clean environment."""
        environment = {"PATH": "/usr/sbin:/usr/bin:/sbin:/bin", "LANG": "C.UTF-8", "DEBIAN_FRONTEND": "noninteractive"}
        if user:
            environment.update(HOME=HOME, USER=user, LOGNAME=user)
        environment.update(env or {})
        drop = ["setpriv", f"--reuid={user}", f"--regid={user}", "--init-groups"] if user else []
        return ["chroot", self.path, *drop, "/usr/bin/env", "-i", *[f"{k}={v}" for k, v in environment.items()],
                "bash", "-c", script]

    def run(self, script, user=None, env=None, check_status=True):
        result = subprocess.run(self.command(script, user, env), capture_output=True, text=True)
        if check_status and result.returncode != 0:
            raise Failure(f"'{script}' exited with {result.returncode}:\n{result.stdout}{result.stderr}")
        return result

    def close(self):
        for mount in reversed(self.mounts):
            if subprocess.run(["umount", mount], capture_output=True).returncode != 0:
                subprocess.run(["umount", "-l", mount], capture_output=True)
        with open("/proc/self/mounts") as table:
            left = [line.split()[1] for line in table if line.split()[1].startswith(self.path + "/")]
        if left:
            # Never delete through a bound /dev or /proc.
            print(f"still mounted, {self.path} is left in place: {left}", file=sys.stderr)
            return
        subprocess.run(["rm", "-rf", "--one-file-system", self.path], check=False)


def test(root, deb):
    log("apt-get update")
    root.run("apt-get update -q")
    os.makedirs(root.at("/tmp/deb"), exist_ok=True)
    inside = "/tmp/deb/" + os.path.basename(deb)
    with open(deb, "rb") as src, open(root.at(inside), "wb") as dst:
        dst.write(src.read())
    log("apt-get install ./" + os.path.basename(deb))
    root.run(f"cd /tmp/deb && apt-get install -y -q --no-install-recommends ./{os.path.basename(deb)}")
    root.run("apt-get check -q")
    missing = root.run("ldd /usr/bin/quorvel /usr/bin/quorvel-info | grep 'not found' || true").stdout
    check(not missing.strip(), f"libraries not found:\n{missing}")
    files = root.run("dpkg -L quorvel").stdout.split()
    check("/usr/share/man/man1/quorvel.1.gz" in files, "the manual page is not in the package")

    root.run(f"useradd --create-home --shell /bin/bash {USER}")

    # The user starts a settings file as the README says, and changes it: no grid, a
    # colour of their own, one item taken out (written back with its default).
    ini = f"{HOME}/.config/quorvel/quorvel.ini"
    root.run(f"mkdir -p ~/.config/quorvel && cp /usr/share/doc/quorvel/quorvel.ini ~/.config/quorvel/ && "
             f"sed -i -e 's/^BarX = True/BarX = False/' -e 's/^BarY = True/BarY = False/' "
             f"-e 's/^BackColor = 0/BackColor={BACK_COLOUR}/' -e '/^TimerValue/d' {ini}", user=USER)

    run_gadget(root, ini)

    log("apt-get remove quorvel")
    root.run("apt-get remove -y -q quorvel")
    left = [p for p in files if os.path.lexists(root.at(p)) and not os.path.isdir(root.at(p))]
    check(not left, f"left behind after apt-get remove: {left}")
    check(not os.path.exists(root.at("/usr/share/doc/quorvel")), "/usr/share/doc/quorvel is left behind")
    status = root.run("dpkg-query -W -f='${db:Status-Status}' quorvel", check_status=False).stdout
    check(status in ("", "not-installed"), f"dpkg still knows the package as {status!r}")
    check(os.path.exists(root.at(ini)), "removing the package took the user's own settings file")


class RootGadget(Gadget):
    WAIT = 60


def run_gadget(root, ini):
    # The X server and the window manager are the machine's, as a desktop's would be; the
    # gadget in the root reaches the server through its abstract socket.
    session, run = Session.own(640, 480), None
    try:
        log(f"starting the gadget on {session.display}")
        run = RootGadget(session, root.command("exec quorvel", user=USER, env={"DISPLAY": session.display,
                                                                             "QT_QPA_PLATFORM": "xcb"}), None)
        x, y, w, h = run.client()
        session.xdotool("mousemove", 0, 0)  # no read-out over the graph
        shot = os.path.join(session.folder, "shot.png")

        def row():  # from the graph's centre to beyond its right edge
            return pixels(session.screenshot(shot), x + w // 2, y + h // 2, w // 2 + 20, 1)
        check(wait_for(lambda: row()[0] == BACK_RGB, 30), f"the graph's centre is not the BackColor {BACK_RGB}")
        check(row()[-1] != BACK_RGB, "beside the window the screen is BackColor too")
        log(f"window {w}x{h} at {x},{y} shows the user's BackColor")
        run.menu_command("q")  # as a person would: right button, then the access key Q
        status = run.wait_exit()
        check(status == 0, f"the gadget exited with {status}: {run.stderr()}")
    finally:
        if run:
            run.kill()
        session.stop()

    with open(root.at(ini), "rb") as f:
        written = f.read().decode()
    check(f"BackColor = {BACK_COLOUR}\r\n" in written and "TimerValue = 1000\r\n" in written,
          f"the settings file was not written back:\n{written}")
    check(written.startswith("[General]\r\n; Quorvel settings"), "the comments were not kept")
    check(os.path.exists(root.at(f"{HOME}/.config/Kelvane SoftWares.ini")), "the placement was not saved")
    log("the settings file was written back at exit")


def main():
    if len(sys.argv) != 2 or not os.path.isfile(sys.argv[1]):
        print(__doc__, file=sys.stderr)
        return 2
    if os.geteuid() != 0:
        print("test_installed.py needs root (chroot, mounts)", file=sys.stderr)
        return 2
    # A test runner's SIGTERM still unmounts and removes the root.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    started = time.monotonic()
    tarball = base_tarball()
    log(f"base root ready in {time.monotonic() - started:.1f}s")
    root = Root(tarball)
    try:
        test(root, os.path.abspath(sys.argv[1]))
    except Failure as failure:
        log(f"FAILED: {failure}")
        return 1
    finally:
        root.close()
    log("PASSED: installed, used and removed in a fresh Debian 12 root")
    return 0


if __name__ == "__main__":
    sys.exit(main())
