"""The Wine launcher: quorvel.exe under Wine with a prefix of its own, on an Xvfb with openbox of its own, with
the shared scenarios and the cases only Windows has; the counters read the tests' stand-in pdh.dll."""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [os.path.join(HERE, ".."), os.path.join(HERE, "..", "..", "support")]
from scenarios import Gadget, GadgetCase, Scenarios  # noqa: E402
from xsession import pixels, wait_for  # noqa: E402

BINARY = os.environ.get("QUORVEL_EXE", "")
STANDIN = os.environ.get("QUORVEL_PDH_STANDIN", "")
INFO = os.environ.get("QUORVEL_INFO_EXE", "")
PREFIX = os.environ.get("QUORVEL_E2E_WINEPREFIX", "")
# The zip that scripts/package windows makes, as a user downloads it.
ZIP = os.environ.get("QUORVEL_ZIP", "")
PROFILE_KEY = r"HKCU\Software\VB and VBA Program Settings\Kelvane SoftWares"


class WinePrefix:
    """A Wine prefix of the tests' own, served by a wineserver that they start and stop by its process id.
    Its system folder, the only one the program loads pdh.dll from, holds the stand-in ("pdh=n")."""

    def __init__(self, display):
        self.display = display
        os.makedirs(PREFIX, exist_ok=True)
        self.server = subprocess.Popen(["wineserver", "-f", "-p"], env=self.env(), stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
        if not os.path.exists(os.path.join(PREFIX, "system.reg")):
            self.run(["wineboot", "--init"], timeout=300)
        # A crash ends the process at once instead of waiting in a debugger. Letters that
        # the menu's font lacks come from the Japanese font that the system links to it,
        # as on a Windows with its Japanese fonts.
        aedebug = r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug"
        for key, name, value in ((aedebug, "Auto", "1"), (aedebug, "Debugger", "no-debugger-for-tests.exe"),
                                 (r"HKCU\Software\Wine\Fonts\Replacements", "MS UI Gothic", "IPAGothic")):
            self.run(["reg", "add", key, "/v", name, "/t", "REG_SZ", "/d", value, "/f"])
        shutil.copy(STANDIN, os.path.join(PREFIX, "drive_c", "windows", "system32", "pdh.dll"))

    def env(self, extra=None):
        env = {k: v for k, v in os.environ.items() if not k.startswith(("WINE", "QT_", "XDG_", "WAYLAND"))}
        env.update(WINEPREFIX=PREFIX, WINEDEBUG="-all", DISPLAY=self.display, LC_ALL="C.UTF-8",
                   WINEDLLOVERRIDES="winedbg.exe,winemenubuilder.exe,mscoree,mshtml=d;pdh=n")
        return {**env, **(extra or {})}

    def stop(self):
        # The server ends the Wine processes it serves (explorer, services), then itself.
        subprocess.run(["wineserver", "-k"], env=self.env())
        self.server.wait(timeout=20)

    def run(self, args, timeout=120, env=None):
        """Runs a Wine program to its end; its standard output as bytes. Output goes
        through a file: the services that Wine starts inherit the handles and outlive the program."""
        with tempfile.TemporaryFile() as out:
            subprocess.run(["wine", *args], env=self.env(env), stdout=out, stderr=subprocess.DEVNULL,
                           timeout=timeout)
            out.seek(0)
            return out.read()


class WineGadget(Gadget):
    WAIT = 60
    # Wine keeps the Win32 outer rectangle; the window manager's frame is a pixel or two
    # wider than the Win32 frame that Wine fits the client area into.
    SLACK = 4


@unittest.skipUnless(BINARY and STANDIN and PREFIX and shutil.which("openbox"), "needs quorvel.exe, Wine, openbox")
class WineGadgetTest(Scenarios, GadgetCase):
    BINARY = BINARY
    Gadget = WineGadget
    OWN_SESSION = True
    BOX_ON_STOPPED_LOAD = True
    # Sign-out: every window is asked whether the session may end, then told it ends.
    ENDS = {"session end": lambda case, run: (case.prefix.run(["wineboot", "--end-session"]), run.wait_exit())[1]}

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.prefix = WinePrefix(cls.session.display)
        cls.addClassCleanup(cls.prefix.stop)

    def setUp(self):
        super().setUp()
        self.prefix.run(["reg", "delete", PROFILE_KEY, "/f"])

    def launch(self, env, values):
        script = "|".join(f"{path}={value}" for path, value in values.items())
        return ["wine", self.exe], self.prefix.env({"QUORVEL_STANDIN_VALUES": script, **env})

    def scaled(self, factor):
        # The programs started from now on: one that declares itself aware of the
        # resolution sizes its window in the screen's own pixels.
        desktop = r"HKCU\Control Panel\Desktop"
        self.prefix.run(["reg", "add", desktop, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(96 * factor), "/f"])
        self.addCleanup(self.prefix.run, ["reg", "delete", desktop, "/v", "LogPixels", "/f"])
        return {}

    def placement(self):
        out = self.prefix.run(["reg", "query", PROFILE_KEY + r"\Quorvel"]).decode("ascii", "replace")
        return {name.strip(): value.strip() for name, _, value in
                (line.partition("REG_SZ") for line in out.splitlines() if "REG_SZ" in line)}

    def test_the_menu_marks_its_switches_and_reads_the_same_on_a_japanese_and_on_a_german_system(self):
        # The system code pages 932 and 1252. Asking Wine for the code page first also lets it
        # switch the prefix to the locale before the gadget starts.
        pictures = []
        for locale, code_page in {"ja_JP.UTF-8": "932", "de_DE.UTF-8": "1252"}.items():
            nls = self.prefix.run(["reg", "query", r"HKLM\System\CurrentControlSet\Control\Nls\CodePage", "/v", "ACP"],
                                  env={"LC_ALL": locale}).decode("latin-1")
            self.assertRegex(nls, rf"ACP\s+REG_SZ\s+{code_page}\b", locale)
            run = self.start({"LC_ALL": locale})
            for key in ("", "t"):  # then with "keep in front", the second of four items, on
                if key:
                    run.menu_command(key)
                menu = run.open_menu()
                # The menu's pixels, once two shots in a row agree.
                shots = [None]
                self.assertTrue(wait_for(lambda: shots.append(pixels(self.shot("menu", menu), 0, 0, *self.session.size))
                                         or shots[-1] == shots[-2], 10, 0.3), "the menu kept changing")
                pictures.append((run.client(menu)[2], shots[-1]))
                self.session.xdotool("key", "Escape")
                wait_for(lambda: menu not in run.windows(), 10)
            run.kill()
        self.assertTrue(pictures[:2] == pictures[2:], "the menu differs on a German system")
        (width, plain), (_, marked) = pictures[:2]
        rows = sorted({i // width for i, (a, b) in enumerate(zip(plain, marked)) if a != b})
        height = len(plain) // width
        self.assertTrue(rows and height // 5 < rows[0] and rows[-1] < height // 2, f"marked rows {rows} of {height}")
        self.assertLess(sum(map(sum, marked)), sum(map(sum, plain)), "the mark is not dark on the menu")

    @unittest.skipUnless(INFO, "needs quorvel-info.exe")
    def test_a_dll_planted_beside_the_program_is_not_loaded_and_info_lists_the_counters(self):
        # Named like a library that the system loads by bare name on the program's behalf;
        # "n,b" makes Wine prefer a file of that name to its own, as Windows does with any.
        # Any library will do: Wine's loader names the file of each one it loads.
        shutil.copy(STANDIN, os.path.join(self.folder, "uxtheme.dll"))
        run = self.start({"WINEDLLOVERRIDES": self.prefix.env()["WINEDLLOVERRIDES"] + ";uxtheme=n,b",
                          "WINEDEBUG": "+loaddll"})
        self.assertEqual(run.close(), 0)
        loaded = [path.lower() for path in re.findall(r'Loaded L"([^"]*uxtheme\.dll)"', run.stderr(), re.I)]
        self.assertTrue(loaded and all("system32" in path for path in loaded), f"loaded the planted DLL or none: {loaded}")
        # The objects, instances and counters that the stand-in in the system folder offers.
        self.assertEqual(self.prefix.run([INFO, "counters"]).decode().splitlines(),
                         ["Network Interface", "  instances: Ethernet, Loopback", "  counters:",
                          "    Bytes Received/sec", "    Bytes Sent/sec", "RAS Total", "  counters:",
                          "    Bytes Received/Sec", "    Bytes Transmitted/Sec"])

    @unittest.skipUnless(ZIP and os.path.exists(ZIP), "needs the zip that scripts/package windows makes")
    def test_the_zip_unpacked_into_a_fresh_folder_runs_from_there_with_the_example_settings(self):
        top = os.path.basename(ZIP)[:-len(".zip")]
        files = ["README.txt", "quorvel-info.exe", "quorvel.example.ini", "quorvel.exe"]
        with zipfile.ZipFile(ZIP) as archive:
            self.assertEqual(sorted(archive.namelist()), [f"{top}/{name}" for name in files])
            example = archive.read(f"{top}/quorvel.example.ini")
            archive.extractall(self.tmp)
        self.folder = os.path.join(self.tmp, top)
        self.exe, self.ini = (os.path.join(self.folder, name) for name in ("quorvel.exe", "quorvel.ini"))
        self.write_ini(example)  # the user's settings file, as the read-me says; quit writes it back as it is
        run = self.start()
        run.menu_command("q")
        self.assertEqual(run.wait_exit(), 0)
        self.assertEqual(sorted(os.listdir(self.folder)), sorted(files + ["quorvel.ini"]), "a file was created")
        self.assertEqual(self.read_ini(), example)


if __name__ == "__main__":
    unittest.main(verbosity=2)
