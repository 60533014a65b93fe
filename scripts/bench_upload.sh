#!/usr/bin/env bash
# Builds the upload benchmark for 64-bit Windows and runs it once under Wine
# against the local drop box (scripts/inbox.sh): a message with 20 MB of
# attachments uploaded by a later try's transfer (UploadFileUnseen: no window)
# and by UploadFile with its window, against `curl -T` of the same bytes to the
# same server (best of three each), the transfer against the floor (the most
# direct WinHTTP PUT of the same file, in turns in the same process), and the
# working set an upload takes above the floor's.
# Usage: scripts/bench_upload.sh [FILES]   (the message's 5 MB attachments, 4 unless given)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/xvfb.sh
kdesk_start_xvfb
build=build/bench-win64
prefix=$PWD/$build/wineprefix
inbox=$PWD/$build/upload-inbox
work=$PWD/$build/upload-bench
cmake --preset win64 -B "$build" >/dev/null
cmake --build "$build" -j "$(nproc)" --target upload_bench >/dev/null

# Room for the message and its base64 in the server's limit.
KDESK_INBOX_LIMIT_MB=60 scripts/inbox.sh start "$inbox" >/dev/null
trap 'scripts/inbox.sh stop "$inbox" >/dev/null 2>&1 || true; kill "${KDESK_XVFB_PID:-}" 2>/dev/null || true' EXIT
url=$(cat "$inbox/url")
mkdir -p "$work"

windows_path() { echo "Z:${1//\//\\}"; }
output=$(cmake/wine-run.sh /usr/lib/wine/wine64 "$prefix" "$PWD/$build/bin/upload_bench.exe" "$url" \
  "$(windows_path "$work")" "$(windows_path "$inbox/ca.der")" "$@" | tr -d '\r')
echo "$output"

best=
for _ in 1 2 3; do
  name="curl_bench_$(openssl rand -hex 16).eml"
  seconds=$(curl -sS -o /dev/null -w '%{time_total}' --fail --cacert "$inbox/ca.pem" -T "$work/upload_bench.eml" \
    "$url$name")
  best=$(python3 -c "import sys; a=[float(x) for x in sys.argv[1:] if x]; print(min(a))" "$seconds" $best)
done
transfer=$(sed -n 's/^transfer: \([0-9.]*\) ms$/\1/p' <<<"$output")
window=$(sed -n 's/^UploadFile with its window: \([0-9.]*\) ms$/\1/p' <<<"$output")
python3 - "$best" "$transfer" "$window" <<'PY'
import sys
curl, transfer, window = float(sys.argv[1]) * 1000, float(sys.argv[2]), float(sys.argv[3])
print("curl -T of the same bytes: %.1f ms" % curl)
print("ratio, transfer / curl: %.2f; UploadFile with its window / curl: %.2f (goal: at most 1.2)"
      % (transfer / curl, window / curl))
PY
