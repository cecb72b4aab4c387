#!/usr/bin/env bash
# The Win32 program under Wine on a private Xvfb display with trayer as the
# notification area: it starts and shows its window with its caption and its
# icon; a second start asks it to show itself and ends with status 0 while the
# first copy runs on; the icon comes back when a new notification area is
# announced ("TaskbarCreated") after the old one lost it; a right click on the
# icon opens the notification menu, whose Exit (chosen with the keyboard) ends
# the program with status 0. Keeps a screenshot in $2; $3 is the helper that
# plays the shell's part in the restart. Runs in a Wine
# prefix of its own, in a network namespace of its own (loopback only). Exits
# 77 (skipped) without Xvfb or xdotool.
set -euo pipefail
vintrel=$1
out=$2
taskbar_restart=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib.sh"
source "$here/../../scripts/xsession.sh"
source "$here/../../scripts/wine-session.sh"

for tool in Xvfb trayer xdotool; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
if [ -z "${VINTREL_IN_NETNS:-}" ]; then
  VINTREL_IN_NETNS=1 exec unshare --net "$0" "$@"
fi
ip link set lo up

mkdir -p "$out"
wine_test_session 800x600 tray
wine_run=$here/../../scripts/wine-run

"$wine_run" "$vintrel" &
program=$!
window=$(xsession_wait_window "Vintrel v2.6" 60) || fail "no window named \"Vintrel v2.6\""
echo "window $window is up"
command -v import >/dev/null && import -window root "$out/win32-smoke.png"

# A second copy hands over to the first and ends.
status=0
timeout 60 "$wine_run" "$vintrel" || status=$?
[ "$status" -eq 0 ] || fail "the second copy ended with status $status"
kill -0 "$program" 2>/dev/null || fail "the first copy is gone after the second start"
[ "$(xdotool search --onlyvisible --name '^Vintrel v2.6$' | wc -l)" -eq 1 ] ||
  fail "not exactly one window after the second start"

# The icon is the one window Wine docks into trayer's strip; trayer keeps a
# 1x1 window of its own there.
panel=$(xdotool search --onlyvisible --classname '^panel$' | head -n 1)
docked_icon() {
  xwininfo -children -id "$panel" 2>/dev/null | awk '/^ +0x/ && !/ 1x1[+-]/ { print $1; exit }'
}
# Waits up to 10 s for the icon to be docked (or, given "gone", to be gone);
# $icon is the docked one.
await_icon() {
  for _ in $(seq 100); do
    icon=$(docked_icon)
    if [ "${1:-}" = gone ]; then [ -z "$icon" ] && return 0; else [ -n "$icon" ] && return 0; fi
    sleep 0.1
  done
  return 1
}
await_icon || fail "no icon in the notification area"

# A notification area that restarts has lost the icon; the program adds it
# again when the new one announces itself.
"$wine_run" "$taskbar_restart" remove || fail "the program's icon could not be removed"
await_icon gone || fail "the icon stayed in the notification area after its removal"
"$wine_run" "$taskbar_restart" announce || fail "the restart could not be announced"
await_icon || fail "the icon did not come back after \"TaskbarCreated\""
menus_before=$(xdotool search --onlyvisible --class '^vintrel.exe$' 2>/dev/null | wc -l)
xdotool mousemove --window "$icon" 8 8 click 3
for _ in $(seq 100); do
  [ "$(xdotool search --onlyvisible --class '^vintrel.exe$' 2>/dev/null | wc -l)" -gt "$menus_before" ] &&
    break
  sleep 0.05
done
[ "$(xdotool search --onlyvisible --class '^vintrel.exe$' 2>/dev/null | wc -l)" -gt "$menus_before" ] ||
  fail "a right click on the icon opened no menu"
command -v import >/dev/null && import -window root "$out/win32-tray-menu.png"
xdotool key x
for _ in $(seq 200); do
  kill -0 "$program" 2>/dev/null || break
  sleep 0.05
done
if kill -0 "$program" 2>/dev/null; then fail "Exit did not end the program"; fi
status=0
wait "$program" || status=$?
program=""
[ "$status" -eq 0 ] || fail "the program ended with status $status"
echo "ok: started with window and icon, handed over to by a second copy, icon back after a restart of the notification area, ended by the icon's Exit"
