#!/bin/sh
# Benchmark of the charts beside the report grids: 表1-1-2 and 表2-3-2 at 国家级汇总 over
# 65,535 demo records (goal: 100 ms per chart once the grid is built).
# Usage: bench/reports/charts.sh [records]
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build-bench}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTROVA_GUI=ON -DKESTROVA_SANITIZE=OFF -DKESTROVA_FUZZ=OFF >/dev/null
cmake --build "$build" --target chart_bench -j2 >/dev/null
QT_QPA_PLATFORM=offscreen "$build/bin/chart_bench" "${1:-65535}"
