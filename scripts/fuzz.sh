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
# The targets print the loaders' messages; -close_fd_mask=1 keeps them out of the log.
limits=(-timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=512 -close_fd_mask=1)

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

# Dropped-picture import, from bytes. The image libraries are not instrumented, so this mostly finds hangs:
# a short -timeout turns a decoder that never finishes into a failure.
picture_dir="$root/tests/graphics/fuzz"
cmake --build "$dir" -j"${JOBS:-$(nproc)}" --target fuzz_picture
mkdir -p "$dir/corpus-picture" "$dir/artifacts-picture"
picture_limits=(-timeout=2 -rss_limit_mb=2048 -malloc_limit_mb=512 -close_fd_mask=1)
echo "--- replaying fuzz_picture"
"$dir/tests/graphics/fuzz/fuzz_picture" "${picture_limits[@]}" -runs=0 "$picture_dir/corpus/picture" \
  "$picture_dir/crashes/picture"
echo "--- fuzzing fuzz_picture for ${seconds} s"
"$dir/tests/graphics/fuzz/fuzz_picture" "${picture_limits[@]}" -max_total_time="$seconds" -max_len=65536 \
  -dict="$picture_dir/picture.dict" -artifact_prefix="$dir/artifacts-picture/" -print_final_stats=1 \
  "$dir/corpus-picture" "$picture_dir/corpus/picture"
