#!/usr/bin/env bash
# Opens tool windows from the tools menu of the real program: favourite places,
# the HTML editor with a preview in its own browser, then ends the program with
# the menu's "Exit". Saves screenshots.
set -euo pipefail
source "$(dirname "$0")/../harness/harness.sh"
harness_home "$1"
start_wm
start_program

enter
menu Down Return
need_window 20 '^Favorite Places +NB$' "favourite places window"

# Windows > HTML > HTML Editor, then its Preview button.
menu Down Down Down Right Down Right Return
need_window 20 '^Nimbrel HTML Editor +NB$' "HTML editor"
sleep 0.5
xdotool mousemove --window "$(window_named '^Nimbrel HTML Editor +NB$')" 230 333 click 1
need_window 60 '^NB Editor - .Web Page .$' "preview browser showing the starter page"
sleep 1
shot tools
test -f "$(dirname "$program")/Preview.html" || { echo "no preview file"; exit 1; }

# "Exit" is the last entry.
menu Up Return
wait_for 20 ended || { echo "program did not end"; exit 1; }
no_engine_left
echo "1 passed, 0 failed"
