# Without its instruction files the program shows the error box before its
# main window, then starts anyway: the keys sound and the selector still
# switches (with a second error box for the missing intervals text).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
bare=$(mktemp -d)
cp "$LADOTON_BIN" "$bare/ladoton"
start_ladoton "$bare/ladoton"
trap 'kill $pid 2>/dev/null || true; rm -rf "$work" "$bare"' EXIT

box=$(wait_for_other_window)
[ "$(size_of "$box")" != 657x523 ] || fail "the main window came before the error box"
[ "$(xdotool getwindowname "$box")" = "Ладотон" ] || fail "error box titled '$(xdotool getwindowname "$box")'"
focus "$box"
xdotool key Return
wait_until_unmapped "$box"

main=$(wait_for_sized_window 657 523)
focus "$main"
xdotool type z
wait_for_lines "$midi" 1
[ "$(note_at 1)" = 48 ] || fail "z played $(note_at 1) after the failed start"

xdotool key Down
box=$(wait_for_other_window "$main")
focus "$box"
xdotool key Return
wait_until_unmapped "$box"
focus "$main"
xdotool type x
wait_for_lines "$midi" 2
[ "$(note_at 2)" = 50 ] || fail "x played $(note_at 2)"
echo "missing instruction files reported, the program still works"
