# e2e: window-manager
# Under a window manager a drag by the main window's surface or status line
# is handed to the window manager, which moves the window with the pointer;
# a drag on the instructions box hands nothing over and moves nothing. The
# program learns the new place (the interval dialog opens at it).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
start_ladoton
main=$(wait_for_sized_window 657 523)
activate "$main"
# The window manager logs each move a client asks it to start ("direction 8"
# is a move); the id as it writes it.
move_started="net_wm_moveresize for $(printf '0x%x' "$main") direction 8\$"

position() { local X Y WIDTH HEIGHT SCREEN WINDOW; eval "$(xdotool getwindowgeometry --shell "$main")"; echo "$X $Y"; }
# settle EXPECTED: waits until the window stands at "x y".
settle() {
  local deadline=$((SECONDS + 30))
  while [ "$(position)" != "$1" ]; do
    program_gone && fail "the program ended during a drag"
    [ "$SECONDS" -lt "$deadline" ] || fail "window at $(position), expected $1"
    sleep 0.05
  done
}
moves_started() { grep -c -- "$move_started" "$LADOTON_WM_LOG" || true; }

# drag FROM_X FROM_Y DX DY HANDED: a drag from the client point by DX, DY;
# HANDED (yes/no) whether the window manager is to take it over, which is
# waited for before the pointer moves.
drag() {
  local X Y WIDTH HEIGHT SCREEN WINDOW sx sy step logged
  eval "$(xdotool getwindowgeometry --shell "$main")"
  sx=$((X + $1)) sy=$((Y + $2))
  logged=$(grep -c '' "$LADOTON_WM_LOG" || true)
  xdotool mousemove --sync "$sx" "$sy" mousedown 1
  [ "$5" = yes ] && wait_for_log "$LADOTON_WM_LOG" "$move_started" "$logged" 30
  for step in 1 2 3 4 5; do
    xdotool mousemove --sync $((sx + $3 * step / 5)) $((sy + $4 * step / 5))
  done
  xdotool mouseup 1
}

read -r x0 y0 <<<"$(position)"
drag 300 200 40 30 yes        # the blue surface
settle "$((x0 + 40)) $((y0 + 30))"
drag 300 515 -25 -10 yes      # the status line
settle "$((x0 + 15)) $((y0 + 20))"

# The program knows where the window manager put its window: the interval
# dialog comes up at the moved window's top (the selector still has the
# focus, so Down picks the intervals).
xdotool key Down
click_in "$main" 280 20
dialog=$(wait_for_sized_window 323 118)
dialog_top=$(xdotool getwindowgeometry --shell "$dialog" | sed -n 's/^Y=//p')
[ "$dialog_top" = $((y0 + 20 + 44)) ] || fail "the dialog's top is $dialog_top, the moved window's $((y0 + 20))"
wm_close "$dialog"
wait_until_unmapped "$dialog"
# The memo: no move; the surface drag after it shows by the final place and
# by the count of moves the window manager started that it moved nothing.
started=$(moves_started)
drag 300 100 60 60 no
drag 300 200 5 5 yes
settle "$((x0 + 20)) $((y0 + 25))"
[ "$(moves_started)" = $((started + 1)) ] || fail "a drag on the memo started a move"

# The keys still play after the moves.
click_in "$main" 61 415
wait_for_lines "$midi" 3
[ "$(note_at 3)" = 48 ] || fail "ДО played $(note_at 3) after the moves"

echo "dragged through the window manager by surface and status line, not the memo"
