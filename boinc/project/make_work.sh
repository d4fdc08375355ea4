#!/bin/sh
# The work generator of a BOINC project running Aequa: cuts a range with 'aequa split --boinc'
# and makes one work unit of each part with the project's stage_file and create_work.
#
#   make_work.sh PROJECT_DIR BATCH_NAME SPLIT_ARGUMENTS...
#   make_work.sh ~/projects/aequa sum5a new 5 1000 2000 1 4 --mode exact --parts 200
#
# The parts are kept in PROJECT_DIR/aequa_batches/BATCH_NAME (the assimilator's merge reads
# them back); the work units are named aequa_BATCH_NAME_part-NNNN. The templates are
# templates/aequa_in and templates/aequa_out of the project; AEQUA names the aequa program.
set -eu
[ "$#" -ge 3 ] || { echo "usage: $0 PROJECT_DIR BATCH_NAME SPLIT_ARGUMENTS..." >&2; exit 2; }
project=$(cd "$1" && pwd)
batch=$2
shift 2
aequa=${AEQUA:-aequa}
case "$batch" in
  *[!A-Za-z0-9_-]*|"") echo "$0: the batch name takes letters, digits, _ and - only" >&2; exit 2 ;;
esac

parts="$project/aequa_batches/$batch"
if [ -e "$parts" ]; then
  echo "$0: $parts exists: a batch is made once" >&2
  exit 1
fi
mkdir -p "$project/aequa_batches"
"$aequa" split "$@" --boinc --into "$parts"

cd "$project"
for input in "$parts"/part-*.in; do
  name="aequa_${batch}_$(basename "$input" .in)"
  # The input file goes to the download hierarchy under the work unit's name.
  cp "$input" "$name"
  bin/stage_file --copy "$name"
  rm -f "$name"
  bin/create_work --appname aequa --wu_name "$name" \
    --wu_template templates/aequa_in --result_template templates/aequa_out \
    "$name"
  echo "$name"
done
