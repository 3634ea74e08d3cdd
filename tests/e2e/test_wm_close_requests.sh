# e2e: window-manager
# The window manager's close request (a title bar's close button, Alt+F4)
# ends the modal loop of the About window, of the interval dialog and of a
# message box, after which the main window answers again; to the main
# window it ends the program with exit code 0.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
start_ladoton
main=$(wait_for_sized_window 657 523)
activate "$main"

# close_then_play WINDOW WHAT: the close request to WINDOW; the main window
# becomes active again by itself, and ДО typed there must sound.
close_then_play() {
  local lines
  wm_close "$1"
  wait_until_unmapped "$1"
  wait_until_active "$main"
  lines=$(wc -l <"$midi")
  xdotool type z
  wait_for_lines "$midi" $((lines + 1))
  [ "$(note_at $((lines + 1)))" = 48 ] || fail "z played $(note_at $((lines + 1))) after closing $2"
}

click_in "$main" 596 20
close_then_play "$(wait_for_sized_window 203 312)" "the About window"

# The result box of the notes exercise.
click_in "$main" 280 20
wait_for_lines "$midi" 2
xdotool type "${key_letters[$(($(note_at 2) - 48))]}"
close_then_play "$(wait_for_other_window "$main")" "the result box"

# The interval dialog, twice: the exercise can start again after a close.
xdotool key Down
for round in 1 2; do
  lines=$(wc -l <"$midi")
  click_in "$main" 280 20
  wait_for_lines "$midi" $((lines + 2))
  close_then_play "$(wait_for_sized_window 323 118)" "the interval dialog (round $round)"
done

wm_close "$main"
status=0
wait "$pid" || status=$?
[ "$status" = 0 ] || fail "exit code $status after the close request to the main window"
echo "close requests ended the About window, the result box, the dialog and the program"
