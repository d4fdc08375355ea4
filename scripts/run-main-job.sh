#!/bin/sh
# Builds the program and runs a short equal-sums range in a fresh data directory.
set -e
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh
cmake --preset default
cmake --build --preset default -j "$(nproc 2>/dev/null || echo 2)" --target aequa
dir="${AEQUA_DEMO_DIR:-build/demo}"
rm -rf "$dir"
./build/default/shell/aequa --dir "$dir" new 5 140 150 1 4
echo "--- $dir/SOLUTION.TXT ---"
cat "$dir/SOLUTION.TXT" 2>/dev/null || true
