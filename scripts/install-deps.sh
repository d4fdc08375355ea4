#!/bin/sh
# Installs what building and testing Aequa needs on a fresh Debian machine.
set -e
PACKAGES="g++ cmake make googletest libgtest-dev libgmock-dev libbenchmark-dev libncurses-dev tmux"
missing=""
for p in $PACKAGES; do
  dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
if [ -n "$missing" ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
fi
