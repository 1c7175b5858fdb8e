# The shell harness of the end-to-end journeys (tests/e2e/*_test.sh) and of
# the benchmarks that drive the real program from outside (bench/*.sh).
#
# Sourcing it starts nothing: it defines functions and constants only. No
# process is started, no folder made and no trap set until a script calls
# the functions for what it needs, in a few lines at its top. A journey:
#
#   source "$(dirname "$0")/../harness/harness.sh"
#   harness_home "$1"       # a throw-away home with a copy of the built program in it
#                           # ($program, $progdir), the engine kept off the network,
#                           # everything started ended at exit
#   start_wm                # openbox on the current display
#   start_server            # the local web server: $site, $server_log   (if the journey needs it)
#   start_listening         # the sound server, recorded: sound=yes (if it listens)
#   start_program           # the program, its output in $home/log, its pid in $pid
#   enter                   # the splash clicked, the main window there
#   ...
#   finish                  # prints "N passed, M failed" and ends with that status
#
# A benchmark: harness_display WxHxD "$0" "$@" (a display of its own when none
# is set), harness_home, start_wm, and the measures of measure.sh.
#
# Coming from the former tests/e2e/lib.sh: source this file instead, and call
# at the top what lib.sh started while being sourced - `harness_home "$1"`
# and `start_wm` - then `start_program` where lib.sh started the program (at
# once, or with E2E_START=later where the journey called it). lib.sh's
# start_sound did three things, now start_sound norewinds=1, keep_playing and
# record_sound; `if start_sound; then sound=yes; else ...; fi` is
# `start_listening`. `spies+=(pid)` is `pids+=(pid)`; an exit trap of the
# script's own is `at_exit <command>`. Every other function keeps its name
# and meaning. New: open_main_window (enter, then the start page's load
# over); open_from_menu; menu sets $t for the sound checks (heard,
# before_sound, now: sound.sh).
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
