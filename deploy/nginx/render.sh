#!/usr/bin/env bash
# Writes the drop box's nginx site to standard output, from the template beside
# this script and NAME=value arguments:
#   SERVER_NAME      the host name in the program's upload URL (required)
#   CERTIFICATE      its certificate chain, PEM (required)
#   CERTIFICATE_KEY  the certificate's key, PEM (required)
#   MAILDIR          the Maildir that receives the messages in new/ (required)
#   BODY_TEMP        nginx's folder for bodies being received: on the Maildir's
#                    file system, not inside the Maildir (required)
#   LISTEN           nginx's listen address            (443)
#   FOLDER           the URL's folder, /FOLDER/         (kdesk)
#   MAIL_LIMIT_MB    the program's KDESK_MAIL_LIMIT_MB  (20)
#   RATE, BURST      uploads per client address          (10r/m, 20)
#   ACCESS_LOG, ERROR_LOG                 (/var/log/nginx/kdesk-dropbox.*.log)
# Example: render.sh SERVER_NAME=support.example.com ... > kdesk-dropbox.conf
set -euo pipefail
declare -A value=([LISTEN]=443 [FOLDER]=kdesk [MAIL_LIMIT_MB]=20 [RATE]=10r/m [BURST]=20
                  [ACCESS_LOG]=/var/log/nginx/kdesk-dropbox.access.log
                  [ERROR_LOG]=/var/log/nginx/kdesk-dropbox.error.log)
for arg in "$@"; do
  [[ $arg == [A-Z]*=* ]] || { echo "render.sh: not NAME=value: $arg" >&2; exit 2; }
  value[${arg%%=*}]=${arg#*=}
done
for name in SERVER_NAME CERTIFICATE CERTIFICATE_KEY MAILDIR BODY_TEMP; do
  [ -n "${value[$name]:-}" ] || { echo "render.sh: $name is required" >&2; exit 2; }
done
[[ ${value[MAIL_LIMIT_MB]} =~ ^[1-9][0-9]{0,5}$ ]] || { echo "render.sh: MAIL_LIMIT_MB: whole megabytes" >&2; exit 2; }
# Millions of bytes counted as the program counts them, times 78/76 for the
# line ends of base64, plus 1 MiB for the report, the headers and the parts.
value[BODY_LIMIT]=$(( (value[MAIL_LIMIT_MB] * 1000000 * 78 + 75) / 76 + 1048576 ))

template=$(dirname "$0")/kdesk-dropbox.conf.in
while IFS= read -r line; do
  for name in "${!value[@]}"; do line=${line//@$name@/${value[$name]}}; done
  if [[ $line =~ @[A-Z_]+@ ]]; then echo "render.sh: no value for ${BASH_REMATCH[0]}" >&2; exit 2; fi
  printf '%s\n' "$line"
done <"$template"
