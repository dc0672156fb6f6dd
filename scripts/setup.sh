#!/usr/bin/env bash
# Installs the Debian 12 packages that building and running the program need, nothing more.
# What only the tests need goes to scripts/setup-tests.sh.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/packages.sh"
install_packages \
  cmake ninja-build g++ pkg-config \
  qt6-base-dev libgl-dev \
  qt6-translations-l10n \
  libpcsclite-dev pcscd \
  libjpeg62-turbo-dev zlib1g-dev \
  fonts-liberation2 fonts-dejavu-core \
  librsvg2-bin
