# A press on the form's surface (or on a label lying on it) and a move drag
# the window; without a window manager the window follows the pointer itself.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
start_probe

drag() {  # drag FROM_X FROM_Y (form coordinates) by DX DY
  eval "$(xdotool getwindowgeometry --shell "$id")"
  local sx=$((X + $1)) sy=$((Y + $2))
  xdotool mousemove "$sx" "$sy" mousedown 1
  for step in 1 2 3 4 5; do
    xdotool mousemove $((sx + $3 * step / 5)) $((sy + $4 * step / 5))
    sleep 0.05
  done
  xdotool mouseup 1
}
position() { eval "$(xdotool getwindowgeometry --shell "$id")"; echo "$X $Y"; }
# settle EXPECTED: waits (bounded) until the window stands at EXPECTED ("x y"),
# then prints where it stands; a slow program gets time to follow the pointer.
settle() {
  local deadline=$((SECONDS + 20)) now
  while now=$(position); [ "$now" != "$1" ] && [ "$SECONDS" -lt "$deadline" ]; do
    program_gone && fail "the probe ended during a drag"
    sleep 0.05
  done
  echo "$now"
}

before=$(position)
read -r bx by <<<"$before"
drag 200 100 40 30          # the blue surface
after=$(settle "$((bx + 40)) $((by + 30))")
read -r ax ay <<<"$after"
[ $((ax - bx)) -eq 40 ] && [ $((ay - by)) -eq 30 ] || fail "surface drag moved from $before to $after"

drag 150 190 -25 -10        # the status label on the surface
read -r cx cy <<<"$(settle "$((ax - 25)) $((ay - 10))")"
[ $((cx - ax)) -eq -25 ] && [ $((cy - ay)) -eq -10 ] || fail "label drag moved from $after to $cx $cy"

# The button is a control of its own: no move. The probe logs every move, so
# once the release has been handled (the log has gone quiet) the window
# must still stand where it was.
lines=$(wc -l <"$log")
drag 70 35 30 30
sleep 0.5
read -r dx dy <<<"$(position)"
[ "$dx $dy" = "$cx $cy" ] || fail "a press on the button moved the window"
tail -n +$((lines + 1)) "$log" | grep -q ' moved ' && fail "a press on the button moved the window (logged)"
echo "window dragged by its surface and its label, not by its button"
