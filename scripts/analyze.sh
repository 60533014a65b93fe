#!/usr/bin/env bash
# Static analysis of our own code: clang-tidy (portable code through the native
# build, Win32 code through the win64 build with clang's MinGW target) and cppcheck.
# Suppressions only in place, with a reason.
set -uo pipefail
cd "$(dirname "$0")/.."
status=0

for preset in native win64; do
  [ -f "build/$preset/compile_commands.json" ] || cmake --preset "$preset" >/dev/null
done

portable=$(git ls-files 'forms/*.cpp' 'modules/*.cpp' 'platform/*.cpp' 'platform/fake/*.cpp' 'platform/portable/*.cpp')
windows=$(git ls-files 'app/*.cpp' 'platform/win32/*.cpp')

echo "=== clang-tidy (portable)"
clang-tidy -p build/native --quiet $portable 2>/dev/null | grep -v "warnings generated" || true
clang-tidy -p build/native --quiet $portable >/dev/null 2>&1 || status=1

echo "=== clang-tidy (Win32)"
mingw_args=(--extra-arg=--target=x86_64-w64-mingw32 --extra-arg=-isystem/usr/lib/gcc/x86_64-w64-mingw32/12-posix/include/c++
            --extra-arg=-isystem/usr/lib/gcc/x86_64-w64-mingw32/12-posix/include/c++/x86_64-w64-mingw32
            --extra-arg=-isystem/usr/x86_64-w64-mingw32/include)
if [ -n "$windows" ]; then
  clang-tidy -p build/win64 --quiet "${mingw_args[@]}" $windows 2>/dev/null | grep -v "warnings generated" || true
  clang-tidy -p build/win64 --quiet "${mingw_args[@]}" $windows >/dev/null 2>&1 || status=1
fi

echo "=== cppcheck"
cppcheck --quiet --error-exitcode=1 --enable=warning,performance,portability --std=c++20 \
  --inline-suppr --suppress=missingIncludeSystem -I . app forms modules platform || status=1

[ $status -eq 0 ] && echo "Analysis clean." || echo "Analysis found problems."
exit $status
