#!/usr/bin/env bash
# Builds the libFuzzer target of the file reader with clang (ASan + UBSan) in its own tree.
# Usage: scripts/build-fuzzer.sh BUILD_DIR JOBS
set -eu
dir=$1; jobs=${2:-2}
[ -f fuzz/CMakeLists.txt ] || exit 0
gen=(); command -v ninja >/dev/null 2>&1 && gen=(-G Ninja)
cmake -S fuzz -B "$dir" "${gen[@]}" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$dir" -j "$jobs"
