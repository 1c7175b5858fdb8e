# Waiting, window lookup, titles, input and the screen.
#
# Everything a script does to the program goes through XTEST (xdotool keys,
# typing, clicks and pointer moves) or through the window manager; what it
# reads is what a user or the disk sees: window titles read from X, files,
# screen pixels and recorded sound.

# --- waiting and windows ---------------------------------------------------

# Runs <command> until it succeeds, every $poll_s seconds (default 0.1).
wait_for() {  # wait_for <seconds> <command...>
  local limit=$1; shift
  local end=$((SECONDS + limit))
  while :; do
    if "$@"; then return 0; fi
    [ "$SECONDS" -ge "$end" ] && return 1
    sleep "${poll_s:-0.1}"
  done
}
# The program's visible windows (or those of the X instance name given).
program_windows() { xdotool search --onlyvisible --classname "^${1:-nimbrel}\$" 2>/dev/null; }
# The visible window of the program (or of the X instance name given) whose
# title matches the extended regex $1. (Windows are found by their class and
# their titles compared here: xdotool's own title search misses windows a
# window manager has reparented.) Pop-up menus and tool tips
# (override-redirect windows, named after the program) are not windows of
# their own and are never found.
window_named() {  # window_named <title regex> [instance]
  local w name
  for w in $(program_windows "${2:-nimbrel}"); do
    name=$(xdotool getwindowname "$w" 2>/dev/null)
    [[ "$name" =~ $1 ]] || continue
    if [ -z "$name" ] || [ "$name" = Nimbrel ]; then is_popup "$w" && continue; fi
    echo "$w"
    return 0
  done
}
# (The splash window is override-redirect too, but it is a normal window by type.)
is_popup() {
  xwininfo -id "$1" 2>/dev/null | grep -q 'Override Redirect State: yes' || return 1
  xprop -id "$1" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -Eq 'MENU|TOOLTIP|COMBO|POPUP'
}
has_window() { [ -n "$(window_named "$@")" ]; }
no_window() { [ -z "$(window_named "$@")" ]; }
# Waits up to 30 s for such a window and prints it.
wait_window() {  # wait_window <title regex> [instance]
  wait_for 30 has_window "$@" && window_named "$@"
}
need_window() {  # need_window <seconds> <title regex> <what>
  if wait_for "$1" has_window "$2"; then return 0; fi
  bad "$3 appears" "cannot go on"
  shot "${e2e_name}-failed"
  echo "--- visible windows"; visible_windows
  echo "--- program output"; tail -40 "$home/log"
  finish
}
visible_windows() {
  local w
  for w in $(program_windows); do
    echo "$w '$(xdotool getwindowname "$w" 2>/dev/null)'"
  done
}
main_window() { window_named '^Nimbrel - '; }
# The splash window is the only window at start; it is found by its class alone
# (its caption is empty) and clicked to enter the main window.
splash_window() { window_named '^$'; }
enter() {
  need_window 20 '^$' "splash window"
  sleep 0.5
  shot splash
  xdotool mousemove --window "$(splash_window)" 20 20 click 1
  need_window 60 '^Nimbrel - .' "main window"
}
# Enters, moves the pointer off the windows and waits for the start page's
# load to end (it ends at once: the page is not on this machine); the main
# window in $main.
open_main_window() {
  enter
  main=$(main_window)
  xdotool mousemove 1270 1010
  wait_title 60 "$main" "Nimbrel - [Done Loading Document]" || true
}
# Closes a window as its close box would, through the window manager.
close_window() { wmctrl -i -c "$1"; }

# --- titles ------------------------------------------------------------------

# The title of a window exactly as X holds it, in both of its properties.
net_wm_name() { xprop -id "$1" -notype _NET_WM_NAME 2>/dev/null | sed -n 's/^_NET_WM_NAME = "\(.*\)"$/\1/p'; }
wm_name() { xprop -id "$1" -notype WM_NAME 2>/dev/null | sed -n 's/^WM_NAME = "\(.*\)"$/\1/p'; }
title_of() { xdotool getwindowname "$1" 2>/dev/null; }
title_is() {  # title_is <window> <text>
  [ "$(title_of "$1")" = "$2" ]
}
wait_title() {  # wait_title <seconds> <window> <text>
  wait_for "$1" title_is "$2" "$3"
}
# Checks that a window's title becomes <text>; tells the title it has if not.
check_title() {  # check_title <what> <seconds> <window> <text>
  if wait_title "$2" "$3" "$4"; then ok "$1"; return 0; fi
  bad "$1" "title is '$(title_of "$3")', not '$4'"
  return 1
}
# Every title a window is given, in order, into a file (one line each, as
# xprop prints them; the first line is the title it had at the start; with
# --stamp each is stamped with the time X had it). title_watch records the
# program's own requests to the X server, so even a title replaced a
# millisecond later is there. Its pid in $spy_pid.
spy_titles() {  # spy_titles <window> <file> [--stamp]
  local watch="${NIMBREL_TITLE_WATCH:-$build/tests/title_watch}"
  : >"$2"
  "$watch" ${3:-} "$1" >"$2" &
  spy_pid=$!
  pids+=($spy_pid)
  local i
  for i in $(seq 50); do [ -s "$2" ] && return 0; sleep 0.05; done
  echo "  title_watch did not start ($watch)"
}
titles_seen() { sed -n 's/^_NET_WM_NAME = "\(.*\)"$/\1/p' "$1"; }
saw_title() { titles_seen "$1" | grep -qxF -- "$2"; }

# Absolute position and size of a window's client area: "x y width height".
geometry() {
  xwininfo -id "$1" 2>/dev/null | awk '
    /Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
    /^ *Width:/ {w=$NF} /^ *Height:/ {h=$NF} END {print x, y, w, h}'
}
# The window manager's frame around a window: "left right top bottom".
frame_extents() {
  xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *\([0-9]*\), *\([0-9]*\), *\([0-9]*\), *\([0-9]*\).*/\1 \2 \3 \4/p'
}
# The centre of the main window's page view, "x y" in client coordinates.
view_centre() { local g; read -r -a g <<<"$(geometry "$(main_window)")"; echo $((8 + (g[2] - 23) / 2)) $((64 + (g[3] - 100) / 2)); }

# --- input: XTEST only -------------------------------------------------------

click_at() {  # click_at <window> <x> <y>  (client coordinates)
  xdotool mousemove --window "$1" "$2" "$3" sleep 0.1 click 1
}
double_click_at() {
  xdotool mousemove --window "$1" "$2" "$3" sleep 0.1 click --repeat 2 --delay 80 1
}
point_at() { xdotool mousemove --window "$1" "$2" "$3"; }
# Types text as keys. xdotool types a character the keyboard map lacks by
# mapping a spare key to it for a moment; the program must see that change of
# the map before the key, so such characters go one at a time, with a pause.
type_text() {  # type_text <text>
  local text=$1 run="" c i
  for ((i = 0; i < ${#text}; i++)); do
    c=${text:i:1}
    if [[ "$c" == [[:print:]] && $(printf '%d' "'$c") -lt 128 ]]; then run+=$c; continue; fi
    [ -n "$run" ] && xdotool type --delay 20 -- "$run"
    run=""
    sleep 0.15
    xdotool type --delay 120 -- "$c"
    sleep 0.15
  done
  [ -n "$run" ] && xdotool type --delay 20 -- "$run"
  return 0
}
# Clicks into a text box and replaces its whole text by typing.
type_into() {  # type_into <window> <x> <y> <text>
  click_at "$1" "$2" "$3"
  sleep 0.2
  xdotool key ctrl+a
  type_text "$4"
}

# --- the tools menu ----------------------------------------------------------

# Pops the tools menu up from the main window's menu button and types keys
# into it; in a journey that listens the sound card is quiet first, and the
# time of the keys is in $t (see now).
menu() {  # menu <keys...>
  xdotool mousemove --window "$(main_window)" 30 10 click 1
  wait_for 5 menu_is_up || sleep 0.5
  sleep 0.3
  before_sound
  t=$(now)
  xdotool key "$@"
}
# The same, then waits for the window the keys open.
open_from_menu() {  # open_from_menu <title regex> <what> <keys...>
  local regex=$1 what=$2; shift 2
  menu "$@"
  need_window 20 "$regex" "$what"
}
# The menu with a fixed pause for it to show, as the benchmarks time it.
menu_after() {  # menu_after <seconds> <keys...>
  xdotool mousemove --window "$(main_window)" 30 10 click 1
  sleep "$1"; shift
  xdotool key "$@"
}
# A pop-up menu is an unnamed, override-redirect window of the program.
menu_is_up() {
  local w
  for w in $(program_windows); do
    is_popup "$w" && return 0
  done
  return 1
}
# Menu paths from the top of the tools menu.
menu_favorites=(Down Return)
menu_about=(Down Down Return)
menu_links=(Down Down Down Right Return)
menu_editor=(Down Down Down Right Down Right Return)
menu_viewer=(Down Down Down Right Down Right Down Return)
menu_status=(Down Down Down Right Down Down Right Return)
menu_drives=(Down Down Down Right Down Down Right Down Return)
menu_notepad=(Down Down Down Right Down Down Right Down Down Return)
menu_idle=(Down Down Down Right Down Down Right Down Down Down Return)
menu_exit=(Up Return)

# --- the screen --------------------------------------------------------------

shot() { import -window root "$shots/$1.png" 2>/dev/null || true; }
shot_window() {  # shot_window <name> <window>
  import -window "$2" "$shots/$1.png" 2>/dev/null || true
}
# The screen's pixel at a window's client coordinates, as "r,g,b".
pixel_at() {  # pixel_at <window> <x> <y>
  local g
  read -r -a g <<<"$(geometry "$1")"
  import -window root -crop "1x1+$((g[0] + $2))+$((g[1] + $3))" -depth 8 txt:- 2>/dev/null |
    sed -n 's/^0,0: (\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p'
}
# True when the pixel is within 24 of the colour in every channel.
pixel_near() {  # pixel_near <window> <x> <y> <r,g,b>
  local got want
  IFS=, read -r -a got <<<"$(pixel_at "$1" "$2" "$3")"
  IFS=, read -r -a want <<<"$4"
  [ ${#got[@]} -eq 3 ] || return 1
  local i d
  for i in 0 1 2; do
    d=$((got[i] - want[i])); d=${d#-}
    [ "$d" -le 24 ] || return 1
  done
}
wait_pixel() {  # wait_pixel <seconds> <window> <x> <y> <r,g,b>
  local limit=$1; shift
  wait_for "$limit" pixel_near "$@"
}
# A region of the screen at a window's client coordinates, as ImageMagick
# writes it in <format>.
region() {  # region <format> <window> <x> <y> <w> <h>
  local g
  read -r -a g <<<"$(geometry "$2")"
  import -window root -crop "$5x$6+$((g[0] + $3))+$((g[1] + $4))" -depth 8 "$1:-" 2>/dev/null
}
# A fingerprint of a screen region at a window's client coordinates.
region_sum() {  # region_sum <window> <x> <y> <w> <h>
  region rgb "$@" | md5sum | cut -d' ' -f1
}
# How many different colours a screen region holds.
region_colours() {  # region_colours <window> <x> <y> <w> <h>
  region png "$@" | convert png:- -format %k info: 2>/dev/null
}
# How many pixels of a region are brighter than 60 % in every channel (text
# drawn in light colours over a dark background).
region_light() {  # region_light <window> <x> <y> <w> <h>
  region png "$@" | convert png:- -colorspace gray -threshold 60% -format '%[fx:int(mean*w*h+0.5)]' info: 2>/dev/null
}
# How many pixels of a region are darker than 40 % (dark text on white).
region_dark() {  # region_dark <window> <x> <y> <w> <h>
  region png "$@" | convert png:- -colorspace gray -negate -threshold 60% -format '%[fx:int(mean*w*h+0.5)]' info: 2>/dev/null
}
