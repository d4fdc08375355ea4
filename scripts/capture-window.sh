#!/bin/sh
# Prints text captures of the window, taken from a real terminal under tmux, for the README:
# the window after a range was entered with New, and its Test menu.
# Usage: sh scripts/capture-window.sh [path/to/aequa]
set -e
AEQUA="$(realpath "${1:-build/default/shell/aequa}")"
WORK="$(mktemp -d)"
trap 'tmux -S "$WORK/tmux.sock" kill-server 2>/dev/null; rm -rf "$WORK"' EXIT
export XDG_CONFIG_HOME="$WORK/config" AEQUA_AUTOSTART=xdg
T="tmux -S $WORK/tmux.sock -f /dev/null"
$T new-session -d -x 80 -y 20 "'$AEQUA' --dir '$WORK/data'; sleep 60"
sleep 1
$T send-keys C-n; sleep 0.3
$T send-keys 5 Tab 80 Tab 90 Tab 1 Tab 4 Enter; sleep 3
$T capture-pane -p
echo
$T send-keys F10; sleep 0.3
$T capture-pane -p
$T send-keys Escape C-q; sleep 1
