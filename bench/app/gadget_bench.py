#!/usr/bin/env python3
"""Runs the real program under Xvfb at one tick a second and reports its cost, side by
side with two small X11 meters drawing the same kind of graph.

Usage: bench/app/gadget_bench.py [path/to/quorvel] [seconds] [rounds] [--scales 1,2] [--traffic]
                                 [--before path/to/other/quorvel] [--callgrind]

Each run has a private Xvfb with openbox and exactly one client: the program on the X
server surface, the program on the Qt image surface (QUORVEL_SURFACE=image), xosview
with only its net meter at one sample a second, and conky with two net graphs at 1 s.
For each it measures over the same window of `seconds` (after start-up settles): the
client's CPU (all threads, from the scheduler's nanosecond counters), the X server's
CPU over that window (Xvfb serves only that client, so its time is the client's),
wake-ups (voluntary context switches of all the client's threads), and peak resident
memory and private memory (smaps: Private_Clean plus Private_Dirty, at the end of the
window). An idle Xvfb is measured as well, as the server's floor. Figures are medians
over the rounds; the programs take turns within each round.

The pointer rests in the screen's bottom-right corner, off every client's window, but for
one more run of the program on the X server surface with the pointer resting on its graph
(the read-out open), where the server also pays for drawing under its software cursor.

With --before, another build of the program (say, of the last release) runs on the X
server surface as two more clients (pointer off and on the graph), so that the two
builds are compared within one run.

With --callgrind, Xvfb runs under valgrind's callgrind instead, and the bench reports the
server's instructions per tick for each client on the X server (the program, --before's
and xosview): the counters are zeroed once start-up has settled and read after `seconds`
ticks. Unlike CPU time this figure does not depend on what else the machine is doing.

With --scales, the program runs on its default surface once per Qt scale factor
(QT_SCALE_FACTOR) instead, and the ratios are to the first scale.

Without traffic on the watched links the graphs stay flat, and every tick draws what the
one before drew. With --traffic (as root) every client runs in a network namespace that
the bench makes, where UDP at a rate that changes every second goes over a veth pair to a
second namespace; the program draws that link's bytes sent and received (a quorvel.ini
beside the copied binary says so), conky graphs it and xosview's net meter counts it.
"""

import contextlib
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "support"))
from netns_traffic import Traffic  # noqa: E402
from xsession import Session, wait_for  # noqa: E402

# Every xosview meter but the network's, off.
XOSVIEW_METERS_OFF = ["load", "gfx", "cpu", "mem", "swap", "page", "interrupts", "irqrate", "battery", "wireless",
                      "disk", "RAID", "lmstemp", "NFSDStats", "NFSStats", "acpitemp", "coretemp", "bsdsensor"] + \
                     [f"serial{i}" for i in range(10)]

CONKY_CONFIG = """conky.config = {
    out_to_x = true,
    out_to_console = false,
    own_window = true,
    own_window_type = 'normal',
    own_window_title = 'conky-bench',
    double_buffer = true,
    update_interval = 1,
    total_run_times = 0,
    background = false,
    use_xft = false,
    minimum_width = 170,
    minimum_height = 200,
};
conky.text = [[
${upspeedgraph %(iface)s 90,160}
${downspeedgraph %(iface)s 90,160}
]];
"""


def cpu_seconds(pid):
    """CPU time of all threads, from the scheduler's nanosecond counters."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        with open(f"/proc/{pid}/task/{task}/schedstat") as f:
            total += int(f.read().split()[0])
    return total / 1e9


def switches(pid):
    """Voluntary context switches of all threads: each one is a sleep that something ended."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        with open(f"/proc/{pid}/task/{task}/status") as f:
            for line in f:
                if line.startswith("voluntary_ctxt_switches"):
                    total += int(line.split()[1])
    return total


def peak_rss_kib(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmHWM"):
                return int(line.split()[1])
    return 0


def private_kib(pid):
    """Pages only this process holds, shared libraries' clean pages excluded."""
    total = 0
    with open(f"/proc/{pid}/smaps_rollup") as f:
        for line in f:
            if line.startswith(("Private_Clean:", "Private_Dirty:")):
                total += int(line.split()[1])
    return total


def busiest_interface():
    """The interface with the most traffic, for conky's graphs (lo when there is no other)."""
    best, most = "lo", -1
    with open("/proc/net/dev") as f:
        for line in f.readlines()[2:]:
            name, data = line.split(":", 1)
            fields = data.split()
            total = int(fields[0]) + int(fields[8])
            if name.strip() != "lo" and total > most:
                best, most = name.strip(), total
    return best


class Client:
    """One program to measure: its command line, extra environment and how to find its window."""

    def __init__(self, name, command, search, env=None, hover=False):
        self.name = name
        self.command = command
        self.search = search
        self.extra_env = env or {}
        self.hover = hover  # the pointer rests on the client's window instead of off it


TRAFFIC_INI = """[General]
Max = 500000
BarXInterval = 100000
RedLineSource = \\Network Interface(%(iface)s)\\Bytes Sent/sec
GreenLineSource = \\Network Interface(%(iface)s)\\Bytes Received/sec
"""


def clients(binary, tmp, traffic=None, before=None):
    iface = Traffic.LINK if traffic else busiest_interface()

    def install(source, folder):
        os.makedirs(folder, exist_ok=True)
        program = os.path.join(folder, "quorvel")
        shutil.copy(source, program)
        if traffic:
            with open(os.path.join(folder, "quorvel.ini"), "w") as f:
                f.write(TRAFFIC_INI % {"iface": iface})
        return program

    program = install(binary, tmp)
    conky_config = os.path.join(tmp, "conky.conf")
    with open(conky_config, "w") as f:
        f.write(CONKY_CONFIG % {"iface": iface})
    xosview = ["xosview", "-xrm", "xosview*samplesPerSec: 1"]
    for meter in XOSVIEW_METERS_OFF:
        xosview += ["-xrm", f"xosview*{meter}: False"]
    wrap = traffic.wrap if traffic else list
    runs = [
        Client("quorvel, X server surface", wrap([program]), "pid"),
        Client("quorvel, pointer on graph", wrap([program]), "pid", hover=True),
        Client("quorvel, Qt image surface", wrap([program]), "pid", {"QUORVEL_SURFACE": "image"}),
        Client("xosview, net meter, 1/s", wrap(xosview), ["--class", "xosview"]),
        Client("conky, 2 net graphs, 1 s", wrap(["conky", "-c", conky_config]), ["--name", "conky-bench"]),
    ]
    if before:
        other = install(before, os.path.join(tmp, "before"))
        runs.insert(2, Client("quorvel before, X surface", wrap([other]), "pid"))
        runs.insert(3, Client("quorvel before, on graph", wrap([other]), "pid", hover=True))
    return runs


def start_session(server_prefix=()):
    """A fresh display with openbox (started afresh up to three times on a loaded machine)."""
    try:
        return Session.own(server_prefix=server_prefix)
    except RuntimeError as e:
        raise SystemExit(str(e))


def callgrind_prefix(home):
    return ["valgrind", "--tool=callgrind", f"--callgrind-out-file={home}/callgrind.%p"]


def server_instructions(pid, home, what):
    """The server's instructions since its counters were zeroed, from a dump callgrind writes."""
    before = set(os.listdir(home))
    subprocess.run(["callgrind_control", f"--dump={what}", str(pid)], check=True, capture_output=True)
    dumps = wait_for(lambda: [n for n in set(os.listdir(home)) - before if n.startswith(f"callgrind.{pid}.")],
                     timeout=60)
    if not dumps:
        raise RuntimeError("callgrind wrote no dump")
    path = os.path.join(home, dumps[0])
    for _ in range(100):  # the dump may still be being written
        with open(path) as f:
            for line in f:
                if line.startswith("summary:"):
                    return int(line.split()[1])
        time.sleep(0.1)
    raise RuntimeError("callgrind's dump has no summary")


def measure(client, seconds, home, callgrind=False):
    """One run in a fresh display: the client's and the server's figures over `seconds`."""
    session = start_session(callgrind_prefix(home) if callgrind else ())
    xvfb = session.server_pid
    proc = None
    try:
        if client is None:  # the idle server
            time.sleep(2)
            x0, t0 = cpu_seconds(xvfb), time.monotonic()
            time.sleep(seconds)
            x1, t1 = cpu_seconds(xvfb), time.monotonic()
            return {"server": 100 * (x1 - x0) / (t1 - t0)}
        env = {**session.env(home), **client.extra_env}
        errors = tempfile.TemporaryFile(mode="w+")
        proc = subprocess.Popen(client.command, env=env, stdout=subprocess.DEVNULL, stderr=errors)
        search = ["--pid", proc.pid] if client.search == "pid" else client.search
        found = wait_for(lambda: proc.poll() is not None or session.xdotool("search", "--onlyvisible", *search),
                         timeout=240 if callgrind else 60, step=0.05)
        if not found or proc.poll() is not None:
            proc.kill()
            errors.seek(0)
            raise RuntimeError(f"{client.name}: no window; {errors.read().strip()}")
        if client.hover:
            session.xdotool("mousemove", "--window", found.split()[0], "60", "60")
        else:
            # Away from every client's window: Xvfb draws its cursor in software, and drawing
            # under it costs the server the cursor's removal and restoring on every tick.
            session.xdotool("mousemove", "1023", "767")
        time.sleep(3)  # let start-up settle before measuring the steady state
        if callgrind:
            time.sleep(5)  # start-up is slower under valgrind
            subprocess.run(["callgrind_control", "--zero", str(xvfb)], check=True, capture_output=True)
            time.sleep(seconds)
            return {"instructions": server_instructions(xvfb, home, client.name.replace(" ", "_")) / seconds}
        c0, x0, s0, t0 = cpu_seconds(proc.pid), cpu_seconds(xvfb), switches(proc.pid), time.monotonic()
        time.sleep(seconds)
        c1, x1, s1, t1 = cpu_seconds(proc.pid), cpu_seconds(xvfb), switches(proc.pid), time.monotonic()
        elapsed = t1 - t0
        return {"own": 100 * (c1 - c0) / elapsed, "server": 100 * (x1 - x0) / elapsed,
                "wakeups": (s1 - s0) / elapsed, "rss": peak_rss_kib(proc.pid) / 1024,
                "private": private_kib(proc.pid) / 1024}
    finally:
        if proc is not None:
            proc.terminate()
            try:
                proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()
        session.stop()


def measure_with_retries(client, seconds, home, callgrind=False):
    for attempt in range(3):
        try:
            return measure(client, seconds, home, callgrind)
        except RuntimeError as e:
            print(f"attempt {attempt + 1}: {e}", file=sys.stderr, flush=True)
    raise SystemExit(f"{client.name}: gave up after three attempts")


def main():
    args = sys.argv[1:]
    scales = None
    if "--scales" in args:
        i = args.index("--scales")
        scales = args[i + 1].split(",")
        del args[i:i + 2]
    traffic = "--traffic" in args
    if traffic:
        args.remove("--traffic")
    callgrind = "--callgrind" in args
    if callgrind:
        args.remove("--callgrind")
    before = None
    if "--before" in args:
        i = args.index("--before")
        before = args[i + 1]
        del args[i:i + 2]
    binary = args[0] if args else os.path.join(HERE, "..", "..", "build", "release", "quorvel")
    seconds = int(args[1]) if len(args) > 1 else 30
    rounds = int(args[2]) if len(args) > 2 else 3
    for tool in ("xosview", "conky"):
        if not scales and not shutil.which(tool):
            raise SystemExit(f"{tool} is not installed (scripts/install-deps installs it)")
    tmp = tempfile.mkdtemp(prefix="quorvel-bench-")
    with contextlib.ExitStack() as stack:
        try:
            flows = stack.enter_context(Traffic("quorvel-bench")) if traffic else None
        except RuntimeError as e:
            raise SystemExit(f"--traffic: {e}") from e
        run_all(binary, seconds, rounds, scales, flows, tmp, before, callgrind)


def run_callgrind(runs, seconds, tmp):
    """Xvfb's instructions per tick for each client that draws on the X server."""
    print(f"Xvfb instructions per tick (callgrind, {seconds} ticks after start-up)")
    for client in runs:
        if "image surface" in client.name or "conky" in client.name:
            continue
        figure = measure_with_retries(client, seconds, tmp, callgrind=True)["instructions"]
        print(f"| {client.name:<28} | {figure / 1000:8.1f} K |", flush=True)


def run_all(binary, seconds, rounds, scales, traffic, tmp, before=None, callgrind=False):
    try:
        runs = clients(binary, tmp, traffic, before)
        if callgrind:
            run_callgrind(runs, seconds, tmp)
            return
        if scales:
            runs = [Client(f"quorvel at scale {scale}", runs[0].command, "pid", {"QT_SCALE_FACTOR": scale})
                    for scale in scales]
        results = {c.name: [] for c in runs}
        idle = []
        for r in range(rounds):
            for client in runs:
                results[client.name].append(measure_with_retries(client, seconds, tmp))
                print(f"round {r + 1}: {client.name}: {results[client.name][-1]}", file=sys.stderr, flush=True)
            idle.append(measure(None, seconds, tmp)["server"])
    finally:
        shutil.rmtree(tmp, ignore_errors=True)

    def median(name, key):
        return statistics.median(m[key] for m in results[name])

    print(f"{rounds} round(s) of {seconds} s, medians; CPU in % of one core; idle Xvfb: "
          f"{statistics.median(idle):.4f} %")
    print(f"| {'program':<28} | own CPU | X server | sum    | wake-ups/s | peak RSS | private  |")
    print(f"|{'-' * 30}|---------|----------|--------|------------|----------|----------|")
    sums = {}
    for client in runs:
        own, server = median(client.name, "own"), median(client.name, "server")
        sums[client.name] = own + server
        print(f"| {client.name:<28} | {own:7.4f} | {server:8.4f} | {own + server:6.4f} | "
              f"{median(client.name, 'wakeups'):10.2f} | {median(client.name, 'rss'):5.1f} MB | "
              f"{median(client.name, 'private'):5.1f} MB |")
    reference = runs[0] if scales else next(c for c in runs if c.name.startswith("xosview"))
    for client in runs:
        print(f"{client.name}: own + X server = {sums[client.name] / sums[reference.name]:.2f} x {reference.name}")


if __name__ == "__main__":
    main()
