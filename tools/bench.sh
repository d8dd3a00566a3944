#!/usr/bin/env bash
# Builds an optimised native tree and runs the benchmarks, then the window
# benchmark under Wine; each ends with its ratios.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DROSTREL_BENCH=ON >/dev/null
cmake --build build/bench
build/bench/bench/core_bench "$@"

# The list fill in the real window, under Wine and Xvfb.
source tools/wine-env.sh
if [ "$ROSTREL_WINE_ARCH" = i686 ]; then tree=build/windows; toolchain=cmake/mingw-i686.cmake
else tree=build/win64; toolchain=cmake/mingw-x86_64.cmake; fi
cmake -S . -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain" >/dev/null
cmake --build "$tree" --target window_bench
export WINEPREFIX="$PWD/build/wineprefix-bench" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
source tools/xvfb.sh
start_xvfb
trap 'stop_xvfb; "$ROSTREL_WINESERVER" -k 2>/dev/null || true' EXIT
make_wine_prefix
echo "== list fill in the window, under Wine ($tree)"
"$ROSTREL_WINE" "$tree/window_bench.exe"
