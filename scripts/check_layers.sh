#!/usr/bin/env bash
# Fails when an include crosses a layer the wrong way. Includes run
# app/ -> forms/ -> modules/ -> platform/; platform/win32/ and platform/fake/
# build on platform/; the portable layers (forms/, modules/, platform/ apart
# from platform/win32/) build natively, without Windows headers.
# Usage: scripts/check_layers.sh [ROOT]   (default: the repository)
set -uo pipefail
cd "${1:-$(dirname "$0")/..}"
windows_headers='#[[:space:]]*include[[:space:]]*<(windows|win[a-z0-9_]*|shlobj|shellapi|shlwapi|mapi|commdlg|commctrl|objbase|ole2|psapi|tlhelp32)\.h>'
found=0

# forbid FOLDERS PATTERN WHY: reports each include under FOLDERS matching PATTERN.
forbid() {
  local folders=$1 pattern=$2 why=$3 hits
  hits=$(grep -rniE --include='*.h' --include='*.cpp' "$pattern" $folders 2>/dev/null)
  [ -z "$hits" ] && return
  echo "$why:"
  echo "$hits" | sed 's/^/  /'
  found=1
}

portable_platform=$(find platform -mindepth 1 -maxdepth 1 ! -name win32 | sort)
forbid "platform" '#[[:space:]]*include[[:space:]]*"(app|forms|modules)/' \
  "platform/ includes app/, forms/ or modules/"
forbid "modules" '#[[:space:]]*include[[:space:]]*"(app|forms)/' "modules/ includes app/ or forms/"
forbid "forms" '#[[:space:]]*include[[:space:]]*"app/' "forms/ includes app/"
forbid "forms modules $portable_platform" '#[[:space:]]*include[[:space:]]*"platform/win32/' \
  "a portable layer includes platform/win32/"
forbid "forms modules $portable_platform" "$windows_headers" "a portable layer includes a Windows header"

[ $found -eq 0 ] && echo "Layers: every include runs the right way."
exit $found
