# Keys typed and notes played on a MIDI keyboard (through JACK) while the
# notes exercise plays are held, then judged in the order they were made.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/tools/jack.sh"
start_jack
start_peer mixed
start_trainer_on_jack

# Three notes: the up arrow of the note count, twice.
click_in "$main" 259 176
click_in "$main" 259 178
click_in "$main" 280 20
wait_for_lines "$midi" 1
focus "$main"
# Made during playback, a moment apart each so that their times differ (the
# pauses space the input; they wait for nothing): РЕ typed, МИ played, ФА
# typed. Whatever of it comes after playback is handled at once, in the same
# order.
xdotool type x
sleep 0.1
peer note 64
sleep 0.1
xdotool type v
wait_for_lines "$midi" 6
answers="$(note_at 4) $(note_at 5) $(note_at 6)"
[ "$answers" = "50 52 53" ] || fail "answers in the order $answers (log: $(tr '\n' ' ' <"$midi"))"
box=$(wait_for_other_window "$main")
[ "$(xdotool getwindowname "$box")" = "Результат" ] || fail "box titled '$(xdotool getwindowname "$box")'"
echo "typed keys and MIDI notes held by playback are judged in the order made"
