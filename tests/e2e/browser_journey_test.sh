#!/usr/bin/env bash
# The main window as a user drives it, with keyboard and mouse only, against
# pages of a local web server: the splash, typing an address and pressing
# Enter, the Go, Back, Forward, Refresh and Stop buttons, the pop-up switch,
# the browser status window, maximising with the window manager, "Go Idle"
# and the idle screen, and closing the window with the window manager's close
# button. The sound card is recorded throughout: the intro, button clicks and
# a tool window's opening and closing must be heard.
set -uo pipefail
source "$(dirname "$0")/../harness/harness.sh"
harness_home "$1"
start_wm
start_server
start_listening

# Main window geometry in pixels (the design's twips / 15).
address=(100 45)
go=(428 12); back=(108 12); forward=(188 12); refresh=(268 12); stop=(348 12)
box=(494 16); words=(556 17)
red=200,30,30; green=30,200,30; blue=30,30,200; grey=128,128,128; orange=224,128,32

last_title_is() { [ "$(titles_seen "$1" | tail -n 1)" = "Nimbrel - [Done Loading Document]" ]; }
# The load's own titles after the one on show when the action began. (The
# program sends only the last of the titles a load sets together, and the spy
# reads the property after X reports its change, so titles that follow each
# other within a moment may be read as the later one only.)
load_titles() { titles_seen "$1" | tail -n +2 | grep -E -e '^Nimbrel - \[(Begining Download|Download Complete|Done Loading)\]$' -e '^Nimbrel - \[ .* \] - \[ Reading -?[0-9]+  of  -?[0-9]+ \]$'; }
# A new load was reported in the title, and its sequence ended on the last title.
load_reported() {  # load_reported <spy file>
  wait_for 20 last_title_is "$1" && [ -n "$(load_titles "$1")" ] && return 0
  echo "    titles seen:"; titles_seen "$1" | uniq | sed 's/^/      /'
  return 1
}
# Request counts are taken before an action and awaited one higher after it.
count() { requests GET "$1" engine; }
page_shows() {  # page_shows <colour>
  local v; read -r -a v <<<"$(view_centre)"
  wait_pixel 15 "$(main_window)" "${v[0]}" "${v[1]}" "$1"
}

# --- start-up -----------------------------------------------------------------
t_start=$(now)
start_program
need_window 20 '^$' "splash window"
splash=$(splash_window)
check "splash window has an empty caption (_NET_WM_NAME '$(net_wm_name "$splash")', WM_NAME '$(wm_name "$splash")')" \
  test -z "$(net_wm_name "$splash")$(wm_name "$splash")"
heard "the intro at start-up" "$t_start"
sleep 0.5
shot_window splash "$splash"
enter
main=$(main_window)
xdotool mousemove 1270 1010
check_title "start page load ends on its last title" 60 "$main" "Nimbrel - [Done Loading Document]"
shot main-start

# --- an address typed and sent with Enter -------------------------------------
spy_titles "$main" "$home/t-enter"
type_into "$main" "${address[@]}" "$site/a.html"
na=$(count /a.html)
before_sound
t=$(now)
xdotool key Return
check "Enter in the address box loads the page (server log)" wait_request 15 GET /a.html $((na + 1)) engine
check "Enter in the address box writes the going-to title" saw_title "$home/t-enter" "Nimbrel - [Going to: $site/a.html]"
check "Enter: title sequence ends on Done Loading Document" load_reported "$home/t-enter"
check "Enter: the page is on show (pixels)" page_shows $red
heard "Enter's click" "$t"

# --- the Go button ---------------------------------------------------------------
go_to() {  # go_to <address> <spy file>
  spy_titles "$main" "$2"
  n=$(count "${1#$site}")
  type_into "$main" "${address[@]}" "$1"
  before_sound
  t=$(now)
  click_at "$main" "${go[@]}"
}
go_to "$site/b.html" "$home/t-go"
check "Go loads the typed address (server log)" wait_request 15 GET /b.html $((n + 1)) engine
check "Go writes the going-to title" saw_title "$home/t-go" "Nimbrel - [Going to: $site/b.html]"
check "Go: title sequence ends on Done Loading Document" load_reported "$home/t-go"
check "Go: the page is on show (pixels)" page_shows $green
heard "the Go button's click" "$t"
shot main-page-b
go_to "$site/c.html" "$home/t-go2"
check "Go loads a second page" wait_request 15 GET /c.html $((n + 1)) engine
check "second page is on show" page_shows $blue
load_reported "$home/t-go2" || true

# --- Back, Forward, Refresh ----------------------------------------------------
press() {  # press <spy file> <x> <y> [path whose requests to count]
  spy_titles "$main" "$1"
  n=$(count "${4:-/}")
  before_sound
  t=$(now)
  click_at "$main" "$2" "$3"
}
# What the address box shows, as a user who copies it from there gets it.
address_shown() {
  click_at "$main" "${address[@]}"
  sleep 0.2
  xdotool key ctrl+a ctrl+c
  sleep 0.2
  xclip -o -selection clipboard 2>/dev/null
}
address_is() { [ "$(address_shown)" = "$1" ]; }

press "$home/t-back" "${back[@]}" /b.html
check "Back fetches the earlier page again (server log)" wait_request 15 GET /b.html $((n + 1)) engine
check "Back: the earlier page is on show" page_shows $green
check "Back: title sequence ends on Done Loading Document" load_reported "$home/t-back"
check "Back: the address box shows the earlier page's address" address_is "$site/b.html"
heard "the Back button's click" "$t"

press "$home/t-forward" "${forward[@]}" /c.html
check "Forward fetches the later page again (server log)" wait_request 15 GET /c.html $((n + 1)) engine
check "Forward: the later page is on show" page_shows $blue
check "Forward: title sequence ends on Done Loading Document" load_reported "$home/t-forward"
check "Forward: the address box shows the later page's address" address_is "$site/c.html"

press "$home/t-refresh" "${refresh[@]}" /c.html
check "Refresh fetches the page once more (server log)" wait_request 15 GET /c.html $((n + 1)) engine
check "Refresh: title sequence ends on Done Loading Document" load_reported "$home/t-refresh"
check "Refresh: the page is still on show" page_shows $blue
heard "the Refresh button's click" "$t"

# --- Stop on a page that takes long to arrive --------------------------------------
go_to "$site/slow/slow.html" "$home/t-slow"
if wait_request 15 GET /slow/slow.html 1 engine; then
  sleep 1
  t_stop=$SECONDS
  press "$home/t-stop" "${stop[@]}"
  check "Stop cuts the transfer off (server log)" wait_request 8 ABORT /slow/slow.html 1 engine
  check_title "Stop: the load ends on Done Loading Document at once" 6 "$main" "Nimbrel - [Done Loading Document]"
  check "Stop: the page never arrived whole" test "$(requests DONE /slow/slow.html)" -eq 0
  heard "the Stop button's click" "$t"
else
  bad "slow page is requested"
fi

# --- the pop-up switch ----------------------------------------------------------------
switch() { region_sum "$main" 486 8 17 17; }
shot_window main-switch-before "$main"
s0=$(switch)
before_sound
t=$(now)
click_at "$main" "${words[@]}"
heard "a click on the words \"Block Pop-Ups\"" "$t"
sleep 0.5
check "clicking the words \"Block Pop-Ups\" leaves the box as it was" test "$(switch)" = "$s0"

go_to "$site/popup.html" "$home/t-popup1"
wait_request 15 GET /popup.html $((n + 1)) engine
load_reported "$home/t-popup1" || true
sleep 3
check "a checked switch blocks the page's window.open() (server log)" test "$(requests GET /popped.html)" -eq 0
check "a checked switch blocks the page's window.open() (no window)" no_window 'popped\.html$|^Popped Page'

click_at "$main" "${box[@]}"
sleep 0.5
s1=$(switch)
shot_window main-switch-unchecked "$main"
check "clicking the box changes it" test "$s1" != "$s0"
press "$home/t-popup2" "${refresh[@]}" /popped.html
check "an unchecked switch lets window.open() fetch its page (server log)" wait_request 15 GET /popped.html $((n + 1)) engine
if wait_for 15 has_window '^Popped Page - http://127\.0\.0\.1:[0-9]+/popped\.html$'; then
  ok "an unchecked switch lets window.open() open a window"
  sleep 0.5
  shot popup-window
  close_window "$(window_named '^Popped Page - http://127\.0\.0\.1:[0-9]+/popped\.html$')"
  wait_for 10 no_window '^Popped Page - http://127\.0\.0\.1:[0-9]+/popped\.html$' || true
else
  bad "an unchecked switch lets window.open() open a window"
fi

click_at "$main" "${words[@]}"
sleep 0.5
check "clicking the words again leaves the box unchecked" test "$(switch)" = "$s1"
press "$home/t-popup3" "${refresh[@]}" /popped.html
check "the switch left unchecked by the words still lets pop-ups open" wait_request 15 GET /popped.html $((n + 1)) engine
wait_for 15 has_window '^Popped Page - http://127\.0\.0\.1:[0-9]+/popped\.html$' && close_window "$(window_named '^Popped Page - http://127\.0\.0\.1:[0-9]+/popped\.html$')"
wait_for 10 no_window '^Popped Page - http://127\.0\.0\.1:[0-9]+/popped\.html$' || true
click_at "$main" "${box[@]}"
sleep 0.5
check "clicking the box again checks it" test "$(switch)" = "$s0"

# --- the browser status window ---------------------------------------------------------
status_title="Browser Status$(printf '%36s' '')NB"
before_sound
t=$(now)
xdotool mousemove --window "$main" 30 10 click 1
heard "the menu button's click" "$t"
wait_for 5 menu_is_up || true
shot menu
before_sound
t=$(now)
xdotool key "${menu_status[@]}"
need_window 20 '^Browser Status +NB$' "browser status window"
status=$(window_named '^Browser Status +NB$')
heard "the browser status window's opening" "$t"
check "browser status window title" title_is "$status" "$status_title"
sleep 1
values() { region_sum "$status" 144 24 330 34; }
v0=$(values)
check "browser status window shows values" test "$(region_light "$status" 144 8 330 80)" -gt 40
shot_window status "$status"
go_to "$site/a.html" "$home/t-status"
wait_request 15 GET /a.html $((n + 1)) engine
load_reported "$home/t-status" || true
values_changed() { [ "$(values)" != "$v0" ]; }
check "browser status window follows the main browser" wait_for 10 values_changed
shot_window status-after "$status"
before_sound
t=$(now)
close_window "$status"
check "browser status window closes" wait_for 10 no_window '^Browser Status +NB$'
heard "the browser status window's closing" "$t"

# --- maximise with the window manager, Go Idle, the idle screen ----------------------------
read -r -a g <<<"$(geometry "$main")"
read -r -a f <<<"$(frame_extents "$main")"
xdotool mousemove $((g[0] + g[2] / 2)) $((g[1] - f[2] / 2)) sleep 0.1 click --repeat 2 --delay 100 1
maximised() { xprop -id "$main" _NET_WM_STATE 2>/dev/null | grep -q MAXIMIZED_HORZ; }
check "a double-click on the title bar maximises the main window" wait_for 10 maximised
sleep 1.5
shot main-maximised
# "Go Idle" is a push button: its light caption stands where nothing was.
idle_button_shown() { [ "$(region_light "$main" 620 9 170 15)" -gt 20 ]; }
check "\"Go Idle\" appears on the maximised window" wait_for 10 idle_button_shown
before_sound
t=$(now)
click_at "$main" 700 16
check "\"Go Idle\" hides the main window" wait_for 10 no_window '^Nimbrel - '
heard "the Go Idle button's click" "$t"
if wait_for 10 has_window '^(Nimbrel)?$'; then
  idle=$(window_named '^(Nimbrel)?$')
  read -r -a ig <<<"$(geometry "$idle")"
  check "the idle screen covers the screen (${ig[2]}x${ig[3]})" test "${ig[2]}x${ig[3]}" = 1280x1024
  sleep 1
  a1=$(region_sum "$idle" 0 0 1280 1024)
  check "the idle screen draws its animation" test "$(region_colours "$idle" 0 0 1280 1024)" -gt 8
  sleep 0.5
  check "the idle screen's animation moves" test "$(region_sum "$idle" 0 0 1280 1024)" != "$a1"
  shot idle
  before_sound
  t=$(now)
  click_at "$idle" 640 512
  check "a click on the idle screen gives the main window back" wait_for 10 has_window '^Nimbrel - '
  heard "the idle screen's click" "$t"
  check "the idle screen is gone" wait_for 10 no_window '^(Nimbrel)?$'
else
  bad "the idle screen appears"
fi

# --- closing with the window manager's close button ------------------------------------------
main=$(main_window)
sleep 1
shot main-before-close
read -r -a g <<<"$(geometry "$main")"
read -r -a f <<<"$(frame_extents "$main")"
xdotool mousemove $((g[0] + g[2] + f[1] - f[2] / 2)) $((g[1] - f[2] / 2)) sleep 0.2 click 1
check "the window manager's close button ends the program" wait_for 20 ended
check "no engine process is left" wait_for 10 engine_gone

[ "$sound" = yes ] && { echo "sound onsets (s): $(sound_py onsets "$recording")"; [ "$failed" -gt 0 ] && keep_recording; }
finish
