#!/usr/bin/env bash
# Upload workbook export and import at the largest size one sheet holds (65,535 records),
# against headless LibreOffice converting the same workbook to CSV and python3-xlrd reading it.
# usage: bench/transfer/run.sh [BUILD_DIR] [RUNS]
# Limits: export <= 2 s, import (replacing every name) <= 2 s, peak memory <= 400 MB,
# and at least 10x faster than either of the others.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-${BUILD_DIR:-$here/../../build-bench}}
runs=${2:-5}
cli=$build/bin/kestrova-cli
[ -x "$cli" ] || { echo "no $cli: build kestrova-cli first" >&2; exit 2; }
[ -f "$build/bin/templet/out.xls" ] || { echo "no $build/bin/templet/out.xls: build the templates target first" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
records=65535

"$cli" --home "$work/home" init >/dev/null 2>&1 || { mkdir -p "$work/home"; "$cli" --home "$work/home" init >/dev/null; }
"$cli" --home "$work/home" demo $records --seed 7 >/dev/null
cp "$work/home/vardo.db" "$work/pristine.db"

# timed LABEL CMD... : one run, appends "seconds kilobytes" to $work/LABEL
timed() {
  local label=$1; shift
  /usr/bin/time -f "%e %M" -o "$work/t" "$@" >/dev/null 2>"$work/err" || { cat "$work/err" >&2; exit 1; }
  cat "$work/t" >> "$work/$label"
}

for i in $(seq "$runs"); do
  timed export "$cli" --home "$work/home" export "$work/upload.xls"
done
for i in $(seq "$runs"); do
  cp "$work/pristine.db" "$work/home/vardo.db"   # every name of the workbook is in the database
  timed import "$cli" --home "$work/home" import "$work/upload.xls"
done
n=$(sqlite3 "$work/home/vardo.db" "select count(*) from TZ_XIANGMU" 2>/dev/null || echo "?")

others=()
if command -v soffice >/dev/null; then
  for i in $(seq 3); do
    rm -rf "$work/csv"
    timed soffice soffice -env:UserInstallation=file://$work/profile --headless \
      --convert-to csv:"Text - txt - csv (StarCalc)":44,34,76 --outdir "$work/csv" "$work/upload.xls"
  done
  others+=(soffice)
fi
if /usr/bin/python3 -c 'import xlrd' 2>/dev/null; then
  for i in $(seq 3); do
    timed xlrd /usr/bin/python3 -c '
import sys, xlrd
book = xlrd.open_workbook(sys.argv[1])
sheet = book.sheet_by_name("数据信息")
cells = sum(1 for r in range(sheet.nrows) for v in sheet.row_values(r) if v != "")
' "$work/upload.xls"
  done
  others+=(xlrd)
fi

python3 - "$work" "$records" "$n" "${others[@]}" <<'PY'
import statistics, sys
work, records, count, others = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
def load(label):
    rows = [l.split() for l in open(f"{work}/{label}") if l.strip()]
    return statistics.median(float(s) for s, _ in rows), max(int(k) for _, k in rows) / 1024
ok = True
exp_s, exp_mb = load("export")
imp_s, imp_mb = load("import")
print(f"records: {records}; after import the database holds {count}")
print(f"export: median {exp_s:.2f} s, peak {exp_mb:.0f} MB")
print(f"import: median {imp_s:.2f} s, peak {imp_mb:.0f} MB (replacing every name)")
for label, s, mb, limit in (("export", exp_s, exp_mb, 2), ("import", imp_s, imp_mb, 2)):
    if s > limit or mb > 400:
        print(f"FAIL: {label} over {limit} s or 400 MB"); ok = False
for o in others:
    s, mb = load(o)
    ratio = s / max(imp_s, 0.01)
    print(f"{o}: median {s:.2f} s, peak {mb:.0f} MB; our import is {ratio:.1f}x faster")
    if ratio < 10:
        print(f"FAIL: less than 10x faster than {o}"); ok = False
sys.exit(0 if ok else 1)
PY
