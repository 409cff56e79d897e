#!/bin/sh
# Benchmark of the report engine: the 42 titles of parts one and two over 65,535 demo
# records, at 国家级汇总 and at 省级汇总 (goal: 50 ms per title, 1 s for all 42).
# Usage: bench/reports/run.sh [records]
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build-bench}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTROVA_GUI=ON -DKESTROVA_SANITIZE=OFF -DKESTROVA_FUZZ=OFF >/dev/null
cmake --build "$build" --target report_bench -j2 >/dev/null
"$build/bin/report_bench" "${1:-65535}"
