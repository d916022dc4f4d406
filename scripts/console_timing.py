#!/usr/bin/env python3
"""This computer's list to CSV, whole process under Wine: Fixtally.com beside Wine's wmic.

    console_timing.py WINE_LOADER WINEPREFIX FIXTALLY_COM [rounds]

Both read the same WMI class and write the same four properties; each round runs one then the
other, alternating which goes first, so both see the same load. Prints the median time of each,
the ratio of the medians and its spread over the rounds, and exits 1 when the median ratio is
above the goal (0.7).
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

GOAL = 0.7
ROWS = ("KB1234567".encode(), "KB1234567".encode("utf-16-le"))  # Wine's one hotfix
loader, prefix, program = sys.argv[1], os.path.abspath(sys.argv[2]), sys.argv[3]
rounds = int(sys.argv[4]) if len(sys.argv) > 4 else 15
env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all", LANG="en_US.UTF-8")
env.pop("LC_ALL", None)


def timed(command):
    with tempfile.TemporaryFile() as out:
        start = time.perf_counter()
        code = subprocess.call(command, stdin=subprocess.DEVNULL, stdout=out,
                               stderr=subprocess.DEVNULL, env=env, timeout=120)
        elapsed = time.perf_counter() - start
        out.seek(0)
        text = out.read()  # wmic writes UTF-16
        if code != 0 or not any(row in text for row in ROWS):
            sys.exit(f"{command[1]} failed (exit {code})")
    return elapsed


ours = [loader, program, "/format:csv"]
wmic = [loader, "wmic", "path", "Win32_QuickFixEngineering", "get",
        "HotFixID,InstalledOn,Description,InstalledBy"]
subprocess.call([loader, "wineboot"], env=env, stdout=subprocess.DEVNULL,
                stderr=subprocess.DEVNULL)  # the prefix's services up before any timing
timed(ours), timed(wmic)  # warm both: the first start of a program loads its libraries
times = {"ours": [], "wmic": []}
ratios = []
for i in range(rounds):
    order = [("ours", ours), ("wmic", wmic)] if i % 2 == 0 else [("wmic", wmic), ("ours", ours)]
    this_round = {name: timed(command) for name, command in order}
    for name, value in this_round.items():
        times[name].append(value)
    ratios.append(this_round["ours"] / this_round["wmic"])

ours_ms = statistics.median(times["ours"]) * 1000
wmic_ms = statistics.median(times["wmic"]) * 1000
ratio = statistics.median(ratios)
result = "pass" if ratio <= GOAL else "FAIL"
print("| operation | ours | wmic | ratio (min–max) | goal | result |")
print("|---|---|---|---|---|---|")
print(f"| this computer to CSV, whole process | {ours_ms:.0f} ms | {wmic_ms:.0f} ms | "
      f"{ratio:.2f}× ({min(ratios):.2f}–{max(ratios):.2f}) | ≤ {GOAL}× | {result} |")
sys.exit(0 if ratio <= GOAL else 1)
