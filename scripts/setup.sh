#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs every Debian package Quorvin needs to build, test and benchmark.
# Safe to run again; needs root (or sudo) on a Debian 12 machine.
set -euo pipefail

packages=(
  build-essential
  cmake
  pkg-config
  libgtest-dev
  libgmock-dev
  libbenchmark-dev
  libcli11-dev
  libsimpleini-dev
  libicu-dev
  libxlsxwriter-dev
  zlib1g-dev
  locales
  clang
  libclang-rt-14-dev
  ccache
  # The Debian package (scripts/package.sh) and its check
  # (scripts/check-package.sh): the build, the man pages and man to find
  # them, lintian, the desktop's validators, the file-type database and gio
  # to ask it, bash completion, and the zone the golden cases run in.
  dpkg-dev
  debhelper
  scdoc
  man-db
  lintian
  desktop-file-utils
  appstream
  shared-mime-info
  libglib2.0-bin
  bash-completion
  file
  tzdata
  # The window program: Qt 6 widgets, charts (which need the OpenGL module's
  # headers), printing, the SVG icon; the platform plugins and fonts it
  # draws with.
  qt6-base-dev
  qt6-charts-dev
  libqt6opengl6-dev
  qt6-svg-dev
  qt6-qpa-plugins
  fonts-dejavu-core
  # Window tests and screenshots without a desktop; the print test reads its PDF.
  # The X11 test closes the window through Xlib, as a window manager does.
  xvfb
  xauth
  libx11-dev
  poppler-utils
  # The benchmarks' peer: the pandas script that converts the same log.
  python3-pandas
  # Clock time zones from the system's time-zone database; the NetCDF export.
  libhowardhinnant-date-dev
  libnetcdf-dev
  # The Python module, its tests (pytest, the netCDF reader) and benchmark;
  # its Debian package is made with dh-python.
  dh-python
  pybind11-dev
  python3-dev
  python3-numpy
  python3-pytest
  python3-netcdf4
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A locale whose date separator is "." and decimal point ",", so the tests
# prove that separators follow the locale and numbers never do.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8 >/dev/null 2>&1 || true
fi
