#!/bin/bash
# Screenshots of the three dialogs of pelmo.exe under Wine (set to Windows 98) in a
# virtual X server, and one conversion driven through the main dialog with xdotool:
#   tests/win32_screenshots.sh [BUILD_DIR] [OUT_DIR]
# BUILD_DIR is the mingw build (default build-mingw). Needs Wine, Xvfb, xdotool and
# ImageMagick; openbox and scrot when there (the progress window is then taken with the
# mouse pointer over it, which shows the wait cursor). Writes main.png, progress.png,
# overwrite.png and driven.png, each cut to its window, and exits non-zero when the
# driven conversion wrote nothing.
set -euo pipefail
build=$(readlink -f "${1:-build-mingw}")
out=$(readlink -f "${2:-screenshots-win32}")
demo=$build/tests/ui/win32_dialog_demo.exe
exe=$build/pelmo.exe
for program in "$demo" "$exe"; do
  [ -f "$program" ] || { echo "$program is missing: cmake --build --preset mingw" >&2; exit 1; }
done
mkdir -p "$out"

if [ -z "${PELMO_SCREENSHOTS_UNDER_XVFB:-}" ]; then
  PELMO_SCREENSHOTS_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" \
    "$0" "$build" "$out"
fi

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
[ -n "${PELMO_SCREENSHOTS_OPENBOX:-}" ] && command -v openbox >/dev/null && { openbox >/dev/null 2>&1 & }
wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine' /v Version /d win98 /f >/dev/null 2>&1
wineserver -w

window_named() {  # title: waits up to 30 s for a visible window of that title
  for attempt in $(seq 1 60); do
    window=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && { echo "$window"; return 0; }
    sleep 0.5
  done
  echo "no window named $1" >&2
  return 1
}

shoot() {  # name window [pointer]
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$2")"
  echo "$1: ${WIDTH}x${HEIGHT}"
  if [ -n "${3:-}" ] && command -v scrot >/dev/null; then
    # With the frame and the pointer, which a plain screenshot leaves out.
    scrot -p "$work/screen.png"
    convert "$work/screen.png" -crop "$((WIDTH + 40))x$((HEIGHT + 60))+$((X - 20))+$((Y - 40))" \
      +repage "$out/$1.png"
    rm -f "$work/screen.png"
  else
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/$1.png"
  fi
}

demo_shot() {  # name title demo-arguments...
  local name=$1 title=$2
  shift 2
  wine "$demo" "$@" >/dev/null 2>&1 &
  local pid=$!
  local window
  window=$(window_named "$title")
  if [ "$name" = progress ]; then
    xdotool mousemove --window "$window" 60 30
    shoot "$name" "$window" pointer
  else
    shoot "$name" "$window"
  fi
  if [ "$name" != progress ]; then
    xdotool windowfocus "$window" key Escape 2>/dev/null || true
  fi
  wait "$pid" || true
}

demo_shot main "PELMO v1.04" main
demo_shot progress PELMO progress 5
demo_shot overwrite PELMO overwrite

# The main dialog of pelmo.exe: type the folder, choose Bookmarks to Favourites, OK,
# and answer the question that offers to create the folder.
mkdir -p "$work/run"
cp "$(dirname "$0")/../examples/bookmarks.html" "$work/run/bookmarks.html"
cd "$work/run"
wine "$exe" /book bookmarks.html >/dev/null 2>&1 &
pid=$!
window=$(window_named "PELMO v1.04")
sleep 1
xdotool windowfocus "$window"
xdotool key alt+v                        # the label's mnemonic: to the folder's edit box
xdotool type --delay 50 'Favs'
xdotool key alt+b                        # Bookmarks to Favourites
shoot driven "$window"
xdotool key Return                       # OK, the default button
question=$(window_named "PELMO v1.04.*") || true
sleep 1
[ -n "${question:-}" ] && xdotool windowfocus "$question" key Return 2>/dev/null || true
for attempt in $(seq 1 60); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.5
done
kill "$pid" 2>/dev/null || true
if [ -d Favs ] && [ -n "$(find Favs -name '*.URL' | head -n 1)" ]; then
  echo "driven conversion: $(find Favs -name '*.URL' | wc -l) shortcuts written"
else
  echo "driven conversion wrote nothing" >&2
  exit 1
fi
echo "written to $out/"
