#!/bin/sh
# Every one of the 94 report titles at 国家级汇总 over 65,535 demo records made by
# kestrova-cli demo: the engine's time per title as a report window spends it (goal:
# 50 ms each, 2 s for all), then each title once through kestrova-cli report, which
# must succeed for every title (its time includes starting the process).
# Usage: bench/reports/all_titles.sh [records] [runs]
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build-bench}
records=${1:-65535}
runs=${2:-3}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTROVA_GUI=ON -DKESTROVA_SANITIZE=OFF -DKESTROVA_FUZZ=OFF >/dev/null
cmake --build "$build" --target report_all_titles_bench kestrova-cli -j2 >/dev/null
cli=$build/bin/kestrova-cli
bench=$build/bin/report_all_titles_bench

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
"$cli" --home "$home" init >/dev/null
"$cli" --home "$home" task --year 2026 --level 国家级汇总 >/dev/null
"$cli" --home "$home" demo "$records" --seed 7 >/dev/null
echo "$records demo records"

status=0
"$bench" "$home" "$runs" || status=1

# End to end through the command line; a title that fails is named.
"$bench" --list "$home" >"$home/titles"
count=0
failed=0
start=$(date +%s%N)
while IFS= read -r title; do
  count=$((count + 1))
  if ! "$cli" --home "$home" report "$title" >/dev/null 2>"$home/err"; then
    failed=$((failed + 1))
    echo "FAILED: $title: $(cat "$home/err")"
  fi
done <"$home/titles"
end=$(date +%s%N)
echo "kestrova-cli report: $count titles, $failed failed, $(( (end - start) / 1000000 )) ms in all (process start included)"
[ "$failed" -eq 0 ] || status=1
exit $status
