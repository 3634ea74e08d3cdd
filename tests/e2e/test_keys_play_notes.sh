# Every key sounds its note, clicked with the mouse and typed on the
# keyboard (Latin and Cyrillic, capital and small); the octave arrows move
# the pitch of later notes; a letter of no key plays nothing.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
start_ladoton
main=$(wait_for_sized_window 657 523)
focus "$main"

# Centres of the keys' diamonds in semitone order (ДО, ДО #, ... СИ): white
# keys in the lower row, black ones above them.
key_x=(61 104 149 192 237 325 369 413 457 501 543 589)
key_y=(415 315 415 315 415 415 315 415 315 415 315 415)
expected=()
for s in $(seq 0 11); do
  click_in "$main" "${key_x[$s]}" "${key_y[$s]}"
  wait_for_lines "$midi" $((s + 1))
  expected+=("$(note_on $((48 + s)))")
done

# The keyboard: the same twelve notes, then one physical key four ways.
xdotool type --delay 30 'zsxdcvgbhnjm'
for s in $(seq 0 11); do expected+=("$(note_on $((48 + s)))"); done
wait_for_lines "$midi" 24
xdotool type --delay 30 'fZ'
wait_for_lines "$midi" 25
expected+=("$(note_on 48)")
xdotool type --delay 30 'яЯ'
wait_for_lines "$midi" 27
expected+=("$(note_on 48)" "$(note_on 48)")

# An octave down, then two up: ДО of the small and of the second octave.
click_in "$main" 76 224
xdotool type z
wait_for_lines "$midi" 28
click_in "$main" 564 224
click_in "$main" 564 224
xdotool type z
wait_for_lines "$midi" 29
expected+=("$(note_on 36)" "$(note_on 60)")

actual=$(cat "$midi")
want=$(printf '%s\n' "${expected[@]}")
[ "$actual" = "$want" ] || fail "notes played:
$actual
expected:
$want"
echo "keys by mouse and keyboard played their notes"
