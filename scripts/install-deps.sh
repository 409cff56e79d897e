#!/usr/bin/env bash
# Installs everything the build, the program and the test suite need on Debian 12.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends \
  build-essential cmake ninja-build pkg-config \
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libgl-dev \
  libsqlite3-dev libsodium-dev qt6-translations-l10n \
  clang libclang-rt-14-dev \
  fonts-noto-cjk xdg-utils \
  python3 python3-xlrd python3-xlwt \
  libreoffice-calc-nogui \
  xvfb openbox xdotool xclip x11-utils imagemagick at-spi2-core dbus-x11 python3-pyatspi
