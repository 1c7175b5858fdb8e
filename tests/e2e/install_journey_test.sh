#!/usr/bin/env bash
# A system-wide install used by an ordinary user: the build is installed with
# `cmake --install` into a scratch prefix nobody may write to, and started
# from its launcher (PREFIX/bin/nimbrel) twice by a user of its own home -
# the user "nobody" when the suite runs as root, else the one running it.
# The first run types a note into the notepad and adds a favourite; the
# second finds both, adds to them, and the files in ~/.local/share/Nimbrel
# must hold both runs' text byte for byte, while not one file of the install
# has changed. Keys and clicks go through XTEST only.
set -euo pipefail
source "$(dirname "$0")/../harness/harness.sh"
harness_home "$1"
start_wm

build_dir=$(dirname "$(dirname "$built_program")")
chmod 755 "$home"

# --- the install ---------------------------------------------------------------
prefix="$home/prefix"
install_build() {
  cmake --install "$build_dir" --prefix "$prefix" >"$home/install.log" 2>&1 && return 0
  tail -5 "$home/install.log"
  return 1
}
must "cmake --install lays the build out in a prefix" install_build
must "the install has a launcher on its PATH" test -x "$prefix/bin/nimbrel"
must "the install has its program directory" test -x "$prefix/lib/nimbrel/nimbrel"
chmod -R a+rX,a-w "$prefix"
install_state() { (cd "$prefix" && find . -printf '%p %y %m %s %T@\n' | LC_ALL=C sort); }
install_state >"$home/install-before"

# --- the user --------------------------------------------------------------------
user_home="$home/user"
mkdir -p "$user_home/run"
chmod 700 "$user_home/run"
auth="$user_home/xauth"
if [ -n "${XAUTHORITY:-}" ] && [ -f "$XAUTHORITY" ]; then cp "$XAUTHORITY" "$auth"; else : >"$auth"; fi
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  has_user() { id -u "$1" >/dev/null 2>&1; }
  must "there is an ordinary user to run as" has_user nobody
  chown -R nobody:nogroup "$user_home"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
# The engine's sandbox runs when the kernel lets this user make a namespace;
# only when it cannot is it switched off, and the program must then say so.
sandbox=on
if ! "${as_user[@]}" unshare -U true 2>/dev/null; then sandbox=off; fi
echo "    running as $("${as_user[@]}" id -un), the engine's sandbox $sandbox"

data="$user_home/.local/share/Nimbrel"
run_log="$home/user-run.log"
start_installed() {
  local env_args=(env -u XDG_DATA_HOME -u XDG_CACHE_HOME -u XDG_CONFIG_HOME
    HOME="$user_home" XDG_RUNTIME_DIR="$user_home/run" XAUTHORITY="$auth" DISPLAY="$DISPLAY")
  [ "$sandbox" = off ] && env_args+=(QTWEBENGINE_DISABLE_SANDBOX=1)
  (cd / && exec "${as_user[@]}" "${env_args[@]}" "$prefix/bin/nimbrel") >"$run_log" 2>&1 &
  pid=$!
}
# The program ends as the menu's Exit ends it.
quit() {
  menu "${menu_exit[@]}"
  check "$1 ends with the menu's Exit" wait_for 20 ended
  wait "$pid" 2>/dev/null || true
  pid=""
}
bytes_are() {  # bytes_are <file> <printf format of the expected bytes>
  [ -f "$1" ] && [ "$(od -An -tx1 -v "$1")" = "$(printf "$2" | od -An -tx1 -v)" ]
}
show_file() { echo "    $1: $(od -An -c "$1" 2>/dev/null | tr -s ' ' | head -c 200)"; }

pad_regex='^Notepad +NB$'
fav_regex='^Favorite Places +NB$'
# One run: enter, add <text> to the end of the note and <address> to the favourites.
one_run() {  # one_run <which> <text> <address>
  start_installed
  enter
  menu "${menu_notepad[@]}"
  need_window 20 "$pad_regex" "notepad of the $1 run"
  pad=$(window_named "$pad_regex")
  sleep 0.5
  if [ "$1" = second ]; then
    check "the pad shows the first run's note" test "$(region_light "$pad" 0 0 300 30)" -gt 30
  fi
  click_at "$pad" 170 120
  xdotool key ctrl+End
  type_text "$2"
  sleep 0.5
  shot_window "install-notepad-$1" "$pad"
  close_window "$pad"
  wait_for 10 no_window "$pad_regex" || true
  menu "${menu_favorites[@]}"
  need_window 20 "$fav_regex" "favourite places of the $1 run"
  fav=$(window_named "$fav_regex")
  sleep 0.5
  type_into "$fav" 220 20 "$3"
  click_at "$fav" 36 20
  sleep 0.5
  shot_window "install-favorites-$1" "$fav"
  close_window "$fav"
  wait_for 10 no_window "$fav_regex" || true
}

one_run first "kept" "www.one.example"
check "the first run's note is in the user's data folder" wait_for 5 bytes_are "$data/Notes.TXT" 'kept\r\n' \
  || show_file "$data/Notes.TXT"
check "the first run's favourite is in the user's data folder" bytes_are "$data/FavPlaces.TXT" 'www.one.example\r\n' \
  || show_file "$data/FavPlaces.TXT"
quit "the first run"

one_run second " note" "www.two.example"
check "the second run found the note and wrote on at its end" \
  wait_for 5 bytes_are "$data/Notes.TXT" 'kept note\r\n' || show_file "$data/Notes.TXT"
check "the second run found the favourite and added the next after it" \
  bytes_are "$data/FavPlaces.TXT" 'www.one.example\r\nwww.two.example\r\n' || show_file "$data/FavPlaces.TXT"
# What the windows show after a fresh start: both lines of the list, the note.
menu "${menu_favorites[@]}"
need_window 20 "$fav_regex" "favourite places after two runs"
fav=$(window_named "$fav_regex")
sleep 0.7
check "the list shows its two entries" test "$(region_light "$fav" 8 40 289 40)" -gt 30
shot_window install-favorites-shown "$fav"
close_window "$fav"
wait_for 10 no_window "$fav_regex" || true
quit "the second run"

check "not one file of the install was written" cmp -s "$home/install-before" <(install_state)
check "no user file appeared in the program directory" \
  test ! -e "$prefix/lib/nimbrel/Notes.TXT" -a ! -e "$prefix/lib/nimbrel/FavPlaces.TXT"
check "the notes file is the user's alone" test "$(stat -c %a "$data/Notes.TXT")" = 600
if [ "$sandbox" = on ]; then
  check "with the sandbox on, no line says it is off" bash -c "! grep -q 'sandbox is' '$run_log'"
else
  check "with the sandbox off, one line says so" grep -q "sandbox is switched off" "$run_log"
fi
finish
