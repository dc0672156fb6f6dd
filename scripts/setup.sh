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
  qpdf poppler-utils xvfb xauth
  aglfn
  cups-daemon cups-client printer-driver-cups-pdf
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
