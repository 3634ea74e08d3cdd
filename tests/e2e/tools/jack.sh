# Helpers for the MIDI end-to-end tests (sourced after lib.sh): a private JACK
# server with the dummy driver (no sound card needed) and the midi-peer
# program, a keyboard ($peer_name:out) and a listener ($peer_name-listen:in).

peer_bin="$(dirname "$LADOTON_BIN")/midi-peer"
jack_pid=
# A loaded machine (the sanitizer build, other jobs) must not get a client
# thrown out for being slow: the server waits long for each one (-t).
peer_pid=

# stop_process PID [SECONDS]: asks it to end, and makes it after ten (or
# SECONDS) seconds.
stop_process() {
  local p=$1 deadline=$((SECONDS + ${2:-10}))
  kill "$p" 2>/dev/null || return 0
  while kill -0 "$p" 2>/dev/null && [ "$SECONDS" -lt "$deadline" ]; do sleep 0.05; done
  kill -9 "$p" 2>/dev/null || true
  wait "$p" 2>/dev/null || true
}

# Ends the trainer, the peer and the server (its clients first, so it has
# nobody to wait for), and removes the work folder.
stop_midi_world() {
  exec 7>&- 2>/dev/null || true
  [ -n "${pid:-}" ] && stop_process "$pid"
  [ -n "$peer_pid" ] && stop_process "$peer_pid"
  [ -n "$jack_pid" ] && stop_process "$jack_pid"
  [ -n "${work:-}" ] && rm -rf "$work"
  return 0
}

# start_jack: the server under a name of its own, so a desktop's own server
# never meets the tests; root may not reserve the sound card. The name is
# fixed: JACK keeps a small table of server names that only the same name
# reclaims after a server that did not end cleanly (the end-to-end tests run
# one at a time).
start_jack() {
  work=${work:-$(mktemp -d)}
  trap stop_midi_world EXIT
  export JACK_NO_AUDIO_RESERVATION=1
  export JACK_DEFAULT_SERVER="ladoton-e2e"
  # A run that was killed (a test timeout) cannot have stopped its server:
  # that one is ours to end, or the name stays taken.
  local pidfile="${TMPDIR:-/tmp}/$JACK_DEFAULT_SERVER.jackd.pid" old
  old=$(cat "$pidfile" 2>/dev/null || true)
  if [ -n "$old" ] && [ -r "/proc/$old/cmdline" ] \
    && tr '\0' ' ' <"/proc/$old/cmdline" | grep -q "jackd -n $JACK_DEFAULT_SERVER "; then
    stop_process "$old" 2
  fi
  jackd -n "$JACK_DEFAULT_SERVER" -r -t 10000 -d dummy -r 48000 -p 512 >"$work/jackd.log" 2>&1 &
  jack_pid=$!
  echo "$jack_pid" >"$pidfile"
  local deadline=$((SECONDS + 30))
  until jack_lsp >/dev/null 2>&1; do
    kill -0 "$jack_pid" 2>/dev/null || { cat "$work/jackd.log" >&2; fail "jackd did not start"; }
    [ "$SECONDS" -lt "$deadline" ] || fail "jackd does not answer"
    sleep 0.05
  done
}

# start_peer NAME: the peer reads commands from file descriptor 7 ("peer
# CMD") and writes what it hears to $peer_out.
start_peer() {
  peer_name=$1
  peer_out="$work/peer.out"
  mkfifo "$work/peer.in"
  "$peer_bin" "$peer_name" <"$work/peer.in" >"$peer_out" 2>&1 &
  peer_pid=$!
  exec 7>"$work/peer.in"
  wait_for_peer '^ready$'
}

peer() { echo "$*" >&7; }

# wait_for_peer PATTERN: until the peer has printed a matching line.
wait_for_peer() {
  local deadline=$((SECONDS + 60))
  until grep -q -- "$1" "$peer_out"; do
    kill -0 "$peer_pid" 2>/dev/null || { cat "$peer_out" >&2; fail "midi-peer ended"; }
    [ "$SECONDS" -lt "$deadline" ] || { cat "$peer_out" >&2; show_output; fail "no '$1' from midi-peer"; }
    sleep 0.05
  done
}

# start_trainer_on_jack [ENV=VALUE...]: the trainer with its MIDI input on
# the peer's keyboard and device 0 writing to $midi; waits for its window
# ($main) and for the connection.
start_trainer_on_jack() {
  midi="$work/midi.log"
  : >"$midi"
  launch "$work/out.log" env LADOTON_MIDI_IN="port:$peer_name:out" LADOTON_MIDI_OUT="log:$midi" "$@" "$LADOTON_BIN"
  main=$(wait_for_sized_window 657 523)
  peer wait-connected
  wait_for_peer '^connected$'
}
