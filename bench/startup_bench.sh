#!/usr/bin/env bash
# Start-up, memory and idle-CPU figures of the real program, each beside a
# baseline measured in the same run on the same display:
#   1. process start to splash window mapped   vs a minimal Qt Widgets window
#   2. splash click to the main window's first page loaded (the default
#      address), less the slides' own time    vs a bare QWebEngineView loading it
#   3. memory (PSS summed over the process and its engine processes) with the
#      page loaded                             vs the bare web view
#   4. idle CPU over 20 s with the page loaded, then again with the browser
#      status window open                     (target: at most 0.1 % of one core)
# Usage: bench/startup_bench.sh [build-dir]   (runs itself under xvfb-run when no DISPLAY)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$build"
fi
# Wait for the display to answer before timing anything on it.
for _ in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
runs=${RUNS:-5}
address="https://www.wikipedia.org/"
# Everything but this machine goes to a proxy on a closed local port, so the
# start page fails at once and the same way every run.
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-background-networking --disable-component-update --no-first-run --proxy-server=http://127.0.0.1:9"
home=$(mktemp -d)
export HOME="$home" XDG_DATA_HOME="$home/data" XDG_CACHE_HOME="$home/cache" XDG_CONFIG_HOME="$home/config"
trap 'pkill -P $$ 2>/dev/null || true; cp "$home/nimbrel.log" /tmp/bench-nimbrel.log 2>/dev/null; rm -rf "$home"' EXIT

now_ms() { date +%s%3N; }
# Waits until a visible window of pid $1 has a name matching $2; prints its id.
# The visible window of class $1 whose title matches the extended regex $2.
window_of() {
  local w
  for w in $(xdotool search --onlyvisible --classname "^$1\$" 2>/dev/null); do
    if [[ "$(xdotool getwindowname "$w" 2>/dev/null)" =~ $2 ]]; then echo "$w"; return 0; fi
  done
  return 1
}
wait_window() {  # wait_window <class> <title regex>: waits, then prints the window id
  for _ in $(seq 1 6000); do
    window_of "$1" "$2" && return 0
    sleep 0.005
  done
  return 1
}
tree_pids() {  # the process and all its descendants
  local pid=$1
  echo "$pid"
  for c in $(pgrep -P "$pid" 2>/dev/null); do tree_pids "$c"; done
}
tree_pss_kb() {
  local sum=0 v
  for p in $(tree_pids "$1"); do
    v=$(awk '/^Pss:/{print $2}' "/proc/$p/smaps_rollup" 2>/dev/null || echo 0)
    sum=$((sum + ${v:-0}))
  done
  echo "$sum"
}
tree_ticks() {
  local sum=0 v
  for p in $(tree_pids "$1"); do
    v=$(awk '{print $14 + $15}' "/proc/$p/stat" 2>/dev/null || echo 0)
    sum=$((sum + ${v:-0}))
  done
  echo "$sum"
}
median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0) ? a / b : 0 }'; }

splash=() base_splash=() load=() slides=() base_load=()
for i in $(seq 1 "$runs"); do
  # 1. Splash mapped, against a bare window.
  t0=$(now_ms); "$build/bench/baseline_window" & bp=$!
  wait_window baseline_window '^baseline-window$' >/dev/null; base_splash+=($(( $(now_ms) - t0 ))); kill "$bp"; wait "$bp" 2>/dev/null || true

  t0=$(now_ms); "$build/program/nimbrel" >"$home/nimbrel.log" 2>&1 & np=$!
  sw=$(wait_window nimbrel '^Nimbrel$'); splash+=($(( $(now_ms) - t0 )))
  # 2. Click to the first page loaded; the main window appears when the slides end.
  sleep 0.3
  t1=$(now_ms); xdotool mousemove --window "$sw" 20 20 click 1
  # The splash is hidden when its last slide ends, just before the main window is made.
  while window_of nimbrel '^Nimbrel$' >/dev/null; do sleep 0.003; done; t2=$(now_ms)
  wait_window nimbrel '^Nimbrel - .Done Loading Document.$' >/dev/null; t3=$(now_ms)
  slides+=($((t2 - t1))); load+=($((t3 - t2)))
  if [ "$i" -eq "$runs" ]; then keep=$np; else kill "$np"; wait "$np" 2>/dev/null || true; fi

  t0=$(now_ms); "$build/bench/baseline_webview" "$address" >/dev/null 2>&1 & wp=$!
  wait_window baseline_webview '^loaded$' >/dev/null; base_load+=($(( $(now_ms) - t0 )))
  if [ "$i" -eq "$runs" ]; then keepbase=$wp; else kill "$wp"; wait "$wp" 2>/dev/null || true; fi
done

m_splash=$(printf '%s\n' "${splash[@]}" | median); m_bsplash=$(printf '%s\n' "${base_splash[@]}" | median)
m_slides=$(printf '%s\n' "${slides[@]}" | median); m_load=$(printf '%s\n' "${load[@]}" | median)
m_bload=$(printf '%s\n' "${base_load[@]}" | median)
echo "runs: $runs (medians); page: $address"
echo "start to splash mapped:     nimbrel ${m_splash} ms   baseline window ${m_bsplash} ms   ratio $(ratio "$m_splash" "$m_bsplash")  (target <= 1.20)"
echo "click to page loaded:       slides ${m_slides} ms + engine and page ${m_load} ms   bare web view start to page ${m_bload} ms   ratio $(ratio "$m_load" "$m_bload")  (target <= 1.10)"

sleep 3
mem=$(tree_pss_kb "$keep"); bmem=$(tree_pss_kb "$keepbase")
echo "memory, page loaded (PSS):  nimbrel $((mem / 1024)) MiB   bare web view $((bmem / 1024)) MiB   ratio $(ratio "$mem" "$bmem")  (target <= 1.05)"

hz=$(getconf CLK_TCK)
idle_cpu() {  # percent of one core used by the tree of $1 over $2 seconds
  local a b; a=$(tree_ticks "$1"); sleep "$2"; b=$(tree_ticks "$1")
  awk -v d=$((b - a)) -v hz="$hz" -v s="$2" 'BEGIN { printf "%.3f", 100 * d / hz / s }'
}
echo "idle CPU over 20 s:         nimbrel $(idle_cpu "$keep" 20) % of one core  (target <= 0.1)   bare web view $(idle_cpu "$keepbase" 20) %"
kill "$keepbase"; wait "$keepbase" 2>/dev/null || true
# Open the browser status window from the tools menu: Menu button, Windows, Misc., Browser Status.
mw=$(wait_window nimbrel '^Nimbrel - .')
xdotool mousemove --window "$mw" 30 10 click 1; sleep 0.5
xdotool key Down Down Down Right Down Down Right Return; sleep 1
if window_of nimbrel '^Browser Status' >/dev/null; then
  echo "idle CPU, status open:      nimbrel $(idle_cpu "$keep" 20) % of one core  (target <= 0.1)"
else
  echo "idle CPU, status open:      (could not open the status window)"
fi
kill "$keep"; wait "$keep" 2>/dev/null || true
