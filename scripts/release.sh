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
#
# Signing: with KDESK_SIGN_PKCS12 (the maker's PKCS#12 file) and
# KDESK_SIGN_PASSWORD_FILE (a file holding its password) both programs get an
# Authenticode signature before packing (osslsigncode, SHA-256, described by
# the program's title and the maker's web address). Its signing time is
# SOURCE_DATE_EPOCH, so signed packages are reproducible as well.
# KDESK_SIGN_TIMESTAMP_URL adds an RFC 3161 time stamp from that server: the
# signature then stays valid after the certificate expires, and two builds
# differ in the signature alone.
# --repack (instead of CMake arguments) signs and packs the programs of this
# commit's last release build again without building, e.g. after the time-stamp
# server did not answer.
set -euo pipefail
# The certificate's files may be named relative to the caller's folder.
for var in KDESK_SIGN_PKCS12 KDESK_SIGN_PASSWORD_FILE; do
  [ -z "${!var:-}" ] || printf -v "$var" %s "$(realpath -- "${!var}")"
done
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

signing=""
if [ -n "${KDESK_SIGN_PKCS12:-}${KDESK_SIGN_PASSWORD_FILE:-}${KDESK_SIGN_TIMESTAMP_URL:-}" ]; then
  for var in KDESK_SIGN_PKCS12 KDESK_SIGN_PASSWORD_FILE; do
    if [ ! -r "${!var:-}" ]; then
      echo "release.sh: to sign the programs, $var must name a readable file" >&2
      exit 1
    fi
  done
  signing=yes
fi
repack=""
if [ "${1:-}" = --repack ]; then
  [ $# -eq 1 ] || { echo "release.sh: --repack takes no other arguments" >&2; exit 1; }
  repack=yes
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
  git rev-parse HEAD >"$dir/release-commit"
}

# Checks that the last release build is one of this commit: built_here ARCH
built_here() {
  if [ "$(cat "build/release-$1/release-commit" 2>/dev/null)" != "$(git rev-parse HEAD)" ]; then
    echo "release.sh: --repack needs a release build of this commit in build/release-$1" >&2
    exit 1
  fi
}

# Signs a copy of a build's program into $dir/signed: sign_program ARCH
# (the build's own file stays unsigned, so that --repack can sign it again).
sign_program() {
  local dir=build/release-$1 stamp=()
  [ -z "${KDESK_SIGN_TIMESTAMP_URL:-}" ] || stamp=(-ts "$KDESK_SIGN_TIMESTAMP_URL")
  rm -rf "$dir/signed"
  mkdir "$dir/signed"
  osslsigncode sign -pkcs12 "$KDESK_SIGN_PKCS12" -readpass "$KDESK_SIGN_PASSWORD_FILE" -h sha256 \
               -n "$(fact "$dir" KDESK_TITLE_TEXT)" -i "$(fact "$dir" KDESK_MAKER_URL_TEXT)" \
               -time "$SOURCE_DATE_EPOCH" "${stamp[@]}" \
               -in "$dir/bin/KdeskSupport.exe" -out "$dir/signed/KdeskSupport.exe"
}

# Writes one archive from a build, its program signed when a certificate is
# given: package ARCH BITS
package() {
  local dir=build/release-$1 program=build/release-$1/bin/KdeskSupport.exe
  if [ -n "$signing" ]; then
    sign_program "$1"
    program=$dir/signed/KdeskSupport.exe
  fi
  python3 scripts/release_package.py "dist/KdeskSupport-$version-$1.zip" "$SOURCE_DATE_EPOCH" \
          "$program" resources/LEGGIMI.txt \
          "VERSION=$version" "BITS=$2" "FILEVERSION=$(fact "$dir" KDESK_VERSION_TEXT)" \
          "MAILBOX=$(fact "$dir" KDESK_SUPPORT_MAILBOX_TEXT)"
}

if [ -n "$repack" ]; then
  built_here win32
  built_here win64
else
  build_program win32 mingw-i686 "$@"
  build_program win64 mingw-x86_64 "$@"
fi
version=$(fact build/release-win32 KDESK_VERSION_TEXT)$suffix

rm -rf dist
mkdir dist
package win32 32
package win64 64
if [ -n "$signing" ]; then
  echo "=== programs signed with $KDESK_SIGN_PKCS12, time stamp: ${KDESK_SIGN_TIMESTAMP_URL:-none}"
else
  echo "=== programs not signed: KDESK_SIGN_PKCS12 and KDESK_SIGN_PASSWORD_FILE are not set"
fi
(cd dist && sha256sum "KdeskSupport-$version-win32.zip" "KdeskSupport-$version-win64.zip" > SHA256SUMS)
echo "=== dist/SHA256SUMS"
cat dist/SHA256SUMS
