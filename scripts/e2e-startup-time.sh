#!/usr/bin/env bash
# Measures how long taskwick takes from launch until its main window is mapped, against a
# minimal Qt Widgets window, on a private Xvfb: the median of several runs of each and their
# ratio.
#
#   scripts/e2e-startup-time.sh [--runs N] [TASKWICK] [TOOLS_BUILD_DIR]
#
# TASKWICK defaults to build/taskwick; the timer and the minimal program (targets
# e2e_map_timer and minimal_qt_window) are taken from TOOLS_BUILD_DIR and built there when
# missing. The default, build-startup-time, is an optimised build without sanitizers, like
# build/taskwick, so that both programs are measured alike.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=9
if [ "${1:-}" = "--runs" ]; then
    runs=$2
    shift 2
fi
taskwick=${1:-build/taskwick}
tools=${2:-build-startup-time}

if [ ! -x "$taskwick" ]; then
    echo "no executable at $taskwick: run 'make build' first" >&2
    exit 1
fi
if [ ! -x "$tools/tests/e2e/e2e_map_timer" ] || [ ! -x "$tools/tests/e2e/minimal_qt_window" ]; then
    if [ ! -f "$tools/CMakeCache.txt" ]; then
        generator=()
        command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
        cmake -S . -B "$tools" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DTASKWICK_TESTS=ON -DTASKWICK_SANITIZE=OFF >/dev/null
    fi
    cmake --build "$tools" --target e2e_map_timer minimal_qt_window
fi

exec python3 tests/e2e/startup_time.py --runs "$runs" "$taskwick" \
    "$tools/tests/e2e/e2e_map_timer" "$tools/tests/e2e/minimal_qt_window"
