#!/bin/bash
# 全部校验 and 全部报表 over 65,535 demo records through kestrova-cli, against the
# reference of one `kestrova-cli report TITLE --xls FILE` process per title, measured in
# the same run (targets: check ≤ 0.5 s, report --all ≤ 3 s for all 94 titles). Each
# figure is the elapsed time of the whole process, start and reading of the records
# included; peak memory is the process's maximum resident set. The workbooks of both ways
# are compared byte for byte.
# Usage: bench/check_all/run.sh [records]   (BUILD_DIR=dir uses a tree already built)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build-bench}
records=${1:-65535}
if [ -z "${BUILD_DIR:-}" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTROVA_GUI=ON -DKESTROVA_SANITIZE=OFF -DKESTROVA_FUZZ=OFF >/dev/null
  cmake --build "$build" --target kestrova-cli templates -j2 >/dev/null
fi
cli=$build/bin/kestrova-cli

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
"$cli" --home "$home" init >/dev/null
"$cli" --home "$home" task --year 2026 --level 国家级汇总 >/dev/null
"$cli" --home "$home" demo "$records" --seed 7 >/dev/null
echo "$records demo records, level 国家级汇总"

ms() { echo $(( ($2 - $1) / 1000000 )); }
# Runs a command under /usr/bin/time; prints "elapsed-ms peak-kB".
measure() {
  local start end
  start=$(date +%s%N)
  /usr/bin/time -f %M -o "$home/rss" "$@" >/dev/null 2>"$home/err" || [ $? -eq 3 ]
  end=$(date +%s%N)
  echo "$(ms "$start" "$end") $(tail -1 "$home/rss")"
}

read -r t rss < <(measure "$cli" --home "$home" check)
echo "check: ${t} ms, peak ${rss} kB (target 500 ms)"

mkdir "$home/all" "$home/one"
read -r tall rssall < <(measure "$cli" --home "$home" report --all "$home/all")
echo "report --all: ${tall} ms, peak ${rssall} kB, $(ls "$home/all" | wc -l) workbooks (target 3000 ms)"

"$cli" --home "$home" report --all "$home/one" >/dev/null # the title list, from the file names
rm -f "$home/one/"*全部报表.xls
ls "$home/one" | sed 's/\.xls$//' >"$home/titles"
rm -f "$home/one/"*
start=$(date +%s%N)
peak=0
while IFS= read -r title; do
  /usr/bin/time -f %M -o "$home/rss" "$cli" --home "$home" report "$title" --xls "$home/one/$title.xls" >/dev/null
  r=$(tail -1 "$home/rss"); [ "$r" -gt "$peak" ] && peak=$r
done <"$home/titles"
end=$(date +%s%N)
tref=$(ms "$start" "$end")
echo "reference, one report process per title: ${tref} ms, peak ${peak} kB per process, $(wc -l <"$home/titles") titles"
awk -v a="$tall" -v b="$tref" 'BEGIN { printf "report --all takes %.1f%% of the reference (%.1fx faster)\n", 100 * a / b, b / a }'

differ=0
while IFS= read -r title; do
  cmp -s "$home/all/$title.xls" "$home/one/$title.xls" || { echo "DIFFERS: $title"; differ=$((differ + 1)); }
done <"$home/titles"
echo "workbooks differing from the single-title export: $differ"
status=0
[ "$t" -le 500 ] && [ "$tall" -le 3000 ] && [ "$differ" -eq 0 ] || status=1
[ $status -eq 0 ] && echo "goals met" || echo "goals missed"
exit $status
