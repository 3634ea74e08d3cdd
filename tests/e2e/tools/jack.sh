# Helpers for the MIDI end-to-end tests (sourced after lib.sh): a private JACK
# server with the dummy driver (no sound card needed) and the midi-peer
# program, a keyboard ($peer_name:out) and a listener ($peer_name-listen:in).

peer_bin="$(dirname "$LADOTON_BIN")/midi-peer"
jack_pid=
peer_pid=

# Ends the peer, the trainer and the server, and removes the work folder.
stop_midi_world() {
  exec 7>&- 2>/dev/null || true
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null || true
  [ -n "$peer_pid" ] && kill "$peer_pid" 2>/dev/null || true
  [ -n "$jack_pid" ] && kill "$jack_pid" 2>/dev/null || true
  [ -n "${pid:-}" ] && wait "$pid" 2>/dev/null || true
  [ -n "$peer_pid" ] && wait "$peer_pid" 2>/dev/null || true
  [ -n "$jack_pid" ] && wait "$jack_pid" 2>/dev/null || true
  [ -n "${work:-}" ] && rm -rf "$work"
  return 0
}

# start_jack: the server under a name of its own, so parallel runs and a
# desktop's own server never meet; root may not reserve the sound card.
start_jack() {
  work=${work:-$(mktemp -d)}
  trap stop_midi_world EXIT
  export JACK_NO_AUDIO_RESERVATION=1
  export JACK_DEFAULT_SERVER="ladoton-e2e-$$-$RANDOM"
  jackd -n "$JACK_DEFAULT_SERVER" -r -d dummy -r 48000 -p 256 >"$work/jackd.log" 2>&1 &
  jack_pid=$!
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
