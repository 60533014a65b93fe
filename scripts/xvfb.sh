# Sourced by the scripts: gives the commands that follow a display. With no
# DISPLAY it starts Xvfb on a free display and stops it when the script exits.
kdesk_start_xvfb() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return 0
  fi
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  KDESK_XVFB_PID=$!
  local number
  read -r -t 30 number <"$fifo" || { echo "Xvfb did not start" >&2; rm -f "$fifo"; return 1; }
  rm -f "$fifo"
  export DISPLAY=":$number"
  trap 'kill "$KDESK_XVFB_PID" 2>/dev/null || true' EXIT
}
