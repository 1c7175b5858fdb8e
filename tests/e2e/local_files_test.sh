#!/usr/bin/env bash
# A page from a local file reads none of the user's files and nothing of
# another site: a page saved from the web, opened by its address in the main
# window, and the same page's source fetched in the source viewer, put into
# the editor and previewed, each try XMLHttpRequest, fetch and an iframe on
# files beside them, on a system file and on another page of the site, and
# send whatever they read to the local server. The server must see the
# scripts run and finish, and receive not one byte of what they tried to
# read; the saved page still shows the picture beside it.
set -uo pipefail
source "$(dirname "$0")/../harness/harness.sh"
harness_home "$1"
start_wm
start_server

secret_download="DOWNLOADS-SECRET-4f2a9b"
secret_notes="NOTES-SECRET-8d31c0"
site_private=$(cat "$e2e_dir/pages/private.txt")
site_private=${site_private%%[[:space:]]*}
printf '%s\r\n' "$secret_notes" >"$progdir/Notes.TXT"

# A user saves the page from the site, beside a file of their own.
downloads="$home/Downloads"
mkdir -p "$downloads"
download() {  # download <address> <file>
  "$python" -c 'import sys, urllib.request
opener = urllib.request.build_opener(urllib.request.ProxyHandler({}))
open(sys.argv[2], "wb").write(opener.open(sys.argv[1]).read())' "$1" "$2"
}
must "the page is downloaded" download "$site/thief.html" "$downloads/thief.html"
printf '%s\n' "$secret_download" >"$downloads/secret.txt"
must "the picture beside it is made" convert -size 64x64 'xc:rgb(230,60,200)' "BMP3:$downloads/pic.bmp"

reports() { awk '$2 == "GET" && $3 ~ /^\/report\?/ { print $3 }' "$server_log"; }
finished_runs() { reports | grep -c '^/report?finished=' || true; }
runs_finished() { [ "$(finished_runs)" -ge "$1" ]; }
# Nothing the scripts sent holds a byte of what they tried to read.
leaked() {
  local token
  for token in "$secret_download" "$secret_notes" "$site_private" "root%3Ax%3A0"; do
    grep -qF -- "$token" "$server_log" && echo "    the server received: $token"
  done
  grep -E '^[0-9.]+ POST ' "$server_log" | sed 's/^/    posted: /'
  return 0
}
nothing_leaked() { [ -z "$(leaked)" ]; }

start_program
open_main_window

# --- the saved page, opened by its address in the main window -------------------------
type_into "$main" 100 45 "$downloads/thief.html"
xdotool key Return
check "the saved page's script runs (its first report reaches the server)" \
  wait_for 20 grep -qF '/report?ran=' "$server_log"
check "the saved page's script tries every way and finishes" wait_for 30 runs_finished 1
check "the saved page sends nothing of the user's files or of the site's other page" nothing_leaked || leaked
picture() { pixel_near "$main" 120 150 230,60,200; }
check "the saved page shows the picture beside it (pixels)" wait_for 10 picture
shot_window local-page "$main"
echo "    what the page reported: $(reports | sed "s/^\/report?//" | cut -c1-60 | tr "\n" " ")"

# --- the same page's source, previewed from the editor -------------------------------------------
viewer_regex='^HTML Viewer {31}NB$'
open_from_menu "$viewer_regex" "HTML source viewer" "${menu_viewer[@]}"
viewer=$(window_named "$viewer_regex")
sleep 0.5
type_into "$viewer" 150 17 "$site/thief.html"
xdotool key Return
fetched() { [ "$(region_dark "$viewer" 8 32 521 120)" -gt 200 ]; }
check "the page's source is fetched" wait_for 15 fetched
click_at "$viewer" 472 16
editor_regex='^Nimbrel HTML Editor {32}NB$'
need_window 10 "$editor_regex" "the editor with the source"
editor=$(window_named "$editor_regex")
sleep 0.5
click_at "$editor" 268 336
need_window 30 '^NB Editor - ' "preview browser"
preview=$(window_named '^NB Editor - ')
check "the preview file holds the page's source" wait_for 5 grep -qF 'report("ran"' "$progdir/Preview.html"
check "the previewed page's script runs and finishes" wait_for 30 runs_finished 2
check "the previewed page sends nothing of the notes, the files or the site's other page" nothing_leaked || leaked
shot_window local-preview "$preview"

close_window "$(main_window)"
check "closing the main window ends the program" wait_for 20 ended
finish
