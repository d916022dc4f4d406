#!/usr/bin/env python3
"""Turns the JSON output of the Fixtally benchmarks into one table: each operation beside its
baseline of the same run, the ratio, the goal at 100,000 rows and whether it is met; then how
each operation grows from 10,000 to 100,000 rows.

Usage: bench_table.py RESULT.json [RESULT.json ...]   (standard library only)
"""
import json
import math
import re
import sys

GOAL_ROWS = 100000
ROW_COUNTS = (1000, 10000, 100000)
NLOGN_LIMIT = 10 * math.log(100000) / math.log(10000)  # 12.5: n log n from 10,000 to 100,000
LINEAR_LIMIT = 10.0
UNIT_TO_NS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}


def load(paths):
    """name -> {"ns": cpu time per iteration, "cv": spread in %, "counters": {...}}"""
    runs = {}
    spreads = {}
    for path in paths:
        with open(path, encoding="utf-8") as handle:
            data = json.load(handle)
        for bench in data.get("benchmarks", []):
            if bench.get("error_occurred"):
                print(f"benchmark failed: {bench['name']}: {bench.get('error_message')}",
                      file=sys.stderr)
                continue
            name = bench.get("run_name", bench["name"])
            if bench.get("run_type") == "aggregate":
                kind = bench.get("aggregate_name")
                if kind == "cv":
                    spreads[name] = 100.0 * bench["cpu_time"]
                if kind != "median":
                    continue
                runs[name] = entry(bench)
            elif name not in runs or "reps" in runs[name]:
                # Without aggregates, the repetitions are averaged.
                previous = runs.get(name)
                current = entry(bench)
                if previous is not None:
                    count = previous["reps"] + 1
                    current["ns"] = (previous["ns"] * previous["reps"] + current["ns"]) / count
                    current["reps"] = count
                runs[name] = current
    for name, cv in spreads.items():
        if name in runs:
            runs[name]["cv"] = cv
    return runs


def entry(bench):
    scale = UNIT_TO_NS[bench.get("time_unit", "ns")]
    counters = {key: value for key, value in bench.items() if isinstance(value, (int, float))}
    return {"ns": bench["cpu_time"] * scale, "counters": counters, "reps": 1}


def fmt_time(ns):
    if ns >= 1e6:
        return f"{ns / 1e6:.2f} ms"
    if ns >= 1e3:
        return f"{ns / 1e3:.1f} µs"
    return f"{ns:.0f} ns"


def fmt_bytes(value):
    return f"{value / 1e6:.2f} MB" if value >= 1e6 else f"{value / 1e3:.1f} kB"


def spread(run):
    return f" ±{run['cv']:.0f}%" if "cv" in run else ""


class Table:
    def __init__(self):
        self.rows = []
        self.missing = []

    def timed(self, label, rows, ours, base, goal):
        if ours is None or base is None:
            self.missing.append(f"{label}, {rows} rows")
            return
        ratio = ours["ns"] / base["ns"]
        verdict = verdict_at(rows, ratio <= goal if goal else None)
        self.rows.append([label, f"{rows:,}", fmt_time(ours["ns"]) + spread(ours),
                          fmt_time(base["ns"]) + spread(base), f"{ratio:.2f}×",
                          f"≤ {goal:.1f}×" if goal else "(information)", verdict])

    def per_row(self, label, rows, ours, limit_ns):
        if ours is None:
            self.missing.append(f"{label}, {rows} rows")
            return
        each = ours["ns"] / rows
        self.rows.append([label, f"{rows:,}", f"{each / 1e3:.2f} µs/row" + spread(ours), "—", "—",
                          f"≤ {limit_ns / 1e3:.0f} µs/row", verdict_at(rows, each <= limit_ns)])

    def memory(self, label, rows, run):
        if run is None:
            self.missing.append(f"{label}, {rows} rows")
            return
        c = run["counters"]
        held, text, goal = c["held_bytes"], c["text_bytes"], c["goal_bytes"]
        self.rows.append([label, f"{rows:,}",
                          f"{fmt_bytes(held)} ({held / rows:.0f} B/row)",
                          f"{fmt_bytes(text)} ({text / rows:.0f} B/row)", f"{held / text:.2f}×",
                          f"≤ 1.5× + 64 B/row = {fmt_bytes(goal)}",
                          verdict_at(rows, held <= goal)])


def verdict_at(rows, passed):
    if passed is None:
        return "—"
    if rows != GOAL_ROWS:
        return "(ok)" if passed else "(over)"
    return "pass" if passed else "FAIL"


def markdown(header, rows):
    lines = ["| " + " | ".join(header) + " |", "|" + "|".join("---" for _ in header) + "|"]
    lines += ["| " + " | ".join(row) + " |" for row in rows]
    return "\n".join(lines)


def many_computers(get):
    """The console program's run over 1,000 fake computers: wall time against the limit (sum of
    the delays divided by the parallelism), and what the run keeps against the same computers
    read one after another."""
    rows = []
    for parallel in (16, 64):
        run = get(f"ManyComputersAtOnce/parallel:{parallel}/iterations:1/manual_time")
        if run is None:
            continue
        c = run["counters"]
        rows.append([f"1,000 computers × 100 rows, parallel {parallel}",
                     f"{c['wall_ms']:.0f} ms", f"{c['limit_ms']:.0f} ms (limit)",
                     f"{c['ratio']:.3f}×", f"≤ {c['goal']:.2f}×",
                     "pass" if c["ratio"] <= c["goal"] else "FAIL"])
    run = get("HalfOfTheComputersDead/iterations:1/manual_time")
    if run is not None:
        c = run["counters"]
        rows.append(["2,000 computers, every second one never answering, parallel 64",
                     f"{c['wall_ms']:.0f} ms", f"{c['limit_ms']:.0f} ms (limit)",
                     f"{c['ratio']:.3f}×", f"≤ {c['goal']:.2f}×",
                     "pass" if c["ratio"] <= c["goal"] else "FAIL"])
    for computers, count in ((1000, 100), (250, 400)):
        run = get(f"MemoryOfManyComputers/computers:{computers}/rows:{count}/iterations:1")
        if run is None:
            continue
        c = run["counters"]
        rows.append([f"memory kept, {computers:,} computers × {count} rows",
                     f"{fmt_bytes(c['held_bytes'])} ({c['held_per_row']:.0f} B/row)",
                     f"{fmt_bytes(c['serial_bytes'])} (read one by one)",
                     f"{c['held_vs_serial']:.3f}×", "≤ 1.01×",
                     "pass" if c["held_vs_serial"] <= 1.01 else "FAIL"])
        rows.append([f"memory at its peak, {computers:,} computers × {count} rows", "—",
                     "kept at the end", f"{c['peak_vs_held']:.3f}×", f"≤ {c['peak_goal']:.3f}×",
                     "pass" if c["peak_vs_held"] <= c["peak_goal"] else "FAIL"])
    if rows:
        print()
        print("Many computers at once (console program):")
        print()
        print(markdown(["operation", "ours", "baseline", "ratio", "goal", "result"], rows))
    return rows


def main(paths):
    runs = load(paths)
    get = runs.get
    table = Table()
    growth = []  # (label, ours and baseline name patterns with {n}, limit)

    for column in range(4):
        label = f"sort by column {column}"
        for n in ROW_COUNTS:
            table.timed(label, n, get(f"SortByColumnOurs/column:{column}/rows:{n}"),
                        get(f"SortBaselineCollation/column:{column}/rows:{n}"), 2.0)
        growth.append((label, f"SortByColumnOurs/column:{column}/rows:{{n}}",
                       f"SortBaselineCollation/column:{column}/rows:{{n}}", NLOGN_LIMIT))
    for column in range(4):
        label = f"header click reversing column {column}"
        for n in ROW_COUNTS:
            table.timed(label, n, get(f"HeaderClickReverses/column:{column}/rows:{n}"),
                        get(f"SortBaselineCollation/column:{column}/rows:{n}"), 2.0)
        growth.append((label, f"HeaderClickReverses/column:{column}/rows:{{n}}",
                       f"SortBaselineCollation/column:{column}/rows:{{n}}", NLOGN_LIMIT))
    for column in (0, 2):
        label = f"search keystroke, column {column}"
        for n in ROW_COUNTS:
            table.timed(label, n, get(f"SearchKeystrokeOurs/column:{column}/rows:{n}"),
                        get(f"SearchKeystrokeBaseline/column:{column}/rows:{n}"), 2.0)
        growth.append((label, f"SearchKeystrokeOurs/column:{column}/rows:{{n}}",
                       f"SearchKeystrokeBaseline/column:{column}/rows:{{n}}", LINEAR_LIMIT))
    for n in ROW_COUNTS:
        table.timed("\"Copier\" text", n, get(f"CopyTextOurs/rows:{n}"),
                    get(f"CopyTextBaseline/rows:{n}"), 1.5)
    growth.append(("\"Copier\" text", "CopyTextOurs/rows:{n}", "CopyTextBaseline/rows:{n}", LINEAR_LIMIT))
    for n in ROW_COUNTS:
        table.timed("CSV export to a file", n, get(f"CsvExportOurs/rows:{n}"),
                    get(f"CsvExportBaseline/rows:{n}"), 1.5)
    for n in ROW_COUNTS:
        table.timed("CSV export against an append in memory", n, get(f"CsvExportOurs/rows:{n}"),
                    get(f"CsvExportInMemoryBaseline/rows:{n}"), None)
    label = "rows beyond WMI's (Windows Update, servicing packages)"
    for n in ROW_COUNTS:
        table.timed(label, n, get(f"UpdateMergeOurs/rows:{n}"), get(f"UpdateMergeBaseline/rows:{n}"),
                    1.5)
    for n in ROW_COUNTS:
        table.per_row("reading objects into rows", n, get(f"ReadHotfixObjects/rows:{n}"), 2000.0)
    growth.append(("reading objects into rows", "ReadHotfixObjects/rows:{n}", None, LINEAR_LIMIT))
    for n in ROW_COUNTS:
        table.memory("memory held by the rows and their sort keys", n,
                     get(f"MemoryHeldByRows/rows:{n}/iterations:1"))
    for column in (2, 3):
        label = f"sort by column {column} against a byte-order sort"
        for n in ROW_COUNTS:
            table.timed(label, n, get(f"SortByColumnOurs/column:{column}/rows:{n}"),
                        get(f"SortBaselineByteOrder/column:{column}/rows:{n}"), None)

    print(markdown(["operation", "N", "ours", "baseline", "ratio", "goal at 100,000", "result"],
                   table.rows))
    print()
    heap = get("MemoryHeldByRows/rows:100000/iterations:1")
    if heap and "heap_per_row" in heap["counters"]:
        c = heap["counters"]
        print(f"At 100,000 rows: the rows {c['rows_per_row']:.1f} B/row, their sort keys after a "
              f"click on every column {c['keys_per_row']:.1f} B/row (what the search keeps besides: "
              f"{c['search_per_row']:.1f} B/row). The goal counts requested bytes; in a 64-bit "
              f"glibc heap, chunk headers and rounding included, rows and keys take "
              f"{c['heap_per_row']:.0f} B/row.")
        print()

    growth_rows = []
    for label, pattern, base_pattern, limit in growth:
        small, large = get(pattern.format(n=10000)), get(pattern.format(n=100000))
        if small is None or large is None:
            continue
        factor = large["ns"] / small["ns"]
        base_factor = "—"
        if base_pattern:
            base_small = get(base_pattern.format(n=10000))
            base_large = get(base_pattern.format(n=100000))
            if base_small and base_large:
                base_factor = f"{base_large['ns'] / base_small['ns']:.1f}×"
        kind = "n log n" if limit == NLOGN_LIMIT else "n"
        growth_rows.append([label, fmt_time(small["ns"]), fmt_time(large["ns"]), f"{factor:.1f}×",
                            base_factor, f"≤ {limit:.1f}× ({kind})",
                            "pass" if factor <= limit else "FAIL"])
    small = get("MemoryHeldByRows/rows:10000/iterations:1")
    large = get("MemoryHeldByRows/rows:100000/iterations:1")
    if small and large:
        factor = large["counters"]["held_bytes"] / small["counters"]["held_bytes"]
        growth_rows.append(["memory held by the rows and their sort keys",
                            fmt_bytes(small["counters"]["held_bytes"]),
                            fmt_bytes(large["counters"]["held_bytes"]), f"{factor:.1f}×", "—",
                            f"≤ {LINEAR_LIMIT:.1f}× (n)",
                            "pass" if factor <= LINEAR_LIMIT else "FAIL"])
    print("Growth from 10,000 to 100,000 rows:")
    print()
    print(markdown(["operation", "10,000", "100,000", "growth", "baseline growth", "limit", "result"],
                   growth_rows))

    computer_rows = many_computers(get)
    if table.missing:
        print()
        print("No result for: " + "; ".join(table.missing))
    failed = any(row[-1] == "FAIL" for row in table.rows + growth_rows + computer_rows)
    return 1 if failed or table.missing else 0


if __name__ == "__main__":
    if len(sys.argv) < 2:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    sys.exit(main(sys.argv[1:]))
