#!/usr/bin/env bash
# Builds an optimised native tree and runs the benchmarks; ratios come last.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DROSTREL_BENCH=ON >/dev/null
cmake --build build/bench
exec build/bench/bench/core_bench "$@"
