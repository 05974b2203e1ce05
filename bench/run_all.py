#!/usr/bin/env python3
"""Every benchmark, one after another, and one table of each figure beside its target,
headed by the machine it ran on. `make bench` runs this.

    bench/run_all.py [--output FILE] [ROW ...]     ROW: dwell idle rotation dashboard switch memory startup playlist stop
"""
import argparse
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import benchlib
import big_playlist
import dashboard_cost
import dwell_accuracy
import idle_cost
import memory_long_run
import responsiveness
import rotation_cost
import startup
import switch_frames

ROWS = {
    "dwell": dwell_accuracy.rows,
    "idle": idle_cost.rows,
    "rotation": rotation_cost.rows,
    "dashboard": dashboard_cost.rows,
    "switch": switch_frames.rows,
    "memory": memory_long_run.rows,
    "startup": startup.rows,
    "playlist": big_playlist.rows,
    "stop": responsiveness.rows,
}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output", help="also write the table, as Markdown, to this file")
    parser.add_argument("rows", nargs="*", metavar="ROW", help=" ".join(ROWS))
    chosen = parser.parse_args()
    names = chosen.rows or list(ROWS)
    unknown = [name for name in names if name not in ROWS]
    if unknown:
        parser.error("no such row: %s (rows: %s)" % (" ".join(unknown), " ".join(ROWS)))

    rows = []
    loads = []
    started = time.monotonic()
    for name in names:
        before = benchlib.load_average()
        benchlib.note("%s (load average %s)" % (name, before))
        measured = ROWS[name]()
        rows.extend(measured)
        loads.append("%s %s" % (name, before.split()[0]))
        for row in measured:
            benchlib.note(row.markdown())

    lines = [
        "Machine: %s." % benchlib.machine_description(),
        "",
        "Measured %s; load average (1 min) at the start of each row: %s. Took %.0f s." % (
            time.strftime("%Y-%m-%d %H:%M"), ", ".join(loads), time.monotonic() - started),
        "",
        benchlib.TABLE_HEAD,
    ] + [row.markdown() for row in rows]
    text = "\n".join(lines) + "\n"
    print()
    print(text, end="")
    if chosen.output:
        with open(chosen.output, "w") as f:
            f.write(text)
    missed = [row.what for row in rows if row.met is False]
    if missed:
        print("\nMissed: %s (bench/RESULTS.md says why)." % "; ".join(missed))


if __name__ == "__main__":
    main()
