#!/usr/bin/env bash
# Sets everything up, builds, and runs every test headless: the suite in the
# normal build, the suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer, and a bounded run of each libFuzzer target.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"
passed=0
failed=0

# Runs ctest in a build tree and adds its counts to the totals.
run_suite() {
  local dir="$1" log
  log="$(mktemp)"
  local rc=0
  ctest --test-dir "$dir" --output-on-failure -j"$jobs" 2>&1 | tee "$log" || rc=$?
  local line total bad
  line="$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1 || true)"
  total="$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")"
  bad="$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$line")"
  rm -f "$log"
  if [ -z "$line" ]; then
    echo "test: no test ran in $dir" >&2
    failed=$((failed + 1))
    return
  fi
  passed=$((passed + total - bad))
  failed=$((failed + bad))
  [ "$rc" -eq 0 ] || [ "$bad" -gt 0 ] || failed=$((failed + 1))
}

phase_start=$SECONDS
phase_done() { echo "   ($1: $((SECONDS - phase_start)) s)"; phase_start=$SECONDS; }

echo "== build"
bash scripts/build.sh
echo "== tests"
run_suite build
phase_done "build and tests"

echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKV_SANITIZE=ON -DKV_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS="detect_leaks=1:abort_on_error=0" \
LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0" \
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
  run_suite build-asan
phase_done "sanitizer build and tests"

echo "== fuzzing (bounded)"
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_FUZZ=ON >/dev/null
cmake --build build-fuzz -j"$jobs" --target fuzz_targets
for target in build-fuzz/tests/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  if "$target" -runs=50000 -max_len=1024 -seed=1 >/dev/null 2>"$target.log"; then
    echo "fuzz: $(basename "$target"): 50000 runs, no finding"
    passed=$((passed + 1))
  else
    echo "fuzz: $(basename "$target") found a failure:" >&2
    tail -n 40 "$target.log" >&2
    failed=$((failed + 1))
  fi
done
phase_done "fuzzing"

echo
echo "all: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
