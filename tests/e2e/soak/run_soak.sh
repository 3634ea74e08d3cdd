# A soak run of the trainer (run under run_under_xvfb.sh, which sets DISPLAY
# and LADOTON_BIN): the soak driver beside the program sends SOAK_EVENTS
# random events (default 1000) with SOAK_SEED (default: a new one, printed)
# across every window and answers every box; then
#   - the program is still running and its main window plays typed notes;
#   - the MIDI log holds only note-ons of channel 1 at full velocity, one
#     8-digit line each, with notes the trainer can play (0 to 111);
#   - with SOAK_RSS_LIMIT_KB set, resident memory grew by less than that
#     between the first and the last sample (one every SOAK_RSS_EVERY events,
#     default 1000); sanitizer builds are not measured;
#   - "X" ends it with exit code 0.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"

events=${SOAK_EVENTS:-1000}
seed=${SOAK_SEED:-$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')}
every=${SOAK_RSS_EVERY:-1000}
driver="$(dirname "$LADOTON_BIN")/soak-driver"
[ -x "$driver" ] || fail "no soak driver at $driver (build the soak-driver target)"

start_ladoton
main=$(wait_for_sized_window 657 523)
echo "soak: $events events, seed $seed (repeat with SOAK_SEED=$seed)"
status=0
"$driver" --pid "$pid" --midi "$midi" --events "$events" --seed "$seed" --rss-every "$every" \
  --trace "${SOAK_TRACE:-$work/trace}" >"$work/driver.out" || status=$?
cat "$work/driver.out"
if [ "$status" != 0 ]; then
  echo "--- the driver's last actions:" >&2
  tail -n 30 "${SOAK_TRACE:-$work/trace}" >&2
  show_output
  fail "the soak driver failed (seed $seed)"
fi

# The MIDI log: well-formed note-ons only, one per line: 00, the velocity
# (127), the note (0 to 111) and the status (note-on, channel 1).
lines=$(wc -l <"$midi")
bad=$(grep -n -v -E '^007F([0-5][0-9A-F]|6[0-9A-F])90$' "$midi" | head -n1 || true)
[ -z "$bad" ] || fail "MIDI log line $bad is not a note-on the trainer sends"
[ "$(wc -c <"$midi")" = $((lines * 9)) ] || fail "the MIDI log has a broken line"
echo "MIDI lines checked: $lines"

# Resident memory between the first and the last sample.
read -r first last samples < <(awk '$1 == "rss" { if (!n++) f = $3; l = $3 } END { print f + 0, l + 0, n + 0 }' \
  "$work/driver.out")
growth=$((last - first))
echo "RSS: $samples samples, first $first kB, last $last kB, growth $growth kB"
if [ -n "${SOAK_RSS_LIMIT_KB:-}" ]; then
  if ldd "$LADOTON_BIN" | grep -q libasan; then
    echo "RSS not judged: a sanitizer build keeps freed memory in quarantine"
  elif [ "$samples" -ge 2 ]; then
    [ "$growth" -lt "$SOAK_RSS_LIMIT_KB" ] || fail "resident memory grew by $growth kB (limit $SOAK_RSS_LIMIT_KB kB)"
  fi
fi

# "X" ends the program with 0.
kill -0 "$pid" 2>/dev/null || fail "the program has ended"
focus "$main"
click_in "$main" 628 20
deadline=$((SECONDS + 60))
while kill -0 "$pid" 2>/dev/null && ! grep -q '^[^ ]* [^ ]* Z' "/proc/$pid/stat" 2>/dev/null; do
  [ "$SECONDS" -lt "$deadline" ] || fail "the program did not end on X"
  sleep 0.05
done
exit_status=0
wait "$pid" || exit_status=$?
[ "$exit_status" = 0 ] || { show_output; fail "exit code $exit_status after X"; }
echo "soak passed: $events events, seed $seed"
