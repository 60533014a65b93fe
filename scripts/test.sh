#!/usr/bin/env bash
# Builds the native, win64 and win32 presets and runs every test tier:
# unit and contract tests natively, and unit, contract and e2e tests of both
# Windows builds under Wine (with Xvfb when there is no display). Then the
# hardening steps: the native tests again under AddressSanitizer and UBSan
# (native-asan), clang-tidy and cppcheck (scripts/analyze.sh) and each fuzz
# target for a bounded time (scripts/fuzz.sh). Last, the release command run
# twice from the commit must give the same bytes (scripts/release_check.sh).
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh || exit 1
source scripts/xvfb.sh
source scripts/wine32.sh
kdesk_start_xvfb || exit 1

jobs=$(nproc)
fuzz_seconds=${KDESK_FUZZ_SECONDS:-40}
failed=()
skipped=()
timings=()

# Runs one named step and records how long it took (and whether its tests were skipped).
timed() {
  local name=$1 start=$SECONDS status=0 note=""
  shift
  "$@" || status=$?
  [[ " ${skipped[*]} " == *" $name "* ]] && note="  (built; tests skipped)"
  timings+=("$(printf '%-22s %4d s%s' "$name" $((SECONDS - start)) "$note")")
  return $status
}

build_preset() {
  echo "=== $1: build"
  cmake --preset "$1" >/dev/null && cmake --build --preset "$1" -j "$jobs"
}

test_preset() {
  echo "=== $1: test"
  local status=0
  ctest --preset "$1" -j "$jobs" || status=$?
  # Wine's server of this build's prefix outlives the tests; stop it.
  case $1 in win*) WINEPREFIX="$PWD/build/$1/wineprefix" /usr/lib/wine/wineserver -k 2>/dev/null || true ;; esac
  return $status
}

preset_tier() {
  if ! build_preset "$1"; then failed+=("$1 (build)"); return; fi
  if [ "$1" = win32 ] && [ -n "$no_32bit" ]; then
    kdesk_skip_32bit_line "win32 tests" "$no_32bit"
    skipped+=("$1")
    return
  fi
  test_preset "$1" || failed+=("$1")
}

presets=${KDESK_TEST_PRESETS-native win64 win32}
# Found out once: the win32 tests need a machine that runs 32-bit programs.
no_32bit=""
[[ " $presets " == *" win32 "* ]] && no_32bit=$(kdesk_no_32bit_reason)
# KDESK_TEST_PRESETS narrows the tiers for a local run, e.g. "native".
# The Windows tiers run one after the other: on two cores, Wine's process
# starts of one slow the other's e2e tests down more than running apart costs.
for preset in $presets; do
  timed "$preset" preset_tier "$preset"
done

# Any sanitizer report fails the test at once; leaks count as failures.
export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
timed native-asan preset_tier native-asan
echo "=== analysis"
timed analysis scripts/analyze.sh || failed+=("analysis")
echo "=== fuzz (${fuzz_seconds} s per target)"
timed fuzz scripts/fuzz.sh "$fuzz_seconds" || failed+=("fuzz")
echo "=== release check"
timed release-check scripts/release_check.sh || failed+=("release-check")

echo "=== time per step"
printf '  %s\n' "${timings[@]}"
if [ ${#failed[@]} -ne 0 ]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
[ ${#skipped[@]} -ne 0 ] && echo "Skipped: ${skipped[*]} tests (this machine cannot run 32-bit programs)."
echo "All test tiers that ran passed."
