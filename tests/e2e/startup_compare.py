"""Start-up time and resident memory of taskwick against two yardsticks built in this tree, all
measured in one run, in turns, so that the machine's load hits every program alike.

Usage: startup_compare.py TASKWICK MAP_TIMER MINIMAL_QT_WINDOW MINIMAL_TABLE_TRAY [--runs N]

On a private Xvfb without a window manager, with trayer as the tray host, the time is taken
from the launch until the program's main window is mapped (e2e_map_timer), and the resident
memory 300 ms later. The programs:
- taskwick on a first run (no ToDoList.xml; it also opens its About dialog) and on a
  100 x 100 list;
- a bare Qt Widgets window of the same size;
- a minimal Qt Widgets program with a QTableWidget and a tray icon, with the first run's table
  and with a 100 x 100 table.
"""

import argparse
import os
import statistics
import sys
import tempfile

from harness import XSession, copy_binary
from startup_bench import task_list

CLASS = "TToDoForm"


def run_once(session, argv, cwd):
    result = session.run(argv, cwd=cwd, timeout=60)
    if result.returncode != 0:
        raise SystemExit(f"{argv}: {result.stderr.strip() or 'no window'}")
    ms, kib = result.stdout.split()
    return float(ms), int(kib)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("taskwick")
    parser.add_argument("map_timer")
    parser.add_argument("minimal")
    parser.add_argument("table_tray")
    parser.add_argument("--runs", type=int, default=9)
    args = parser.parse_args()
    timer = [os.path.abspath(args.map_timer), "--rss-after", "300"]

    with XSession() as session, tempfile.TemporaryDirectory(prefix="taskwick-cmp-") as root:
        session._start_trayer()
        first = os.path.join(root, "first")
        loaded = os.path.join(root, "loaded")
        os.mkdir(first)
        os.mkdir(loaded)
        first_bin = copy_binary(os.path.abspath(args.taskwick), first)
        loaded_bin = copy_binary(os.path.abspath(args.taskwick), loaded)
        list_file = os.path.join(loaded, "ToDoList.xml")
        with open(list_file, "wb") as file:
            file.write(task_list(100))
        programs = {
            "taskwick, first run": (timer + ["--class", CLASS, first_bin], first),
            "taskwick, 100 x 100 list": (timer + ["--class", CLASS, loaded_bin], loaded),
            "bare Qt window": (timer + [os.path.abspath(args.minimal)], root),
            "Qt table + tray, first run's table":
                (timer + [os.path.abspath(args.table_tray)], root),
            "Qt table + tray, 100 x 100":
                (timer + [os.path.abspath(args.table_tray), "--size", "100"], root),
        }
        # One start of each to warm the caches, then the timed turns.
        results = {name: [] for name in programs}
        for turn in range(args.runs + 1):
            for name, (argv, cwd) in programs.items():
                if cwd == first:
                    for entry in os.listdir(first):
                        if entry.startswith("ToDoList"):
                            os.remove(os.path.join(first, entry))
                measured = run_once(session, argv, cwd)
                if turn > 0:
                    results[name].append(measured)

    def median(name, index):
        return statistics.median(r[index] for r in results[name])

    print(f"{args.runs} turns; medians of launch to main window mapped, and resident memory")
    for name in programs:
        print(f"  {name:38} {median(name, 0):7.1f} ms  {median(name, 1) / 1024:6.1f} MiB")
    rows = [
        ("first run / bare Qt window", "taskwick, first run", "bare Qt window", 0),
        ("first run / Qt table + tray", "taskwick, first run",
         "Qt table + tray, first run's table", 0),
        ("100 x 100 list / Qt table + tray 100 x 100", "taskwick, 100 x 100 list",
         "Qt table + tray, 100 x 100", 0),
        ("memory, first run / Qt table + tray", "taskwick, first run",
         "Qt table + tray, first run's table", 1),
    ]
    for label, ours, theirs, index in rows:
        print(f"ratio {label}: {median(ours, index) / median(theirs, index):.2f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
