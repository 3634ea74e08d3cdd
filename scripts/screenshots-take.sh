# Run by screenshots.sh on a private Xvfb (tests/e2e/run_under_xvfb.sh):
# drives the program and grabs its windows into $LADOTON_SHOTS_DIR with
# $LADOTON_GRAB.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../tests/e2e/lib.sh"

# grab WINDOW FILE: true once the window's area is painted (not one colour).
grab() {
  local status=0
  "$LADOTON_GRAB" "$2" "$1" || status=$?
  [ "$status" = 0 ] && return 0
  [ "$status" = 3 ] || fail "screen-grab failed ($status)"
  return 1
}

# shoot WINDOW NAME: grabs the window's area of the screen (so a dialog over
# it shows too) once two painted grabs in a row agree.
shoot() {
  local window=$1 file=$LADOTON_SHOTS_DIR/$2.png deadline=$((SECONDS + 30))
  # The pointer out of the way: no hover highlight in the picture.
  xdotool mousemove 0 0
  rm -f "$work/a.png"
  while :; do
    if grab "$window" "$work/b.png"; then
      [ -f "$work/a.png" ] && cmp -s "$work/a.png" "$work/b.png" && break
      mv "$work/b.png" "$work/a.png"
    fi
    [ "$SECONDS" -lt "$deadline" ] || fail "$2 did not settle within 30 s"
  done
  mv "$work/b.png" "$file"
  echo "wrote $file"
}

start_ladoton
main=$(wait_for_sized_window 657 523)
shoot "$main" main-window

focus "$main"
click_in "$main" 596 20
about=$(wait_for_sized_window 203 312)
shoot "$main" about-window
click_in "$about" 101 284
wait_until_unmapped "$about"

# The selector has the focus: Down picks the intervals, then "ЗАПУСТИТЬ".
focus "$main"
xdotool key Down
click_in "$main" 280 20
wait_for_lines "$midi" 2
wait_for_sized_window 323 118 >/dev/null
shoot "$main" intervals-dialog
