#!/usr/bin/env bash
# install_test.sh [PACKAGE.deb]: installs the Debian package on a bare Debian 12 and uses it
# as a newcomer would: kestrova-cli init, demo, report and export without --home, then the
# desktop program offscreen, all as an ordinary user. The data must land in that user's
# ~/.local/share/kestrova and nothing may be written under /usr.
#
# Without an argument (as root on Debian 12): builds the package with scripts/package.sh,
# makes a bare Debian 12 with debootstrap and runs itself in it on the package.
# With one: tries that package on the machine it runs on (root, a bare system).
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive

phase_start=$SECONDS
phase() { echo "install_test: $1 took $((SECONDS - phase_start)) s"; phase_start=$SECONDS; }
fail() { echo "install_test: FAILED: $*" >&2; exit 1; }

if [ $# -eq 0 ]; then
  self=$(realpath "$0")
  cd "$(dirname "$self")/../.."
  deb=$(bash scripts/package.sh | tail -n 1)
  [ -f "$deb" ] || fail "scripts/package.sh made no package"
  phase "building the package"
  command -v debootstrap >/dev/null || apt-get install -y -q debootstrap >/dev/null
  mirror=$(sed -n 's/^URIs: *\([^ ]*\).*/\1/p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n 1 || true)
  [ -n "$mirror" ] || mirror=$(awk '/^deb /{print $2; exit}' /etc/apt/sources.list 2>/dev/null || true)
  [ -n "$mirror" ] || mirror=http://deb.debian.org/debian
  root=$(mktemp -d /var/tmp/kestrova-install-test.XXXXXX)
  chmod 755 "$root" # it becomes /, which every user must be able to enter
  cleanup() {
    mountpoint -q "$root/proc" && umount -l "$root/proc"
    rm -rf "$root"
  }
  trap cleanup EXIT
  debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.log" 2>&1 || { tail -n 5 "$root.log" >&2; fail "debootstrap"; }
  rm -f "$root.log"
  phase "making a bare Debian 12"
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  cp "$deb" "$root/tmp/"
  cp "$self" "$root/tmp/install_test.sh"
  mount -t proc proc "$root/proc"
  chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin \
    bash /tmp/install_test.sh "/tmp/$(basename "$deb")"
  exit $?
fi

deb=$1
[ "$(id -u)" -eq 0 ] || fail "needs root to install the package"
case $deb in /*|./*) ;; *) deb=./$deb ;; esac
apt-get update -q >/dev/null
apt-get install -y -q "$deb" >/tmp/install.log 2>&1 || { tail -n 20 /tmp/install.log >&2; fail "apt-get install $deb"; }
phase "apt-get install (with its dependencies)"

for f in /usr/bin/kestrova /usr/bin/kestrova-cli /usr/share/kestrova/templet/out.xls \
         /usr/share/kestrova/Kestrova指标解释.html /usr/share/applications/org.kestrova.Kestrova.desktop \
         /usr/share/metainfo/org.kestrova.Kestrova.metainfo.xml \
         /usr/share/icons/hicolor/scalable/apps/org.kestrova.Kestrova.svg \
         /usr/share/icons/hicolor/48x48/apps/org.kestrova.Kestrova.png; do
  [ -s "$f" ] || fail "the package installs no $f"
done
grep -qx 'Name=Kestrova系统（汇总版）' /usr/share/applications/org.kestrova.Kestrova.desktop || fail "desktop entry name"
grep -qx 'Categories=Office;' /usr/share/applications/org.kestrova.Kestrova.desktop || fail "desktop entry category"

# A user of the machine, not root: the programs must not need to write outside the home.
id tester >/dev/null 2>&1 || useradd -m tester
user_home=/home/tester
data=$user_home/.local/share/kestrova
stamp=$(mktemp)
as_user() {
  setpriv --reuid=tester --regid=tester --init-groups \
    env -i HOME=$user_home PATH=/usr/bin:/bin "$@"
}
cd /tmp
as_user kestrova-cli --help | grep -q '^用法：kestrova-cli' || fail "kestrova-cli --help"
out=$(as_user kestrova-cli init) || fail "kestrova-cli init"
[ "$out" = "已创建数据库：$data/vardo.db" ] || fail "init said: $out"
as_user kestrova-cli demo 200 --seed 3 >/dev/null || fail "kestrova-cli demo"
report=$(as_user kestrova-cli report '表2-1-2 全国粮油仓储企业总仓容汇总表（分地区）') || fail "kestrova-cli report"
[ "$(printf '%s\n' "$report" | grep -c '合计')" -ge 1 ] || fail "the report has no total row"
as_user kestrova-cli export $user_home/up.xls >/dev/null || fail "kestrova-cli export"
[ -s $user_home/up.xls ] || fail "export wrote nothing"
phase "kestrova-cli init, demo, report, export"

# The desktop program: it must open its first window and keep running until stopped.
set +e
as_user QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES=kestrova.windows.info=true timeout 20 kestrova \
  >/tmp/kestrova.log 2>&1
rc=$?
set -e
[ $rc -eq 124 ] || { cat /tmp/kestrova.log >&2; fail "kestrova ended by itself with status $rc"; }
grep -q 'kestrova.windows: shown TFrmusers' /tmp/kestrova.log || { cat /tmp/kestrova.log >&2; fail "kestrova showed no first window"; }
phase "kestrova offscreen"

[ -s "$data/vardo.db" ] || fail "no database in $data"
[ "$(stat -c %U "$data/vardo.db")" = tester ] || fail "the database does not belong to the user"
written=$(find /usr /opt -newer "$stamp" -type f 2>/dev/null | head -n 5)
[ -z "$written" ] || fail "files written under /usr or /opt: $written"
echo "install_test: passed; the data is in $data:"
ls "$data"
