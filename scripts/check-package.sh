#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# CI: the Debian package builds, depends on the libraries it links, and an
# install into a scratch folder holds every file and runs a sample.
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(bash scripts/package.sh | tail -n 1)
echo "package: $deb"
depends=$(dpkg-deb -f "$deb" Depends)
echo "depends: $depends"
case "$depends" in *libxlsxwriter*) ;; *) echo "the package does not depend on libxlsxwriter" >&2; exit 1 ;; esac

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR="$root" cmake --install build-release --prefix /usr >/dev/null
expected=(
  usr/bin/quorvin-cli
  usr/share/man/man1/quorvin-cli.1
  usr/share/applications/quorvin.desktop
  usr/share/icons/hicolor/scalable/apps/quorvin.svg
  usr/share/mime/packages/quorvin.xml
  usr/share/quorvin/help/index.html
  usr/share/quorvin/help/batch.html
  usr/share/quorvin/examples/SITE1.LOG
  usr/share/quorvin/examples/SAMPLE.DDR
  usr/share/quorvin/examples/RAMCARD.RCD
)
if grep -q '^QUORVIN_BUILD_GUI:BOOL=ON' build-release/CMakeCache.txt; then
  expected+=(usr/bin/quorvin)
fi
listing=$(dpkg-deb -c "$deb")
missing=0
for f in "${expected[@]}"; do
  [ -e "$root/$f" ] || { echo "not installed: /$f" >&2; missing=1; }
  grep -q " \./$f\$" <<<"$listing" || { echo "not in the package: /$f" >&2; missing=1; }
done
[ "$missing" -eq 0 ]

work=$(mktemp -d)
cp "$root/usr/share/quorvin/examples/SITE1.LOG" "$work/"
(cd "$work" && "$root/usr/bin/quorvin-cli" --ini none.ini prn SITE1.LOG >/dev/null 2>&1)
[ -s "$work/SITE1.PRN" ] || { echo "the installed quorvin-cli did not convert a sample" >&2; exit 1; }
rm -rf "$work"
echo "package check passed"
