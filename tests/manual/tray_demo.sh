#!/usr/bin/env bash
# Shows the tray demo under Xvfb with trayer as the tray host, clicks the icon,
# restarts the tray host, and keeps screenshots in $1 (default /tmp/tray-demo).
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib.sh"
out=${1:-/tmp/tray-demo}
demo=${DEMO:-$root/build/default/bin/tray_demo}
mkdir -p "$out"
: >"$out/events.txt"
display=:${DISPLAY_NUMBER:-97}
Xvfb "$display" -screen 0 640x200x24 -nolisten tcp &
xvfb=$!
trap 'kill $xvfb ${trayer:-} ${app:-} 2>/dev/null || true' EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
start_trayer() {
  trayer --edge top --align left --widthtype pixel --width 120 --height 24 --SetDockType true &
  trayer=$!
}
start_trayer
sleep 1
no_clock env -u DBUS_SESSION_BUS_ADDRESS "$demo" 15 >>"$out/events.txt" 2>"$out/stderr.txt" &
app=$!
sleep 2
import -window root "$out/1-icon.png"
xdotool mousemove 12 12
sleep 2
import -window root "$out/1-tip.png"
# The icon sits in trayer's strip at the top left.
echo "== left double click" >>"$out/events.txt"
xdotool mousemove 12 12 click --repeat 2 --delay 80 1
sleep 0.8
echo "== right click" >>"$out/events.txt"
xdotool mousemove 12 12 click 3
sleep 1
import -window root "$out/2-menu.png"
echo "== menu item Open" >>"$out/events.txt"
xdotool mousemove 60 22 click 1
sleep 1
import -window root "$out/3-opened.png"
echo "== tray host restarted" >>"$out/events.txt"
kill "$trayer"; wait "$trayer" 2>/dev/null || true
sleep 1.5
import -window root "$out/4-no-tray.png"
start_trayer
sleep 3
import -window root "$out/5-tray-again.png"
wait "$app"  # it quits by itself, going through its destruction
cat "$out/events.txt"
