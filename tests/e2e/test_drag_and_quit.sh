# The main window moves when dragged by its blue surface or its status
# line, not by its instructions box; "X" ends the program at once with exit
# code 0, even while an exercise waits for answers.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
start_ladoton
main=$(wait_for_sized_window 657 523)

position() { local X Y WIDTH HEIGHT SCREEN WINDOW; eval "$(xdotool getwindowgeometry --shell "$main")"; echo "$X $Y"; }
drag() {  # drag FROM_X FROM_Y (client point) by DX DY
  local X Y WIDTH HEIGHT SCREEN WINDOW sx sy step
  eval "$(xdotool getwindowgeometry --shell "$main")"
  sx=$((X + $1)) sy=$((Y + $2))
  xdotool mousemove --sync "$sx" "$sy" mousedown 1
  for step in 1 2 3 4 5; do
    xdotool mousemove --sync $((sx + $3 * step / 5)) $((sy + $4 * step / 5))
  done
  xdotool mouseup 1
}
# settle EXPECTED: waits until the window stands at "x y".
settle() {
  local deadline=$((SECONDS + 30))
  while [ "$(position)" != "$1" ]; do
    program_gone && fail "the program ended during a drag"
    [ "$SECONDS" -lt "$deadline" ] || fail "window at $(position), expected $1"
    sleep 0.05
  done
}

read -r x0 y0 <<<"$(position)"
drag 300 200 40 30           # the blue surface between the groups and the octave label
settle "$((x0 + 40)) $((y0 + 30))"
drag 300 515 -25 -10         # the status line
settle "$((x0 + 15)) $((y0 + 20))"
# A drag on the memo must not move the window; the surface drag after it
# shows by the final place whether it did (events are handled in order).
drag 300 100 60 60
drag 300 200 5 5
settle "$((x0 + 20)) $((y0 + 25))"

# "X" while a notes exercise waits for its answer.
focus "$main"
click_in "$main" 280 20
wait_for_lines "$midi" 1
click_in "$main" 628 20
status=0
wait "$pid" || status=$?
[ "$status" = 0 ] || fail "exit code $status"
[ "$(wc -l <"$midi")" = 1 ] || fail "notes after the quit: $(cat "$midi")"
echo "dragged by surface and status line, not the memo; X ended with 0"
