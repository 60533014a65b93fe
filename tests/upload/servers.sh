#!/usr/bin/env bash
# The servers of the upload's e2e tests, started as one ctest fixture:
#   servers.sh start DIR    starts them all; returns once each one listens
#   servers.sh stop DIR     stops them by their PIDs
# DIR/inbox      the drop box (scripts/inbox.sh) with a 1 MB mail limit, so that
#                a message of a few MB gets its 413; its CA is the one to trust
#                (DIR/inbox/ca.der), its messages land in DIR/inbox/Maildir/new
# DIR/untrusted  the same drop box with a CA of its own, never trusted
# DIR/drop.url, DIR/slow.url   https://localhost:PORT/kdesk/ of the servers that
#                reset halfway and that read slowly (tests/upload/test_servers.py),
#                with the drop box's certificate
# DIR/lost.url   https://localhost:PORT/kdesk/ of a relay that passes each request
#                to the drop box and drops the connection before its answer
# DIR/proxy.port a CONNECT proxy on 127.0.0.1; DIR/proxy.log lists its targets
# DIR/down.url   https://localhost:PORT/kdesk/ where nothing listens
# DIR/plain.url  http://localhost:PORT/kdesk/ of a plain listener that logs each
#                connection to DIR/listen.log (an http:// URL must leave it empty)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
inbox=$here/../../scripts/inbox.sh
[ $# -eq 2 ] || { echo "usage: $0 start|stop DIR" >&2; exit 2; }
mkdir -p "$2"
dir=$(cd "$2" && pwd)

start_python() {
  local name=$1
  shift
  rm -f "$dir/$name.port"
  # Its output goes to a file: ctest waits for every holder of its pipe.
  python3 "$here/test_servers.py" "$@" --port-file "$dir/$name.port" </dev/null >"$dir/$name.out" 2>&1 &
  echo $! >"$dir/$name.pid"
}

wait_port() {
  for _ in $(seq 1 100); do
    [ -s "$dir/$1.port" ] && return 0
    sleep 0.1
  done
  echo "servers.sh: the $1 server did not start:" >&2
  cat "$dir/$1.out" >&2
  exit 1
}

stop() {
  "$inbox" stop "$dir/inbox"
  "$inbox" stop "$dir/untrusted"
  for name in drop slow lost proxy listen; do
    [ -s "$dir/$name.pid" ] || continue
    kill "$(cat "$dir/$name.pid")" 2>/dev/null || true
    rm -f "$dir/$name.pid"
  done
}

start() {
  stop
  rm -rf "$dir/inbox/Maildir" "$dir/untrusted/Maildir" "$dir/expected"
  KDESK_INBOX_LIMIT_MB=1 "$inbox" start "$dir/inbox" >/dev/null
  "$inbox" start "$dir/untrusted" >/dev/null
  local tls=(--cert "$dir/inbox/server.pem" --key "$dir/inbox/server.key")
  start_python drop drop "${tls[@]}"
  start_python slow slow "${tls[@]}"
  local inbox_port
  inbox_port=$(sed -E 's#^https://[^:/]+:([0-9]+)/.*#\1#' "$dir/inbox/url")
  start_python lost lost "${tls[@]}" --upstream "127.0.0.1:$inbox_port"
  : >"$dir/proxy.log"
  start_python proxy proxy --log "$dir/proxy.log"
  : >"$dir/listen.log"
  start_python listen listen --log "$dir/listen.log"
  for name in drop slow lost proxy listen; do wait_port "$name"; done
  echo "https://localhost:$(cat "$dir/drop.port")/kdesk/" >"$dir/drop.url"
  echo "https://localhost:$(cat "$dir/slow.port")/kdesk/" >"$dir/slow.url"
  echo "https://localhost:$(cat "$dir/lost.port")/kdesk/" >"$dir/lost.url"
  echo "http://localhost:$(cat "$dir/listen.port")/kdesk/" >"$dir/plain.url"
  local down=$((20000 + RANDOM % 40000))
  while (exec 3<>"/dev/tcp/127.0.0.1/$down") 2>/dev/null; do down=$((20000 + RANDOM % 40000)); done
  echo "https://localhost:$down/kdesk/" >"$dir/down.url"
  echo "Upload test servers in $dir: inbox $(cat "$dir/inbox/url")"
}

case $1 in
  start) start ;;
  stop) stop ;;
  *) echo "usage: $0 start|stop DIR" >&2; exit 2 ;;
esac
