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
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" "$0" "$build"
fi
for _ in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
runs=${RUNS:-5}
program_dir=${PROGRAM_DIR:-$build/program}
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-background-networking --disable-component-update --no-first-run --proxy-server=http://127.0.0.1:9"
work=$(mktemp -d)
export HOME="$work" XDG_DATA_HOME="$work/data" XDG_CACHE_HOME="$work/cache" XDG_CONFIG_HOME="$work/config"
np=""
trap '[ -n "$np" ] && kill "$np" 2>/dev/null; rm -rf "$work"' EXIT

window_of() {
  local w
  for w in $(xdotool search --onlyvisible --classname '^nimbrel$' 2>/dev/null); do
    if [[ "$(xdotool getwindowname "$w" 2>/dev/null)" =~ $1 ]]; then echo "$w"; return 0; fi
  done
  return 1
}
wait_window() { for _ in $(seq 1 3000); do window_of "$1" && return 0; sleep 0.01; done; return 1; }
tree_pids() { local pid=$1; echo "$pid"; for c in $(pgrep -P "$pid" 2>/dev/null); do tree_pids "$c"; done; }
tree_threads() {
  local p f t v
  for p in $(tree_pids "$1"); do
    for f in /proc/"$p"/task/*/schedstat; do t=${f%/schedstat}; t=${t##*/}; read -r v _ <"$f" 2>/dev/null && echo "$t $v"; done
  done
}
cpu() {  # percent of one core used by the tree of $1 over $2 seconds
  tree_threads "$1" >"$work/c0"; sleep "$2"; tree_threads "$1" >"$work/c1"
  awk -v s="$2" 'NR == FNR { a[$1] = $2; next } { d = ($1 in a) ? $2 - a[$1] : $2; if (d > 0) sum += d }
    END { printf "%.2f", 100 * sum / 1e9 / s }' "$work/c0" "$work/c1"
}
rest=() screen=()
for _ in $(seq 1 "$runs"); do
  "$program_dir/nimbrel" >"$work/log" 2>&1 & np=$!
  sw=$(wait_window '^(Nimbrel)?$'); sleep 1
  xdotool mousemove --window "$sw" 20 20 click 1
  mw=$(wait_window '^Nimbrel - .Done Loading Document.$'); sleep 6
  rest+=("$(cpu "$np" 5)")
  # Menu, Windows, Misc., Go Idle.
  xdotool mousemove --window "$mw" 30 10 click 1; sleep 0.7
  xdotool key Down Down Down Right Down Down Right Down Down Down Return; sleep 2
  screen+=("$(cpu "$np" 10)")
  kill "$np"; wait "$np" 2>/dev/null || true; np=""
done
stat() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END { m = (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2; printf "%g [%g-%g]", m, a[1], a[NR] }'; }
echo "runs: $runs, screen $(xdpyinfo | awk '/dimensions/{print $2}'), % of one core, median [min-max]"
echo "idle screen running:        $(stat "${screen[@]}")   (target <= 25)"
echo "baseline, main window rest: $(stat "${rest[@]}")"
