#!/usr/bin/env bash
# The HTML tools as a user drives them, with keyboard and mouse only: the
# editor's Save and Open through the real file dialog (the path typed into
# it), its Preview, the preview browser's links, toolbar and address box
# (Enter), and the source viewer: a refused fetch, a good one by Enter, and
# "Open In Editor". Files are compared byte for byte, loads proven by the
# local server's request log and the pages' colours on the screen.
set -uo pipefail
source "$(dirname "$0")/../harness/harness.sh"
harness_home "$1"
start_wm
start_server

show_file() { echo "    $(basename "$1"): $(od -An -c "$1" 2>/dev/null | tr -s ' ' | head -c 400)"; }
dialog_regex='^(Save As|Save File|Save|Open|Open File)$'
# Types a path into the file dialog that the click at <x> <y> opens, and presses Enter.
through_dialog() {  # through_dialog <window> <x> <y> <path>
  click_at "$1" "$2" "$3"
  if ! wait_for 15 has_window "$dialog_regex"; then bad "the file dialog opens"; return 1; fi
  local dialog
  dialog=$(window_named "$dialog_regex")
  sleep 0.7
  shot_window "dialog-$(basename "$4" .html)" "$dialog"
  xdotool key ctrl+a
  xdotool type --delay 15 -- "$4"
  sleep 0.3
  xdotool key Return
  wait_for 10 no_window "$dialog_regex"
}

start_program
open_main_window

# --- the editor: Save and Open through the file dialog ------------------------------
editor_regex='^Nimbrel HTML Editor {32}NB$'
open_from_menu "$editor_regex" "HTML editor" "${menu_editor[@]}"
editor=$(window_named "$editor_regex")
sleep 0.5
shot_window editor "$editor"
starter='<HTML>\r\n\r\n<HEAD>\r\n<TITLE>Web Page</TITLE>\r\n</HEAD>\r\n\r\n<BODY>\r\n\r\n</BODY>\r\n\r\n</HTML>\r\n'
printf "$starter" >"$home/starter-expected"
through_dialog "$editor" 132 336 "$home/work/starter.html"
check "Save writes the starter page through the dialog, byte for byte" \
  wait_for 5 cmp -s "$home/work/starter.html" "$home/starter-expected" || show_file "$home/work/starter.html"

# A page to open: a link over its upper half leads to the local server.
printf '<HTML style="height: 100%%">\r\n<HEAD><TITLE>Opened Page</TITLE></HEAD>\r\n<BODY style="margin: 0; height: 100%%; background: #c86414">\r\n<A href="%s/next.html" style="display: block; height: 50%%">Next</A>\r\n</BODY>\r\n</HTML>\r\n' \
  "$site" >"$home/work/opened.html"
through_dialog "$editor" 44 336 "$home/work/opened.html"
sleep 0.5
shot_window editor-opened "$editor"

# --- Preview ------------------------------------------------------------------------------
click_at "$editor" 268 336
need_window 30 '^NB Editor - ' "preview browser"
preview=$(window_named '^NB Editor - ')
check "Preview writes the editor's text to the preview file, byte for byte" \
  wait_for 5 cmp -s "$progdir/Preview.html" "$home/work/opened.html" || show_file "$progdir/Preview.html"
check_title "the preview browser shows the opened page's name" 20 "$preview" "NB Editor - [Opened Page ]"
# Colours of the pages in the preview's browser, at its upper and lower half.
upper=130; lower=270
shows() { pixel_near "$preview" 180 "$1" "$2"; }
opened_page() { shows $lower 200,100,20; }
next_page() { shows $upper 224,224,224 && shows $lower 96,96,96; }
page_c() { shows $upper 30,30,200 && shows $lower 30,30,200; }
check "the preview shows the page (pixels)" wait_for 15 opened_page
sleep 0.5
shot_window preview "$preview"
count() { requests GET "$1" engine; }

# Links in the pages give the preview browser a history: the file, then two
# web pages.
n=$(count /next.html)
click_at "$preview" 180 $upper
check "a link in the preview loads its page (server log)" wait_request 15 GET /next.html $((n + 1)) engine
check "the linked page is on show" wait_for 15 next_page
check_title "the preview's caption names the linked page" 15 "$preview" "NB Editor - [Next Page ]"

# --- the preview's toolbar --------------------------------------------------------------------
# Buttons from the left, about 33 pixels apart: Back, Forward, Stop, Refresh, Home, Search.
press_tool() { click_at "$preview" $((17 + $1 * 33)) 18; sleep 0.2; xdotool mousemove --window "$preview" 180 200; }
n=$(count /c.html)
click_at "$preview" 180 $upper
check "a second link loads its page" wait_request 15 GET /c.html $((n + 1)) engine
wait_for 15 page_c || true

n=$(count /next.html)
press_tool 0
check "toolbar Back fetches the earlier page again (server log)" wait_request 15 GET /next.html $((n + 1)) engine
check "toolbar Back: the earlier page is on show" wait_for 15 next_page
check_title "toolbar Back: the caption names the page after the load" 15 "$preview" "NB Editor - [Next Page]"
shot_window preview-back "$preview"
n=$(count /c.html)
press_tool 1
check "toolbar Forward fetches the later page again (server log)" wait_request 15 GET /c.html $((n + 1)) engine
check "toolbar Forward: the later page is on show" wait_for 15 page_c
check_title "toolbar Forward: caption" 15 "$preview" "NB Editor - [Page C]"
n=$(count /c.html)
press_tool 3
check "toolbar Refresh fetches the page again (server log)" wait_request 15 GET /c.html $((n + 1)) engine
check_title "toolbar Refresh: caption" 15 "$preview" "NB Editor - [Page C]"
wait_for 15 page_c || true

# The page's link leads to a page that arrives slowly.
sleep 0.5
click_at "$preview" 180 200
if wait_request 15 GET /slow/slow.html 1 engine; then
  sleep 1
  press_tool 2
  check "toolbar Stop cuts the slow transfer off (server log)" wait_request 8 ABORT /slow/slow.html 1 engine
  stop_caption() { [[ "$(title_of "$preview")" =~ ^NB\ Editor\ -\ \[.*\ \]$ ]]; }
  check "toolbar Stop writes the caption with a space before the bracket ('$(title_of "$preview")')" wait_for 5 stop_caption
  sleep 1
  check "the caption stays as Stop wrote it" stop_caption
else
  bad "the slow link is requested"
fi
shot_window preview-stop "$preview"
# Back to the start of the history: the preview file.
back_to_file() { opened_page && return 0; press_tool 0; wait_for 4 opened_page; }
check "toolbar Back returns to the preview file" wait_for 30 back_to_file
check_title "toolbar Back: the file's name in the caption" 15 "$preview" "NB Editor - [Opened Page]"

# --- the preview's address box and Enter ------------------------------------------------------
# An address the preview has not visited yet: the box's list (the visited
# addresses) has no entry for it, so only the Enter key can send it.
page_a() { shows $upper 200,30,30 && shows $lower 200,30,30; }
n=$(count /a.html)
type_into "$preview" 150 67 "$site/a.html"
xdotool key Return
check "Enter in the preview's address box loads the typed address (server log)" wait_request 15 GET /a.html $((n + 1)) engine
check "Enter in the preview's address box: the page is on show" wait_for 15 page_a
check_title "Enter in the preview's address box: caption after the load" 15 "$preview" "NB Editor - [Page A]"
shot_window preview-enter "$preview"

# Done with the preview and, for now, the editor: its Back button hides it.
close_window "$preview"
check "the preview browser closes" wait_for 10 no_window '^NB Editor - '
click_at "$editor" 492 336
check "the editor's Back button hides the editor" wait_for 10 no_window "$editor_regex"

# --- the source viewer -----------------------------------------------------------------------------
viewer_regex='^HTML Viewer {31}NB$'
open_from_menu "$viewer_regex" "HTML source viewer" "${menu_viewer[@]}"
viewer=$(window_named "$viewer_regex")
sleep 0.5
type_into "$viewer" 150 17 "http://127.0.0.1:9/refused.html"
xdotool key Return
if wait_for 20 has_window '^HTML Viewer$'; then
  ok "a refused fetch is reported in a message"
  sleep 0.5
  shot viewer-refused
  xdotool key Return
  check "the message goes with Enter" wait_for 10 no_window '^HTML Viewer$'
else
  bad "a refused fetch is reported in a message"
fi
type_into "$viewer" 150 17 "$site/source.html"
xdotool key Return
check "Enter in the viewer's address box fetches the source (server log)" wait_request 15 DONE /source.html 1
fetched() { [ "$(region_dark "$viewer" 8 32 521 120)" -gt 200 ]; }
check "the fetched source is on show" wait_for 10 fetched
sleep 0.5
shot_window viewer "$viewer"
click_at "$viewer" 472 16
check "Open In Editor shows the editor again" wait_for 10 has_window "$editor_regex"
sleep 0.5
shot_window editor-source "$(window_named "$editor_regex")"
cp "$e2e_dir/pages/source.html" "$home/source-expected"
printf '\r\n' >>"$home/source-expected"
through_dialog "$(window_named "$editor_regex")" 132 336 "$home/work/fetched.html"
check "the editor holds the fetched source: saved byte for byte" \
  wait_for 5 cmp -s "$home/work/fetched.html" "$home/source-expected" || show_file "$home/work/fetched.html"

# --- the end: closing the main window through the window manager ---------------------------------
close_window "$(main_window)"
check "closing the main window ends the program" wait_for 20 ended
check "no engine process is left" wait_for 10 engine_gone
finish
