#!/usr/bin/env python3
"""Prints the speed table from Google Benchmark's JSON output.

Rows are named "operation@side@n": the side "ours" is paired with the other side of the
same operation and n, the floor (what the machine can do at best) or a real tool doing
the same job. Times are medians of the repetitions. Growth is ours at the largest n over
ours at the n ten times smaller: about 10 is linear, about 100 quadratic.
"""
import json
import sys

UNIT_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1000.0}
SKIP = {"iterations", "real_time", "cpu_time", "time_unit", "name", "run_name", "run_type", "repetitions",
        "repetition_index", "threads", "aggregate_name", "aggregate_unit", "family_index",
        "per_family_instance_index", "error_occurred", "error_message", "label"}


def fmt_ms(ms):
    if ms >= 1000:
        return f"{ms / 1000:.2f} s"
    if ms >= 10:
        return f"{ms:.0f} ms"
    if ms >= 1:
        return f"{ms:.1f} ms"
    if ms >= 0.01:
        return f"{ms * 1000:.0f} us"
    return f"{ms * 1000:.2f} us"


def counters(b):
    out = []
    for k, v in b.items():
        if k in SKIP or not isinstance(v, (int, float)):
            continue
        if k == "bytes_per_second":
            out.append(f"{v / 1e6:.0f} MB/s")
        else:
            out.append(f"{k} {v:.3g}")
    return ", ".join(out)


def main(path):
    with open(path) as f:
        data = json.load(f)
    rows = {}
    order = []
    # Runs taken in turns come out mixed: rows keep the order they were registered in,
    # ours before the peers.
    benchmarks = sorted(data["benchmarks"], key=lambda b: (b.get("family_index", 0),
                                                          b.get("per_family_instance_index", 0)))
    for b in benchmarks:
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
            continue
        if b.get("error_occurred"):
            print(f"failed: {b['name']}: {b.get('error_message', '')}", file=sys.stderr)
            continue
        name = b.get("run_name", b["name"])
        parts = name.split("@")
        if len(parts) != 3:
            continue
        op, side, n = parts[0], parts[1], parts[2].split("/")[0]
        key = (op, n)
        if key not in rows:
            rows[key] = {}
            order.append(key)
        rows[key][side] = (b["real_time"] * UNIT_MS[b["time_unit"]], counters(b))

    def ours_ms(op, n):
        r = rows.get((op, str(n)), {}).get("ours")
        return r[0] if r else None

    header = ["operation", "n", "ours", "floor or peer", "ratio", "growth", "notes"]
    table = [header]
    for op, n in order:
        sides = rows[(op, n)]
        ours = sides.get("ours")
        peers = [(s, v) for s, v in sides.items() if s != "ours"]
        peer_text, ratio, notes = "-", "-", []
        if ours and ours[1]:
            notes.append("ours: " + ours[1])
        if peers:
            side, (ms, extra) = peers[0]
            peer_text = f"{fmt_ms(ms)} ({side})"
            if ours and ms > 0:
                ratio = f"{ours[0] / ms:.2f}x"
            if extra:
                notes.append(f"{side}: {extra}")
        growth = "-"
        if n.isdigit() and int(n) >= 10 and int(n) % 10 == 0 and ours:
            smaller = ours_ms(op, int(n) // 10)
            if smaller:
                growth = f"{ours[0] / smaller:.1f}"
        table.append([op, n, fmt_ms(ours[0]) if ours else "-", peer_text, ratio, growth, "; ".join(notes)])
        # Further peers of the same row, each on a line of its own.
        for side, (ms, extra) in peers[1:]:
            ratio = f"{ours[0] / ms:.2f}x" if ours and ms > 0 else "-"
            table.append(["", "", "", f"{fmt_ms(ms)} ({side})", ratio, "", f"{side}: {extra}" if extra else ""])
    widths = [max(len(r[i]) for r in table) for i in range(len(header))]
    for i, r in enumerate(table):
        print(" | ".join(c.ljust(w) for c, w in zip(r, widths)).rstrip())
        if i == 0:
            print("-+-".join("-" * w for w in widths))


if __name__ == "__main__":
    main(sys.argv[1])
