#!/usr/bin/env python3
"""Runs the real program under Xvfb at one tick a second and reports its cost.

Usage: bench/app/gadget_bench.py [path/to/quorvel] [seconds] [--scales 1,2 [--rounds N]]

Reports CPU time per tick, wake-ups (context switches of all its threads) per second,
peak resident memory, and the time from start until its window is mapped on screen.
With --scales, the program runs once per Qt scale factor (QT_SCALE_FACTOR) in each of
N rounds (3 by default), taking turns, and the medians are reported side by side with
their ratio to the first scale.
"""

import os
import shutil
import subprocess
import sys
import statistics
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "e2e", "gadget"))
from x11session import X11Session, wait_for  # noqa: E402

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


def measure(session, binary, seconds, scale=None):
    """One run of the program: a dict of its figures."""
    tmp = tempfile.mkdtemp(prefix="quorvel-bench-")
    try:
        shutil.copy(binary, os.path.join(tmp, "quorvel"))
        env = session.env(tmp)
        if scale is not None:
            env["QT_SCALE_FACTOR"] = str(scale)
        start = time.monotonic()
        proc = subprocess.Popen([os.path.join(tmp, "quorvel")], env=env)
        mapped = wait_for(lambda: session.xdotool("search", "--onlyvisible", "--pid", proc.pid), timeout=20,
                          step=0.002)
        first_frame_ms = (time.monotonic() - start) * 1000
        if not mapped:
            proc.kill()
            raise SystemExit("the window never appeared")
        time.sleep(2)  # let start-up settle before measuring the steady state
        cpu0, sw0, t0 = cpu_seconds(proc.pid), switches(proc.pid), time.monotonic()
        time.sleep(seconds)
        cpu1, sw1, t1 = cpu_seconds(proc.pid), switches(proc.pid), time.monotonic()
        peak = peak_rss_kib(proc.pid)
        proc.terminate()
        proc.wait(timeout=10)
    finally:
        shutil.rmtree(tmp, ignore_errors=True)
    elapsed = t1 - t0
    ticks = elapsed  # one tick a second by default
    return {"mapped_ms": first_frame_ms, "elapsed": elapsed, "cpu": cpu1 - cpu0,
            "tick_us": (cpu1 - cpu0) * 1e6 / ticks, "wakeups": (sw1 - sw0) / elapsed, "peak_mib": peak / 1024}


def compare(session, binary, seconds, scales, rounds):
    runs = {scale: [] for scale in scales}
    for _ in range(rounds):
        for scale in scales:
            runs[scale].append(measure(session, binary, seconds, scale))
    rows = [("CPU per tick (us)", "tick_us"), ("peak resident memory (MiB)", "peak_mib"),
            ("wake-ups per second", "wakeups"), ("window mapped after start (ms)", "mapped_ms")]
    print(f"medians of {rounds} runs of {seconds} s each")
    print(f"{'':32}" + "".join(f"{'scale ' + str(s):>14}" for s in scales) + f"{'ratio':>10}")
    for label, key in rows:
        medians = [statistics.median(run[key] for run in runs[s]) for s in scales]
        ratio = medians[-1] / medians[0] if medians[0] else float("nan")
        print(f"{label:32}" + "".join(f"{m:14.1f}" for m in medians) + f"{ratio:10.2f}")
    for scale in scales:
        print(f"scale {scale}, CPU per tick of each run (us): "
              + ", ".join(f"{run['tick_us']:.0f}" for run in runs[scale]))


def main():
    args = sys.argv[1:]
    scales, rounds = None, 3
    if "--scales" in args:
        i = args.index("--scales")
        scales = [float(s) if "." in s else int(s) for s in args[i + 1].split(",")]
        del args[i:i + 2]
    if "--rounds" in args:
        i = args.index("--rounds")
        rounds = int(args[i + 1])
        del args[i:i + 2]
    binary = args[0] if args else os.path.join(HERE, "..", "..", "build", "release", "quorvel")
    seconds = int(args[1]) if len(args) > 1 else 60
    session = X11Session().start()
    try:
        if scales:
            compare(session, binary, seconds, scales, rounds)
            return
        run = measure(session, binary, seconds)
    finally:
        session.stop()
    print(f"window mapped after start: {run['mapped_ms']:.1f} ms")
    print(f"CPU over {run['elapsed']:.1f} s: {run['cpu'] * 1000:.1f} ms = "
          f"{100 * run['cpu'] / run['elapsed']:.4f} % of one core")
    print(f"CPU per tick: {run['tick_us']:.0f} us")
    print(f"wake-ups (voluntary context switches, all threads): {run['wakeups']:.2f} per second")
    print(f"peak resident memory: {run['peak_mib']:.1f} MiB")


if __name__ == "__main__":
    main()
