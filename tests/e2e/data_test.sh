#!/usr/bin/env bash
# The user's data through the real program, driven by keys, clicks and the
# clipboard only, and checked on the disk byte for byte and in the local
# server's request log:
#  - a favourites file mixing a Windows-1252 line and a UTF-8 line survives
#    an Add of a character the code page cannot hold, every other line byte
#    for byte;
#  - the text "Ã© text" pasted into a pad whose file was Windows-1252 reads
#    back unchanged after the program is started again (pad and file);
#  - a refused fetch in the source viewer after a good one leaves no old
#    source: Open In Editor hands nothing stale on;
#  - the preview browser goes from its local file to a web page, Back to the
#    file and Forward to the web page again;
#  - a note of over a million characters opens, takes typing at its end and
#    is written whole, byte for byte; its lines are lines of their own.
set -uo pipefail
source "$(dirname "$0")/../harness/harness.sh"
harness_home "$1"
start_wm
start_server

favs="$progdir/FavPlaces.TXT"
notes="$progdir/Notes.TXT"
printf 'caf\xe9\r\n\xe6\x97\xa5\xe6\x9c\xac\r\n' >"$favs"
printf 'caf\xe9\r\n' >"$notes"

# A tool window closed just before may leave the focus elsewhere: the main
# window is made active before its menu is used.
activate_main() { xdotool windowactivate --sync "$(main_window)" 2>/dev/null || true; }
file_is() {  # file_is <file> <printf format of the expected bytes>
  [ "$(od -An -tx1 -v "$1" 2>/dev/null)" = "$(printf "$2" | od -An -tx1 -v)" ]
}
show_file() { echo "    $(basename "$1"): $(od -An -tx1 -v "$1" 2>/dev/null | tr -s ' \n' ' ' | head -c 300)"; }
# The clipboard holds <text> until the next paste is done: xclip stays in the
# foreground (-quiet) as the clipboard's owner and is ended after the paste.
clip_pid=""
offer_clipboard() {  # offer_clipboard <text>
  printf '%s' "$1" | xclip -selection clipboard -quiet >/dev/null 2>&1 &
  clip_pid=$!
  pids+=("$clip_pid")
  wait_for 5 clipboard_is "$1"
}
clipboard_is() { [ "$(xclip -o -selection clipboard 2>/dev/null)" = "$1" ]; }
end_clipboard() { [ -n "$clip_pid" ] && kill "$clip_pid" 2>/dev/null; wait "$clip_pid" 2>/dev/null; clip_pid=""; }
paste() {  # paste <text>: into the focused box, with ctrl+v
  offer_clipboard "$1" || bad "the clipboard takes the text" "$1"
  xdotool key ctrl+v
  sleep 0.3
  end_clipboard
}

start_program
open_main_window

# --- the mixed favourites file and an Add of 中 ------------------------------------------
fav_regex='^Favorite Places {14}NB$'
activate_main
open_from_menu "$fav_regex" "favourite places window" "${menu_favorites[@]}"
fav=$(window_named "$fav_regex")
sleep 0.5
click_at "$fav" 220 20
xdotool key ctrl+a
paste '中'
xdotool key Return
check "an Add of 中 keeps the Windows-1252 and the UTF-8 line byte for byte" \
  wait_for 5 file_is "$favs" 'caf\xe9\r\n\xe6\x97\xa5\xe6\x9c\xac\r\n\xe4\xb8\xad\r\n' || show_file "$favs"
close_window "$fav"
wait_for 10 no_window "$fav_regex" || true

# --- "Ã© text" pasted into a pad whose file was Windows-1252 ------------------------------
pad_regex='^Notepad {24}NB$'
activate_main
open_from_menu "$pad_regex" "notepad window" "${menu_notepad[@]}"
pad=$(window_named "$pad_regex")
sleep 0.5
click_at "$pad" 170 120
xdotool key ctrl+a
paste 'Ã© text'
# The code page would write C3 A9, which reads back as UTF-8 "é": UTF-8 it is.
note_bytes='\xc3\x83\xc2\xa9 text\r\n'
check "the pasted note is in the file as text that reads back the same" \
  wait_for 5 file_is "$notes" "$note_bytes" || show_file "$notes"
close_window "$pad"
wait_for 10 no_window "$pad_regex" || true

# --- the source viewer: a good fetch, then a refused one -----------------------------------
viewer_regex='^HTML Viewer {31}NB$'
activate_main
open_from_menu "$viewer_regex" "HTML source viewer" "${menu_viewer[@]}"
viewer=$(window_named "$viewer_regex")
sleep 0.5
type_into "$viewer" 150 17 "$site/source.html"
xdotool key Return
check "the viewer fetches the good page (server log)" wait_request 15 DONE /source.html 1
source_shown() { [ "$(region_dark "$viewer" 8 32 521 120)" -gt 200 ]; }
check "the good page's source is on show" wait_for 10 source_shown
type_into "$viewer" 150 17 "http://127.0.0.1:9/refused.html"
xdotool key Return
if wait_for 20 has_window '^HTML Viewer$'; then
  ok "the refused fetch is reported in a message"
  xdotool key Return
  wait_for 10 no_window '^HTML Viewer$' || true
else
  bad "the refused fetch is reported in a message"
fi
source_gone() { [ "$(region_dark "$viewer" 8 32 521 120)" -lt 20 ]; }
check "no old source is left on show after the refused fetch" wait_for 5 source_gone
shot_window data-viewer-refused "$viewer"
editor_regex='^Nimbrel HTML Editor {32}NB$'
click_at "$viewer" 472 16
need_window 10 "$editor_regex" "HTML editor after Open In Editor"
editor=$(window_named "$editor_regex")
sleep 0.5
# The editor's Preview writes what it holds: nothing stale may be in it.
click_at "$editor" 268 336
need_window 30 '^NB Editor - ' "preview browser"
preview=$(window_named '^NB Editor - ')
check "Open In Editor after the refused fetch hands on no text" \
  wait_for 5 file_is "$progdir/Preview.html" '\r\n' || show_file "$progdir/Preview.html"

# --- the preview browser: file, web page, Back, Forward --------------------------------------
click_at "$editor" 200 150
xdotool key ctrl+a
paste "<HTML style=\"height: 100%\"><HEAD><TITLE>Local</TITLE></HEAD><BODY style=\"margin: 0; height: 100%; background: #c86414\"><A href=\"$site/a.html\" style=\"display: block; height: 50%\">A</A></BODY></HTML>"
click_at "$editor" 268 336
upper=130; lower=270
shows() { pixel_near "$preview" 180 "$1" "$2"; }
local_page() { shows $lower 200,100,20; }
page_a() { shows $upper 200,30,30 && shows $lower 200,30,30; }
press_tool() { click_at "$preview" $((17 + $1 * 33)) 18; sleep 0.2; xdotool mousemove --window "$preview" 180 200; }
must "the preview shows the local file (pixels)" wait_for 15 local_page
click_at "$preview" 180 $upper
check "the link leads to the web page (server log)" wait_request 15 GET /a.html 1 engine
check "the web page is on show" wait_for 15 page_a
press_tool 0
check "Back returns to the local file" wait_for 15 local_page
n=$(requests GET /a.html engine)
press_tool 1
check "Forward to the web page fetches it again (server log)" wait_request 15 GET /a.html $((n + 1)) engine
check "Forward: the web page is on show" wait_for 15 page_a
shot_window data-preview-forward "$preview"
close_window "$preview"
wait_for 10 no_window '^NB Editor - ' || true

# --- the program again: the note as it was left --------------------------------------------
activate_main
menu "${menu_exit[@]}"
must "Exit ends the program" wait_for 20 ended
start_program
enter
activate_main
open_from_menu "$pad_regex" "notepad window after a new start" "${menu_notepad[@]}"
pad=$(window_named "$pad_regex")
sleep 0.5
click_at "$pad" 170 120
xdotool key ctrl+a ctrl+c
check "the pad shows the pasted text after a new start" wait_for 5 clipboard_is 'Ã© text'
check "the file is as it was after a new start" file_is "$notes" "$note_bytes" || show_file "$notes"
shot_window data-notepad-again "$pad"
close_window "$pad"
wait_for 10 no_window "$pad_regex" || true

# --- a long note (over a million characters): opened, typed at its end, written whole -------
long="$home/long-note"
seq -f 'line %06g of a long note, written to be read back byte for byte' 1 20000 | sed 's/$/\r/' >"$long"
printf 'a line separator \xe2\x80\xa8 and a lone \r inside\r\n' >>"$long"
cp "$long" "$notes"
head -c -2 "$long" >"$long.expected"
printf 'end\r\nx\r\n' >>"$long.expected"
activate_main
open_from_menu "$pad_regex" "notepad window with a long note" "${menu_notepad[@]}"
pad=$(window_named "$pad_regex")
sleep 1
click_at "$pad" 170 120
xdotool key ctrl+End
type_text end
xdotool key Return
type_text x
same_as_expected() { cmp -s "$notes" "$long.expected"; }
check "typing at the end of a long note writes the whole note with it, byte for byte" \
  wait_for 10 same_as_expected || cmp "$notes" "$long.expected" | head -2
xdotool key ctrl+a ctrl+c
copied_lines_are() { [ "$(xclip -o -selection clipboard 2>/dev/null | sed -n "$1")" = "$2" ]; }
check "the long note's lines are lines of their own in the pad (copied)" wait_for 5 copied_lines_are 2p \
  "line 000002 of a long note, written to be read back byte for byte"
check "the long note's last lines are as typed (copied)" wait_for 5 copied_lines_are '$p' x
close_window "$(main_window)"
check "the program ends" wait_for 20 ended
finish
