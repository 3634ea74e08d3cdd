# Notes played on a MIDI keyboard (the peer, through JACK) sound like the
# trainer's keys; other messages change nothing; a flood of notes leaves the
# window answering; the JACK server stopping leaves the program running.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/tools/jack.sh"
start_jack
start_peer keys
start_trainer_on_jack

peer note 60
peer note 73
wait_for_lines "$midi" 2
[ "$(note_at 1)" = 48 ] && [ "$(note_at 2)" = 49 ] || fail "played $(tr '\n' ' ' <"$midi")"

# Velocity 0, note-off, a controller, system exclusive and a lone data byte,
# then one more note: only that note sounds.
peer raw 90 3C 00
peer raw 80 3C 40
peer raw B0 07 64
peer raw F0 7E 7F 09 01 F7
peer raw 3C
peer note 62
wait_for_lines "$midi" 3
[ "$(note_at 3)" = 50 ] || fail "played $(tr '\n' ' ' <"$midi")"

# Two seconds of 5000 notes a second: the window still takes a typed key
# right after.
peer flood 5000 2
wait_for_peer '^flooded$'
before=$(wc -l <"$midi")
focus "$main"
xdotool type m
wait_for_log "$midi" "$(note_on 59)" "$before"

# The keyboard's port goes away, then the server: the program runs on and
# its keys still sound.
stop_process "$peer_pid"; peer_pid=
before=$(wc -l <"$midi")
focus "$main"
xdotool type z
wait_for_log "$midi" "$(note_on 48)" "$before"
# A server that still has clients waits long for them; it is made to go.
stop_process "$jack_pid" 2; jack_pid=
before=$(wc -l <"$midi")
focus "$main"
xdotool type x
wait_for_log "$midi" "$(note_on 50)" "$before"
# Its input, now on a server that is gone, is closed from the menu ("Вход
# MIDI", then "Нет"): the program runs on.
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove --sync $((X + 300)) $((Y + 515)) click 3
menu=$(wait_for_other_window "$main")
xdotool key --delay 150 Down Down Down Right Return
wait_until_unmapped "$menu"
before=$(wc -l <"$midi")
focus "$main"
xdotool type c
wait_for_log "$midi" "$(note_on 52)" "$before"
kill -0 "$pid" || fail "the program ended with the server"
echo "MIDI notes through JACK play the keys"
