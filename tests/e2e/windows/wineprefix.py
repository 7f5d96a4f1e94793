"""A Wine prefix of the end-to-end tests' own, served by a wineserver that the tests start
and stop by its process id. Its system folder holds the tests' stand-in pdh.dll in place
of Wine's, which "pdh=n" makes Wine load: the program loads the library from the system
folder only, so that is the one place where a stand-in reaches it."""

import os
import shutil
import subprocess
import tempfile

PROFILE_KEY = r"HKCU\Software\VB and VBA Program Settings\Kelvane SoftWares"
AEDEBUG_KEY = r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug"
FONT_REPLACEMENTS_KEY = r"HKCU\Software\Wine\Fonts\Replacements"


class WinePrefix:
    def __init__(self, path, standin):
        self.path = path
        self.standin = standin
        self.server = None
        self.display = None

    def env(self, display, extra=None):
        env = {k: v for k, v in os.environ.items() if not k.startswith(("WINE", "QT_", "XDG_", "WAYLAND"))}
        env.update(WINEPREFIX=self.path, WINEDEBUG="-all", DISPLAY=display, LC_ALL="C.UTF-8",
                   WINEDLLOVERRIDES="winedbg.exe,winemenubuilder.exe,mscoree,mshtml=d;pdh=n")
        env.update(extra or {})
        return env

    def start(self, display):
        self.display = display
        os.makedirs(self.path, exist_ok=True)
        self.server = subprocess.Popen(["wineserver", "-f", "-p"], env=self.env(display), stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
        if not os.path.exists(os.path.join(self.path, "system.reg")):
            self.run(["wineboot", "--init"], timeout=300)
        # A crash ends the process at once instead of waiting in a debugger.
        self.reg("add", AEDEBUG_KEY, "/v", "Auto", "/t", "REG_SZ", "/d", "1", "/f")
        self.reg("add", AEDEBUG_KEY, "/v", "Debugger", "/t", "REG_SZ", "/d", "no-debugger-for-tests.exe", "/f")
        # Letters that the menu's font lacks come from the Japanese font that the system
        # links to it, as on a Windows with its Japanese fonts.
        self.reg("add", FONT_REPLACEMENTS_KEY, "/v", "MS UI Gothic", "/t", "REG_SZ", "/d", "IPAGothic", "/f")
        shutil.copy(self.standin, os.path.join(self.path, "drive_c", "windows", "system32", "pdh.dll"))
        return self

    def stop(self):
        if self.server is None:
            return
        # The server ends the Wine processes it serves (explorer, services), then itself.
        subprocess.run(["wineserver", "-k"], env=self.env(self.display))
        try:
            self.server.wait(timeout=20)
        except subprocess.TimeoutExpired:
            self.server.kill()
            self.server.wait()
        self.server = None

    def run(self, args, timeout=120, env=None):
        """Runs a Wine program to its end; its standard output as bytes. Output goes through a
        file: the services that Wine starts inherit the handles and outlive the program."""
        with tempfile.TemporaryFile() as out:
            subprocess.run(["wine", *args], env=self.env(self.display, env), stdout=out, stderr=subprocess.DEVNULL,
                           timeout=timeout)
            out.seek(0)
            return out.read()

    def reg(self, *args):
        return self.run(["reg", *args])

    def profile(self):
        """The placement entries the program saved: {name: text}."""
        out = self.reg("query", PROFILE_KEY + r"\Quorvel").decode("ascii", "replace")
        values = {}
        for line in out.splitlines():
            parts = line.split("REG_SZ")
            if len(parts) == 2:
                values[parts[0].strip()] = parts[1].strip()
        return values

    def forget_profile(self):
        self.reg("delete", PROFILE_KEY, "/f")
