"""Frame rates, detection passes and frame ages from the records of bench/framerate.sh.

usage: analyse.py PHASES

PHASES holds one line per measured stretch: "mode|what|state record-file begin-ns end-ns".
A record file starts with the process id; each further line is "kind tid ns cpu-ns wait-ns":
kind S for a 10 ms sleep, with the thread's CPU time and run-queue wait so far, kind D for a
call of the eye cascade as it begins. The main thread's id is the process id. A frame interval
counts when both of its sleeps fall in the stretch. Beside a record of the fake camera,
RECORD.ages holds "ns age-us" for every frame detection took.
"""

import os
import sys


def percentile(sorted_values, fraction):
    # Nearest rank: the smallest value with at least that fraction of values at or below it.
    index = max(0, min(len(sorted_values) - 1, int(fraction * len(sorted_values) + 0.999999) - 1))
    return sorted_values[index]


def load(path):
    with open(path) as f:
        pid = int(f.readline())
        main, passes = [], []
        for line in f:
            kind, tid, nanos, cpu, wait = line.split()
            if kind == "D":
                passes.append(int(nanos))
            elif int(tid) == pid:
                main.append((int(nanos), int(cpu), int(wait)))
    ages = []
    if os.path.exists(path + ".ages"):
        with open(path + ".ages") as f:
            ages = [tuple(int(v) for v in line.split()) for line in f if line.strip()]
    return sorted(main), sorted(passes), ages


def measure(main, passes, ages, begin, end):
    result = {}
    stretch = (end - begin) / 1e9
    calls = [t for t in passes if begin <= t <= end]
    result["detections"] = len(calls) / stretch
    # The longest time without a pass, the stretch's edges included.
    edges = [begin] + calls + [end]
    result["gap"] = max(b - a for a, b in zip(edges, edges[1:])) / 1e6
    taken = sorted(age / 1000 for t, age in ages if begin <= t <= end)
    if taken:
        result["age"] = percentile(taken, 0.5)
        result["age99"] = percentile(taken, 0.99)
    inside = [r for r in main if begin <= r[0] <= end]
    if len(inside) >= 3:
        times = [r[0] for r in inside]
        intervals = sorted((b - a) / 1e6 for a, b in zip(times, times[1:]))
        span = (times[-1] - times[0]) / 1e9
        result.update({
            "fps": len(intervals) / span,
            "p99": percentile(intervals, 0.99),
            "max": intervals[-1],
            "frames": len(intervals),
            "cpu": (inside[-1][1] - inside[0][1]) / 1e6 / len(intervals),
            "wait": (inside[-1][2] - inside[0][2]) / 1e6 / len(intervals),
        })
    return result


def mean(rows, key):
    values = [m[key] for m in rows if key in m]
    return sum(values) / len(values) if values else None


def cell(value, form, width):
    return format(value, form).rjust(width) if value is not None else "-".rjust(width)


def main():
    records = {}
    rows = []
    with open(sys.argv[1]) as f:
        for line in f:
            label, path, begin, end = line.rstrip("\n").rsplit(" ", 3)
            if path not in records:
                records[path] = load(path)
            mode, what, state = label.split("|")
            rows.append((mode, what, state, measure(*records[path], int(begin), int(end))))

    header = (f"{'run':<30}{'frames':>7}{'fps':>7}{'of bare':>8}{'p99':>7}{'p99/bare':>9}"
              f"{'max':>7}{'cpu':>6}{'queued':>7}{'detect/s':>9}{'of casc':>8}{'gap':>6}"
              f"{'age':>6}{'age99':>6}")
    for mode in dict.fromkeys(r[0] for r in rows):
        mine = [r for r in rows if r[0] == mode]
        # The bare loop runs first and last; the game is compared with the mean of both, so
        # that a machine that slows down or speeds up during the run favours neither side.
        bares = [m for _, what, _, m in mine if what == "bare loop"]
        bare_fps, bare_p99 = mean(bares, "fps"), mean(bares, "p99")
        cascade = {state: m.get("detections") for _, what, state, m in mine if what == "cascade"}
        print(f"== {mode}")
        print(header)
        for _, what, state, m in mine:
            face = what.split()[-1] if what.startswith("camera") else state
            bare_cascade = cascade.get(face) if what != "cascade" else None
            detects = what.startswith("camera") or what == "cascade"
            detections = m["detections"] if detects else None
            gap = m["gap"] if detects else None
            print(f"{what + ': ' + state:<30}{cell(m.get('frames'), 'd', 7)}"
                  f"{cell(m.get('fps'), '.1f', 7)}"
                  f"{cell(100 * m['fps'] / bare_fps if 'fps' in m and bare_fps else None, '.1f', 7)}%"
                  f"{cell(m.get('p99'), '.2f', 7)}"
                  f"{cell(m['p99'] / bare_p99 if 'p99' in m and bare_p99 else None, '.2f', 9)}"
                  f"{cell(m.get('max'), '.2f', 7)}{cell(m.get('cpu'), '.2f', 6)}"
                  f"{cell(m.get('wait'), '.2f', 7)}{cell(detections, '.1f', 9)}"
                  f"{cell(100 * detections / bare_cascade if detects and bare_cascade else None, '.0f', 7)}%"
                  f"{cell(gap, '.0f', 6)}{cell(m.get('age'), '.0f', 6)}"
                  f"{cell(m.get('age99'), '.0f', 6)}")
    print("of bare, p99/bare: against the mean of the mode's two bare-loop stretches; p99, max:")
    print("frame intervals in ms; cpu, queued: the main thread's ms per frame on a CPU and waiting")
    print("for one; detect/s: cascade calls a second; of casc: against the bare cascade on the")
    print("same frame in the same mode; gap: the longest ms without a cascade call; age, age99:")
    print("median and p99 in ms of a frame's age when detection takes it (fake camera's queue)")


if __name__ == "__main__":
    main()
