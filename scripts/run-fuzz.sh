#!/usr/bin/env bash
# Runs every fuzz harness of build/fuzz for SECONDS each, one after another, starting from the
# checked-in seeds plus what earlier runs found (build/fuzz/corpus/<harness>). A harness that
# finds a difference or a sanitizer fault stops; its input is kept under out/fuzz/<harness>/ and
# the script fails.
set -uo pipefail
seconds=${1:-120}
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
harnesses=(motion_blur_pass)

failed=0
for name in "${harnesses[@]}"; do
  binary=build/fuzz/tests/fuzz/fuzz_$name
  if [ ! -x "$binary" ]; then
    echo "error: $binary is missing: run 'make build-fuzz'" >&2
    exit 1
  fi
  corpus=build/fuzz/corpus/$name
  artifacts=out/fuzz/$name
  mkdir -p "$corpus" "$artifacts"
  echo "== $name: ${seconds}s (log: $artifacts/fuzz.log)"
  # -timeout: the oracle's slowest allowed case takes well under a second with the sanitizers.
  "$binary" -max_total_time="$seconds" -timeout=20 -print_final_stats=1 \
            -artifact_prefix="$artifacts/" "$corpus" "tests/fuzz/corpus/$name" \
            >"$artifacts/fuzz.log" 2>&1
  status=$?
  grep -E '^(stat::|Done )' "$artifacts/fuzz.log"
  if [ $status -ne 0 ]; then
    failed=1
    echo "== $name FOUND A FAULT (exit $status):"
    grep -E -A12 'disagree|ERROR|runtime error' "$artifacts/fuzz.log" | head -40
    ls -1 "$artifacts"/crash-* "$artifacts"/timeout-* "$artifacts"/oom-* 2>/dev/null
  fi
done
exit $failed
