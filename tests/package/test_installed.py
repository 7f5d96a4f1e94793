#!/usr/bin/env python3
"""Installs the Debian package into a fresh Debian 12 root and uses it there as a new user would.

Usage (as root): test_installed.py dist/quorvel_VERSION_ARCH.deb

The minbase root is made once with mmdebstrap from this machine's apt sources and kept as
a tarball in $QUORVEL_TEST_ROOT_CACHE (default /var/cache/quorvel-test-root), with the
packages apt downloads; each run unpacks a new copy and removes it at the end.

There apt-get installs the package with its dependencies only; a new user copies the
example settings file to ~/.config/quorvel/, taking one item out; the desktop entry's
command shows the gadget on an Xvfb with openbox, and quit from its menu writes the file
back with the item; apt-get remove leaves none of the package's files, and the user's file.
"""

import os
import pathlib
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path[:0] = [os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", d) for d in ("e2e", "support")]
from scenarios import Gadget  # noqa: E402
from xsession import Session  # noqa: E402

CACHE = os.environ.get("QUORVEL_TEST_ROOT_CACHE", "/var/cache/quorvel-test-root")
SOURCES = next((p for p in ("/etc/apt/sources.list.d/debian.sources", "/etc/apt/sources.list") if os.path.exists(p)),
               None)
USER = "tester"
HOME = f"/home/{USER}"
INI = f"{HOME}/.config/quorvel/quorvel.ini"
# What only the installed package puts in place: the programs, their manual pages, the
# desktop entry with its icon, the AppStream metadata and the example settings file.
FILES = ["/usr/bin/quorvel", "/usr/bin/quorvel-info", "/usr/share/man/man1/quorvel.1.gz",
         "/usr/share/man/man1/quorvel-info.1.gz", "/usr/share/applications/quorvel.desktop",
         "/usr/share/icons/hicolor/scalable/apps/quorvel.svg", "/usr/share/doc/quorvel/quorvel.ini",
         "/usr/share/metainfo/example.quorvel.Quorvel.metainfo.xml"]
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
    if not os.path.exists(tarball):
        check(SOURCES is not None, "this machine has no apt sources to bootstrap from")
        log(f"bootstrapping a minbase Debian 12 root from {SOURCES} (once)")
        # mmdebstrap picks its output format by the name's ending: a tarball needs ".tar".
        part = os.path.join(CACHE, "bookworm-minbase.part.tar")
        subprocess.run(["rm", "-rf", part], check=True)
        subprocess.run(["mmdebstrap", "--variant=minbase", "--quiet", "bookworm", part, SOURCES], check=True)
        os.replace(part, tarball)
    return tarball


class Root:
    """An unpacked copy of the base root with /proc, /sys, /dev and apt's package cache bound
    in. The mounts are made and undone here rather than in a mount namespace: inside a
    chroot, where / is no mount point, a new namespace cannot be made private."""

    def __init__(self):
        self.archives = os.path.join(CACHE, "archives")
        os.makedirs(os.path.join(self.archives, "partial"), exist_ok=True)
        self.path = tempfile.mkdtemp(prefix="root.", dir=CACHE)
        self.mounts = []

    def populate(self, tarball):
        subprocess.run(["tar", "-C", self.path, "-xf", tarball], check=True)
        shutil.copy("/etc/resolv.conf", self.at("/etc/resolv.conf"))
        # The root is thrown away after the test: dpkg need not wait for every file to reach the disk.
        pathlib.Path(self.at("/etc/dpkg/dpkg.cfg.d/unsafe-io")).write_text("force-unsafe-io\n")
        for source, target in (("/proc", "/proc"), ("/sys", "/sys"), ("/dev", "/dev"), ("/dev/pts", "/dev/pts"),
                               (self.archives, "/var/cache/apt/archives")):
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

    def run(self, script, user=None):
        result = subprocess.run(self.command(script, user), capture_output=True, text=True)
        if result.returncode != 0:
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


class RootGadget(Gadget):
    WAIT = 60


def test(root, deb):
    log("apt-get install ./" + os.path.basename(deb))
    root.run("apt-get update -q")
    shutil.copy(deb, root.at("/tmp"))
    root.run(f"apt-get install -y -q --no-install-recommends /tmp/{os.path.basename(deb)}")
    files = root.run("dpkg -L quorvel").stdout.split()
    check(set(FILES) <= set(files), f"not in the package: {sorted(set(FILES) - set(files))}")

    # A new user starts a settings file as the README says, and takes an item out.
    root.run(f"useradd --create-home --shell /bin/bash {USER}")
    root.run(f"mkdir -p ~/.config/quorvel && sed '/^TimerValue/d' /usr/share/doc/quorvel/quorvel.ini >{INI}", user=USER)
    found = root.run("quorvel-info settings-path", user=USER).stdout
    check(found == INI + "\n", f"quorvel-info settings-path gave {found!r}")
    with open(root.at("/usr/share/applications/quorvel.desktop")) as entry:
        command = next(line[len("Exec="):].strip() for line in entry if line.startswith("Exec="))
    # The X server and the window manager are the machine's, as a desktop's would be; the
    # gadget in the root reaches the server through its abstract socket.
    session, run = Session.own(), None
    try:
        log(f"starting '{command}' on {session.display}")
        run = RootGadget(session, root.command(f"exec {command}", USER, {"DISPLAY": session.display,
                                                                        "QT_QPA_PLATFORM": "xcb"}), None)
        run.menu_command("q")  # as a person would: right button, then the access key Q
        status = run.wait_exit()
        check(status == 0, f"the gadget exited with {status}: {run.stderr()}")
    finally:
        if run:
            run.kill()
        session.stop()
    with open(root.at(INI), "rb") as f:
        written = f.read()
    check(written.startswith(b"[General]\r\n; Quorvel settings") and b"\r\nTimerValue = 1000\r\n" in written,
          f"the settings file was not written back with its comments and the missing item:\n{written.decode()}")

    log("apt-get remove quorvel")
    root.run("apt-get remove -y -q quorvel")
    left = [p for p in files if os.path.lexists(root.at(p)) and not os.path.isdir(root.at(p))]
    check(not left, f"left behind after apt-get remove: {left}")
    check(not os.path.exists(root.at("/usr/share/doc/quorvel")), "/usr/share/doc/quorvel is left behind")
    check(os.path.exists(root.at(INI)), "removing the package took the user's own settings file")


def main():
    if len(sys.argv) != 2 or not os.path.isfile(sys.argv[1]):
        print(__doc__, file=sys.stderr)
        return 2
    if os.geteuid() != 0:
        print("test_installed.py needs root (chroot, mounts)", file=sys.stderr)
        return 2
    # A test runner's SIGTERM still unmounts and removes the root.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    root = Root()
    try:
        root.populate(base_tarball())
        test(root, os.path.abspath(sys.argv[1]))
    except (Failure, AssertionError) as failure:
        log(f"FAILED: {failure}")
        return 1
    finally:
        root.close()
    log("PASSED: installed, used and removed in a fresh Debian 12 root")
    return 0


if __name__ == "__main__":
    sys.exit(main())
