# The notes exercise: "ЗАПУСТИТЬ" plays a note, the answer typed on the
# keyboard ends the run with its result box; an answer typed while the note
# still plays waits and counts once playback is over.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
start_ladoton
main=$(wait_for_sized_window 657 523)
focus "$main"

# close_result_box: waits for the result box, closes it with Return and
# waits until it has gone.
close_result_box() {
  local box
  box=$(wait_for_other_window "$main")
  [ "$(xdotool getwindowname "$box")" = "Результат" ] || fail "box titled '$(xdotool getwindowname "$box")'"
  focus "$box"
  xdotool key Return
  wait_until_unmapped "$box"
}

# Round 1: one note (the default count), answered right.
click_in "$main" 280 20
wait_for_lines "$midi" 1
target=$(($(note_at 1) - 48))
[ "$target" -ge 0 ] && [ "$target" -le 11 ] || fail "note $(note_at 1) is outside the octave"
focus "$main"
xdotool type "${key_letters[$target]}"
wait_for_lines "$midi" 2
[ "$(note_at 2)" = "$(note_at 1)" ] || fail "the answer played $(note_at 2)"
close_result_box

# Round 2: the start button is enabled again; an answer typed at once is
# held during the one-second playback and judged after it.
focus "$main"
click_in "$main" 280 20
xdotool type j
wait_for_lines "$midi" 4
[ "$(note_at 4)" = 58 ] || fail "the held answer played $(note_at 4) (line order: $(tr '\n' ' ' <"$midi"))"
close_result_box

# The keys only sound again afterwards: no box.
focus "$main"
xdotool type z
wait_for_lines "$midi" 5
[ "$(visible_windows | wc -l)" = 1 ] || fail "a window besides the main one is up"
echo "notes exercise ran to its result box twice"
