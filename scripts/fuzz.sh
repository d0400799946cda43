#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, replays their corpora and saved crashes, then fuzzes each target
# for a while. Exits non-zero when an input crashes, hangs or runs out of memory.
# FUZZ_SECONDS sets the fuzzing time per target (default 40).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir="$root/build-fuzz"
seconds=${FUZZ_SECONDS:-40}
targets=(level module)
fuzzdir="$root/tests/engine/fuzz"

mkdir -p "$dir"
CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DGLIMMOCK_FUZZ=ON -DGLIMMOCK_TESTS_ONLY=ON > "$dir/configure.log" 2>&1 \
  || { cat "$dir/configure.log"; exit 1; }
cmake --build "$dir" -j"${JOBS:-$(nproc)}" --target $(printf 'fuzz_%s ' "${targets[@]}")

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
limits=(-timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=512)

for target in "${targets[@]}"; do
  binary="$dir/tests/engine/fuzz_$target"
  seeds="$fuzzdir/corpus/$target"
  crashes="$fuzzdir/crashes/$target"
  work="$dir/corpus-$target"
  artifacts="$dir/artifacts-$target/"
  mkdir -p "$work" "$artifacts" "$crashes"

  echo "--- replaying fuzz_$target"
  "$binary" "${limits[@]}" -runs=0 "$seeds" "$crashes"

  echo "--- fuzzing fuzz_$target for ${seconds} s"
  "$binary" "${limits[@]}" -max_total_time="$seconds" -max_len=16384 -dict="$fuzzdir/level.dict" \
    -artifact_prefix="$artifacts" -print_final_stats=1 "$work" "$seeds"
done
