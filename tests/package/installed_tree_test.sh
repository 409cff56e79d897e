#!/usr/bin/env bash
# installed_tree_test.sh BUILD_DIR: installs the build into a temporary prefix, as the
# package does into /usr, and runs the installed programs without --home: the data must
# land in the user's data folder and the templates must come from <prefix>/share/kestrova.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "installed_tree_test: FAILED: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/prefix" >/dev/null
bin=$work/prefix/bin
share=$work/prefix/share
for f in "$bin/kestrova-cli" "$share/kestrova/templet/out.xls" "$share/metainfo/org.kestrova.Kestrova.metainfo.xml"; do
  [ -s "$f" ] || fail "nothing installed at $f"
done
[ ! -e "$bin/templet" ] || fail "templates installed beside the programs"

export HOME=$work/user
unset XDG_DATA_HOME
export LC_ALL=C.UTF-8
data=$HOME/.local/share/kestrova
out=$("$bin/kestrova-cli" init) || fail "init"
[ "$out" = "已创建数据库：$data/vardo.db" ] || fail "init said: $out"
"$bin/kestrova-cli" demo 40 >/dev/null || fail "demo"
"$bin/kestrova-cli" export "$work/up.xls" >/dev/null || fail "export without the share folder's template"
[ -s "$work/up.xls" ] || fail "export wrote nothing"
"$bin/kestrova-cli" report '表2-1-1 全国粮油仓储企业总仓容汇总表' --xls "$work/r.xls" >/dev/null || fail "report"
[ -s "$work/r.xls" ] || fail "report wrote no workbook"

grep -q "GNU GENERAL PUBLIC LICENSE" "$share/doc/kestrova/copyright" || fail "no licence installed"

if [ -x "$bin/kestrova" ]; then
  [ -s "$share/kestrova/Kestrova指标解释.html" ] || fail "no help page installed"
  [ -s "$share/applications/org.kestrova.Kestrova.desktop" ] || fail "no desktop entry installed"
  [ -s "$share/icons/hicolor/scalable/apps/org.kestrova.Kestrova.svg" ] || fail "no icon installed"
  # A fresh data folder has no account yet: the program opens the first-account window.
  QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES=kestrova.windows.info=true "$bin/kestrova" >"$work/gui.log" 2>&1 &
  gui=$!
  for _ in $(seq 150); do
    grep -q 'kestrova.windows: shown TFrmusers' "$work/gui.log" && break
    kill -0 $gui 2>/dev/null || break
    sleep 0.2
  done
  shown=no; grep -q 'kestrova.windows: shown TFrmusers' "$work/gui.log" && shown=yes
  running=no; kill -0 $gui 2>/dev/null && running=yes
  kill $gui 2>/dev/null || true
  wait $gui 2>/dev/null || true
  [ $shown = yes ] || { cat "$work/gui.log" >&2; fail "kestrova showed no first-account window"; }
  [ $running = yes ] || { cat "$work/gui.log" >&2; fail "kestrova ended by itself"; }
fi
[ "$(ls "$data")" = vardo.db ] || fail "the data folder holds: $(ls "$data")"
echo "installed_tree_test: passed"
