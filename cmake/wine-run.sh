#!/usr/bin/env bash
# Runs a Windows program under Wine in a prefix of the build's own.
# Usage: wine-run.sh LOADER PREFIX PROGRAM [ARGS...]
# The prefix is created once (under a lock, since ctest runs tests in parallel)
# with the crash dialog switched off, and with windows that no window manager
# looks after: Xvfb has none, and a managed window's hiding waits two seconds
# for one to answer.
set -euo pipefail
loader=$1 prefix=$2
shift 2
export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export LC_ALL=C.UTF-8
mkdir -p "$(dirname "$prefix")"
(
  flock 9
  if [ ! -f "$prefix/.kdesk-ready" ]; then
    "$loader" wineboot -i >/dev/null 2>&1 || true
    "$loader" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    touch "$prefix/.kdesk-ready"
  fi
) 9>"$prefix.lock"
# Wine's server and the processes it starts for the prefix (services, the
# desktop) outlive the program and would keep ctest waiting for our output to
# close: they get a file of their own, which is printed once the program ends.
/usr/lib/wine/wineserver -p10 </dev/null >/dev/null 2>&1 || true
output=$(mktemp)
trap 'rm -f "$output"' EXIT
status=0
"$loader" "$@" </dev/null >"$output" 2>&1 || status=$?
cat "$output"
exit $status
