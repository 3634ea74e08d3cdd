# Helpers for end-to-end scripts (sourced). LADOTON_BIN and DISPLAY are set.

# wait_for_window TITLE [TIMEOUT_SECONDS]: prints the window id once it is mapped.
wait_for_window() {
  local title=$1 limit=${2:-20} id
  for _ in $(seq 1 $((limit * 20))); do
    id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.05
  done
  echo "window '$title' did not appear" >&2
  return 1
}

fail() { echo "FAIL: $*" >&2; exit 1; }
