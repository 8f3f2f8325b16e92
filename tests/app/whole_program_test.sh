#!/usr/bin/env bash
# The whole program: the real executable on an X server of its own, driven
# with real key events (xdotool) and closed as a window manager closes a
# window (WM_DELETE_WINDOW), with a temporary configuration folder, home and
# working directory. Screenshots go into the temporary folder, which is kept
# when a step fails.
#
# Usage: whole_program_test.sh VELKARO WM_CLOSE
#   VELKARO   the executable
#   WM_CLOSE  the helper that sends WM_DELETE_WINDOW to a window
# With VELKARO_KEEP_TEMP=1 the temporary folder is kept after a pass too.
# With VELKARO_EDITOR_SCREENSHOT=<file>, the screenshot of the editor with
# its small diagram is copied there (scripts/doc-images uses it).
set -euo pipefail

exe=$(realpath "$1")
wm_close=$(realpath "$2")
for tool in Xvfb xdotool import convert identify; do
  command -v "$tool" >/dev/null || { echo "missing $tool (scripts/install-deps installs it)"; exit 1; }
done

tmp=$(mktemp -d "${TMPDIR:-/tmp}/velkaro-whole-XXXXXX")
shots=$tmp/shots
work=$tmp/work
mkdir -p "$shots" "$work/sub" "$tmp/home" "$tmp/config" "$tmp/elsewhere" "$tmp/run"
chmod 700 "$tmp/run"
xvfb_pid=""
app_pid=""
step="start"
passed=false

cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  if $passed && [ -z "${VELKARO_KEEP_TEMP:-}" ]; then
    rm -rf "$tmp"
  elif $passed; then
    echo "screenshots kept in $tmp/shots"
  else
    echo "whole program test FAILED at: $step (screenshots and logs kept in $tmp)"
  fi
}
trap cleanup EXIT

fail() {
  echo "FAIL [$step]: $*"
  [ -n "$app_pid" ] && import -display "$DISPLAY" -window root "$shots/failure.png" 2>/dev/null || true
  exit 1
}

# Waits up to 30 s for the command to succeed: the sanitized program on a
# loaded machine has taken more than 15 s to answer a key.
wait_until() {
  local what=$1
  shift
  local end=$((SECONDS + 30))
  until "$@"; do
    ((SECONDS < end)) || fail "timed out waiting for $what"
    sleep 0.1
  done
}

# --- The X server: its own, so that no other test takes the focus.
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$tmp/display" 2>"$tmp/xvfb.log" &
xvfb_pid=$!
wait_until "the X server" test -s "$tmp/display"
export DISPLAY=":$(head -1 "$tmp/display")"

unwritable=$tmp/locked
mkdir -p "$unwritable"
chmod 555 "$unwritable"
# Root may write into any folder but /proc.
[ "$(id -u)" -eq 0 ] && unwritable=/proc

main_wid=""
run_count=0

# Starts the program in the working directory with G_MESSAGES_DEBUG=all and
# the arguments given, and waits for its window; main_wid is its window.
start_app() {
  run_count=$((run_count + 1))
  (
    cd "$work"
    # No session bus: every run is a program of its own, never a second
    # window of another instance.
    exec env -u DBUS_SESSION_BUS_ADDRESS XDG_RUNTIME_DIR="$tmp/run" HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config" \
      XDG_DATA_HOME="$tmp/home/data" XDG_CACHE_HOME="$tmp/home/cache" \
      G_MESSAGES_DEBUG=all NO_AT_BRIDGE=1 GDK_BACKEND=x11 GSETTINGS_BACKEND=memory LANG=C.UTF-8 \
      ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}" "$exe" "$@" >"$tmp/stdout.$run_count" 2>"$tmp/stderr.$run_count"
  ) &
  app_pid=$!
  main_wid=$(timeout 20 xdotool search --sync --onlyvisible --pid "$app_pid" --name '^VelkaroSEQ' | head -1) ||
    fail "no window appeared"
  focus_main
}

focus_main() {
  xdotool windowfocus --sync "$main_wid"
}

title() { xdotool getwindowname "$main_wid"; }
title_is() { [ "$(title)" = "$1" ]; }
expect_title() { wait_until "the title \"$1\" (it is \"$(title)\")" title_is "$1"; }

# Presses Return in the file dialog wid until it goes: its entry may still
# be completing what was typed, and then takes the first Return for itself.
accept_file_dialog() {
  local wid=$1
  dialog_gone() { ! windows | grep -qx "$wid"; }
  local end=$((SECONDS + 15))
  until dialog_gone; do
    ((SECONDS < end)) || fail "the file dialog took no Return"
    keys Return
    local settle=$((SECONDS + 2))
    until dialog_gone || ((SECONDS >= settle)); do sleep 0.1; done
  done
}

# The visible windows of the program: the main window and its dialogs.
windows() { xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null || true; }
window_count_is() { [ "$(windows | wc -l)" -eq "$1" ]; }
# Waits for a second window (a dialog), focuses it and prints its id.
focus_dialog() {
  wait_until "a dialog" window_count_is 2
  local wid
  wid=$(windows | grep -vx "$main_wid" | head -1)
  xdotool windowfocus --sync "$wid"
  echo "$wid"
}

keys() { xdotool key --delay 40 "$@"; }
type_text() { xdotool type --delay 30 "$1"; }
# Runs an ex command through the command bar.
command_line() {
  type_text ":$1"
  keys Return
}

shot() { import -window "${2:-root}" "$shots/$1.png"; }

app_exited() { ! kill -0 "$app_pid" 2>/dev/null; }
# Waits for the program to end and checks its status and its log.
expect_exit() {
  wait_until "the program to end" app_exited
  local status=0
  wait "$app_pid" || status=$?
  app_pid=""
  [ "$status" -eq 0 ] || fail "the program ended with status $status"
  if grep -E 'DEBUG|main_window:[0-9]|cmdctrl:[0-9]' "$tmp/stderr.$run_count"; then
    fail "debug lines were printed although the program switches them off"
  fi
}

close_main() { "$wm_close" "$main_wid"; }

# The row of the first pixel of the tool bar's tint (a green) in the top-left
# corner of a window screenshot.
first_tint_row() {
  # awk stops reading early; convert's broken pipe is no failure.
  { convert "$1" -crop 80x140+0+0 +repage -depth 8 txt:- || true; } |
    awk -F'[ ,:()]+' 'NR > 1 && $3 < 180 && $4 > 150 && $5 < 80 { print $2; exit }'
}

# --- Run 1: a new diagram, saved; a change, then closing asks.
step="first window"
start_app
expect_title "VelkaroSEQ"

step="a life line and its name"
keys i a
type_text "Alice"
keys Escape Escape
keys l l l i a
type_text "Bob"
keys Escape Escape
step="two messages"
keys h h h j j space a l l l Return
keys j j i h h h Return

step=":w t.xml"
command_line "w t.xml"
expect_title "VelkaroSEQ - t.xml"
wait_until "t.xml" test -s "$work/t.xml"
for part in '<life_head' '>Alice<' '>Bob<' '<message' '<message_line'; do
  grep -q -- "$part" "$work/t.xml" || fail "t.xml lacks $part"
done
shot editor "$main_wid"
if [ -n "${VELKARO_EDITOR_SCREENSHOT:-}" ]; then
  cp "$shots/editor.png" "$VELKARO_EDITOR_SCREENSHOT"
fi
shown_row=$(first_tint_row "$shots/editor.png")
[ -n "$shown_row" ] || fail "no tinted tool button in the screenshot"

step="a message started and cancelled"
# On Alice's life line, between the two messages: started, stretched
# towards Bob, then cancelled with one Esc.
keys k a l l
shot message-stretched "$main_wid"
keys Escape
shot message-cancelled "$main_wid"
command_line "w c.xml"
expect_title "VelkaroSEQ - c.xml"
wait_until "c.xml" test -s "$work/c.xml"
cmp -s "$work/t.xml" "$work/c.xml" || fail "the cancelled message left a trace: $(diff "$work/t.xml" "$work/c.xml" | head -5)"
# Nothing to redo: Ctrl+r must not bring the cancelled message back.
keys ctrl+r
command_line "w r.xml"
expect_title "VelkaroSEQ - r.xml"
wait_until "r.xml" test -s "$work/r.xml"
cmp -s "$work/t.xml" "$work/r.xml" || fail "Ctrl+r brought the cancelled message back: $(diff "$work/t.xml" "$work/r.xml" | head -5)"

step="a change, then closing"
saved_sum=$(md5sum <"$work/t.xml")
keys l l l l l l i
close_main
focus_dialog >/dev/null
shot question
step="_Don't save"
keys alt+d
expect_exit
[ "$(md5sum <"$work/t.xml")" = "$saved_sum" ] || fail "t.xml changed"

# --- Run 2: open the file, export it; a failed save keeps the document.
step="second window"
start_app
expect_title "VelkaroSEQ"
step="open t.xml"
keys alt+f o
focus_dialog >/dev/null
keys ctrl+l
type_text "$work/t.xml"
accept_file_dialog "$(windows | grep -vx "$main_wid" | head -1)"
wait_until "the open dialog to close" window_count_is 1
focus_main
expect_title "VelkaroSEQ - t.xml"
shot opened "$main_wid"

step=":xp out.png"
command_line "xp out.png"
wait_until "out.png" test -s "$work/out.png"
read -r png_w png_h < <(identify -format '%w %h\n' "$work/out.png")
# The occupied cells: columns 0 to 3 (two life lines with a message between
# them), rows 0 to 5; neither the whole canvas nor a single cell.
((png_w >= 140 && png_w <= 420)) || fail "out.png is $png_w wide"
((png_h >= 175 && png_h <= 330)) || fail "out.png is $png_h high"

step="a failed save into an unwritable folder"
keys l l l l l l i
keys alt+f a
wait_until "the save dialog" window_count_is 2
save_wid=$(windows | grep -vx "$main_wid" | head -1)
xdotool windowfocus --sync "$save_wid"
keys ctrl+a
type_text "$unwritable/u.xml"
accept_file_dialog "$save_wid"
# The save dialog goes, the message dialog comes.
message_shown() { windows | grep -vx "$main_wid" | grep -vqx "$save_wid"; }
wait_until "the message dialog" message_shown
focus_dialog >/dev/null
shot message
title_is "VelkaroSEQ - t.xml" || fail "the title changed to $(title)"
[ ! -e "$unwritable/u.xml" ] || fail "u.xml was written"
keys Escape
wait_until "the message dialog to close" window_count_is 1

step="a failure naming a long path fits on the screen"
focus_main
# 300 characters, with a folder name of 250 that has nowhere to break.
long_name=$(printf 'n%.0s' $(seq 250))
long_path="$work/$long_name/$(printf 'm%.0s' $(seq $((300 - ${#work} - 256)))).png"
[ ${#long_path} -eq 300 ] || fail "the long path has ${#long_path} characters"
command_line "xp $long_path"
wait_until "the message dialog" window_count_is 2
long_wid=$(focus_dialog)
shot long-path-message
long_width=$(xdotool getwindowgeometry "$long_wid" | awk '/Geometry:/ { split($2, g, "x"); print g[1] }')
((long_width > 0 && long_width < 1280)) || fail "the message is $long_width pixels wide"
keys Escape
wait_until "the message dialog to close" window_count_is 1
step="closing asks again"
focus_main
close_main
focus_dialog >/dev/null
keys Escape
wait_until "the question to close" window_count_is 1
app_exited && fail "the program ended although the question was cancelled"
focus_main

step=":q, its question cancelled, then the command line"
command_line "q"
focus_dialog >/dev/null
shot quit-question
keys Escape
wait_until "the question to close" window_count_is 1
app_exited && fail "the program ended although the question was cancelled"
focus_main
# The line closed: this j moves the cursor, and the next command is typed
# afresh (not appended to "q").
keys j
shot after-quit-cancelled "$main_wid"

step="titles of files below the working directory and elsewhere"
command_line "w sub/s.xml"
expect_title "VelkaroSEQ - sub/s.xml"
command_line "w $tmp/elsewhere/e.xml"
expect_title "VelkaroSEQ - $tmp/elsewhere/e.xml"
step="Enter in the save dialog"
keys alt+f a
wait_until "the save dialog" window_count_is 2
focus_dialog >/dev/null
keys ctrl+a
type_text "entered.xml"
shot save-dialog-named
# One Return, straight after the typing.
keys Return
wait_until "the save dialog to take the Return" window_count_is 1
expect_title "VelkaroSEQ - entered.xml"
wait_until "entered.xml" test -s "$work/entered.xml"
focus_main

step="closing a saved document asks nothing"
close_main
expect_exit

# --- Run 3: the menu bar hidden from the first showing; a file named on
# the command line, which the program does not open but says how to.
step="show-menubar=false, a file argument"
mkdir -p "$tmp/config/velkaro"
printf '[general]\nshow-menubar=false\n' >"$tmp/config/velkaro/velkaro_seq.conf"
start_app t.xml
expect_title "VelkaroSEQ"
notice_lines=$(grep -c 'Files named on the command line are not opened' "$tmp/stderr.$run_count" || true)
[ "$notice_lines" -eq 1 ] || fail "the notice about the file argument was printed $notice_lines times"
grep -q ':r FILE' "$tmp/stderr.$run_count" || fail "the notice does not say how files are opened"
hidden_tint() {
  shot hidden-menubar "$main_wid"
  hidden_row=$(first_tint_row "$shots/hidden-menubar.png")
  [ -n "$hidden_row" ] && ((hidden_row + 15 < shown_row))
}
wait_until "the tool bar at the top (menu bar hidden)" hidden_tint
command_line "q"
expect_exit

passed=true
echo "whole program test passed ($run_count runs; menu bar shown: tool bar at row $shown_row, hidden: row $hidden_row)"
