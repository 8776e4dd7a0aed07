#!/usr/bin/env bash
# Runs each libFuzzer target of the fuzz build (build/fuzz) for a bounded
# time, from a scratch copy of its committed seed corpus (tests/fuzz/corpus),
# under AddressSanitizer and UndefinedBehaviorSanitizer. Fails when any target
# finds something; the input that shows it is kept in build/fuzz/findings.
#   scripts/fuzz.sh [seconds per target, default 20] [target names...]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-20}"
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for dir in tests/fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
fi

findings="$PWD/build/fuzz/findings"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$findings"
failed=()

for name in "${targets[@]}"; do
  exe="build/fuzz/tests/fuzz/fuzz_$name"
  if [ ! -x "$exe" ]; then
    echo "fuzz: $exe is missing; build it with: cmake --preset fuzz && cmake --build --preset fuzz" >&2
    exit 2
  fi
  cp -r "tests/fuzz/corpus/$name" "$scratch/$name"
  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
           -artifact_prefix="$findings/$name-")
  [ -f "tests/fuzz/$name.dict" ] && options+=(-dict="tests/fuzz/$name.dict")
  log="$scratch/$name.log"
  if "$exe" "${options[@]}" "$scratch/$name" >"$log" 2>&1; then
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
    echo "fuzz_$name: ${runs:-?} runs in ${seconds} s, nothing found"
  else
    echo "fuzz_$name: FOUND A FAULT (log follows; input kept in $findings)"
    grep -v '^#[0-9]' "$log" | tail -n 40
    failed+=("$name")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: faults found by: ${failed[*]}" >&2
  exit 1
fi
