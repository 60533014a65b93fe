#!/usr/bin/env bash
# Regenerates the seed corpus: tiny PE32 and PE32+ files carrying the test
# version resources (tests/version/*.rc), and their raw version blocks.
# Needs the MinGW-w64 toolchains; the output is committed, so run it by hand.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'void entry(void) {}\n' >"$work/entry.c"
for rc in ../version/italian.rc ../version/italian_ansi.rc ../version/missing_copyright.rc \
          ../version/several_translations.rc ../version/long_values.rc; do
  name=$(basename "$rc" .rc)
  for triple in x86_64-w64-mingw32 i686-w64-mingw32; do
    bits=$([ "$triple" = i686-w64-mingw32 ] && echo 32 || echo 64)
    entry=$([ "$bits" = 32 ] && echo _entry || echo entry)
    "$triple-windres" "$rc" -O coff -o "$work/$name.o"
    "$triple-gcc" -nostdlib -s -Wl,--entry="$entry" -o "corpus/${name}_pe$bits.exe" "$work/entry.c" "$work/$name.o"
  done
done
# The raw blocks: each starts 6 bytes before the UTF-16 key "VS_VERSION_INFO".
python3 - <<'PY'
import glob, os
key = "VS_VERSION_INFO".encode("utf-16-le")
for exe in sorted(glob.glob("corpus/*_pe64.exe")):
    data = open(exe, "rb").read()
    at = data.find(key) - 6
    length = int.from_bytes(data[at:at + 2], "little")
    open(exe.replace("_pe64.exe", ".block"), "wb").write(data[at:at + length])
PY
ls -l corpus
