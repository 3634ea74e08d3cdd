#!/usr/bin/env bash
# Start-up benchmark on a private X display (no window manager, as the
# end-to-end tests run). Usage: bench/run_startup.sh BUILD_DIR [RUNS]
# Build first: cmake --build BUILD_DIR --target ladoton e2e-probe bench_startup
set -euo pipefail
build=$(cd "$1" && pwd)
runs=${2:-15}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
script=$(mktemp)
trap 'rm -f "$script"' EXIT
cat >"$script" <<INNER
"$build/bench/bench_startup" "\$LADOTON_BIN" $runs
INNER
bash "$here/../tests/e2e/run_under_xvfb.sh" "$script" "$build/ladoton"
