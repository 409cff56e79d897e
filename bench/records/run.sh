#!/bin/sh
# Benchmark of the enterprise list: fills a list window over 65,535 demo records.
# Usage: bench/records/run.sh [records]   (target: the list fills in 0.5 s or less)
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build-bench}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTROVA_GUI=ON -DKESTROVA_SANITIZE=OFF -DKESTROVA_FUZZ=OFF >/dev/null
cmake --build "$build" --target records_bench -j2 >/dev/null
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$build/bin/records_bench" "${1:-65535}"
