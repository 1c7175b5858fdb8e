#!/usr/bin/env bash
# The user stays in control of every page, with keyboard and mouse only:
# a page whose renderer is killed shows the program's notice and comes back
# with Refresh; a page that will not stop showing alerts is stopped through
# its dialog, and another one cannot keep the main window's close box from
# ending the program; Ctrl+F finds a word far down a long page and Escape
# clears it; a page title that would read backwards reaches the captions
# without its direction override.
set -uo pipefail
source "$(dirname "$0")/../harness/harness.sh"
harness_home "$1"
start_wm
start_server

count() { requests GET "$1" engine; }
page_shows() {  # page_shows <colour>
  local v; read -r -a v <<<"$(view_centre)"
  pixel_near "$(main_window)" "${v[0]}" "${v[1]}" "$1"
}
go_to() {  # go_to <address>: typed into the address box, then Enter
  type_into "$(main_window)" 100 45 "$1"
  xdotool key Return
}
# Renderers are forked by the engine's zygote process and keep its command
# line: they are the engine processes whose parent is one too.
renderers() {
  local all p
  all=" $(engine_procs | tr '\n' ' ') "
  for p in $all; do
    [[ "$all" == *" $(ps -o ppid= -p "$p" | tr -d ' ') "* ]] && echo "$p"
  done
  return 0
}
# How many pixels of a region of the main window are near a colour.
pixels_near() {  # pixels_near <x> <y> <w> <h> <r,g,b>
  local g
  read -r -a g <<<"$(geometry "$(main_window)")"
  import -window root -crop "$3x$4+$((g[0] + $1))+$((g[1] + $2))" -depth 8 png:- 2>/dev/null |
    convert png:- -fuzz 12% -fill black +opaque "rgb($5)" -fill white -opaque "rgb($5)" -colorspace gray \
      -format '%[fx:int(mean*w*h+0.5)]' info: 2>/dev/null
}
some_pixels_near() { [ "$(pixels_near "$@")" -gt 50 ]; }
no_pixels_near() { [ "$(pixels_near "$@")" -lt 5 ]; }

start_program
open_main_window

# --- a page whose renderer is killed ----------------------------------------------------
green=32,192,64
n=$(count /green.html)
go_to "$site/green.html"
must "the green page loads" wait_for 20 page_shows "$green"
victims=$(renderers)
must "the page has a renderer process" test -n "$victims"
kill -9 $victims
notice() { ! page_shows "$green" && page_shows 24,24,24 && [ "$(region_light "$(main_window)" 20 80 400 120)" -gt 100 ]; }
check "the killed page is replaced by the program's notice (pixels)" wait_for 10 notice
shot_window page-stopped "$(main_window)"
xdotool key F5
check "Refresh asks for the page again (server log)" wait_request 15 GET /green.html $((n + 2)) engine
check "Refresh brings the page back (pixels)" wait_for 15 page_shows "$green"

# --- a page that will not stop showing alerts ------------------------------------------------
says='^127\.0\.0\.1 says$'
go_to "$site/alerts.html"
need_window 20 "$says" "the page's first alert"
shot page-alert
xdotool key Return
check "the next alert comes" wait_for 10 has_window "$says"
sleep 0.5
shot page-alert-second
xdotool key alt+s
sleep 0.2
xdotool key Return
check "stopping the page's dialogs ends the run of alerts: the page goes on (server log)" \
  wait_for 15 grep -qF '/report?alerts=over' "$server_log"
check "no further alert is shown" no_window "$says"

# --- find in page ------------------------------------------------------------------------------------------------
go_to "$site/long.html"
wait_title 30 "$main" "Nimbrel - [Done Loading Document]" || true
sleep 0.5
cyan=0,200,255; orange=255,150,50
read -r -a v <<<"$(view_centre)"
check "the word far down is not in sight at first" no_pixels_near 8 64 $((v[0] * 2 - 16)) $(((v[1] - 64) * 2)) "$cyan"
click_at "$main" "${v[0]}" "${v[1]}"
xdotool key ctrl+f
sleep 0.3
type_text zanzibar
xdotool key Return
check "Ctrl+F, the word and Enter bring the word into sight (pixels)" \
  wait_for 10 some_pixels_near 8 64 $((v[0] * 2 - 16)) $(((v[1] - 64) * 2)) "$cyan"
check "the match is highlighted" wait_for 5 some_pixels_near 8 64 $((v[0] * 2 - 16)) $(((v[1] - 64) * 2)) "$orange"
shot_window find "$main"
xdotool key Escape
check "Escape clears the highlight" wait_for 5 no_pixels_near 8 64 $((v[0] * 2 - 16)) $(((v[1] - 64) * 2)) "$orange"

# --- a title that would read backwards -----------------------------------------------------------------------
spy_titles "$main" "$home/titles"
go_to "$site/bidi-link.html"
wait_title 30 "$main" "Nimbrel - [Done Loading Document]" || true
sleep 0.5
click_at "$main" 200 150
popup_regex='^Bank gnp\.exe - http://127\.0\.0\.1:[0-9]+/bidi\.html$'
check "the window the link opens shows the title without its override (read from X)" wait_for 15 has_window "$popup_regex"
override=$'\u202e'
no_override() { ! grep -qF "$override" "$home/titles"; }
for w in $(program_windows); do net_wm_name "$w" >>"$home/titles"; done
check "no caption the program set holds the override" no_override
close_window "$(window_named "$popup_regex")"
# The address is typed once the pop-up has gone, so the keys reach the main window.
wait_for 10 no_window "$popup_regex" || true

# --- an alert open, and the main window's close box -----------------------------------------------------------
go_to "$site/alerts.html"
need_window 20 "$says" "the page's alert"
close_window "$(main_window)"
started=$SECONDS
check "the close box ends the program while the page's alert is open" wait_for 2 ended
check "and every engine process with it" wait_for 3 engine_gone
finish
