"""The Wine launcher: quorvel.exe under Wine with a prefix of its own, on an Xvfb with
openbox of its own, with the shared scenarios and the cases only Windows has. The
counters come from the tests' stand-in pdh.dll, with the values each start gives it."""

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
from scenarios import Gadget, GadgetCase, Scenarios, pixels  # noqa: E402
from xsession import Session, wait_for  # noqa: E402

BINARY = os.environ.get("QUORVEL_EXE", "")
STANDIN = os.environ.get("QUORVEL_PDH_STANDIN", "")
# A DLL that leaves a marker file beside itself when anything loads it.
PLANTED = os.environ.get("QUORVEL_PLANTED_DLL", "")
PLANTED_AS = "uxtheme.dll"
INFO = os.environ.get("QUORVEL_INFO_EXE", "")
PREFIX = os.environ.get("QUORVEL_E2E_WINEPREFIX", "")
# The zip that scripts/package windows makes, as a user downloads it.
ZIP = os.environ.get("QUORVEL_ZIP", "")
SENT = r"\RAS Total\Bytes Transmitted/Sec"
RECEIVED = r"\RAS Total\Bytes Received/Sec"
# The system's code pages, as a process in the locale of its environment sees them.
NLS_KEY = r"HKLM\System\CurrentControlSet\Control\Nls\CodePage"
PROFILE_KEY = r"HKCU\Software\VB and VBA Program Settings\Kelvane SoftWares"


class WinePrefix:
    """A Wine prefix of the tests' own, served by a wineserver that they start and stop by
    its process id. Its system folder holds the stand-in pdh.dll in place of Wine's, which
    "pdh=n" makes Wine load: the program loads the library from the system folder only,
    so that is the one place where a stand-in reaches it."""

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
        for key, name, value in ((r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug", "Auto", "1"),
                                 (r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug", "Debugger",
                                  "no-debugger-for-tests.exe"),
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
        try:
            self.server.wait(timeout=20)
        except subprocess.TimeoutExpired:
            self.server.kill()
            self.server.wait()

    def run(self, args, timeout=120, env=None):
        """Runs a Wine program to its end; its standard output as bytes. Output goes through a
        file: the services that Wine starts inherit the handles and outlive the program."""
        with tempfile.TemporaryFile() as out:
            subprocess.run(["wine", *args], env=self.env(env), stdout=out, stderr=subprocess.DEVNULL, timeout=timeout)
            out.seek(0)
            return out.read()


class WineGadget(Gadget):
    WAIT = 60
    # Wine keeps the Win32 outer rectangle; the window manager's frame is a pixel or two
    # wider than the Win32 frame that Wine fits the client area into.
    SLACK = 4


@unittest.skipUnless(BINARY and STANDIN and PREFIX and shutil.which("openbox"), "needs quorvel.exe, Wine, openbox")
class WineGadgetTest(Scenarios, GadgetCase):
    PLATFORM = "wine"
    Gadget = WineGadget
    BOX_ON_STOPPED_LOAD = True
    # Sign-out: every window is asked whether the session may end, then told it ends.
    ENDS = {"window manager": lambda case, run: run.close(),
            "session end": lambda case, run: (case.prefix.run(["wineboot", "--end-session"]), run.wait_exit())[1]}

    @classmethod
    def setUpClass(cls):
        cls.session = Session.own()
        try:
            cls.prefix = WinePrefix(cls.session.display)
        except BaseException:
            cls.session.stop()
            raise

    @classmethod
    def tearDownClass(cls):
        cls.prefix.stop()
        cls.session.stop()

    def setUp(self):
        super().setUp()
        self.prefix.run(["reg", "delete", PROFILE_KEY, "/f"])

    def install(self):
        shutil.copy(BINARY, os.path.join(self.folder, "quorvel.exe"))

    def launch(self, env, values):
        script = "|".join(f"{path}={value}" for path, value in values.items())
        env = self.prefix.env({"QUORVEL_STANDIN_VALUES": script, **env})
        return ["wine", os.path.join(self.folder, "quorvel.exe")], env

    def placement(self):
        out = self.prefix.run(["reg", "query", PROFILE_KEY + r"\Quorvel"]).decode("ascii", "replace")
        return {name.strip(): value.strip() for name, _, value in
                (line.partition("REG_SZ") for line in out.splitlines() if "REG_SZ" in line)}

    def picture(self, window, name):
        """The pixels of one window, once two shots in a row agree."""
        shots = [None]
        steady = wait_for(lambda: shots.append(pixels(self.shot(name, window), 0, 0, *self.session.size)) or
                          shots[-1] == shots[-2], 10, 0.3)
        self.assertTrue(steady, f"{name} kept changing")
        return shots[-1]

    @unittest.skipUnless(INFO, "needs quorvel-info.exe")
    def test_info_lists_the_objects_instances_and_counters_the_library_offers(self):
        # The stand-in in the system folder offers two objects, one with instances.
        network = ["Network Interface", "  instances: Ethernet, Loopback", "  counters:", "    Bytes Received/sec",
                   "    Bytes Sent/sec"]
        ras = ["RAS Total", "  counters:", "    Bytes Received/Sec", "    Bytes Transmitted/Sec"]
        def counters(*args):
            return self.prefix.run([INFO, "counters", *args]).decode().splitlines()
        self.assertEqual(counters(), network + ras)
        self.assertEqual(counters("ras total"), ras)  # one object, named in any case

    def test_twips_follow_the_screens_resolution(self):
        # 144 pixels per inch for the programs started from now on: a program that declares
        # itself aware of the resolution sizes its window in the screen's own pixels.
        desktop = r"HKCU\Control Panel\Desktop"
        self.prefix.run(["reg", "add", desktop, "/v", "LogPixels", "/t", "REG_DWORD", "/d", "144", "/f"])
        try:
            _, _, width, height = self.start().outer()
        finally:
            self.prefix.run(["reg", "delete", desktop, "/v", "LogPixels", "/f"])
        self.near((width, height), (250, 300), 1)

    def test_the_menu_reads_the_same_on_a_japanese_and_on_a_german_system(self):
        # The system code pages 932 and 1252; letters that the menu's font lacks come from
        # the Japanese font that the system links to it.
        pictures = []
        for locale, code_page in {"ja_JP.UTF-8": "932", "de_DE.UTF-8": "1252"}.items():
            nls = self.prefix.run(["reg", "query", NLS_KEY, "/v", "ACP"], env={"LC_ALL": locale}).decode("latin-1")
            self.assertRegex(nls, rf"ACP\s+REG_SZ\s+{code_page}\b", locale)
            run = self.start({"LC_ALL": locale})
            menu = run.open_menu()
            self.assertTrue(menu, "no pop-up menu")
            pictures.append(self.picture(menu, "menu-" + locale[:2]))
            run.kill()
        self.assertTrue(pictures[0] == pictures[1], "the menu differs on a German system")

    def test_help_and_version_answer_in_the_starting_console_or_in_a_box(self):
        exe = os.path.join(self.folder, "quorvel.exe")
        env = self.prefix.env()

        def in_console(option):
            # start.exe in a terminal: a console program whose console the answer joins.
            out = subprocess.run(["script", "-qec", f"wine start /wait /unix '{exe}' {option}", "/dev/null"], env=env,
                                 stdin=subprocess.DEVNULL, capture_output=True, timeout=120).stdout
            return re.sub(r"\x1b\[[0-9;?]*[A-Za-z]", "", out.decode("utf-8", "replace")).replace("\r", "")
        self.assertIn("Quorvel 1.1.0\n", in_console("--version"))
        text = in_console("--help")
        self.assertIn("Settings: quorvel.ini in the program's own folder, beside quorvel.exe, is read\n", text)
        self.assertNotIn("XDG", text)

        # Started without any console, as from the desktop: a box titled with the product name.
        run = WineGadget(self.session, ["wine", "start", "/wait", "/unix", exe, "--version"], env, wait=False)
        self.runs.append(run)
        box = wait_for(lambda: self.session.xdotool("search", "--onlyvisible", "--name", "^Quorvel$").split(), 60)
        self.assertTrue(box, "no box")
        run.answer(box[0])
        self.assertEqual(run.wait_exit(), 0)

    def test_a_hidden_settings_file_keeps_the_users_bytes(self):
        # The program finds the file (it opens) but does not load it (hidden files do not
        # count): it runs on defaults, which must not replace what the user wrote.
        data = b"; mine\r\nMax=9000\r\nTimerValue=500\r\n"
        self.write_ini(data)
        windows_path = "Z:" + self.ini.replace("/", "\\")
        self.prefix.run(["attrib", "+h", windows_path])
        self.assertIn(b"H", self.prefix.run(["attrib", windows_path]).split(b"Z:")[0], "the file is not hidden")
        self.assertEqual(self.start().close(), 0)
        self.assertEqual(self.read_ini(), data)
        self.assertEqual(sorted(os.listdir(self.folder)), ["quorvel.exe", "quorvel.ini"])

    @unittest.skipUnless(PLANTED and INFO, "needs the planted test DLL and quorvel-info.exe")
    def test_a_dll_planted_beside_the_programs_is_not_loaded(self):
        # Named like a library that the system loads by bare name on the program's behalf;
        # "n,b" makes Wine prefer a file of that name to its own, as Windows does with any.
        shutil.copy(PLANTED, os.path.join(self.folder, PLANTED_AS))
        info = os.path.join(self.folder, "quorvel-info.exe")
        shutil.copy(INFO, info)
        overrides = {"WINEDLLOVERRIDES": self.prefix.env()["WINEDLLOVERRIDES"] + f";{PLANTED_AS[:-4]}=n,b"}
        marker = os.path.join(self.folder, "planted-dll-loaded")
        self.prefix.run([info, "folders"], env=overrides)
        self.assertFalse(os.path.exists(marker), "quorvel-info.exe loaded the planted DLL")
        self.assertEqual(self.start(overrides).close(), 0)
        self.assertFalse(os.path.exists(marker), "quorvel.exe loaded the planted DLL")

    @unittest.skipUnless(ZIP and os.path.exists(ZIP), "needs the zip that scripts/package windows makes")
    def test_the_zip_unpacked_into_a_fresh_folder_runs_from_there(self):
        top = os.path.basename(ZIP)[:-len(".zip")]
        files = ["README.txt", "quorvel-info.exe", "quorvel.example.ini", "quorvel.exe"]
        with zipfile.ZipFile(ZIP) as archive:
            self.assertEqual(sorted(archive.namelist()), [f"{top}/{name}" for name in files])
            # The example settings file: every setting, the scale following the traffic.
            example = archive.read(f"{top}/quorvel.example.ini")
            for line in (b"\r\nMax = auto\r\n", b"\r\nBarXInterval = auto\r\n"):
                self.assertIn(line, example)
            archive.extractall(os.path.join(self.tmp, "unpacked"))
        self.folder = os.path.join(self.tmp, "unpacked", top)
        with open(os.path.join(self.folder, "README.txt"), "rb") as f:
            readme = f.read()
        self.assertIn(b"quorvel.ini", readme)
        self.assertNotIn(b"\n", readme.replace(b"\r\n", b""), "the read-me has Windows line ends")

        # Max 9000: the received line (green) at 6000 stands a third from the top, the sent
        # line (red) at 3000 two thirds.
        run = self.start(values={SENT: 3000, RECEIVED: 6000})
        x, y, w, h = run.client()

        def drawn():
            shot = self.shot("zip")
            upper, lower = (pixels(shot, x + w * 3 // 4, y + round(h * part) - 3, 1, 7) for part in (1 / 3, 2 / 3))
            return any(g > 100 and r < 50 for r, g, _ in upper) and any(r > 100 and g < 50 for r, g, _ in lower)
        self.assertTrue(wait_for(drawn, 30, 0.5), "no lines where the values put them")
        run.menu_command("q")
        self.assertEqual(run.wait_exit(), 0)
        self.assertEqual(sorted(os.listdir(self.folder)), files, "the program creates no file beside itself")
        self.assertEqual(len(self.placement()), 4, "quit saved the placement")

        sample = self.prefix.run([os.path.join(self.folder, "quorvel-info.exe"), "sample", SENT, "-n", "2", "-i", "50"],
                                 env={"QUORVEL_STANDIN_VALUES": f"{SENT}=3000"}, timeout=60).decode("latin-1")
        rows = sample.splitlines()
        self.assertEqual(len(rows), 3, sample)
        self.assertTrue(rows[2].endswith(",3000"), sample)


if __name__ == "__main__":
    unittest.main(verbosity=2)
