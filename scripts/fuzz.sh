#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, address and undefined-behaviour
# sanitizers) in build/fuzz if needed and runs each one in turn, for a time or
# a number of runs, then reports per target: executions, executions per
# second and crashes. Exits non-zero when any target crashed.
#
#   scripts/fuzz.sh [SECONDS_PER_TARGET] [--runs N] [--target NAME]...
#
# Seeds come from fuzz/corpus/<target>; what the fuzzer learns and the crash
# artefacts stay in build/fuzz (corpus/, artifacts/, logs/), out of the tree.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build/fuzz
seconds=60
runs=
targets=()
while [ $# -gt 0 ]; do
  case $1 in
    --runs) runs=$2; shift 2 ;;
    --target) targets+=("$2"); shift 2 ;;
    -h|--help) sed -n '2,11p' "$0"; exit 0 ;;
    *) seconds=$1; shift ;;
  esac
done
all_targets=(fuzz_evaluator fuzz_text_decode fuzz_region_data fuzz_midi_out fuzz_spin_value fuzz_soundfont_presets)
[ ${#targets[@]} -eq 0 ] && targets=("${all_targets[@]}")

# A unit that takes this long is reported as a hang. Generous, because at
# nice 19 on a busy machine a run may get no processor for seconds.
timeout=${LADOTON_FUZZ_TIMEOUT:-60}

# Inputs of these parsers are short texts and small tables; a cap keeps
# every run fast without hiding a length-dependent fault.
max_len() {
  case $1 in
    fuzz_text_decode|fuzz_region_data) echo 1024 ;;
    fuzz_soundfont_presets) echo 4096 ;;
    *) echo 256 ;;
  esac
}

if [ ! -f "$build/build.ninja" ]; then
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DLADOTON_FUZZ=ON "${launcher[@]}" >/dev/null
fi
cmake --build "$build" --target fuzz_all --parallel "$(nproc)"

mkdir -p "$build/artifacts" "$build/logs"
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
failed=0
printf '%-22s %14s %10s %9s  %s\n' target executions exec/s seconds result
for t in "${targets[@]}"; do
  mkdir -p "$build/corpus/$t"
  limit=(-max_total_time="$seconds")
  [ -n "$runs" ] && limit=(-runs="$runs")
  log=$build/logs/$t.log
  start=$(date +%s%N)
  rc=0
  "$build/$t" "${limit[@]}" -max_len="$(max_len "$t")" -timeout="$timeout" -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$t-" "$build/corpus/$t" "$root/fuzz/corpus/$t" >"$log" 2>&1 || rc=$?
  elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  result=ok
  if [ "$rc" -ne 0 ]; then
    failed=1
    artefact=$(sed -n 's/.*Test unit written to //p' "$log" | tail -1)
    result="CRASH (exit $rc) ${artefact:-see $log}"
  fi
  printf '%-22s %14s %10s %5d.%03d  %s\n' "$t" "${execs:-?}" "${rate:-?}" $((elapsed_ms / 1000)) $((elapsed_ms % 1000)) "$result"
done
exit "$failed"
