#!/usr/bin/env bash
# Builds both trees and runs every test: the core natively (with AddressSanitizer
# and UndefinedBehaviorSanitizer), then the Windows build under Wine, headless
# under its own Xvfb, in a fresh Wine prefix of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash tools/setup.sh

cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Debug -DROSTREL_SANITIZE=ON
cmake --build build/native
cmake -S . -B build/windows -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
cmake --build build/windows

ctest --test-dir build/native --output-on-failure -j "$(nproc)"

export WINEPREFIX="$root/build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$WINEPREFIX"

source tools/xvfb.sh
start_xvfb
trap 'stop_xvfb; wineserver -k 2>/dev/null || true' EXIT

wineboot -i >/dev/null 2>&1 || true
ctest --test-dir build/windows --output-on-failure
