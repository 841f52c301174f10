#!/usr/bin/env bash
# Every scripted example in the man page, the README and docs/ ("$ printf ... |
# dorvex ...", "$ cc ...", "$ python3 ...", "$ export ...", continued by
# lines ending in "|") must print exactly the lines shown under it. They
# run in a scratch folder that sees the source tree's examples/, against
# the build installed into a temporary prefix, with PATH, PKG_CONFIG_PATH
# and PYTHONPATH set to it as a user's ~/.local would be; "$ node" examples
# run only with --npm, in a folder where that npm package is installed
# (tests/platforms.sh does it). The man page, rendered, must spell its
# units right.
# Usage: tests/doc_examples.sh BUILD-DIR | --npm DORVEX.TGZ
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
if [ "$1" = --npm ]; then
  kinds='node'
  tgz=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
  (cd "$tmp" && npm install --no-audit --no-fund "$tgz" >/dev/null 2>&1)
  workdir=$tmp
else
  kinds='printf|cc|python3|export'
  cmake --install "$1" --prefix "$tmp/prefix" >/dev/null
  export PATH=$tmp/prefix/bin:$PATH PKG_CONFIG_PATH=$tmp/prefix/lib/pkgconfig
  export PYTHONPATH=$(echo "$tmp"/prefix/lib/python3*/site-packages | cut -d' ' -f1)
  export HOME=$tmp  # ~/.local is the prefix
  # python3 is the one the module was built for, where CMake says which
  if [ -n "${DORVEX_PYTHON:-}" ]; then
    mkdir "$tmp/python" && ln -s "$DORVEX_PYTHON" "$tmp/python/python3"
    export PATH=$tmp/python:$PATH
  fi
  ln -s "$tmp/prefix" "$tmp/.local"
  # a folder of its own, in which examples/ is the source tree's, so that
  # what an example makes stays out of the tree
  workdir=$tmp/work
  mkdir "$workdir" && ln -s "$root/examples" "$workdir/examples"
fi

# Blocks as plain text: the man page's literal displays with their roff
# escapes undone, the README's indented code blocks without the indent.
{
  sed -n '/^\.Bd -literal/,/^\.Ed/p' "$root/man/dorvex.1" |
    sed 's/^\.Ed$//; /^\.Bd/d; s/\\e/\\/g; s/\\-/-/g; s/\\ / /g'
  for doc in "$root/README.md" "$root"/docs/*.md; do
    sed -n 's/^    \(.*\)$/\1/p; /^$/p' "$doc"
    echo
  done
} >"$tmp/blocks"

n=0 fail=0
cmd="" want="" in_cmd=0 in_out=0
finish() {
  [ -n "$cmd" ] || return 0
  n=$((n + 1))
  got=$(cd "$workdir" && bash -c "set -o pipefail; $cmd" 2>&1) || true
  if [ "$got" != "$want" ]; then
    printf 'example %d differs:\n%s\n--- shown\n%s\n--- got\n%s\n' \
      "$n" "$cmd" "$want" "$got"
    fail=1
  fi
  cmd="" want="" in_out=0
}
while IFS= read -r line; do
  if [[ $line =~ ^\$\ ($kinds)\  ]]; then
    # a command that prints nothing runs before the next one, in its shell
    if [ -n "$cmd" ] && ((in_out)) && [ -z "$want" ]; then
      cmd+=$'\n'${line#\$ }
    else
      finish
      cmd=${line#\$ }
    fi
    in_cmd=1
    [[ $line == *'|' ]] || in_cmd=0 in_out=1
  elif [[ $line == '$ '* ]]; then
    finish  # shown, not run: typed at the console, or another kind's
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
echo "$n examples checked ($kinds)"
if [ "$kinds" = node ]; then
  [ "$n" -ge 1 ] && exit $fail
  echo "no node example found"; exit 1
fi
if command -v mandoc >/dev/null; then
  page=$(mandoc -T utf8 "$root/man/dorvex.1")
  grep -q 'Å (ångström)' <<<"$page" ||
    { echo "man page: Å (ångström) rendered wrongly"; fail=1; }
  ! grep -qE '[^ ] \.( |$)' <<<"$page" || { echo "man page: a blank before a full stop"; fail=1; }
fi
[ "$n" -ge 6 ] && exit $fail
echo "too few examples found"; exit 1
