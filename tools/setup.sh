#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine, once.
# Safe to run again: packages already present are not touched.
set -euo pipefail

need=(cmake ninja-build g++ googletest libgtest-dev libbenchmark-dev zlib1g-dev
      g++-mingw-w64-i686 xvfb xauth wine wine32 x11-utils)

missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
