#!/usr/bin/env bash
# build.sh DIR BUILD_TYPE [extra cmake arguments]: configures and builds into DIR.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1; type=$2; shift 2
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@"
cmake --build "$dir" -j"$(nproc)"
