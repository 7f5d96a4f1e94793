#!/usr/bin/env python3
"""Runs the real program under Xvfb at one tick a second and reports its cost.

Usage: bench/app/gadget_bench.py [path/to/quorvel] [seconds]

Reports CPU time per tick, wake-ups (context switches of all its threads) per second,
peak resident memory, and the time from start until its window is mapped on screen.
"""

import os
import shutil
import subprocess
import sys
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


def main():
    binary = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "..", "build", "release", "quorvel")
    seconds = int(sys.argv[2]) if len(sys.argv) > 2 else 60
    session = X11Session().start()
    tmp = tempfile.mkdtemp(prefix="quorvel-bench-")
    try:
        shutil.copy(binary, os.path.join(tmp, "quorvel"))
        start = time.monotonic()
        proc = subprocess.Popen([os.path.join(tmp, "quorvel")], env=session.env(tmp))
        mapped = wait_for(lambda: session.xdotool("search", "--onlyvisible", "--pid", proc.pid), timeout=20,
                          step=0.002)
        first_frame_ms = (time.monotonic() - start) * 1000
        if not mapped:
            raise SystemExit("the window never appeared")
        time.sleep(2)  # let start-up settle before measuring the steady state
        cpu0, sw0, t0 = cpu_seconds(proc.pid), switches(proc.pid), time.monotonic()
        time.sleep(seconds)
        cpu1, sw1, t1 = cpu_seconds(proc.pid), switches(proc.pid), time.monotonic()
        peak = peak_rss_kib(proc.pid)
        proc.terminate()
        proc.wait(timeout=10)
    finally:
        session.stop()
        shutil.rmtree(tmp, ignore_errors=True)
    elapsed = t1 - t0
    ticks = elapsed  # one tick a second by default
    print(f"window mapped after start: {first_frame_ms:.1f} ms")
    print(f"CPU over {elapsed:.1f} s: {(cpu1 - cpu0) * 1000:.1f} ms = {100 * (cpu1 - cpu0) / elapsed:.4f} % of one core")
    print(f"CPU per tick: {(cpu1 - cpu0) * 1e6 / ticks:.0f} us")
    print(f"wake-ups (voluntary context switches, all threads): {(sw1 - sw0) / elapsed:.2f} per second")
    print(f"peak resident memory: {peak / 1024:.1f} MiB")


if __name__ == "__main__":
    main()
