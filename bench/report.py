#!/usr/bin/env python3
"""Prints the benchmark results (Google Benchmark JSON) as one table against the targets.

Compute-bound figures are judged on CPU time, which a busy shared machine disturbs less
than wall time; the store's save and write are judged on wall time, since waiting for the
disk is their cost."""
import json
import statistics
import sys

MS = 1e6  # nanoseconds per millisecond
US = 1e3

# (row name, benchmark name, target in ns or None, how the target reads); rows judged on
# wall time are listed in WALL.
ROWS = [
    ("store save, 100 notes", "StoreSave/100", None, ""),
    ("store save, 1,000 notes", "StoreSave/1000", 2 * MS, "< 2 ms"),
    ("store save, 10,000 notes", "StoreSave/10000", 20 * MS, "< 20 ms"),
    ("  encode, 100 notes", "StoreEncode/100", None, ""),
    ("  encode, 1,000 notes", "StoreEncode/1000", None, ""),
    ("  encode, 10,000 notes", "StoreEncode/10000", None, ""),
    ("  write (save - encode), 100", "write/100", None, ""),
    ("  write (save - encode), 1,000", "write/1000", None, ""),
    ("  write (save - encode), 10,000", "write/10000", None, ""),
    ("  write without flush, 1,000", "FileWriteWithoutFlush/1000", None, "diagnostic"),
    ("  write without flush, 10,000", "FileWriteWithoutFlush/10000", None, "diagnostic"),
    ("store load, 100 notes", "StoreLoad/100", None, ""),
    ("store load, 1,000 notes", "StoreLoad/1000", None, ""),
    ("store load, 10,000 notes", "StoreLoad/10000", None, ""),
    ("tracking tick, idle", "TrackingTickIdle", None, "0 allocs"),
    ("tracking tick, idle, toolkit seam", "TrackingTickIdleToolkitDesktop", None, "0 allocs"),
    ("note at rest, repaint", "PaintNoteAtRest", 0.5 * MS, "< 0.5 ms"),
    ("peel frame", "PaintPeelFrame", 4 * MS, "< 4 ms"),
    ("resize frame (grain afresh)", "PaintResizeFrame", 4 * MS, "< 4 ms"),
    ("drag step", "DragStep", 1 * MS, "< 1 ms"),
    ("Sound.play", "SoundPlay", 0.05 * MS, "< 50 us"),
    ("dashboard keystroke, 10,000", "DashboardKeystroke/10000", 10 * MS, "< 10 ms"),
    ("dashboard first keystroke, 10,000", "DashboardFirstKeystroke/10000", 10 * MS, "< 10 ms"),
    ("dashboard tag filter + sidebar, 10,000", "DashboardTagFilterAndSidebar/10000", 10 * MS,
     "< 10 ms"),
    ("title+preview+tags, 100 KB note", "LongNoteDerived", 16 * MS, "< 16 ms (a frame)"),
    ("key + Backspace in a 100 KB note, plain", "TypeInLongNote/0", None, ""),
    ("key + Backspace in a 100 KB note, formatted", "TypeInLongNote/1", 16 * MS,
     "< 16 ms (a frame)"),
    ("key, GUI thread, 10,000 notes", "KeystrokeGuiThread/10000", 2 * MS, "< 2 ms"),
    ("key, GUI thread, 100,000 notes", "KeystrokeGuiThread/100000", None, ""),
    ("key to disk, 10,000 notes", "KeystrokeToDisk/10000/real_time", 30 * MS, "< 30 ms"),
    ("key to disk, 100,000 notes", "KeystrokeToDisk/100000/real_time", 1000 * MS, "< 1 s"),
]

WALL = {"StoreSave/1000", "StoreSave/10000", "KeystrokeToDisk/10000/real_time",
        "KeystrokeToDisk/100000/real_time"}

UNITS = {"ns": 1, "us": US, "ms": MS, "s": 1e9}


def load(path):
    """Medians of the repeated runs of each benchmark, by name."""
    with open(path) as f:
        data = json.load(f)
    runs = {}
    for b in data["benchmarks"]:
        if b.get("run_type") == "iteration":
            runs.setdefault(b["run_name"], []).append(b)
    results = {}
    for name, repeats in runs.items():
        merged = dict(repeats[0])
        for field in ("real_time", "cpu_time", "allocs"):
            if field in merged:
                merged[field] = statistics.median(r[field] for r in repeats)
        merged["error_occurred"] = any(r.get("error_occurred") for r in repeats)
        results[name] = merged
    for n in (100, 1000, 10000):
        save, enc = results.get(f"StoreSave/{n}"), results.get(f"StoreEncode/{n}")
        if save and enc:
            results[f"write/{n}"] = {"real_time": ns(save) - ns(enc),
                                     "cpu_time": cpu(save) - cpu(enc), "time_unit": "ns"}
    return data["context"], results


def ns(b):
    return b["real_time"] * UNITS[b.get("time_unit", "ns")]


def cpu(b):
    return b["cpu_time"] * UNITS[b.get("time_unit", "ns")]


def show(value):
    if value >= MS:
        return f"{value / MS:.2f} ms"
    if value >= US:
        return f"{value / US:.1f} us"
    return f"{value:.0f} ns"


def main():
    context, results = load(sys.argv[1])
    print(f"{'benchmark':40} {'wall':>10} {'cpu':>10}  {'target':18} verdict")
    print("-" * 92)
    for label, key, target, reads in ROWS:
        b = results.get(key)
        if b is None:
            print(f"{label:40} {'missing':>10} {'':>10}  {reads:18} -")
            continue
        if b.get("error_occurred"):
            print(f"{label:40} {'error':>10} {'':>10}  {reads:18} FAIL ({b.get('error_message')})")
            continue
        verdict = ""
        if target is not None:
            judged = ns(b) if key in WALL else cpu(b)
            verdict = "ok" if judged < target else "MISSED"
        if "allocs" in b:
            allocs = b["allocs"]
            verdict = "ok" if allocs == 0 else f"MISSED ({allocs:g} allocs a tick)"
        print(f"{label:40} {show(ns(b)):>10} {show(cpu(b)):>10}  {reads:18} {verdict}")
    s1, s10 = results.get("StoreSave/1000"), results.get("StoreSave/10000")
    e1, e10 = results.get("StoreEncode/1000"), results.get("StoreEncode/10000")
    if s1 and s10 and e1 and e10:
        print(f"{'growth 1,000 -> 10,000 notes':40} {'save':>10} {ns(s10) / ns(s1):>9.1f}x"
              f"  encode {cpu(e10) / cpu(e1):.1f}x (linear: 10x)")
    # Whole-scenario figures, reported as counters (milliseconds) against their targets.
    for key, counter, target, label in (
            ("QuickKeys100k/iterations:1/real_time", "slowest_key_ms", None,
             "20 keys, 100,000 notes: slowest key"),
            ("QuickKeys100k/iterations:1/real_time", "last_key_on_disk_ms", 1000,
             "20 keys, 100,000 notes: last on disk"),
            ("PasteTenMegabytes/iterations:1/real_time", "stall_ms", 100,
             "10 MB paste: longest stall"),
            ("PasteTenMegabytes/iterations:1/real_time", "on_disk_ms", 5000,
             "10 MB paste: on disk")):
        b = results.get(key)
        if b is None or counter not in b:
            continue
        verdict = "" if target is None else ("ok" if b[counter] < target else "MISSED")
        reads = "" if target is None else f"< {target:g} ms"
        print(f"{label:40} {b[counter]:>7.1f} ms {'':>10}  {reads:18} {verdict}")
    print(f"(release build; {context.get('num_cpus')} CPUs; load average "
          f"{', '.join(f'{x:.1f}' for x in context.get('load_avg', []))}; "
          "medians of the repetitions)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
