#!/usr/bin/env bash
# Makes a throwaway code-signing setup for trying and testing the release
# signature: make_test_signer.sh FOLDER writes
#   FOLDER/ca.pem       a test certificate authority (verify against it:
#                       osslsigncode verify -CAfile FOLDER/ca.pem -in PROGRAM)
#   FOLDER/signer.p12   a code-signing certificate it issued, with its key
#   FOLDER/password     the random password of signer.p12
# for scripts/release.sh's KDESK_SIGN_PKCS12 and KDESK_SIGN_PASSWORD_FILE.
# RSA keys: their signatures are deterministic, so signed builds can be
# compared byte by byte. Nothing here is ever trusted by Windows.
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 FOLDER" >&2; exit 2; }
mkdir -p "$1"
cd "$1"
umask 077

openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 \
        -subj "/CN=KdeskSupport test CA" \
        -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign 2>/dev/null
openssl req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr \
        -subj "/O=KdeskSupport test maker/CN=KdeskSupport test maker" 2>/dev/null
printf '%s\n' basicConstraints=CA:FALSE keyUsage=critical,digitalSignature \
       extendedKeyUsage=codeSigning >signer.ext
openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -set_serial 1 -days 2 \
        -extfile signer.ext -out signer.pem 2>/dev/null
openssl rand -base64 24 >password
openssl pkcs12 -export -in signer.pem -inkey signer.key -out signer.p12 -passout file:password
rm -f ca.key signer.key signer.csr signer.ext signer.pem
