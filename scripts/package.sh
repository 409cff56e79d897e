#!/usr/bin/env bash
# package.sh: builds the Debian package build-package/kestrova_<version>_amd64.deb with
# CPack: the programs in /usr/bin, templates and help in /usr/share/kestrova, the menu
# entry, its icons and the AppStream metainfo; dependencies found by dpkg-shlibdeps.
# tests/package/install_test.sh installs it on a bare Debian 12 and tries it.
set -euo pipefail
# CPack's archiver reads the file names (Kestrova指标解释.html, the templates) by the locale.
export LC_ALL=C.UTF-8
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh build package
bash scripts/build.sh build-package Release -DKESTROVA_TESTS=OFF -DKESTROVA_BENCH=OFF -DKESTROVA_PACKAGING=ON \
  -DCMAKE_INSTALL_PREFIX=/usr
desktop-file-validate resources/desktop/org.kestrova.Kestrova.desktop
appstreamcli validate --no-net build-package/desktop/org.kestrova.Kestrova.metainfo.xml
rm -f build-package/kestrova_*.deb
(cd build-package && cpack -G DEB >/dev/null)
deb=$(ls build-package/kestrova_*_amd64.deb)
echo "$deb"
