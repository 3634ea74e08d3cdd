# e2e: window-manager
# The screen changes size (smaller, then back) while the interval dialog is
# up: nothing fails, the dialog still answers (its replay plays the pair
# again, an answer brings its box) and the main window plays afterwards.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
start_ladoton
main=$(wait_for_sized_window 657 523)
activate "$main"

output=$(xrandr | awk '$2 == "connected" {print $1; exit}')
[ -n "$output" ] || fail "no RandR output on the display"
screen_size() { xdpyinfo | awk '/dimensions:/ {print $2}'; }
full=$(screen_size)
# resize_screen WxH: switches the output to that mode (made first if the
# server lacks it) and waits until the screen has the size.
resize_screen() {
  local w=${1%x*} h=${1#*x} deadline=$((SECONDS + 30))
  if ! xrandr | grep -q "^ *$1 "; then
    xrandr --newmode "$1" 60 "$w" $((w + 8)) $((w + 16)) $((w + 24)) "$h" $((h + 1)) $((h + 2)) $((h + 3))
    xrandr --addmode "$output" "$1"
  fi
  xrandr --output "$output" --mode "$1"
  until [ "$(screen_size)" = "$1" ]; do
    [ "$SECONDS" -lt "$deadline" ] || fail "the screen is $(screen_size), not $1"
    sleep 0.05
  done
}

xdotool key Down
click_in "$main" 280 20
wait_for_lines "$midi" 2
dialog=$(wait_for_sized_window 323 118)
first=$(note_at 1) second=$(note_at 2)

# replay ROUND: the dialog's replay button sounds the pair again.
replay() {
  local lines
  lines=$(wc -l <"$midi")
  click_in "$dialog" 160 100
  wait_for_lines "$midi" $((lines + 2))
  [ "$(note_at $((lines + 1))) $(note_at $((lines + 2)))" = "$first $second" ] ||
    fail "the replay after $1 played $(note_at $((lines + 1))) $(note_at $((lines + 2)))"
}

resize_screen 800x600
program_gone && fail "the program ended when the screen shrank"
replay "the screen shrank"
resize_screen "$full"
program_gone && fail "the program ended when the screen grew back"
replay "the screen grew back"

click_in "$dialog" 52 44
box=$(wait_for_other_window "$main" "$dialog")
activate "$box"
xdotool key Return
wait_until_unmapped "$box"
wait_until_unmapped "$dialog"
activate "$main"
lines=$(wc -l <"$midi")
xdotool type z
wait_for_lines "$midi" $((lines + 1))
grep -qiw -E 'error|fault|abort|failed' "$work/out.log" && fail "the program reported: $(cat "$work/out.log")"
echo "the dialog answered while the screen changed size"
