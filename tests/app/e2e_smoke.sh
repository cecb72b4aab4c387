#!/usr/bin/env bash
# The real program under Xvfb with trayer as the notification area: it starts
# and shows its window, a second start hands over to it and ends with status
# 0 while the first copy runs on, and Exit from the notification menu ends it
# with status 0. Keeps a screenshot in $2. Exits 77 (skipped) without Xvfb,
# trayer, xdotool or xprop.
set -euo pipefail
vintrel=$1
out=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib.sh"
source "$here/../../scripts/xsession.sh"

for tool in Xvfb trayer xdotool xprop; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

mkdir -p "$out"
session=$(mktemp -d)
first=""
cleanup() {
  [ -n "$first" ] && kill "$first" 2>/dev/null || true
  xsession_stop
  rm -rf "$session"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  [ -f "$session/first.err" ] && sed 's/^/  first copy: /' "$session/first.err" >&2
  exit 1
}

xsession_private_session "$session"
xsession_start_display 640x480
xsession_start_tray
export LANG=C.UTF-8 LC_ALL=C.UTF-8
# Under the sanitizer build, leaks of the system's own libraries are not ours.
export LSAN_OPTIONS="suppressions=$here/lsan-suppressions.txt${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

no_clock "$vintrel" 2>"$session/first.err" &
first=$!
window=$(xsession_wait_window "Vintrel v2.6" 30) || fail "no window named \"Vintrel v2.6\""
echo "window $window is up"
# The caption exactly, with nothing appended by the toolkit.
[ "$(xdotool getwindowname "$window")" = "Vintrel v2.6" ] ||
  fail "the window is named \"$(xdotool getwindowname "$window")\""
pid=$(xdotool getwindowpid "$window")
# The notification area holds the icon: no taskbar button.
xprop -id "$window" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR ||
  fail "the window has a taskbar button while the tray holds the icon"
command -v import >/dev/null && import -window root "$out/smoke.png"

# A second copy hands over to the first and ends.
status=0
no_clock timeout 20 "$vintrel" 2>"$session/second.err" || status=$?
[ "$status" -eq 0 ] || fail "the second copy ended with status $status"
kill -0 "$first" 2>/dev/null || fail "the first copy is gone after the second start"
[ "$(xdotool search --onlyvisible --name '^Vintrel v2.6$' | wc -l)" -eq 1 ] ||
  fail "not exactly one window after the second start"

# Exit from the window's File menu: the program ends by itself.
xdotool mousemove --window "$window" 15 10 click 1
for _ in $(seq 100); do
  # The File menu is open when a third visible window of the program exists
  # (the window and the notification icon are the first two).
  [ "$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | wc -l)" -ge 3 ] && break
  sleep 0.05
done
xdotool key e
for _ in $(seq 200); do
  kill -0 "$first" 2>/dev/null || break
  sleep 0.05
done
if kill -0 "$first" 2>/dev/null; then fail "Exit did not end the program"; fi
status=0
wait "$first" || status=$?
first=""
[ "$status" -eq 0 ] || fail "the program ended with status $status"
[ ! -e "$XDG_RUNTIME_DIR/vintrel.instance" ] || fail "the single-instance socket was left behind"
echo "ok: started, handed over to by a second copy, ended by Exit"
