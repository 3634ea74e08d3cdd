# Run by check-install.sh on a private Xvfb (tests/e2e/run_under_xvfb.sh):
# the installed program starts from $LADOTON_BIN and finds both instruction
# files beside its real path. A missing note.txt shows the error box before
# the main window; a missing interv.txt shows it on the switch to the
# intervals, and the key typed next would not sound.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../tests/e2e/lib.sh"
start_ladoton

first=$(wait_for_other_window)
[ "$(size_of "$first")" = 657x523 ] ||
  fail "'$(xdotool getwindowname "$first")' ($(size_of "$first")) came up instead of the main window"
main=$first

# boxes_besides_main: the program's other mapped windows (an error box).
boxes_besides_main() { visible_windows | grep -vx "$main" || true; }

focus "$main"
xdotool key Down
xdotool type z
deadline=$((SECONDS + 60))
until [ "$(wc -l <"$midi")" -ge 1 ]; do
  box=$(boxes_besides_main | head -n1)
  [ -z "$box" ] || fail "a box '$(xdotool getwindowname "$box")' came up on the switch to the intervals"
  program_gone && fail "the program ended"
  [ "$SECONDS" -lt "$deadline" ] || fail "z did not sound within 60 s"
  sleep 0.05
done
[ "$(note_at 1)" = 48 ] || fail "z played $(note_at 1)"
[ -z "$(boxes_besides_main)" ] || fail "a box came up"
echo "started as $LADOTON_BIN with both instruction files"
