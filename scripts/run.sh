#!/usr/bin/env bash
# Starts KdeskSupport.exe on the demo installation under Wine, in a prefix of its
# own (build/demo/wineprefix), with the recording mail provider as the default
# mail client, so that a demo never mails anyone. With a display the window
# opens there; without one the program runs under Xvfb and goes once through
# the main job (start, type a message, send, confirm), leaving screenshots and
# the recorded message in build/demo.
# Usage: scripts/run.sh [--no-mail-client] [--upload]
#   --no-mail-client: the prefix has no mail client and no program for .eml
#   files, so the message is saved as a draft and a box says where.
#   --upload: the message is uploaded to a local copy of the maker's drop box
#   (scripts/inbox.sh), whose throwaway CA the demo prefix trusts; it lands in
#   build/demo/inbox/new/. When the upload fails, a box says why and the
#   message goes the usual way.
set -euo pipefail
no_client=false upload=false
for arg in "$@"; do
  case $arg in
    --no-mail-client) no_client=true ;;
    --upload) upload=true ;;
    *) echo "usage: $0 [--no-mail-client] [--upload]" >&2; exit 2 ;;
  esac
done
cd "$(dirname "$0")/.."
root=$PWD
scripts/bootstrap.sh

preset=win64
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)" --target KdeskSupport kdmain kdesk_mapi_recorder kdesk_upload_prefix

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
  cp build/$preset/bin/KdeskSupport.exe build/$preset/bin/kdesk_mapi_recorder.dll "$drive/KdeskSupport/"
  $wine regedit /S "$(winepath_of "$root/demo/installation/installation.reg")" >/dev/null 2>&1
  register_recorder
  prepare_upload
}

# The drop box runs while the demo does, with its Maildir in build/demo/inbox;
# without --upload the prefix names no upload URL.
prepare_upload() {
  local key='HKCU\SOFTWARE\VEL Vuvivazoror\VELKDESK'
  if ! $upload; then
    $wine reg delete "$key" /v UploadUrl /f >/dev/null 2>&1 || true
    return
  fi
  local url tool=build/$preset/bin/kdesk_upload_prefix.exe
  url=$(KDESK_INBOX_MAILDIR=$out/inbox scripts/inbox.sh start "$out/dropbox")
  # This trap replaces xvfb.sh's, so it stops the Xvfb that script started too.
  trap 'scripts/inbox.sh stop "$out/dropbox"; [ -z "${KDESK_XVFB_PID:-}" ] || kill "$KDESK_XVFB_PID" 2>/dev/null || true' EXIT
  $wine "$tool" trust "$(winepath_of "$out/dropbox/ca.der")"
  $wine "$tool" url "$url"
  echo "Uploads go to $url (Maildir $out/inbox)."
}

# The recording provider becomes the default mail client; it writes every call
# it receives to C:\KdeskSupport\sent-message.log. Without a mail client, no
# client is named at all.
register_recorder() {
  local mail='HKLM\Software\Clients\Mail'
  if $no_client; then
    $wine reg delete "$mail" /ve /f >/dev/null 2>&1 || true
  else
    $wine reg add "$mail" /ve /d KdeskRecorder /f >/dev/null 2>&1
  fi
  $wine reg add "$mail\KdeskRecorder" /v DLLPath /d 'C:\KdeskSupport\kdesk_mapi_recorder.dll' /f >/dev/null 2>&1
  $wine reg add 'HKCU\Software\KdeskSupportTests\MapiProvider' /v RecordFile \
    /d 'C:\KdeskSupport\sent-message.log' /f >/dev/null 2>&1
  # Without a window manager, Wine draws the window frames itself.
  $wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
}

winepath_of() { echo "Z:${1//\//\\}"; }

program='C:\KdeskSupport\KdeskSupport.exe'
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  install_demo
  echo "Starting KdeskSupport on the demo installation (display $DISPLAY)."
  $wine "$program"
  if $upload; then echo "Messages uploaded to the drop box: $out/inbox/new/"; ls "$out/inbox/new"; fi
  exit 0
fi

# Wine's desktop process, started by the installation's first Wine command,
# keeps the display it found: Xvfb must run before it.
kdesk_start_xvfb
install_demo
echo "No display: running the main job under Xvfb on $DISPLAY."
record=$WINEPREFIX/drive_c/KdeskSupport/sent-message.log
rm -f "$record" "$out"/screenshot-*.png "$out/draft.eml"
inbox_before=0
if $upload; then inbox_before=$(ls "$out/inbox/new" | wc -l); fi
$wine "$program" >/dev/null 2>&1 &
pid=$!

# Waits for a visible window whose title matches; prints its X id.
wait_window() {
  for _ in $(seq 1 150); do
    xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1 | grep . && return 0
    sleep 0.2
  done
  return 1
}
shot() { sleep 1; import -window root "$out/screenshot-$1.png"; echo "  $out/screenshot-$1.png"; }

main=$(wait_window '^VelKdesk Support$') || { echo "The main window did not appear." >&2; exit 1; }
echo "Screenshots:"
shot main
# The focus starts in the data folder box; the keyboard order then reaches the
# program folder box, "Trasmetti EMail" and the message box.
xdotool windowactivate --sync "$main" 2>/dev/null || xdotool windowfocus --sync "$main" 2>/dev/null || true
xdotool key --delay 100 Tab Tab Tab
xdotool type --delay 20 'Prova dalla dimostrazione: la stampante fiscale non risponde.'
xdotool keydown Shift_L key Tab keyup Shift_L
xdotool key space
sleep 2
shot question
xdotool key Return
# An upload lands in the Maildir; a failed one shows a box first, then the
# message goes the usual way.
if $upload; then
  sleep 1  # the question's box closes first
  outcome=none
  # The progress window has the program's title too: a second window that
  # stays for 3 s while nothing lands is the box.
  second=0
  for _ in $(seq 1 150); do
    if [ "$(ls "$out/inbox/new" | wc -l)" -gt "$inbox_before" ]; then outcome=landed; break; fi
    if [ "$(xdotool search --onlyvisible --name '^VelKdesk Support$' 2>/dev/null | wc -l)" -ge 2 ]; then
      second=$((second + 1))
      [ $second -ge 15 ] && { outcome=box; break; }
    else
      second=0
    fi
    if [ -s "$record" ] && grep -q MAPILogoff "$record"; then outcome=mailed; break; fi
    sleep 0.2
  done
  case $outcome in
    landed)
      shot sent
      echo "Uploaded message: $(ls -t "$out/inbox/new"/* | head -1)"
      /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
      wait $pid 2>/dev/null || true
      exit 0 ;;
    box)
      shot upload-failed
      echo "The upload failed (see the box); the message goes the usual way." >&2
      xdotool key Return ;;
    *) echo "Nothing was uploaded to $out/inbox/new; the message went the usual way." >&2 ;;
  esac
fi
if $no_client; then
  # No mail program takes the draft: a box with the program's title names the file.
  for _ in $(seq 1 100); do
    [ "$(xdotool search --onlyvisible --name '^VelKdesk Support$' 2>/dev/null | wc -l)" -ge 2 ] && break
    sleep 0.2
  done
  shot draft
  draft=$(ls -t "$WINEPREFIX"/drive_c/users/*/AppData/Local/KdeskSupport/Outbox/*.eml 2>/dev/null | head -1 || true)
  xdotool key Return
  if [ -n "$draft" ]; then
    cp "$draft" "$out/draft.eml"
    echo "Draft: $draft (copied to $out/draft.eml)"
  else
    echo "No draft was saved." >&2
  fi
else
  for _ in $(seq 1 50); do [ -s "$record" ] && grep -q MAPILogoff "$record" && break; sleep 0.2; done
  shot sent
  if [ -s "$record" ]; then
    cp "$record" "$out/sent-message.log"
    echo "Recorded message: $out/sent-message.log"
  else
    echo "No message was recorded." >&2
  fi
fi
/usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
wait $pid 2>/dev/null || true
