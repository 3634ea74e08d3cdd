# The sound server going away while the program runs (killed, as in a
# crash) leaves the program running in silence: keys and octave arrows do no
# harm, nothing hangs, and "X" ends it with exit code 0.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/tools/sound.sh"
work=$(mktemp -d)
trap sound_cleanup EXIT
sound_environment
start_pulse
start_sound_ladoton
main=$(wait_for_sized_window 657 523)
status_says_opened "$main"

# It sounds first (ЛЯ of the first octave), so the server is in use.
start_recording
focus "$main"
xdotool type n
expect_pitch 220.00
stop_recording
stop_pulse KILL

focus "$main"
xdotool type --delay 30 'zsxdcvgbhnjm'
click_in "$main" 76 224
xdotool type --delay 30 'zc'
click_in "$main" 564 224
xdotool type --delay 30 'zxcvbnm'
program_gone && fail "the program ended after its sound server"
quit_ladoton
echo "the server went away: the program ran on in silence and ended with 0"
