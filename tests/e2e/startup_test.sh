#!/usr/bin/env bash
# Starts the real program on the display CTest runs under, clicks the splash
# window, and waits for the main window's loading title. Saves screenshots.
set -euo pipefail
program="$1"
shots="${NIMBREL_SHOTS:-$(dirname "$program")/../shots}"
mkdir -p "$shots"
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-background-networking --disable-component-update --no-first-run"
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

# The splash has no caption of its own; the window system shows the program's name.
splash_window() { xdotool search --pid "$pid" --onlyvisible --name '^Nimbrel$' 2>/dev/null | head -1; }
has_splash() { [ -n "$(splash_window)" ]; }
wait_for 20 has_splash || { echo "no splash window"; cat "$home/log"; exit 1; }
splash=$(splash_window)
sleep 0.5
import -window root "$shots/splash.png" 2>/dev/null || true

eval "$(xdotool getwindowgeometry --shell "$splash")"
xdotool mousemove $((X + 20)) $((Y + 20)) click 1

main_title() { xdotool search --pid "$pid" --onlyvisible --name '^Nimbrel - \[' 2>/dev/null | head -1; }
has_main() { [ -n "$(main_title)" ]; }
wait_for 60 has_main || { echo "no main window"; cat "$home/log"; exit 1; }
title=$(xdotool getwindowname "$(main_title)")
echo "main window title: $title"
case "$title" in
  "Nimbrel - [Going to: https://www.wikipedia.org/]"|"Nimbrel - [Begining Download]"|"Nimbrel - [Idle]"|"Nimbrel - [Download Complete]"|"Nimbrel - [Done Loading]"|"Nimbrel - [Done Loading Document]"|"Nimbrel - [ "*" ] - [ Reading "*) ;;
  *) echo "unexpected title"; exit 1 ;;
esac
sleep 2
import -window root "$shots/main.png" 2>/dev/null || true

# The menu button pops the tools menu up at the pointer; Windows > Misc. > Browser Status.
main=$(main_title)
xdotool mousemove --window "$main" 30 10 click 1
sleep 0.7
import -window root "$shots/menu.png" 2>/dev/null || true
xdotool key Down Down Down Right Down Down Right Return
status_window() { xdotool search --pid "$pid" --onlyvisible --name '^Browser Status +NB$' 2>/dev/null | head -1; }
has_status() { [ -n "$(status_window)" ]; }
wait_for 20 has_status || { echo "no status window"; exit 1; }
for w in $(xdotool search --pid "$pid" --onlyvisible --name '.' 2>/dev/null); do echo "visible: [$(xdotool getwindowname "$w")]"; done
sleep 0.5
import -window root "$shots/status.png" 2>/dev/null || true

# Closing the main window ends the program and leaves no engine process behind.
wmctrl -i -c "$(main_title)"
ended() { ! kill -0 "$pid" 2>/dev/null; }
wait_for 20 ended || { echo "program did not end"; exit 1; }
wait "$pid" || true
sleep 1
if pgrep -f "QtWebEngineProcess.*$home" >/dev/null; then echo "engine processes left behind"; exit 1; fi
echo "1 passed, 0 failed"
