# Helpers for end-to-end scripts (sourced). LADOTON_BIN and DISPLAY are set.

fail() { echo "FAIL: $*" >&2; exit 1; }

# launch OUTPUT_FILE COMMAND...: starts the program under test in the
# background; its pid is in $pid, its output goes to OUTPUT_FILE. Programs
# built with the sanitizers start slowly on a busy machine, so the waits
# below are generous; they end early as soon as the thing waited for is there
# or the program has gone.
launch() {
  launched_output=$1
  shift
  "$@" >"$launched_output" 2>&1 &
  pid=$!
}

# show_output: prints what the launched program wrote, for a failure report.
show_output() {
  if [ -n "${launched_output:-}" ] && [ -s "$launched_output" ]; then
    echo "--- output of the program:" >&2
    tail -n 60 "$launched_output" >&2
  fi
}

# program_gone: true when the launched program has ended (and reports how).
program_gone() {
  [ -n "${pid:-}" ] || return 1
  kill -0 "$pid" 2>/dev/null && return 1
  echo "the program ended early" >&2
  show_output
  return 0
}

# wait_for_window TITLE [TIMEOUT_SECONDS]: prints the window id once it is mapped.
wait_for_window() {
  local title=$1 limit=${2:-90} id deadline
  deadline=$((SECONDS + limit))
  while [ "$SECONDS" -lt "$deadline" ]; do
    id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    program_gone && return 1
    sleep 0.05
  done
  echo "window '$title' did not appear within $limit s" >&2
  show_output
  return 1
}

# wait_for_log LOG PATTERN [AFTER_LINE [TIMEOUT_SECONDS]]: waits until a line
# after line AFTER_LINE (default 0) of LOG matches PATTERN.
wait_for_log() {
  local log=$1 pattern=$2 after=${3:-0} limit=${4:-60} deadline
  deadline=$((SECONDS + limit))
  while [ "$SECONDS" -lt "$deadline" ]; do
    tail -n +$((after + 1)) "$log" 2>/dev/null | grep -q -- "$pattern" && return 0
    program_gone && fail "no '$pattern' in the log"
    sleep 0.05
  done
  echo "--- log:" >&2; cat "$log" >&2
  show_output
  fail "no '$pattern' in the log within $limit s"
}

# start_probe: starts the framework probe program (tools/e2e-probe) with its
# event log at $log in a private $work directory (removed on exit, the probe
# stopped), and waits until its window $id is up and it has logged "ready".
start_probe() {
  work=$(mktemp -d)
  log="$work/probe.log"
  trap 'kill $pid 2>/dev/null || true; rm -rf "$work"' EXIT
  launch "$work/out.log" "$(dirname "$LADOTON_BIN")/e2e-probe" "$log"
  id=$(wait_for_window "e2e-probe")
  wait_for_log "$log" ' ready$'
}
