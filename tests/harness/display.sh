# The X display and the window manager.

# With no display set, runs <command> (the script again, as a rule) under an
# Xvfb of its own with a screen of <WxHxD>: xvfb-run takes the first free
# display number from NIMBREL_DISPLAY_FROM (default 99) up, as scripts/test.sh
# does. With one set, waits until it answers and returns.
harness_display() {  # harness_display <WxHxD> <command...>
  local screen=$1; shift
  if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -n "${NIMBREL_DISPLAY_FROM:-99}" -s "-screen 0 $screen -noreset" "$@"
  fi
  for _ in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
  return 0
}

# openbox on the current display, unless WM=none; its pid in $wm_pid.
start_wm() {
  wm_pid=""
  [ "${WM:-openbox}" = none ] && return 0
  openbox --sm-disable >/dev/null 2>&1 &
  wm_pid=$!
  pids+=($wm_pid)
  wait_for 10 wmctrl -m >/dev/null 2>&1 || sleep 0.5
}
