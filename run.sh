#!/usr/bin/env bash
# Installs every dependency, builds, and starts the desktop program on a fresh
# database in build/bin (the application directory).
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install-deps.sh
bash scripts/build.sh build Release
exec build/bin/kestrova "$@"
