# "?" shows the About window in the middle of the screen; "OK" closes it,
# and so does Return at the next showing; the main window responds again.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
start_ladoton
main=$(wait_for_sized_window 657 523)
screen_w=$(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[1]}')
screen_h=$(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[2]}')

# open_about: "?" and the About window's id; it must stand centred.
open_about() {
  local X Y WIDTH HEIGHT SCREEN WINDOW about
  focus "$main"
  click_in "$main" 596 20
  about=$(wait_for_sized_window 203 312)
  eval "$(xdotool getwindowgeometry --shell "$about")"
  [ "$X $Y" = "$(((screen_w - 203) / 2)) $(((screen_h - 312) / 2))" ] || fail "About window at $X,$Y"
  echo "$about"
}

about=$(open_about)
click_in "$about" 101 284
wait_until_unmapped "$about"

# Moved away while shown, it still comes back centred.
about=$(open_about)
xdotool windowmove "$about" 10 10
focus "$about"
xdotool key Return
wait_until_unmapped "$about"
about=$(open_about)
focus "$about"
xdotool key Return
wait_until_unmapped "$about"

focus "$main"
xdotool type c
wait_for_lines "$midi" 1
[ "$(note_at 1)" = 52 ] || fail "c played $(note_at 1)"
echo "About window opened and closed by OK and by Return"
