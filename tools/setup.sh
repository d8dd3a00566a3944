#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine, once.
# Safe to run again: packages already present are not touched.
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
# The check for 32-bit support assembles a tiny program.
command -v as >/dev/null || { $SUDO apt-get update -qq || true; $SUDO apt-get install -y -qq binutils; }
source "$(dirname "$0")/wine-env.sh"

need=(cmake ninja-build g++ googletest libgtest-dev libbenchmark-dev zlib1g-dev
      g++-mingw-w64-i686 xvfb xauth x11-utils x11-apps netpbm fonts-wqy-microhei
      libcli11-dev nlohmann-json3-dev)
if [ "$ROSTREL_WINE_ARCH" = i686 ]; then
  need+=(wine wine32)
else
  need+=(wine64 g++-mingw-w64-x86-64)
fi

missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$ROSTREL_WINE_ARCH" = i686 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
# A mirror in mid-sync can fail one index; try again, then go on with the
# indexes that did arrive (the install step says clearly if a package is
# still unknown).
for attempt in 1 2 3; do
  $SUDO apt-get update -qq && break
  echo "apt-get update failed (attempt $attempt); retrying" >&2
  sleep $((attempt * 5))
done
for attempt in 1 2; do
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" && exit 0
  echo "apt-get install failed (attempt $attempt)" >&2
  sleep 5
  $SUDO apt-get update -qq || true
done
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
