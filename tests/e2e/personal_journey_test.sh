#!/usr/bin/env bash
# The tool windows a user opens from the tools menu, driven with keyboard and
# mouse only: favourite places (Add by Enter and by the button, Del, a
# double-click that opens an entry in the main browser, the file compared
# byte for byte), the notepad (typing, non-ASCII text included, is on disk at
# once), the links panel (descriptions on hover, a double-click on an edited
# slot), the About window, the drive explorer, "Go Idle" from the menu and
# "Exit". Opening and closing sounds are recorded and must be heard.
set -uo pipefail
source "$(dirname "$0")/../harness/harness.sh"
harness_home "$1"
start_wm
start_server
start_listening
close_and_hear() {  # close_and_hear <window> <title regex> <what>
  before_sound
  t=$(now)
  close_window "$1"
  check "$3 closes" wait_for 10 no_window "$2"
  heard "$3's closing" "$t"
}
file_is() {  # file_is <file> <printf format of the expected bytes>
  local want
  want=$(mktemp)
  printf "$2" >"$want"
  cmp -s "$1" "$want"
  local r=$?
  rm -f "$want"
  return $r
}
show_file() { echo "    $(basename "$1"): $(od -An -c "$1" 2>/dev/null | tr -s ' ' | head -c 300)"; }
main_shows() {  # main_shows <colour>
  local v; read -r -a v <<<"$(view_centre)"
  wait_pixel 15 "$(main_window)" "${v[0]}" "${v[1]}" "$1"
}

start_program
open_main_window

# --- favourite places -----------------------------------------------------------
favs="$progdir/FavPlaces.TXT"
fav_regex='^Favorite Places {14}NB$'
open_from_menu "$fav_regex" "favourite places window" "${menu_favorites[@]}"
fav=$(window_named "$fav_regex")
heard "the favourite places window's opening" "$t"
check "a first opening creates no favourites file" test ! -e "$favs"
type_into "$fav" 220 20 "$site/fav.html"
before_sound
t=$(now)
xdotool key Return
check "Enter in the address box adds the entry to the file" wait_for 5 file_is "$favs" "$site/fav.html\r\n" || show_file "$favs"
heard "Enter's click in the favourites" "$t"
type_into "$fav" 220 20 "$site/b.html"
before_sound
t=$(now)
click_at "$fav" 36 20
check "the Add button adds the entry to the file" wait_for 5 file_is "$favs" "$site/fav.html\r\n$site/b.html\r\n" || show_file "$favs"
heard "the Add button's click" "$t"
type_into "$fav" 220 20 "Grüße aus Köln"
xdotool key Return
check "a non-ASCII entry is added" wait_for 5 file_is "$favs" "$site/fav.html\r\n$site/b.html\r\nGrüße aus Köln\r\n" || show_file "$favs"
sleep 0.5
shot_window favorites "$fav"
# The first row, then End to select the last one, then Del.
click_at "$fav" 60 48
xdotool key End
sleep 0.3
click_at "$fav" 108 20
check "Del removes the selected entry from the file" wait_for 5 file_is "$favs" "$site/fav.html\r\n$site/b.html\r\n" || show_file "$favs"
click_at "$fav" 60 48
double_click_at "$fav" 60 48
check "a double-click on an entry opens it in the main browser (server log)" wait_request 15 GET /fav.html 1 engine
check "the main browser shows the favourite (pixels)" main_shows 200,200,30
close_and_hear "$fav" "$fav_regex" "the favourite places window"
open_from_menu "$fav_regex" "favourite places window again" "${menu_favorites[@]}"
fav=$(window_named "$fav_regex")
sleep 1
check "reopening reads the list and leaves the file as it was" file_is "$favs" "$site/fav.html\r\n$site/b.html\r\n"
check "reopened list shows its entries" test "$(region_light "$fav" 8 40 289 40)" -gt 30
shot_window favorites-reopened "$fav"
close_window "$fav"
wait_for 10 no_window "$fav_regex" || true

# --- notepad ------------------------------------------------------------------------------
notes="$progdir/Notes.TXT"
pad_regex='^Notepad {24}NB$'
open_from_menu "$pad_regex" "notepad window" "${menu_notepad[@]}"
pad=$(window_named "$pad_regex")
heard "the notepad's opening" "$t"
click_at "$pad" 170 120
type_text "abc"
check "typing is in the notes file at once" wait_for 3 file_is "$notes" 'abc\r\n' || show_file "$notes"
xdotool key Return
type_text "Grüße – naïve café, 5 € ✓"
check "non-ASCII typing is in the notes file at once, line break as CR LF" \
  wait_for 3 file_is "$notes" 'abc\r\nGrüße – naïve café, 5 € ✓\r\n' || show_file "$notes"
sleep 0.3
shot_window notepad "$pad"
close_and_hear "$pad" "$pad_regex" "the notepad"
cp "$notes" "$home/notes-before"
open_from_menu "$pad_regex" "notepad window again" "${menu_notepad[@]}"
pad=$(window_named "$pad_regex")
sleep 1
check "reopening the notepad leaves the notes file byte for byte" cmp -s "$notes" "$home/notes-before"
check "reopened notepad shows the text" test "$(region_light "$pad" 0 0 300 60)" -gt 30
shot_window notepad-reopened "$pad"
close_window "$pad"
wait_for 10 no_window "$pad_regex" || true

# --- links ------------------------------------------------------------------------------------
links_regex='^Links {32}NB$'
open_from_menu "$links_regex" "links window" "${menu_links[@]}"
links=$(window_named "$links_regex")
heard "the links window's opening" "$t"
sleep 0.5
description() { region_sum "$links" 184 184 137 41; }
described() { [ "$(region_light "$links" 184 184 137 41)" -gt 15 ]; }
undescribed() { [ "$(region_light "$links" 184 184 137 41)" -le 3 ]; }
hover() { xdotool mousemove --window "$links" "$1" "$2" sleep 0.05 mousemove --window "$links" $(($1 + 2)) "$2"; sleep 0.4; }
check "the description box is empty at first" undescribed
hover 80 49    # slot One
check "hovering over a link shows its description" wait_for 3 described
d1=$(description)
shot_window links-hover "$links"
hover 80 73    # slot Two
check "another link shows another description" wait_for 3 test "$(description)" != "$d1"
hover 250 17   # slot Seven
d7=$(description)
hover 250 41   # slot Eight, same group
check "two links of one group share their description" test "$(description)" = "$d7"
hover 252 204  # the description label itself
check "the description label reads its own text" test "$(description)" != "$d7"
check "the description label is not empty" described
hover 168 100  # the background between the columns
check "the background empties the description" wait_for 3 undescribed
type_into "$links" 80 49 "$site/link.html"
double_click_at "$links" 80 49
check "a double-click on an edited link opens the edited text (server log)" wait_request 15 GET /link.html 1 engine
check "the main browser shows the edited link (pixels)" main_shows 30,200,200
shot_window links "$links"
close_and_hear "$links" "$links_regex" "the links window"

# --- About --------------------------------------------------------------------------------------
# The About window has no caption: it is the program's visible window that is
# neither the main window nor another titled one.
about_window() {
  local w
  for w in $(program_windows); do
    [[ "$(title_of "$w")" =~ ^(Nimbrel)?$ ]] || continue
    read -r -a ag <<<"$(geometry "$w")"
    [ "${ag[2]}" -lt 1000 ] && { echo "$w"; return 0; }
  done
}
has_about() { [ -n "$(about_window)" ]; }
menu "${menu_about[@]}"
if wait_for 20 has_about; then
  about=$(about_window)
  ok "About window appears"
  heard "the About window's opening" "$t"
  check "About window has an empty caption (_NET_WM_NAME '$(net_wm_name "$about")', WM_NAME '$(wm_name "$about")')" \
    test -z "$(net_wm_name "$about")$(wm_name "$about")"
  sleep 0.5
  check "About window shows its texts" test "$(region_light "$about" 0 0 433 353)" -gt 500
  shot_window about "$about"
  before_sound
  t=$(now)
  close_window "$about"
  check "About window closes" wait_for 10 test -z "$(about_window)"
  heard "the About window's closing" "$t"
else
  bad "About window appears"
fi

# --- drive explorer ------------------------------------------------------------------------------
drives_regex='^C: Explorer {27}NB$'
open_from_menu "$drives_regex" "drive explorer" "${menu_drives[@]}"
drives=$(window_named "$drives_regex")
heard "the drive explorer's opening" "$t"
listing() { [ "$(region_dark "$drives" 0 0 393 298)" -gt 800 ]; }
check "the drive explorer shows the root listing" wait_for 20 listing
sleep 0.5
shot_window drive-explorer "$drives"
close_and_hear "$drives" "$drives_regex" "the drive explorer"

# --- Go Idle from the menu -------------------------------------------------------------------------
menu "${menu_idle[@]}"
check "the menu's Go Idle hides the main window" wait_for 10 no_window '^Nimbrel - '
if wait_for 10 has_window '^(Nimbrel)?$'; then
  idle=$(window_named '^(Nimbrel)?$')
  sleep 1
  check "the idle screen draws" test "$(region_colours "$idle" 0 0 1280 1024)" -gt 8
  click_at "$idle" 300 300
  check "a click on the idle screen gives the main window back" wait_for 10 has_window '^Nimbrel - '
else
  bad "the idle screen appears"
fi

# --- Exit ---------------------------------------------------------------------------------------------
menu "${menu_exit[@]}"
check "Exit ends the program" wait_for 20 ended
silent_after() { ! sound_heard_after "$1" 2 >/dev/null; }
[ "$sound" = yes ] && check "Exit plays no sound" silent_after "$t"
check "no engine process is left" wait_for 10 engine_gone

[ "$sound" = yes ] && { echo "sound onsets (s): $(sound_py onsets "$recording")"; [ "$failed" -gt 0 ] && keep_recording; }
finish
