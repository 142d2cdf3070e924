#!/usr/bin/env bash
# Installs the Debian packages that lanternslide needs to build, test and run its demo.
# Idempotent: asks apt only for what is missing, and does nothing when all is there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  googletest libgtest-dev libgmock-dev
  libsdl2-dev libsdl2-mixer-dev libjack-jackd2-dev
  libgtk-3-dev libpango1.0-dev libcairo2-dev libpixman-1-dev
  libjpeg62-turbo-dev libgdk-pixbuf-2.0-dev libx11-dev
  xvfb xauth xdotool x11-utils
  fonts-dejavu-core fonts-wqy-zenhei libwmf-0.2-7-gtk
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q "${missing[@]}"
