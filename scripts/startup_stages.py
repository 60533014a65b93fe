#!/usr/bin/env python3
"""Prints the medians of the start-up stages that startup_stages.exe wrote, one
run a line of "label=milliseconds" pairs: the time from the process's creation
to each stamp, and the step from the stamp before it."""
import statistics
import sys


def read_runs(path):
    runs = []
    with open(path, encoding="utf-8") as stamps:
        for line in stamps:
            pairs = [pair.rsplit("=", 1) for pair in line.split()]
            if pairs:
                runs.append([(label, float(ms)) for label, ms in pairs])
    return runs


def main():
    runs = read_runs(sys.argv[1])
    labels = [label for label, _ in runs[0]]
    if any([label for label, _ in run] != labels for run in runs):
        sys.exit("the runs made different windows: no medians")
    print(f"median of {len(runs)} runs: ms since process creation, and the step from the stamp before")
    for i, label in enumerate(labels):
        at = statistics.median(run[i][1] for run in runs)
        step = statistics.median(run[i][1] - (run[i - 1][1] if i else 0.0) for run in runs)
        print(f"{label:32s} {at:8.2f} {step:8.2f}")


if __name__ == "__main__":
    main()
