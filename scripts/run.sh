#!/usr/bin/env bash
# Starts KdeskSupport.exe on the demo installation under Wine, in a prefix of its
# own (build/demo/wineprefix). With a display the window opens there; without
# one the program runs under Xvfb and a screenshot is left behind.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/bootstrap.sh

preset=win64
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)" --target KdeskSupport kdmain

out=$root/build/demo
export WINEPREFIX=$out/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
wine=/usr/lib/wine/wine64
source scripts/xvfb.sh

install_demo() {
  mkdir -p "$out"
  if [ ! -f "$WINEPREFIX/.kdesk-ready" ]; then
    echo "Creating the demo Wine prefix (once)..."
    $wine wineboot -i >/dev/null 2>&1 || true
    $wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    touch "$WINEPREFIX/.kdesk-ready"
  fi
  local drive=$WINEPREFIX/drive_c
  mkdir -p "$drive/VelKdesk" "$drive/ProgramData/VELKDESK" "$drive/KdeskSupport"
  cp demo/installation/app/* "$drive/VelKdesk/"
  cp build/$preset/bin/demo/kdmain.exe "$drive/VelKdesk/kdmain.exe"
  cp demo/installation/data/* "$drive/ProgramData/VELKDESK/"
  cp build/$preset/bin/KdeskSupport.exe "$drive/KdeskSupport/"
  $wine regedit /S "$(winepath_of "$root/demo/installation/installation.reg")" >/dev/null 2>&1
}

winepath_of() { echo "Z:${1//\//\\}"; }

install_demo
program='C:\KdeskSupport\KdeskSupport.exe'

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "Starting KdeskSupport on the demo installation (display $DISPLAY)."
  $wine "$program"
  exit 0
fi

kdesk_start_xvfb
echo "No display: running under Xvfb on $DISPLAY."
$wine "$program" >/dev/null 2>&1 &
pid=$!
for _ in $(seq 1 150); do
  xdotool search --onlyvisible --name '^VelKdesk Support$' >/dev/null 2>&1 && break
  sleep 0.2
done
sleep 1
shot=$out/screenshot-main.png
import -window root "$shot"
echo "Screenshot of the main window: $shot"
/usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
wait $pid 2>/dev/null || true
