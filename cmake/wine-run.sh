#!/bin/sh
# Runs a Win32 program under Wine in a prefix of its own, reporting Windows 98, so
# that test runs neither touch ~/.wine nor depend on what it holds. The prefix is
# $PELMO_WINEPREFIX, else wine-prefix beside this build's CMakeCache.txt, else a
# temporary one; it is created on first use. "wine-run.sh --fresh-prefix" starts it
# again from nothing, as each test run does first.
set -eu
if [ -z "${PELMO_WINEPREFIX:-}" ]; then
  dir=$(pwd)
  while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  if [ -f "$dir/CMakeCache.txt" ]; then
    PELMO_WINEPREFIX=$dir/wine-prefix
  else
    PELMO_WINEPREFIX=$(mktemp -d)
  fi
fi
export WINEPREFIX="$PELMO_WINEPREFIX"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ "${1:-}" = --fresh-prefix ]; then
  [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
fi
mkdir -p "$WINEPREFIX"
(
  # Parallel test runs wait here while the first one creates the prefix.
  flock 9
  if [ ! -f "$WINEPREFIX/.pelmo-ready" ]; then
    wine reg add 'HKCU\Software\Wine' /v Version /d win98 /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.pelmo-ready"
  fi
) 9>"$WINEPREFIX/.pelmo-lock"
[ "${1:-}" = --fresh-prefix ] && exit 0
exec wine "$@"
