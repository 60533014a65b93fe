#!/usr/bin/env bash
# Builds the native, win64 and win32 presets and runs every test tier:
# unit and contract tests natively, and unit, contract and e2e tests of both
# Windows builds under Wine (with Xvfb when there is no display).
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh || exit 1
source scripts/xvfb.sh
kdesk_start_xvfb || exit 1

jobs=$(nproc)
failed=()
for preset in native win64 win32; do
  echo "=== $preset: build"
  if ! { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" -j "$jobs"; }; then
    failed+=("$preset (build)")
    continue
  fi
  echo "=== $preset: test"
  ctest --preset "$preset" -j "$jobs" || failed+=("$preset")
  # Wine's server of this build's prefix outlives the tests; stop it.
  [ "$preset" = native ] || WINEPREFIX="$PWD/build/$preset/wineprefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
echo "All test tiers passed."
