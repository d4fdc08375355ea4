#!/bin/sh
# Builds the fuzz targets with clang and libFuzzer and runs each for a bounded time (seconds,
# default 30) on a copy of its seed corpus. A crash or a broken invariant fails the run; the
# input that caused it is left in build/fuzz/findings.
set -e
cd "$(dirname "$0")/.."
seconds="${1:-30}"
PACKAGES="clang libclang-rt-14-dev cmake make"
missing=""
for p in $PACKAGES; do dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"; done
if [ -n "$missing" ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
fi
cmake --preset fuzz
cmake --build --preset fuzz -j "$(nproc 2>/dev/null || echo 2)"
# The targets work in a directory of their own: every path given to them is absolute.
findings="$PWD/build/fuzz/findings"
mkdir -p "$findings"
for fuzzer in settings_store_fuzzer work_queue_fuzzer equal_sums_checkpoint_fuzzer sum_checkpoint_fuzzer; do
  echo "=== $fuzzer ($seconds s) ==="
  corpus="$PWD/build/fuzz/corpus/$fuzzer"
  rm -rf "$corpus"
  mkdir -p "$corpus"
  cp tests/fuzz/corpus/$fuzzer/* "$corpus/"
  "build/fuzz/tests/fuzz/$fuzzer" "$corpus" -max_total_time="$seconds" -timeout=20 \
    -artifact_prefix="$findings/" -print_final_stats=1 2>&1 |
    grep -E "DONE|^Done|ERROR|SUMMARY|invariant|stat::number_of_executed_units" || true
  # libFuzzer leaves a crash-*, timeout-* or leak-* file for every finding.
  if ls "$findings"/* >/dev/null 2>&1; then
    echo "$fuzzer found a failing input:"; ls "$findings"
    exit 1
  fi
done
