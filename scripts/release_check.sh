#!/usr/bin/env bash
# Checks that the release command is reproducible: clones HEAD into two folders
# of different names, runs scripts/release.sh in the first and then, later and
# with another time zone and umask, in the second, and requires byte-identical
# archives (the same SHA256SUMS) holding KdeskSupport.exe and LEGGIMI.txt.
# Then the same for signed packages: a throwaway CA and code-signing
# certificate (scripts/make_test_signer.sh) sign the programs of both builds
# (release.sh --repack); each program must carry a valid signature for that CA
# with the program's title and the maker's web address, the two signed builds
# must be byte-identical, and the password must appear in no output.
# On a difference it shows where the two programs differ.
set -euo pipefail
cd "$(dirname "$0")/.."
commit=$(git rev-parse HEAD)
[ -z "$(git status --porcelain)" ] || echo "release check: uncommitted changes are not part of commit ${commit:0:7}"
work=$(mktemp -d "${TMPDIR:-/tmp}/kdesk-release-check.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Runs the release command in a clone, its output in FOLDER-KIND.log: run_release FOLDER KIND [ARGS...]
run_release() {
  local dir=$1 kind=$2 log=$1-$2.log start=$SECONDS
  shift 2
  if ! "$dir/scripts/release.sh" "$@" >"$log" 2>&1; then
    tail -n 30 "$log"
    echo "release check: scripts/release.sh $* failed in $dir"
    return 1
  fi
  echo "--- $dir/dist/SHA256SUMS, $kind ($((SECONDS - start)) s)"
  cat "$dir/dist/SHA256SUMS"
}

# Runs the release command in a fresh clone of the commit: release_in FOLDER
release_in() {
  git clone -q --no-checkout "$PWD" "$1"
  git -C "$1" checkout -q --detach "$commit"
  run_release "$1" unsigned
}

# Signs and packs a clone's release build again with the test certificate: sign_in FOLDER
sign_in() {
  KDESK_SIGN_PKCS12=$work/signer/signer.p12 KDESK_SIGN_PASSWORD_FILE=$work/signer/password \
    run_release "$1" signed --repack
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

# Requires the same archives, with the expected entries, in both clones: compare_builds KIND
compare_builds() {
  local zip contents status=0
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
    echo "release check: the two $1 builds differ"
    return 1
  fi
  [ $status -eq 0 ] && echo "release check: the two $1 builds of ${commit:0:7} are byte-identical"
  return $status
}

# Prints a string fact of a build's generated header: fact BUILD_DIR NAME
fact() {
  sed -n "s/^#define $2 \"\(.*\)\"\$/\1/p" "$1/generated/build_facts.h"
}

# Requires a valid signature for the test CA, with the program's title and the
# maker's web address, on the program of each of a clone's archives: verify_signed FOLDER
verify_signed() {
  local zip report status=0 facts=$1/build/release-win32
  for zip in "$1"/dist/*.zip; do
    unzip -p "$zip" KdeskSupport.exe >"$work/signed.exe"
    if ! report=$(osslsigncode verify -CAfile "$work/signer/ca.pem" -in "$work/signed.exe" 2>&1); then
      echo "$report" | tail -n 5
      echo "release check: the program of ${zip##*/} carries no valid signature"
      status=1
    elif ! grep -qFx "	Text description: $(fact "$facts" KDESK_TITLE_TEXT)" <<<"$report" ||
         ! grep -qFx "	URL description: $(fact "$facts" KDESK_MAKER_URL_TEXT)" <<<"$report"; then
      grep description <<<"$report"
      echo "release check: the signature of ${zip##*/} has another description"
      status=1
    fi
  done
  return $status
}

release_in "$work/first"
(umask 077 && TZ=Pacific/Kiritimati release_in "$work/second-build")
status=0
compare_builds unsigned || status=1
if ! grep -q "^=== programs not signed" "$work/first-unsigned.log"; then
  echo "release check: the output does not say that the programs were not signed"
  status=1
fi

scripts/make_test_signer.sh "$work/signer"
sign_in "$work/first"
(umask 077 && TZ=Pacific/Kiritimati sign_in "$work/second-build")
verify_signed "$work/first" || status=1
compare_builds signed || status=1
if grep -qF "$(cat "$work/signer/password")" "$work"/*.log; then
  echo "release check: the certificate's password appears in the output"
  status=1
fi
exit $status
