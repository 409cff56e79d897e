#!/usr/bin/env bash
# build.sh DIR BUILD_TYPE [extra cmake arguments]: configures and builds into DIR.
# Uses ccache when it is installed, so rebuilding in a second tree is cheap.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1; type=$2; shift 2
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "${launcher[@]}" "$@"
cmake --build "$dir" -j"$(nproc)"
