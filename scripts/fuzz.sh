#!/usr/bin/env bash
# Builds the libFuzzer targets of the parsers of untrusted bytes with clang
# (address and undefined-behaviour sanitizers) and runs each for a bounded time,
# all side by side:
#   version_reader_fuzzer    PE images and version blocks (kdmain.exe)
#   free_format_item_fuzzer  the port-check and serial-number text files
#   registry_value_fuzzer    registry values of any type and size
# Usage: scripts/fuzz.sh [SECONDS] [BUILD_DIR]   (default 40 s each, build/fuzz)
# Needs clang and libclang-rt-14-dev (scripts/bootstrap.sh installs them).
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-40}
out=${2:-build/fuzz}
targets=(version_reader_fuzzer free_format_item_fuzzer registry_value_fuzzer)
declare -A seeds=([version_reader_fuzzer]=tests/fuzz/corpus
                  [free_format_item_fuzzer]=tests/fuzz/free_format_corpus
                  [registry_value_fuzzer]=tests/fuzz/registry_corpus)

CXX=clang++ cmake -S tests/fuzz -B "$out" -DCMAKE_BUILD_TYPE= -DCMAKE_CXX_FLAGS="-O1 -g" >/dev/null || exit 1
cmake --build "$out" -j "$(nproc)" >/dev/null || { cmake --build "$out" 2>&1 | tail -30; exit 1; }

run_target() {
  local target=$1 work="$out/runs/$1"
  mkdir -p "$work/corpus" "$work/artifacts"
  # New inputs go to the build folder; the committed seeds stay as they are.
  "$out/$target" "$work/corpus" "${seeds[$target]}" -max_total_time="$seconds" -rss_limit_mb=2048 \
    -max_len=65536 -print_final_stats=1 -artifact_prefix="$work/artifacts/" >"$work/log.txt" 2>&1
  echo $? >"$work/status"
}

for target in "${targets[@]}"; do
  rm -f "$out/runs/$target/status"
  run_target "$target" &
done
wait

failed=()
for target in "${targets[@]}"; do
  if [ "$(cat "$out/runs/$target/status" 2>/dev/null)" = 0 ]; then
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$out/runs/$target/log.txt" | grep -o '[0-9]*$')
    echo "$target: ${runs:-?} inputs in ${seconds} s, no fault"
  else
    failed+=("$target")
    echo "$target: FAULT (input kept in $out/runs/$target/artifacts/)"
    grep -v '^#[0-9]' "$out/runs/$target/log.txt" | tail -60
  fi
done
[ ${#failed[@]} -eq 0 ] || { echo "Fuzzing found faults in: ${failed[*]}"; exit 1; }
