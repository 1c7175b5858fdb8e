# The shell harness of the end-to-end journeys (tests/e2e/*_test.sh) and of
# the benchmarks that drive the real program from outside (bench/*.sh).
#
# Sourcing it starts nothing: it defines functions and constants only. No
# process is started, no folder made and no trap set until a script calls
# the functions for what it needs, in a few lines at its top. A journey:
#
#   source "$(dirname "$0")/../harness/harness.sh"
#   harness_home            # a throw-away home, the engine kept off the network, cleanup on exit
#   copy_program "$1"       # a throw-away copy of the built program: $program, $progdir
#   start_wm                # openbox on the current display
#   start_server            # the local web server: $site, $server_log   (if the journey needs it)
#   start_sound norewinds=1 && keep_playing && record_sound   # (if it listens)
#   start_program           # the program, its output in $home/log, its pid in $pid
#   enter                   # the splash clicked, the main window there
#   ...
#   finish                  # prints "N passed, M failed" and ends with that status
#
# A benchmark: harness_display WxHxD "$0" "$@" (a display of its own when none
# is set), harness_home, start_wm, and the measures of measure.sh.
#
# Coming from the former tests/e2e/lib.sh: source this file instead, call the
# lines above where lib.sh started them while being sourced (E2E_START=later
# no longer exists: nothing starts unless called); `spies+=(pid)` is now
# `pids+=(pid)`; `at_exit <command>` runs a command of the script's own at
# exit, before the harness ends what it started.
#
# The parts, by concern:
#   home.sh     the throw-away home and program copy, the program's processes,
#               the local web server, cleanup at exit
#   display.sh  the X display and the window manager
#   sound.sh    the sound server of the run's own, its recording, sound checks
#   windows.sh  waiting, window lookup, titles, input (XTEST only), the screen
#   checks.sh   results: check, must, ok, bad, finish
#   measure.sh  clocks, medians, processor time and title stamps for benchmarks

harness_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
for harness_part in home display sound windows checks measure; do
  # shellcheck source=/dev/null
  source "$harness_dir/$harness_part.sh"
done
unset harness_part
