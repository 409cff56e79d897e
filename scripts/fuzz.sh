#!/usr/bin/env bash
# fuzz.sh [SECONDS]: builds the libFuzzer targets with clang in build-fuzz, replays every
# saved crash under tests/xls/crashes/, then runs each target for SECONDS (default 60)
# starting from the seed corpus in tests/xls/corpus/. New findings land in fuzz-out/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DKESTROVA_FUZZ=ON -DKESTROVA_GUI=OFF -DKESTROVA_TESTS=OFF -DKESTROVA_BENCH=OFF >/dev/null
cmake --build build-fuzz --target fuzz_reader fuzz_filler
shopt -s nullglob
crashes=(tests/xls/crashes/*)
for target in fuzz_reader fuzz_filler; do
  if [ ${#crashes[@]} -gt 0 ]; then
    build-fuzz/fuzz/$target -runs=1 "${crashes[@]}" >/dev/null 2>&1 || {
      echo "fuzz.sh: $target fails on a saved crash input" >&2; exit 1; }
  fi
  out=fuzz-out/$target
  mkdir -p "$out/corpus"
  build-fuzz/fuzz/$target -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -print_final_stats=1 -artifact_prefix="$out/" "$out/corpus" tests/xls/corpus 2>&1 | tail -n 12
done
