#!/bin/sh
# Installs the build into a temporary prefix and runs the installed program without --dir: its
# data directory is the per-user one, created on first use ($XDG_DATA_HOME/aequa, else
# ~/.local/share/aequa). A copy of the program in a directory its user cannot write to does
# the same; a copy in a writable directory keeps its own directory.
# Usage: install_test.sh BUILD_DIR
set -eu
build=$1
work=$(mktemp -d)
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/prefix" >/dev/null
[ -x "$work/prefix/bin/aequa" ] || fail "bin/aequa is not installed"
[ -f "$work/prefix/share/man/man1/aequa.1" ] || fail "the manual page is not installed"
if command -v groff >/dev/null; then
  warnings=$(groff -man -Tutf8 -ww -z "$work/prefix/share/man/man1/aequa.1" 2>&1)
  [ -z "$warnings" ] || fail "the manual page does not format cleanly: $warnings"
fi
mkdir -p "$work/home" "$work/xdg"

# The installed program, no XDG_DATA_HOME: ~/.local/share/aequa. End-to-end runs use
# priority 9.
env -u XDG_DATA_HOME HOME="$work/home" "$work/prefix/bin/aequa" priority 9 2>"$work/err" ||
  fail "priority 9 failed: $(cat "$work/err")"
grep -q "Created data directory $work/home/.local/share/aequa" "$work/err" ||
  fail "no 'Created data directory' message: $(cat "$work/err")"
grep -q "Priority=9" "$work/home/.local/share/aequa/aequo.ini" ||
  fail "the settings are not in ~/.local/share/aequa"
[ ! -e "$work/prefix/bin/aequo.ini" ] || fail "the settings went beside the program"

# XDG_DATA_HOME wins; the second run finds the directory made by the first.
env HOME="$work/home" XDG_DATA_HOME="$work/xdg" "$work/prefix/bin/aequa" priority 9 2>/dev/null
env HOME="$work/home" XDG_DATA_HOME="$work/xdg" "$work/prefix/bin/aequa" \
  penta 5 1 3 0 --queue-only 2>"$work/err"
[ ! -s "$work/err" ] || fail "a message on the second run: $(cat "$work/err")"
grep -q "PENTA=5,1,3,0" "$work/xdg/aequa/worksum.ini" || fail "the queue is not in \$XDG_DATA_HOME/aequa"
env HOME="$work/home" XDG_DATA_HOME="$work/xdg" "$work/prefix/bin/aequa" status |
  grep -q "Penta0 on k=5, from 1 to 3" || fail "status does not read the per-user queue"

# A copy with no manual page beside it keeps its own directory while it can write there.
mkdir -p "$work/copy"
cp "$work/prefix/bin/aequa" "$work/copy/aequa"
env HOME="$work/home2" "$work/copy/aequa" priority 9 2>/dev/null
grep -q "Priority=9" "$work/copy/aequo.ini" || fail "a writable copy did not use its own directory"
rm "$work/copy/aequo.ini"

# Read-only for the user who runs it. Root writes anywhere, so root runs it as nobody.
chmod a-w "$work/copy"
chmod 777 "$work"
mkdir -m 777 "$work/home3"
if [ "$(id -u)" -eq 0 ]; then
  as_user="setpriv --reuid=65534 --regid=65534 --clear-groups"
else
  as_user=""
fi
$as_user env -u XDG_DATA_HOME HOME="$work/home3" "$work/copy/aequa" priority 9 2>/dev/null ||
  fail "a read-only copy could not start"
grep -q "Priority=9" "$work/home3/.local/share/aequa/aequo.ini" ||
  fail "a read-only copy did not use ~/.local/share/aequa"
echo "PASS"
