#!/usr/bin/env bash
# Runs every benchmark and prints each figure as a ratio against a baseline measured in the
# same run on the same machine (absolute times on a shared machine say little):
#
#   scripts/run-benchmarks.sh BUILD_BENCH_DIR [TASKWICK] [TOOLS_BUILD_DIR]
#
# BUILD_BENCH_DIR is a build with -DTASKWICK_BENCH=ON (`make bench` makes build-bench, Release).
# TASKWICK is the executable whose start-up is timed; when it is missing, the one in
# BUILD_BENCH_DIR is taken. The start-up timer and the minimal Qt program come from
# TOOLS_BUILD_DIR (default build-startup-time), built there when missing by
# scripts/e2e-startup-time.sh.
#
# - storage_bench: our reader against libxml2's tree parser on the same 100 x 100 file;
# - save_bench: the safe save against a plain write + fsync (it prints its own ratios);
# - grid_bench: the task grid against QTableWidget, painting and keystrokes;
# - fold_bench: the fold from the click to the bar against its nominal 17 x 10 ms, and one
#   layout pass of the frame;
# - autosave_stall: the GUI thread's worst stall while a 100 x 100 list saves on its own,
#   against the same run without saves;
# - start-up: taskwick against a minimal Qt window, and a 100 x 100 list against the first run.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -lt 1 ]; then
    echo "usage: $0 BUILD_BENCH_DIR [TASKWICK] [TOOLS_BUILD_DIR]" >&2
    exit 2
fi
bench=$1
taskwick=${2:-}
tools=${3:-build-startup-time}
runs=${STARTUP_RUNS:-9}

if [ -z "$taskwick" ] || [ ! -x "$taskwick" ]; then
    if [ -n "$taskwick" ]; then
        echo "no executable at $taskwick; timing $bench/taskwick instead" >&2
    fi
    taskwick=$bench/taskwick
fi
for program in storage_bench save_bench grid_bench autosave_stall fold_bench; do
    if [ ! -x "$bench/bench/$program" ]; then
        echo "missing $bench/bench/$program: configure with -DTASKWICK_BENCH=ON and build" >&2
        exit 1
    fi
done
if [ ! -x "$taskwick" ]; then
    echo "no taskwick executable to time: build $bench first" >&2
    exit 1
fi

results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT

section() {
    printf '\n=== %s ===\n' "$1"
}

section "storage_bench"
"$bench/bench/storage_bench" --benchmark_out="$results/storage.json" --benchmark_out_format=json
section "save_bench"
"$bench/bench/save_bench"
section "grid_bench"
"$bench/bench/grid_bench" --benchmark_out="$results/grid.json" --benchmark_out_format=json

section "fold_bench"
"$bench/bench/fold_bench" 15 2>/dev/null | tee "$results/fold.txt"

section "autosave_stall"
"$bench/bench/autosave_stall" 20 2>/dev/null | tee "$results/autosave.txt"

section "start-up against a minimal Qt window"
scripts/e2e-startup-time.sh --runs "$runs" "$taskwick" "$tools" | tee "$results/startup.txt"
section "start-up on a 100 x 100 list against the first run"
python3 tests/e2e/startup_bench.py --runs "$runs" "$taskwick" \
    "$tools/tests/e2e/e2e_map_timer" | tee "$results/startup_bench.txt"

section "ratios (below 1: ours is faster)"
python3 - "$results" <<'EOF'
import json
import os
import re
import sys

folder = sys.argv[1]


def times(name):
    with open(os.path.join(folder, name)) as file:
        runs = json.load(file)["benchmarks"]
    return {run["name"]: run["real_time"] for run in runs
            if run.get("run_type", "iteration") == "iteration" and "error_occurred" not in run}


def ratio(label, table, ours, theirs):
    if ours in table and theirs in table and table[theirs] > 0:
        print(f"{label:55} {table[ours] / table[theirs]:6.2f}")
    else:
        print(f"{label:55}    n/a")


storage = times("storage.json")
ratio("reader / libxml2 tree parser, 100 x 100", storage, "BM_Read/emoji:0",
      "BM_Libxml2Read/emoji:0")
ratio("reader / libxml2 tree parser, 100 x 100 with emoji", storage, "BM_Read/emoji:1",
      "BM_Libxml2Read/emoji:1")
ratio("writer / reader, 100 x 100", storage, "BM_Write/emoji:0", "BM_Read/emoji:0")

grid = times("grid.json")
ratio("grid / QTableWidget, repaint of the whole 100 x 100", grid, "BM_TaskGridRepaint/0",
      "BM_QTableWidgetRepaint/0")
ratio("grid / QTableWidget, repaint of an 800 x 600 view", grid, "BM_TaskGridRepaint/1",
      "BM_QTableWidgetRepaint/1")
ratio("grid / QTableWidget, keystroke in the editor", grid, "BM_TaskGridKeystroke",
      "BM_QTableWidgetKeystroke")

for name, label in (("startup.txt", "start-up / minimal Qt window"),
                    ("startup_bench.txt", "start-up with a 100 x 100 list / first run")):
    with open(os.path.join(folder, name)) as file:
        found = re.search(r"^ratio[^:]*:\s*([0-9.]+)", file.read(), re.MULTILINE)
    print(f"{label:55} {float(found.group(1)):6.2f}" if found else f"{label:55}    n/a")
for name, label in (("autosave.txt", "worst GUI stall, automatic saves / none"),
                    ("fold.txt", "fold, click to bar / nominal 17 x 10 ms")):
    with open(os.path.join(folder, name)) as file:
        found = re.search(r"^ratio[^:]*:\s*([0-9.]+)", file.read(), re.MULTILINE)
    print(f"{label:55} {float(found.group(1)):6.2f}" if found else f"{label:55}    n/a")
print("save / plain write + fsync: see save_bench above")
EOF
