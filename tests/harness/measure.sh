# What the benchmarks measure with: clocks, medians, title stamps, the
# processor time of process trees, a page to load.

now_ms() { local t=${EPOCHREALTIME/./}; echo $((t / 1000)); }
# The same to the microsecond, as title_watch stamps titles ("…632.518"); a
# load of 15 ms is measured to a tenth of a millisecond, not to a whole one.
now_us_ms() { local t=${EPOCHREALTIME/./}; printf '%d.%03d\n' $((t / 1000)) $((t % 1000)); }
# The median of the numbers on standard input, one a line (nothing for none).
median() { sort -g | awk '{a[NR]=$1} END {if (NR) print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
ms_since() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", b - a }'; }  # from $1 to $2

# A plain local page of some length, its address in $url.
make_page() {
  page="$work/page.html"
  { echo '<!doctype html><html><head><title>Bench page</title></head><body><h1>Bench page</h1>'
    for i in $(seq 1 60); do echo "<p>Paragraph $i of a plain local page, with a <a href=\"#p$i\">link</a>.</p>"; done
    echo '</body></html>'; } >"$page"
  url="file://$page"
}

# --- title stamps (spy_titles <window> <file> --stamp) ------------------------

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

# --- processor time -------------------------------------------------------------

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
# The percent of one core the trees of the processes given take over <seconds>.
cpu_percent() {  # cpu_percent <seconds> <pid...>
  local s=$1; shift
  tree_threads "$@" >"$work/cpu0"; sleep "$s"; tree_threads "$@" >"$work/cpu1"
  awk -v ms="$(cpu_ms_between "$work/cpu0" "$work/cpu1")" -v s="$s" 'BEGIN { printf "%.3f", ms / s / 10 }'
}
