# Keys typed while a handler sleeps are held and handled right after the
# sleep, in the order typed, without any further input to wake the program.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
start_probe
eval "$(xdotool getwindowgeometry --shell "$id")"
xdotool windowfocus --sync "$id" 2>/dev/null || true

# Each way of starting the sleep: a click on the Sleep button (20,20 100x30 in
# the form), and a typed "s", after which nothing else happens on screen.
check_round() {  # check_round START_COMMAND...
  local lines_before
  lines_before=$(wc -l <"$log")
  "$@"
  wait_for_log "$log" ' sleep-start$' "$lines_before"
  xdotool type --delay 40 'xdz'
  # No more input from here on.
  wait_for_log "$log" ' key z$' "$lines_before"
  tail -n +$((lines_before + 1)) "$log" >"$log.round"
  local events end first_key
  events=$(awk '{print $2 ($3 ? " " $3 : "")}' "$log.round" | grep -E '^(sleep|key [xdz])')
  expected=$'sleep-start\nsleep-end\nkey x\nkey d\nkey z'
  [ "$events" = "$expected" ] || { cat "$log" >&2; fail "events out of order: $(echo $events)"; }
  end=$(awk '$2 == "sleep-end" {print $1}' "$log.round")
  first_key=$(awk '$2 == "key" && $3 != "s" {print $1; exit}' "$log.round")
  [ "$first_key" -ge "$end" ] || fail "a key was handled during the sleep"
}
check_round xdotool mousemove $((X + 70)) $((Y + 35)) click 1
check_round xdotool type s
echo "keys handled after the sleep, in order"
