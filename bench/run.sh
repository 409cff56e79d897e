#!/usr/bin/env bash
# Runs every benchmark (bench/*/run.sh) against a Release build in build-bench.
# Figures go to stdout; nothing here is a pass/fail test.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -x build-bench/bin/kestrova-cli ]; then
  bash scripts/build.sh build-bench Release >/dev/null
else
  cmake --build build-bench -j"$(nproc)" >/dev/null
fi
export KESTROVA_BUILD="$PWD/build-bench"
export QT_QPA_PLATFORM=offscreen
for script in bench/*/run.sh; do
  echo "== ${script%/run.sh}"
  bash "$script"
done
