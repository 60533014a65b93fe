#!/usr/bin/env bash
# A local copy of the drop box (deploy/nginx) for the tests and the demo: nginx
# from Debian's package as an ordinary process on a free port of 127.0.0.1,
# HTTPS with a throwaway CA and a certificate for "localhost" (Wine matches
# certificates by DNS name only), storing uploads in a Maildir.
#
# Usage: scripts/inbox.sh start DIR    prints the upload URL once nginx listens
#        scripts/inbox.sh stop DIR     stops that nginx by its PID
# Environment for start: KDESK_INBOX_LIMIT_MB (the template's MAIL_LIMIT_MB,
# 20), KDESK_INBOX_RATE (600r/m: the tests upload in quick succession),
# KDESK_INBOX_MAILDIR (the Maildir, DIR/Maildir; keep it on DIR's file system).
#
# DIR holds: url (https://localhost:PORT/kdesk/), port, ca.pem and ca.der (the
# CA to trust), ca.key, server.pem and server.key (for other test servers),
# Maildir/{new,cur,tmp} (unless KDESK_INBOX_MAILDIR), access.log (emptied at
# each start), error.log, nginx.pid, and nginx's own files. The certificates
# are kept and reused from one start to the next.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

usage() { echo "usage: $0 start|stop DIR" >&2; exit 2; }
[ $# -eq 2 ] || usage
action=$1
mkdir -p "$2"
dir=$(cd "$2" && pwd)
maildir=${KDESK_INBOX_MAILDIR:-$dir/Maildir}

make_certificates() {
  if [ -f "$dir/server.pem" ] && openssl x509 -checkend 86400 -noout -in "$dir/server.pem" >/dev/null 2>&1; then
    return
  fi
  local subject="/O=KdeskSupport tests/CN=KdeskSupport throwaway CA $(date +%s)-$$"
  openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 365 -subj "$subject" \
    -keyout "$dir/ca.key" -out "$dir/ca.pem" \
    -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign 2>/dev/null
  openssl x509 -in "$dir/ca.pem" -outform DER -out "$dir/ca.der"
  openssl req -newkey rsa:2048 -nodes -sha256 -subj /CN=localhost \
    -keyout "$dir/server.key" -out "$dir/server.csr" 2>/dev/null
  openssl x509 -req -sha256 -days 365 -in "$dir/server.csr" -CA "$dir/ca.pem" -CAkey "$dir/ca.key" \
    -set_serial "0x$(openssl rand -hex 8)" -out "$dir/server.pem" -extfile <(printf '%s\n' \
      'basicConstraints=CA:FALSE' 'keyUsage=critical,digitalSignature,keyEncipherment' \
      'extendedKeyUsage=serverAuth' 'subjectAltName=DNS:localhost') 2>/dev/null
  rm -f "$dir/server.csr"
}

# A port that nobody listens on now (nginx may still lose it to another process).
free_port() {
  local port
  while :; do
    port=$((20000 + RANDOM % 40000))
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || { echo "$port"; return; }
  done
}

# The main configuration around the site: every path in DIR. A root nginx
# would run its workers as nobody, who may not reach DIR (a clone under /root
# is closed to others): there the workers keep the invoking user.
write_configuration() {
  local port=$1
  "$root/deploy/nginx/render.sh" SERVER_NAME=localhost LISTEN="127.0.0.1:$port" \
    CERTIFICATE="$dir/server.pem" CERTIFICATE_KEY="$dir/server.key" \
    MAILDIR="$maildir" BODY_TEMP="$dir/body-temp" FOLDER=kdesk \
    MAIL_LIMIT_MB="${KDESK_INBOX_LIMIT_MB:-20}" RATE="${KDESK_INBOX_RATE:-600r/m}" \
    ACCESS_LOG="$dir/access.log" ERROR_LOG="$dir/error.log" >"$dir/site.conf"
  {
    [ "$(id -u)" -ne 0 ] || echo "user $(id -un) $(id -gn);"
    cat <<CONF
worker_processes 1;
pid $dir/nginx.pid;
error_log $dir/error.log;
events { worker_connections 64; }
http {
    client_body_temp_path $dir/temp/body;
    proxy_temp_path $dir/temp/proxy;
    fastcgi_temp_path $dir/temp/fastcgi;
    uwsgi_temp_path $dir/temp/uwsgi;
    scgi_temp_path $dir/temp/scgi;
    include $dir/site.conf;
}
CONF
  } >"$dir/nginx.conf"
}

running() { [ -s "$dir/nginx.pid" ] && kill -0 "$(cat "$dir/nginx.pid")" 2>/dev/null; }

start() {
  command -v nginx >/dev/null || [ -x /usr/sbin/nginx ] || { echo "inbox.sh: nginx is not installed (scripts/bootstrap.sh)" >&2; exit 1; }
  running && stop
  make_certificates
  mkdir -p "$maildir/new" "$maildir/cur" "$maildir/tmp" "$dir/body-temp" "$dir/temp"
  # As on the maker's server: files take the group of the folder they are written in.
  chmod g+s "$maildir/new" "$dir/body-temp"
  : >"$dir/access.log"
  rm -f "$dir/url" "$dir/port"
  # Another process may take the free port before nginx does: try again.
  for _ in 1 2 3 4 5; do
    local port
    port=$(free_port)
    write_configuration "$port"
    : >"$dir/error.log"
    if /usr/sbin/nginx -p "$dir" -e "$dir/error.log" -c "$dir/nginx.conf" 2>>"$dir/error.log"; then
      echo "$port" >"$dir/port"
      echo "https://localhost:$port/kdesk/" >"$dir/url"
      cat "$dir/url"
      return 0
    fi
    grep -q 'Address already in use' "$dir/error.log" || break
  done
  echo "inbox.sh: nginx did not start:" >&2
  tail -5 "$dir/error.log" >&2
  exit 1
}

stop() {
  [ -s "$dir/nginx.pid" ] || return 0
  local pid
  pid=$(cat "$dir/nginx.pid")
  kill -TERM "$pid" 2>/dev/null || true
  for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  rm -f "$dir/nginx.pid"
}

case $action in
  start) start ;;
  stop) stop ;;
  *) usage ;;
esac
