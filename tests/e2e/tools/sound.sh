# Helpers for the sound tests (sourced after lib.sh): a private sound server
# and a trainer that reaches it the way it would on a desktop, with device 0
# left at its default, the built-in synthesizer.
#
# Everything lives in $work, so neither the machine's own sound server nor
# its sound cards take part: the runtime directory (where PulseAudio and
# PipeWire clients look for their server) is private, clients never start a
# server of their own, and ALSA gets an empty configuration with no devices.

sound_tools=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# sound_environment: sets up $work/run and the variables above for every
# process started after it (the program, pactl, parec).
sound_environment() {
  mkdir -p "$work/run/pulse" "$work/home"
  chmod 700 "$work/run" "$work/run/pulse"
  printf 'autospawn = no\n' >"$work/client.conf"
  : >"$work/alsa.conf"
  export XDG_RUNTIME_DIR="$work/run" PULSE_RUNTIME_PATH="$work/run/pulse"
  export PULSE_CLIENTCONFIG="$work/client.conf" PULSE_COOKIE="$work/run/cookie"
  export ALSA_CONFIG_PATH="$work/alsa.conf"
  unset PULSE_SERVER PULSE_SINK PIPEWIRE_REMOTE PIPEWIRE_RUNTIME_DIR LADOTON_MIDI_OUT
}

# start_pulse: a PulseAudio server with one null sink, "ladoton_test", whose
# monitor records what the program plays; its pid is in $pulse_pid. Exits
# the test with 77 (skipped) when no PulseAudio can run here at all; a server
# that starts but does not answer fails the test.
start_pulse() {
  command -v pulseaudio >/dev/null || { echo "SKIP: pulseaudio is not installed"; exit 77; }
  command -v pactl >/dev/null || { echo "SKIP: pactl (pulseaudio-utils) is not installed"; exit 77; }
  # As root PulseAudio warns but runs with --system=false. No D-Bus, no
  # real-time scheduling and no default script: nothing reaches outside.
  env -u DISPLAY -u DBUS_SESSION_BUS_ADDRESS HOME="$work/home" \
    pulseaudio --daemonize=no --system=false --exit-idle-time=-1 -n --use-pid-file=no \
      --realtime=no --high-priority=no --log-target=stderr \
      --load="module-null-sink sink_name=ladoton_test rate=48000 channels=2" \
      --load="module-native-protocol-unix auth-anonymous=1" \
      >"$work/pulse.log" 2>&1 &
  pulse_pid=$!
  local deadline=$((SECONDS + 30))
  until pactl info >/dev/null 2>&1; do
    if ! kill -0 "$pulse_pid" 2>/dev/null; then
      echo "SKIP: PulseAudio cannot start here:"
      cat "$work/pulse.log"
      exit 77
    fi
    [ "$SECONDS" -lt "$deadline" ] || { cat "$work/pulse.log" >&2; fail "PulseAudio does not answer"; }
    sleep 0.05
  done
}

# stop_pulse [SIGNAL]: ends the server (if it runs) and waits for it.
stop_pulse() {
  [ -n "${pulse_pid:-}" ] || return 0
  kill "-${1:-TERM}" "$pulse_pid" 2>/dev/null || true
  wait "$pulse_pid" 2>/dev/null || true
  pulse_pid=
}

# start_recording: records the sink's monitor into $recording (mono 16-bit
# at 48 kHz) from now on; its pid is in $recorder_pid.
start_recording() {
  recording="$work/recording.raw"
  parec -d ladoton_test.monitor --raw --format=s16le --rate=48000 --channels=1 \
    --latency-msec=20 >"$recording" 2>"$work/parec.log" &
  recorder_pid=$!
  # The monitor delivers silence all the time, so bytes mean it records.
  local deadline=$((SECONDS + 30))
  until [ -s "$recording" ]; do
    kill -0 "$recorder_pid" 2>/dev/null || { cat "$work/parec.log" >&2; fail "parec ended"; }
    [ "$SECONDS" -lt "$deadline" ] || fail "parec recorded nothing within 30 s"
    sleep 0.05
  done
}

# stop_recording: ends the recorder.
stop_recording() {
  [ -n "${recorder_pid:-}" ] || return 0
  kill "$recorder_pid" 2>/dev/null || true
  wait "$recorder_pid" 2>/dev/null || true
  recorder_pid=
}

# sound_cleanup: what the tests' exit trap runs.
sound_cleanup() {
  kill "${pid:-}" 2>/dev/null || true
  stop_recording
  stop_pulse KILL
  rm -rf "$work"
}

# start_sound_ladoton: the program with device 0 at its default, in the
# environment above; $pid, output in $work/out.log.
start_sound_ladoton() {
  launch "$work/out.log" "$LADOTON_BIN"
}

# expect_pitch HZ: the recording holds a note at HZ (within 3 %).
expect_pitch() {
  local result
  result=$(python3 "$sound_tools/pitch.py" "$recording" "$1" 60) || fail "$result"
  echo "$result"
}

# status_reach ID: the rightmost column of text in the main window's status
# line. "Устройство MIDI успешно открыто." ends near a third of the width;
# the message of a device that did not open runs on past the middle.
# The window may be mapped a moment before it is painted: no text yet.
status_reach() {
  local reach deadline=$((SECONDS + 30))
  while :; do
    reach=$(python3 "$sound_tools/ink.py" "$1" 0 508 657 15) || fail "cannot read the status line"
    [ "$reach" -ge 0 ] || [ "$SECONDS" -ge "$deadline" ] && break
    sleep 0.05
  done
  echo "$reach"
}
status_says_opened() {
  local reach
  reach=$(status_reach "$1")
  [ "$reach" -gt 100 ] && [ "$reach" -lt 300 ] || fail "status line does not say the device opened (text reaches $reach)"
}
status_says_not_opened() {
  local reach
  reach=$(status_reach "$1")
  [ "$reach" -gt 360 ] || fail "status line does not say the device did not open (text reaches $reach)"
}

# quit_ladoton: "X" on the main window $main; the program must end with 0.
quit_ladoton() {
  click_in "$main" 628 20
  local status=0 deadline=$((SECONDS + 60))
  while kill -0 "$pid" 2>/dev/null; do
    [ "$SECONDS" -lt "$deadline" ] || { show_output; fail "the program did not end within 60 s of X"; }
    sleep 0.05
  done
  wait "$pid" || status=$?
  [ "$status" = 0 ] || { show_output; fail "exit code $status"; }
}
