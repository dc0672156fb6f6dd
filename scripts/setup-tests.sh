#!/usr/bin/env bash
# Installs what building the program needs (scripts/setup.sh), then the Debian 12 packages that
# only the tests, the card rig and the benchmarks need. scripts/test.sh runs it.
set -euo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
"$here/setup.sh"
source "$here/packages.sh"
install_packages \
  googletest libgtest-dev libgmock-dev \
  libbenchmark-dev \
  vsmartcard-vpcd \
  qpdf poppler-utils \
  xvfb xauth
