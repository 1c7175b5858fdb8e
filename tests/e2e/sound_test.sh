#!/usr/bin/env bash
# Sounds and the splash's slides as a user meets them, recorded from a sound
# server of the test's own whose output goes to a null sink:
#  - the splash, clicked, is seen moving across the screen at many places,
#    with the closing sound heard as it starts to move;
#  - ten clicks on the Back button half a second apart give ten click sounds;
#  - a sound cuts off the one playing at once, and is not queued behind it;
#  - once its sounds have played, the program holds no stream open at the
#    sound server.
set -euo pipefail
source "$(dirname "$0")/../harness/harness.sh"
harness_home "$1"
# A sound server of our own, apart from any other on the machine, kept
# playing silence as a sound card would.
start_sound norewinds=1 || exit 1
keep_playing
start_wm
start_program

# Streams at the server other than the silent one.
no_program_stream() { [ "$(pactl list sink-inputs | grep 'application.name = ' | grep -vc '"keeper"')" = 0 ]; }
# Records what the sink plays, 8000 samples a second, mono, 16 bits.
# Returns once samples arrive (a recording may take a second to start).
rec_start() {
  parec -d "$sound_sink.monitor" --rate=8000 --channels=1 --format=s16le --latency-msec=10 >"$1" & rec_pid=$!
  pids+=($rec_pid)
  for _ in $(seq 1 300); do [ -s "$1" ] && break; sleep 0.01; done
  sleep 0.3
}
rec_stop() { kill "$rec_pid" 2>/dev/null || true; wait "$rec_pid" 2>/dev/null || true; }
# The start of each sound in a recording, in ms from its beginning: a sound
# begins where 5 ms windows go above the noise floor after 40 ms of silence.
onsets() {
  od -An -v -t d2 -w2 "$1" | awk '
    { v = $1 < 0 ? -$1 : $1; if (v > peak) peak = v; n++
      if (n % 40 == 0) {
        if (peak > 200) { if (quiet >= 8) printf "%d\n", (n - 40) / 8; quiet = 0 }
        else quiet++
        peak = 0 } }
    BEGIN { quiet = 8 }'
}
# In a recording: where its first sound starts, and where a click sound
# starts within it (the first 5 ms, 40 ms or more into the sound, at least
# 3000 louder than the 5 ms before: a click's attack, which no opening or
# closing sound has after its first 20 ms), in ms; -1 for none.
first_and_click() {
  od -An -v -t d2 -w2 "$1" | awk '
    { v = $1 < 0 ? -$1 : $1; if (v > peak) peak = v; n++
      if (n % 40 == 0) {
        t = (n - 40) / 8
        if (peak > 200 && first < 0) first = t
        if (first >= 0 && t - first >= 40 && peak - last >= 3000 && click < 0) click = t
        last = peak; peak = 0 } }
    BEGIN { first = -1; click = -1 }
    END { printf "%d %d\n", first, click }'
}
failed=0

need_window 20 '^(Nimbrel)?$' "splash window"
splash=$(window_named '^(Nimbrel)?$')
sleep 2.5  # the intro sound ends
rec_start "$work/slides.raw"
xdotool mousemove --window "$splash" 20 20 click 1
# Where the window system shows the splash while it slides away.
places="$work/places"
# One X query a sample: its place, and whether it is still shown.
for _ in $(seq 1 5000); do
  xwininfo -id "$splash" 2>/dev/null | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
    /Map State/{m=$NF} END {print x "," y; exit (m != "IsViewable")}' >>"$places" || break
done
need_window 60 '^Nimbrel - .' "main window"
sleep 0.5
rec_stop
distinct=$(sort -u "$places" | wc -l)
echo "splash seen at $distinct places"
if [ "$distinct" -lt 20 ]; then echo "FAIL: the splash was seen at fewer than 20 places"; failed=1; fi
first=$(onsets "$work/slides.raw" | head -n1)
# The click comes 300 ms into the recording; its sound must follow at once.
echo "first sound at ${first:-none} ms of the recording, the click at about 300 ms"
if [ -z "$first" ] || [ "$first" -lt 250 ] || [ "$first" -gt 600 ]; then echo "FAIL: no closing sound as the splash slid away"; failed=1; fi

main=$(window_named '^Nimbrel - .')
sleep 2  # the main window's opening sound ends, the first page settles
rec_start "$work/clicks.raw"
for _ in $(seq 1 10); do
  xdotool mousemove --window "$main" 124 12 click 1
  sleep 0.5
done
sleep 0.5
rec_stop
heard=$(onsets "$work/clicks.raw" | wc -l)
echo "ten clicks on Back, sounds heard: $heard"
if [ "$heard" -ne 10 ]; then echo "FAIL: ten clicks gave $heard sounds"; onsets "$work/clicks.raw"; failed=1; fi

# The notepad's opening sound (a quarter of a second) cut off by a click on
# Back 150 ms after the menu choice: the click is heard whole, while the
# opening sound would still be playing, not after it.
xdotool mousemove --window "$main" 30 10 click 1
wait_for 5 menu_is_up || true
sleep 0.6  # the menu button's click ends
rec_start "$work/cut.raw"
xdotool key Down Down Down Right Down Down Right Down Down Return sleep 0.15 mousemove --window "$main" 124 12 click 1
sleep 0.8
rec_stop
read -r opened clicked <<<"$(first_and_click "$work/cut.raw")"
echo "opening sound at $opened ms of the recording, the click cutting it off at $clicked ms"
if [ "$opened" -lt 0 ] || [ "$clicked" -lt 0 ] || [ $((clicked - opened)) -ge 240 ]; then
  echo "FAIL: the click did not cut the opening sound off at once"; failed=1
fi
need_window 10 '^Notepad {24}NB$' "notepad window"
shot_window sound-cut "$(window_named '^Notepad {24}NB$')"

# As soon as its sounds have played (the last ended a second ago), the program
# holds nothing open at the sound server: a stream kept open, even silent,
# holds the server to its short latency and keeps it waking.
if wait_for 2 no_program_stream; then
  echo "the program closed its stream once quiet"
else
  echo "FAIL: the program keeps a stream open at the sound server while resting"; pactl list sink-inputs; failed=1
fi

if [ "$failed" -ne 0 ]; then tail -n 20 "$home/log"; exit 1; fi
echo "5 passed, 0 failed"
