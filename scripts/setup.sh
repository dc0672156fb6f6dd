#!/usr/bin/env bash
# Installs every Debian 12 package the build, the program and the tests need.
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libgl-dev
  libpcsclite-dev pcscd vsmartcard-vpcd
  libjpeg62-turbo-dev
  fonts-liberation2 fonts-dejavu-core
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  qpdf poppler-utils mupdf-tools xvfb xauth
  aglfn
  cups-daemon cups-client printer-driver-cups-pdf
  locales
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# The PDF tests run once more in the Polish locale, whose numbers have a decimal comma.
if ! locale -a 2>/dev/null | grep -qix 'pl_PL\.utf-\?8'; then
  $SUDO localedef -i pl_PL -f UTF-8 pl_PL.UTF-8
fi
