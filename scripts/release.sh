#!/usr/bin/env bash
# Builds the win32 and win64 release programs from a clean checkout and writes
#   dist/KdeskSupport-<version>-win32.zip, dist/KdeskSupport-<version>-win64.zip
#     (each: KdeskSupport.exe and LEGGIMI.txt, the technician's note) and
#   dist/SHA256SUMS.
# <version> is the version resource's text (build_facts.h, the numbers the About
# box shows), followed by -g<commit> when HEAD carries no tag.
# The same commit gives the same bytes in any folder at any time: the commit's
# date is SOURCE_DATE_EPOCH (the linker then writes it as the PE time stamp,
# the archive entries carry it), and build paths are mapped to ".".
# Arguments go to CMake's configure step, e.g. -DKDESK_SUPPORT_MAILBOX=...
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh

if ! git rev-parse --verify -q HEAD >/dev/null; then
  echo "release.sh: needs a git checkout (the version and dates come from its commit)" >&2
  exit 1
fi
if [ -n "$(git status --porcelain)" ]; then
  echo "release.sh: the checkout has changes; a release is built from a commit alone:" >&2
  git status --short >&2
  exit 1
fi

export SOURCE_DATE_EPOCH
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
suffix=""
git describe --tags --exact-match HEAD >/dev/null 2>&1 || suffix="-g$(git rev-parse --short=7 HEAD)"
prefix_map="-ffile-prefix-map=$PWD=."

# Prints a string fact of the build's generated header: fact BUILD_DIR NAME
fact() {
  sed -n "s/^#define $2 \"\(.*\)\"\$/\1/p" "$1/generated/build_facts.h"
}

# Builds KdeskSupport.exe alone, afresh: build_program ARCH TOOLCHAIN [CMAKE_ARGS...]
build_program() {
  local dir=build/release-$1 toolchain=$2
  shift 2
  echo "=== $dir"
  rm -rf "$dir"
  cmake -S . -B "$dir" -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="cmake/$toolchain.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DKDESK_TESTS=OFF \
        -DCMAKE_C_FLAGS="$prefix_map" -DCMAKE_CXX_FLAGS="$prefix_map" "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)" --target KdeskSupport
}

# Writes one archive from a build: package ARCH BITS
package() {
  local dir=build/release-$1
  python3 scripts/release_package.py "dist/KdeskSupport-$version-$1.zip" "$SOURCE_DATE_EPOCH" \
          "$dir/bin/KdeskSupport.exe" resources/LEGGIMI.txt \
          "VERSION=$version" "BITS=$2" "FILEVERSION=$(fact "$dir" KDESK_VERSION_TEXT)" \
          "MAILBOX=$(fact "$dir" KDESK_SUPPORT_MAILBOX_TEXT)"
}

build_program win32 mingw-i686 "$@"
build_program win64 mingw-x86_64 "$@"
version=$(fact build/release-win32 KDESK_VERSION_TEXT)$suffix

rm -rf dist
mkdir dist
package win32 32
package win64 64
(cd dist && sha256sum "KdeskSupport-$version-win32.zip" "KdeskSupport-$version-win64.zip" > SHA256SUMS)
echo "=== dist/SHA256SUMS"
cat dist/SHA256SUMS
