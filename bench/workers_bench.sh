#!/bin/sh
# Throughput of one worker against two on the same queue, for each search: the same work is
# run with Workers=1 and Workers=2, alternated (1, 2, 1, 2), and the ratio of the wall times
# is the speed-up of two workers (2.0 at best on two free processors).
# Usage: bench/workers_bench.sh [path/to/aequa]
set -e
AEQUA="${1:-build/default/shell/aequa}"
SCRATCH="$(mktemp -d)"
trap 'rm -rf "$SCRATCH"' EXIT

seconds() { date +%s.%N; }

# run WORKERS SEARCH...: wall seconds of one run of the search with that many workers.
run() {
  workers="$1"; shift
  dir="$SCRATCH/run"
  rm -rf "$dir"; mkdir -p "$dir"
  printf 'Priority=9\r\nWorkers=%s\r\n' "$workers" >"$dir/aequo.ini"
  "$AEQUA" --dir "$dir" "$@" --queue-only >/dev/null
  t0=$(seconds)
  "$AEQUA" --dir "$dir" continue >/dev/null
  t1=$(seconds)
  echo "$t1 - $t0" | bc -l
}

bench() {
  name="$1"; shift
  one=0; two=0
  for round in 1 2; do
    one=$(echo "$one + $(run 1 "$@")" | bc -l)
    two=$(echo "$two + $(run 2 "$@")" | bc -l)
  done
  printf '%-28s 1 worker %7.2f s   2 workers %7.2f s   speed-up %.2fx\n' "$name" \
    "$(echo "$one / 2" | bc -l)" "$(echo "$two / 2" | bc -l)" "$(echo "$one / $two" | bc -l)"
}

# Each run lasts tens of seconds with one worker, so that the start of a run and its last
# unit (which one worker finishes alone) weigh little against the throughput.
bench "equal sums (exact)" new 5 3000 3040 1 4 --mode exact
bench "equal sums (exact, slices)" new 5 3000 3024 1 4 --mode exact --duration 2
bench "sum collisions (1 MB)" compute 3 1 50000 2
bench "sum collisions (64 MB)" compute 3 1 50000 2 --memory 64
bench "Penta (type 2)" penta 5 1000 1800 2
