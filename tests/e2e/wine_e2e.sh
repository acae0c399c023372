#!/bin/bash
# End-to-end runs of pelmo.exe under Wine, each in a fresh prefix:
# - set to Windows 98, /auto in both directions gives the same tree and the same
#   bytes as the Linux build (when its path is given and it exists);
# - left at its default (the NT family), the program shows "This program requires
#   Windows 95." and exits with 0. The message box is dismissed with xdotool in Xvfb.
# Usage: wine_e2e.sh PELMO_EXE [LINUX_PELMO]
set -euo pipefail
exe=$(readlink -f "$1")
# The Linux build may be missing (a clean clone): then only the comparison is skipped.
native=
if [ -n "${2:-}" ] && [ -x "$2" ]; then native=$(readlink -f "$2"); fi
work=$(mktemp -d)
cleanup() {
  for prefix in "$work"/prefix-*; do
    [ -d "$prefix" ] && WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

new_prefix() {  # name [win98]
  local prefix=$work/prefix-$1
  mkdir -p "$prefix"
  WINEPREFIX=$prefix wineboot -i >/dev/null 2>&1
  if [ "${2:-}" = win98 ]; then
    WINEPREFIX=$prefix wine reg add 'HKCU\Software\Wine' /v Version /d win98 /f >/dev/null 2>&1
  fi
  WINEPREFIX=$prefix wineserver -w
  echo "$prefix"
}

write_bookmarks() {
  printf '%s\r\n' \
    '<!DOCTYPE NETSCAPE-Bookmark-file-1>' \
    '<TITLE>Bookmarks</TITLE>' \
    '<H1>Bookmarks</H1>' \
    '<DL><p>' \
    '    <DT><A HREF="https://example.com/start">Start Page</A>' \
    '    <DT><H3 ADD_DATE="1">News &amp; Weather</H3>' \
    '    <DL><p>' \
    '        <DT><A HREF="https://news.example.org/?a=1&amp;b=2">Daily News</A>' \
    '        <DT><A HREF="https://news.example.org/other">daily news</A>' \
    '        <DT><H3>Deeper</H3>' \
    '        <DL><p>' \
    '            <DT><A HREF="https://deep.example.net/">Deep Link</A>' \
    '        </DL><p>' \
    '    </DL><p>' \
    '    <DT><H3>Empty</H3>' \
    '    <DL><p>' \
    '    </DL><p>' \
    '    <DT><A HREF="ftp://files.example.com/pub">Files, Archives</A>' \
    '</DL><p>' >"$1"
}

run_exe() {  # prefix args...
  local prefix=$1
  shift
  WINEPREFIX=$prefix timeout 120 wine "$exe" "$@"
}

win98=$(new_prefix win98 win98)

# Without switches for them, both paths come from the default user's registry.
mkdir -p "$work/registry/Favs"
printf '[InternetShortcut]\r\nURL=http://registry.example/\r\n' >"$work/registry/Favs/From registry.url"
for value in 'Microsoft\Windows\CurrentVersion\Explorer\Shell Folders|Favorites|Favs' \
  'Netscape\Netscape Navigator\Bookmark List|File Location|out.htm'; do
  IFS='|' read -r key name file <<<"$value"
  WINEPREFIX=$win98 wine reg add 'HKU\.Default\Software\'"$key" /v "$name" \
    /d "$(WINEPREFIX=$win98 winepath -w "$work/registry/$file")" /f >/dev/null 2>&1
done
(cd "$work/registry" && run_exe "$win98" /auto /quiet) || [ $? -eq 1 ] || fail "registry paths"
grep -q '<A HREF="http://registry.example/">From registry</A>' "$work/registry/out.htm" ||
  fail "the registry's paths were not used"

# Names as Windows keeps them: no device names, the ANSI code page (Wine stores it
# back as UTF-8), '_' for what the code page lacks.
mkdir -p "$work/names"
printf '%s\r\n' '<DL><p>' \
  '<DT><A HREF="http://con/">CON</A>' \
  '<DT><A HREF="http://cafe/">Caf\xC3\xA9</A>' \
  '<DT><A HREF="http://ja/\xE6\x97\xA5">\xE6\x97\xA5\xE6\x9C\xAC</A>' \
  '<DT><H3>lpt1</H3>' '<DL><p>' '<DT><A HREF="http://in/">In</A>' '</DL><p>' \
  '</DL><p>' | while IFS= read -r line; do printf '%b\n' "$line"; done >"$work/names/b.html"
(cd "$work/names" && run_exe "$win98" /auto /btf /book b.html /fav Favs /quiet) ||
  [ $? -eq 1 ] || fail "Windows names"
for name in _CON.URL "Caf$(printf '\xC3\xA9').URL" __.URL _lpt1/In.URL; do
  [ -f "$work/names/Favs/$name" ] || fail "no Favs/$name"
done
# A character the code page lacks stays in a URL, percent-encoded.
grep -q 'URL=http://ja/%E6%97%A5' "$work/names/Favs/__.URL" || fail "URL not percent-encoded"

# Both directions, compared with the Linux build.
if [ -n "$native" ] && [ -x "$native" ]; then
  for side in linux wine; do
    mkdir -p "$work/$side"
    write_bookmarks "$work/$side/bookmarks.html"
  done
  (cd "$work/linux" && PELMO_UI=none "$native" /auto /btf /book bookmarks.html /fav Favs /quiet) ||
    [ $? -eq 1 ] || fail "Linux build, bookmarks to Favourites"
  (cd "$work/wine" && run_exe "$win98" /auto /btf /book bookmarks.html /fav Favs /quiet) ||
    [ $? -eq 1 ] || fail "pelmo.exe, bookmarks to Favourites"
  diff -r "$work/linux/Favs" "$work/wine/Favs" >&2 || fail "the Favourites trees differ"
  [ -f "$work/wine/Favs/News & Weather/Deeper/Deep Link.URL" ] || fail "no nested shortcut"

  (cd "$work/linux" && PELMO_UI=none "$native" /auto /ftb /fav Favs /book out.htm /quiet) ||
    [ $? -eq 1 ] || fail "Linux build, Favourites to bookmarks"
  (cd "$work/wine" && run_exe "$win98" /auto /ftb /fav Favs /book out.htm /quiet) ||
    [ $? -eq 1 ] || fail "pelmo.exe, Favourites to bookmarks"
  cmp "$work/linux/out.htm" "$work/wine/out.htm" || fail "the bookmark files differ"
else
  echo "no Linux build given: the comparison with it is skipped" >&2
fi

# The NT family is refused with a message box and exit code 0.
nt=$(new_prefix nt)
cat >"$work/refusal.sh" <<SCRIPT
#!/bin/bash
WINEPREFIX=$nt WINEDEBUG=trace+msgbox timeout 120 wine "$exe" /auto 2>"$work/refusal.log" &
pid=\$!
for attempt in \$(seq 1 60); do
  window=\$(xdotool search --name 'PELMO v1.04' 2>/dev/null | head -1)
  if [ -n "\$window" ]; then
    sleep 1
    xdotool key --window "\$window" Return
    break
  fi
  sleep 1
done
wait \$pid
SCRIPT
chmod +x "$work/refusal.sh"
code=0
xvfb-run -a "$work/refusal.sh" || code=$?
[ "$code" -eq 0 ] || fail "refusal exit code $code, expected 0"
grep -q 'L"This program requires Windows 95."' "$work/refusal.log" || fail "no refusal message"

[ "$failures" -eq 0 ] && echo "wine end-to-end: all passed"
exit "$((failures > 0))"
