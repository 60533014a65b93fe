#!/usr/bin/env bash
# Static analysis of our own code: clang-tidy (portable code through a native
# configuration, Win32 code through a win64 one with clang's MinGW target, one
# file per process, as many at once as there are cores) and cppcheck.
# Suppressions only in place, with a reason.
# Usage: scripts/analyze.sh [BUILD_PREFIX]   (default build/analyze: -native, -win64)
set -uo pipefail
cd "$(dirname "$0")/.."
prefix=${1:-build/analyze}
jobs=$(nproc)
status=0

# Only the compile commands are needed, not a build.
for preset in native win64; do
  cmake --preset "$preset" -B "$prefix-$preset" >/dev/null || exit 1
done

portable=$(git ls-files ':(glob)forms/**/*.cpp' ':(glob)modules/*.cpp' ':(glob)platform/fake/*.cpp' \
                        ':(glob)platform/*.cpp' ':(glob)platform/portable/*.cpp')
windows=$(git ls-files ':(glob)app/*.cpp' ':(glob)platform/win32/*.cpp' ':(glob)platform/win32/mail/*.cpp' \
                   ':(glob)platform/win32/mail/*/*.cpp')
mingw=/usr/lib/gcc/x86_64-w64-mingw32/12-posix/include/c++
mingw_args=(--extra-arg=--target=x86_64-w64-mingw32 "--extra-arg=-isystem$mingw" "--extra-arg=-isystem$mingw/x86_64-w64-mingw32"
            --extra-arg=-isystem/usr/x86_64-w64-mingw32/include)

# Runs clang-tidy over the given files in parallel; fails when any file has a finding.
tidy() {
  local build=$1; shift
  xargs -r -n 1 -P "$jobs" clang-tidy -p "$build" --quiet "$@" 2> >(grep -v "warnings generated" >&2)
}

echo "=== clang-tidy (portable)"
tidy "$prefix-native" <<<"$portable" || status=1
echo "=== clang-tidy (Win32)"
tidy "$prefix-win64" "${mingw_args[@]}" <<<"$windows" || status=1

echo "=== cppcheck"
cppcheck --quiet --error-exitcode=1 --enable=warning,performance,portability --std=c++20 \
  --inline-suppr --suppress=missingIncludeSystem -I . app forms modules platform || status=1

[ $status -eq 0 ] && echo "Analysis clean." || echo "Analysis found problems."
exit $status
