#!/usr/bin/env bash
# bench/xls/run.sh [RUNS]: the upload workbook at full size (65,536 x 94 texts) written by
# our writer and through the template filler, and read back by our reader, against
# python3-xlwt writing and python3-xlrd reading the same data, and against `cat file`.
# Prints the median wall time and peak memory (from /usr/bin/time -v) of RUNS runs
# (default 3; the Python tools run once: they take minutes).
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-3}
py=/usr/bin/python3; [ -x "$py" ] || py=python3
build=${BUILD_DIR:-build-bench}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTROVA_GUI=ON -DKESTROVA_SANITIZE=OFF -DKESTROVA_FUZZ=OFF >/dev/null
cmake --build "$build" --target xls_bench kestrova-make-templates >/dev/null
bin=$build/bin
"$bin/kestrova-make-templates" "$build/bench-out" >/dev/null
work=$(mktemp -d /tmp/kestrova-xls-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT

# measure NAME N COMMAND...: runs COMMAND N times, prints the median seconds and peak MB.
declare -A median
measure() {
  local name=$1 n=$2; shift 2
  local times=() mems=() cpus=()
  for ((i = 0; i < n; i++)); do
    /usr/bin/time -v -o "$work/time" "$@" >/dev/null 2>"$work/err" || { cat "$work/err" >&2; return 1; }
    local wall mem cpu
    wall=$(awk -F': ' '/Elapsed \(wall clock\)/ {n = split($2, p, ":"); s = 0; for (k = 1; k <= n; k++) s = s * 60 + p[k]; print s}' "$work/time")
    mem=$(awk -F': ' '/Maximum resident set size/ {printf "%.0f", $2 / 1024}' "$work/time")
    cpu=$(awk -F': ' '/User time|System time/ {s += $2} END {print s}' "$work/time")
    times+=("$wall"); mems+=("$mem"); cpus+=("$cpu")
  done
  local t m c
  c=$(printf '%s\n' "${cpus[@]}" | sort -g | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}')
  t=$(printf '%s\n' "${times[@]}" | sort -g | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}')
  m=$(printf '%s\n' "${mems[@]}" | sort -g | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}')
  median[$name]=$t
  printf '%-34s %8.2f s wall %8.2f s cpu %7s MB   (%d run%s)\n' "$name" "$t" "$c" "$m" "$n" "$([ "$n" -gt 1 ] && echo s)"
}

echo "65,536 rows x 94 columns of text, $(nproc) cores, load average $(cut -d' ' -f1 /proc/loadavg)"
measure "xls_bench write (writer)" "$runs" "$bin/xls_bench" write "$work/ours.xls"
measure "xls_bench fill (template filler)" "$runs" "$bin/xls_bench" fill "$build/bench-out/templet/out.xls" "$work/filled.xls"
measure "xls_bench read (writer file)" "$runs" "$bin/xls_bench" read "$work/ours.xls"
measure "xls_bench read (filler file)" "$runs" "$bin/xls_bench" read "$work/filled.xls"
measure "cat file > /dev/null" "$runs" sh -c "cat '$work/ours.xls' > /dev/null"
measure "python3-xlwt write" 1 "$py" bench/xls/upload_data.py write "$work/xlwt.xls"
measure "python3-xlrd read (writer file)" 1 "$py" bench/xls/upload_data.py read "$work/ours.xls"
ls -l "$work"/*.xls | awk '{printf "%s %d bytes\n", $NF, $5}'
awk -v w="${median[xls_bench write (writer)]}" -v f="${median[xls_bench fill (template filler)]}" \
    -v r="${median[xls_bench read (writer file)]}" -v pw="${median[python3-xlwt write]}" \
    -v pr="${median[python3-xlrd read (writer file)]}" -v c="${median[cat file > /dev/null]}" 'BEGIN {
  printf "ratios: xlwt/write %.1fx, xlwt/fill %.1fx, xlrd/read %.1fx; read/cat %.1fx\n", pw / w, pw / f, pr / r, (c > 0 ? r / c : 0)
}'
