# e2e: window-manager
# The About window, the interval dialog and the message boxes stand above the
# main window, where the program put them; a click on the main window while
# one of them is up neither plays a key nor raises the main window over it,
# and the box still answers.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
start_ladoton
main=$(wait_for_sized_window 657 523)
activate "$main"

# click_main_while WINDOW WHAT: a click on ДО of the main window, which the
# modal WINDOW blocks; WINDOW must stay above and no note may sound.
click_main_while() {
  local lines
  lines=$(wc -l <"$midi")
  click_in "$main" 61 415
  wm_sync
  expect_above "$1" "$main" "$2 after a click on the main window"
  [ "$(wc -l <"$midi")" = "$lines" ] || fail "a key played while $2 was up"
}

# at ID X Y WHAT: the window manager left window ID where the program put it.
at() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  [ "$X $Y" = "$2 $3" ] || fail "$4 at $X,$Y, not $2,$3"
}
main_top=$(xdotool getwindowgeometry --shell "$main" | sed -n 's/^Y=//p')
read -r screen_w screen_h <<<"$(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[1], d[2]}')"

# The About window ("?"), centred on the screen.
click_in "$main" 596 20
about=$(wait_for_sized_window 203 312)
expect_above "$about" "$main" "the About window"
at "$about" $(((screen_w - 203) / 2)) $(((screen_h - 312) / 2)) "the About window"
click_main_while "$about" "the About window"
activate "$about"
click_in "$about" 101 284
wait_until_unmapped "$about"

# The result box of the notes exercise (one note, answered at once).
activate "$main"
click_in "$main" 280 20
wait_for_lines "$midi" 1
xdotool type "${key_letters[$(($(note_at 1) - 48))]}"
box=$(wait_for_other_window "$main")
expect_above "$box" "$main" "the result box"
click_main_while "$box" "the result box"
activate "$box"
xdotool key Return
wait_until_unmapped "$box"

# The interval dialog, and the answer box above both.
activate "$main"
xdotool key Down
click_in "$main" 280 20
dialog=$(wait_for_sized_window 323 118)
expect_above "$dialog" "$main" "the interval dialog"
at "$dialog" 431 $((main_top + 44)) "the interval dialog"
click_main_while "$dialog" "the interval dialog"
click_in "$dialog" 52 44
box=$(wait_for_other_window "$main" "$dialog")
expect_above "$box" "$main" "the answer box"
above "$box" "$dialog" || fail "the answer box is under the dialog (bottom to top: $(stacking | tr '\n' ' '))"
activate "$box"
xdotool key Return
wait_until_unmapped "$box"
wait_until_unmapped "$dialog"

# The main window answers again.
activate "$main"
lines=$(wc -l <"$midi")
xdotool type z
wait_for_lines "$midi" $((lines + 1))
echo "the About window, the dialog and the boxes stayed above the main window"
