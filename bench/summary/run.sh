#!/bin/sh
# Benchmark of the annual summary over 65,535 demo records: opening TFrmGatherList
# (tree levels 0 to 2 with counts, goal 150 ms) and 统计 (goal 50 ms). Exits non-zero
# when a goal is missed. Usage: bench/summary/run.sh [records]
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build-bench}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTROVA_GUI=ON -DKESTROVA_SANITIZE=OFF -DKESTROVA_FUZZ=OFF >/dev/null
cmake --build "$build" --target summary_bench -j2 >/dev/null
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$build/bin/summary_bench" "${1:-65535}"
