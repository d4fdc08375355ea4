#!/bin/sh
# Builds the BOINC application (the AEQUA_BOINC option) against the BOINC application library
# Debian packages and runs its tests: the application in the runtime's standalone mode in a
# slot laid out as the client lays one out (a part run to its end; a part killed after a
# checkpoint and started again), the work unit's loop under a scripted client (suspend,
# resume, quit, abort), the validator and the work generator; then, as root, the application
# under Debian's BOINC client in a network namespace of its own (scripts/boinc/).
#
#   sh scripts/run-boinc-tests.sh             the boinc preset (build/boinc)
#   sh scripts/run-boinc-tests.sh BUILD_DIR   an existing build (build/default) with the option
#                                             turned on, reusing what it has built
set -eu
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh
missing=""
for p in libboinc-app-dev; do dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"; done
if [ -n "$missing" ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
fi

jobs="$(nproc 2>/dev/null || echo 2)"
if [ "$#" -ge 1 ]; then
  build="$1"
  cmake -S . -B "$build" -DAEQUA_BOINC=ON
else
  build=build/boinc
  cmake --preset boinc
fi
cmake --build "$build" -j "$jobs" --target boinc_tests
ctest --test-dir "$build" -R '^Boinc' --output-on-failure --timeout 300 -j "$jobs"
if [ "$(id -u)" -eq 0 ]; then
  timeout 300 sh scripts/boinc/test-boinc-client.sh "$build"
else
  echo "run-boinc-tests: not root: the test under the BOINC client is left out"
fi
