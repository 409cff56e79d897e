#!/usr/bin/env bash
# Installs what the program needs, builds it (without tests and benchmarks) in build-run,
# and starts the desktop program. The database is in the user's data folder,
# ~/.local/share/kestrova unless --home DIR names another.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install-deps.sh build run
bash scripts/build.sh build-run Release -DKESTROVA_TESTS=OFF -DKESTROVA_BENCH=OFF
exec build-run/bin/kestrova "$@"
