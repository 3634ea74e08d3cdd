# The intervals exercise: the pair sounds, then the answer dialog comes up
# below the main window's top; the replay plays the same pair again; an
# answer shows its box and closes the dialog.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
start_ladoton
main=$(wait_for_sized_window 657 523)
focus "$main"

# The selector has the focus after start-up: Down picks the intervals.
xdotool key Down
click_in "$main" 280 20
wait_for_lines "$midi" 2
dialog=$(wait_for_sized_window 323 118)
first=$(note_at 1) second=$(note_at 2)
distance=$((first > second ? first - second : second - first))
[ "$distance" -ge 1 ] && [ "$distance" -le 4 ] || fail "the pair $first, $second is $distance semitones apart"

eval "$(xdotool getwindowgeometry --shell "$main")"
main_top=$Y
eval "$(xdotool getwindowgeometry --shell "$dialog")"
[ "$X" = 431 ] && [ "$Y" = $((main_top + 44)) ] || fail "dialog at $X,$Y (main window top $main_top)"

click_in "$dialog" 160 100
wait_for_lines "$midi" 4
[ "$(note_at 3) $(note_at 4)" = "$first $second" ] || fail "the replay played $(note_at 3) $(note_at 4)"
visible_windows | grep -qx "$dialog" || fail "the replay closed the dialog"

# The answer button of the distance: "1" to "4" side by side.
click_in "$dialog" $((24 + 72 * (distance - 1) + 28)) 44
box=$(wait_for_other_window "$main" "$dialog")
focus "$box"
xdotool key Return
wait_until_unmapped "$box"
wait_until_unmapped "$dialog"

# The main window takes input again.
focus "$main"
xdotool type x
wait_for_lines "$midi" 5
[ "$(note_at 5)" = 50 ] || fail "x played $(note_at 5)"
echo "intervals exercise ran to its answer box"
