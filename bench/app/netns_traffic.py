"""UDP traffic whose rate changes every second, over a veth pair between two network
namespaces made for it, so that a program run in the first one graphs a busy link
without any traffic leaving the machine's own namespaces (the bench and
scripts/screenshot-tooltip). Needs root and `ip netns`."""

import os
import subprocess
import sys


class Traffic:
    """Two network namespaces joined by a veth pair, and a sender in the first that varies
    its rate every second (0 to 300 datagrams of 1400 bytes); wrap() runs a command in the
    first namespace, where `link` is the link's end."""

    LINK = "qtraffic0"
    PEER = "qtraffic1"
    SENDER = """
import random, socket, time
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
payload = bytes(1400)
random.seed(1)
while True:
    start = time.monotonic()
    for _ in range(random.randint(0, 300)):
        try:
            s.sendto(payload, (TARGET, 9))
        except OSError:
            pass
    time.sleep(max(0.0, 1.0 - (time.monotonic() - start)))
"""

    def __init__(self, prefix="quorvel-traffic"):
        # Named after this process, so that runs side by side keep apart.
        self.namespaces = a, b = f"{prefix}-{os.getpid()}-a", f"{prefix}-{os.getpid()}-b"
        self.link = self.LINK
        self.sender = None

    def __enter__(self):
        a, b = self.namespaces
        commands = (["netns", "add", a], ["netns", "add", b],
                    ["-n", a, "link", "add", self.LINK, "type", "veth", "peer", "name", self.PEER, "netns", b],
                    ["-n", a, "addr", "add", "10.199.0.1/24", "dev", self.LINK],
                    ["-n", b, "addr", "add", "10.199.0.2/24", "dev", self.PEER],
                    ["-n", a, "link", "set", self.LINK, "up"], ["-n", b, "link", "set", self.PEER, "up"])
        try:
            for command in commands:
                subprocess.run(["ip", *command], check=True, capture_output=True, text=True)
        except (OSError, subprocess.CalledProcessError) as e:
            self.__exit__(None, None, None)
            detail = getattr(e, "stderr", "") or ""
            raise RuntimeError(f"traffic in a network namespace needs root and ip netns: {e} {detail}") from e
        self.sender = subprocess.Popen(self.wrap([sys.executable, "-c", "TARGET = '10.199.0.2'\n" + self.SENDER]))
        return self

    def __exit__(self, *exc):
        if self.sender is not None:
            self.sender.terminate()
            self.sender.wait()
            self.sender = None
        for ns in self.namespaces:
            subprocess.run(["ip", "netns", "del", ns], capture_output=True)

    def wrap(self, command):
        return ["ip", "netns", "exec", self.namespaces[0], *command]
