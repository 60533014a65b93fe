# Sourced by the scripts that start 32-bit Windows programs. Some machines run
# no 32-bit programs at all (a kernel without 32-bit execution): Wine 8 then
# cannot start its 32-bit loader, and every 32-bit test would fail. Those
# scripts ask first and skip, saying why.
#
# KDESK_WINE32_LOADER names the loader to try (Wine's 32-bit loader unless set);
# the test of this check points it at a program that cannot start.

# Prints why 32-bit programs cannot run here, or nothing when they can.
kdesk_no_32bit_reason() {
  local loader=${KDESK_WINE32_LOADER:-/usr/lib/wine/wine}
  if [ ! -e "$loader" ]; then
    echo "Wine's 32-bit loader $loader is not installed"
    return
  fi
  local error status=0
  error=$("$loader" --version 2>&1 >/dev/null) || status=$?
  if [ "$status" -ne 0 ]; then
    error=$(printf '%s' "${error:-exit status $status}" | head -n 1)
    echo "Wine's 32-bit loader fails to start: ${error##*: }"
  fi
}

# The one line that says a 32-bit step is skipped: kdesk_skip_32bit_line WHAT REASON
kdesk_skip_32bit_line() {
  echo "$1 skipped: this machine cannot run 32-bit programs ($2)"
}
