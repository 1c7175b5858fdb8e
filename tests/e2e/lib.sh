# Shared by the end-to-end tests. Source it with the program's path in $1.
#
# It makes a throw-away home and a throw-away copy of the program directory
# (so the notes, favourites and preview files of one run never meet another),
# starts a window manager (openbox) on the current display, and then starts
# the program - unless E2E_START=later was set before sourcing, in which case
# the test calls start_server / start_sound first and start_program itself.
#
# Everything the tests do to the program goes through XTEST (xdotool keys,
# typing, clicks and pointer moves) or through the window manager; what they
# check is what a user or the disk sees: window titles read from X, files,
# the local web server's request log, screen pixels and recorded sound.
#
# Results: `check` and `ok`/`bad` count, `finish` prints "N passed, M failed"
# and ends the test with the right status; `need_window` and `must` stop the
# test at once when a step everything after it depends on did not happen.

e2e_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
built_program=$(readlink -f "$1")
e2e_name=$(basename "$0" .sh)
shots="${NIMBREL_SHOTS:-$(dirname "$built_program")/../shots}"
mkdir -p "$shots"
python=$(command -v /usr/bin/python3 || command -v python3)

# Everything but this machine goes to a proxy on a closed local port, so the
# start page fails at once and the same way every run. The engine reaches
# 127.0.0.1 directly: loopback is never sent to a proxy.
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-background-networking --disable-component-update --no-first-run --proxy-server=http://127.0.0.1:9"
# Transfers that follow the usual proxy variables get the same closed proxy
# for anything that is not this machine.
export http_proxy=http://127.0.0.1:9 https_proxy=http://127.0.0.1:9 no_proxy=127.0.0.1,localhost
home=$(mktemp -d)
export HOME="$home" XDG_DATA_HOME="$home/data" XDG_CACHE_HOME="$home/cache" XDG_CONFIG_HOME="$home/config"
mkdir -p "$home/work"

# The program runs from a copy of its directory, without the user files an
# earlier run in the build tree may have left there.
cp -a "$(dirname "$built_program")" "$home/program"
rm -f "$home/program/Notes.TXT" "$home/program/FavPlaces.TXT" "$home/program/Preview.html"
program="$home/program/$(basename "$built_program")"
progdir="$home/program"

pid=""
wm=""
server_pid=""
pulse_pid=""
rec_pid=""
keeper_pid=""
spies=()
passed=0
failed=0

cleanup() {
  local p
  for p in "${spies[@]}" $pid $rec_pid $keeper_pid $pulse_pid $server_pid $wm; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  if [ -n "${E2E_KEEP:-}" ]; then echo "kept $home"; else rm -rf "$home"; fi
  return 0
}
trap cleanup EXIT

# --- results ---------------------------------------------------------------

ok() { passed=$((passed + 1)); echo "ok   - $1"; }
bad() { failed=$((failed + 1)); echo "FAIL - $1${2:+: $2}"; }
check() {  # check <what> <command...>
  local what=$1; shift
  if "$@"; then ok "$what"; return 0; fi
  bad "$what"
  return 1
}
finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit $?
}
# A step that everything after it needs: stop the test here if it failed.
must() {  # must <what> <command...>
  local what=$1; shift
  if "$@"; then ok "$what"; return 0; fi
  bad "$what" "cannot go on"
  shot "${e2e_name}-failed"
  echo "--- program output"; cat "$home/log" 2>/dev/null | tail -40
  finish
}

# --- waiting and windows ---------------------------------------------------

wait_for() {  # wait_for <seconds> <command...>
  local limit=$1; shift
  local end=$((SECONDS + limit))
  while :; do
    if "$@"; then return 0; fi
    [ "$SECONDS" -ge "$end" ] && return 1
    sleep 0.1
  done
}
# The program's visible window whose title matches the extended regex $1.
# (Windows are found by their class and their titles compared here: xdotool's
# own title search misses windows a window manager has reparented.)
# Pop-up menus and tool tips (override-redirect windows, named after the
# program) are not windows of their own and are never found.
window_named() {
  local w name
  for w in $(xdotool search --onlyvisible --classname '^nimbrel$' 2>/dev/null); do
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
has_window() { [ -n "$(window_named "$1")" ]; }
no_window() { [ -z "$(window_named "$1")" ]; }
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
  for w in $(xdotool search --onlyvisible --classname '^nimbrel$' 2>/dev/null); do
    echo "$w '$(xdotool getwindowname "$w" 2>/dev/null)'"
  done
}
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
main_window() { window_named '^Nimbrel - '; }
# Checks that a window's title becomes <text>; tells the title it has if not.
check_title() {  # check_title <what> <seconds> <window> <text>
  if wait_title "$2" "$3" "$4"; then ok "$1"; return 0; fi
  bad "$1" "title is '$(title_of "$3")', not '$4'"
  return 1
}

# Records every title a window takes, as X reports its changes, into a file.
# Every title a window is given, in order, into a file (one line each, as
# xprop prints them; the first line is the title it had at the start).
# title_watch records the program's own requests to the X server, so even a
# title replaced a millisecond later is there.
title_watch="${NIMBREL_TITLE_WATCH:-$(dirname "$built_program")/../tests/title_watch}"
spy_titles() {  # spy_titles <window> <file>
  : >"$2"
  "$title_watch" "$1" >"$2" &
  spies+=($!)
  local i
  for i in $(seq 50); do [ -s "$2" ] && return 0; sleep 0.05; done
  echo "  title_watch did not start ($title_watch)"
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

# --- input: XTEST only ---------------------------------------------------------

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

# Pops the tools menu up from the main window's menu button and types keys into it.
menu() {
  local main
  main=$(main_window)
  xdotool mousemove --window "$main" 30 10 click 1
  wait_for 5 menu_is_up || sleep 0.5
  sleep 0.3
  if [ -n "$rec_pid" ]; then sound_quiet || true; fi
  xdotool key "$@"
}
# A pop-up menu is an unnamed, override-redirect window of the program.
menu_is_up() {
  local w
  for w in $(xdotool search --onlyvisible --classname '^nimbrel$' 2>/dev/null); do
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

# Closes a window as its close box would, through the window manager.
close_window() { wmctrl -i -c "$1"; }

# --- screen ------------------------------------------------------------------

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
# A fingerprint of a screen region at a window's client coordinates.
region_sum() {  # region_sum <window> <x> <y> <w> <h>
  local g
  read -r -a g <<<"$(geometry "$1")"
  import -window root -crop "$4x$5+$((g[0] + $2))+$((g[1] + $3))" -depth 8 rgb:- 2>/dev/null | md5sum | cut -d' ' -f1
}
# How many different colours a screen region holds.
region_colours() {  # region_colours <window> <x> <y> <w> <h>
  local g
  read -r -a g <<<"$(geometry "$1")"
  import -window root -crop "$4x$5+$((g[0] + $2))+$((g[1] + $3))" -depth 8 png:- 2>/dev/null |
    convert png:- -format %k info: 2>/dev/null
}
# How many pixels of a region are brighter than 60 % in every channel (text
# drawn in light colours over a dark background).
region_light() {  # region_light <window> <x> <y> <w> <h>
  local g
  read -r -a g <<<"$(geometry "$1")"
  import -window root -crop "$4x$5+$((g[0] + $2))+$((g[1] + $3))" -depth 8 png:- 2>/dev/null |
    convert png:- -colorspace gray -threshold 60% -format '%[fx:int(mean*w*h+0.5)]' info: 2>/dev/null
}
# How many pixels of a region are darker than 40 % (dark text on white).
region_dark() {  # region_dark <window> <x> <y> <w> <h>
  local g
  read -r -a g <<<"$(geometry "$1")"
  import -window root -crop "$4x$5+$((g[0] + $2))+$((g[1] + $3))" -depth 8 png:- 2>/dev/null |
    convert png:- -colorspace gray -negate -threshold 60% -format '%[fx:int(mean*w*h+0.5)]' info: 2>/dev/null
}

# --- the program -------------------------------------------------------------

start_wm() {
  openbox --sm-disable >/dev/null 2>&1 &
  wm=$!
  wait_for 10 wmctrl -m >/dev/null 2>&1 || sleep 0.5
}

start_program() {
  "$program" >>"$home/log" 2>&1 &
  pid=$!
}
ended() { ! kill -0 "$pid" 2>/dev/null; }
# The engine's processes of this test's program (they carry its home).
engine_procs() {
  local p
  for p in $(pgrep -f QtWebEngineProcess 2>/dev/null); do
    if tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qxF "HOME=$home"; then echo "$p"; fi
  done
  return 0
}

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

# The engine's processes must all be gone once the program has ended.
engine_gone() { [ -z "$(engine_procs)" ]; }
no_engine_left() {
  if wait_for 10 engine_gone; then return 0; fi
  echo "engine processes left behind: $(engine_procs | tr '\n' ' ')"
  exit 1
}

# --- the local web server ------------------------------------------------------

start_server() {
  server_log="$home/requests.log"
  : >"$server_log"
  "$python" "$e2e_dir/server.py" --root "$e2e_dir/pages" --log "$server_log" \
    --port-file "$home/port" --parent $$ --limit 1200 &
  server_pid=$!
  must "the local web server starts" wait_for 15 test -s "$home/port"
  port=$(cat "$home/port")
  site="http://127.0.0.1:$port"
}
# How many times the server saw an event (GET, DONE, ABORT) for a path.
requests() {  # requests <event> <path> [client]
  awk -v e="$1" -v p="$2" -v c="${3:-}" '$2 == e && $3 == p && (c == "" || $4 == c)' "$server_log" | wc -l
}
request_count_at_least() { [ "$(requests "$1" "$2" "${4:-}")" -ge "$3" ]; }
wait_request() {  # wait_request <seconds> <event> <path> <count> [client]
  local limit=$1; shift
  wait_for "$limit" request_count_at_least "$@"
}

# --- sound -------------------------------------------------------------------

# A PulseAudio daemon of the test's own, with one null sink whose monitor is
# recorded from now on. The program finds it through PULSE_SERVER. A null
# sink with nothing to play renders in blocks of seconds, and its recording
# lags behind by as much, where a sound card plays on: a silent stream keeps
# the sink playing with a short latency, as a card would, and with rewinds
# off the recording holds just what a card would have played.
start_sound() {
  local run="$home/pulse"
  mkdir -p "$run"
  cat >"$run/default.pa" <<EOF
load-module module-null-sink sink_name=e2e_sink rate=44100 norewinds=1
set-default-sink e2e_sink
set-default-source e2e_sink.monitor
load-module module-native-protocol-unix auth-anonymous=1 socket=$run/native
EOF
  XDG_RUNTIME_DIR="$run" PULSE_RUNTIME_PATH="$run" \
    pulseaudio -n -F "$run/default.pa" --exit-idle-time=-1 --daemonize=no --use-pid-file=no \
    --disallow-exit --log-target=file:"$run/daemon.log" >/dev/null 2>&1 &
  pulse_pid=$!
  export PULSE_SERVER="unix:$run/native"
  if ! wait_for 10 test -S "$run/native" || ! wait_for 10 pactl info >/dev/null 2>&1; then
    echo "no sound daemon: $(tail -3 "$run/daemon.log" 2>/dev/null)"
    kill "$pulse_pid" 2>/dev/null; pulse_pid=""
    unset PULSE_SERVER
    return 1
  fi
  pacat --playback --raw --format=s16le --rate=44100 --channels=2 --latency-msec=10 \
    --client-name=keeper </dev/zero 2>/dev/null &
  keeper_pid=$!
  recording="$home/sound.raw"
  parec -d e2e_sink.monitor --raw --format=s16le --rate=16000 --channels=1 --latency-msec=40 >"$recording" 2>/dev/null &
  rec_pid=$!
  wait_for 10 test -s "$recording" || { echo "recorder did not start"; return 1; }
  local bytes
  bytes=$(stat -c %s "$recording")
  rec_start=$(awk -v n="$(date +%s.%N)" -v b="$bytes" 'BEGIN { printf "%.3f", n - b / 32000 }')
}
sound_py() { "$python" "$e2e_dir/sound.py" "$@"; }
# Seconds since the recording began.
sound_time() { awk -v n="$(date +%s.%N)" -v s="$rec_start" 'BEGIN { printf "%.3f", n - s }'; }
# Waits until the sound card has been silent for a while, so the next sound
# can only come from the next action.
sound_quiet() { sound_py wait-quiet "$recording" "${1:-0.8}" "${2:-20}" >/dev/null; }
# True when a sound starts within <seconds> after <time>.
sound_heard_after() {  # sound_heard_after <time> [seconds]
  local from to out
  from=$(awk -v t="$1" 'BEGIN { printf "%.3f", t - 0.3 }')
  to=$(awk -v t="$1" -v w="${2:-4}" 'BEGIN { printf "%.3f", t + w }')
  out=$(sound_py heard "$recording" "$from" "$to" 20) || { echo "    $out"; return 1; }
  echo "    sound at $(cut -d' ' -f1 <<<"$out") s (action at $1 s)"
}
keep_recording() { [ -n "${recording:-}" ] && cp "$recording" "$shots/${e2e_name}-sound.raw" 2>/dev/null; }

# --- start-up --------------------------------------------------------------------

start_wm
if [ "${E2E_START:-now}" != later ]; then
  start_program
fi
