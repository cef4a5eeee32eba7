#!/usr/bin/env bash
# Installs the Debian 12 packages this project builds and tests with, when any is missing.
set -euo pipefail

packages=(
  cmake g++ make ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libftdi1-dev libusb-1.0-0-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth imagemagick fonts-dejavu-core
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present"
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
