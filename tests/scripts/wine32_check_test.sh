#!/usr/bin/env bash
# The check that decides whether the win32 tests can run: it must tell a
# machine that runs 32-bit programs from one whose kernel cannot (simulated by
# a loader that fails with "Exec format error") and one without the loader.
set -u
source "$(dirname "$0")/../../scripts/wine32.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

expect() {  # expect NAME LOADER PATTERN (empty pattern: 32-bit programs run)
  local reason
  reason=$(KDESK_WINE32_LOADER=$2 kdesk_no_32bit_reason)
  if { [ -z "$3" ] && [ -n "$reason" ]; } || { [ -n "$3" ] && [[ "$reason" != *"$3"* ]]; }; then
    echo "FAIL $1: got '$reason', wanted '${3:-nothing}'"
    failures=$((failures + 1))
  else
    echo "ok   $1: '${reason:-runs}'"
  fi
}

# An executable whose format the kernel does not know, as a 32-bit ELF file is
# to a kernel without 32-bit execution.
printf '\177ELF\001\001\001\000garbage' >"$work/wine"
chmod +x "$work/wine"
expect "loader of a format the kernel cannot run" "$work/wine" "Wine's 32-bit loader fails to start: Exec format error"
expect "loader missing" "$work/none" "is not installed"
expect "loader that starts" /bin/true ""

line=$(kdesk_skip_32bit_line "win32 tests" "Wine's 32-bit loader fails to start")
wanted="win32 tests skipped: this machine cannot run 32-bit programs (Wine's 32-bit loader fails to start)"
[ "$line" = "$wanted" ] || { echo "FAIL skip line: '$line'"; failures=$((failures + 1)); }
exit $((failures > 0))
