#!/usr/bin/env bash
# Builds the attachment-fill benchmark for 64-bit Windows and runs it once under
# Wine: the bare enumeration of a folder of 100,000 matching files against
# FillAttachmentList over it. The folder is made once in the build tree and reused.
# Usage: scripts/bench_attachments.sh [PRESET] [COUNT]   (PRESET: win64 or win32)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/xvfb.sh
source scripts/wine32.sh
preset=${1:-win64}
count=${2:-100000}
build=build/bench-$preset
loader=/usr/lib/wine/wine64
if [ "$preset" = win32 ]; then
  loader=/usr/lib/wine/wine
  reason=$(kdesk_no_32bit_reason)
  [ -z "$reason" ] || { kdesk_skip_32bit_line "win32 attachment benchmark" "$reason"; exit 0; }
fi
kdesk_start_xvfb
cmake --preset "$preset" -B "$build" >/dev/null
cmake --build "$build" -j "$(nproc)" --target attachment_fill_bench
folder="$PWD/$build/bench_attachments"
# Made on the Linux side: creating 100,000 files through Wine takes hours.
mkdir -p "$folder"
python3 - "$folder" "$count" <<'PY'
import os, sys
folder, count = sys.argv[1], int(sys.argv[2])
for i in range(count):
    path = os.path.join(folder, "SR_%07d.001" % i)
    if not os.path.exists(path):
        open(path, "w").close()
PY
status=0
cmake/wine-run.sh "$loader" "$PWD/$build/wineprefix" "$build/bin/attachment_fill_bench.exe" \
  "Z:${folder//\//\\}" "$count" || status=$?
WINEPREFIX="$PWD/$build/wineprefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
exit $status
