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
# - cell_edit_stall: the worst stall per keystroke and while the cursor blinks in the editor of
#   a 1 MB cell, against the same run with a 1 kB cell;
# - paste_stall: the worst stall and the memory of a paste of 5 and 20 MB into the open cell
#   editor, against the same paste into the cell;
# - history_bench: undoing the deletion of a column of a 100 x 100 list against deleting it;
# - start-up and resident memory: taskwick (first run and a 100 x 100 list) against a bare Qt
#   window and a minimal Qt program with a table and a tray icon (startup_compare.py);
# - a list at 1k, 10k, 100k and 1M cells against a plain Qt program on the same list
#   (bench/compare_at_scale.py: start, memory, key to repaint, the window's freezes while
#   paging, after an edit and on close; SCALE_RUNS runs each, 3 by default).
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
for program in storage_bench save_bench grid_bench autosave_stall fold_bench cell_edit_stall \
    paste_stall history_bench plain_table window_probe; do
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
"$bench/bench/save_bench" | tee "$results/save.txt"
section "grid_bench"
"$bench/bench/grid_bench" --benchmark_out="$results/grid.json" --benchmark_out_format=json

section "fold_bench"
"$bench/bench/fold_bench" 15 2>/dev/null | tee "$results/fold.txt"

section "autosave_stall"
"$bench/bench/autosave_stall" 20 2>/dev/null | tee "$results/autosave.txt"

section "cell_edit_stall"
"$bench/bench/cell_edit_stall" 2>/dev/null | tee "$results/cell.txt"

section "paste_stall"
"$bench/bench/paste_stall" 2>/dev/null | tee "$results/paste.txt"

section "history_bench"
"$bench/bench/history_bench" --benchmark_out="$results/history.json" --benchmark_out_format=json

section "start-up and memory against a bare Qt window and a Qt table with a tray icon"
if [ ! -x "$tools/tests/e2e/minimal_table_tray" ] || [ ! -x "$tools/tests/e2e/e2e_map_timer" ]; then
    generator=()
    command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
    cmake -S . -B "$tools" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTASKWICK_TESTS=ON -DTASKWICK_SANITIZE=OFF -DTASKWICK_TEST_DIRS="platform;e2e" >/dev/null
    cmake --build "$tools" --target e2e_map_timer minimal_qt_window minimal_table_tray
fi
python3 tests/e2e/startup_compare.py --runs "$runs" "$taskwick" \
    "$tools/tests/e2e/e2e_map_timer" "$tools/tests/e2e/minimal_qt_window" \
    "$tools/tests/e2e/minimal_table_tray" | tee "$results/startup.txt"

section "a list at scale against a plain Qt program"
python3 bench/compare_at_scale.py --runs "${SCALE_RUNS:-3}" "$taskwick" \
    "$bench/bench/plain_table" "$bench/bench/window_probe" | tee "$results/scale.txt"

section "ratios (below 1: ours is faster)"
python3 scripts/benchmark-ratios.py "$results"
