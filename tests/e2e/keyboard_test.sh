#!/usr/bin/env bash
# Drives the real program with the keyboard alone, no pointer at all: enters
# from the splash with Return, opens the tools menu with F10 and the notepad
# from it, types a note, goes to two local pages, Back (Alt+Left), Refresh
# (F5), Stop (Escape), and ends with Ctrl+Q. Checked by what the screen and
# the disk show: window titles, the page's colours, the notes file.
set -euo pipefail
source "$(dirname "$0")/../harness/harness.sh"
harness_home "$1"
start_wm
start_program

program_dir=$(dirname "$program")
notes="$program_dir/Notes.TXT"
# The notes file of the program directory belongs to whoever runs the build;
# it is put back as it was.
kept_notes="$home/Notes.TXT.kept"
[ -f "$notes" ] && cp -p "$notes" "$kept_notes"
restore_notes() {
  if [ -f "$kept_notes" ]; then cp -p "$kept_notes" "$notes"; else rm -f "$notes"; fi
}
at_exit restore_notes

# Two pages: one red with a corner square that turns from black to white (or
# back) on every load of the page, one blue.
pages="$home/pages"
mkdir -p "$pages"
cat >"$pages/one.html" <<'HTML'
<!doctype html><title>One</title>
<style>html,body{margin:0;height:100%;background:#ff0000}#box{width:120px;height:120px}</style>
<div id="box"></div>
<script>
// Counted in the window's name, which a reload keeps (a local page has no storage).
var n = (Number(window.name) || 0) + 1;
window.name = String(n);
document.getElementById('box').style.background = n % 2 ? '#000000' : '#ffffff';
</script>
HTML
cat >"$pages/two.html" <<'HTML'
<!doctype html><title>Two</title>
<style>html,body{margin:0;height:100%;background:#0000ff}</style>
HTML

main_title='^Nimbrel - .'
main_window() { window_named "$main_title"; }

# The colour at (x, y) of the main window's client area, as "#rrggbb".
pixel_at() {
  import -window "$(main_window)" "$home/pixel.png" 2>/dev/null || return 1
  convert "$home/pixel.png" -format "%[hex:p{$1,$2}]" info: 2>/dev/null | cut -c1-6 | sed 's/^/#/'
}
# The page lies below the address box: sample it well inside.
page_colour() { pixel_at 300 250; }
corner_colour() { pixel_at 40 100; }
page_is() { [ "$(page_colour)" = "$1" ]; }
corner_is() { [ "$(corner_colour)" = "$1" ]; }
corner_is_not() { [ "$(corner_colour)" != "$1" ]; }
need_page() {  # need_page <colour> <what>
  wait_for 30 page_is "$1" || { echo "page is $(page_colour), not $2"; cat "$home/log"; exit 1; }
}
focused_is_main() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$(main_window)" ]; }

# Goes to an address typed into the address box, reached with Ctrl+L, with
# the Go button: Tab passes the pop-up switch and the five buttons before it.
go_to() {
  xdotool key ctrl+l
  sleep 0.2
  xdotool type --delay 5 "$1"
  xdotool key Tab Tab Tab Tab Tab Tab Tab space
}

# The splash window has the focus as it appears; Return enters.
need_window 20 '^$' "splash window"
sleep 0.5
xdotool key Return
need_window 60 "$main_title" "main window"
wait_for 10 focused_is_main || { echo "main window has no focus"; exit 1; }
sleep 1

go_to "file://$pages/one.html"
need_page "#FF0000" "the red page"
wait_for 10 corner_is "#000000" || { echo "first load left the corner $(corner_colour)"; exit 1; }
go_to "file://$pages/two.html"
need_page "#0000FF" "the blue page"

# Back: the red page again.
xdotool key alt+Left
need_page "#FF0000" "the red page after Back"
# Refresh loads the page again: its corner changes colour. Ctrl+R does the same.
for keys in F5 ctrl+r; do
  before=$(corner_colour)
  xdotool key "$keys"
  wait_for 20 corner_is_not "$before" || { echo "$keys did not load the page again (corner still $before)"; exit 1; }
done
# Stop on a loaded page leaves it as it is, and the window keeps working.
xdotool key Escape
sleep 0.5
need_page "#FF0000" "the red page after Stop"
shot keyboard-main

# F10 opens the tools menu at the menu button: Windows > Misc. > Notepad.
xdotool key F10
sleep 0.7
xdotool key Down Down Down Right Down Down Right Down Down Return
need_window 20 '^Notepad +NB$' "notepad"
sleep 0.5
marker="typed by keyboard $$"
xdotool type --delay 20 "$marker"
wait_for 10 grep -qF "$marker" "$notes" \
  || wait_for 5 grep -rqF "$marker" "$home/data" \
  || { echo "the typed note is not on disk"; exit 1; }
shot keyboard-notepad

# Back to the main window with the window manager's key, then Ctrl+Q ends.
xdotool key alt+F4
notepad_gone() { [ -z "$(window_named '^Notepad +NB$')" ]; }
wait_for 10 notepad_gone || { echo "Alt+F4 did not close the notepad"; exit 1; }
wait_for 10 focused_is_main || xdotool key alt+Tab
wait_for 10 focused_is_main || { echo "main window did not get the focus back"; exit 1; }
xdotool key ctrl+q
wait_for 20 ended || { echo "Ctrl+Q did not end the program"; exit 1; }
sleep 1
if pgrep -f "QtWebEngineProcess.*$home" >/dev/null; then echo "engine processes left behind"; exit 1; fi
echo "1 passed, 0 failed"
