#!/usr/bin/env bash
# Builds an optimised native tree and runs the benchmarks, then the window
# benchmark under Wine; each ends with its ratios.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh test
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DROSTREL_BENCH=ON >/dev/null
cmake --build build/bench
build/bench/bench/core_bench "$@"

# rostrel-cli on a 32767-player roster: list, export and import of the same
# CSV, each against listing the players (best of three runs each).
cmake --build build/bench --target rostrel-cli rostrel_demo_roster
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
build/bench/rostrel_demo_roster "$scratch/Big.ROS" 32767 >/dev/null
best() {
  local best=999999999999 start end t
  for _ in 1 2 3; do
    start=$(date +%s%N); "$@" >/dev/null; end=$(date +%s%N)
    t=$((end - start)); [ "$t" -lt "$best" ] && best=$t
  done
  echo "$best"
}
cli=build/bench/rostrel-cli
list_ns=$(best "$cli" list "$scratch/Big.ROS")
export_ns=$(best "$cli" export "$scratch/Big.ROS" --csv "$scratch/big.csv")
import_ns=$(best "$cli" import "$scratch/Big.ROS" --csv "$scratch/big.csv")
echo "== rostrel-cli, 32767 players"
awk -v l="$list_ns" -v e="$export_ns" -v i="$import_ns" 'BEGIN {
  printf "list    %8.3f s\nexport  %8.3f s\nimport  %8.3f s\n", l / 1e9, e / 1e9, i / 1e9
  printf "ratio  export / list            %8.2f\n", e / l
  printf "ratio  import / list            %8.2f\n", i / l
  printf "ratio  export + import / list   %8.2f\n", (e + i) / l
}'

# The list fill in the real window, under Wine and Xvfb.
source tools/wine-env.sh
if [ "$ROSTREL_WINE_ARCH" = i686 ]; then tree=build/windows; toolchain=cmake/mingw-i686.cmake
else tree=build/win64; toolchain=cmake/mingw-x86_64.cmake; fi
cmake -S . -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain" >/dev/null
cmake --build "$tree" --target window_bench
export WINEPREFIX="$PWD/build/wineprefix-bench" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
source tools/xvfb.sh
start_xvfb
trap 'rm -rf "$scratch"; stop_xvfb; "$ROSTREL_WINESERVER" -k 2>/dev/null || true' EXIT
make_wine_prefix
echo "== list fill in the window, under Wine ($tree)"
"$ROSTREL_WINE" "$tree/window_bench.exe"
