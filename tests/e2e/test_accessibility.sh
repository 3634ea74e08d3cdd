# A screen reader's view through the real AT-SPI bus: a private session bus
# and accessibility bus, the trainer with its bridge switched on, and a
# pyatspi client that finds the keys by name, plays one through its action
# and runs a notes exercise answering only through actions.
set -euo pipefail

# The buses fork and daemonise: run as a child subreaper, so whatever they
# leave orphaned comes back to this shell and is reaped here rather than
# lingering as a zombie.
if [ -z "${LADOTON_A11Y_REAPER:-}" ]; then
  export LADOTON_A11Y_REAPER=1
  exec /usr/bin/python3 -c 'import ctypes, os, sys
ctypes.CDLL(None, use_errno=True).prctl(36, 1, 0, 0, 0)  # PR_SET_CHILD_SUBREAPER
os.execvp(sys.argv[1], sys.argv[1:])' bash "${BASH_SOURCE[0]}" "$@"
fi

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

a11y_work=$(mktemp -d)
bus_pid=

# descendants PID: the ids of every process below PID, deepest last.
descendants() {
  local c
  for c in $(ps -o pid= --ppid "$1" 2>/dev/null); do
    echo "$c"
    descendants "$c"
  done
}

# stop_one PID: ends the process and waits (bounded) until its parent has
# reaped it, so nothing is left behind, not even a zombie.
stop_one() {
  local deadline=$((SECONDS + 10))
  kill "$1" 2>/dev/null || return 0
  while ps -o stat= -p "$1" >/dev/null 2>&1 && [ "$SECONDS" -lt "$deadline" ]; do
    sleep 0.05
  done
}

# The program, then the deepest first: the registry, the accessibility bus,
# its launcher, the session bus; each is waited for until it is reaped.
stop_a11y() {
  local p procs=()
  if [ -n "${pid:-}" ]; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  for p in $(descendants $$ | tac); do
    [ "$p" = "$BASHPID" ] || procs+=("$p")
  done
  for p in "${procs[@]}"; do stop_one "$p"; done
  wait 2>/dev/null || true
  rm -rf "$a11y_work" "${work:-}"
}
trap stop_a11y EXIT

# A private session bus; its sockets in a private runtime folder.
export XDG_RUNTIME_DIR="$a11y_work/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# Not forked: it stays our child, so it is reaped when it ends.
dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$a11y_work/address" 2>"$a11y_work/bus.log" &
bus_pid=$!
deadline=$((SECONDS + 30))
until [ -s "$a11y_work/address" ]; do
  kill -0 "$bus_pid" 2>/dev/null || fail "the session bus did not start"
  [ "$SECONDS" -lt "$deadline" ] || fail "no session bus address within 30 s"
  sleep 0.05
done
DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$a11y_work/address")
export DBUS_SESSION_BUS_ADDRESS

# The first call to org.a11y.Bus starts its launcher (/usr/libexec/
# at-spi-bus-launcher) on the session bus, which starts the accessibility
# bus; the registry (at-spi2-registryd) starts on that bus when first asked.
deadline=$((SECONDS + 30))
until dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1; do
  [ "$SECONDS" -lt "$deadline" ] || fail "no accessibility bus within 30 s"
  sleep 0.05
done

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
# A setting that switches the bridge off must not leak in from outside.
unset QT_ACCESSIBILITY_DISABLED
start_ladoton
# start_ladoton sets its own trap: put ours back, it ends the program too.
trap stop_a11y EXIT
wait_for_sized_window 657 523 >/dev/null

# The Debian interpreter: pyatspi is a Debian package.
/usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/test_accessibility.py" "$midi" "$pid" ||
  { show_output; fail "the screen reader's run failed"; }
echo "the trainer was played and answered through AT-SPI alone"
