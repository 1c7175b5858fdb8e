# Shared by the end-to-end tests: starts the program on the current display
# with a window manager and a throw-away home, and offers waits on its windows.
# Source it with the program's path in $1.
program="$1"
shots="${NIMBREL_SHOTS:-$(dirname "$program")/../shots}"
mkdir -p "$shots"
# Everything but this machine goes to a proxy on a closed local port, so the
# start page fails at once and the same way every run.
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-background-networking --disable-component-update --no-first-run --proxy-server=http://127.0.0.1:9"
home=$(mktemp -d)
export HOME="$home" XDG_DATA_HOME="$home/data" XDG_CACHE_HOME="$home/cache" XDG_CONFIG_HOME="$home/config"

# A window manager, so closing a window goes through its close box as a user's would.
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
sleep 0.5

"$program" >"$home/log" 2>&1 &
pid=$!
cleanup() { kill "$pid" "$wm" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; rm -rf "$home"; }
trap cleanup EXIT

wait_for() {  # wait_for <seconds> <command...>
  local limit=$1; shift
  for _ in $(seq 1 $((limit * 10))); do
    if "$@"; then return 0; fi
    sleep 0.1
  done
  return 1
}
# The program's visible window whose title matches the extended regex $1.
# (Windows are found by their class and their titles compared here: xdotool's
# own title search misses windows a window manager has reparented.)
window_named() {
  local w
  for w in $(xdotool search --onlyvisible --classname '^nimbrel$' 2>/dev/null); do
    if [[ "$(xdotool getwindowname "$w" 2>/dev/null)" =~ $1 ]]; then echo "$w"; return 0; fi
  done
}
has_window() { [ -n "$(window_named "$1")" ]; }
need_window() {  # need_window <seconds> <title regex> <what>
  wait_for "$1" has_window "$2" || { echo "no $3"; cat "$home/log"; exit 1; }
}
shot() { import -window root "$shots/$1.png" 2>/dev/null || true; }
ended() { ! kill -0 "$pid" 2>/dev/null; }

# The splash has an empty caption, in the window system too (no program name).
enter() {
  need_window 20 '^$' "splash window"
  local splash; splash=$(window_named '^$')
  local names; names=$(xprop -id "$splash" _NET_WM_NAME WM_NAME)
  [ "$names" = "$(printf '_NET_WM_NAME(UTF8_STRING) = \nWM_NAME(STRING) = ')" ] || { echo "splash caption not empty: $names"; exit 1; }
  sleep 0.5
  shot splash
  xdotool mousemove --window "$splash" 20 20 click 1
  need_window 60 '^Nimbrel - .' "main window"
}

# Pops the tools menu up from the main window's menu button and types keys into it.
menu() {
  xdotool mousemove --window "$(window_named '^Nimbrel - .')" 30 10 click 1
  sleep 0.7
  xdotool key "$@"
}

# The engine's processes must all be gone once the program has ended.
no_engine_left() {
  sleep 1
  if pgrep -f "QtWebEngineProcess.*$home" >/dev/null; then echo "engine processes left behind"; exit 1; fi
}
