#!/usr/bin/env bash
# Installs what building the program needs (scripts/setup.sh), then the Debian 12 packages that
# only the tests, the card rig, the printing rig and the benchmarks need. scripts/test.sh runs it.
set -euo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
"$here/setup.sh"
source "$here/packages.sh"
install_packages \
  googletest libgtest-dev libgmock-dev \
  libbenchmark-dev libcairo2-dev \
  vsmartcard-vpcd \
  qpdf poppler-utils mupdf-tools \
  xvfb xauth \
  aglfn \
  cups-daemon cups-client printer-driver-cups-pdf \
  locales \
  desktop-file-utils appstream shared-mime-info libglib2.0-bin

# The PDF tests run once more in the Polish locale, whose numbers have a decimal comma.
if ! locale -a 2>/dev/null | grep -qix 'pl_PL\.utf-\?8'; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo localedef -i pl_PL -f UTF-8 pl_PL.UTF-8
fi
