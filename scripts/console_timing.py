#!/usr/bin/env python3
"""This computer's list to CSV, whole process under Wine: Fixtally.com beside Wine's wmic.

    console_timing.py WINE_LOADER WINEPREFIX FIXTALLY_COM [rounds]

Both read the same WMI class and write the same four properties; each round runs one then the
other, alternating which goes first, so both see the same load. Wine's wmic of the program's own
width is the baseline (the 32-bit one under syswow64 for a 32-bit Fixtally.com). For each round
the script takes the wall time, the CPU time (user and system, from the process's resource usage)
and the peak resident memory of both, and each round's ratio of ours to wmic's; it prints the
medians and the spread of the ratios, and exits 1 when a median ratio is above its goal. For
information it also runs `Fixtally.com /?` in each round: what starting the program costs.
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

GOALS = {"wall": 0.6, "cpu": 1.0, "memory": 1.0}
UNITS = {"wall": ("ms", 1000), "cpu": ("ms", 1000), "memory": ("MiB", 1 / 1024)}
ROWS = ("KB1234567".encode(), "KB1234567".encode("utf-16-le"))  # Wine's one hotfix
loader, prefix, program = sys.argv[1], os.path.abspath(sys.argv[2]), sys.argv[3]
rounds = int(sys.argv[4]) if len(sys.argv) > 4 else 15
env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all", LANG="en_US.UTF-8")
env.pop("LC_ALL", None)


def is_32_bit(path):
    with open(path, "rb") as file:
        header = file.read(4096)
    pe = int.from_bytes(header[0x3C:0x40], "little")
    return header[pe + 4:pe + 6] == b"\x4c\x01"  # IMAGE_FILE_MACHINE_I386


def measured(command, lists_the_hotfix=True):
    """Wall seconds, CPU seconds and peak resident KiB of one whole process."""
    with tempfile.TemporaryFile() as out:
        start = time.perf_counter()
        process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=out,
                                   stderr=subprocess.DEVNULL, env=env)
        _, status, usage = os.wait4(process.pid, 0)
        wall = time.perf_counter() - start
        code = os.waitstatus_to_exitcode(status)
        out.seek(0)
        text = out.read()  # wmic writes UTF-16
        if code != 0 or (lists_the_hotfix and not any(row in text for row in ROWS)):
            sys.exit(f"{command[1]} failed (exit {code})")
    return {"wall": wall, "cpu": usage.ru_utime + usage.ru_stime, "memory": usage.ru_maxrss}


# By its whole path: a bare "wmic" is not a file Wine finds, so it starts it through start.exe in
# a process of its own, whose CPU time and memory the wait for the first one does not count.
wmic_path = ("C:\\windows\\syswow64\\wbem\\wmic.exe" if is_32_bit(program)
             else "C:\\windows\\system32\\wbem\\wmic.exe")
commands = {
    "ours": [loader, program, "/format:csv"],
    "wmic": [loader, wmic_path, "path", "Win32_QuickFixEngineering", "get",
             "HotFixID,InstalledOn,Description,InstalledBy"],
    "start": [loader, program, "/?"],
}
subprocess.call([loader, "wineboot"], env=env, stdout=subprocess.DEVNULL,
                stderr=subprocess.DEVNULL)  # the prefix's services up before any timing
for name, command in commands.items():  # the first start of a program loads its libraries
    measured(command, name != "start")
samples = {name: [] for name in commands}
for i in range(rounds):
    order = list(commands) if i % 2 == 0 else list(reversed(commands))
    for name in order:
        samples[name].append(measured(commands[name], name != "start"))

failed = False
print(f"| this computer to CSV, whole process ({rounds} rounds) | ours | wmic | ratio (min–max) "
      "| goal | result | starting alone (`/?`) |")
print("|---|---|---|---|---|---|---|")
for measure, goal in GOALS.items():
    unit, scale = UNITS[measure]
    ratios = [o[measure] / w[measure] for o, w in zip(samples["ours"], samples["wmic"])]
    ratio = statistics.median(ratios)
    value = {name: statistics.median(s[measure] for s in samples[name]) * scale
             for name in commands}
    result = "pass" if ratio <= goal else "FAIL"
    failed |= ratio > goal
    print(f"| {measure} | {value['ours']:.1f} {unit} | {value['wmic']:.1f} {unit} | "
          f"{ratio:.2f}× ({min(ratios):.2f}–{max(ratios):.2f}) | ≤ {goal}× | {result} | "
          f"{value['start']:.1f} {unit} |")
sys.exit(1 if failed else 0)
