"""Launch-to-window-mapped time of taskwick against a minimal Qt Widgets program.

Usage: startup_time.py TASKWICK MAP_TIMER MINIMAL_QT_WINDOW [--runs N]
Runs on a private Xvfb without a window manager. taskwick starts from a copy in a folder of
its own that already holds the ToDoList.xml of a first run, so the runs measure an ordinary
start; the time is taken until its main window is mapped.
"""

import argparse
import os
import statistics
import sys
import tempfile

from harness import XSession, copy_binary

CLASS = "TToDoForm"


def measure(session, argv, cwd, runs):
    times = []
    for _ in range(runs):
        result = session.run(argv, cwd=cwd, timeout=60)
        if result.returncode != 0:
            raise SystemExit(f"{argv[-1]}: {result.stderr.strip() or 'no window'}")
        times.append(float(result.stdout.strip()))
    return times


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("taskwick")
    parser.add_argument("map_timer")
    parser.add_argument("minimal")
    parser.add_argument("--runs", type=int, default=9)
    args = parser.parse_args()

    with XSession() as session, tempfile.TemporaryDirectory(prefix="taskwick-time-") as folder:
        taskwick = copy_binary(os.path.abspath(args.taskwick), folder)
        timer = os.path.abspath(args.map_timer)
        # The first run writes ToDoList.xml when it is ended; later runs read it.
        measure(session, [timer, "--class", CLASS, taskwick], folder, 1)
        ours = measure(session, [timer, "--class", CLASS, taskwick], folder, args.runs)
        minimal = measure(session, [timer, os.path.abspath(args.minimal)], folder, args.runs)

    ours_median = statistics.median(ours)
    minimal_median = statistics.median(minimal)
    print(f"runs per program:      {args.runs}")
    print(f"taskwick (median):     {ours_median:.1f} ms  "
          f"(min {min(ours):.1f}, max {max(ours):.1f})")
    print(f"minimal Qt (median):   {minimal_median:.1f} ms  "
          f"(min {min(minimal):.1f}, max {max(minimal):.1f})")
    print(f"ratio:                 {ours_median / minimal_median:.2f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
