#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs each for a chosen time, all at once, starting from the seed corpus
# and the corpus kept in tests/fuzz/corpus. Afterwards the corpus each target
# grew is merged, minimised, back into tests/fuzz/corpus/<target>, which the
# test command replays. A crash leaves its input in build/fuzz/artifacts/<target>;
# once fixed, keep it in tests/fuzz/regressions/<target>.
#   bash tools/fuzz.sh [SECONDS] [TARGET ...]   (default 600 s; open edit_round no_edit_round session history)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(open edit_round no_edit_round session history)

bash tools/setup.sh fuzz
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DROSTREL_FUZZ=ON \
  -DBUILD_TESTING=OFF >/dev/null
cmake --build build/fuzz

work=build/fuzz/run
# Each input is written to a scratch file: keep those in memory.
[ -d /dev/shm ] && export TMPDIR=/dev/shm
rm -rf "$work/seeds"
build/fuzz/rostrel_fuzz_seeds "$work/seeds"
pids=()
for t in "${targets[@]}"; do
  mkdir -p "$work/corpus/$t" "build/fuzz/artifacts/$t" "tests/fuzz/corpus/$t"
  "build/fuzz/${t}_fuzzer" "$work/corpus/$t" "$work/seeds/$t" "tests/fuzz/corpus/$t" \
    -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="build/fuzz/artifacts/$t/" >"$work/$t.log" 2>&1 &
  pids+=($!)
done
status=0
for i in "${!pids[@]}"; do
  wait "${pids[$i]}" || { status=1; echo "${targets[$i]}: stopped with a finding, see $work/${targets[$i]}.log" >&2; }
done
for t in "${targets[@]}"; do
  echo "== $t"
  grep -E "^stat::(number_of_executed_units|new_units_added|peak_rss_mb)|cov: " "$work/$t.log" | tail -4
  # Keep a minimised corpus for the replay tests.
  mkdir -p "$work/merged/$t"
  "build/fuzz/${t}_fuzzer" -merge=1 -max_len=4096 "$work/merged/$t" "$work/corpus/$t" "tests/fuzz/corpus/$t" \
    >"$work/$t.merge.log" 2>&1 || true
  rm -rf "tests/fuzz/corpus/$t" && mv "$work/merged/$t" "tests/fuzz/corpus/$t"
  echo "kept corpus: $(ls "tests/fuzz/corpus/$t" | wc -l) files, $(du -sk "tests/fuzz/corpus/$t" | cut -f1) KiB"
done
exit $status
