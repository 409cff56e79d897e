#!/usr/bin/env bash
# install-deps.sh [GROUP...]: installs what Debian 12 needs to build, run, test and package
# the programs. Groups: build (compilers, libraries), run (what the programs use at run
# time), test (the test suite, sanitizers and fuzzers, the independent workbook readers),
# package (the Debian package). Without a group, every group.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
groups=("$@")
[ ${#groups[@]} -gt 0 ] || groups=(build run test package)
packages=()
for group in "${groups[@]}"; do
  case $group in
    build) packages+=(build-essential cmake ninja-build pkg-config
                      qt6-base-dev qt6-base-dev-tools libgl-dev libsqlite3-dev libsodium-dev
                      qt6-charts-dev libqt6opengl6-dev qt6-svg-dev) ;;
    run) packages+=(fonts-noto-cjk xdg-utils qt6-translations-l10n libqt6charts6 libqt6svg6) ;;
    test) packages+=(libgtest-dev clang libclang-rt-14-dev
                     python3 python3-xlrd python3-xlwt python3-olefile python3-uno
                     libreoffice-calc-nogui poppler-utils
                     xvfb openbox xdotool xclip x11-utils imagemagick at-spi2-core dbus-x11 python3-pyatspi
                     python3-pil) ;;
    package) packages+=(dpkg-dev file librsvg2-bin appstream desktop-file-utils) ;;
    *) echo "install-deps.sh: unknown group '$group' (build, run, test, package)" >&2; exit 2 ;;
  esac
done
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${packages[@]}"
