#!/usr/bin/env bash
# Runs every native benchmark (optimised build). Targets are reported as ratios to a baseline
# measured in the same run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$root/out/bench"
for bench in "$root"/build/native/bench/bench_*; do
  [ -x "$bench" ] || continue
  name=$(basename "$bench")
  echo "== $name"
  "$bench" --benchmark_counters_tabular=true --benchmark_out="$root/out/bench/$name.json" \
           --benchmark_out_format=json
done
echo "== quillet-fx end to end"
"$root/scripts/bench-fx.sh"
