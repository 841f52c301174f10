#!/usr/bin/env bash
# Every scripted example in the man page and the README ("$ printf ... |
# dorvex ...", continued by lines ending in "|") must print exactly the
# lines shown under it, run against the built program; and the man page,
# rendered, must spell its units right.
# Usage: tests/doc_examples.sh DIR-OF-DORVEX
set -euo pipefail
export PATH=$(cd "$1" && pwd):$PATH
root=$(cd "$(dirname "$0")/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Blocks as plain text: the man page's literal displays with their roff
# escapes undone, the README's indented code blocks without the indent.
{
  sed -n '/^\.Bd -literal/,/^\.Ed/p' "$root/man/dorvex.1" |
    sed 's/^\.Ed$//; /^\.Bd/d; s/\\e/\\/g; s/\\-/-/g; s/\\ / /g'
  sed -n 's/^    \(.*\)$/\1/p; /^$/p' "$root/README.md"
} >"$tmp/blocks"

n=0 fail=0
cmd="" want="" in_cmd=0 in_out=0
finish() {
  [ -n "$cmd" ] || return 0
  n=$((n + 1))
  got=$(bash -c "set -o pipefail; $cmd" 2>&1) || true
  if [ "$got" != "$want" ]; then
    printf 'example %d differs:\n%s\n--- shown\n%s\n--- got\n%s\n' \
      "$n" "$cmd" "$want" "$got"
    fail=1
  fi
  cmd="" want="" in_out=0
}
while IFS= read -r line; do
  if [[ $line == '$ printf '* ]]; then
    finish
    cmd=${line#\$ } in_cmd=1
    [[ $line == *'|' ]] || in_cmd=0 in_out=1
  elif ((in_cmd)); then
    cmd+=$'\n'$line
    [[ $line == *'|' ]] || in_cmd=0 in_out=1
  elif ((in_out)) && [ -n "$line" ]; then
    want+=${want:+$'\n'}$line
  elif ((in_out)); then
    finish
  fi
done <"$tmp/blocks"
finish
echo "$n examples checked"
if command -v mandoc >/dev/null; then
  page=$(mandoc -T utf8 "$root/man/dorvex.1")
  grep -q 'Å (ångström)' <<<"$page" ||
    { echo "man page: Å (ångström) rendered wrongly"; fail=1; }
  ! grep -qE '[^ ] \.( |$)' <<<"$page" || { echo "man page: a blank before a full stop"; fail=1; }
fi
[ "$n" -ge 4 ] && exit $fail
echo "too few examples found"; exit 1
