"""Frame rates from the sleep records of bench/framerate.sh.

usage: analyse.py PHASES

PHASES holds one line per measured stretch: "label record-file begin-ns end-ns". A record
file starts with the process id; each further line is "tid ns cpu-ns wait-ns", one per 10 ms
sleep, with the thread's CPU time and run-queue wait so far. The
main thread's id is the process id; any other thread that sleeps 10 ms is the detection
worker, which sleeps once per pass. A frame interval counts when both of its sleeps fall in
the stretch.
"""

import sys


def percentile(sorted_values, fraction):
    # Nearest rank: the smallest value with at least that fraction of values at or below it.
    index = max(0, min(len(sorted_values) - 1, int(fraction * len(sorted_values) + 0.999999) - 1))
    return sorted_values[index]


def load(path):
    with open(path) as f:
        pid = int(f.readline())
        main, worker = [], []
        for line in f:
            tid, nanos, cpu, wait = (int(v) for v in line.split())
            (main if tid == pid else worker).append((nanos, cpu, wait))
    return sorted(main), sorted(worker)


def measure(main, worker, begin, end):
    inside = [r for r in main if begin <= r[0] <= end]
    if len(inside) < 3:
        return None
    times = [r[0] for r in inside]
    intervals = sorted((b - a) / 1e6 for a, b in zip(times, times[1:]))
    span = (times[-1] - times[0]) / 1e9
    passes = [r for r in worker if begin <= r[0] <= end]
    return {
        "fps": len(intervals) / span,
        "median": percentile(intervals, 0.5),
        "p99": percentile(intervals, 0.99),
        "max": intervals[-1],
        "detections": len(passes) / ((end - begin) / 1e9) if passes else 0.0,
        "frames": len(intervals),
        "cpu": (inside[-1][1] - inside[0][1]) / 1e6 / len(intervals),
        "wait": (inside[-1][2] - inside[0][2]) / 1e6 / len(intervals),
    }


def main():
    rows = []
    records = {}
    with open(sys.argv[1]) as f:
        for line in f:
            label, path, begin, end = line.rstrip("\n").rsplit(" ", 3)
            if path not in records:
                records[path] = load(path)
            rows.append((label, measure(*records[path], int(begin), int(end))))
    # The bare loop runs first and last; the game is compared with the mean of both, so that
    # a machine that slows down or speeds up during the run does not favour either side.
    bares = [m for label, m in rows if label.startswith("bare loop") and m]
    bare = {key: sum(m[key] for m in bares) / len(bares) for key in ("fps", "p99")}
    print(f"{'run':<28}{'frames':>7}{'fps':>7}{'of bare':>9}{'median':>8}{'p99':>7}"
          f"{'p99/bare':>9}{'max':>7}{'cpu':>6}{'queued':>7}{'detect/s':>9}")
    for label, m in rows:
        if m is None:
            print(f"{label:<28}   no frames recorded")
            continue
        detections = f"{m['detections']:9.1f}" if m["detections"] else f"{'-':>9}"
        print(f"{label:<28}{m['frames']:7d}{m['fps']:7.1f}{100 * m['fps'] / bare['fps']:8.1f}%"
              f"{m['median']:8.2f}{m['p99']:7.2f}{m['p99'] / bare['p99']:9.2f}{m['max']:7.2f}"
              f"{m['cpu']:6.2f}{m['wait']:7.2f}{detections}")
    print("of bare, p99/bare: against the mean of the two bare-loop stretches")
    print("median, p99, max: intervals in ms between the main loop's 10 ms sleeps; cpu, queued:")
    print("the main thread's ms per frame on a CPU and waiting for one; detect/s: detection passes")


if __name__ == "__main__":
    main()
