#!/bin/sh
# Aequa.exe end to end under Wine, driven with xdotool. Runs inside an X server (xvfb-run) with
# WINEPREFIX prepared, as scripts/run-windows-tests.sh does. What the program draws is read
# from Wine's font trace (each ExtTextOut call with its text); the log's lines are the ones
# drawn at x = 0. The tray icon calls are read from the systray trace. Screenshots go to
# build/windows/screenshots.
set -u
cd "$(dirname "$0")/../.."
ROOT=$PWD
EXE=${AEQUA_EXE:-$ROOT/build/windows/shell/windows/Aequa.exe}
WORK=$ROOT/build/windows/gui
RUN=$WORK/program # the program's directory is its data directory
SHOTS=$ROOT/build/windows/screenshots
TRACE=$WORK/drawn.txt
RUNKEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

failures=0
ok() { echo "ok:   $*"; }
note() { echo "note: $*"; }
shot() { import -window root "$SHOTS/$1.png" 2>/dev/null || true; }
shot_window() { import -window "$1" "$SHOTS/$2.png" 2>/dev/null || shot "$2"; }
fail() {
  failures=$((failures + 1))
  echo "FAIL: $*"
  shot "failure-$failures"
}
check() { # description, command...
  what=$1
  shift
  if "$@" >/dev/null 2>&1; then ok "$what"; else fail "$what"; fi
}
# Polls a command every 0.2 s for at most $1 seconds.
wait_for() {
  end=$(($(date +%s) + $1))
  shift
  until "$@" >/dev/null 2>&1; do
    [ "$(date +%s)" -ge "$end" ] && return 1
    sleep 0.2
  done
}
expect() { # description, seconds, command...
  what=$1
  shift
  if wait_for "$@"; then ok "$what"; else fail "$what"; fi
}

# Only mapped windows count: Wine may keep the X window of a closed dialog for a while.
windows_named() { timeout 10 xdotool search --onlyvisible --name "^$1\$" 2>/dev/null; }
window() { windows_named "$1" | head -1; }
has_window() { [ -n "$(windows_named "$1")" ]; }
no_window() { ! has_window "$1"; }
shown() { [ -n "$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null)" ]; }
hidden() { ! shown "$1"; }
message_box() { windows_named Aequa | grep -vx "$MAIN" | head -1; }
has_message_box() { [ -n "$(message_box)" ]; }
no_message_box() { ! has_message_box; }
drawn() { grep -aqF "L\"$1\"" "$TRACE"; }
drawn_like() { grep -aqE "L\"$1" "$TRACE"; }
log_lines() { grep -a 'ExtTextOutW [^,]*, 0, ' "$TRACE"; }
logged_like() { log_lines | grep -qE "L\"$1"; }
# The line number in the trace of the first and last drawing of a log text.
first_drawn() { log_lines | grep -nF "L\"$1\"" | head -1 | cut -d: -f1; }
last_drawn() { log_lines | grep -nF "L\"$1\"" | tail -1 | cut -d: -f1; }
drawn_after() { a=$(last_drawn "$1"); b=$(first_drawn "$2"); [ -n "$a" ] && [ -n "$b" ] && [ "$a" -gt "$b" ]; }
# True when one painting of the log (drawn from the bottom up) shows a line starting with
# $1 twice.
in_one_paint_twice() {
  log_lines | awk -F', ' -v text="L\"$1" '
    { y = $3 + 0; if (y > last) n = 0; last = y
      if (index($0, text)) { n++; if (n >= 2) found = 1 } }
    END { exit !found }'
}
# Shell_NotifyIcon calls: 0 add, 1 modify, 2 delete.
tray_calls() { grep -ac "Shell_NotifyIconW dwMessage = $1," "$TRACE"; }
more_tray_calls() { [ "$(tray_calls "$1")" -gt "$2" ]; }
in_file() { grep -qaE "$1" "$RUN/$2" 2>/dev/null; }
keys() {
  w=$1
  shift
  timeout 10 xdotool windowfocus --sync "$w" key --clearmodifiers --delay 60 "$@"
}
type_in() { timeout 10 xdotool windowfocus --sync "$1" type --delay 40 "$2"; }
run_value() { wine reg query "$RUNKEY" /v "$WINPATH" >/dev/null 2>&1; }
no_run_value() { ! run_value; }
program_running() { pgrep -f 'Aequa\.exe' >/dev/null; }
program_ended() { ! program_running; }

# A dialog opened by keys on the main window: waits for it, takes its picture, closes it.
dialog_picture() { # title, picture, keys...
  title=$1
  picture=$2
  shift 2
  keys "$MAIN" "$@"
  if ! wait_for 10 has_window "$title"; then
    fail "\"$title\" opens"
    return 1
  fi
  ok "\"$title\" opens"
  shot_window "$(window "$title")" "$picture"
  keys "$(window "$title")" Escape
  expect "\"$title\" closes with Esc" 10 no_window "$title"
}

rm -rf "$WORK"
mkdir -p "$RUN" "$SHOTS"
cp "$EXE" "$RUN/"
: >"$TRACE"
# The saved placement keeps the window clear of Wine's tray window in the top left corner.
# One worker: the log lines carry no worker number. ResultBalloon=1: each new result is
# announced by a balloon at the tray icon.
printf 'Left=180\r\nTop=90\r\nRight=900\r\nBottom=600\r\nWorkers=1\r\nResultBalloon=1\r\n' >"$RUN/aequo.ini"
WINPATH=$(winepath -w "$RUN/Aequa.exe" | tr -d '\r')
wine reg delete "$RUNKEY" /v "$WINPATH" /f >/dev/null 2>&1 || true

echo "--- start: window, menu bar, placement, registration at the first start"
(cd "$RUN" && WINEDEBUG=-all,trace+font,trace+systray wine Aequa.exe 2>&1 |
  grep -a --line-buffered -E 'NtGdiExtTextOutW|Shell_NotifyIconW' >>"$TRACE") &
if ! wait_for 60 has_window Aequa; then
  fail "the main window opens"
  exit 1
fi
MAIN=$(window Aequa)
ok "the main window opens"
shell_windows() { xdotool search --onlyvisible --class explorer 2>/dev/null | wc -l; }
SHELL_WINDOWS=$(shell_windows)
expect "the menu bar shows Test, Options and Help" 20 sh -c "grep -aq 'L\"Test\"' '$TRACE' && grep -aq 'L\"Options\"' '$TRACE' && grep -aq 'L\"Help\"' '$TRACE'"
check "the saved placement is applied" sh -c "xdotool getwindowgeometry $MAIN | grep -q 'Position: 180,90'"
expect "the first start registers at boot" 20 drawn "Aequa will start automatically the next time you'll restart your computer"
check "the Run value holds the program" run_value
check "AutoInstall=1 is written" in_file '^AutoInstall=1' aequo.ini

echo "--- New: a refused value, then a range that is queued and runs"
keys "$MAIN" ctrl+n
expect "Ctrl+N opens \"Enter a range\"" 10 has_window "Enter a range"
DIALOG=$(window "Enter a range")
shot_window "$DIALOG" dialog-135-new
type_in "$DIALOG" 1
keys "$DIALOG" Return
expect "power 1 gets the framework's prompt" 10 drawn "Please enter an integer between 2 and 256."
check "the prompt is a message box" has_message_box
shot prompt-out-of-range
keys "$(message_box)" Return
expect "the prompt closes" 10 no_message_box
check "the dialog stays open" has_window "Enter a range"
# The refused field has the focus with its text selected: typing replaces it.
type_in "$DIALOG" 5
keys "$DIALOG" Tab
type_in "$DIALOG" 140
keys "$DIALOG" Tab
type_in "$DIALOG" 150
keys "$DIALOG" Tab
type_in "$DIALOG" 5
keys "$DIALOG" Tab
type_in "$DIALOG" 4
keys "$DIALOG" Return
# Left terms must stay below the power, or the queue would drop the line later.
expect "left terms 5 with power 5 are refused with their range" 10 drawn "Please enter an integer between 1 and 4."
BOX=$(message_box)
[ -n "$BOX" ] && keys "$BOX" Return
expect "the prompt closes" 10 no_message_box
# The focus is on Left terms: typing replaces that field's text.
type_in "$DIALOG" 1
keys "$DIALOG" Return
expect "OK closes the dialog" 10 no_window "Enter a range"
# With the equal-sums search built in, this range takes well under a second: its line is
# then already done and deleted.
expect "worksum.ini holds SUM=5,140,150,1,4,0,140,0 (or the range is done)" 10 sh -c \
  "grep -q '^SUM=5,140,150,1,4,0,140,0' '$RUN/worksum.ini' 2>/dev/null || grep -q '^(5,1,4) 140 done' '$RUN/SOLUTION.TXT'"
expect "the worker's lines appear in the log" 30 logged_like '(Searching \(5,1,4\) at 140|\(5,1,4\) 140 done in|This program cannot search SUM lines)'
SEARCHES=0
logged_like '\(5,1,4\) 140 done in' && SEARCHES=1
# Wine's shell shows a balloon as a window of its own beside the tray window.
has_balloon() { [ "$(shell_windows)" -gt "$SHELL_WINDOWS" ]; }
if [ "$SEARCHES" -eq 1 ]; then
  expect "the result 144 is found" 30 in_file '^\(5,1,4\) 144=133\+110\+84\+27' SOLUTION.TXT
  if has_window "Wine System Tray"; then
    expect "the result is announced by a balloon at the tray icon" 10 has_balloon
    shot balloon
  else
    note "no tray window under this Wine: no balloon to see"
  fi
fi

# Compute Sum is greyed while a search runs and when no representation search is built in.
[ "$SEARCHES" -eq 1 ] && wait_for 30 logged_like 'Ask for a new range\.'
keys "$MAIN" ctrl+m
if wait_for 3 has_window "Compute Sum"; then
  ok "Ctrl+M opens \"Compute Sum\""
  SUMDLG=$(window "Compute Sum")
  shot_window "$SUMDLG" dialog-137-compute-sum
  keys "$SUMDLG" Tab Tab
  type_in "$SUMDLG" 17x29
  keys "$SUMDLG" Return
  expect "a sum that is not a decimal number is refused" 10 drawn "Please enter decimal digits only."
  BOX=$(message_box)
  [ -n "$BOX" ] && keys "$BOX" Return
  expect "the prompt closes" 10 no_message_box
  keys "$SUMDLG" Escape
  expect "\"Compute Sum\" closes" 10 no_window "Compute Sum"
else
  note "Compute Sum is disabled in this build; no picture of dialog 137"
fi

echo "--- a long range, Status, the main window"
keys "$MAIN" ctrl+n
expect "Ctrl+N opens \"Enter a range\" again" 10 has_window "Enter a range"
DIALOG=$(window "Enter a range")
for field in 5 3000 3900 1 4; do
  type_in "$DIALOG" $field
  keys "$DIALOG" Tab
done
keys "$DIALOG" Return
expect "OK closes the dialog" 10 no_window "Enter a range"
expect "worksum.ini holds SUM=5,3000,3900,1,4,0,..." 10 in_file '^SUM=5,3[0-9][0-9][0-9],3900,1,4,0,' worksum.ini
if [ "$SEARCHES" -eq 1 ]; then
  expect "the search of 3000 runs" 30 logged_like 'Searching \(5,1,4\) at 3000'
fi
if [ "$SEARCHES" -eq 1 ]; then
  keys "$MAIN" Escape
  expect "Esc stops the search" 30 drawn "Execution halted."
  keys "$MAIN" ctrl+o
  expect "Ctrl+O continues it: the log shows the search started twice" 30 \
    in_one_paint_twice 'Searching (5,1,4) at 3000 ' 
fi
keys "$MAIN" ctrl+s
expect "Status shows the queue" 10 drawn_like '1\. k=5, from 3000 to 3900, m=1, n=4 \(current=3[0-9]+\)'
shot status
BOX=$(message_box)
[ -n "$BOX" ] && keys "$BOX" Return
expect "the status box closes" 10 no_message_box
shot_window "$MAIN" main-window

echo "--- the other dialogs"
dialog_picture "Enter a range to compute" dialog-136-compute ctrl+c
dialog_picture "Search using Penta's algorithm" dialog-138-penta ctrl+h
dialog_picture "Preferences" dialog-133-preferences F10 Right Down Return
dialog_picture "Set Priority" dialog-134-priority F10 Right Down r
dialog_picture "Workers" dialog-139-workers F10 Right Down w
dialog_picture "About Aequo" dialog-100-about F10 Right Right Down a
echo "--- Help/Self-test runs the program again as a child and shows its report"
keys "$MAIN" F10 Right Right Down s
expect "the self-test's summary is shown: every case passed" 60 drawn "The self-test passed."
check "with the count of its cases" drawn_like '[0-9]+ passed, 0 failed'
BOX=$(message_box)
[ -n "$BOX" ] && shot_window "$BOX" selftest && keys "$BOX" Return
expect "the report closes" 10 no_message_box
keys "$MAIN" F1
expect "F1 opens the help window" 10 has_window "Aequa Help"
expect "it holds the help topics" 10 drawn "What Aequa searches for"
shot_window "$(window "Aequa Help")" help
keys "$(window "Aequa Help")" alt+F4
expect "the help window closes" 10 no_window "Aequa Help"
keys "$MAIN" ctrl+u
expect "Ctrl+U opens \"User Information\"" 10 has_window "User Information"
USERINFO=$(window "User Information")
shot_window "$USERINFO" dialog-132-user-information
type_in "$USERINFO" Ann
keys "$USERINFO" Tab
type_in "$USERINFO" ann@example.org
keys "$USERINFO" Return
expect "the identity goes to the results file" 10 in_file '^User: Ann, ann@example.org' SOLUTION.TXT
check "and to the settings" in_file '^UserName=Ann' aequo.ini

echo "--- Install / Uninstall"
keys "$MAIN" F10 Right Down
expect "the Options menu offers Uninstall" 10 drawn "Uninstall"
shot menu-options
keys "$MAIN" u
expect "Uninstall logs its line" 10 drawn "Aequa is disabled at boot"
expect "Uninstall removes the Run value" 10 no_run_value
keys "$MAIN" F10 Right Down i
expect "Install logs its lines again" 10 drawn_after "You can disable it by clicking on Options/Uninstall" "Aequa is disabled at boot"
expect "Install writes the Run value" 10 run_value

echo "--- No Icon and Tray Icon"
deletes=$(tray_calls 2)
keys "$MAIN" F10 Right Down n
expect "No Icon shows its warning" 10 drawn_like 'WARNING: It is recommended that you create a'
shot no-icon-warning
BOX=$(message_box)
[ -n "$BOX" ] && keys "$BOX" Return
expect "the warning closes" 10 no_message_box
expect "No Icon removes the tray icon" 10 more_tray_calls 2 "$deletes"
check "No Icon writes HideIcon=1 and TrayIcon=0" sh -c "grep -q '^HideIcon=1' '$RUN/aequo.ini' && grep -q '^TrayIcon=0' '$RUN/aequo.ini'"
adds=$(tray_calls 0)
keys "$MAIN" F10 Right Down t
expect "Tray Icon writes TrayIcon=1 and HideIcon=0" 10 sh -c "grep -q '^HideIcon=0' '$RUN/aequo.ini' && grep -q '^TrayIcon=1' '$RUN/aequo.ini'"
expect "Tray Icon adds the icon" 10 more_tray_calls 0 "$adds"
# The shell announces a new taskbar after it restarts: the icon is added again.
adds=$(tray_calls 0)
wine "$ROOT/build/windows/tests/windows/taskbar_created.exe" >/dev/null 2>&1
expect "TaskbarCreated adds the icon again" 10 more_tray_calls 0 "$adds"

echo "--- minimising hides the window in the tray; the icon and a second copy bring it back"
# While minimised the title may carry the status ("Aequa - IDLE").
main_shown() { [ -n "$(xdotool search --onlyvisible --name '^Aequa( - .*)?$' 2>/dev/null)" ]; }
main_hidden() { ! main_shown; }
tray_double_click() {
  tray=$(window "Wine System Tray")
  [ -n "$tray" ] || return 1
  eval "$(xdotool getwindowgeometry --shell "$tray")"
  xdotool mousemove $((X + 12)) $((Y + 32)) click --repeat 2 --delay 120 1
}
tray_right_click() {
  tray=$(window "Wine System Tray")
  [ -n "$tray" ] || return 1
  eval "$(xdotool getwindowgeometry --shell "$tray")"
  xdotool mousemove $((X + 12)) $((Y + 32)) click 3
}
# The menu opens at the pointer; its items are 16 pixels apart, the separator takes 9.
tray_menu_pick() { # the item's place below the pointer in pixels
  tray=$(window "Wine System Tray")
  eval "$(xdotool getwindowgeometry --shell "$tray")"
  xdotool mousemove $((X + 40)) $((Y + 32 + $1)) click 1
}
keys "$MAIN" alt+space n
expect "minimising hides the window" 10 main_hidden
if tray_double_click; then
  expect "a double-click on the tray icon shows it" 10 main_shown
  tray_double_click
  expect "a second double-click hides it" 10 main_hidden
  tray_right_click
  expect "a right-click opens the tray menu with Open" 10 drawn "Open"
  expect "and Stop or Continue, Status and Exit" 10 sh -c "grep -aqE 'L\"(Stop|Continue)\"' '$TRACE' && grep -aq 'L\"Status\"' '$TRACE' && grep -aq 'L\"Exit\"' '$TRACE'"
  shot tray-menu
  tray_menu_pick 43
  expect "its Status shows the queue" 10 has_message_box
  BOX=$(message_box)
  [ -n "$BOX" ] && keys "$BOX" Return
  expect "the status box closes" 10 no_message_box
  tray_right_click
  sleep 1
  tray_menu_pick 11
  expect "its Open shows the window" 10 main_shown
  keys "$(xdotool search --onlyvisible --name '^Aequa( - .*)?$' | head -1)" alt+space n
  expect "minimised again, it hides" 10 main_hidden
else
  note "no tray window under this Wine"
fi
(cd "$RUN" && timeout 60 wine Aequa.exe >/dev/null 2>&1)
second=$?
check "the second copy ends with status 0" [ "$second" -eq 0 ]
expect "the first window is shown again" 10 main_shown
check "there is still one main window" [ "$(xdotool search --onlyvisible --name '^Aequa( - .*)?$' | wc -l)" -eq 1 ]
MAIN=$(xdotool search --onlyvisible --name '^Aequa( - .*)?$' | head -1)

echo "--- Exit"
[ "$SEARCHES" -eq 1 ] && note "a search runs"
keys "$MAIN" alt+F4
expect "Exit closes the window" 30 no_window Aequa
expect "the program ends" 30 program_ended
check "the work line is kept" in_file '^SUM=5,3[0-9][0-9][0-9],3900,1,4,0,' worksum.ini
check "the placement is saved" sh -c "grep -q '^Left=180' '$RUN/aequo.ini' && grep -q '^Bottom=600' '$RUN/aequo.ini'"
if [ "$SEARCHES" -eq 1 ]; then
  check "the search left its checkpoint" sh -c "ls '$RUN' | grep -q '^S1-3[0-9][0-9][0-9]\.5$'"
fi

echo "--- work queued: a hidden start; a second copy shows the window where it was"
(cd "$RUN" && WINEDEBUG=-all,trace+font,trace+systray wine Aequa.exe 2>&1 |
  grep -a --line-buffered -E 'NtGdiExtTextOutW|Shell_NotifyIconW' >>"$TRACE") &
# The tray icon is the first sign of the hidden copy.
expect "the program starts with its tray icon" 30 shown "Wine System Tray"
check "and without a window" main_hidden
(cd "$RUN" && timeout 60 wine Aequa.exe >/dev/null 2>&1)
expect "a second copy shows the window" 10 main_shown
MAIN=$(xdotool search --onlyvisible --name '^Aequa( - .*)?$' | head -1)
check "at its saved placement" sh -c "xdotool getwindowgeometry $MAIN | grep -q 'Position: 180,90'"
keys "$MAIN" alt+F4
expect "the program ends" 30 program_ended

echo "--- the session ends; the Run value starts the program again"
if [ "$SEARCHES" -eq 1 ]; then
  # Without an icon, queued work starts the window minimised, its title showing the status.
  rm -f "$RUN"/S1-3*
  sed -i 's/^TrayIcon=1/TrayIcon=0/' "$RUN/aequo.ini"
else
  rm -f "$RUN/worksum.ini" # an empty queue: the window shows at the next start
fi
(cd "$RUN" && WINEDEBUG=-all,trace+font,trace+systray wine Aequa.exe 2>&1 |
  grep -a --line-buffered -E 'NtGdiExtTextOutW|Shell_NotifyIconW' >>"$TRACE") &
expect "the program starts again" 30 program_running
if [ "$SEARCHES" -eq 1 ]; then
  expect "the search goes on; the minimised window's title shows its status" 60 \
    sh -c "xdotool search --name '^Aequa - k=5' >/dev/null"
  shot minimised-with-status
else
  expect "its window opens" 30 main_shown
fi
# A changed placement key shows that the program wrote its settings as it ended.
sed -i 's/^Left=180/Left=181/' "$RUN/aequo.ini"
OLD=$(pgrep -f 'Aequa\.exe' | tr '\n' ' ')
new_program() {
  for p in $(pgrep -f 'Aequa\.exe'); do
    case " $OLD " in *" $p "*) ;; *) return 0 ;; esac
  done
  return 1
}
timeout 60 wineboot --end-session >/dev/null 2>&1
check "wineboot --end-session returns" [ $? -eq 0 ]
expect "the program saved its settings as the session ended" 30 in_file '^Left=180' aequo.ini
if [ "$SEARCHES" -eq 1 ]; then
  check "the work line is kept" in_file '^SUM=5,3[0-9][0-9][0-9],3900,1,4,0,' worksum.ini
  check "the search left its checkpoint" sh -c "ls '$RUN' | grep -q '^S1-3[0-9][0-9][0-9]\.5$'"
fi
# The new session runs the Run key's programs: Aequa.exe starts at "boot".
expect "the next session starts the program from the Run key" 60 new_program
wine reg delete "$RUNKEY" /v "$WINPATH" /f >/dev/null 2>&1
wineserver -k

echo "--- $failures failure(s); screenshots in $SHOTS"
[ "$failures" -eq 0 ]
