# The sound server of the script's own, its recording, and the journeys'
# sound checks.

sound_sink=rec   # the null sink; its recording is "$sound_sink.monitor"

# A PulseAudio daemon of the script's own, apart from any other on the
# machine, with one null sink whose monitor can be recorded; options for the
# sink follow (norewinds=1: see keep_playing). The program finds it through
# PULSE_SERVER. Its pid in $pa_pid. Fails, saying why, when none answers.
start_sound() {  # start_sound [null-sink option...]
  local run="$home/pulse"
  if ! command -v pulseaudio >/dev/null || ! command -v pactl >/dev/null; then
    echo "no sound daemon: pulseaudio or its utilities are not installed"
    return 1
  fi
  mkdir -p "$run"
  cat >"$run/default.pa" <<EOF
load-module module-null-sink sink_name=$sound_sink rate=44100 $*
set-default-sink $sound_sink
set-default-source $sound_sink.monitor
load-module module-native-protocol-unix auth-anonymous=1 socket=$run/native
EOF
  XDG_RUNTIME_DIR="$run" PULSE_RUNTIME_PATH="$run" \
    pulseaudio -n -F "$run/default.pa" --exit-idle-time=-1 --daemonize=no --use-pid-file=no \
    --disallow-exit --log-target=file:"$run/daemon.log" >/dev/null 2>&1 &
  pa_pid=$!
  pids+=($pa_pid)
  export PULSE_SERVER="unix:$run/native"
  if ! wait_for 10 test -S "$run/native" || ! wait_for 10 pactl info >/dev/null 2>&1; then
    echo "no sound daemon: $(tail -3 "$run/daemon.log" 2>/dev/null)"
    kill "$pa_pid" 2>/dev/null; pa_pid=""
    unset PULSE_SERVER
    return 1
  fi
}
# A null sink with nothing to play renders in blocks of seconds, and its
# recording lags behind by as much, where a sound card plays on: a silent
# stream keeps the sink playing with a short latency, as a card would, and
# with rewinds off (norewinds=1) the recording holds just what a card would
# have played. Its pid in $keeper_pid.
keep_playing() {
  pacat --playback --raw --format=s16le --rate=44100 --channels=2 --latency-msec=10 \
    --client-name=keeper </dev/zero 2>/dev/null &
  keeper_pid=$!
  pids+=($keeper_pid)
}
# Records what the sink plays from now on into $recording, as sound.py reads
# it (16 kHz, mono, 16 bits); $rec_start is the time the recording began.
record_sound() {
  recording="$home/sound.raw"
  parec -d "$sound_sink.monitor" --raw --format=s16le --rate=16000 --channels=1 --latency-msec=40 >"$recording" 2>/dev/null &
  recorder_pid=$!
  pids+=($recorder_pid)
  wait_for 10 test -s "$recording" || { echo "recorder did not start"; return 1; }
  local bytes
  bytes=$(stat -c %s "$recording")
  rec_start=$(awk -v n="$(date +%s.%N)" -v b="$bytes" 'BEGIN { printf "%.3f", n - b / 32000 }')
}

sound_py() { "$python" "$e2e_dir/sound.py" "$@"; }
# Seconds since the recording began.
sound_time() { awk -v n="$(date +%s.%N)" -v s="$rec_start" 'BEGIN { printf "%.3f", n - s }'; }
# Waits until the sound card has been silent for a while, so the next sound
# can only come from the next action.
sound_quiet() { sound_py wait-quiet "$recording" "${1:-0.8}" "${2:-20}" >/dev/null; }
# True when a sound starts within <seconds> after <time>.
sound_heard_after() {  # sound_heard_after <time> [seconds]
  local from to out
  from=$(awk -v t="$1" 'BEGIN { printf "%.3f", t - 0.3 }')
  to=$(awk -v t="$1" -v w="${2:-4}" 'BEGIN { printf "%.3f", t + w }')
  out=$(sound_py heard "$recording" "$from" "$to" 20) || { echo "    $out"; return 1; }
  echo "    sound at $(cut -d' ' -f1 <<<"$out") s (action at $1 s)"
}
keep_recording() { [ -n "${recording:-}" ] && cp "$recording" "$shots/${e2e_name}-sound.raw" 2>/dev/null; }

# For a journey that listens: the sound server, kept playing and recorded from
# now on, and sound=yes; or, where none starts, sound=no, and the checks
# below pass unheard, take no time, and the time is 0.
start_listening() {
  if start_sound norewinds=1 && keep_playing && record_sound; then
    sound=yes
  else
    sound=no
    echo "sound checks skipped: no sound daemon"
  fi
}
heard() {  # heard <what> <action time>
  [ "${sound:-no}" = yes ] || return 0
  check "$1 is heard" sound_heard_after "$2" 4 || true
}
before_sound() { if [ "${sound:-no}" = yes ]; then sound_quiet || true; fi; }
now() { if [ "${sound:-no}" = yes ]; then sound_time; else echo 0; fi; }
