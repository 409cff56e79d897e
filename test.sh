#!/usr/bin/env bash
# Installs every dependency, builds, and runs the whole test suite: once as a normal
# build, once built with AddressSanitizer and UndefinedBehaviorSanitizer, then the
# fuzz targets for a bounded time. Each build has a folder of its own: build, build-asan,
# build-fuzz (./run.sh uses build-run), so switching between them rebuilds nothing.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

bash scripts/build.sh build RelWithDebInfo
ctest --test-dir build --output-on-failure -j"$jobs"

bash scripts/build.sh build-asan Debug -DKESTROVA_SANITIZE=ON
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs" -LE e2e

if [ -x scripts/fuzz.sh ]; then
  bash scripts/fuzz.sh "${FUZZ_SECONDS:-60}"
fi
