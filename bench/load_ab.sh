#!/usr/bin/env bash
# Enter to the end of a load, measured for several builds (or the bare web
# view) started by turns, to tell apart differences of a millisecond or two.
# Each start of a program has a level of its own (the loads of one start sit
# within a millisecond or two, two starts of one build can differ by four),
# so a figure is the median of per-start medians, and the builds are started
# in rounds whose order is reversed every other round (ABBA), so neither a
# drift of the machine nor the order favours one.
#   bench/load_ab.sh [build-dir] VARIANT...
#     VARIANT: a program directory (holding nimbrel), or "bare" (baseline_webview
#     drawing in software, as the program does under Xvfb), or "bare-gl"
#   ROUNDS (default 6) starts of each, LOADS (default 5) loads by Enter a start,
#   REST_S (default 2) s between loads; HOW=go loads with a click on the Go
#   button instead, the pointer left on it (the bare view has a Go button too).
# Same page, same display (1280x1024 under openbox), same sound server (a
# null sink, recorded as in the other benchmarks) for all; the title stamps
# come from X (title_watch) and are read only after each load. Each load's
# processor time is taken too, from /proc: the variant's process tree, and
# the display, window manager and sound server, from half a second before
# the key until the stamps are read.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?build directory}" && pwd); shift
[ $# -ge 1 ] || { echo "usage: $0 build-dir VARIANT..." >&2; exit 2; }
source "$here/../tests/harness/harness.sh"
harness_display "${SCREEN:-1280x1024x24}" "$0" "$build" "$@"
rounds=${ROUNDS:-6}
loads=${LOADS:-5}
rest_s=${REST_S:-2}
how=${HOW:-enter}
harness_home
make_page
sound=0
start_sound && sound=1
if [ "$sound" = 1 ]; then parec -d "$sound_sink.monitor" >/dev/null 2>&1 & pids+=($!); fi
start_wm
# What every variant's loads share: the display (the newest X server here), the
# window manager, the sound server.
shared=($(pgrep -n -x Xvfb || pgrep -n -x Xorg || true) $wm_pid ${pa_pid:-})

# One start of variant $2 (numbered $1), in a home of its own: LOADS loads by
# Enter, each appended to $work/loads as "number start ms own-cpu-ms shared-cpu-ms".
measure() {
  local n=$1 variant=$2 start=$3 start_home="$work/home$1-$3" pid win done_re t0 t k
  mkdir -p "$start_home"
  local in_home=(env HOME="$start_home" XDG_DATA_HOME="$start_home/data" XDG_CACHE_HOME="$start_home/cache"
                 XDG_CONFIG_HOME="$start_home/config")
  case "$variant" in
    bare | bare-gl)
      ( [ "$variant" = bare ] && export QT_QUICK_BACKEND=software
        exec "${in_home[@]}" "$build/bench/baseline_webview" "$url" ) >/dev/null 2>&1 & pid=$!; pids+=($pid)
      win=$(wait_window '^loaded$' baseline_webview); sleep 3
      done_re='"loaded"'
      xdotool mousemove --window "$win" 300 250 ;;
    *)
      "${in_home[@]}" "$variant/nimbrel" >/dev/null 2>&1 & pid=$!; pids+=($pid)
      win=$(wait_window '^(Nimbrel)?$'); sleep 2
      xdotool mousemove --window "$win" 20 20 click 1
      win=$(wait_window '^Nimbrel - .'); sleep 4
      # The page typed into the address box and loaded once.
      xdotool mousemove --window "$win" 150 43 click 1; sleep 0.3
      xdotool key ctrl+a; xdotool type --delay 0 "$url"; xdotool key Return; sleep 4
      done_re='Done Loading Document' ;;
  esac
  spy_titles "$win" "$work/titles" --stamp
  for k in $(seq 1 "$loads"); do
    if [ "$how" = go ]; then
      # The pointer onto the Go button, then a click.
      if [ "$done_re" = '"loaded"' ]; then xdotool mousemove --window "$win" 37 8
      else xdotool mousemove --window "$win" 444 12; fi
    # A click into the program's address box (the bare view takes Enter anywhere), then Enter.
    elif [ "$done_re" = '"loaded"' ]; then xdotool mousemove --window "$win" 300 $((250 + k % 2))
    else xdotool mousemove --window "$win" 150 43 click 1; fi
    tree_threads "$pid" >"$work/own0"; tree_threads "${shared[@]}" >"$work/shared0"
    sleep 0.5
    t0=$(now_us_ms)
    if [ "$how" = go ]; then xdotool click 1; else xdotool key Return; fi
    if t=$(load_end "$work/titles" "$t0" "$done_re"); then
      tree_threads "$pid" >"$work/own1"; tree_threads "${shared[@]}" >"$work/shared1"
      echo "$n $start $(ms_since "$t0" "$t") $(cpu_ms_between "$work/own0" "$work/own1")" \
        "$(cpu_ms_between "$work/shared0" "$work/shared1")" >>"$work/loads"
    fi
    sleep "$rest_s"
  done
  kill "$spy_pid" "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; sleep 1
}

variants=("$@")
: >"$work/loads"
for r in $(seq 1 "$rounds"); do
  order=$(seq 1 ${#variants[@]}); [ $((r % 2)) = 0 ] && order=$(seq ${#variants[@]} -1 1)
  for n in $order; do measure "$n" "${variants[$((n - 1))]}" "$r"; done
  echo "round $r of $rounds done" >&2
done

what="Enter"; [ "$how" = go ] && what="A click on Go"
echo "$what to the end of the load, ms: $rounds starts of each by turns, $loads loads a start"
printf '%-40s %-26s %-18s %s\n' "variant" "per-start medians" "median of starts" "all loads: median [min-max]"
first=""
for n in $(seq 1 ${#variants[@]}); do
  starts=$(for r in $(seq 1 "$rounds"); do awk -v n="$n" -v r="$r" '$1 == n && $2 == r {print $3}' "$work/loads" | median; done | tr '\n' ' ')
  m=$(printf '%s\n' $starts | median)
  all=$(awk -v n="$n" '$1 == n {print $3}' "$work/loads" | sort -g | awk '{a[NR]=$1} END {if (NR) printf "%g [%g-%g]", (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2, a[1], a[NR]}')
  [ -z "$first" ] && first=$m
  printf '%-40s %-26s %-18s %s\n' "${variants[$((n - 1))]}" "$starts" "$m ($(awk -v a="$m" -v b="$first" 'BEGIN {printf "%.2f", a / b}')x)" "$all"
done
# Processor time is a steadier figure than the time a load takes: it does not
# depend on how the two processors were shared during the load.
echo "processor time a load takes, ms (median of all loads): the variant's own processes; the display, window manager and sound server; both"
first=""
for n in $(seq 1 ${#variants[@]}); do
  own=$(awk -v n="$n" '$1 == n {print $4}' "$work/loads" | median)
  shared_ms=$(awk -v n="$n" '$1 == n {print $5}' "$work/loads" | median)
  both=$(awk -v n="$n" '$1 == n {print $4 + $5}' "$work/loads" | median)
  [ -z "$first" ] && first=$both
  printf '%-40s %-12s %-12s %s\n' "${variants[$((n - 1))]}" "$own" "$shared_ms" "$both ($(awk -v a="$both" -v b="$first" 'BEGIN {printf "%.2f", a / b}')x)"
done
