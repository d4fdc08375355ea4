#!/bin/sh
# Builds and runs every test in the given presets (default: default asan tsan).
set -e
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh
presets="${*:-default asan tsan}"
jobs="$(nproc 2>/dev/null || echo 2)"
for preset in $presets; do
  echo "=== $preset ==="
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done
