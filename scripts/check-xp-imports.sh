#!/bin/bash
# Fails when an executable imports a function that is not on the reviewed list of what Windows XP
# SP3's system libraries export (scripts/xp-sp3-exports.txt): such an executable would not even
# load there. A new import fails here until someone has checked that XP SP3 exports it and added
# it to the list; functions newer than XP must be looked up by name at run time instead.
# Usage: check-xp-imports.sh EXECUTABLE...
set -euo pipefail
list="$(dirname "$0")/xp-sp3-exports.txt"
status=0
for exe in "$@"; do
  imports=$(i686-w64-mingw32-objdump -p "$exe" | awk '
    /DLL Name:/ {dll=tolower($3)}
    /^\t[0-9a-f]+[ \t]+[0-9]+ +[A-Za-z_]/ {print dll "!" $3}' | sort -u)
  [ -n "$imports" ] || { echo "no imports read from $exe"; exit 1; }
  missing=$(comm -23 <(echo "$imports") <(grep -v '^#' "$list" | sed '/^$/d' | sort -u))
  if [ -n "$missing" ]; then
    echo "$(basename "$exe") imports what the reviewed list of Windows XP SP3 exports lacks:"
    sed 's/^/  /' <<<"$missing"
    status=1
  else
    echo "$(basename "$exe"): $(wc -l <<<"$imports") imported functions, all on the list of Windows XP SP3 exports"
  fi
done
exit $status
