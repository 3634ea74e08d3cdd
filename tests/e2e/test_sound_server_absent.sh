# With no sound server and no sound card, the built-in synthesizer cannot
# start: the program says why on standard error, shows the error box before
# its main window and "не открыто" in the status line, then works on in
# silence: the keys do no harm and "X" ends it with exit code 0.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/tools/sound.sh"
work=$(mktemp -d)
trap sound_cleanup EXIT
sound_environment
start_sound_ladoton

box=$(wait_for_other_window)
[ "$(size_of "$box")" != 657x523 ] || fail "the main window came before the error box"
[ "$(xdotool getwindowname "$box")" = "Ошибка!" ] || fail "error box titled '$(xdotool getwindowname "$box")'"
grep -q '^ladoton: no audio output' "$work/out.log" || { show_output; fail "no reason on standard error"; }
focus "$box"
xdotool key Return
wait_until_unmapped "$box"

main=$(wait_for_sized_window 657 523)
status_says_not_opened "$main"
focus "$main"
xdotool type --delay 30 'zsxdcvgbhnjm'
click_in "$main" 564 224
xdotool type --delay 30 'zc'
quit_ladoton
echo "no sound server: error box, 'не открыто', silent keys, exit 0"
