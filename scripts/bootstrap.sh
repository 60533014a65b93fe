#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test KdeskSupport:
# the MinGW-w64 cross compilers, Wine (64 and 32 bit), Xvfb and the tools the
# tests and the run command use, and clang, clang-tidy and cppcheck for the
# sanitizer, analysis and fuzz steps, and nginx for the local drop box that the
# upload's tests and demo use. Does nothing when everything is there.
set -euo pipefail

packages=(cmake g++ libgtest-dev googletest
          g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
          wine64 wine32:i386 xvfb xdotool imagemagick python3-pefile
          clang clang-tidy cppcheck libclang-rt-14-dev x11-utils
          zlib1g-dev libz-mingw-w64-dev unzip osslsigncode openssl nginx)

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
# A package's service (nginx's) must not start: the scripts run their own copy.
# policy-rc.d refuses every start while apt-get runs; one already there is
# put back afterwards.
policy=/usr/sbin/policy-rc.d
if [ -e "$policy" ]; then $sudo mv "$policy" "$policy.kdesk-saved"; fi
restore_policy() {
  $sudo rm -f "$policy"
  if [ -e "$policy.kdesk-saved" ]; then $sudo mv "$policy.kdesk-saved" "$policy"; fi
}
trap restore_policy EXIT
printf '#!/bin/sh\nexit 101\n' | $sudo tee "$policy" >/dev/null
$sudo chmod 755 "$policy"
$sudo apt-get update -q
$sudo apt-get install -y -q "${missing[@]}"
