#!/usr/bin/env bash
# The program measured from outside, as a user's stopwatch would, each figure
# beside a baseline measured in the same run, as median [min-max] over RUNS
# runs (default 5). Input is XTEST (xdotool), titles and positions are read
# from X, memory and CPU from /proc, sound from a recording of a sound server
# of the benchmark's own (a null sink).
#   start -> splash mapped and first painted (X's map and damage events,
#   START_EACH starts a run)
#                                 vs a bare Qt Widgets window (baseline_window)
#   splash click -> slides over, the places the splash is seen at, and the
#   closing sound's onset after the click
#   Enter in the address box / click on Go -> "Done Loading Document"
#                                 vs Enter / a click on a Go button -> loadFinished
#                                 in a bare QWebEngineView, once as Qt sets it up
#                                 and once drawing in software (QT_QUICK_BACKEND)
#   PSS of the process tree with the page loaded        vs the bare view
#   idle CPU of the tree in each resting state           vs the bare view at rest
#   sound onset after a click on Back (ten clicks 0.5 s apart, how many heard)
#                                 vs paplay of the same file, from its start
# The engine never reaches past this machine: pages are local files, and
# everything else goes to a proxy on a closed local port.
# Usage: bench/startup_bench.sh [build-dir]   WM=none runs without a window manager;
#        IDLE_S sets the seconds of each idle-CPU window (default 10).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
source "$here/../tests/harness/harness.sh"
harness_display "${SCREEN:-1280x1024x24}" "$0" "$build"
runs=${RUNS:-5}
idle_s=${IDLE_S:-10}
# A resting user: no key or click for this long before an idle figure (text
# cursors stop blinking after five seconds without input).
rest_s=${REST_S:-6}
program_dir=${PROGRAM_DIR:-$build/program}  # PROGRAM_DIR measures another build of the program

harness_home
make_page
sound=0
start_sound && sound=1
start_wm

tree_pss_kb() {
  local sum=0 v
  for p in $(tree_pids "$1"); do v=$(awk '/^Pss:/{print $2}' "/proc/$p/smaps_rollup" 2>/dev/null || echo 0); sum=$((sum + ${v:-0})); done
  echo "$sum"
}
idle_cpu() { cpu_percent "$idle_s" "$1"; }  # percent of one core used by the tree of $1 over idle_s seconds
# Onsets of the sounds the sink plays, in epoch ms, into file $1. While it
# records, a silent stream keeps the sink playing with a short latency, as a
# sound card would: left alone, a null sink renders in blocks of seconds and
# its recording lags by as much. (A new sound may then be recorded up to that
# latency, 10 ms, late: the null sink's recording keeps what it had mixed
# before a rewind. The same holds for paplay's sounds beside them.)
record() {
  keep_playing
  parec -d "$sound_sink.monitor" --rate=8000 --channels=1 --format=s16le --latency-msec=5 2>/dev/null \
    | "$build/bench/sound_onset" 8000 >"$1" 2>"$1.state" & rec_pid=$!; pids+=($rec_pid)
  for _ in $(seq 1 300); do grep -q recording "$1.state" 2>/dev/null && break; sleep 0.01; done
  sleep 0.2
}
stop_record() {
  pkill -P "$rec_pid" 2>/dev/null || true; kill "$rec_pid" "$keeper_pid" 2>/dev/null || true
  wait "$rec_pid" "$keeper_pid" 2>/dev/null || true
}
# The ms from time $2 to the first onset in file $1 that belongs to it. An
# onset is known to a 5 ms window and the arrival of its block, so one up to
# 10 ms before the click stamp is the click's own (it counts as 0 ms); the
# sound before it started half a second earlier or more.
first_after() { awk -v t="$2" '$1 >= t - 10 {d = $1 - t; print (d < 0 ? 0 : d); exit}' "$1"; }

declare -A fig
add() { fig[$1]+="$2 "; }
# The loads of one start sit close together, while two starts of the same
# program can differ by a few ms; so a start gives one figure, the median of
# its loads, and the figure is the median of the starts.
add_median() { local f=$1; shift; [ $# -gt 0 ] && add "$f" "$(printf '%s\n' "$@" | median)"; return 0; }

# The bare web view, its figures named with prefix $1.
bare_view() {
  "$build/bench/baseline_webview" "$url" >/dev/null 2>&1 & wp=$!; pids+=($wp)
  bw=$(wait_window '^loaded$' baseline_webview); sleep "$rest_s"
  spy_titles "$bw" "$work/btitles" --stamp
  local k enter=() go=()
  for k in $(seq 1 "$loads_each"); do
    xdotool mousemove --window "$bw" 300 250; sleep 0.5
    t0=$(now_us_ms); xdotool key Return
    t=$(load_end "$work/btitles" "$t0" '"loaded"') && enter+=("$(ms_since "$t0" "$t")")
    sleep "$rest_s"
    [ "$k" = "$loads_each" ] && add "$1_idle" "$(idle_cpu "$wp")"
    # The same, with a click on the bare window's Go button, the pointer left on it.
    xdotool mousemove --window "$bw" 37 8; sleep 0.5
    t0=$(now_us_ms); xdotool click 1
    t=$(load_end "$work/btitles" "$t0" '"loaded"') && go+=("$(ms_since "$t0" "$t")")
    [ "$k" = "$loads_each" ] || sleep "$rest_s"
  done
  add_median "$1_load" "${enter[@]}"; add_median "$1_go" "${go[@]}"
  # The engine keeps working for some 20 s after a load; the program's idle
  # figures after Enter and after Go are taken the same time after their loads.
  sleep "$rest_s"; add "$1_idle_go" "$(idle_cpu "$wp")"
  [ "$sound" = 1 ] && add "$1_idle_server" "$(idle_cpu "$pa_pid")"
  add "$1_pss" "$(tree_pss_kb "$wp")"
  kill "$spy_pid" 2>/dev/null || true
  kill "$wp"; wait "$wp" 2>/dev/null || true
}

# Starts "$@" and adds to figure $2 the ms until its first window of instance
# $1 is viewable, as X's own map event tells, and to figure $2_painted the ms
# until the program first drew into it (map_watch); leaves the process in $started.
add_mapped() {
  local instance=$1 figure=$2; shift 2
  "$build/bench/map_watch" "$instance" painted >"$work/mapped" 2>"$work/watch" & local watch=$!
  for _ in $(seq 1 500); do grep -q ready "$work/watch" 2>/dev/null && break; sleep 0.002; done
  local t0; t0=$(now_ms)
  "$@" >>"$work/nimbrel.log" 2>&1 & started=$!; pids+=($started)
  if wait "$watch"; then
    add "$figure" $(( $(sed -n 1p "$work/mapped") - t0 ))
    add "${figure}_painted" $(( $(sed -n 2p "$work/mapped") - t0 ))
  fi
}
# Start to a mapped window, a bare one and the splash by turns; the first
# START_EACH - 1 of each run are ended at once, the last program goes on.
start_each=${START_EACH:-3}
# Loads by Enter and by Go, by turns, in every run, here and in the bare view.
loads_each=${LOADS_EACH:-3}

# The bare web view: Enter to the page loaded, its memory and its rest; once
# as Qt sets it up by default (composing through OpenGL, which here is drawn
# by the processor), once drawing in software as the program chooses where
# there is no graphics card. The program and the two bare views take turns at
# going first (program, default, software in odd runs; the reverse in even
# ones), so a drift of the machine over a run favours none of them.
bare_views() {
  if [ $((run % 2)) = 1 ]; then bare_view base; QT_QUICK_BACKEND=software bare_view soft
  else QT_QUICK_BACKEND=software bare_view soft; bare_view base; fi
}

for run in $(seq 1 "$runs"); do
  [ $((run % 2)) = 0 ] && bare_views
  for k in $(seq 1 "$start_each"); do
    add_mapped baseline_window base_splash "$build/bench/baseline_window"
    sleep 0.3; kill "$started"; wait "$started" 2>/dev/null || true; sleep 0.3
    add_mapped baseline_window base_text "$build/bench/baseline_window" text
    sleep 0.3; kill "$started"; wait "$started" 2>/dev/null || true; sleep 0.3
    add_mapped nimbrel splash "$program_dir/nimbrel"; np=$started
    [ "$k" = "$start_each" ] && break
    sleep 0.3; kill "$np"; wait "$np" 2>/dev/null || true; sleep 0.3
  done
  sw=$(wait_window '^(Nimbrel)?$')
  sleep 2.5  # the intro sound has ended

  # The splash slides away: its places on the screen, its time, the closing sound.
  [ "$sound" = 1 ] && record "$work/slides.onsets"
  : >"$work/places"
  t1=$(now_ms); xdotool mousemove --window "$sw" 20 20 click 1
  # One X query a sample: where the splash is, and whether it is still shown.
  while xwininfo -id "$sw" 2>/dev/null | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} /Map State/{m=$NF} END {print x "," y; exit (m != "IsViewable")}' >>"$work/places"; do :; done
  add slides $(( $(now_ms) - t1 )); add places "$(sort -u "$work/places" | wc -l)"
  mw=$(wait_window '^Nimbrel - .')
  if [ "$sound" = 1 ]; then sleep 0.3; stop_record; v=$(first_after "$work/slides.onsets" "$t1"); add close_onset "${v:-NA}"; fi
  wait_window '^Nimbrel - .Done Loading Document.$' >/dev/null || true
  sleep 1
  spy_titles "$mw" "$work/titles" --stamp

  # The page typed into the address box and loaded once with Go, so both
  # figures below, like the bare view's, are of a page the engine has seen.
  xdotool mousemove --window "$mw" 150 43 click 1; sleep 0.3
  xdotool key ctrl+a; xdotool type --delay 0 "$url"; sleep 0.3
  xdotool mousemove --window "$mw" 444 12 click 1
  title_at "$work/titles" "$(now_ms)" 'Done Loading Document' >/dev/null || true
  # The engine works on for a while after any load; every measured load
  # starts the same rest after the one before it, here and in the bare view.
  sleep "$rest_s"
  enter=(); go=()
  for k in $(seq 1 "$loads_each"); do
    # Enter in the address box, the pointer resting there.
    xdotool mousemove --window "$mw" 150 43 click 1; sleep 0.5
    t0=$(now_us_ms); xdotool key Return
    t=$(load_end "$work/titles" "$t0" 'Done Loading Document') && enter+=("$(ms_since "$t0" "$t")")
    sleep "$rest_s"
    [ "$k" = "$loads_each" ] && add idle_enter "$(idle_cpu "$np")"

    # A click on Go, the pointer left on the button.
    xdotool mousemove --window "$mw" 444 12; sleep 0.5
    t0=$(now_us_ms); xdotool click 1
    t=$(load_end "$work/titles" "$t0" 'Done Loading Document') && go+=("$(ms_since "$t0" "$t")")
    sleep "$rest_s"
  done
  add_median enter_load "${enter[@]}"; add_median go_load "${go[@]}"
  add idle_go "$(idle_cpu "$np")"
  xdotool mousemove --window "$mw" 300 250; sleep "$rest_s"; add idle_page "$(idle_cpu "$np")"
  add pss "$(tree_pss_kb "$np")"

  # Ten clicks on Back half a second apart: how soon each is heard.
  if [ "$sound" = 1 ]; then
    record "$work/clicks.onsets"; clicks=()
    xdotool mousemove --window "$mw" 124 12; sleep 0.3
    for _ in $(seq 1 10); do clicks+=("$(now_ms)"); xdotool click 1; sleep 0.5; done
    sleep 0.3; stop_record; heard=0
    for c in "${clicks[@]}"; do
      v=$(first_after "$work/clicks.onsets" "$c")
      if [ -n "$v" ] && [ "$v" -lt 400 ]; then heard=$((heard + 1)); add click_onset "$v"; fi
    done
    add heard "$heard"
  fi

  # The browser status window open (Menu, Windows, Misc., Browser Status), then minimised.
  menu_after 0.7 "${menu_status[@]}"; sleep 1
  xdotool mousemove --window "$mw" 300 250; sleep "$rest_s"
  if has_window '^Browser Status'; then add idle_status "$(idle_cpu "$np")"; fi
  # The idle screen (Menu, Windows, Misc., Go Idle) running: its CPU; a click brings the main window back.
  menu_after 0.7 "${menu_idle[@]}"; sleep 1
  add idle_screen "$(idle_s=5 idle_cpu "$np")"
  xdotool mousemove 300 300 click 1; sleep 1
  xdotool windowminimize "$mw"; sleep "$rest_s"; add idle_min "$(idle_cpu "$np")"
  # What the resting program costs the sound server (it played sounds a while ago).
  [ "$sound" = 1 ] && add idle_server "$(idle_cpu "$pa_pid")"
  kill "$spy_pid" 2>/dev/null || true
  kill "$np"; wait "$np" 2>/dev/null || true

  [ $((run % 2)) = 1 ] && bare_views

  # paplay of the same click sound, from its start to the sound.
  if [ "$sound" = 1 ]; then
    record "$work/paplay.onsets"
    for _ in 1 2 3; do t0=$(now_ms); paplay "$program_dir/Click.WAV"; v=$(first_after "$work/paplay.onsets" "$t0"); add base_onset "${v:-NA}"; sleep 0.3; done
    stop_record
  fi
  echo "run $run done" >&2
done

stat() {  # median [min-max] of the figures named $1
  local v=${fig[$1]:-}
  [ -z "$v" ] && { echo "n/a"; return; }
  printf '%s\n' $v | grep -v NA | sort -g | awk '{a[NR]=$1} END {
    if (NR == 0) { print "n/a"; exit }
    m = (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2
    printf "%g [%g-%g]", m, a[1], a[NR] }'
}
med() { printf '%s\n' ${fig[$1]:-0} | grep -v NA | median; }
ratio() { awk -v a="$(med "$1")" -v b="$(med "$2")" 'BEGIN { printf "%.2f", (b > 0) ? a / b : 0 }'; }
mib() { printf '%s\n' ${fig[$1]} | awk '{printf "%d ", $1 / 1024}'; }
fig[pss_mib]=$(mib pss); fig[base_pss_mib]=$(mib base_pss); fig[soft_pss_mib]=$(mib soft_pss)

echo "runs: $runs, window manager: ${WM:-openbox}, screen $(xdpyinfo | awk '/dimensions/{print $2}'), idle windows of $idle_s s; median [min-max]"
printf '%-44s %-24s %-24s %s\n' "figure" "nimbrel" "baseline" "ratio (target)"
printf '%-44s %-24s %-24s %s\n' "start to window mapped, ms" "$(stat splash)" "$(stat base_splash)" "$(ratio splash base_splash) (<= 1.20)"
printf '%-44s %-24s %-24s %s\n' "  beside a bare window with a line of text" "" "$(stat base_text)" "$(ratio splash base_text)"
printf '%-44s %-24s %-24s %s\n' "start to window painted, ms" "$(stat splash_painted)" "$(stat base_splash_painted)" "$(ratio splash_painted base_splash_painted)"
printf '%-44s %-24s %-24s %s\n' "  beside a bare window with a line of text" "" "$(stat base_text_painted)" "$(ratio splash_painted base_text_painted)"
printf '%-44s %-24s %-24s %s\n' "Enter to Done Loading Document, ms" "$(stat enter_load)" "$(stat base_load)" "$(ratio enter_load base_load) (<= 1.10)"
printf '%-44s %-24s %-24s %s\n' "click on Go to Done Loading Document, ms" "$(stat go_load)" "$(stat base_go)" "$(ratio go_load base_go) (<= 1.10)"
printf '%-44s %-24s %-24s %s\n' "PSS of the process tree, MiB" "$(stat pss_mib)" "$(stat base_pss_mib)" "$(ratio pss base_pss) (<= 1.05)"
echo "beside the bare view drawing in software, as the program does where OpenGL is drawn by the processor:"
printf '%-44s %-24s %-24s %s\n' "Enter to Done Loading Document, ms" "$(stat enter_load)" "$(stat soft_load)" "$(ratio enter_load soft_load) (<= 1.10)"
printf '%-44s %-24s %-24s %s\n' "click on Go to Done Loading Document, ms" "$(stat go_load)" "$(stat soft_go)" "$(ratio go_load soft_go) (<= 1.10)"
printf '%-44s %-24s %-24s %s\n' "PSS of the process tree, MiB" "$(stat pss_mib)" "$(stat soft_pss_mib)" "$(ratio pss soft_pss) (<= 1.05)"
printf '%-44s %-24s %-24s %s\n' "idle CPU after Enter / after Go, %" "$(stat idle_enter) / $(stat idle_go)" "$(stat soft_idle) / $(stat soft_idle_go)" "(<= 0.1)"
echo "idle figures, beside the bare view (default drawing) at rest:"
printf '%-44s %-24s %-24s %s\n' "idle CPU after Enter, % of a core" "$(stat idle_enter)" "$(stat base_idle)" "(<= 0.1)"
printf '%-44s %-24s %-24s %s\n' "idle CPU after Go, pointer on Go, %" "$(stat idle_go)" "$(stat base_idle_go)" "(<= 0.1)"
printf '%-44s %-24s %-24s %s\n' "idle CPU, pointer on the page, %" "$(stat idle_page)" "$(stat base_idle)" "(<= 0.1)"
printf '%-44s %-24s %-24s %s\n' "idle CPU, status window open, %" "$(stat idle_status)" "$(stat base_idle)" "(<= 0.1)"
printf '%-44s %-24s %-24s %s\n' "idle CPU, main window minimised, %" "$(stat idle_min)" "$(stat base_idle)" "(<= 0.1)"
printf '%-44s %-24s %-24s %s\n' "idle screen running, % of a core" "$(stat idle_screen)" "" "(<= 25 at 1920x1080)"
printf '%-44s %-24s %-24s %s\n' "splash click to slides over, ms" "$(stat slides)" "" "(1000-3000)"
printf '%-44s %-24s %-24s %s\n' "distinct places the splash is seen at" "$(stat places)" "" "(>= 20)"
if [ "$sound" = 1 ]; then
  printf '%-44s %-24s %-24s %s\n' "splash click to closing sound, ms" "$(stat close_onset)" "" ""
  printf '%-44s %-24s %-24s %s\n' "click on Back to its sound, ms" "$(stat click_onset)" "$(stat base_onset)" "(<= 30 after the click)"
  printf '%-44s %-24s %-24s %s\n' "of ten clicks 0.5 s apart, sounds heard" "$(stat heard)" "" "(10)"
  printf '%-44s %-24s %-24s %s\n' "sound server's CPU, the program at rest, %" "$(stat idle_server)" "$(stat soft_idle_server)" "(<= 0.1)"
else
  echo "(no pulseaudio/parec: sound figures skipped)"
fi
echo "load figures, one a start, in run order (ms):"
for f in enter_load soft_load base_load go_load soft_go base_go; do printf '  %-12s %s\n' "$f" "${fig[$f]:-}"; done
