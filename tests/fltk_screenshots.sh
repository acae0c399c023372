#!/bin/sh
# Screenshots of the desktop dialogs under a virtual X server, for checking their layout
# against the templates of res/pelmo.rc:
#   tests/fltk_screenshots.sh [BUILD_DIR] [OUT_DIR]
# Needs Xvfb, xdotool and ImageMagick; writes main.png, progress.png, overwrite.png,
# message.png and question.png, each cut to its window, and fails when a dialog's window
# is not its template's size in the font's base units.
set -eu
build=${1:-build}
out=${2:-screenshots}
demo="$build/tests/ui/fltk_dialog_demo"
[ -x "$demo" ] || { echo "$demo is missing: build with FLTK installed" >&2; exit 1; }
mkdir -p "$out"

run() { # name, window title, demo arguments...
  name=$1 title=$2
  shift 2
  "$demo" "$@" >/dev/null &
  pid=$!
  window=$(xdotool search --sync --name "^$title\$" | head -n 1)
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$window")"
  echo "$name: ${WIDTH}x${HEIGHT}"
  expected=$(grep "^$name: " "$out/sizes.txt" || true)
  if [ -n "$expected" ] && [ "$expected" != "$name: ${WIDTH}x${HEIGHT}" ]; then
    echo "  expected ${expected#*: } from the template" >&2
    failed=1
  fi
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/$name.png"
  if [ "$name" = progress ]; then
    wait "$pid"
  else
    xdotool key --window "$window" Escape 2>/dev/null || true
    sleep 0.3
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
}

if [ -z "${PELMO_SCREENSHOTS_UNDER_XVFB:-}" ]; then
  PELMO_SCREENSHOTS_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" \
    "$0" "$build" "$out"
fi

failed=0
"$demo" sizes >"$out/sizes.txt"
cat "$out/sizes.txt"
run main "PELMO v[0-9.]*" main
run progress PELMO progress 3
run overwrite PELMO overwrite
run message "PELMO v.*developers" message
run question "PELMO v.*developers" question
echo "written to $out/"
exit "$failed"
