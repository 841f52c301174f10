#!/usr/bin/env bash
# Builds the fuzz preset, replays each target's seed corpus, then fuzzes each
# target for SECONDS (default 60) from a scratch copy of that corpus. Any
# crash, sanitizer report or failed property check fails the run.
# Usage: fuzz/run.sh [seconds]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
secs=${1:-60}
cd "$root"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2 >/dev/null
for t in numtext dialogue batch; do
  bin=build/fuzz/fuzz/${t}_fuzz
  work=build/fuzz/corpus-$t
  rm -rf "$work" && mkdir -p "$work" && cp fuzz/corpus/$t/* "$work"/
  echo "== $t: seed corpus"
  "$bin" -runs=0 fuzz/corpus/$t 2>"build/fuzz/$t-seeds.log" ||
    { tail -40 "build/fuzz/$t-seeds.log"; exit 1; }
  grep -E '^#[0-9]+[[:space:]]+INITED' "build/fuzz/$t-seeds.log" || true
  echo "== $t: ${secs} s"
  "$bin" -max_total_time="$secs" -max_len=2048 -print_final_stats=1 \
    "$work" 2>"build/fuzz/$t.log" || { tail -40 "build/fuzz/$t.log"; exit 1; }
  grep -E '^#[0-9]+[[:space:]]+DONE' "build/fuzz/$t.log" || true
done
