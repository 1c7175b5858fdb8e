#!/usr/bin/env bash
# Starts the real program, clicks the splash window, sees the main window's
# loading title, opens the browser status window from the tools menu, and
# closes the main window, which ends the program. Saves screenshots.
set -euo pipefail
source "$(dirname "$0")/../harness/harness.sh"
harness_home "$1"
start_wm
start_program

enter
title=$(xdotool getwindowname "$(window_named '^Nimbrel - .')")
echo "main window title: $title"
case "$title" in
  "Nimbrel - [Going to: https://www.wikipedia.org/]"|"Nimbrel - [Begining Download]"|"Nimbrel - [Idle]"|"Nimbrel - [Download Complete]"|"Nimbrel - [Done Loading]"|"Nimbrel - [Done Loading Document]"|"Nimbrel - [ "*" ] - [ Reading "*) ;;
  *) echo "unexpected title"; exit 1 ;;
esac
sleep 2
shot main
# The icon is given to the first window the window manager shows (the
# splash is not managed): the main window carries it for the task bar.
icon_sizes() { xprop -id "$1" _NET_WM_ICON 2>/dev/null | grep -o 'Icon ([0-9]* x [0-9]*)' | sort -u | wc -l; }
check "the main window carries the program's icon" test "$(icon_sizes "$(window_named '^Nimbrel - .')")" -ge 1

# Windows > Misc. > Browser Status.
menu Down Down Down Right Down Down Right
shot menu
xdotool key Return
need_window 20 '^Browser Status +NB$' "status window"
sleep 0.5
shot status

wmctrl -i -c "$(window_named '^Nimbrel - .')"
wait_for 20 ended || { echo "program did not end"; exit 1; }
no_engine_left
ok "the program ends with its main window, no engine process left"
finish
