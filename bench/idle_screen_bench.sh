#!/usr/bin/env bash
# The idle screen as a user leaves it running, measured from outside: the CPU
# of the program's whole process tree over 10 s (per thread, from /proc) on a
# 1920x1080 screen, with the figure of the same tree resting on the main
# window just before as its baseline. Target: at most 25 % of one core.
# Usage: bench/idle_screen_bench.sh [build-dir]   (RUNS, default 5; PROGRAM_DIR
# measures another build of the program)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
source "$here/../tests/harness/harness.sh"
harness_display 1920x1080x24 "$0" "$build"
runs=${RUNS:-5}
program_dir=${PROGRAM_DIR:-$build/program}
harness_home
program="$program_dir/nimbrel"

rest=() screen=()
for _ in $(seq 1 "$runs"); do
  start_program
  sw=$(wait_window '^(Nimbrel)?$'); sleep 1
  xdotool mousemove --window "$sw" 20 20 click 1
  wait_window '^Nimbrel - .Done Loading Document.$' >/dev/null; sleep 6
  rest+=("$(cpu_percent 5 "$pid")")
  # Menu, Windows, Misc., Go Idle.
  menu_after 0.7 "${menu_idle[@]}"; sleep 2
  screen+=("$(cpu_percent 10 "$pid")")
  kill "$pid"; wait "$pid" 2>/dev/null || true; pid=""
done
stat() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END { m = (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2; printf "%g [%g-%g]", m, a[1], a[NR] }'; }
echo "runs: $runs, screen $(xdpyinfo | awk '/dimensions/{print $2}'), % of one core, median [min-max]"
echo "idle screen running:        $(stat "${screen[@]}")   (target <= 25)"
echo "baseline, main window rest: $(stat "${rest[@]}")"
