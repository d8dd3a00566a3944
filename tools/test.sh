#!/usr/bin/env bash
# Builds the trees and runs every test: the core natively (with AddressSanitizer
# and UndefinedBehaviorSanitizer), then the Windows build under Wine, headless
# under its own Xvfb, in a fresh Wine prefix of its own. The Windows program is
# always built for 32-bit x86, and where this machine runs 32-bit code its
# tests run from that build, the core's 32-bit build among them. Where it
# cannot, the Windows tests run from the x86-64 build of the same sources, and
# the core and rostrel-cli are built for 32-bit x86 Linux and tested through
# QEMU's user-mode emulator.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash tools/setup.sh test
source tools/wine-env.sh

# The run command configures the Windows trees without tests and the CLI.
full="-DBUILD_TESTING=ON -DROSTREL_CLI=ON"
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Debug -DROSTREL_SANITIZE=ON $full
cmake --build build/native
# The 32-bit core where no 32-bit Windows program can run: the same GoogleTest
# sources as the Windows trees, no sanitizers, under QEMU.
if [ "$ROSTREL_WINE_ARCH" = x86_64 ]; then
  cmake -S . -B build/native32 -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/linux-i686.cmake \
    -DROSTREL_EMULATOR="$(command -v qemu-i386-static)" $full
  cmake --build build/native32
fi
cmake -S . -B build/windows -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake $full
cmake --build build/windows
wintree=build/windows
if [ "$ROSTREL_WINE_ARCH" = x86_64 ]; then
  wintree=build/win64
  cmake -S . -B "$wintree" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake $full
  cmake --build "$wintree"
fi
echo "test: the trees built after ${SECONDS} s"
# The releases are packed while the tests run, and the release test checks the
# zips last. Each architecture with a Windows tree here (win32 always, win64
# where no 32-bit code runs) is packed twice, from that tree and from a fresh
# Release tree, and the same sources must give the same bytes; the other is
# packed once, from a fresh tree (and twice on machines of the other kind).
packed=$(mktemp -d)
rm -rf build/release-again-win32 build/release-again-win64
reuse=(ROSTREL_PACK_FROM_WIN32=build/windows) twice=win32
[ "$wintree" = build/win64 ] && reuse+=(ROSTREL_PACK_FROM_WIN64=build/win64) twice="win32 win64"
(env "${reuse[@]}" bash tools/package.sh build/release "$packed/one" &&
  ROSTREL_PACK_ARCHS="$twice" bash tools/package.sh build/release-again "$packed/two") >"$packed/log" 2>&1 </dev/null &
packing=$!
trap 'kill "$packing" 2>/dev/null || true; rm -rf "$packed"' EXIT

ctest --test-dir build/native --output-on-failure -j "$(nproc)"
echo "test: the native tests ran after ${SECONDS} s"
if [ "$ROSTREL_WINE_ARCH" = x86_64 ]; then
  echo "32-bit core: build/native32 under qemu-i386-static"
  ctest --test-dir build/native32 --output-on-failure -j "$(nproc)"
fi

export WINEPREFIX="$root/build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$WINEPREFIX"

source tools/xvfb.sh
start_xvfb
trap 'stop_xvfb; "$ROSTREL_WINESERVER" -k 2>/dev/null || true; kill "$packing" 2>/dev/null || true; rm -rf "$packed"' EXIT

echo "Windows tests: $wintree under $ROSTREL_WINE"
make_wine_prefix
# One server for the whole run, with Wine's own services, started here rather
# than by the first test: started under CTest, they would hold that test's
# output open until they exit.
"$ROSTREL_WINESERVER" -p >/dev/null 2>&1 </dev/null
"$ROSTREL_WINE" wineboot >/dev/null 2>&1 </dev/null || true
# The release test last, with its output: it says which programs it started.
ctest --test-dir "$wintree" --output-on-failure -E '^package_test$'
echo "test: the Windows tests ran after ${SECONDS} s"
wait "$packing" || { cat "$packed/log"; exit 1; }
ROSTREL_PACKED="$packed" ctest --test-dir "$wintree" --output-on-failure --verbose -R '^package_test$'
echo "test: every test passed after ${SECONDS} s"
