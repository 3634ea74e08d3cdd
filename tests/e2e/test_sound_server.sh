# Through a running PulseAudio server (a desktop's own, or PipeWire's
# PulseAudio service) the built-in synthesizer opens at start-up: no error
# box, "успешно открыто" in the status line, and a key sounds its note at its
# pitch: СИ of the first octave, 246.94 Hz (a high note: its periods fit
# between the dropouts of a busy machine).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/tools/sound.sh"
work=$(mktemp -d)
trap sound_cleanup EXIT
sound_environment
start_pulse
start_sound_ladoton

# The box, when there is one, comes before the main window and holds it back.
main=$(wait_for_sized_window 657 523)
[ "$(visible_windows | wc -l)" = 1 ] || fail "a window besides the main one: $(visible_windows)"
! grep -q '^ladoton:' "$work/out.log" || { show_output; fail "the program complained"; }
status_says_opened "$main"

start_recording
focus "$main"
xdotool type m
expect_pitch 246.94
quit_ladoton
echo "the synthesizer played through PulseAudio"
