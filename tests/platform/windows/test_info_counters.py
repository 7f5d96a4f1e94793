"""quorvel-info.exe counters under Wine, in the end-to-end tests' prefix: the program loads
pdh.dll from the system folder only, and that prefix's system folder holds the stand-in,
which offers two objects with their instances and counters."""

import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "e2e", "windows"))
from wineprefix import WinePrefix  # noqa: E402

NETWORK = ["Network Interface", "  instances: Ethernet, Loopback", "  counters:", "    Bytes Received/sec",
           "    Bytes Sent/sec"]
RAS = ["RAS Total", "  counters:", "    Bytes Received/Sec", "    Bytes Transmitted/Sec"]


class InfoCountersTest(unittest.TestCase):
    def test_lists_the_objects_instances_and_counters_the_library_offers(self):
        prefix = WinePrefix(os.environ["QUORVEL_E2E_WINEPREFIX"], os.environ["QUORVEL_PDH_STANDIN"])
        prefix.start(os.environ.get("DISPLAY", ""))
        try:
            def counters(*args):
                return prefix.run([os.environ["QUORVEL_INFO_EXE"], "counters", *args]).decode().splitlines()
            self.assertEqual(counters(), NETWORK + RAS)
            self.assertEqual(counters("ras total"), RAS)  # one object, named in any case
        finally:
            prefix.stop()


if __name__ == "__main__":
    unittest.main()
