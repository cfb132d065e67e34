#!/usr/bin/env bash
# Builds and runs the GIF load fuzzer (libFuzzer, ASan + UBSan) for a bounded time.
#
#   scripts/fuzz.sh [SECONDS]        default 60
#
# Uses the native preset's build tree unless QUARVEX_FUZZ_BUILD_DIR names another one. The seed
# corpus is written by make_gif_seeds; what the fuzzer finds on top of it is kept in a working
# corpus inside the build tree, so later runs start from there. Exits non-zero on a finding
# (the crashing input is left in the build tree's fuzz/findings folder).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
seconds="${1:-60}"
build="${QUARVEX_FUZZ_BUILD_DIR:-build/native}"

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake --preset native -B "$build" >/dev/null
fi
cmake --build "$build" --target gif_load_fuzzer gif_seeds -j"$(nproc)" >/dev/null

fuzzer="$build/fuzz/gif_load_fuzzer"
seeds="$build/fuzz/gif_seeds"
corpus="$build/fuzz/gif_corpus"
findings="$build/fuzz/findings"
mkdir -p "$corpus" "$findings"

echo "Fuzzing the GIF load path for ${seconds}s (corpus: $corpus)"
log="$build/fuzz/last_run.log"
status=0
"$fuzzer" -max_total_time="$seconds" -max_len=65536 -timeout=20 -rss_limit_mb=2560 \
  -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" "$seeds" >"$log" 2>&1 || status=$?
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
echo "Executions: ${runs:-unknown}; corpus files: $(ls "$corpus" | wc -l)"
if [ "$status" -ne 0 ]; then
  echo "The fuzzer found a problem (exit $status); see $log and $findings" >&2
  tail -40 "$log" >&2
  exit "$status"
fi
echo "No findings."
