#!/usr/bin/env bash
# The long trials that `make test` runs in short versions (`make trials`, about an hour):
#   - 600 SIGKILLs during close saves and 60 during automatic saves of a 100 x 100 list;
#   - every truncation of the two-task list and 400 files with flipped bytes;
#   - a soak run under Xvfb: 10,000 typed edits, 1,000 fold cycles, 100 menu openings and a
#     10 MB paste, resident memory allowed to grow by 1 MiB after the warm-up;
#   - the file reader's fuzzer for 30 minutes (FUZZ_SECONDS to change).
# Usage: scripts/run-trials.sh TASKWICK TRIALS_BUILD_DIR FUZZER
set -euo pipefail
cd "$(dirname "$0")/.."
taskwick=$1
trials=$2
fuzzer=$3

section() {
    printf '\n=== %s ===\n' "$1"
}

section "kills during saves"
FIRE_KILLS=${FIRE_KILLS:-600} FIRE_AUTO_KILLS=${FIRE_AUTO_KILLS:-60} \
    python3 tests/e2e/taskwick_fire_test.py "$taskwick"

section "hostile files"
HOSTILE_TRUNCATION_STEP=1 HOSTILE_FLIPS=${HOSTILE_FLIPS:-400} \
    python3 tests/e2e/taskwick_hostile_test.py "$taskwick"

section "soak under Xvfb"
xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp" env QT_QPA_PLATFORM=xcb \
    "$trials/tests/soak/taskwick_soak" --edits 10000 --folds 1000 --menus 100 --paste-mb 10 \
    --max-growth-kib 1024 2>/dev/null

section "fuzzer"
FUZZ_BINARY=$fuzzer FUZZ_SECONDS=${FUZZ_SECONDS:-1800} cmake -DSEEDS=fuzz/corpus \
    -DDICT=fuzz/xml.dict -DARTIFACTS="$PWD/build-fuzz/artifacts" -P tests/fuzz/run_fuzzer.cmake
