#!/usr/bin/env bash
# Each change below alters digits users see; the golden transcripts must
# catch every one. Builds a scratch copy per mutant (g++ -O2) and prints how
# many transcripts each changes. Any mutant that changes none fails.
# Usage: tests/mutants.sh [work-dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mkdir -p "${1:-$root/build/mutants}" && cd "${1:-$root/build/mutants}" && pwd)
cell=src/cell/cell.hpp recip=src/cell/recip.cpp
mutants=(
  "rad_per_deg as the precise pi/180|$cell|s/rad_per_deg = 0.0174532925239284/rad_per_deg = 0.017453292519943295/"
  "rad_per_deg truncated|$cell|s/rad_per_deg = 0.0174532925239284/rad_per_deg = 0.0174532925239/"
  "products of sines in single precision|$recip|s/double{\(sin[abg]r\)} \* double{\(sin[abg]r\)}/\1 * \2/"
  "w summed in another order|$recip|s/2.0 \* ca \* cb \* cc + 1.0 - ca \* ca - cb \* cb - cc \* cc/1.0 - ca * ca - cb * cb - cc * cc + 2.0 * ca * cb * cc/"
  "two_pi_sq as the precise 2 pi^2|$cell|s/two_pi_sq = 19.7392088;/two_pi_sq = 19.739208802178716;/"
  "deg_per_rad as the precise 180/pi|$cell|s/deg_per_rad = 57.2957795;/deg_per_rad = 57.29577951308232;/"
)
fail=0
for m in "${mutants[@]}"; do
  IFS='|' read -r what file expr <<<"$m"
  rm -rf "$work/src" && mkdir -p "$work/src"
  (cd "$root" && git ls-files -z --cached --others --exclude-standard | xargs -0 cp --parents -t "$work/src")
  sed -i "$expr" "$work/src/$file"
  if cmp -s "$root/$file" "$work/src/$file"; then
    echo "$what: the mutation no longer applies"; fail=1; continue
  fi
  cmake -S "$work/src" -B "$work/build" -DCMAKE_BUILD_TYPE=Release \
    -DDORVEX_STATIC=OFF >/dev/null
  cmake --build "$work/build" --target transcripts -j2 >/dev/null
  out=$("$work/build/tests/transcripts" "$root/tests/golden.txt" 2>/dev/null || true)
  echo "$what: $out"
  case "$out" in *" 0 changed"*) fail=1 ;; esac
done
exit $fail
