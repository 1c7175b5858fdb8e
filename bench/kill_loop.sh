#!/usr/bin/env bash
# Kills the real program while it writes the user's files and counts torn
# files. Four series: favourites writes (Add pressed over and over on a list
# of 20 000 entries) and notes typing (into 4 MB of notes), each in a writable
# program directory and in a read-only one run as an ordinary user (the files
# then live in the user's data folder). After every kill the file must hold
# the old or a new whole content; after the series one clean run must have
# removed every temporary file the kills left.
#
# The four series run side by side, each on a display of its own (xvfb-run
# starts one per series, the first free number from NIMBREL_DISPLAY_FROM up),
# so 4 x 300 kills take the time of about one series.
#
# Usage: bench/kill_loop.sh <program> [kills per series, default 300]
# Prints one line per series: kills, torn files, leftovers, seconds.
set -uo pipefail
built=$(readlink -f "$1")
kills="${2:-300}"
source "$(dirname "$0")/../tests/harness/harness.sh"
if [ -z "${KILL_SERIES:-}" ]; then
  series_list="fav:writable notes:writable"
  if id nobody >/dev/null 2>&1 && command -v setpriv >/dev/null; then
    series_list+=" fav:readonly notes:readonly"
  fi
  out=$(mktemp -d)
  echo "progress in $out/*.progress" >&2
  children=()
  display_from=${NIMBREL_DISPLAY_FROM:-99}
  for s in $series_list; do
    # Each series looks for a display from a number of its own, a second
    # after the one before, so no two take the same.
    KILL_SERIES=$s NIMBREL_DISPLAY_FROM=$((display_from + ${#children[@]})) env -u DISPLAY \
      bash "$0" "$built" "$kills" >"$out/${s/:/-}" 2>"$out/${s/:/-}.progress" &
    children+=($!)
    sleep 1
  done
  for c in "${children[@]}"; do wait "$c"; done
  cat "$out"/*
  rm -rf "$out"
  exit 0
fi
harness_display 1280x1024x24 bash "$0" "$built" "$kills"
harness_home
chmod 755 "$home" "$work"  # the read-only series' user reaches its files in $work
start_wm
poll_s=0.05

# The favourites: 20 000 entries, then whatever Adds got through, each "www.add".
fav_seed() { for i in $(seq 1 20000); do printf 'www.entry%05d.example/some/path\r\n' "$i"; done; }
# The notes: 4 MB of lines, to which "x" keys are appended.
notes_seed() { local line='the notes of a long day, line after line of them.'; yes "$line" | head -n 80000 | sed 's/$/\r/'; }

fav_whole() {  # the seed, then zero or more "www.add" lines, nothing else
  python3 - "$1" "$work/fav.seed" <<'EOF'
import sys
data = open(sys.argv[1], 'rb').read(); seed = open(sys.argv[2], 'rb').read()
rest = data[len(seed):] if data.startswith(seed) else None
ok = rest is not None and len(rest) % len(b'www.add\r\n') == 0 and rest == b'www.add\r\n' * (len(rest) // 9)
sys.exit(0 if ok else 1)
EOF
}
notes_whole() {  # the seed less its last CR LF, then zero or more "x", then CR LF
  python3 - "$1" "$work/notes.seed" <<'EOF'
import sys
data = open(sys.argv[1], 'rb').read(); seed = open(sys.argv[2], 'rb').read()[:-2]
ok = data.startswith(seed) and data.endswith(b'\r\n') and set(data[len(seed):-2]) <= {ord('x')}
sys.exit(0 if ok else 1)
EOF
}

# Starts the program of the series, enters, opens the series' window and puts
# the text cursor where the typing goes; fails where a window did not come.
open_series_window() {
  "${runner[@]}" "$dir/$(basename "$built")" >/dev/null 2>&1 &
  pid=$!
  wait_for 30 has_window '^(Nimbrel)?$' || return 1
  sleep 0.3
  xdotool mousemove --window "$(window_named '^(Nimbrel)?$')" 20 20 click 1
  wait_for 60 has_window '^Nimbrel - .' || return 1
  if [ "$kind" = fav ]; then
    menu_after 0.5 "${menu_favorites[@]}"
    wait_for 30 has_window '^Favorite Places +NB$' || return 1
    sleep 0.3
    xdotool mousemove --window "$(window_named '^Favorite Places +NB$')" 200 18 click 1
    xdotool key --clearmodifiers ctrl+a
  else
    menu_after 0.5 "${menu_notepad[@]}"
    wait_for 30 has_window '^Notepad +NB$' || return 1
    sleep 0.3
    xdotool mousemove --window "$(window_named '^Notepad +NB$')" 100 100 click 1
    xdotool key --clearmodifiers ctrl+End
  fi
}

series() {  # series <fav|notes> <writable|readonly>
  local kind=$1 place=$2 dir="$work/$1-$2" user_home="$work/$1-$2-home" torn=0 done_kills=0 start=$SECONDS
  program_copy "$built" "$dir"
  mkdir -p "$user_home"
  local file="$dir/FavPlaces.TXT"
  [ "$kind" = notes ] && file="$dir/Notes.TXT"
  [ "$kind" = fav ] && cp "$work/fav.seed" "$file" || cp "$work/notes.seed" "$file"
  local runner=(env HOME="$user_home" XDG_DATA_HOME="$user_home/data" XDG_CACHE_HOME="$user_home/cache"
                XDG_CONFIG_HOME="$user_home/config")
  if [ "$place" = readonly ]; then
    chmod -R a+rX,a-w "$dir"
    chown -R nobody "$user_home"
    cp "${XAUTHORITY:-/dev/null}" "$work/xauth" 2>/dev/null || : >"$work/xauth"
    chmod 644 "$work/xauth"
    runner=(setpriv --reuid=nobody --regid=nogroup --clear-groups "${runner[@]}" XDG_RUNTIME_DIR="$user_home"
            XAUTHORITY="$work/xauth" DISPLAY="$DISPLAY" QTWEBENGINE_DISABLE_SANDBOX=1
            QTWEBENGINE_CHROMIUM_FLAGS="$QTWEBENGINE_CHROMIUM_FLAGS")
    file="$user_home/data/Nimbrel/$(basename "$file")"
  fi
  local check=fav_whole
  [ "$kind" = notes ] && check=notes_whole
  while [ "$done_kills" -lt "$kills" ]; do
    open_series_window || { kill -9 $pid; continue; }
    if [ "$kind" = fav ]; then
      xdotool type --delay 1 'www.add'
      # Enter adds, and the box is "www." again: type the rest and add again.
      ( for _ in $(seq 1 40); do xdotool key Return; xdotool type --delay 1 'add'; done ) &
    else
      ( xdotool type --delay 5 "$(printf 'x%.0s' $(seq 1 200))" ) &
    fi
    local typist=$!
    sleep "0.$((RANDOM % 900 + 50))"
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    kill "$typist" 2>/dev/null; wait "$typist" 2>/dev/null
    done_kills=$((done_kills + 1))
    [ $((done_kills % 25)) -eq 0 ] && echo "  $kind $place: $done_kills kills so far, $torn torn, $((SECONDS - start)) s" >&2
    if [ -e "$file" ] && ! "$check" "$file"; then
      torn=$((torn + 1))
      cp "$file" "$work/torn-$kind-$place-$done_kills"
    fi
  done
  # One clean run that writes once: the leftovers of the kills must be gone.
  if open_series_window; then
    if [ "$kind" = fav ]; then xdotool type 'www.add'; xdotool key Return; else xdotool type x; fi
  fi
  sleep 2
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  local left
  left=$(find "$dir" "$user_home" -name '.*.part' 2>/dev/null | wc -l)
  "$check" "$file" || torn=$((torn + 1))
  echo "$kind $place: $done_kills kills, $torn torn, $left temporary files left, $((SECONDS - start)) s"
}

fav_seed >"$work/fav.seed"
notes_seed >"$work/notes.seed"
series "${KILL_SERIES%%:*}" "${KILL_SERIES##*:}"
