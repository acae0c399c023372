#!/bin/sh
# Screenshots of the desktop dialogs under a virtual X server with a window manager
# (openbox, when installed), for checking their layout against the templates of
# res/pelmo.rc:
#   tests/fltk_screenshots.sh [BUILD_DIR] [OUT_DIR] [DPI]
# Needs Xvfb, xdotool and ImageMagick; writes main.png, main-long-path.png (a path of 120
# characters typed into the bookmark file box), progress.png, overwrite.png,
# message.png and question.png, each cut to its window with its frame, and fails when a
# dialog's window is not its template's size in the font's base units. DPI is the
# server's resolution (96 unless given).
set -eu
build=${1:-build}
out=${2:-screenshots}
dpi=${3:-96}
demo="$build/tests/ui/fltk_dialog_demo"
[ -x "$demo" ] || { echo "$demo is missing: build with FLTK installed" >&2; exit 1; }
mkdir -p "$out"

# The window with its frame: the frame's extents as the window manager states them.
shoot() { # window, file
  # xwininfo's absolute position stays true when the window manager has reparented it.
  X=$(xwininfo -id "$1" | sed -n 's/.*Absolute upper-left X: *//p')
  Y=$(xwininfo -id "$1" | sed -n 's/.*Absolute upper-left Y: *//p')
  eval "$(xdotool getwindowgeometry --shell "$1" | grep -E '^(WIDTH|HEIGHT)=')"
  extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p' | tr -d ' ')
  left=0 right=0 top=0 bottom=0
  if [ -n "$extents" ]; then
    IFS=, read -r left right top bottom <<END
$extents
END
  fi
  import -window root -crop "$((WIDTH + left + right))x$((HEIGHT + top + bottom))+$((X - left))+$((Y - top))" \
    +repage "$2"
}

run() { # name, window title, demo arguments...
  name=$1 title=$2
  shift 2
  "$demo" "$@" >/dev/null &
  pid=$!
  window=$(xdotool search --sync --onlyvisible --name "^$title\$" | head -n 1)
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$window")"
  echo "$name: ${WIDTH}x${HEIGHT}"
  expected=$(grep "^$name: " "$out/sizes.txt" || true)
  if [ -n "$expected" ] && [ "$expected" != "$name: ${WIDTH}x${HEIGHT}" ]; then
    echo "  expected ${expected#*: } from the template" >&2
    failed=1
  fi
  if [ "$name" = main ]; then
    shoot "$window" "$out/main.png"
    # A long path typed in: the box scrolls and keeps what was typed.
    path=/home/a-user-with-a-long-name/Documents/Browser-exports/2026/December-08/from-the-old-laptop/bookmarks-
    path="${path}exported-all.html"
    xdotool windowfocus --sync "$window" key alt+k ctrl+a type "$path"
    sleep 0.5
    shoot "$window" "$out/main-long-path.png"
    echo "main-long-path: ${#path} characters typed"
  else
    shoot "$window" "$out/$name.png"
  fi
  if [ "$name" = progress ]; then
    wait "$pid"
  else
    xdotool windowfocus --sync "$window" key Escape 2>/dev/null || true
    sleep 0.3
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
}

if [ -z "${PELMO_SCREENSHOTS_UNDER_XVFB:-}" ]; then
  PELMO_SCREENSHOTS_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1600x1000x24 -dpi $dpi" \
    "$0" "$build" "$out" "$dpi"
fi

failed=0
manager=
if command -v openbox >/dev/null; then
  openbox --sm-disable >/dev/null 2>&1 &
  manager=$!
  sleep 1
fi
"$demo" sizes >"$out/sizes.txt"
cat "$out/sizes.txt"
run main "PELMO v[0-9.]*" main
run progress PELMO progress 3
run overwrite PELMO overwrite
run message "PELMO v.*developers" message
run question "PELMO v.*developers" question
[ -z "$manager" ] || kill "$manager"
echo "written to $out/"
exit "$failed"
