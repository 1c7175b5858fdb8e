# Shared by the benchmarks that drive the real program from outside. Sourced
# after `build` (the build directory) and `work` (a scratch directory) are set
# and a display is up; `pids` collects what the caller ends on exit.

export QTWEBENGINE_CHROMIUM_FLAGS="--disable-background-networking --disable-component-update --no-first-run --proxy-server=http://127.0.0.1:9"
pids=()

# A plain local page of some length, its address in $url.
make_page() {
  page="$work/page.html"
  { echo '<!doctype html><html><head><title>Bench page</title></head><body><h1>Bench page</h1>'
    for i in $(seq 1 60); do echo "<p>Paragraph $i of a plain local page, with a <a href=\"#p$i\">link</a>.</p>"; done
    echo '</body></html>'; } >"$page"
  url="file://$page"
}

# A sound server of our own whose output is a null sink (rec) we can record;
# sound=1 and pa_pid once it answers.
start_sound_server() {
  sound=0
  command -v pulseaudio >/dev/null && command -v parec >/dev/null || return 0
  mkdir -p "$work/pa"
  XDG_RUNTIME_DIR="$work/pa" PULSE_RUNTIME_PATH="$work/pa" HOME="$work/pa" \
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --use-pid-file=no \
    -L "module-null-sink sink_name=rec rate=44100" \
    -L "module-native-protocol-unix socket=$work/pa/native auth-anonymous=1" >/dev/null 2>&1 &
  pa_pid=$!; pids+=($pa_pid)
  export PULSE_SERVER="unix:$work/pa/native"
  for _ in $(seq 1 100); do pactl info >/dev/null 2>&1 && { sound=1; break; }; sleep 0.1; done
}

# openbox, unless WM=none.
start_wm() {
  wm_pid=""
  if [ "${WM:-openbox}" != none ]; then openbox --sm-disable >/dev/null 2>&1 & wm_pid=$!; pids+=($wm_pid); sleep 0.5; fi
}

now_ms() { local t=${EPOCHREALTIME/./}; echo $((t / 1000)); }
# The same to the microsecond, as title_watch stamps titles ("…632.518"); a
# load of 15 ms is measured to a tenth of a millisecond, not to a whole one.
now_us_ms() { local t=${EPOCHREALTIME/./}; printf '%d.%03d\n' $((t / 1000)) $((t % 1000)); }
# The median of the numbers on standard input, one a line (nothing for none).
median() { sort -g | awk '{a[NR]=$1} END {if (NR) print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
ms_since() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", b - a }'; }  # from $1 to $2
window_of() {  # the visible window of class $1 whose title matches the regex $2
  local w
  for w in $(xdotool search --onlyvisible --classname "^$1\$" 2>/dev/null); do
    if [[ "$(xdotool getwindowname "$w" 2>/dev/null)" =~ $2 ]]; then echo "$w"; return 0; fi
  done
  return 1
}
wait_window() {
  for _ in $(seq 1 6000); do window_of "$1" "$2" && return 0; sleep 0.005; done
  return 1
}
# Every title window $1 is given, each stamped with the time X had it
# (title_watch records the requests themselves, so none is missed), into $2.
spy_titles() {
  "$build/tests/title_watch" --stamp "$1" >"$2" & spy_pid=$!; pids+=($spy_pid)
  for _ in $(seq 1 100); do [ -s "$2" ] && return 0; sleep 0.02; done
}
# The first time at or after $2 at which a title matching $3 was seen in file $1.
title_at() {
  local line
  for _ in $(seq 1 1000); do
    line=$(awk -v t="$2" -v re="$3" '$1 >= t && $0 ~ re {print $1; exit}' "$1")
    [ -n "$line" ] && { echo "$line"; return 0; }
    sleep 0.01
  done
  return 1
}
# The time of the first title matching $3 seen at or after the first title
# change at or after $2: the end of a load started at $2.
changed_at() { local t; t=$(title_at "$1" "$2" '.') && title_at "$1" "$t" "$3"; }
# The same for a load just started: the stamps are read once the load is
# surely over, so that no poll of ours takes a processor from the load.
load_end() { sleep "${LOAD_WAIT_S:-1}"; changed_at "$@"; }

tree_pids() { local pid=$1; echo "$pid"; for c in $(pgrep -P "$pid" 2>/dev/null); do tree_pids "$c"; done; }
# "tid ns-on-cpu" for every thread of the trees of the processes given.
tree_threads() {
  local p f t v
  for p in $(for root in "$@"; do tree_pids "$root"; done); do
    for f in /proc/"$p"/task/*/schedstat; do
      t=${f%/schedstat}; t=${t##*/}
      read -r v _ <"$f" 2>/dev/null && echo "$t $v"
    done
  done
}
# The ms of processor time the threads took between two tree_threads lists
# (files $1 and $2), summed per thread, so a thread that ends meanwhile takes
# nothing away and one born meanwhile counts whole.
cpu_ms_between() {
  awk 'NR == FNR { a[$1] = $2; next }
    { d = ($1 in a) ? $2 - a[$1] : $2; if (d > 0) sum += d }
    END { printf "%.2f", sum / 1e6 }' "$1" "$2"
}
