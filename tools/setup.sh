#!/usr/bin/env bash
# Installs what a command needs on a Debian 12 machine. Safe to run again:
# packages already present are not touched.
#   bash tools/setup.sh run    running the editor: the cross compiler, CMake,
#                              Ninja, Wine, and Xvfb with the screenshot tools
#                              where there is no display
#   bash tools/setup.sh test   everything the tests and benchmarks need (default)
#   bash tools/setup.sh fuzz   the tests' packages and clang's libFuzzer
#   bash tools/setup.sh package  building the two releases and their zips
#   bash tools/setup.sh sheets   the tests' packages and LibreOffice Calc, for
#                                tools/make_sheet_fixtures.sh
#
# A package mirror can be out of step for hours: one architecture's index of a
# suite fails to download, or offers older versions than the other's, so that
# apt cannot resolve the Multi-Arch libraries Wine pulls in. A failed index
# download is therefore not fatal here, and an install that fails is tried once
# more with the distribution's own release as the target release.
set -euo pipefail
profile=${1:-test}
case "$profile" in run|test|fuzz|package|sheets) ;; *) echo "usage: setup.sh [run|test|fuzz|package|sheets]" >&2; exit 2 ;; esac

if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
export DEBIAN_FRONTEND=noninteractive
indexes_fresh=no

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

# The release the machine runs, from its os-release file (bookworm on Debian 12).
release_codename() {
  (. "${ROSTREL_OS_RELEASE:-/etc/os-release}" 2>/dev/null && printf '%s' "${VERSION_CODENAME:-}") || true
}

# Installs the packages named that are not installed yet.
install_packages() {
  local missing=() p
  for p in "$@"; do installed "$p" || missing+=("$p"); done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "setup: installing ${missing[*]}"
  if [ "$indexes_fresh" = no ]; then
    $SUDO apt-get update -qq ||
      echo "setup: some package indexes did not download; going on with those that did" >&2
    indexes_fresh=yes
  fi
  local log release reason
  log=$(mktemp)
  if $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >"$log" 2>&1; then
    rm -f "$log"; return 0
  fi
  reason=$(grep -m1 '^E: ' "$log" || tail -n 1 "$log")
  release=$(release_codename)
  if [ -n "$release" ]; then
    echo "setup: the install failed ($reason); installing again with the release $release as target" >&2
    if $SUDO apt-get install -y -qq --no-install-recommends -t "$release" "${missing[@]}" >"$log" 2>&1; then
      rm -f "$log"; return 0
    fi
  fi
  cat "$log" >&2
  rm -f "$log"
  echo "setup: cannot install ${missing[*]}; the package mirror may be mid-sync: run this command again later" >&2
  exit 1
}

# The check for 32-bit support assembles a tiny program.
command -v as >/dev/null || install_packages binutils
source "$(dirname "$0")/wine-env.sh"

# The shipped program is built for 32-bit x86; where this machine cannot run
# 32-bit code, the editor and the Windows tests run from an x86-64 build. Where
# it can, both loaders are installed: the prefix is made by the 64-bit one and
# runs the win32 and the win64 programs (tools/wine-env.sh says why).
need=(cmake ninja-build)
case "$profile" in
  package)
    need+=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-common gcc-mingw-w64-base libcli11-dev nlohmann-json3-dev
           python3) ;;
  run)
    # The dialog fonts link to this font for the verse on the main window.
    need+=(fonts-wqy-microhei)
    if [ -n "${DISPLAY:-}" ]; then need+=(x11-utils); else need+=(xvfb xauth x11-utils x11-apps netpbm); fi ;;
  *)
    need+=(g++ googletest libgtest-dev libbenchmark-dev zlib1g-dev xvfb xauth x11-utils x11-apps netpbm
           fonts-wqy-microhei libcli11-dev nlohmann-json3-dev python3 g++-mingw-w64-i686 g++-mingw-w64-x86-64
           g++-multilib qemu-user-static)
    [ "$profile" = fuzz ] && need+=(clang libclang-rt-14-dev)
    [ "$profile" = sheets ] && need+=(libreoffice-calc-nogui) ;;
esac
if [ "$profile" != package ]; then
  if [ "$ROSTREL_WINE_ARCH" = i686 ]; then need+=(g++-mingw-w64-i686 wine wine32 wine64); else need+=(g++-mingw-w64-x86-64 wine64); fi
fi

if [[ " ${need[*]} " == *" wine32 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  indexes_fresh=no
fi
install_packages "${need[@]}"
