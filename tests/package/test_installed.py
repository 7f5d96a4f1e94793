#!/usr/bin/env python3
"""Usage (as root): test_installed.py dist/quorvel_VERSION_ARCH.deb

Installs the package with apt-get into a fresh copy of a minbase Debian 12 root (made once
with mmdebstrap, kept in $QUORVEL_TEST_ROOT_CACHE with apt's downloads); a new user copies the
example settings without one item, starts the desktop entry's command on an Xvfb with openbox
and quits from the menu, which writes the item back; apt-get remove keeps the user's file.
"""

import os
import pathlib
import shutil
import signal
import subprocess
import sys
import tempfile

sys.path[:0] = [os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", d) for d in ("e2e", "support")]
from scenarios import Gadget  # noqa: E402
from xsession import Session  # noqa: E402

CACHE = os.environ.get("QUORVEL_TEST_ROOT_CACHE", "/var/cache/quorvel-test-root")
SOURCES = next((p for p in ("/etc/apt/sources.list.d/debian.sources", "/etc/apt/sources.list") if os.path.exists(p)),
               None)
USER = "tester"
HOME = f"/home/{USER}"
INI = f"{HOME}/.config/quorvel/quorvel.ini"


def base_tarball():
    tarball = os.path.join(CACHE, "bookworm-minbase.tar")
    if not os.path.exists(tarball):
        assert SOURCES is not None, "this machine has no apt sources to bootstrap from"
        print(f"bootstrapping a minbase Debian 12 root from {SOURCES} (once)", flush=True)
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
        environment = {"PATH": "/usr/sbin:/usr/bin:/sbin:/bin", "LANG": "C.UTF-8", "DEBIAN_FRONTEND": "noninteractive",
                       **({"HOME": HOME, "USER": user, "LOGNAME": user} if user else {}), **(env or {})}
        drop = ["setpriv", f"--reuid={user}", f"--regid={user}", "--init-groups"] if user else []
        return ["chroot", self.path, *drop, "/usr/bin/env", "-i", *[f"{k}={v}" for k, v in environment.items()],
                "bash", "-c", script]

    def run(self, script, user=None):
        result = subprocess.run(self.command(script, user), capture_output=True, text=True)
        if result.returncode != 0:
            raise AssertionError(f"'{script}' exited with {result.returncode}:\n{result.stdout}{result.stderr}")
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
    root.run("apt-get update -q")
    shutil.copy(deb, root.at("/tmp"))
    root.run(f"apt-get install -y -q --no-install-recommends /tmp/{os.path.basename(deb)}")

    # A new user starts a settings file as the README says, and takes an item out.
    root.run(f"useradd --create-home --shell /bin/bash {USER}")
    root.run(f"mkdir -p ~/.config/quorvel && sed '/^TimerValue/d' /usr/share/doc/quorvel/quorvel.ini >{INI}", user=USER)
    with open(root.at("/usr/share/applications/quorvel.desktop")) as entry:
        command = next(line[len("Exec="):].strip() for line in entry if line.startswith("Exec="))
    # The X server and the window manager are the machine's, as a desktop's would be; the
    # gadget in the root reaches the server through its abstract socket.
    session, run = Session.own(), None
    try:
        run = Gadget(session, root.command(f"exec {command}", USER, {"DISPLAY": session.display}), None, False)
        run.WAIT = 60
        run.window = run.wait_window()
        run.menu_command("q")  # as a person would: right button, then the access key Q
        assert run.wait_exit() == 0, f"the gadget exited with {run.proc.returncode}: {run.stderr()}"
    finally:
        if run:
            run.kill()
        session.stop()
    assert b"\r\nTimerValue = 1000\r\n" in pathlib.Path(root.at(INI)).read_bytes(), "the file was not written back"

    root.run("apt-get remove -y -q quorvel")
    assert not os.path.exists(root.at("/usr/bin/quorvel")), "apt-get remove left the program"
    assert os.path.exists(root.at(INI)), "removing the package took the user's own settings file"


def main():
    if len(sys.argv) != 2 or not os.path.isfile(sys.argv[1]) or os.geteuid() != 0:
        print(__doc__, file=sys.stderr)
        return 2
    # A test runner's SIGTERM still unmounts and removes the root.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    root = Root()
    try:  # a failure ends the script with its traceback and status 1
        root.populate(base_tarball())
        test(root, os.path.abspath(sys.argv[1]))
    finally:
        root.close()
    print("PASSED: installed, used and removed in a fresh Debian 12 root")
    return 0


if __name__ == "__main__":
    sys.exit(main())
