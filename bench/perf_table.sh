#!/usr/bin/env bash
# The trainer's figures side by side with a bare Qt window, measured in one
# run on this machine, as one Markdown table.
#
#   bench/perf_table.sh BUILD_DIR [RUNS]
#
# BUILD_DIR is a Release build; the script builds what it runs. Start-up runs
# on a private X display without a window manager; the rest runs offscreen.
set -euo pipefail
build=$(cd "$1" && pwd)
runs=${2:-15}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cmake --build "$build" --target ladoton e2e-probe bench_startup bench_bare_window bench_app bench_midi >/dev/null

lines=$(mktemp)
script=$(mktemp)
trap 'rm -f "$lines" "$script"' EXIT
cat >"$script" <<INNER
"$build/bench/bench_startup" "\$LADOTON_BIN" $runs
INNER
{
  env -u LADOTON_MIDI_OUT bash "$here/../tests/e2e/run_under_xvfb.sh" "$script" "$build/ladoton"
  (cd "$build" && QT_QPA_PLATFORM=offscreen "$build/bench/bench_app")
  (cd "$build" && "$build/bench/bench_midi")
} | tee /dev/stderr | grep '^TABLE ' | sed 's/^TABLE //' >"$lines"

echo
echo "| figure | ladoton | bare Qt window |"
echo "|---|---|---|"
cut -d'|' -f1 "$lines" | awk '!seen[$0]++' | while IFS= read -r metric; do
  trainer=$(awk -F'|' -v m="$metric" '$1 == m && $2 == "ladoton" { print $3 }' "$lines")
  bare=$(awk -F'|' -v m="$metric" '$1 == m && $2 == "bare Qt window" { print $3 }' "$lines")
  echo "| $metric | ${trainer:-–} | ${bare:-–} |"
done
