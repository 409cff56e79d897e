#!/usr/bin/env bash
# Runs every benchmark against one Release build in build-bench (BUILD_DIR overrides).
# Figures go to stdout; nothing here is a pass/fail test. The Python comparisons of the
# xls benchmark take several minutes.
set -uo pipefail
cd "$(dirname "$0")/.."
export BUILD_DIR="${BUILD_DIR:-$PWD/build-bench}"
export QT_QPA_PLATFORM=offscreen
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTROVA_GUI=ON -DKESTROVA_BENCH=ON -DKESTROVA_SANITIZE=OFF -DKESTROVA_FUZZ=OFF >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)" >/dev/null
for script in bench/startup/run.sh bench/records/run.sh bench/reports/run.sh bench/reports/all_titles.sh bench/reports/charts.sh \
              bench/check_all/run.sh \
              bench/summary/run.sh bench/transfer/run.sh bench/xls/run.sh; do
  echo "== $script"
  bash "$script" || echo "($script reported a missed goal or failed)"
done
