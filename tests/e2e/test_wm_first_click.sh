# e2e: window-manager
# While another program's window is active, the first click on a key of the
# main window plays it: the click that makes the window active is not lost,
# whether the activation reaches the program before the press or after it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
start_ladoton
main=$(wait_for_sized_window 657 523)

# The other program: a small message window in the corner, clear of ours.
xmessage -geometry +0+0 -name other "another program" >/dev/null 2>&1 &
other_pid=$!
trap 'kill $pid $other_pid 2>/dev/null || true; rm -rf "$work"' EXIT
other=
deadline=$((SECONDS + 60))
until other=$(xdotool search --onlyvisible --classname "^other$" 2>/dev/null | head -n1) && [ -n "$other" ]; do
  [ "$SECONDS" -lt "$deadline" ] || fail "the other window did not appear"
  sleep 0.05
done

# Rows: the key's client point, its note.
rows=("61 415 48" "104 315 49" "589 415 59")
n=0
for row in "${rows[@]}"; do
  read -r x y note <<<"$row"
  activate "$other"
  click_in "$main" "$x" "$y"
  n=$((n + 1))
  wait_for_lines "$midi" "$n"
  [ "$(note_at "$n")" = "$note" ] || fail "the click at $x,$y played $(note_at "$n"), not $note"
  wait_until_active "$main"
done
echo "the first click on the inactive main window played its key, $n times"
