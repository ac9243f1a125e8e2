#!/usr/bin/env python3
"""Reads the output of several runs of the raster benchmark (scripts/run-bench
writes it: a line "== FIGURE WIDTHxHEIGHT run N" before each run) and
prints the table: for each figure and size, the median over the runs of
each configuration's median frame time, the ratios against the targets,
and whether every picture matched the engine's.

    raster-table.py LOG [TARGET]

TARGET is the one-thread ratio to meet (scripts/run-bench passes its own;
without it the table only reports)."""

import re
import statistics
import sys

ENGINE = ["dip", "dip-full-clear", "execute", "dip-nocull"]
MESA = [f"mesa-{t}{c}{s}" for t in (1, 2) for c in ("-cull", "") for s in ("", "-scissor")]
COLUMNS = ENGINE + MESA + ["floor"]


def main(path, target=None):
    runs = {}  # (figure, size) -> config -> [median ms], and "min:" + config -> [min ms]
    failed = []
    key = None
    for line in open(path, encoding="utf-8"):
        header = re.match(r"== (\S+) (\d+x\d+) run", line)
        if header:
            key = (header.group(1), header.group(2))
            runs.setdefault(key, {})
            continue
        timing = re.match(r"config=(\S+) median_ms=([\d.]+) min_ms=([\d.]+)", line)
        if timing and key:
            runs[key].setdefault(timing.group(1), []).append(float(timing.group(2)))
            runs[key].setdefault("min:" + timing.group(1), []).append(float(timing.group(3)))
            continue
        floor = re.match(r"config=floor median_ms=([\d.]+)", line)
        if floor and key:
            runs[key].setdefault("floor", []).append(float(floor.group(1)))
            continue
        match = re.match(r"match config=(\S+) (.*) FAIL", line)
        if match and key:
            failed.append(f"{key[0]} {key[1]} {match.group(1)}: {match.group(2)}")

    def median(key_, config):
        values = runs[key_].get(config)
        return statistics.median(values) if values else None

    print("raster: median frame times in ms, the median of the runs' medians "
          f"({max((len(v.get('dip', [])) for v in runs.values()), default=0)} runs)")
    print("figure size     " + " ".join(f"{c:>12}" for c in COLUMNS))
    for key_ in runs:
        cells = []
        for c in COLUMNS:
            m = median(key_, c)
            cells.append(f"{m:12.3f}" if m is not None else f"{'-':>12}")
        print(f"{key_[0]:<6} {key_[1]:<9}" + " ".join(cells))

    print()
    print("ratios (engine, indexed, culling on, against llvmpipe culling on with its faster clear):")
    status = 0
    for key_ in runs:
        dip = median(key_, "dip")
        one = [median(key_, c) for c in ("mesa-1-cull", "mesa-1-cull-scissor")]
        two = [median(key_, c) for c in ("mesa-2-cull", "mesa-2-cull-scissor")]
        one = min(v for v in one if v is not None) if any(v is not None for v in one) else None
        two = min(v for v in two if v is not None) if any(v is not None for v in two) else None
        if dip is None or one is None:
            continue
        fastest = [statistics.median(runs[key_][c]) for c in ("min:dip", "min:mesa-1-cull") if c in runs[key_]]
        line = f"  {key_[0]:<6} {key_[1]:<9} 1 thread {dip / one:.3f}"
        if target is not None:
            line += f" (target at most {target:.3g}: {'met' if dip / one <= target else 'MISSED'})"
        if two is not None:
            line += f"   2 threads {dip / two:.3f} (target under 1: {'met' if dip < two else 'MISSED'})"
        if len(fastest) == 2:
            line += f"   fastest frames {fastest[0] / fastest[1]:.3f}"
        floor = median(key_, "floor")
        if floor:
            line += f"   floor {floor:.3f} ms = {floor / dip:.0%} of dip"
        print(line)
    print()
    if failed:
        status = 1
        print("pictures that differ from the engine's:")
        for f in failed:
            print("  " + f)
    else:
        print("pictures: every configuration's last frame matched the engine's")
    return status


if __name__ == "__main__":
    if len(sys.argv) not in (2, 3):
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    sys.exit(main(sys.argv[1], float(sys.argv[2]) if len(sys.argv) == 3 else None))
