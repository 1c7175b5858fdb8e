#!/usr/bin/env bash
# Big user files, measured from outside the real program:
#  - notes of 10 MB and 50 MB: seconds from choosing "Notepad" until the pad
#    has read the file (it writes it once when the text is in), then the
#    milliseconds from a key press until the file on disk holds the key
#    (median and worst of 9), and the program's memory;
#  - 1 000 000 favourites: seconds from choosing "Favorite Places" until the
#    window shows its list, and the memory;
#  - one favourites entry of 50 MB: seconds until the window shows, and the
#    milliseconds from Enter on an Add until the file holds the new entry.
# Usage: bench/bigfile_bench.sh <program> [case...]   (on a display of its own
# when none is set)
# Cases: notes10 notes50 fav1m longentry (default: all). PERF_DIR=<dir> also
# records a perf profile of the program in each case (<dir>/<case>.data).
set -uo pipefail
built=$(readlink -f "$1")
source "$(dirname "$0")/../tests/harness/harness.sh"
harness_display 1280x1024x24 bash "$0" "$@"
harness_home
start_wm
poll_s=0.005  # the times below are polled for: every 5 ms

mtime_changed() { [ "$(stat -c %Y.%y "$1")" != "$2" ]; }
size_is() { [ "$(stat -c %s "$1")" = "$2" ]; }
rss_mb() { echo $(( $(awk '/VmRSS/{print $2}' /proc/$pid/status) / 1024 )); }

start() {  # start <program directory>
  program="$1/$(basename "$built")"
  start_program
  wait_for 30 has_window '^(Nimbrel)?$'; sleep 0.3
  xdotool mousemove --window "$(window_named '^(Nimbrel)?$')" 20 20 click 1
  wait_for 60 has_window '^Nimbrel - .'; sleep 1
  perf_pid=0
  if [ -n "${PERF_DIR:-}" ]; then
    perf record -q -F 499 -g -p "$pid" -o "$PERF_DIR/$case_name.data" >/dev/null 2>&1 &
    perf_pid=$!
    sleep 0.5
  fi
}
stop() {
  if [ "${perf_pid:-0}" != 0 ]; then kill -INT "$perf_pid" 2>/dev/null; wait "$perf_pid" 2>/dev/null; fi
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
}

notes_case() {  # notes_case <megabytes>
  local dir="$work/notes$1"
  program_copy "$built" "$dir"
  local line='The notes of a long day, line after line of them, 0123456789.'
  yes "$line" | head -c $(( $1 * 1024 * 1024 )) | sed 's/$/\r/' >"$dir/Notes.TXT"
  printf '\r\n' >>"$dir/Notes.TXT"
  start "$dir"
  local before; before=$(stat -c %Y.%y "$dir/Notes.TXT")
  local t0; t0=$(now_ms)
  menu_after 0.6 "${menu_notepad[@]}"
  wait_for 60 mtime_changed "$dir/Notes.TXT" "$before"
  local open_ms=$(( $(now_ms) - t0 ))
  wait_for 30 has_window '^Notepad +NB$'
  sleep 1
  xdotool mousemove --window "$(window_named '^Notepad +NB$')" 100 100 click 1
  xdotool key --clearmodifiers ctrl+End
  sleep 1
  local times=() size
  for _ in $(seq 1 9); do
    size=$(stat -c %s "$dir/Notes.TXT")
    t0=$(now_ms)
    xdotool key x
    wait_for 20 size_is "$dir/Notes.TXT" $((size + 1))
    times+=($(( $(now_ms) - t0 )))
    sleep 0.3
  done
  local sorted; sorted=$(printf '%s\n' "${times[@]}" | sort -n)
  echo "notes $1 MB: opened in $((open_ms)) ms; key to file: median $(echo "$sorted" | sed -n 5p) ms, worst $(echo "$sorted" | tail -1) ms; memory $(rss_mb) MB"
  stop
}

favourites_case() {
  local dir="$work/fav1m"
  program_copy "$built" "$dir"
  seq -f 'www.site%07g.example/path' 1 1000000 | sed 's/$/\r/' >"$dir/FavPlaces.TXT"
  start "$dir"
  local t0; t0=$(now_ms)
  menu_after 0.6 "${menu_favorites[@]}"
  wait_for 60 has_window '^Favorite Places +NB$'
  echo "favourites 1 000 000 entries: window with its list in $(( $(now_ms) - t0 )) ms; memory $(rss_mb) MB"
  stop
}

long_entry_case() {
  local dir="$work/longentry"
  program_copy "$built" "$dir"
  { printf 'www.'; head -c $((50 * 1024 * 1024)) /dev/zero | tr '\0' 'x'; printf '\r\n'; } >"$dir/FavPlaces.TXT"
  start "$dir"
  local t0; t0=$(now_ms)
  menu_after 0.6 "${menu_favorites[@]}"
  wait_for 120 has_window '^Favorite Places +NB$'
  local open_ms=$(( $(now_ms) - t0 ))
  sleep 1
  xdotool mousemove --window "$(window_named '^Favorite Places +NB$')" 200 18 click 1
  xdotool key --clearmodifiers ctrl+a
  xdotool type 'new'
  local size; size=$(stat -c %s "$dir/FavPlaces.TXT")
  t0=$(now_ms)
  xdotool key Return
  wait_for 120 size_is "$dir/FavPlaces.TXT" $((size + 5))
  echo "favourites with one 50 MB entry: window in $open_ms ms; Add written in $(( $(now_ms) - t0 )) ms; memory $(rss_mb) MB"
  stop
}

cases=("${@:2}")
[ ${#cases[@]} -gt 0 ] || cases=(notes10 notes50 fav1m longentry)
for case_name in "${cases[@]}"; do
  case "$case_name" in
    notes10) notes_case 10 ;;
    notes50) notes_case 50 ;;
    fav1m) favourites_case ;;
    longentry) long_entry_case ;;
    *) echo "unknown case $case_name" >&2 ;;
  esac
done
