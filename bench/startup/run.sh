#!/usr/bin/env bash
# Start-up benchmark: process start to main window shown, offscreen, on a database with an
# account and a task record; the login is answered by kestrova-startup-bench itself.
# Usage: bench/startup/run.sh [BUILD_DIR] [RUNS]   (goal: median <= 300 ms)
set -euo pipefail
build=${1:-${BUILD_DIR:-build-bench}}
runs=${2:-15}
bin=$(cd "$build/bin" && pwd)
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export QT_QPA_PLATFORM=offscreen

"$bin/kestrova-cli" --home "$home" init >/dev/null
"$bin/kestrova-cli" --home "$home" task --year 2013 --level 省级汇总 --province 河南省 >/dev/null
"$bin/kestrova-cli" --home "$home" demo 200 --seed 1 >/dev/null
"$bin/kestrova-startup-bench" --home "$home" --make-account bench-pw >/dev/null

wall=()
inner=()
cpu=()
for _ in $(seq "$runs"); do
  t0=$(date +%s%N)
  read -r ms cms < <("$bin/kestrova-startup-bench" --home "$home" bench-pw 2>/dev/null)
  t1=$(date +%s%N)
  wall+=($(( (t1 - t0) / 1000000 )))
  inner+=("$ms")
  cpu+=("$cms")
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
echo "start-up, process start to main window shown (wall clock, incl. exit): median $(median "${wall[@]}") ms over $runs runs"
echo "start-up, main() to main window painted: median $(median "${inner[@]}") ms"
echo "start-up, CPU time (user + system) of the process: median $(median "${cpu[@]}") ms"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores (wall times stretch with load)"
echo "goal: <= 300 ms"
