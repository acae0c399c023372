#!/bin/bash
# Times pelmo.exe under Wine (set to Windows 98, in Xvfb) on a generated bookmark file
# of 10,000 links in 100 folders, in both directions, with the progress window and
# with /quiet.
# Usage: bench/wine_progress.sh PELMO_EXE [PREFIX]
set -euo pipefail
exe=$(readlink -f "$1")
work=$(mktemp -d)
export PELMO_WINEPREFIX=${2:-$work/prefix}
run=$(readlink -f "$(dirname "$0")/../cmake/wine-run.sh")
trap 'WINEPREFIX=$PELMO_WINEPREFIX wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
{
  printf '<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n<DL><p>\r\n'
  for folder in $(seq 1 100); do
    printf '<DT><H3>Folder %d</H3>\r\n<DL><p>\r\n' "$folder"
    for link in $(seq 1 100); do
      printf '<DT><A HREF="http://example.com/%d/%d">Link %d</A>\r\n' "$folder" "$link" "$link"
    done
    printf '</DL><p>\r\n'
  done
  printf '</DL><p>\r\n'
} >"$work/bookmarks.html"
"$run" --fresh-prefix
cat >"$work/time.sh" <<SCRIPT
#!/bin/bash
cd "$work"
openbox >/dev/null 2>&1 &
sleep 1
for quiet in "" /quiet; do
  rm -rf Favs out.htm
  start=\$(date +%s.%N)
  "$run" "$exe" /auto /btf /book bookmarks.html /fav Favs \$quiet || true
  middle=\$(date +%s.%N)
  "$run" "$exe" /auto /ftb /fav Favs /book out.htm \$quiet || true
  end=\$(date +%s.%N)
  printf '%-8s /btf %6.1f s   /ftb %6.1f s   links %d\n' "\${quiet:-dialog}" \
    "\$(echo "\$middle - \$start" | bc)" "\$(echo "\$end - \$middle" | bc)" \
    "\$(grep -c 'A HREF' out.htm)"
done
SCRIPT
chmod +x "$work/time.sh"
xvfb-run -a "$work/time.sh"
