#!/bin/bash
# Checks that every call pelmo.exe imports is one that the Windows 95 family's system
# libraries export (the list in windows95_exports.txt), so that the program loads there.
# Usage: check_imports.sh PELMO_EXE [OBJDUMP]
set -euo pipefail
exe=$1
objdump=${2:-i686-w64-mingw32-objdump}
list=$(dirname "$0")/windows95_exports.txt
imports=$("$objdump" -p "$exe" | awk '
  /DLL Name:/ { library = toupper($3); next }
  /^The (Export|Debug)|^Sections:/ { library = "" }
  library != "" && NF == 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ { print library, $3 }' |
  sort -u)
[ -n "$imports" ] || { echo "FAIL: no imports read from $exe" >&2; exit 1; }
missing=$(comm -23 <(printf '%s\n' "$imports") <(grep -v '^#' "$list" | sort -u))
if [ -n "$missing" ]; then
  echo "FAIL: $exe imports calls that the Windows 95 family lacks:" >&2
  printf '  %s\n' "$missing" >&2
  exit 1
fi
echo "imports: all $(printf '%s\n' "$imports" | wc -l) calls are in the Windows 95 family"
