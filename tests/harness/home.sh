# The throw-away home and program copy, the program's processes, the local
# web server, and the cleanup at exit.

# The journeys' own files: the web server, the sound reader, the pages served.
e2e_dir=$(cd "$harness_dir/../e2e" && pwd)
e2e_name=$(basename "$0" .sh)
python=$(command -v /usr/bin/python3 || command -v python3)

# Everything but this machine goes to a proxy on a closed local port, so the
# start page fails at once and the same way every run. The engine reaches
# 127.0.0.1 directly: loopback is never sent to a proxy.
closed_proxy=http://127.0.0.1:9
engine_flags="--disable-background-networking --disable-component-update --no-first-run --proxy-server=$closed_proxy"

pid=""         # the program
pids=()        # everything else the script started, ended at exit
exit_commands=()

# A home of the script's own ($home; $work, in it, for scratch files), the
# engine's flags and the proxy variables set, and the cleanup set to run at
# exit: it ends what was started and removes the home (E2E_KEEP=1 keeps it).
# Given the built program, the home gets a copy of it to run (copy_program).
harness_home() {  # harness_home [built program]
  home=$(mktemp -d)
  export HOME="$home" XDG_DATA_HOME="$home/data" XDG_CACHE_HOME="$home/cache" XDG_CONFIG_HOME="$home/config"
  work="$home/work"
  mkdir -p "$work"
  export QTWEBENGINE_CHROMIUM_FLAGS="$engine_flags"
  # Transfers that follow the usual proxy variables get the same closed proxy
  # for anything that is not this machine.
  export http_proxy=$closed_proxy https_proxy=$closed_proxy no_proxy=127.0.0.1,localhost
  trap harness_cleanup EXIT
  if [ $# -gt 0 ]; then copy_program "$1"; fi
}
# A command of the script's own to run at exit, before the harness's cleanup.
at_exit() { exit_commands+=("$*"); }
harness_cleanup() {
  local c i
  for c in "${exit_commands[@]}"; do eval "$c" || true; done
  # The program first, then the rest, the last started first.
  kill $pid 2>/dev/null || true
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
  if [ -n "${E2E_KEEP:-}" ]; then echo "kept $home"; else rm -rf "$home"; fi
  return 0
}

# A copy of the directory of <program> at <dir>, without the user files an
# earlier run in the build tree may have left there.
program_copy() {  # program_copy <program> <dir>
  cp -a "$(dirname "$1")" "$2"
  rm -f "$2/Notes.TXT" "$2/FavPlaces.TXT" "$2/Preview.html" "$2"/.*.part
}
# The program runs from a copy of its directory in the home ($program in
# $progdir), so the notes, favourites and preview files of one run never meet
# another. Sets $build (the build directory) and $shots (screenshots).
copy_program() {  # copy_program <built program>
  built_program=$(readlink -f "$1")
  build=$(cd "$(dirname "$built_program")/.." && pwd)
  shots="${NIMBREL_SHOTS:-$build/shots}"
  mkdir -p "$shots"
  progdir="$home/program"
  program_copy "$built_program" "$progdir"
  program="$progdir/$(basename "$built_program")"
}

# --- the program ---------------------------------------------------------------

start_program() {
  "$program" >>"$home/log" 2>&1 &
  pid=$!
}
ended() { ! kill -0 "$pid" 2>/dev/null; }
# The engine's processes of this script's program (they carry its home).
engine_procs() {
  local p
  for p in $(pgrep -f QtWebEngineProcess 2>/dev/null); do
    if tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qxF "HOME=$home"; then echo "$p"; fi
  done
  return 0
}
# The engine's processes must all be gone once the program has ended.
engine_gone() { [ -z "$(engine_procs)" ]; }
no_engine_left() {
  if wait_for 10 engine_gone; then return 0; fi
  echo "engine processes left behind: $(engine_procs | tr '\n' ' ')"
  exit 1
}

# --- the local web server ------------------------------------------------------

# tests/e2e/server.py serving tests/e2e/pages on 127.0.0.1, each request
# logged to <log>, its port written to <port file>; further options go to
# the server (--tls CERT KEY speaks HTTPS).
serve_pages() {  # serve_pages <log> <port file> [server option...]
  local log=$1 port_file=$2; shift 2
  : >"$log"
  "$python" "$e2e_dir/server.py" --root "$e2e_dir/pages" --log "$log" \
    --port-file "$port_file" --parent $$ --limit 1200 "$@" &
  pids+=($!)
}
start_server() {
  server_log="$home/requests.log"
  serve_pages "$server_log" "$home/port"
  must "the local web server starts" wait_for 15 test -s "$home/port"
  port=$(cat "$home/port")
  site="http://127.0.0.1:$port"
}
# How many times the server saw an event (GET, DONE, ABORT) for a path.
requests() {  # requests <event> <path> [client]
  awk -v e="$1" -v p="$2" -v c="${3:-}" '$2 == e && $3 == p && (c == "" || $4 == c)' "$server_log" | wc -l
}
request_count_at_least() { [ "$(requests "$1" "$2" "${4:-}")" -ge "$3" ]; }
wait_request() {  # wait_request <seconds> <event> <path> <count> [client]
  local limit=$1; shift
  wait_for "$limit" request_count_at_least "$@"
}
