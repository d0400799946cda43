#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, replays their corpora and saved crashes, then fuzzes each target
# for a while and prints each one's executions per second. Exits non-zero when an input crashes, hangs or
# runs out of memory.
# FUZZ_SECONDS sets the fuzzing time per target (default 25); FUZZ_TARGETS="level replay" picks targets.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir="$root/build-fuzz"
seconds=${FUZZ_SECONDS:-25}

# One line per target: name, binary (in the build folder), its folder under tests/ (which holds
# corpus/<name> and crashes/<name>), its dictionary (in that folder, or "-"), then libFuzzer options of
# its own. The binary's file name is also its build target.
table=(
  "level           tests/engine/fuzz_level                     engine/fuzz     level.dict          -max_len=16384"
  "module          tests/engine/fuzz_module                    engine/fuzz     level.dict          -max_len=16384"
  "level_graphics  tests/graphics/fuzz/fuzz_level_graphics     graphics/fuzz   level_graphics.dict -max_len=16384"
  "replay          tests/platform/fuzz/fuzz_replay             platform/fuzz   replay.dict         -max_len=2048"
  "event_id_list   tests/sound/fuzz/fuzz_event_id_list         sound/fuzz      event_id_list.dict  -max_len=4096"
  "sound_bank      tests/sound/fuzz/fuzz_sound_bank            sound/fuzz      sound_bank.dict     -max_len=4096"
  # The image libraries are not instrumented, so this mostly finds hangs: a short timeout catches them.
  "picture         tests/graphics/fuzz/fuzz_picture            graphics/fuzz   picture.dict        -max_len=65536 -timeout=2"
)

selected=()
for row in "${table[@]}"; do
  read -r name _ <<< "$row"
  if [ -z "${FUZZ_TARGETS:-}" ] || [[ " $FUZZ_TARGETS " == *" $name "* ]]; then
    selected+=("$row")
  fi
done
[ ${#selected[@]} -gt 0 ] || { echo "fuzz.sh: no target named in FUZZ_TARGETS='$FUZZ_TARGETS'" >&2; exit 1; }

mkdir -p "$dir"
CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DGLIMMOCK_FUZZ=ON -DGLIMMOCK_TESTS_ONLY=ON > "$dir/configure.log" 2>&1 \
  || { cat "$dir/configure.log"; exit 1; }
build_targets=()
for row in "${selected[@]}"; do
  read -r _ binary _ <<< "$row"
  build_targets+=("$(basename "$binary")")
done
cmake --build "$dir" -j"${JOBS:-$(nproc)}" --target "${build_targets[@]}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The targets print the readers' messages; -close_fd_mask=1 keeps them out of the log.
limits=(-timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=512 -close_fd_mask=1)

summary=()
for row in "${selected[@]}"; do
  read -r name binary folder dict options <<< "$row"
  fuzzdir="$root/tests/$folder"
  seeds="$fuzzdir/corpus/$name"
  crashes="$fuzzdir/crashes/$name"
  work="$dir/corpus-$name"
  artifacts="$dir/artifacts-$name/"
  log="$dir/fuzz-$name.log"
  mkdir -p "$work" "$artifacts" "$crashes"
  dict_option=()
  [ "$dict" = "-" ] || dict_option=(-dict="$fuzzdir/$dict")
  read -r -a own_options <<< "$options"

  echo "--- replaying $name"
  "$dir/$binary" "${limits[@]}" -runs=0 "$seeds" "$crashes"

  echo "--- fuzzing $name for ${seconds} s"
  status=0
  "$dir/$binary" "${limits[@]}" "${own_options[@]}" "${dict_option[@]}" -max_total_time="$seconds" \
    -artifact_prefix="$artifacts" -print_final_stats=1 "$work" "$seeds" > "$log" 2>&1 || status=$?
  if [ $status -ne 0 ]; then
    tail -n 60 "$log"
    echo "fuzz.sh: $name failed; the input is in $artifacts (keep it in $crashes once mended)" >&2
    exit $status
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  summary+=("$(printf '%-16s %10s runs %8s exec/s' "$name" "${runs:-?}" "${rate:-?}")")
done

echo "--- fuzz summary (${seconds} s each)"
printf '%s\n' "${summary[@]}"
