#!/usr/bin/env bash
# Checks that the release command is reproducible: clones HEAD into two folders
# of different names, runs scripts/release.sh in the first and then, later and
# with another time zone and umask, in the second, and requires byte-identical
# archives (the same SHA256SUMS) holding KdeskSupport.exe and LEGGIMI.txt.
# On a difference it shows where the two programs differ.
set -euo pipefail
cd "$(dirname "$0")/.."
commit=$(git rev-parse HEAD)
[ -z "$(git status --porcelain)" ] || echo "release check: uncommitted changes are not part of commit ${commit:0:7}"
work=$(mktemp -d "${TMPDIR:-/tmp}/kdesk-release-check.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Runs the release command in a fresh clone of the commit: release_in FOLDER
release_in() {
  local start=$SECONDS
  git clone -q --no-checkout "$PWD" "$1"
  git -C "$1" checkout -q --detach "$commit"
  if ! "$1/scripts/release.sh" >"$1.log" 2>&1; then
    tail -n 30 "$1.log"
    echo "release check: scripts/release.sh failed in $1"
    return 1
  fi
  echo "--- $1/dist/SHA256SUMS ($((SECONDS - start)) s)"
  cat "$1/dist/SHA256SUMS"
}

# Shows where the programs of the two archives differ: the first differing bytes,
# then the differing header fields and text: explain_difference ARCHIVE_NAME
explain_difference() {
  local x a=$work/unzipped-first/KdeskSupport.exe b=$work/unzipped-second-build/KdeskSupport.exe
  for x in first second-build; do
    unzip -q -o "$work/$x/dist/$1" -d "$work/unzipped-$x" || return 0
  done
  echo "--- $1: KdeskSupport.exe differs in $(cmp -l "$a" "$b" | wc -l) bytes (offset, first, second)"
  cmp -l "$a" "$b" | head -n 5 || true
  diff <(cd "${a%/*}" && objdump -x KdeskSupport.exe) <(cd "${b%/*}" && objdump -x KdeskSupport.exe) |
    head -n 10 || true
  diff <(strings -n 8 "$a") <(strings -n 8 "$b") | head -n 10 || true
}

release_in "$work/first"
(umask 077 && TZ=Pacific/Kiritimati release_in "$work/second-build")

status=0
for zip in $(cut -d' ' -f3 "$work/first/dist/SHA256SUMS"); do
  contents=$(unzip -Z1 "$work/first/dist/$zip" | tr '\n' ' ')
  if [ "$contents" != "KdeskSupport.exe LEGGIMI.txt " ]; then
    echo "release check: $zip holds $contents"
    status=1
  fi
  if ! cmp -s "$work/first/dist/$zip" "$work/second-build/dist/$zip"; then
    explain_difference "$zip"
    status=1
  fi
done
if ! cmp -s "$work/first/dist/SHA256SUMS" "$work/second-build/dist/SHA256SUMS"; then
  echo "release check: the two builds differ"
  exit 1
fi
[ $status -eq 0 ] && echo "release check: the two builds of ${commit:0:7} are byte-identical"
exit $status
