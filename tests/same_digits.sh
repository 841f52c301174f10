#!/usr/bin/env bash
# Same input, same bytes: dorvex built with g++ and clang at -O0 and -O2 on
# x86-64, and for aarch64 (run under qemu-user), answers a seeded corpus;
# every build's transcript (standard output, standard error, exit status)
# must equal the first one byte for byte. The aarch64 unit tests run too.
# Usage: tests/same_digits.sh [work-dir]   (DORVEX_CORPUS: inputs, 2400)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "${1:-$root/build/digits}"
work=$(cd "${1:-$root/build/digits}" && pwd)  # cmake needs it absolute
count=${DORVEX_CORPUS:-2400}
arm=(qemu-aarch64 -L /usr/aarch64-linux-gnu)
toolchain=$root/cmake/aarch64-linux-gnu.cmake

build() {  # name, cmake arguments...
  local name=$1
  shift
  cmake -S "$root" -B "$work/$name" -DCMAKE_BUILD_TYPE=None "$@" >"$work/$name.log"
  cmake --build "$work/$name" -j2 >>"$work/$name.log"
}

# Google Test for aarch64, from the sources Debian ships with libgtest-dev.
if [ ! -f "$work/gtest-arm64/prefix/lib/cmake/GTest/GTestConfig.cmake" ]; then
  cmake -S /usr/src/googletest -B "$work/gtest-arm64" -DBUILD_GMOCK=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$work/gtest-arm64/prefix" >"$work/gtest.log"
  cmake --build "$work/gtest-arm64" -j2 >>"$work/gtest.log"
  cmake --install "$work/gtest-arm64" >>"$work/gtest.log"
fi

hosts=(gcc-O0 gcc-O2 clang-O0 clang-O2)
arms=(arm64-gcc-O2 arm64-gcc-O0 arm64-clang-O2)
for b in "${hosts[@]}"; do
  cc=${b%-*}
  cxx=$([ "$cc" = gcc ] && echo g++ || echo clang++)
  build "$b" -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_CXX_FLAGS="-${b##*-}" \
    -DBUILD_TESTING=OFF
done
build arm64-gcc-O2 -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_CXX_FLAGS=-O2 \
  -DGTest_DIR="$work/gtest-arm64/prefix/lib/cmake/GTest"
build arm64-gcc-O0 -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_CXX_FLAGS=-O0 \
  -DBUILD_TESTING=OFF
build arm64-clang-O2 -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_CXX_COMPILER_TARGET=aarch64-linux-gnu \
  -DCMAKE_CXX_FLAGS=-O2 -DBUILD_TESTING=OFF

echo "== aarch64 unit tests under qemu-user"
(cd "$work/arm64-gcc-O2" && ctest -R '^unit\.' --output-on-failure | tail -3)

echo "== corpus of $count inputs"
c++ -std=c++20 -O2 -o "$work/corpus_gen" "$root/tests/corpus_gen.cpp"
rm -rf "$work/corpus" && mkdir "$work/corpus"
"$work/corpus_gen" "$work/corpus" "$count"

transcript() {  # build name -> $work/<name>.txt
  local name=$1 run=()
  [[ $name == arm64-* ]] && run=("${arm[@]}")
  local exe=$work/$name/dorvex f st
  for f in "$work"/corpus/*; do
    st=0
    "${run[@]}" "$exe" <"$f" >"$work/$name.out" 2>"$work/$name.err" || st=$?
    printf '=== %s: status %d\n' "${f##*/}" "$st"
    cat "$work/$name.out"
    printf '\n--- stderr\n'
    cat "$work/$name.err"
  done >"$work/$name.txt"
}

# Two at a time, one per core.
all=("${hosts[@]}" "${arms[@]}")
for ((i = 0; i < ${#all[@]}; i += 2)); do
  transcript "${all[i]}" &
  [ $((i + 1)) -lt ${#all[@]} ] && transcript "${all[i + 1]}" &
  wait
done

fail=0
for b in "${all[@]}"; do
  if [ "$b" != "${hosts[0]}" ]; then
    if cmp -s "$work/${hosts[0]}.txt" "$work/$b.txt"; then
      echo "$b: identical to ${hosts[0]}"
    else
      echo "$b: DIFFERS from ${hosts[0]}"
      diff "$work/${hosts[0]}.txt" "$work/$b.txt" | head -20 || true
      fail=1
    fi
  fi
done
ref=$work/${hosts[0]}.txt
echo "inputs: $count; builds compared: $((${#hosts[@]} + ${#arms[@]}))"
echo "statuses: $(grep -o 'status [0-9]*' "$ref" | sort | uniq -c | tr -s ' \n' ' ')"
echo "with NaN: $(grep -c 'NAN' "$ref"), with INF: $(grep -c 'INF' "$ref")," \
  "domain reports: $(grep -c 'DOMAIN error' "$ref")"
exit $fail
